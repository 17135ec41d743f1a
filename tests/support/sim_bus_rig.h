// What the core tests run on: the seams of an operation in virtual time, and
// a simulated bus on that time with the devices a test puts on it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "link/bus_link.h"
#include "services/clock.h"
#include "services/log.h"
#include "services/services.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {

// A virtual clock, a log that keeps its lines and prompts that answer as scripted.
struct VirtualServices {
    VirtualServices() : services{clock, log, prompts} {}
    // For operations that see time through another clock, one over this one.
    explicit VirtualServices(Clock& operationClock) : services{operationClock, log, prompts} {}

    VirtualClock clock;
    CollectingLog log;
    ScriptedPrompts prompts;
    Services services;

    // Binds the bus link to usb and opens it; what the open logged is forgotten.
    bool OpenLink(UsbInterface& usb);
};

struct SimBusRig : VirtualServices {
    using VirtualServices::VirtualServices;

    SimBus bus{clock};
    std::vector<std::unique_ptr<SimDevice>> devices;

    using VirtualServices::OpenLink;
    bool OpenLink() { return OpenLink(bus); }

    // A device of the rig's own, attached to the bus.
    SimDevice& AddDevice(SimDeviceKind kind, uint8_t address, const SerialNumber& serial);

    // The frames of one command the tool put on the bus, in order.
    std::vector<HeardFrame> Sent(uint16_t command) const;
};

}  // namespace orv::test
