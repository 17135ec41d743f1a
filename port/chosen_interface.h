// The USB interface the technician chose while the program runs: the first
// FTDI interface, another serial port, or a serial device server (tcp://,
// rfc2217://). Whoever is bound to it stays bound while the interface behind
// it is replaced.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "port/usb_interface.h"

namespace orv {

// The words for a port: "the first FTDI interface" for the empty choice.
std::string PortLabel(const std::string& port);

class ChosenInterface : public UsbInterface {
public:
    // The interface a port text names (empty: the first FTDI interface).
    using Maker = std::function<std::unique_ptr<UsbInterface>(const std::string& port)>;

    ChosenInterface(Maker make, std::string port);
    ~ChosenInterface() override;
    ChosenInterface(const ChosenInterface&) = delete;
    ChosenInterface& operator=(const ChosenInterface&) = delete;

    const std::string& Port() const { return port_; }
    // The port in words, with the device node the first FTDI interface has.
    std::string InUse() const;
    // How long the line in use may hold a received byte: an FTDI tty's
    // latency timer, none for a pseudo-terminal, nothing when unknown.
    std::optional<uint32_t> LatencyTimer() const;
    // The first FTDI interface from now on, in place of a port that is not there.
    void UseFirstFtdiInterface();

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
    // The interface in use logs into log, and its words for a failure are the line's.
    void BindLog(LogSink& log) override;
    std::string LastError() const override { return inner_ ? inner_->LastError() : std::string(); }

protected:
    // A fresh interface for port, not bound to anything.
    std::unique_ptr<UsbInterface> Make(const std::string& port) const { return make_(port); }
    void SetPort(std::string port) { port_ = std::move(port); }
    // Closes what this interface opened and lets the interface in use go.
    void CloseInUse();
    // The interface of Port() in place of the one in use, bound to the log.
    void MakeInner();

private:
    Maker make_;
    std::string port_;
    std::unique_ptr<UsbInterface> inner_;
    // The handles opened through this interface, closed before it changes its interface.
    std::vector<FtHandle> open_;
    LogSink* log_ = nullptr;
};

}  // namespace orv
