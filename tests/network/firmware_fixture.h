// A bus link on a simulated bus in virtual time, a registry with a view that
// counts what it is asked to do, simulated devices, and image files in a
// scratch directory: what the firmware update and the mode commands run on.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "network/device_registry.h"
#include "network/network_view.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {

class CountingView final : public NetworkView {
public:
    void ShowInstructions() override { ++instructions; }
    void ResetDeviceList() override { ++resets; }
    void RefreshDeviceList() override { ++refreshes; }
    int instructions = 0;
    int resets = 0;
    int refreshes = 0;
};

class FirmwareFixture : public ::testing::Test, public SimBusRig {
public:
    DeviceRegistry registry{log};
    CountingView view;
    NetworkContext context{services, registry, view};
    std::filesystem::path scratch;

    void SetUp() override
    {
        ASSERT_TRUE(OpenLink());
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("orv_fw_") + test->test_suite_name() + "_" + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        scratch = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(scratch);
    }

    void TearDown() override
    {
        for (auto& device : devices)
            bus.Detach(*device);
        std::filesystem::remove_all(scratch);
    }

    SimDevice& AddDevice(uint8_t address, uint8_t serialTail)
    {
        return SimBusRig::AddDevice(SimDeviceKind::Relay, address, SerialNumber{serialTail, 0x22, 0x33, 0x44});
    }

    // The record a discovery would make of the device.
    static DeviceRecord RecordOf(const SimDevice& device, bool sharedAddress = false)
    {
        DeviceRecord record;
        record.name = device.Info().name;
        record.serialNumber = device.Info().serial;
        record.address = device.Address();
        record.sharedAddress = sharedAddress;
        return record;
    }

    // Puts the device into the registry and selects it.
    void SelectDevice(const SimDevice& device, bool sharedAddress = false)
    {
        registry.Append(RecordOf(device, sharedAddress));
        registry.Select(uint8_t(registry.Count() - 1));
    }

    // An image file of size bytes 0, 1, 2, ... (mod 251, so that blocks differ).
    std::string WriteImage(size_t size)
    {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = uint8_t(i % 251);
        return WriteFile("image.bin", bytes);
    }

    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::filesystem::path path = scratch / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path.string();
    }

    // A file of size bytes that occupies no disk space.
    std::string SparseFile(const std::string& name, uint64_t size)
    {
        const std::filesystem::path path = scratch / name;
        std::ofstream(path, std::ios::binary).close();
        std::filesystem::resize_file(path, size);
        return path.string();
    }

    static std::vector<uint8_t> ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The commands heard on the bus, in order.
    std::vector<uint16_t> HeardCommands() const
    {
        std::vector<uint16_t> commands;
        for (const auto& frame : bus.Heard())
            commands.push_back(frame.command);
        return commands;
    }

    // The block numbers of the FIRMWARE_BLOCKs heard, in order.
    std::vector<uint16_t> HeardBlockNumbers() const
    {
        std::vector<uint16_t> numbers;
        for (const auto& frame : Sent(FIRMWARE_BLOCK))
            numbers.push_back(uint16_t(frame.payload[0] | frame.payload[1] << 8));
        return numbers;
    }
};

}  // namespace orv::test
