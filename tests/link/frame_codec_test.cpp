#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "link/frame_codec.h"
#include "services/log.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(int32_t command, uint8_t destination, const Bytes& payload)
{
    uint8_t frame[MAX_FRAME];
    uint8_t body = 0;
    BusRequest request{command, destination, payload.data(), uint8_t(payload.size())};
    EXPECT_TRUE(EncodeFrame(request, frame, body));
    return Bytes(frame, frame + body + 2);
}

// The body between the markers, as the receiver hands it to the decoder.
Bytes BodyOf(const Bytes& frame)
{
    return Bytes(frame.begin() + 1, frame.end() - 1);
}

Bytes PatternPayload(int length)
{
    Bytes payload(size_t(length), 0);
    for (int i = 0; i < length; ++i)
        payload[size_t(i)] = uint8_t(i * 37 + 0x85);  // every other byte has its top bit set
    return payload;
}

TEST(FrameCodec, WorkedExamplesByteForByte)
{
    struct Case {
        const char* name;
        int32_t command;
        uint8_t destination;
        Bytes payload;
        Bytes frame;
    };
    const Case cases[] = {
        {"MODULE_INFO_REQUEST to broadcast", 4, 255, {0x00}, {0x87, 0x7F, 0x00, 0x04, 0x00, 0x00, 0x17, 0x63, 0x21, 0x8E}},
        {"RUN_BOOT to 5", 3, 5, {}, {0x87, 0x05, 0x00, 0x03, 0x00, 0x6D, 0x56, 0x20, 0x8E}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encode(c.command, c.destination, c.payload), c.frame) << c.name;
}

TEST(FrameCodec, FrameSizeFollowsPayloadLength)
{
    struct Case {
        int payload;
        int frame;
    };
    const Case cases[] = {{0, 9}, {1, 10}, {2, 12}, {5, 15}, {22, 34}, {34, 48}, {64, 82}};
    for (const auto& c : cases) {
        const Bytes frame = Encode(7, 3, PatternPayload(c.payload));
        ASSERT_EQ(int(frame.size()), c.frame) << "payload " << c.payload;
        const int body = c.frame - 2;
        EXPECT_EQ(BodyLengthForRaw(c.payload + 6), body);
        EXPECT_EQ(RawLengthForBody(body), c.payload + 6) << "payload " << c.payload;
        EXPECT_EQ(frame.front(), FRAME_START);
        EXPECT_EQ(frame.back(), FRAME_END);
        for (size_t i = 1; i + 1 < frame.size(); ++i)
            EXPECT_LT(frame[i], 0x80) << "payload " << c.payload << " body byte " << i;
    }
}

TEST(FrameCodec, CollectorsHoldOnlyTheTopBitsOfTheirRawBytes)
{
    // n = 8 with every header and payload byte below 0x80: collector 0 can
    // only carry the top bit of raw byte 6 (CRC high), collector 1 only that of
    // raw byte 7 (CRC low).
    const Bytes frame = Encode(0x7F, 0x7F, {0x7F, 0x7F});
    ASSERT_EQ(frame.size(), 12u);
    EXPECT_EQ(frame[9] & ~0x40, 0);
    EXPECT_EQ(frame[10] & ~0x01, 0);
}

TEST(FrameCodec, RoundTripForEveryPayloadLength)
{
    for (int length = 2; length <= MAX_PAYLOAD; ++length) {
        const Bytes payload = PatternPayload(length);
        for (uint8_t destination : {uint8_t(0), uint8_t(9), uint8_t(255)}) {
            const Bytes body = BodyOf(Encode(0x0108, destination, payload));
            CollectingLog log;
            BusReply reply;
            ASSERT_TRUE(DecodeFrame(body.data(), uint8_t(body.size()), true, reply, &log))
                << "length " << length << " destination " << int(destination);
            EXPECT_EQ(reply.source, HOST_ADDRESS);
            EXPECT_EQ(reply.command, 0x0108u);
            ASSERT_EQ(reply.length, length);
            EXPECT_EQ(Bytes(reply.payload, reply.payload + length), payload) << "length " << length;
            EXPECT_EQ(log.lines, std::vector<std::string>{StrF(" Read Message Size: %d", length + 6)});
        }
    }
}

// Bodies of 9, 17, ... 73 bytes lack a collector that their raw length
// needs; each is unpacked from a buffer of exactly its size, so that
// AddressSanitizer sees any read past it.
TEST(FrameCodec, OnlyBodyLengthsOfAMessageAreUnpacked)
{
    std::vector<int> messageLengths;
    for (int n = 6; n <= MAX_PAYLOAD + 6; ++n)
        messageLengths.push_back(BodyLengthForRaw(n));
    for (int count = 0; count <= RX_BODY_LIMIT + 1; ++count) {
        const bool message = std::find(messageLengths.begin(), messageLengths.end(), count) != messageLengths.end();
        EXPECT_EQ(IsMessageBodyLength(count), message) << count;
        const std::vector<uint8_t> body(size_t(count), 0x00);
        uint8_t raw[RX_BODY_LIMIT];
        EXPECT_EQ(UnpackBody(body.data(), count, raw), message) << count;
        EXPECT_EQ(UnpackMessage(body.data(), count).has_value(), message) << count;
        BusReply reply;
        EXPECT_FALSE(DecodeFrame(body.data(), uint8_t(count), true, reply, nullptr)) << count;  // zeros fail the CRC
    }
    EXPECT_FALSE(IsMessageBodyLength(9));
    EXPECT_FALSE(IsMessageBodyLength(73));
}

TEST(FrameCodec, QuietModeTakesOnlyHostAndBroadcast)
{
    struct Case {
        uint8_t destination;
        bool quietAccepts;
    };
    const Case cases[] = {{HOST_ADDRESS, true}, {BROADCAST_ADDRESS, true}, {5, false}, {1, false}, {254, false}};
    for (const auto& c : cases) {
        const Bytes body = BodyOf(Encode(5, c.destination, PatternPayload(22)));
        CollectingLog log;
        BusReply reply;
        EXPECT_EQ(DecodeFrame(body.data(), uint8_t(body.size()), false, reply, &log), c.quietAccepts)
            << int(c.destination);
        EXPECT_TRUE(log.lines.empty());
        EXPECT_TRUE(DecodeFrame(body.data(), uint8_t(body.size()), true, reply, &log)) << int(c.destination);
    }
}

TEST(FrameCodec, DeviceReplyCarriesItsSourceAddress)
{
    const Bytes payload = PatternPayload(22);
    uint8_t frame[MAX_FRAME];
    uint8_t body = 0;
    ASSERT_TRUE(EncodeMessage(HOST_ADDRESS, 9, 5, payload.data(), 22, frame, body));
    uint8_t raw[RX_BODY_LIMIT];
    UnpackBody(frame + 1, body, raw);
    EXPECT_EQ(raw[0], 0x00);
    EXPECT_EQ(raw[1], 0x09);
    BusReply reply;
    ASSERT_TRUE(DecodeFrame(frame + 1, body, false, reply, nullptr));
    EXPECT_EQ(reply.source, 9);
}

TEST(FrameCodec, EverySingleBitErrorIsCaught)
{
    const Bytes payload = PatternPayload(5);
    const Bytes body = BodyOf(Encode(9, 12, payload));
    const int n = RawLengthForBody(int(body.size()));
    int caught = 0;
    for (size_t pos = 0; pos < body.size(); ++pos) {
        for (int bit = 0; bit < 7; ++bit) {
            // Collector bits with no raw byte behind them are not read.
            const bool collector = int(pos) >= n;
            const int rawIndex = collector ? (int(pos) - n) * 7 + bit : int(pos);
            const bool carriesData = rawIndex < n;
            Bytes damaged = body;
            damaged[pos] ^= uint8_t(1 << bit);
            CollectingLog log;
            BusReply reply;
            const bool accepted = DecodeFrame(damaged.data(), uint8_t(damaged.size()), true, reply, &log);
            EXPECT_EQ(accepted, !carriesData) << "byte " << pos << " bit " << bit;
            if (carriesData) {
                EXPECT_EQ(log.lines, std::vector<std::string>{" CRC Failed: "});
                ++caught;
            }
        }
    }
    EXPECT_EQ(caught, n * 8);  // seven coded bits and one collector bit per raw byte
}

TEST(FrameCodec, PayloadOver64IsRefused)
{
    const Bytes payload(65, 0x11);
    uint8_t frame[MAX_FRAME + 8];
    std::memset(frame, 0xAA, sizeof frame);
    uint8_t body = 0xCC;
    BusRequest request{4, 255, payload.data(), 65};
    EXPECT_FALSE(EncodeFrame(request, frame, body));
    EXPECT_EQ(body, 0xCC);
    for (uint8_t b : frame)
        ASSERT_EQ(b, 0xAA);
    EXPECT_EQ(Encode(4, 255, Bytes(64, 0x11)).size(), size_t(MAX_FRAME));
}

TEST(FrameCodec, CrcCheckValues)
{
    const auto* digits = reinterpret_cast<const uint8_t*>("123456789");
    EXPECT_EQ(Crc16(digits, 9, FRAME_CRC_START), 0x29B1);  // CRC-16/CCITT-FALSE
    EXPECT_EQ(Crc16(digits, 9, IMAGE_CRC_START), 0x31C3);  // CRC-16/XMODEM
    uint16_t crc = 0x1234;
    UpdateCrc(digits, 0, crc);
    EXPECT_EQ(crc, 0x1234);
    crc = FRAME_CRC_START;
    UpdateCrc(digits, 4, crc);
    UpdateCrc(digits + 4, 5, crc);
    EXPECT_EQ(crc, 0x29B1);
}

}  // namespace
}  // namespace orv
