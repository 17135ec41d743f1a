#include "port/tcp_interface.h"

#include <algorithm>

#include "port/socket_platform.h"

namespace orv {

namespace {

using Steady = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

int MillisLeft(Steady::time_point deadline)
{
    const auto left = deadline - Steady::now();
    return left <= Steady::duration::zero() ? 0 : int(std::chrono::ceil<Millis>(left).count());
}

// Waits until fd is ready for events or the time is up (false). An error or
// hang-up counts as ready, so that the next call reports it.
bool WaitReady(SocketFd fd, short events, int millis)
{
    for (;;) {
        const int n = PollSocket(fd, events, millis);
        if (n > 0)
            return true;
        if (n == 0 || LastSocketFailure() != SocketFailure::Interrupted)
            return n != 0;
    }
}

// Before a line is set the server's rate is not known: the fastest serial line.
constexpr uint32_t UNSET_LINE_BAUD = 3000000;

}  // namespace

TcpInterface::TcpInterface(std::string host, uint16_t port, NameResolver resolve)
    : host_(std::move(host)), port_(port), resolve_(std::move(resolve))
{
}

TcpInterface::~TcpInterface()
{
    Disconnect();
}

std::string TcpInterface::Url() const
{
    const bool ipv6 = host_.find(':') != std::string::npos;
    return Scheme() + "://" + (ipv6 ? "[" + host_ + "]" : host_) + ":" + std::to_string(port_);
}

void TcpInterface::Disconnect()
{
    if (fd_ != NO_SOCKET)
        CloseSocket(fd_);
    fd_ = NO_SOCKET;
    data_.clear();
}

void TcpInterface::Refuse(const std::string& why)
{
    failures_.Keep(why);
    LogF(Log(), " Cannot open %s: %s ", Url().c_str(), why.c_str());
}

void TcpInterface::Lose(const std::string& why)
{
    if (lost_)
        return;
    lost_ = true;
    failures_.Keep(why);
    LogF(Log(), " %s: %s ", Url().c_str(), why.c_str());
}

bool TcpInterface::Connect(FtStatus& failure)
{
    // Trying again would only repeat what took the whole bound.
    failure = FT_DEVICE_NOT_FOUND;
    const auto deadline = Steady::now() + Millis(NETWORK_CONNECT_TIMEOUT_MS);
    const Resolution found = resolve_(host_, port_, NETWORK_CONNECT_TIMEOUT_MS);
    if (found.addresses.empty()) {
        Refuse("the name " + host_ + " does not resolve (" + found.error + ")");
        return false;
    }
    bool refused = false;
    bool timedOut = false;
    int otherError = 0;
    const size_t count = found.addresses.size();
    for (size_t i = 0; i < count && fd_ == NO_SOCKET; ++i) {
        const int left = MillisLeft(deadline);
        if (left == 0) {
            timedOut = true;
            break;
        }
        const SocketAddress& address = found.addresses[i];
        const SocketFd fd = OpenNonBlockingSocket(address.family, SOCK_STREAM, 0);
        if (fd == NO_SOCKET) {
            otherError = LastSocketError();
            continue;
        }
        // The addresses still to try share what is left of the bound.
        const int slice = std::max(1, left / int(count - i));
        int error = 0;
        bool late = false;
        if (connect(fd, reinterpret_cast<const sockaddr*>(address.bytes.data()), int(address.bytes.size())) != 0) {
            if (!ConnectInProgress())
                error = LastSocketError();
            else if (!WaitReady(fd, POLLOUT, slice))
                late = true;
            else
                error = PendingSocketError(fd);
        }
        if (!late && error == 0) {
            fd_ = fd;
            break;
        }
        CloseSocket(fd);
        timedOut = timedOut || late;
        refused = refused || (error != 0 && ConnectionRefused(error));
        if (error != 0 && !ConnectionRefused(error))
            otherError = error;
    }
    if (fd_ != NO_SOCKET) {
        // Every request is a few bytes that must leave at once.
        SendWithoutDelay(fd_);
        return true;
    }
    if (refused)
        Refuse("the server refused the connection (nothing listens on port " + std::to_string(port_) + ")");
    else if (timedOut)
        Refuse(StrF("the server did not accept a connection within %.0f s", NETWORK_CONNECT_TIMEOUT_MS / 1000.0));
    else
        Refuse("cannot connect: " + SocketErrorText(otherError));
    return false;
}

FtStatus TcpInterface::CreateDeviceInfoList(uint32_t& count)
{
    count = 1;
    return FT_OK;
}

FtStatus TcpInterface::GetDeviceInfoDetail(uint32_t index, DeviceDetail& detail)
{
    if (index != 0)
        return FT_DEVICE_NOT_FOUND;
    detail = DeviceDetail{};
    detail.serialNumber = std::string(host_).substr(0, 15);
    detail.description = Url().substr(0, 63);
    return FT_OK;
}

FtStatus TcpInterface::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    if (index != 0)
        return FT_DEVICE_NOT_FOUND;
    Disconnect();
    lost_ = false;
    failures_.Clear();
    allowance_ = double(NETWORK_RECEIVE_LIMIT);
    counted_ = Steady::now();
    echoAwaited_ = false;
    echoHeard_ = false;
    lastWrite_.clear();
    line_ = CommState{};
    FtStatus failure = FT_OK;
    if (!Connect(failure))
        return failure;
    if (!Negotiate()) {
        Disconnect();
        return FT_DEVICE_NOT_FOUND;
    }
    handle = HANDLE;
    return FT_OK;
}

