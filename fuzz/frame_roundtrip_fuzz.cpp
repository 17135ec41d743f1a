// Any request of 0 to 64 payload bytes through the frame codec and back: the
// frame has its markers and 7-bit body, the receiver finds it whole in the
// byte stream, and its message comes back unchanged. One flipped bit that
// carries data makes the CRC fail. Longer payloads build nothing.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "link/frame_codec.h"
#include "link/rx_receiver.h"
#include "services/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orv::fuzz::InputReader input(data, size);
    orv::BusRequest request;
    request.destination = input.Byte();
    request.command = int32_t(input.Word() | uint32_t(input.Word()) << 16);
    const size_t wanted = input.Byte() % (orv::MAX_PAYLOAD + 4);
    const uint8_t flipAt = input.Byte();
    const uint8_t flipBit = input.Byte() % 7;
    std::vector<uint8_t> payload = input.Bytes(wanted);
    payload.resize(wanted, 0);
    request.payload = payload.data();
    request.length = uint8_t(wanted);

    uint8_t frame[orv::MAX_FRAME + 8];
    uint8_t bodyLength = 0;
    const bool built = orv::EncodeFrame(request, frame, bodyLength);
    FUZZ_CHECK(built == (wanted <= size_t(orv::MAX_PAYLOAD)));
    if (!built)
        return 0;

    const int n = int(wanted) + 6;
    FUZZ_CHECK(bodyLength == orv::BodyLengthForRaw(n) && orv::RawLengthForBody(bodyLength) == n);
    FUZZ_CHECK(frame[0] == orv::FRAME_START && frame[bodyLength + 1] == orv::FRAME_END);
    for (int i = 1; i <= bodyLength; ++i)
        FUZZ_CHECK(frame[i] < 0x80);

    orv::RxReceiver rx{uint8_t(orv::BodyLengthForRaw(6))};
    for (int i = 0; i < bodyLength + 1; ++i)
        FUZZ_CHECK(rx.Step(frame[i]) == orv::RxEvent::None);
    FUZZ_CHECK(rx.Step(frame[bodyLength + 1]) == orv::RxEvent::BodyComplete && rx.Count() == bodyLength);

    const std::optional<orv::UnpackedMessage> message = orv::UnpackMessage(rx.Body(), rx.Count());
    FUZZ_CHECK(message && message->crcOk);
    FUZZ_CHECK(message->destination == request.destination && message->source == orv::HOST_ADDRESS);
    FUZZ_CHECK(message->command == uint16_t(request.command) && message->payload == payload);

    orv::NullLog log;
    orv::BusReply reply;
    FUZZ_CHECK(orv::DecodeFrame(rx.Body(), rx.Count(), true, reply, &log));
    FUZZ_CHECK(reply.length == wanted && std::equal(payload.begin(), payload.end(), reply.payload));
    const bool forTool = request.destination == orv::HOST_ADDRESS || request.destination == orv::BROADCAST_ADDRESS;
    FUZZ_CHECK(orv::DecodeFrame(rx.Body(), rx.Count(), false, reply, &log) == forTool);

    // Body byte i < n is raw byte i; collector c holds the top bits of raw bytes 7c .. 7c + 6.
    uint8_t body[orv::RX_BODY_LIMIT];
    std::copy_n(frame + 1, bodyLength, body);
    const int at = flipAt % bodyLength;
    body[at] ^= uint8_t(1 << flipBit);
    const bool carriesData = at < n || (at - n) * 7 + flipBit < n;
    const std::optional<orv::UnpackedMessage> flipped = orv::UnpackMessage(body, bodyLength);
    FUZZ_CHECK(flipped && flipped->crcOk == !carriesData);
    return 0;
}
