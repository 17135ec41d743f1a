// Turning a server's name into the addresses to connect to, within a time
// bound: the system's resolver blocks for as long as its own retries last,
// so it runs aside and is abandoned when the bound passes. Tests put a
// resolver of their own in its place, so that no query leaves the machine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

// One address of a name: a socket address as the system's connect takes it.
struct SocketAddress {
    int family = 0;
    std::vector<uint8_t> bytes;
};

struct Resolution {
    std::vector<SocketAddress> addresses;
    std::string error;  // why there are none, in the resolver's words
};

using NameResolver = std::function<Resolution(const std::string& host, uint16_t port, uint32_t millis)>;

// The system's resolver, for stream sockets, waited for at most millis.
Resolution ResolveName(const std::string& host, uint16_t port, uint32_t millis);

// The loopback address 127.0.0.1 at port, for tests and literal addresses.
SocketAddress LoopbackAddress(uint16_t port);

}  // namespace orv
