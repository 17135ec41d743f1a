// The USB interface on Windows: the FTDI chip as FTDI's virtual COM port
// driver presents it, a COM port driven through the Win32 serial API. The
// ports are listed from the SetupAPI's Ports class (USB vendor 0403), or a
// single port is used as given ("COM7", "\\.\COM12").
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "port/port_records.h"
#include "port/usb_interface.h"

namespace orv {

class ComInterface final : public UsbInterface {
public:
    ComInterface() = default;
    // Lists exactly this port ("COM7", "\\.\COM12"); nothing when the name
    // is not a COM port's.
    static std::unique_ptr<ComInterface> ForPath(const std::string& portName);
    ~ComInterface() override;
    ComInterface(const ComInterface&) = delete;
    ComInterface& operator=(const ComInterface&) = delete;

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
    void BindLog(LogSink& log) override { failures_.Bind(log); }
    // The call that failed last and the system's words for why: "COM7 is in
    // use by another program (CreateFile: Access is denied)".
    std::string LastError() const override { return failures_.Why(); }

    // The port name ("COM7") of a listed index; empty when it is not listed.
    std::string DevicePath(uint32_t index) const;

private:
    struct Listed {
        std::string devicePath;  // "\\.\COM7"
        std::string portName;    // "COM7"
        DeviceDetail detail;
    };

    struct Opened {
        void* port;
        std::string name;  // "COM7"
    };

    void* Find(FtHandle handle);
    // Whether the driver still answers for the port; line errors it reports
    // (framing, overrun, parity) go to the log with the port's name. waiting:
    // the bytes it holds to be read.
    bool Answers(FtHandle handle, uint32_t* waiting = nullptr);
    // The status of a failed call on the port, with GetLastError's reason.
    FtStatus FailureOf(FtHandle handle, const char* call);
    // A call on an open port failed: why, kept and logged with the port's name.
    void NoteFailure(FtHandle handle, const char* call, unsigned long error);
    FtStatus Lose(FtHandle handle, const char* call, unsigned long error);

    bool fixed_ = false;     // set by ForPath
    std::string fixedName_;  // as given to ForPath
    std::string fixedPath_;  // empty when the name given was no COM port's
    ListedPorts<Listed> listed_;
    OpenPorts<Opened> ports_;
    PortFailures failures_;
};

// How long reads and writes may wait from the open until the link sets its
// own time-outs, and a write's bound where a time-out of 0 would mean none.
constexpr uint32_t COM_OPEN_TIMEOUT_MS = 1000;

// The FTDI driver's latency timer of a COM port ("COM7") in milliseconds, as
// the device parameters in the registry hold it; nothing when they hold none.
std::optional<uint32_t> ComLatencyTimer(const std::string& portName);

}  // namespace orv
