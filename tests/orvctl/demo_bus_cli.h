// orvctl on one demonstration bus in virtual time that lives across the
// runs of a test, with a folder of the test's own for its files.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>

#include "sim/demo_bus.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

class DemoBusCliTest : public ::testing::Test, public VirtualServices {
protected:
    DemoBus demo{clock};
    BusFactory factory = [this](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };
    TempFolder folder;

    SimDevice& Device(SimDeviceKind kind)
    {
        for (const auto& device : demo.Devices())
            if (device->Kind() == kind)
                return *device;
        throw std::logic_error("no such demo device");
    }
};

}  // namespace orv::test
