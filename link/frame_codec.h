// Bus frames: 0x87, a body of 7-bit bytes whose top bits travel in collector
// bytes, 0x8E. The raw message is destination, source, command (16 bits, low
// byte first), payload and a CRC-16/CCITT-FALSE, high byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orv {

class LogSink;

constexpr uint8_t FRAME_START = 0x87;
constexpr uint8_t FRAME_END = 0x8E;
constexpr uint8_t HOST_ADDRESS = 0;
constexpr uint8_t BROADCAST_ADDRESS = 255;
constexpr uint8_t ACK_BYTE = 0x00;
constexpr int MAX_PAYLOAD = 64;
constexpr int RX_BODY_LIMIT = 80;   // longest body (payload 64)
constexpr int RX_BODY_MINIMUM = 10; // shortest body the receiver decodes (payload 2)
constexpr int MAX_FRAME = RX_BODY_LIMIT + 2;
constexpr uint16_t FRAME_CRC_START = 0xFFFF;  // CRC-16/CCITT-FALSE
constexpr uint16_t IMAGE_CRC_START = 0x0000;  // CRC-16/XMODEM

struct BusRequest {
    int32_t command = 0;
    uint8_t destination = 0;
    const uint8_t* payload = nullptr;  // borrowed for the call
    uint8_t length = 0;
};

struct BusReply {
    uint32_t command = 0;
    uint8_t source = 0;
    uint8_t length = 0;
    uint8_t payload[MAX_PAYLOAD] = {};
};

void BuildCrcTable();
// crc = (crc << 8) ^ table[(crc >> 8) ^ b] for each byte; the caller picks the start.
void UpdateCrc(const uint8_t* data, uint16_t count, uint16_t& crc);
// Convenience over UpdateCrc for any length.
uint16_t Crc16(const uint8_t* data, size_t count, uint16_t start);

// Codes a request into frame (at least MAX_FRAME bytes): FRAME_START, the
// body, FRAME_END. bodyLength receives T. False, and nothing built, for a
// payload over MAX_PAYLOAD.
bool EncodeFrame(const BusRequest& request, uint8_t* frame, uint8_t& bodyLength);
// The same coding with any source address, as a device sends its replies.
bool EncodeMessage(uint8_t destination, uint8_t source, uint32_t command, const uint8_t* payload, uint8_t length,
                   uint8_t* frame, uint8_t& bodyLength);

// Raw message length for a body of count bytes.
constexpr int RawLengthForBody(int count) { return count - 1 - (count - 2) / 8; }
// Body length for a raw message of n bytes.
constexpr int BodyLengthForRaw(int n) { return n + (n + 6) / 7; }

// True for the body lengths that a message of 0..MAX_PAYLOAD payload bytes
// has; any other length lacks collector bytes that its raw bytes need.
constexpr bool IsMessageBodyLength(int count)
{
    return count >= BodyLengthForRaw(6) && count <= RX_BODY_LIMIT && BodyLengthForRaw(RawLengthForBody(count)) == count;
}

// Undoes the 7-bit coding of a body; raw receives RawLengthForBody(count)
// bytes. False, and nothing unpacked, for a length no message has.
bool UnpackBody(const uint8_t* body, int count, uint8_t* raw);

// The fields of a raw message, whatever its destination.
struct UnpackedMessage {
    bool crcOk = false;
    uint8_t destination = 0;
    uint8_t source = 0;
    uint16_t command = 0;
    std::vector<uint8_t> payload;
};
// Takes apart the message in a body; nothing for a length no message has.
std::optional<UnpackedMessage> UnpackMessage(const uint8_t* body, int count);

// Decodes the body bytes collected between the markers. Quiet mode accepts
// only frames for HOST_ADDRESS or BROADCAST_ADDRESS; verbose mode accepts any
// destination and writes its log lines into log.
bool DecodeFrame(const uint8_t* body, uint8_t count, bool verbose, BusReply& reply, LogSink* log);

}  // namespace orv
