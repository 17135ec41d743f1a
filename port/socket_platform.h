// Stream sockets under one set of names on POSIX and on Windows (Winsock),
// for the network backends of the USB interface: non-blocking sockets,
// waiting for readiness, sending without a broken-pipe signal, and why a
// call failed.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstddef>
#include <cstdint>
#include <string>

#include "port/socket_fd.h"
#include "port/system_error.h"

namespace orv {

enum class SocketFailure { WouldBlock, Interrupted, Other };

#ifdef _WIN32
// Winsock starts once per process, before the first socket; it stays up.
inline bool StartSockets()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

inline SocketFd OpenNonBlockingSocket(int family, int type, int protocol)
{
    if (!StartSockets())
        return NO_SOCKET;
    SocketFd fd = WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    u_long nonBlocking = 1;
    if (fd != NO_SOCKET && ioctlsocket(fd, FIONBIO, &nonBlocking) != 0) {
        closesocket(fd);
        fd = NO_SOCKET;
    }
    return fd;
}

inline void CloseSocket(SocketFd fd) { closesocket(fd); }

// Windows acknowledges received data on its own schedule.
inline void AcknowledgeAtOnce(SocketFd) {}

// A non-blocking connect that has not finished yet reports "would block".
inline bool ConnectInProgress()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

inline int PollSocket(SocketFd fd, short events, int millis)
{
    WSAPOLLFD p{fd, events, 0};
    return WSAPoll(&p, 1, millis);
}

inline long SendSome(SocketFd fd, const uint8_t* data, size_t count)
{
    return send(fd, reinterpret_cast<const char*>(data), int(count), 0);
}

inline long ReceiveSome(SocketFd fd, uint8_t* data, size_t count)
{
    return recv(fd, reinterpret_cast<char*>(data), int(count), 0);
}

inline int LastSocketError() { return WSAGetLastError(); }

inline bool ConnectionRefused(int error) { return error == WSAECONNREFUSED; }

inline SocketFailure LastSocketFailure()
{
    switch (WSAGetLastError()) {
    case WSAEWOULDBLOCK:
        return SocketFailure::WouldBlock;
    case WSAEINTR:
        return SocketFailure::Interrupted;
    default:
        return SocketFailure::Other;
    }
}
#else
inline SocketFd OpenNonBlockingSocket(int family, int type, int protocol)
{
    return socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
}

inline void CloseSocket(SocketFd fd) { close(fd); }

// The next acknowledgement of received data leaves at once, not delayed.
inline void AcknowledgeAtOnce(SocketFd fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

inline bool ConnectInProgress() { return errno == EINPROGRESS; }

inline int PollSocket(SocketFd fd, short events, int millis)
{
    pollfd p{fd, events, 0};
    return poll(&p, 1, millis);
}

inline long SendSome(SocketFd fd, const uint8_t* data, size_t count) { return send(fd, data, count, MSG_NOSIGNAL); }

inline long ReceiveSome(SocketFd fd, uint8_t* data, size_t count) { return recv(fd, data, count, 0); }

inline int LastSocketError() { return errno; }

inline bool ConnectionRefused(int error) { return error == ECONNREFUSED; }

inline SocketFailure LastSocketFailure()
{
    switch (errno) {
    case EAGAIN:
        return SocketFailure::WouldBlock;
    case EINTR:
        return SocketFailure::Interrupted;
    default:
        return SocketFailure::Other;
    }
}
#endif

// The system's words for a socket error.
inline std::string SocketErrorText(int error) { return SystemErrorText(error); }

// The error a finished non-blocking connect left on the socket; 0 when none.
inline int PendingSocketError(SocketFd fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
        return -1;
    return error;
}

// Small writes leave at once instead of waiting to be joined.
inline void SendWithoutDelay(SocketFd fd)
{
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

}  // namespace orv
