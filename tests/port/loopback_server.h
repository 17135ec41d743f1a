// Servers on 127.0.0.1 that misbehave as a serial device server can: each
// accepts one connection and runs a script on it in a thread of its own, so
// that a network backend meets them over real sockets without leaving the
// machine.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace orv::test {

class LoopbackServer {
public:
    // The script gets the connection and a flag that turns true when the
    // test is over; the connection is closed after it returns.
    using Script = std::function<void(int connection, const std::atomic<bool>& stop)>;

    // receiveBuffer: the accepted connection's receive buffer (0: the
    // system's), small for a server that should fall behind quickly.
    explicit LoopbackServer(Script script, int receiveBuffer = 0)
    {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 1) != 0)
            return;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, script = std::move(script)] {
            pollfd p{listener_, POLLIN, 0};
            while (!stop_ && poll(&p, 1, 10) <= 0) {
            }
            if (stop_)
                return;
            connection_ = accept(listener_, nullptr, nullptr);
            if (connection_ < 0)
                return;
            script(connection_, stop_);
        });
    }

    ~LoopbackServer()
    {
        stop_ = true;
        // Ends a script blocked in a write to a client that no longer reads.
        if (connection_ >= 0)
            shutdown(connection_, SHUT_RDWR);
        if (thread_.joinable())
            thread_.join();
        if (connection_ >= 0)
            close(connection_);
        close(listener_);
    }

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return port_; }

private:
    int listener_ = -1;
    std::atomic<int> connection_{-1};
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Writes all of bytes; false once the client is gone.
inline bool SendToClient(int connection, const std::vector<uint8_t>& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(connection, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += size_t(n);
    }
    return true;
}

// Ends the connection with a reset (RST) instead of an orderly close: on
// Linux, dissolving a connected TCP socket's association sends one.
inline void ResetConnection(int connection)
{
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    connect(connection, &unspecified, sizeof unspecified);
}

// The next bytes from the client, waiting up to 10 ms; false once it is gone.
inline bool ReceiveFromClient(int connection, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    pollfd p{connection, POLLIN, 0};
    if (poll(&p, 1, 10) <= 0)
        return true;
    uint8_t chunk[512];
    const ssize_t n = recv(connection, chunk, sizeof chunk, 0);
    if (n <= 0)
        return false;
    bytes.assign(chunk, chunk + n);
    return true;
}

}  // namespace orv::test
