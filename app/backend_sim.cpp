// orvtool-sim: a simulated bus with demonstration devices, in real time.
#include "app/bus_backend.h"
#include "sim/demo_bus.h"

namespace orv {

namespace {
struct DemoBackend final : BusBackend {
    explicit DemoBackend(Clock& clock) : demo(clock) {}
    UsbInterface& Interface() override { return demo.Bus(); }
    DemoBus demo;
};
}  // namespace

std::unique_ptr<BusBackend> MakeBusBackend(Clock& clock)
{
    return std::make_unique<DemoBackend>(clock);
}

}  // namespace orv
