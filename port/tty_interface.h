// The USB interface on Linux: the FTDI chip as the kernel's ftdi_sio driver
// presents it, a /dev/ttyUSB* node. Interfaces are listed from sysfs (USB
// vendor 0403), or a single device path is used as given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "port/port_records.h"
#include "port/usb_interface.h"

namespace orv {

class TtyInterface final : public UsbInterface {
public:
    explicit TtyInterface(std::string sysRoot = "/sys", std::string devRoot = "/dev");
    // Lists exactly this device node (a serial port or a pseudo-terminal).
    static std::unique_ptr<TtyInterface> ForPath(std::string path);
    ~TtyInterface() override;
    TtyInterface(const TtyInterface&) = delete;
    TtyInterface& operator=(const TtyInterface&) = delete;

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
    // The call that failed last and the system's words for why: "open:
    // Permission denied (add yourself to the dialout group, then log in again)".
    std::string LastError() const override { return failures_.Why(); }

    // The device node of a listed index; empty when the index is not listed.
    std::string DevicePath(uint32_t index) const;

private:
    struct Listed {
        std::string path;
        DeviceDetail detail;
    };
    struct Port {
        int fd = -1;
        std::string path;
        uint32_t readMillis = 0;  // 0: no time-out, as the vendor library starts
        uint32_t writeMillis = 0;
    };

    Port* Find(FtHandle handle) { return ports_.Find(handle); }
    // A read, write or line request on an open port failed: the port is gone.
    FtStatus Lose(const Port& port, const std::string& call, int error);
    // A line request failed: why, kept and logged with the port's path.
    bool LineFailed(const Port& port, const std::string& why);

    std::string sysRoot_;
    std::string devRoot_;
    std::string fixedPath_;  // set by ForPath
    ListedPorts<Listed> listed_;
    OpenPorts<Port> ports_;
    PortFailures failures_;
};

}  // namespace orv