FtStatus TcpInterface::Close(FtHandle handle)
{
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    Disconnect();
    return FT_OK;
}

bool TcpInterface::GetCommState(FtHandle handle, CommState& state)
{
    if (!Valid(handle))
        return false;
    state = line_;
    return true;
}

bool TcpInterface::SetCommState(FtHandle handle, const CommState& state)
{
    if (!Valid(handle) || !ApplyLine(state))
        return false;
    line_ = state;
    return true;
}

FtStatus TcpInterface::SetTimeouts(FtHandle handle, uint32_t readMillis, uint32_t writeMillis)
{
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    readMillis_ = readMillis;
    writeMillis_ = writeMillis;
    return FT_OK;
}

FtStatus TcpInterface::ClrRts(FtHandle handle)
{
    return Valid(handle) ? FT_OK : FT_INVALID_HANDLE;
}

void TcpInterface::EncodeData(const uint8_t* data, uint32_t count, std::vector<uint8_t>& wire)
{
    wire.insert(wire.end(), data, data + count);
}

bool TcpInterface::SendAll(const std::vector<uint8_t>& wire)
{
    const auto deadline = Steady::now() + Millis(writeMillis_ ? writeMillis_ : NETWORK_CONNECT_TIMEOUT_MS);
    size_t sent = 0;
    while (sent < wire.size() && !lost_) {
        const long n = SendSome(fd_, wire.data() + sent, wire.size() - sent);
        if (n > 0) {
            sent += size_t(n);
        } else if (n < 0 && LastSocketFailure() == SocketFailure::Other) {
            Lose("the connection broke (" + SocketErrorText(LastSocketError()) + ")");
        } else if (!WaitReady(fd_, POLLOUT, MillisLeft(deadline))) {
            break;
        }
    }
    return sent == wire.size();
}

bool TcpInterface::WithinLineRate(size_t bytes)
{
    const auto now = Steady::now();
    const double baud = line_.baudRate ? line_.baudRate : UNSET_LINE_BAUD;
    // Ten bits a byte at least: a start bit, eight data bits, a stop bit.
    const double perSecond = baud / 10 * NETWORK_RATE_MARGIN;
    allowance_ = std::min(double(NETWORK_RECEIVE_LIMIT),
                          allowance_ + std::chrono::duration<double>(now - counted_).count() * perSecond);
    counted_ = now;
    allowance_ -= double(bytes);
    return allowance_ >= 0;
}

