#include "tests/support/sim_bus_rig.h"

namespace orv::test {

bool VirtualServices::OpenLink(UsbInterface& usb)
{
    BindBusLink(usb, services);
    const bool opened = OpenBusInterface();
    log.lines.clear();
    return opened;
}

SimDevice& SimBusRig::AddDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial)
{
    devices.push_back(std::make_unique<SimDevice>(kind, address, serial));
    bus.Attach(*devices.back());
    return *devices.back();
}

std::vector<HeardFrame> SimBusRig::Sent(uint16_t command) const
{
    std::vector<HeardFrame> frames;
    for (const auto& frame : bus.Heard())
        if (frame.command == command)
            frames.push_back(frame);
    return frames;
}

}  // namespace orv::test
