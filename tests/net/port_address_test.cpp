// What a --port value names, and the backend made for it.
#include <gtest/gtest.h>

#include "port/port_address.h"
#include "port/rfc2217_interface.h"
#include "port/tty_interface.h"

namespace orv {
namespace {

TEST(PortAddress, PathsAndUrls)
{
    const struct {
        std::string text;
        PortKind kind;
        std::string path;
        std::string host;
        uint16_t port;
        bool valid;
    } cases[] = {
        {"/dev/ttyUSB1", PortKind::Tty, "/dev/ttyUSB1", "", 0, true},
        {"/dev/pts/7", PortKind::Tty, "/dev/pts/7", "", 0, true},
        {"tcp://plantroom:2000", PortKind::Tcp, "", "plantroom", 2000, true},
        {"rfc2217://10.0.0.5:7000", PortKind::Rfc2217, "", "10.0.0.5", 7000, true},
        {"tcp://[::1]:65535", PortKind::Tcp, "", "::1", 65535, true},
        {"tcp://host", PortKind::Tcp, "", "", 0, false},
        {"tcp://:2000", PortKind::Tcp, "", "", 0, false},
        {"tcp://host:0", PortKind::Tcp, "", "", 0, false},
        {"tcp://host:65536", PortKind::Tcp, "", "", 0, false},
        {"rfc2217://host:20x0", PortKind::Rfc2217, "", "", 0, false},
        {"telnet://host:23", PortKind::Tty, "", "", 0, false},
        {"", PortKind::Tty, "", "", 0, false},
    };
    for (const auto& c : cases) {
        const PortAddress address = ParsePortAddress(c.text);
        EXPECT_EQ(address.error.empty(), c.valid) << c.text << ": " << address.error;
        if (!c.valid)
            continue;
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
