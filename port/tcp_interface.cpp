#include "port/tcp_interface.h"

#include <algorithm>
#include <chrono>

#include "port/socket_platform.h"

namespace orv {

namespace {

using Steady = std::chrono::steady_clock;

int MillisLeft(Steady::time_point deadline)
{
    const auto left = deadline - Steady::now();
    return left <= Steady::duration::zero() ? 0 : int(std::chrono::ceil<std::chrono::milliseconds>(left).count());
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

// A non-blocking connected socket, or NO_SOCKET.
SocketFd Connect(const std::string& host, uint16_t port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    SocketFd fd = NO_SOCKET;
    for (addrinfo* a = found; a && fd == NO_SOCKET; a = a->ai_next) {
        fd = OpenNonBlockingSocket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (fd == NO_SOCKET)
            continue;
        const bool connected =
            (connect(fd, a->ai_addr, int(a->ai_addrlen)) == 0 ||
             (ConnectInProgress() && WaitReady(fd, POLLOUT, int(NETWORK_CONNECT_TIMEOUT_MS)) &&
              PendingSocketError(fd) == 0));
        if (!connected) {
            CloseSocket(fd);
            fd = NO_SOCKET;
        }
    }
    freeaddrinfo(found);
    // Every request is a few bytes that must leave at once.
    if (fd != NO_SOCKET)
        SendWithoutDelay(fd);
    return fd;
}

}  // namespace

TcpInterface::TcpInterface(std::string host, uint16_t port) : host_(std::move(host)), port_(port) {}

TcpInterface::~TcpInterface()
{
    Disconnect();
}

void TcpInterface::Disconnect()
{
    if (fd_ != NO_SOCKET)
        CloseSocket(fd_);
    fd_ = NO_SOCKET;
    data_.clear();
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
    detail.description = (Scheme() + "://" + host_ + ":" + std::to_string(port_)).substr(0, 63);
    return FT_OK;
}

FtStatus TcpInterface::Open(uint32_t index, FtHandle& handle)
{
    handle = 0;
    if (index != 0)
        return FT_DEVICE_NOT_FOUND;
    Disconnect();
    lost_ = false;
    fd_ = Connect(host_, port_);
    if (fd_ == NO_SOCKET)
        return FT_DEVICE_NOT_OPENED;
    if (!Negotiate()) {
        Disconnect();
        return FT_DEVICE_NOT_OPENED;
    }
    line_ = CommState{};
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
    const auto deadline = Steady::now() + std::chrono::milliseconds(writeMillis_ ? writeMillis_ : NETWORK_CONNECT_TIMEOUT_MS);
    size_t sent = 0;
    while (sent < wire.size() && !lost_) {
        const long n = SendSome(fd_, wire.data() + sent, wire.size() - sent);
        if (n > 0) {
            sent += size_t(n);
        } else if (n < 0 && LastSocketFailure() == SocketFailure::Other) {
            lost_ = true;
        } else if (!WaitReady(fd_, POLLOUT, MillisLeft(deadline))) {
            break;
        }
    }
    return sent == wire.size();
}

bool TcpInterface::Receive(uint32_t millis)
{
    if (lost_)
        return false;
    if (millis > 0 && !WaitReady(fd_, POLLIN, int(millis)))
        return true;
    uint8_t chunk[512];
    for (;;) {
        const long n = ReceiveSome(fd_, chunk, sizeof chunk);
        if (n > 0) {
            // A server that sends an answer in pieces waits for the
            // acknowledgement of the first: delaying it would add 40 ms.
            AcknowledgeAtOnce(fd_);
            for (long i = 0; i < n; ++i)
                DecodeByte(chunk[i], data_);
            continue;
        }
        const SocketFailure failure = n < 0 ? LastSocketFailure() : SocketFailure::Other;
        if (failure == SocketFailure::Interrupted)
            continue;
        // End of stream or an error: the server or the network is gone.
        if (n == 0 || failure != SocketFailure::WouldBlock)
            lost_ = true;
        return !lost_;
    }
}

bool TcpInterface::ReceiveUntil(const std::function<bool()>& done, uint32_t millis)
{
    const auto deadline = Steady::now() + std::chrono::milliseconds(millis);
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
    if (SendAll(wire))
        written = count;
    return lost_ ? FT_IO_ERROR : FT_OK;
}

FtStatus TcpInterface::Read(FtHandle handle, uint8_t* buffer, uint32_t count, uint32_t& read)
{
    read = 0;
    if (!Valid(handle))
        return FT_INVALID_HANDLE;
    const bool bounded = readMillis_ != 0;
    const auto deadline = Steady::now() + std::chrono::milliseconds(readMillis_);
    while (data_.size() < count) {
        const int left = bounded ? MillisLeft(deadline) : -1;
        if (left == 0)
            break;
        if (!Receive(left < 0 ? NETWORK_CONNECT_TIMEOUT_MS : uint32_t(left)))
            return FT_IO_ERROR;
    }
    read = uint32_t(std::min<size_t>(count, data_.size()));
    std::copy_n(data_.begin(), read, buffer);
    data_.erase(data_.begin(), data_.begin() + read);
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
    if (!Receive(0))
        return FT_IO_ERROR;
    data_.clear();
    PurgeServerReceive();
    return lost_ ? FT_IO_ERROR : FT_OK;
}

}  // namespace orv
