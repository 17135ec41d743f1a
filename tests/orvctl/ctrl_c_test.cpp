// Ctrl+C during orvctl's bus work, pressed when the demonstration bus has
// heard a given number of frames of one command: a write finishes after the
// first and is abandoned after the block in hand at the second, a restore
// stops between devices, everything else stops at once; never exit 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "config/config_kind.h"
#include "link/commands.h"
#include "model/input8_image.h"
#include "sim/demo_images.h"
#include "sim/sim_device.h"
#include "tests/orvctl/demo_bus_cli.h"

namespace orv::test {
namespace {

// Ctrl+C pressed once the bus has heard `first` frames of command, and again
// at `second` (never when not given).
class CtrlCAtFrames final : public StopSource {
public:
    CtrlCAtFrames(const SimBus& bus, uint16_t command, size_t first, std::optional<size_t> second = std::nullopt)
        : bus_(bus), command_(command), first_(first), second_(second)
    {
    }
    void Arm() override { armed = true; }
    int Count() override
    {
        const auto heard = size_t(std::count_if(bus_.Heard().begin(), bus_.Heard().end(),
                                                [this](const HeardFrame& f) { return f.command == command_; }));
        return (heard >= first_ ? 1 : 0) + (second_ && heard >= *second_ ? 1 : 0);
    }
    bool armed = false;

private:
    const SimBus& bus_;
    uint16_t command_;
    size_t first_;
    std::optional<size_t> second_;
};

class CtrlCTest : public DemoBusCliTest {
protected:
    CliResult Run(std::vector<std::string> args, StopSource& stop)
    {
        return RunCli(args, factory, {}, false, &stop);
    }

    size_t Heard(uint16_t command)
    {
        return size_t(std::count_if(demo.Bus().Heard().begin(), demo.Bus().Heard().end(),
                                    [command](const HeardFrame& f) { return f.command == command; }));
    }

