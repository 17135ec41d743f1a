#include "port/tty_interface.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "port/system_error.h"
#include "port/tty_lock.h"
#include "port/tty_termios2.h"

namespace orv {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {
constexpr uint32_t FTDI_VENDOR_ID = 0x0403;
// RTS control "handshake", the one that pairs with CTS output flow.
constexpr uint32_t COMM_RTS_HANDSHAKE = 2u << 12;
constexpr size_t SERIAL_NUMBER_MAX = 15;
constexpr size_t DESCRIPTION_MAX = 63;
// From the tty's device (the usb-serial port) up past its USB interface.
constexpr int USB_DEVICE_SEARCH_DEPTH = 3;

// The first line of a sysfs attribute; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

uint32_t ReadHexAttribute(const fs::path& file)
{
    return uint32_t(std::strtoul(ReadAttribute(file).c_str(), nullptr, 16));
}

// The USB device directory (the one with idVendor) above a tty's device.
bool FindUsbDevice(const fs::path& ttyEntry, fs::path& usbDevice)
{
    std::error_code ec;
    fs::path dir = fs::canonical(ttyEntry / "device", ec);
    if (ec)
        return false;
    for (int up = 0; up < USB_DEVICE_SEARCH_DEPTH && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        if (fs::exists(dir / "idVendor", ec)) {
            usbDevice = dir;
            return true;
        }
    }
    return false;
}

// ttyUSB2 before ttyUSB10.
bool NodeNameLess(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

int RemainingMillis(Steady::time_point deadline)
{
    const auto left = deadline - Steady::now();
    if (left <= Steady::duration::zero())
        return 0;
    return int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

// Waits for the fd to become ready for events until the deadline (forever when
// unbounded). False when the time is up; an error or hang-up counts as ready,
// so that the following read or write reports it.
bool WaitReady(int fd, short events, bool bounded, Steady::time_point deadline)
{
    for (;;) {
        int timeout = -1;
        if (bounded) {
            timeout = RemainingMillis(deadline);
            if (timeout == 0)
                return false;
        }
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, timeout);
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return true;
    }
}

// Asks the driver to pass received bytes on at once (the ftdi_sio latency
// timer to 1 ms). Terminals without it (a pseudo-terminal) are used as they are.
void RequestLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

bool IgnorableModemError(int error)
{
    return error == ENOTTY || error == EINVAL;
}

// What the user can do about a failed open of path, after the system's words.
std::string OpenFailureText(const std::string& path, int error)
{
    std::string text = FailedCall("open", error);
    if (error == EACCES || error == EPERM)
        text += " (add yourself to the dialout group, then log in again)";
    else if (error == EBUSY)
        text = InUseText(path) + " (" + text + ")";
    else if (error == ENOENT)
        text = "no such port (" + text + ")";
    return text;
}

// A failed line request, and a hint when the node is no serial port.
std::string LineFailureText(const TtyFailure& failure)
{
    return FailedCall(failure.call, failure.error) + (failure.error == ENOTTY ? " (not a serial port)" : "");
}

// Errors that opening again at once will not mend: the node is no terminal,
// or another program holds it (until it ends).
bool LastingOpenError(int error)
{
    return error == ENOTTY || error == EISDIR || error == ENOTDIR || error == EBUSY;
}

bool Unplugged(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}
}  // namespace

TtyInterface::TtyInterface(std::string sysRoot, std::string devRoot)
    : sysRoot_(std::move(sysRoot)), devRoot_(std::move(devRoot))
{
}

std::unique_ptr<TtyInterface> TtyInterface::ForPath(std::string path)
{
    auto tty = std::make_unique<TtyInterface>();
    tty->fixedPath_ = std::move(path);
    return tty;
}

TtyInterface::~TtyInterface()
{
    for (const auto& [handle, port] : ports_)
        close(port.fd);
}

bool TtyInterface::LineFailed(const Port& port, const std::string& why)
{
    failures_.Fail(" " + port.path + ": " + why + " ", why);
    return false;
}

FtStatus TtyInterface::Lose(const Port& port, const std::string& call, int error)
{
    std::string why = error == 0 ? call + ": end of file" : FailedCall(call, error);
    if (error == 0 || Unplugged(error))
        why += "; the interface was unplugged or hung up";
    LineFailed(port, why);
    return FT_IO_ERROR;
}

FtStatus TtyInterface::CreateDeviceInfoList(uint32_t& count)
{
    listed_.Clear();
    failures_.Clear();
    std::error_code ec;
    if (!fixedPath_.empty()) {
        if (!fs::exists(fixedPath_, ec)) {
            const std::string why = ec ? "cannot look for the port: " + ec.message() : "no such port";
            failures_.Fail(" Cannot open " + fixedPath_ + ": " + why + " ", why);
        } else {
            Listed one;
            one.path = fixedPath_;
            one.detail.serialNumber = fs::path(fixedPath_).filename().string().substr(0, SERIAL_NUMBER_MAX);
            one.detail.description = "tty";
            // The node of an FTDI chip, given by its path, is still one.
            fs::path usbDevice;
            const fs::path node = fs::canonical(fixedPath_, ec);
            if (!ec && FindUsbDevice(fs::path(sysRoot_) / "class" / "tty" / node.filename(), usbDevice) &&
                ReadHexAttribute(usbDevice / "idVendor") == FTDI_VENDOR_ID)
                one.detail.id = FTDI_VENDOR_ID << 16 | ReadHexAttribute(usbDevice / "idProduct");
            listed_.Add(std::move(one));
        }
        count = listed_.Count();
        return FT_OK;
    }

    std::vector<std::string> names;
    for (fs::directory_iterator it(fs::path(sysRoot_) / "class" / "tty", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("ttyUSB"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NodeNameLess);

    for (const std::string& name : names) {
        fs::path usbDevice;
        if (!FindUsbDevice(fs::path(sysRoot_) / "class" / "tty" / name, usbDevice))
            continue;
        const uint32_t vendor = ReadHexAttribute(usbDevice / "idVendor");
        if (vendor != FTDI_VENDOR_ID)
            continue;
        Listed entry;
        entry.path = (fs::path(devRoot_) / name).string();
        entry.detail.id = vendor << 16 | ReadHexAttribute(usbDevice / "idProduct");
        entry.detail.serialNumber = ReadAttribute(usbDevice / "serial").substr(0, SERIAL_NUMBER_MAX);
        entry.detail.description = ReadAttribute(usbDevice / "product").substr(0, DESCRIPTION_MAX);
        listed_.Add(std::move(entry));
    }
    count = listed_.Count();
    return FT_OK;
}

FtStatus TtyInterface::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    return listed_.Detail(index, detail);
}

std::string TtyInterface::DevicePath(uint32_t index) const
{
    const Listed* listed = listed_.At(index);
    return listed ? listed->path : std::string();
}

FtStatus TtyInterface::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    const Listed* listed = listed_.At(index);
    if (!listed)
        return FT_DEVICE_NOT_FOUND;
    failures_.Clear();
    const std::string& path = listed->path;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const std::string why = OpenFailureText(path, error);
        failures_.Fail(" Cannot open " + path + ": " + why + " ", why);
        return LastingOpenError(error) ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
    }
    // Before anything is set on the line: it may be another program's.
    if (const std::optional<std::string> refusal = LockTty(fd, path)) {
        close(fd);
        failures_.Fail(" Cannot open " + path + ": " + *refusal + " ", *refusal);
        return FT_DEVICE_NOT_FOUND;
    }
    // Raw and without flow control from the start, as the vendor library opens
    // a device, keeping the driver's rate and framing: a fresh tty would echo
    // whatever the bus sends back onto the bus and act on XON/XOFF bytes.
    TtyLine line;
    TtyFailure failure;
    const bool readable = ReadTtyLine(fd, line, failure);
    line.rtsCtsFlow = false;
    line.xonXoffOut = false;
    line.xonXoffIn = false;
    if (!readable || !ApplyTtyLine(fd, line, failure)) {
        close(fd);
        failures_.Fail(" Cannot open " + path + ": " + LineFailureText(failure) + " ", LineFailureText(failure));
        return LastingOpenError(failure.error) ? FT_DEVICE_NOT_FOUND : FT_DEVICE_NOT_OPENED;
    }
    RequestLowLatency(fd);
    handle = ports_.Add(Port{fd, path});
    failures_.Opened();
    return FT_OK;
}

FtStatus TtyInterface::Close(FtHandle handle)
{
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    close(port->fd);
    ports_.Remove(handle);
    return FT_OK;
}

bool TtyInterface::GetCommState(FtHandle handle, CommState& state)
{
    Port* port = Find(handle);
    if (!port)
        return false;
    TtyLine line;
    TtyFailure failure;
    if (!ReadTtyLine(port->fd, line, failure))
        return LineFailed(*port, LineFailureText(failure));
    state = CommState{};
    state.baudRate = line.baudRate;
    state.byteSize = line.dataBits;
    state.parity = uint8_t(line.parity);
    state.stopBits = line.twoStopBits ? 2 : 0;
    // A tty line is always binary; RTS/CTS flow is one setting for both ways.
    state.flags = COMM_BINARY;
    if (line.parityCheck)
        state.flags |= COMM_PARITY_CHECK;
    if (line.rtsCtsFlow)
        state.flags |= COMM_OUTX_CTS_FLOW | COMM_RTS_HANDSHAKE;
    if (line.xonXoffOut)
        state.flags |= COMM_OUTX;
    if (line.xonXoffIn)
        state.flags |= COMM_INX;
    state.xonChar = line.xonChar;
    state.xoffChar = line.xoffChar;
    return true;
}

bool TtyInterface::SetCommState(FtHandle handle, const CommState& state)
{
    Port* port = Find(handle);
    if (!port)
        return false;
    // Refused rather than approximated: 1.5 stop bits have no tty setting.
    if (state.baudRate == 0 || state.byteSize < 5 || state.byteSize > 8 || state.parity > 4 || state.stopBits == 1 ||
        state.stopBits > 2)
        return LineFailed(*port, StrF("a tty has no setting for %u baud, %u data bits, parity code %u, stop-bits code %u",
                                      state.baudRate, unsigned(state.byteSize), unsigned(state.parity),
                                      unsigned(state.stopBits)));
    TtyLine line;
    line.baudRate = state.baudRate;
    line.dataBits = state.byteSize;
    line.parity = TtyParity(state.parity);
    line.twoStopBits = state.stopBits == 2;
    line.parityCheck = (state.flags & COMM_PARITY_CHECK) != 0;
    // RTS/CTS flow only when CTS output flow and RTS handshaking both ask for it.
    line.rtsCtsFlow = (state.flags & COMM_OUTX_CTS_FLOW) && (state.flags & COMM_RTS_CONTROL_MASK) == COMM_RTS_HANDSHAKE;
    line.xonXoffOut = (state.flags & COMM_OUTX) != 0;
    line.xonXoffIn = (state.flags & COMM_INX) != 0;
    line.xonChar = state.xonChar;
    line.xoffChar = state.xoffChar;
    TtyFailure failure;
    return ApplyTtyLine(port->fd, line, failure) || LineFailed(*port, LineFailureText(failure));
}

FtStatus TtyInterface::SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis)
{
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    port->readMillis = readMillis;
    port->writeMillis = writeMillis;
    return FT_OK;
}

