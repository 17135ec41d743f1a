#include "link/frame_codec.h"

#include <algorithm>
#include <cstring>

#include "services/log.h"

namespace orv {

namespace {
uint16_t crcTable[256];
bool crcTableBuilt = false;

void EnsureCrcTable()
{
    if (!crcTableBuilt)
        BuildCrcTable();
}
}  // namespace

void BuildCrcTable()
{
    for (int i = 0; i < 256; ++i) {
        uint16_t reg = uint16_t(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x8000) ? uint16_t((reg << 1) ^ 0x1021) : uint16_t(reg << 1);
        crcTable[i] = reg;
    }
    crcTableBuilt = true;
}

void UpdateCrc(const uint8_t* data, uint16_t count, uint16_t& crc)
{
    EnsureCrcTable();
    for (uint16_t i = 0; i < count; ++i)
        crc = uint16_t((crc << 8) ^ crcTable[(crc >> 8) ^ data[i]]);
}

uint16_t Crc16(const uint8_t* data, size_t count, uint16_t start)
{
    uint16_t crc = start;
    while (count > 0) {
        uint16_t chunk = count > 0xFFFF ? 0xFFFF : uint16_t(count);
        UpdateCrc(data, chunk, crc);
        data += chunk;
        count -= chunk;
    }
    return crc;
}

bool EncodeFrame(const BusRequest& request, uint8_t* frame, uint8_t& bodyLength)
{
    return EncodeMessage(request.destination, HOST_ADDRESS, uint32_t(request.command), request.payload, request.length,
                         frame, bodyLength);
}

bool EncodeMessage(uint8_t destination, uint8_t source, uint32_t command, const uint8_t* payload, uint8_t length,
                   uint8_t* frame, uint8_t& bodyLength)
{
    if (length > MAX_PAYLOAD)
        return false;
    uint8_t raw[MAX_PAYLOAD + 6];
    const int n = length + 6;
    raw[0] = destination;
    raw[1] = source;
    raw[2] = uint8_t(command);
    raw[3] = uint8_t(command >> 8);
    if (length > 0)
        std::memcpy(raw + 4, payload, length);
    uint16_t crc = FRAME_CRC_START;
    UpdateCrc(raw, uint16_t(n - 2), crc);
    raw[n - 2] = uint8_t(crc >> 8);
    raw[n - 1] = uint8_t(crc);

    const int t = BodyLengthForRaw(n);
    uint8_t* body = frame + 1;
    std::memset(body + n, 0, size_t(t - n));
    for (int i = 0; i < n; ++i) {
        body[i] = raw[i] & 0x7F;
        if (raw[i] & 0x80)
            body[n + i / 7] |= uint8_t(1 << (i % 7));
    }
    frame[0] = FRAME_START;
    frame[t + 1] = FRAME_END;
    bodyLength = uint8_t(t);
    return true;
}

bool UnpackBody(const uint8_t* body, int count, uint8_t* raw)
{
    if (!IsMessageBodyLength(count))
        return false;
    const int n = RawLengthForBody(count);
    for (int i = 0; i < n; ++i)
        raw[i] = uint8_t(body[i] | ((body[n + i / 7] << (7 - i % 7)) & 0x80));
    return true;
}

std::optional<UnpackedMessage> UnpackMessage(const uint8_t* body, int count)
{
    uint8_t raw[RX_BODY_LIMIT];
    if (!UnpackBody(body, count, raw))
        return std::nullopt;
    const int n = RawLengthForBody(count);
    UnpackedMessage message;
    message.crcOk = Crc16(raw, size_t(n), FRAME_CRC_START) == 0;
    message.destination = raw[0];
    message.source = raw[1];
    message.command = uint16_t(raw[2] | raw[3] << 8);
    message.payload.assign(raw + 4, raw + n - 2);
    return message;
}

bool DecodeFrame(const uint8_t* body, uint8_t count, bool verbose, BusReply& reply, LogSink* log)
{
    const std::optional<UnpackedMessage> unpacked = UnpackMessage(body, count);
    if (!unpacked)
        return false;
    const UnpackedMessage& message = *unpacked;
    if (!message.crcOk) {
        if (verbose && log)
            log->Message(" CRC Failed: ");
        return false;
    }
    if (!verbose && message.destination != HOST_ADDRESS && message.destination != BROADCAST_ADDRESS)
        return false;
    reply.command = message.command;
    reply.source = message.source;
    reply.length = uint8_t(message.payload.size());
    std::memset(reply.payload, 0, sizeof reply.payload);
    std::copy(message.payload.begin(), message.payload.end(), reply.payload);
    if (verbose && log)
        LogF(*log, " Read Message Size: %d", int(message.payload.size()) + 6);
    return true;
}

}  // namespace orv
