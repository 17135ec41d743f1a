// The handle of a stream socket, on POSIX (a file descriptor) and on Windows
// (a Winsock SOCKET), without the system headers that define sockets.
#pragma once

#include <cstdint>

namespace orv {

#ifdef _WIN32
using SocketFd = uintptr_t;  // SOCKET
constexpr SocketFd NO_SOCKET = ~SocketFd(0);  // INVALID_SOCKET
#else
using SocketFd = int;
constexpr SocketFd NO_SOCKET = -1;
#endif

}  // namespace orv
