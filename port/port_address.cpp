#include "port/port_address.h"

#include <algorithm>

#include "port/rfc2217_interface.h"
#include "port/serial_port.h"
#include "port/tcp_interface.h"

namespace orv {

namespace {

struct Scheme {
    const char* prefix;
    PortKind kind;
};
constexpr Scheme NETWORK_SCHEMES[] = {{"tcp://", PortKind::Tcp}, {"rfc2217://", PortKind::Rfc2217}};

// HOST:PORT, [IPV6]:PORT.
void ParseHostPort(const std::string& text, PortAddress& address)
{
    const size_t colon = text.rfind(':');
    std::string host = colon == std::string::npos ? std::string() : text.substr(0, colon);
    const std::string port = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const bool digits = !port.empty() && port.size() <= 5 &&
                        std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long number = digits ? std::stol(port) : 0;
    if (host.empty() || number < 1 || number > 65535) {
        address.error = "'" + text + "' is no HOST:PORT (a port from 1 to 65535)";
        return;
    }
    address.host = host;
    address.port = uint16_t(number);
}

}  // namespace

PortAddress ParsePortAddress(const std::string& text)
{
    PortAddress address;
    for (const Scheme& scheme : NETWORK_SCHEMES) {
        const std::string prefix = scheme.prefix;
        if (text.compare(0, prefix.size(), prefix) == 0) {
            address.kind = scheme.kind;
            ParseHostPort(text.substr(prefix.size()), address);
            return address;
        }
    }
    if (text.find("://") != std::string::npos)
        address.error = "'" + text + "' is of no known kind (" + PORT_FORMS + ")";
    else if (text.empty())
        address.error = "an empty port";
    else
        address.path = text;
    return address;
}

std::unique_ptr<UsbInterface> MakePortInterface(const PortAddress& address)
{
    switch (address.kind) {
    case PortKind::Tcp:
        return std::make_unique<TcpInterface>(address.host, address.port);
    case PortKind::Rfc2217:
        return std::make_unique<Rfc2217Interface>(address.host, address.port);
    case PortKind::Tty:
        break;
    }
    return SerialInterface::ForPath(address.path);
}

std::unique_ptr<UsbInterface> MakePortInterface(const std::string& port)
{
    if (port.empty())
        return std::make_unique<SerialInterface>();
    return MakePortInterface(ParsePortAddress(port));
}

}  // namespace orv
