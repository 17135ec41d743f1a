// The simulated bus: a USB interface backend on which every written byte
// comes back as its echo, attached responders (the simulated devices) hear
// complete frames and answer with acknowledgements and frames, and every byte
// becomes readable when the wire would deliver it (11 bits at 125000 baud),
// on the clock the bus was given.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "link/frame_codec.h"
#include "port/usb_interface.h"
#include "services/clock.h"

namespace orv {

// One frame as it was heard on the bus (written by the tool).
struct HeardFrame : UnpackedMessage {
    uint64_t atMicros = 0;  // when its end marker left the wire
};

// What a responder puts on the wire in answer to one frame, in order.
class SimReplyWriter {
public:
    void Ack();
    // Coded with the frame codec; bad CRC when damageCrc is set.
    void Frame(uint8_t destination, uint8_t source, uint16_t command, const uint8_t* payload, uint8_t length,
               bool damageCrc = false);
    void Raw(const std::vector<uint8_t>& bytes);
    void Pause(uint64_t micros);

    struct Item {
        std::vector<uint8_t> bytes;
        uint64_t pauseMicros = 0;
    };
    std::vector<Item> items;
};

class SimResponder {
public:
    virtual ~SimResponder() = default;
    virtual void OnFrame(const HeardFrame& frame, SimReplyWriter& out) = 0;
    // Time between the end of the request (or the previous answer) and this
    // responder's first byte.
    virtual uint64_t TurnaroundMicros() const { return 2000; }
};

// A responder given as a function, for scripted answers in tests.
class FunctionResponder final : public SimResponder {
public:
    using Handler = std::function<void(const HeardFrame&, SimReplyWriter&)>;
    explicit FunctionResponder(Handler handler, uint64_t turnaroundMicros = 2000)
        : handler_(std::move(handler)), turnaround_(turnaroundMicros) {}
    void OnFrame(const HeardFrame& frame, SimReplyWriter& out) override { handler_(frame, out); }
    uint64_t TurnaroundMicros() const override { return turnaround_; }

private:
    Handler handler_;
    uint64_t turnaround_;
};

class SimBus final : public UsbInterface {
public:
    static constexpr uint64_t BYTE_MICROS = 88;  // 11 bits at 125000 baud

    explicit SimBus(Clock& clock);

    // Responders answer one after the other, in the order they were attached.
    void Attach(SimResponder& responder);
    void Detach(SimResponder& responder);

    // The interfaces CreateDeviceInfoList reports (one "ORV-NET" by default).
    void SetInterfaces(std::vector<DeviceDetail> interfaces);
    // The next failures Open calls report before one succeeds.
    void SetOpenFailures(int failures);
    // The line goes as an unplugged interface does: the write-th write from
    // now (1: the next) and every later call that moves bytes report
    // FT_IO_ERROR, until the interface is opened again.
    void LoseLineAtWrite(int write);
    // The line goes the same way delayMicros from now, whatever is moving then;
    // an Open before that time does not prevent it.
    void LoseLineAfter(uint64_t delayMicros);
    // Bytes that arrive on the read side, the first after delayMicros from now.
    void InjectBytes(const std::vector<uint8_t>& bytes, uint64_t delayMicros = 0);

    const std::vector<HeardFrame>& Heard() const { return heard_; }
    void ClearHeard() { heard_.clear(); }
    const CommState& LastCommState() const { return commState_; }
    uint32_t ReadTimeoutMillis() const { return readTimeoutMillis_; }
    uint32_t WriteTimeoutMillis() const { return writeTimeoutMillis_; }
    int RtsClears() const { return rtsClears_; }
    bool IsOpen() const { return open_; }

    FtStatus CreateDeviceInfoList(uint32_t& count) override;
    FtStatus GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail) override;
    FtStatus Open(uint32_t index, FtHandle& handle) override;
    FtStatus Close(FtHandle handle) override;
    bool GetCommState(FtHandle handle, CommState& state) override;
    bool SetCommState(FtHandle handle, const CommState& state) override;
    FtStatus SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis) override;
    FtStatus ClrRts(FtHandle handle) override;
    FtStatus Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written) override;
    FtStatus Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read) override;
    FtStatus GetQueueStatus(FtHandle handle, uint32_t& waiting) override;
    FtStatus PurgeReceive(FtHandle handle) override;

private:
    struct TimedByte {
        uint64_t at;
        uint8_t value;
    };
    void Deliver(const std::vector<uint8_t>& bytes, uint64_t start);
    void HearWrittenByte(uint8_t byte, uint64_t at);
    void Answer(const HeardFrame& frame);
    // Whether the line is gone by now (the time set by LoseLineAfter included).
    bool LineGone();

    Clock& clock_;
    std::vector<SimResponder*> responders_;
    std::vector<DeviceDetail> interfaces_;
    int openFailures_ = 0;
    bool open_ = false;
    int writesUntilLoss_ = 0;  // 0: the line stays
    bool lineLost_ = false;
    std::optional<uint64_t> lossAtMicros_;
    CommState commState_{};
    uint32_t readTimeoutMillis_ = 0;
    uint32_t writeTimeoutMillis_ = 0;
    int rtsClears_ = 0;
    std::deque<TimedByte> incoming_;  // ordered by arrival time
    uint64_t wireFreeAt_ = 0;         // when the last scheduled byte has left the wire
    std::vector<uint8_t> writtenFrame_;
    bool inWrittenFrame_ = false;
    std::vector<HeardFrame> heard_;
};

}  // namespace orv