bool TcpInterface::Receive(uint32_t millis)
{
    if (lost_)
        return false;
    if (millis > 0 && !WaitReady(fd_, POLLIN, int(millis)))
        return true;
    // A server that never stops sending is read no longer than the wait.
    const auto until = Steady::now() + Millis(millis);
    uint8_t chunk[512];
    while (data_.size() < NETWORK_RECEIVE_LIMIT) {
        const long n = ReceiveSome(fd_, chunk, sizeof chunk);
        if (n > 0) {
            // A server that sends an answer in pieces waits for the
            // acknowledgement of the first: delaying it would add 40 ms.
            AcknowledgeAtOnce(fd_);
            echoAwaited_ = false;
            if (!WithinLineRate(size_t(n))) {
                Lose(StrF("the server sends faster than a %u baud line can carry: it does not pass the bus's bytes",
                          line_.baudRate ? line_.baudRate : UNSET_LINE_BAUD));
                return false;
            }
            for (long i = 0; i < n; ++i)
                DecodeByte(chunk[i], data_);
            if (lost_ || Steady::now() >= until)
                return !lost_;
            continue;
        }
        const SocketFailure failure = n < 0 ? LastSocketFailure() : SocketFailure::Other;
        if (failure == SocketFailure::Interrupted)
            continue;
        if (n == 0)
            Lose("the server closed the connection");
        else if (failure != SocketFailure::WouldBlock)
            Lose("the connection broke (" + SocketErrorText(LastSocketError()) + ")");
        return !lost_;
    }
    return true;
}

bool TcpInterface::ReceiveUntil(const std::function<bool()>& done, uint32_t millis)
{
    const auto deadline = Steady::now() + Millis(millis);
    while (!done()) {
        const int left = MillisLeft(deadline);
        if (left == 0 || !Receive(uint32_t(left)))
            return false;
    }
    return true;
}

FtStatus TcpInterface::Write(FtHandle handle, const uint8_t* buffer, uint32_t count, uint32_t& written)
{
    written = 0;
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    std::vector<uint8_t> wire;
    EncodeData(buffer, count, wire);
    if (!SendAll(wire)) {
        Lose(StrF("a write of %zu bytes did not leave within %u ms: the server does not take what is sent",
                  wire.size(), writeMillis_ ? writeMillis_ : NETWORK_CONNECT_TIMEOUT_MS));
        return FT_IO_ERROR;
    }
    written = count;
    lastWrite_.assign(buffer, buffer + count);
    if (count > 0 && !echoAwaited_) {
        echoAwaited_ = true;
        echoDue_ = Steady::now() + Millis(NETWORK_ECHO_LIMIT_MS);
    }
    return FT_OK;
}

FtStatus TcpInterface::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    const bool bounded = readMillis_ != 0;
    const auto deadline = Steady::now() + Millis(readMillis_);
    while (data_.size() < count) {
        const int left = bounded ? MillisLeft(deadline) : -1;
        if (left == 0)
            break;
        if (!Receive(left < 0 ? NETWORK_CONNECT_TIMEOUT_MS : uint32_t(left)))
            return FT_IO_ERROR;
    }
    if (data_.size() < count && echoAwaited_ && Steady::now() >= echoDue_) {
        if (echoHeard_)
            Lose(StrF("the server stopped passing the bus's bytes: nothing came back within %u ms of a write, though "
                      "the bus echoes every byte; the line behind the server was cut or hung up",
                      NETWORK_ECHO_LIMIT_MS));
        else
            Lose(StrF("the server sent nothing back within %u ms of a write: the bus echoes every byte, so the "
                      "server's serial port is not on the bus",
                      NETWORK_ECHO_LIMIT_MS));
        return FT_IO_ERROR;
    }
    read = uint32_t(std::min<size_t>(count, data_.size()));
    std::copy_n(data_.begin(), read, buffer);
    data_.erase(data_.begin(), data_.begin() + read);
    if (read > 0 && read == lastWrite_.size() && std::equal(buffer, buffer + read, lastWrite_.begin()))
        echoHeard_ = true;
    return FT_OK;
}

FtStatus TcpInterface::GetQueueStatus(FtHandle handle, uint32_t& waiting)
{
    waiting = 0;
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    if (!Receive(0))
        return FT_IO_ERROR;
    waiting = uint32_t(data_.size());
    return FT_OK;
}

FtStatus TcpInterface::PurgeReceive(FtHandle handle)
{
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    // Bytes the server sent before its purge are still on their way: they
    // are drained after it, or they would outlive the purge.
    if (!PurgeServerReceive() || !Receive(0))
        return FT_IO_ERROR;
    data_.clear();
    return lost_ ? FT_IO_ERROR : FT_OK;
}

}  // namespace orv
