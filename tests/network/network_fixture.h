// The device network on a simulated bus in virtual time: a registry, a view
// that records what it was asked to do, scripted prompts and simulated devices.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "link/bus_link.h"
#include "link/clock.h"
#include "link/log.h"
#include "network/network_view.h"
#include "sim/sim_bus.h"
#include "sim/sim_device.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {

class RecordingView final : public NetworkView {
public:
    void ShowInstructions() override { calls.push_back("instructions"); }
    void ResetDeviceList() override { calls.push_back("reset"); }
    void RefreshDeviceList() override { calls.push_back("refresh"); }

    int Count(const std::string& call) const { return int(std::count(calls.begin(), calls.end(), call)); }
    std::vector<std::string> calls;
};

inline SerialNumber Serial(uint8_t tag)
{
    return {tag, 0x5A, 0x00, 0x12};
}

inline DeviceRecord Record(uint8_t address, const SerialNumber& serial, const std::string& name = "ORV-Relay")
{
    DeviceRecord record;
    record.name = name;
    record.serialNumber = serial;
    record.address = address;
    record.typeCode = TypeFromName(name);
    return record;
}

class NetworkFixture : public ::testing::Test {
protected:
    VirtualClock clock;
    CollectingLog log;
    ScriptedPrompts prompts;
    Services services{clock, log, prompts};
    SimBus bus{clock};
    DeviceRegistry registry{log};
    RecordingView view;
    NetworkContext context{services, registry, view};
    std::vector<std::unique_ptr<SimDevice>> devices;

    void SetUp() override
    {
        BindBusLink(bus, services);
        ASSERT_TRUE(OpenBusInterface());
        log.lines.clear();
    }

    SimDevice& AddDevice(uint8_t address, uint8_t serialTag, SimDeviceKind kind = SimDeviceKind::Relay)
    {
        devices.push_back(std::make_unique<SimDevice>(kind, address, Serial(serialTag)));
        bus.Attach(*devices.back());
        return *devices.back();
    }

    // The frames of one command the tool put on the bus, in order.
    std::vector<HeardFrame> Sent(uint16_t command) const
    {
        std::vector<HeardFrame> frames;
        for (const auto& frame : bus.Heard())
            if (frame.command == command)
                frames.push_back(frame);
        return frames;
    }

    std::vector<int> Destinations(uint16_t command) const
    {
        std::vector<int> destinations;
        for (const auto& frame : Sent(command))
            destinations.push_back(frame.destination);
        return destinations;
    }

    std::vector<int> RegistryAddresses() const
    {
        std::vector<int> addresses;
        for (uint8_t a : registry.GetDeviceAddresses())
            addresses.push_back(a);
        return addresses;
    }
};

// 0, 1, ... last.
inline std::vector<int> Ascending(int first, int last)
{
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

}  // namespace orv::test
