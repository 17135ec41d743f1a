// What a --port value names, and the backend made for it.
#include <gtest/gtest.h>

#include "port/port_address.h"
#include "port/rfc2217_interface.h"
#include "port/tty_interface.h"

namespace orv {
namespace {

// Every column of every row is compared, the refused ones' included: a
// refused value names no host, port or path that could be used by mistake.
TEST(PortAddress, PathsAndUrls)
{
    const std::string noHostPort = " is no HOST:PORT (a port from 1 to 65535)";
    const struct {
        std::string text;
        PortKind kind;
        std::string path;
        std::string host;
        uint16_t port;
        std::string error;
    } cases[] = {
        {"/dev/ttyUSB1", PortKind::Tty, "/dev/ttyUSB1", "", 0, ""},
        {"/dev/pts/7", PortKind::Tty, "/dev/pts/7", "", 0, ""},
        {"tcp://plantroom:2000", PortKind::Tcp, "", "plantroom", 2000, ""},
        {"rfc2217://10.0.0.5:7000", PortKind::Rfc2217, "", "10.0.0.5", 7000, ""},
        {"tcp://[::1]:65535", PortKind::Tcp, "", "::1", 65535, ""},
        {"tcp://host", PortKind::Tcp, "", "", 0, "'host'" + noHostPort},
        {"tcp://:2000", PortKind::Tcp, "", "", 0, "':2000'" + noHostPort},
        {"tcp://host:0", PortKind::Tcp, "", "", 0, "'host:0'" + noHostPort},
        {"tcp://host:65536", PortKind::Tcp, "", "", 0, "'host:65536'" + noHostPort},
        {"rfc2217://host:20x0", PortKind::Rfc2217, "", "", 0, "'host:20x0'" + noHostPort},
        {"telnet://host:23", PortKind::Tty, "", "", 0,
         "'telnet://host:23' is of no known kind (PATH, tcp://HOST:PORT or rfc2217://HOST:PORT)"},
        {"", PortKind::Tty, "", "", 0, "an empty port"},
    };
    for (const auto& c : cases) {
        const PortAddress address = ParsePortAddress(c.text);
        EXPECT_EQ(address.error, c.error) << c.text;
        EXPECT_EQ(address.kind, c.kind) << c.text;
        EXPECT_EQ(address.path, c.path) << c.text;
        EXPECT_EQ(address.host, c.host) << c.text;
        EXPECT_EQ(address.port, c.port) << c.text;
    }
}

TEST(PortAddress, EachKindGetsItsBackend)
{
    EXPECT_NE(dynamic_cast<TtyInterface*>(MakePortInterface(ParsePortAddress("/dev/ttyUSB0")).get()), nullptr);
    const auto tcp = MakePortInterface(ParsePortAddress("tcp://localhost:2000"));
    EXPECT_NE(dynamic_cast<TcpInterface*>(tcp.get()), nullptr);
    EXPECT_EQ(dynamic_cast<Rfc2217Interface*>(tcp.get()), nullptr);
    EXPECT_NE(dynamic_cast<Rfc2217Interface*>(MakePortInterface(ParsePortAddress("rfc2217://localhost:2000")).get()),
              nullptr);
}

}  // namespace
}  // namespace orv
