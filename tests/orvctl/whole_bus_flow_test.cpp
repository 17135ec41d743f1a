// The whole bus in one sequence, on the demonstration bus in virtual time:
// backup, a change, diff, restore of what changed, diff again; a move with its
// links; a replacement device. (The tty and the network ports carry a round
// trip of their own in real time in the network tests.)
#include <gtest/gtest.h>

#include "model/input8_image.h"
#include "sim/demo_bus.h"
#include "sim/demo_images.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "wholebus/link_update.h"

namespace orv::test {
namespace {

class WholeBusFlowTest : public ::testing::Test {
protected:
    VirtualClock clock;
    DemoBus demo{clock};
    BusFactory factory = [this](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };
    TempFolder folder;
    std::string bus = folder / "bus";

    CliResult Run(const std::vector<std::string>& args) { return RunCli(args, factory); }

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
        for (const HeardFrame& frame : demo.Bus().Heard())
            if (frame.command == CONFIG_BLOCK_WRITE && (addresses.empty() || addresses.back() != frame.destination))
                addresses.push_back(frame.destination);
        demo.Bus().ClearHeard();
        return addresses;
    }
};

TEST_F(WholeBusFlowTest, BackupDiffRestoreMoveAndReplace)
{
    SimDevice& input8 = Device(SimDeviceKind::Input8);
    ASSERT_EQ(Run({"backup", bus}).status, EXIT_OK);
    Input8Config changed = DecodeInput8Image(DemoInput8Image().data());
    changed.rows[0].change = ChangeType::Open;
    input8.LoadMemory(EncodeInput8Image(changed, ImageForm::Device));

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
    EXPECT_EQ(RowsPointingTo(ConfigKind::Input8, input8.Memory(), 30), (std::vector<size_t>{0, 4}));
    EXPECT_EQ(RowsPointingTo(ConfigKind::RS232, Device(SimDeviceKind::RS232).Memory(), 30), std::vector<size_t>{1});

    SimDevice& spare = Device(SimDeviceKind::Input8, false);
    demo.Bus().Detach(input8);
    const CliResult replaced = Run({"restore", bus, "--replace", "21001031=21001112"});
    EXPECT_EQ(replaced.status, EXIT_OK) << ::testing::PrintToString(replaced);
    EXPECT_EQ(spare.Address(), 3);
    EXPECT_EQ(spare.Memory(), DemoInput8Image());
}

}  // namespace
}  // namespace orv::test
