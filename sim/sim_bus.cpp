#include "sim/sim_bus.h"

#include <algorithm>

#include "link/frame_codec.h"

namespace orv {

void SimReplyWriter::Ack()
{
    items.push_back({{ACK_BYTE}, 0});
}

void SimReplyWriter::Frame(uint8_t destination, uint8_t source, uint16_t command, const uint8_t* payload,
                           uint8_t length, bool damageCrc)
{
    uint8_t frame[MAX_FRAME];
    uint8_t body = 0;
    if (!EncodeMessage(destination, source, command, payload, length, frame, body))
        return;
    if (damageCrc)
        frame[RawLengthForBody(body)] ^= 0x01;  // the CRC low byte, last raw byte
    items.push_back({std::vector<uint8_t>(frame, frame + body + 2), 0});
}

void SimReplyWriter::Raw(const std::vector<uint8_t>& bytes)
{
    items.push_back({bytes, 0});
}

void SimReplyWriter::Pause(uint64_t micros)
{
    items.push_back({{}, micros});
}

SimBus::SimBus(Clock& clock) : clock_(clock)
{
    DeviceDetail orvNet;
    orvNet.id = 0x04036001;
    orvNet.serialNumber = "ORV00001";
    orvNet.description = "ORV-NET";
    interfaces_.push_back(orvNet);
    // What a driver reports before the link configures the line.
    commState_.baudRate = 9600;
    commState_.flags = COMM_BINARY | (1u << 4) | COMM_OUTX | COMM_INX | (1u << 12);
    commState_.stopBits = 0;
}

void SimBus::Attach(SimResponder& responder)
{
    responders_.push_back(&responder);
}

void SimBus::Detach(SimResponder& responder)
{
    std::erase(responders_, &responder);
}

void SimBus::SetInterfaces(std::vector<DeviceDetail> interfaces)
{
    interfaces_ = std::move(interfaces);
}

void SimBus::SetOpenFailures(int failures)
{
    openFailures_ = failures;
}

void SimBus::LoseLineAtWrite(int write)
{
    writesUntilLoss_ = write;
}

void SimBus::LoseLineAfter(uint64_t delayMicros)
{
    lossAtMicros_ = clock_.NowMicros() + delayMicros;
}

bool SimBus::LineGone()
{
    if (lossAtMicros_ && clock_.NowMicros() >= *lossAtMicros_)
        lineLost_ = true;
    return lineLost_;
}

void SimBus::InjectBytes(const std::vector<uint8_t>& bytes, uint64_t delayMicros)
{
    uint64_t at = clock_.NowMicros() + delayMicros;
    for (uint8_t b : bytes) {
        TimedByte tb{at, b};
        auto pos = std::upper_bound(incoming_.begin(), incoming_.end(), at,
                                    [](uint64_t t, const TimedByte& x) { return t < x.at; });
        incoming_.insert(pos, tb);
        at += BYTE_MICROS;
    }
}

FtStatus SimBus::CreateDeviceInfoList(uint32_t& count)
{
    count = uint32_t(interfaces_.size());
    return FT_OK;
}

FtStatus SimBus::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    if (index >= interfaces_.size())
        return FT_DEVICE_NOT_FOUND;
    detail = interfaces_[index];
    return FT_OK;
}

FtStatus SimBus::Open(uint32_t index, FtHandle& handle)
{
    if (index >= interfaces_.size())
        return FT_DEVICE_NOT_FOUND;
    if (openFailures_ > 0) {
        --openFailures_;
        return FT_DEVICE_NOT_OPENED;
    }
    open_ = true;
    lineLost_ = false;
    // Opening again heals a loss that has happened; one still to come stays.
    if (lossAtMicros_ && clock_.NowMicros() >= *lossAtMicros_)
        lossAtMicros_.reset();
    handle = index + 1;
    return FT_OK;
}

FtStatus SimBus::Close(FtHandle)
{
    open_ = false;
    return FT_OK;
}

bool SimBus::GetCommState(FtHandle, CommState& state)
{
    if (!open_)
        return false;
    state = commState_;
    return true;
}

bool SimBus::SetCommState(FtHandle, const CommState& state)
{
    if (!open_)
        return false;
    commState_ = state;
    return true;
}

FtStatus SimBus::SetTimeouts(FtHandle, uint32_t readMillis, uint32_t writeMillis)
{
    readTimeoutMillis_ = readMillis;
    writeTimeoutMillis_ = writeMillis;
    return FT_OK;
}

FtStatus SimBus::ClrRts(FtHandle)
{
    ++rtsClears_;
    return FT_OK;
}

