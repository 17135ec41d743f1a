// The link's receiver fed one byte at a time, each completed body through the
// frame decoder in both modes. Whatever the bytes, a body the decoder accepts
// is one that a message has, and coding its message again gives it back.
#include "fuzz/fuzz_support.h"
#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "services/log.h"

namespace {

void CheckBody(const uint8_t* body, uint8_t count)
{
    orv::NullLog log;
    const std::optional<orv::UnpackedMessage> message = orv::UnpackMessage(body, count);
    FUZZ_CHECK(message.has_value() == orv::IsMessageBodyLength(count));
    for (bool verbose : {false, true}) {
        orv::BusReply reply;
        if (!orv::DecodeFrame(body, count, verbose, reply, &log))
            continue;
        FUZZ_CHECK(message && message->crcOk);
        FUZZ_CHECK(verbose || message->destination == orv::HOST_ADDRESS ||
                   message->destination == orv::BROADCAST_ADDRESS);
        FUZZ_CHECK(reply.length <= orv::MAX_PAYLOAD && reply.length == message->payload.size());
        FUZZ_CHECK(reply.command == message->command && reply.source == message->source);

        uint8_t frame[orv::MAX_FRAME];
        uint8_t bodyLength = 0;
        FUZZ_CHECK(orv::EncodeMessage(message->destination, message->source, message->command,
                                      message->payload.data(), reply.length, frame, bodyLength));
        FUZZ_CHECK(bodyLength == count);
        const std::optional<orv::UnpackedMessage> again = orv::UnpackMessage(frame + 1, bodyLength);
        FUZZ_CHECK(again && again->crcOk && again->payload == message->payload);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The link's receiver, and the one of the capture reader that takes the
    // tool's own short requests too.
    orv::RxReceiver link;
    orv::RxReceiver reader{uint8_t(orv::BodyLengthForRaw(6))};
    for (size_t i = 0; i < size; ++i) {
        for (orv::RxReceiver* rx : {&link, &reader}) {
            const orv::RxEvent event = rx->Step(data[i]);
            if (event == orv::RxEvent::BodyComplete) {
                FUZZ_CHECK(rx->Count() <= orv::RX_BODY_LIMIT);
                CheckBody(rx->Body(), rx->Count());
            }
            // The link leaves Discard with its next request; read on as if one had been sent.
            if (rx->State() == orv::RxState::Discard)
                rx->Reset();
        }
    }
    return 0;
}
