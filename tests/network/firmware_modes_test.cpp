#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "network/device_modes.h"
#include "network/firmware_update.h"
#include "tests/network/firmware_fixture.h"

namespace orv::test {
namespace {

using DeviceModes = FirmwareFixture;

TEST_F(DeviceModes, BootAndConfigModeSwitchTheSelectedDevice)
{
    AddDevice(3, 0x10);
    SimDevice& device = AddDevice(7, 0x11);
    SelectDevice(device);

    EXPECT_EQ(EnterBootMode(context), ModeCommandOutcome::Acknowledged);
    EXPECT_EQ(device.Mode(), SimDeviceMode::BootLoader);
    EXPECT_EQ(EnterConfigMode(context), ModeCommandOutcome::Acknowledged);
    EXPECT_EQ(device.Mode(), SimDeviceMode::Firmware);

    ASSERT_EQ(bus.Heard().size(), 2u);
    EXPECT_EQ(bus.Heard()[0].command, RUN_BOOT);
    EXPECT_EQ(bus.Heard()[1].command, RUN_FIRMWARE);
    for (const auto& frame : bus.Heard()) {
        EXPECT_EQ(frame.destination, 7);
        EXPECT_TRUE(frame.payload.empty());
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{" RUN_BOOT Request Sent : ", "RUN BOOT ACK Received ",
                                                   " RUN_FIRMWARE_REQUEST_LABEL Sent : ",
                                                   "RUN_FIRMWARE_REQUEST_LABEL ACK Received "}));
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(DeviceModes, AnUnansweredModeCommandIsLogged)
{
    SimDevice& device = AddDevice(7, 0x11);
    device.Faults().silent = true;
    SelectDevice(device);

    EXPECT_EQ(EnterBootMode(context), ModeCommandOutcome::NothingReceived);
    EXPECT_EQ(EnterConfigMode(context), ModeCommandOutcome::NothingReceived);

    EXPECT_EQ(log.lines, (std::vector<std::string>{" RUN_BOOT Request Sent : ", "Nothing Received",
                                                   " RUN_FIRMWARE_REQUEST_LABEL Sent : ", "Nothing Received"}));
    EXPECT_TRUE(prompts.boxes.empty());
}

// The three commands that go to the selected device, and the caption of their refusal.
struct SelectedCommand {
    const char* name;
    std::function<bool(NetworkContext&)> refused;
    const char* caption;
};

const SelectedCommand COMMANDS[] = {
    {"UpdateFirmware",
     [](NetworkContext& c) { return UpdateFirmware(c, false) == FirmwareUpdateOutcome::NoTarget; },
     " Firmware Update Status "},
    {"EnterBootMode", [](NetworkContext& c) { return EnterBootMode(c) == ModeCommandOutcome::Refused; },
     " Device Mode "},
    {"EnterConfigMode", [](NetworkContext& c) { return EnterConfigMode(c) == ModeCommandOutcome::Refused; },
     " Device Mode "},
};

// Sent to a shared address, or to 255 where a quick discovery can list a
// device, a request would reach every device there.
TEST_F(DeviceModes, ADeviceWithoutAnAddressOfItsOwnIsRefused)
{
    struct Target {
        const char* name;
        uint8_t address;
        bool shared;
        const char* why;
    };
    const Target targets[] = {
        {"shared address", 7, true, "shares its address with another device"},
        {"broadcast address", BROADCAST_ADDRESS, false, "answered at address 255, which is not a device address"},
    };
    for (const Target& target : targets) {
        registry.ClearDevices();
        SimDevice& device = AddDevice(target.address, 0x11);
        SelectDevice(device, target.shared);
        for (const SelectedCommand& command : COMMANDS) {
            SCOPED_TRACE(std::string(target.name) + ", " + command.name);
            prompts.boxes.clear();

            EXPECT_TRUE(command.refused(context));

            EXPECT_TRUE(bus.Heard().empty());
            EXPECT_TRUE(prompts.fileDialogs.empty());
            ASSERT_EQ(prompts.boxes.size(), 1u);
            EXPECT_EQ(prompts.boxes[0].caption, command.caption);
            EXPECT_NE(prompts.boxes[0].text.find(target.why), std::string::npos);
            EXPECT_NE(prompts.boxes[0].text.find("change its address first"), std::string::npos);
        }
        bus.Detach(device);
    }
}

TEST_F(DeviceModes, AStaleSelectionAsksForANewOne)
{
    const SimDevice& selected = AddDevice(7, 0x11);
    const SimDevice& other = AddDevice(8, 0x12);
    SelectDevice(selected);
    // A later discovery finds the other device first.
    registry.ClearDevices();
    registry.Append(RecordOf(other));
    registry.Append(RecordOf(selected));

    for (const SelectedCommand& command : COMMANDS) {
        SCOPED_TRACE(command.name);
        prompts.boxes.clear();

        EXPECT_TRUE(command.refused(context));

        EXPECT_TRUE(bus.Heard().empty());
        EXPECT_TRUE(prompts.fileDialogs.empty());
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_EQ(prompts.boxes[0].caption, " Select Device ");
    }
}

}  // namespace
}  // namespace orv::test