void SimBus::Deliver(const std::vector<uint8_t>& bytes, uint64_t start)
{
    uint64_t at = start;
    for (uint8_t b : bytes) {
        at += BYTE_MICROS;
        auto pos = std::upper_bound(incoming_.begin(), incoming_.end(), at,
                                    [](uint64_t t, const TimedByte& x) { return t < x.at; });
        incoming_.insert(pos, TimedByte{at, b});
    }
}

FtStatus SimBus::Write(FtHandle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    if (!open_)
        return FT_INVALID_HANDLE;
    if (writesUntilLoss_ > 0 && --writesUntilLoss_ == 0)
        lineLost_ = true;
    if (LineGone())
        return FT_IO_ERROR;
    const uint64_t start = std::max(clock_.NowMicros(), wireFreeAt_);
    std::vector<uint8_t> bytes(buffer, buffer + count);
    // The bus hears its own traffic: every byte comes back as its echo.
    Deliver(bytes, start);
    wireFreeAt_ = start + count * BYTE_MICROS;
    for (uint32_t i = 0; i < count; ++i)
        HearWrittenByte(buffer[i], start + (i + 1) * BYTE_MICROS);
    written = count;
    return FT_OK;
}

void SimBus::HearWrittenByte(uint8_t byte, uint64_t at)
{
    if (byte == FRAME_START) {
        writtenFrame_.clear();
        inWrittenFrame_ = true;
        return;
    }
    if (!inWrittenFrame_)
        return;
    if (byte != FRAME_END) {
        if (byte & 0x80)
            inWrittenFrame_ = false;
        else if (writtenFrame_.size() < RX_BODY_LIMIT)
            writtenFrame_.push_back(byte);
        return;
    }
    inWrittenFrame_ = false;
    const std::optional<UnpackedMessage> message = UnpackMessage(writtenFrame_.data(), int(writtenFrame_.size()));
    if (!message)
        return;
    const HeardFrame frame{*message, at};
    heard_.push_back(frame);
    if (frame.crcOk)
        Answer(frame);
}

void SimBus::Answer(const HeardFrame& frame)
{
    // Devices that answer one request take turns: each starts after the
    // previous answer has left the wire.
    for (SimResponder* responder : std::vector<SimResponder*>(responders_)) {
        SimReplyWriter out;
        responder->OnFrame(frame, out);
        if (out.items.empty())
            continue;
        uint64_t t = wireFreeAt_ + responder->TurnaroundMicros();
        for (const auto& item : out.items) {
            t += item.pauseMicros;
            Deliver(item.bytes, t);
            t += item.bytes.size() * BYTE_MICROS;
        }
        wireFreeAt_ = t;
    }
}

FtStatus SimBus::Read(FtHandle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    if (!open_)
        return FT_INVALID_HANDLE;
    if (LineGone())
        return FT_IO_ERROR;
    const uint64_t now = clock_.NowMicros();
    const uint64_t deadline = now + uint64_t(readTimeoutMillis_) * 1000;
    size_t due = 0;
    while (due < incoming_.size() && incoming_[due].at <= deadline)
        ++due;
    uint64_t until = deadline;
    if (due >= count) {
        due = count;
        until = count > 0 ? std::max(now, incoming_[count - 1].at) : now;
    }
    // A line that goes while the read waits ends the read then.
    if (lossAtMicros_ && until >= *lossAtMicros_) {
        clock_.SleepMicros(*lossAtMicros_ > now ? *lossAtMicros_ - now : 0);
        lineLost_ = true;
        return FT_IO_ERROR;
    }
    if (until > now)
        clock_.SleepMicros(until - now);
    for (size_t i = 0; i < due; ++i)
        buffer[i] = incoming_[i].value;
    incoming_.erase(incoming_.begin(), incoming_.begin() + long(due));
    read = uint32_t(due);
    return FT_OK;
}

FtStatus SimBus::GetQueueStatus(FtHandle, uint32_t& waiting)
{
    waiting = 0;
    if (LineGone())
        return FT_IO_ERROR;
    const uint64_t now = clock_.NowMicros();
    waiting = uint32_t(std::count_if(incoming_.begin(), incoming_.end(), [now](const TimedByte& b) { return b.at <= now; }));
    return FT_OK;
}

FtStatus SimBus::PurgeReceive(FtHandle)
{
    if (LineGone())
        return FT_IO_ERROR;
    const uint64_t now = clock_.NowMicros();
    std::erase_if(incoming_, [now](const TimedByte& b) { return b.at <= now; });
    return FT_OK;
}

}  // namespace orv