FtStatus TtyInterface::ClrRts(FtHandle handle)
{
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    int bits = TIOCM_RTS;
    if (ioctl(port->fd, TIOCMBIC, &bits) != 0 && !IgnorableModemError(errno))
        return Lose(*port, "TIOCMBIC", errno);
    return FT_OK;
}

FtStatus TtyInterface::Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    const bool bounded = port->writeMillis != 0;
    const auto deadline = Steady::now() + std::chrono::milliseconds(port->writeMillis);
    while (written < count) {
        const ssize_t n = write(port->fd, buffer + written, count - written);
        if (n > 0) {
            written += uint32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return Lose(*port, "write", errno);
        if (!WaitReady(port->fd, POLLOUT, bounded, deadline))
            break;
    }
    return FT_OK;
}

FtStatus TtyInterface::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    const bool bounded = port->readMillis != 0;
    const auto deadline = Steady::now() + std::chrono::milliseconds(port->readMillis);
    while (read < count) {
        const ssize_t n = ::read(port->fd, buffer + read, count - read);
        if (n > 0) {
            read += uint32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // End of file or an error: the device is gone (unplugged, hung up).
        if (n == 0 || errno != EAGAIN)
            return Lose(*port, "read", n == 0 ? 0 : errno);
        if (!WaitReady(port->fd, POLLIN, bounded, deadline))
            break;
    }
    return FT_OK;
}

FtStatus TtyInterface::GetQueueStatus(FtHandle handle, uint32_t& waiting)
{
    waiting = 0;
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    int bytes = 0;
    if (ioctl(port->fd, FIONREAD, &bytes) != 0)
        return Lose(*port, "FIONREAD", errno);
    waiting = uint32_t(bytes);
    return FT_OK;
}

FtStatus TtyInterface::PurgeReceive(FtHandle handle)
{
    Port* port = Find(handle);
    if (!port)
        return FT_INVALID_HANDLE;
    TtyFailure failure;
    return FlushTtyInput(port->fd, failure) ? FT_OK : Lose(*port, failure.call, failure.error);
}

}  // namespace orv
