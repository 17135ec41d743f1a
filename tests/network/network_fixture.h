// The device network on a simulated bus in virtual time: a registry, a view
// that records what it was asked to do, scripted prompts and simulated devices.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "network/network_view.h"
#include "tests/support/sim_bus_rig.h"

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

class NetworkFixture : public ::testing::Test, public SimBusRig {
protected:
    DeviceRegistry registry{log};
    RecordingView view;
    NetworkContext context{services, registry, view};

    void SetUp() override { ASSERT_TRUE(OpenLink()); }

    SimDevice& AddDevice(uint8_t address, uint8_t serialTag, SimDeviceKind kind = SimDeviceKind::Relay)
    {
        return SimBusRig::AddDevice(kind, address, Serial(serialTag));
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
