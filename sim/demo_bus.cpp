#include "sim/demo_bus.h"

#include "sim/demo_images.h"
#include "sim/sim_device.h"

namespace orv {

namespace {

struct DemoDevice {
    SimDeviceKind kind;
    uint8_t address;
    SerialNumber serial;
    uint8_t firmwareMajor;
    uint8_t firmwareMinor;
    bool configured;
};

// Serial numbers as the devices send them (the tool shows them reversed).
constexpr DemoDevice DEMO_DEVICES[] = {
    {SimDeviceKind::Input8, 3, {0x31, 0x10, 0x00, 0x21}, 1, 0x20, true},
    {SimDeviceKind::RS232, 5, {0x52, 0x20, 0x00, 0x21}, 1, 0x14, true},
    {SimDeviceKind::LED4PD, 7, {0x73, 0x30, 0x00, 0x21}, 1, 0x05, true},
    {SimDeviceKind::Relay, 9, {0x94, 0x40, 0x00, 0x21}, 1, 0x02, true},
    {SimDeviceKind::Input8, 12, {0x12, 0x11, 0x00, 0x21}, 1, 0x20, false},
};

}  // namespace

DemoBus::DemoBus(Clock& clock) : bus_(clock)
{
    for (const DemoDevice& d : DEMO_DEVICES) {
        auto device = std::make_unique<SimDevice>(d.kind, d.address, d.serial);
        device->Info().firmwareMajor = d.firmwareMajor;
        device->Info().firmwareMinor = d.firmwareMinor;
        device->Info().configured = d.configured ? 1 : 0;
        if (d.configured && d.kind == SimDeviceKind::Input8)
            device->LoadMemory(DemoInput8Image());
        if (d.configured && d.kind == SimDeviceKind::RS232)
            device->LoadMemory(DemoRS232Image());
        bus_.Attach(*device);
        devices_.push_back(std::move(device));
    }
}

DemoBus::~DemoBus() = default;

}  // namespace orv
