// orvtool: the ORV-NET on the FTDI ttys of the ftdi_sio driver, or the port
// named with --port (a tty path, tcp://, rfc2217://).
#include "app/bus_backend.h"
#include "port/port_address.h"

namespace orv {

namespace {
struct PortBackend final : BusBackend {
    explicit PortBackend(const std::string& port) : usb(MakePortInterface(port)) {}
    UsbInterface& Interface() override { return *usb; }
    std::unique_ptr<UsbInterface> usb;
};
}  // namespace

std::unique_ptr<BusBackend> MakeBusBackend(Clock&)
{
    return std::make_unique<PortBackend>(ChosenBusPort());
}

}  // namespace orv
