// What a --port value names, and the one place that turns it into an
// interface backend: a tty path (an FTDI node, a pseudo-terminal, a bridge),
// tcp://HOST:PORT (a raw serial device server) or rfc2217://HOST:PORT.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "port/usb_interface.h"

namespace orv {

enum class PortKind { Tty, Tcp, Rfc2217 };

struct PortAddress {
    PortKind kind = PortKind::Tty;
    std::string path;  // Tty
    std::string host;  // Tcp and Rfc2217, without the brackets of an IPv6 address
    uint16_t port = 0;
    std::string error;  // why the value names no port; empty when it does
};

PortAddress ParsePortAddress(const std::string& text);

// The backend for a parsed address.
std::unique_ptr<UsbInterface> MakePortInterface(const PortAddress& address);
// The backend for a --port value; for none (empty) the FTDI interfaces
// listed in sysfs.
std::unique_ptr<UsbInterface> MakePortInterface(const std::string& port);

// The usage line of the forms a --port value takes.
constexpr const char* PORT_FORMS = "PATH, tcp://HOST:PORT or rfc2217://HOST:PORT";

}  // namespace orv
