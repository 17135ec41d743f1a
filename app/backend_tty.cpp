// orvtool: the ORV-NET on the FTDI ttys of the ftdi_sio driver, or the port
// named with --port (a tty path, tcp://, rfc2217://), else the one chosen in
// the connection dialog of an earlier run. The line can be changed while the
// program runs.
#include "app/bus_backend.h"
#include "network/bus_line.h"
#include "port/port_address.h"
#include "ui/settings.h"

namespace orv {

namespace {
struct PortBackend final : BusBackend {
    explicit PortBackend(const std::string& port)
        : line([](const std::string& chosen) { return MakePortInterface(chosen); }, port)
    {
    }
    UsbInterface& Interface() override { return line; }
    BusLine line;
};
}  // namespace

std::unique_ptr<BusBackend> MakeBusBackend(Clock&)
{
    // --port is for its run only.
    const std::string& port = ChosenBusPort();
    return std::make_unique<PortBackend>(port.empty() ? SavedInterface().value_or("") : port);
}

}  // namespace orv
