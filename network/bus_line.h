// The line the program talks through, as the technician chooses it while the
// program runs: the first FTDI interface, another serial port, or a serial
// device server (tcp://, rfc2217://). The link stays bound to the line; a
// choice replaces the interface behind it and opens it again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "network/device_registry.h"
#include "port/usb_interface.h"
#include "services/services.h"

namespace orv {

// One serial interface found on the PC, as orvctl doctor names it.
struct InterfaceEntry {
    std::string port;  // what --port takes: the device node, or COM7
    std::string serialNumber;
    std::string description;
    bool ftdi = true;
};

// The interfaces usb lists, each named by pathOf(index).
std::vector<InterfaceEntry> ListInterfaces(UsbInterface& usb, const std::function<std::string(uint32_t)>& pathOf);
// The FTDI interfaces attached now.
std::vector<InterfaceEntry> ListFtdiInterfaces();
// Every serial port present now, the FTDI interfaces first.
std::vector<InterfaceEntry> ListSerialPortChoices();

// What trying a port showed, in words for the technician.
struct LineTrial {
    bool opened = false;
    std::vector<DeviceRecord> devices;  // the answers to one broadcast
    std::string text;
};

// The words for a port: "the first FTDI interface" for the empty choice.
std::string PortLabel(const std::string& port);

// One broadcast on the link as it is bound now, the line named label: what
// answered, in words.
LineTrial AskLineInUse(const std::string& label, Services& services);

class BusLine final : public UsbInterface {
public:
    // The interface a port text names (empty: the first FTDI interface).
    using Maker = std::function<std::unique_ptr<UsbInterface>(const std::string& port)>;

    BusLine(Maker make, std::string port);
    ~BusLine() override;

    const std::string& Port() const { return port_; }
    // The port in words, with the device node the first FTDI interface has.
    std::string InUse() const;
    // How long the line in use may hold a received byte: an FTDI tty's
    // latency timer, none for a pseudo-terminal, nothing when unknown.
    std::optional<uint32_t> LatencyTimer() const;

    // Opens port as the bus interface in place of the line in use (a serial
    // server takes one connection, a tty one program), asks the bus with one
    // broadcast and closes it; the line in use is then opened again with the
    // link bound to services. No box is shown for port: the result says it.
    LineTrial Try(const std::string& port, Services& services);
    // The same without the broadcast; when port opens it becomes the line in
    // use, else the line in use is opened again.
    LineTrial Choose(const std::string& port, Services& services);

    // Before the line is first opened: whether its port opens, no box shown.
    // It is left closed for that opening.
    bool Opens(Services& services);
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

private:
    // Opens port on an interface of its own, the line in use closed meanwhile;
    // with discover, one broadcast is asked.
    LineTrial Trial(const std::string& port, bool discover, Services& services);
    void CloseInUse();
    // The interface of port_ in place of the one in use, bound to the log.
    void MakeInner();
    bool ReopenInUse(Services& services);

    Maker make_;
    std::string port_;
    std::unique_ptr<UsbInterface> inner_;
    // The handles this line opened, closed before it changes its interface.
    std::vector<FtHandle> open_;
    LogSink* log_ = nullptr;
};

}  // namespace orv
