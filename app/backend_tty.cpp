// orvtool: the ORV-NET on the FTDI ttys of the ftdi_sio driver.
#include "app/bus_backend.h"
#include "link/tty_interface.h"

namespace orv {

namespace {
struct TtyBackend final : BusBackend {
    UsbInterface& Interface() override { return tty; }
    TtyInterface tty;
};
}  // namespace

std::unique_ptr<BusBackend> MakeBusBackend(Clock&)
{
    return std::make_unique<TtyBackend>();
}

}  // namespace orv
