// The whole bus through a pseudo-terminal: the demonstration bus served on
// its master side in real time, orvctl on the slave through the tty backend
// (its pauses in virtual time). Backup, a change, diff, restore of what
// changed, diff again; a move with its links; a replacement device.
#include <gtest/gtest.h>

#include "bench/pty_bus.h"
#include "config/input8_image.h"
#include "config/link_update.h"
#include "link/tty_interface.h"
#include "sim/demo_bus.h"
#include "sim/demo_images.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"

namespace orv::test {
namespace {

class TtyBus final : public BusAccess {
public:
    TtyBus(std::unique_ptr<TtyInterface> tty, Clock& clock) : tty_(std::move(tty)), clock_(clock) {}
    UsbInterface& Interface() override { return *tty_; }
    Clock& Time() override { return clock_; }

private:
    std::unique_ptr<TtyInterface> tty_;
    Clock& clock_;
};

class PtyWholeBusTest : public ::testing::Test {
protected:
    SteadyClock busClock;
    DemoBus demo{busClock};
    PtyBus pty{demo.Bus()};
    VirtualClock clock;
    BusFactory factory = [this](const BusChoice& choice) {
        return std::make_unique<TtyBus>(TtyInterface::ForPath(choice.port), clock);
    };
    TempFolder folder;
    std::string bus = folder / "bus";

    void SetUp() override { ASSERT_TRUE(pty.Ready()); }

    CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--port", pty.SlavePath()});
        return RunCli(args, factory);
    }

    SimDevice& Device(SimDeviceKind kind, bool configured = true)
    {
        for (const auto& device : demo.Devices())
            if (device->Kind() == kind && bool(device->Info().configured) == configured)
                return *device;
        throw std::logic_error("no such demo device");
    }

    // The devices that CONFIG_BLOCK_WRITE reached since the last call.
    std::vector<int> WrittenTo()
    {
        std::vector<int> addresses;
        pty.With([&](SimBus& simBus) {
            for (const HeardFrame& frame : simBus.Heard())
                if (frame.command == CONFIG_BLOCK_WRITE && (addresses.empty() || addresses.back() != frame.destination))
                    addresses.push_back(frame.destination);
            simBus.ClearHeard();
        });
        return addresses;
    }
};

TEST_F(PtyWholeBusTest, BackupDiffRestoreMoveAndReplace)
{
    SimDevice& input8 = Device(SimDeviceKind::Input8);
    ASSERT_EQ(Run({"backup", bus}).status, EXIT_OK);
    Input8Config changed = DecodeInput8Image(DemoInput8Image().data());
    changed.rows[0].change = ChangeType::Open;
    pty.With([&](SimBus&) { input8.LoadMemory(EncodeInput8Image(changed, ImageForm::Device)); });

    const CliResult diff = Run({"diff", bus});
    EXPECT_EQ(diff.status, EXIT_BUS) << ::testing::PrintToString(diff);
    EXPECT_NE(diff.out.find("ORV-Input8 (21 00 10 31) at address 3: configuration differs\n"
                            "    Row 1: change Close → Open\n"),
              std::string::npos)
        << diff.out;
    WrittenTo();
    const CliResult restore = Run({"restore", bus});
    EXPECT_EQ(restore.status, EXIT_OK) << ::testing::PrintToString(restore);
    EXPECT_EQ(WrittenTo(), std::vector<int>{3});
    EXPECT_EQ(Run({"diff", bus}).status, EXIT_OK);

    const CliResult moved = Run({"set-address", "7", "30", "--update-links"});
    EXPECT_EQ(moved.status, EXIT_OK) << ::testing::PrintToString(moved);
    pty.With([&](SimBus&) {
        EXPECT_EQ(RowsPointingTo(ConfigKind::Input8, input8.Memory(), 30), (std::vector<size_t>{0, 4}));
        EXPECT_EQ(RowsPointingTo(ConfigKind::RS232, Device(SimDeviceKind::RS232).Memory(), 30), std::vector<size_t>{1});
    });

    SimDevice& spare = Device(SimDeviceKind::Input8, false);
    pty.With([&](SimBus& simBus) { simBus.Detach(input8); });
    const CliResult replaced = Run({"restore", bus, "--replace", "21001031=21001112"});
    EXPECT_EQ(replaced.status, EXIT_OK) << ::testing::PrintToString(replaced);
    pty.With([&](SimBus&) {
        EXPECT_EQ(spare.Address(), 3);
        EXPECT_EQ(spare.Memory(), DemoInput8Image());
    });
}

}  // namespace
}  // namespace orv::test
