// The RFC 2217 Telnet receiver: any bytes from a serial device server, one at
// a time. What it passes on as the bus's bytes is never more than came, a
// reply stays short, and the bus's own bytes, IACs doubled as the client
// sends them, come through unchanged.
#include <deque>

#include "fuzz/fuzz_support.h"
#include "port/rfc2217_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orv::TelnetReceiver receiver;
    FUZZ_CHECK(!receiver.OpeningNegotiation().empty());
    std::deque<uint8_t> received;
    size_t replied = 0;
    for (size_t i = 0; i < size; ++i) {
        std::vector<uint8_t> reply;
        receiver.Feed(data[i], received, reply);
        // An answer to one negotiation: IAC, a verb and an option.
        FUZZ_CHECK(reply.size() <= 3);
        replied += reply.size();
    }
    FUZZ_CHECK(received.size() <= size);
    FUZZ_CHECK(replied <= 3 * size);

    std::vector<uint8_t> wire;
    orv::AppendTelnetData(data, uint32_t(size), wire);
    orv::TelnetReceiver clean;
    std::deque<uint8_t> bytes;
    for (uint8_t byte : wire) {
        std::vector<uint8_t> reply;
        FUZZ_CHECK(clean.Feed(byte, bytes, reply) == orv::TelnetEvent::None && reply.empty());
    }
    FUZZ_CHECK(std::vector<uint8_t>(bytes.begin(), bytes.end()) == std::vector<uint8_t>(data, data + size));
    return 0;
}