    // The demo Input8 with its name changed: a write of all 15 blocks.
    std::string ChangedInput8File()
    {
        Input8Config config = DecodeInput8Image(DemoInput8Image().data());
        config.name = "Changed";
        const std::string path = folder / "changed.bin";
        WriteBytes(path, EncodeInput8Image(config, ImageForm::File));
        return path;
    }
};

TEST_F(CtrlCTest, AWriteFinishesAtTheFirstCtrlCAndIsAbandonedAtTheSecond)
{
    const std::string file = ChangedInput8File();
    SimDevice& input8 = Device(SimDeviceKind::Input8);
    const std::vector<uint8_t> written = LoadConfigFile(file, ConfigKind::Input8).image;

    // Pressed while block 7 is on its way: the write goes on to its read-back.
    CtrlCAtFrames once(demo.Bus(), CONFIG_BLOCK_WRITE, 6);
    const CliResult finished = Run({"write-config", "3", file}, once);
    EXPECT_TRUE(once.armed);
    EXPECT_EQ(finished.status, EXIT_STOPPED);
    EXPECT_EQ(finished.err, "orvctl: write-config: finishing the write of block 7 of 15; Ctrl+C again abandons it\n"
                            "orvctl: write-config: stopped by Ctrl+C: the command had run to its end first, as "
                            "reported\n");
    EXPECT_EQ(finished.out, "ORV-Input8 (21 00 10 31) at address 3: " + file + " written and read back\n");
    EXPECT_EQ(Heard(CONFIG_BLOCK_WRITE), 15u);
    EXPECT_EQ(input8.Memory(), DeviceFormOfFile(ConfigKind::Input8, written));

    // Pressed again at block 9: no block after it, no read-back, the device's state named.
    input8.LoadMemory(DemoInput8Image());
    demo.Bus().ClearHeard();
    CtrlCAtFrames twice(demo.Bus(), CONFIG_BLOCK_WRITE, 6, 9);
    const CliResult abandoned = Run({"write-config", "3", file}, twice);
    EXPECT_EQ(abandoned.status, EXIT_STOPPED);
    EXPECT_EQ(abandoned.err,
              "orvctl: write-config: finishing the write of block 7 of 15; Ctrl+C again abandons it\n"
              "orvctl: write-config: stopped by Ctrl+C: the write was abandoned after block 9 of 15; ORV-Input8 (21 00 "
              "10 31) at address 3 may now hold an incomplete configuration; to write it again: orvctl write-config 3 " +
                  file + "\n");
    EXPECT_TRUE(abandoned.out.empty());
    EXPECT_EQ(Heard(CONFIG_BLOCK_WRITE), 9u);
    EXPECT_EQ(Heard(CONFIG_BLOCK_READ), 0u);
}

TEST_F(CtrlCTest, ARestoreStopsBetweenDevicesAndListsWhatItWrote)
{
    const std::string bus = folder / "bus";
    CtrlCAtFrames none(demo.Bus(), CONFIG_BLOCK_WRITE, 1000);
    ASSERT_EQ(Run({"backup", bus}, none).status, EXIT_OK);
    SimDevice& input8 = Device(SimDeviceKind::Input8);
    SimDevice& rs232 = Device(SimDeviceKind::RS232);
    input8.LoadMemory(DeviceFormOfFile(ConfigKind::Input8, LoadConfigFile(ChangedInput8File(), ConfigKind::Input8).image));
    rs232.LoadMemory({});
    const std::vector<uint8_t> rs232Before = rs232.Memory();
    demo.Bus().ClearHeard();

    // Pressed during the Input8's write: it is finished, the RS232 is not started.
    CtrlCAtFrames during(demo.Bus(), CONFIG_BLOCK_WRITE, 3);
    const CliResult restore = Run({"restore", bus}, during);
    EXPECT_EQ(restore.status, EXIT_STOPPED);
    EXPECT_NE(restore.err.find("orvctl: restore: finishing the write of block 4 of 15; Ctrl+C again abandons it\n"),
              std::string::npos)
        << restore.err;
    EXPECT_TRUE(restore.err.ends_with("orvctl: restore: stopped by Ctrl+C: the restore stopped between devices\n"))
        << restore.err;
    EXPECT_TRUE(restore.out.ends_with(
        "input8-21001031.bin -> ORV-Input8 (21 00 10 31) at address 3\n"
        "written before Ctrl+C: input8-21001031.bin (ORV-Input8 (21 00 10 31) at address 3)\n"
        "not written: rs232-21002052.bin (ORV-RS232 (21 00 20 52) at address 5)\n"
        "1 of 2 configuration(s) restored\n"))
        << restore.out;
    EXPECT_EQ(input8.Memory(), DemoInput8Image());
    EXPECT_EQ(Heard(CONFIG_BLOCK_WRITE), 15u);
    EXPECT_EQ(rs232.Memory(), rs232Before);
}

// The commands that write nothing stop at once, and none of them ends in success.
TEST_F(CtrlCTest, DiscoveryBackupAndFirmwareEndWithStatus130)
{
    WriteBytes(folder / "relay.bin", std::vector<uint8_t>(70, 0x5A));
    const std::string firmware = folder / "relay.bin";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        uint16_t command;
        size_t first;
        std::optional<size_t> second;
        std::string err;  // the end of standard error
    };
    const Case cases[] = {
        {"discover", {"discover", "--all"}, MODULE_INFO_REQUEST, 3, {},
         "stopped by Ctrl+C: the discovery was stopped before its end\n"},
        {"backup", {"backup", folder / "kept"}, CONFIG_BLOCK_READ, 1, {},
         "stopped by Ctrl+C: nothing saved, " + folder / "kept" + " holds what it held before\n"},
        {"firmware finished", {"firmware", "9", firmware}, FIRMWARE_BLOCK, 1, {},
         "orvctl: firmware: finishing the firmware update at block 2 of 3; Ctrl+C again abandons it\n"
         "orvctl: firmware: stopped by Ctrl+C: the command had run to its end first, as reported\n"},
        {"firmware abandoned", {"firmware", "9", firmware}, FIRMWARE_BLOCK, 1, 2,
         "stopped by Ctrl+C: the update of ORV-Relay (21 00 40 94) at address 9 was abandoned; the device at address "
         "9 is left in its boot loader: run orvctl firmware 9 " + firmware + " again to finish (orvctl firmware "
         "--emergency " + firmware + ", with only this device on the bus, if it no longer answers at 9)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        demo.Bus().ClearHeard();
        CtrlCAtFrames stop(demo.Bus(), c.command, c.first, c.second);
        const CliResult result = Run(c.args, stop);
        EXPECT_EQ(result.status, EXIT_STOPPED);
        EXPECT_TRUE(result.err.ends_with(c.err)) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf(folder / "kept") / "manifest.json"));
    SimDevice& relay = Device(SimDeviceKind::Relay);
    EXPECT_EQ(relay.Mode(), SimDeviceMode::BootLoader);
}

}  // namespace
}  // namespace orv::test
