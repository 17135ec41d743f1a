// orvctl on the whole demonstration bus, kept across runs: backup, a change,
// diff, restore of what changed, diff again; a replacement device; a move
// with its links; an interface pulled during restore and backup.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/input8_image.h"
#include "sim/demo_bus.h"
#include "sim/demo_images.h"
#include "sim/sim_device.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"
#include "wholebus/link_update.h"

namespace orv::test {
namespace {

class WholeBusCliTest : public ::testing::Test, public VirtualServices {
protected:
    DemoBus demo{clock};
    BusFactory factory = [this](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };
    TempFolder folder;
    std::string bus = folder / "bus";

    SimDevice& Device(SimDeviceKind kind, bool configured = true)
    {
        for (const auto& device : demo.Devices())
            if (device->Kind() == kind && bool(device->Info().configured) == configured)
                return *device;
        throw std::logic_error("no such demo device");
    }
    SimDevice& Input8() { return Device(SimDeviceKind::Input8); }
    SimDevice& RS232() { return Device(SimDeviceKind::RS232); }

    CliResult Run(std::vector<std::string> args) { return RunCli(args, factory); }

    // Row 4 of the demo Input8 makes the relay at 9 energise instead of the RS232 at 5 send string 1.
    static std::vector<uint8_t> ChangedInput8()
    {
        Input8Config config = DecodeInput8Image(DemoInput8Image().data());
        config.rows[3].destination = 9;
        config.rows[3].action = ACTION_RELAY_ENERGIZE;
        config.rows[3].parameters = {'1'};
        return EncodeInput8Image(config, ImageForm::Device);
    }

    std::vector<int> WrittenTo()
    {
        std::vector<int> addresses;
        for (const HeardFrame& frame : demo.Bus().Heard())
            if (frame.command == CONFIG_BLOCK_WRITE &&
                (addresses.empty() || addresses.back() != frame.destination))
                addresses.push_back(frame.destination);
        return addresses;
    }

    void SetUp() override { ASSERT_EQ(Run({"backup", bus}).status, EXIT_OK); }
};

TEST_F(WholeBusCliTest, WhatChangedIsShownAndOnlyThatIsRestored)
{
    const CliResult same = Run({"diff", bus});
    EXPECT_EQ(same.status, EXIT_OK) << ::testing::PrintToString(same);

    Input8().LoadMemory(ChangedInput8());
    const CliResult changed = Run({"diff", bus});
    EXPECT_EQ(changed.status, EXIT_BUS);
    EXPECT_NE(changed.out.find("ORV-Input8 (21 00 10 31) at address 3: configuration differs\n"
                               "    Row 4: destination ORV-RS232 @ 5 → ORV-Relay @ 9\n"
                               "    Row 4: action Send String → Relay Energize\n"
                               "    Row 4: parameters 1 → 1\n"
                               "ORV-RS232 (21 00 20 52) at address 5: same\n"),
              std::string::npos)
        << changed.out;
    EXPECT_TRUE(changed.out.ends_with("the bus differs from the backup\n"));
    const CliResult json = Run({"diff", bus, "--json"});
    EXPECT_EQ(json.status, EXIT_BUS);
    EXPECT_NE(json.out.find("\"differences\": [\n        \"Row 4: destination ORV-RS232 @ 5 → ORV-Relay @ 9\","),
              std::string::npos)
        << json.out;

    demo.Bus().ClearHeard();
    const CliResult restore = Run({"restore", bus});
    EXPECT_EQ(restore.status, EXIT_OK) << ::testing::PrintToString(restore);
    EXPECT_EQ(WrittenTo(), std::vector<int>{3});
    EXPECT_EQ(Input8().Memory(), DemoInput8Image());
    EXPECT_TRUE(restore.out.ends_with("input8-21001031.bin -> ORV-Input8 (21 00 10 31) at address 3\n"
                                      "1 device(s) already as in the backup, not written (--force writes them too)\n"
                                      "1 of 1 configuration(s) restored\n"))
        << restore.out;

    const CliResult again = Run({"diff", bus});
    EXPECT_EQ(again.status, EXIT_OK);
    EXPECT_TRUE(again.out.ends_with("the bus matches the backup\n")) << again.out;

    demo.Bus().ClearHeard();
    const CliResult forced = Run({"restore", bus, "--force"});
    EXPECT_TRUE(forced.out.ends_with("2 of 2 configuration(s) restored\n")) << forced.out;
    EXPECT_EQ(WrittenTo(), (std::vector<int>{3, 5}));
}

TEST_F(WholeBusCliTest, ADeviceAndAFileAreComparedOneToOne)
{
    ASSERT_EQ(Run({"read-config", "3", "-o", folder / "hall.bin"}).status, EXIT_OK);
    EXPECT_EQ(Run({"diff", folder / "hall.bin", "3"}).out, "ORV-Input8 (21 00 10 31) at address 3: same\n");
    Input8().LoadMemory(ChangedInput8());
    const CliResult changed = Run({"diff", folder / "hall.bin", "3"});
    EXPECT_EQ(changed.status, EXIT_BUS);
    EXPECT_NE(changed.out.find("    Row 4: action Send String → Relay Energize\n"), std::string::npos) << changed.out;
    EXPECT_EQ(Run({"diff", folder / "hall.bin", "5"}).status, EXIT_USAGE);
    EXPECT_EQ(Run({"diff", folder / "none"}).status, EXIT_FILE);
    EXPECT_EQ(Run({"diff", folder / "hall.bin"}).status, EXIT_FILE);
}

TEST_F(WholeBusCliTest, AReplacementTakesTheAddressAndTheConfigurationOfTheDeviceItReplaces)
{
    SimDevice& spare = Device(SimDeviceKind::Input8, false);
    demo.Bus().Detach(Input8());
    demo.Bus().ClearHeard();

    const CliResult hint = Run({"restore", bus});
    EXPECT_EQ(hint.status, EXIT_BUS);
    EXPECT_NE(hint.out.find("ORV-Input8 (21 00 10 31) is missing on the bus, and ORV-Input8 (21 00 11 12) at address "
                            "12 is not configured: if it replaces it, run orvctl restore " + bus +
                            " --replace 21001031=21001112\n"),
              std::string::npos)
        << hint.out;
    EXPECT_TRUE(WrittenTo().empty());

    SimDevice holder(SimDeviceKind::Relay, 3, {1, 2, 3, 4});
    demo.Bus().Attach(holder);
    const CliResult taken = Run({"restore", bus, "--replace", "21 00 10 31=21001112"});
    EXPECT_EQ(taken.status, EXIT_USAGE);
    EXPECT_NE(taken.err.find("address 3, which ORV-Input8 (21 00 10 31) had, is taken by ORV-Relay (04 03 02 01) at "
                             "address 3"),
              std::string::npos)
        << taken.err;
    EXPECT_EQ(spare.Address(), 12);
    demo.Bus().Detach(holder);

    EXPECT_EQ(Run({"restore", bus, "--replace", "21001031"}).status, EXIT_USAGE);
    // Pulled just after SET_ADDRESS_BY_SN (after the discovery and the RS232's
    // 128 blocks): the spare may be at either address, and neither is claimed.
    demo.Bus().LoseLineAtWrite(1 + 128 + 2);
    const CliResult cut = Run({"restore", bus, "--replace", "21 00 10 31=21001112"});
    EXPECT_EQ(cut.status, EXIT_BUS);
    EXPECT_EQ(spare.Address(), 3);
    EXPECT_NE(cut.out.find("ORV-Input8 (21 00 11 12) may have moved from address 12 to 3: the interface was lost "
                           "before it answered at 3\nto finish, run "),
              std::string::npos)
        << cut.out;
    EXPECT_NE(cut.out.find("restore " + bus + " --replace 21001031=21001112 again (it finds the device at 12 or 3)\n"),
              std::string::npos)
        << cut.out;
    EXPECT_EQ(cut.out.find("at address 12\n"), std::string::npos) << cut.out;
    const CliResult replaced = Run({"restore", bus, "--replace", "21 00 10 31=21001112"});
    EXPECT_EQ(replaced.status, EXIT_OK) << ::testing::PrintToString(replaced);
    EXPECT_EQ(spare.Address(), 3);
    EXPECT_EQ(spare.Memory(), DemoInput8Image());
    EXPECT_TRUE(replaced.out.ends_with("input8-21001031.bin -> ORV-Input8 (21 00 11 12) at address 3\n"
                                       "1 device(s) already as in the backup, not written (--force writes them too)\n"
                                       "1 of 1 configuration(s) restored\n"))
        << replaced.out;
}

TEST_F(WholeBusCliTest, AMovedDeviceTakesItsLinksAlongOnlyWhenAsked)
{
    SimDevice& relay = Device(SimDeviceKind::Relay);
    demo.Bus().ClearHeard();
    const CliResult refused = Run({"set-address", "9", "20"});
    EXPECT_EQ(refused.status, EXIT_USAGE);
    EXPECT_EQ(refused.out, "ORV-Input8 (21 00 10 31) at address 3: Row 2, Row 3 point to address 9\n"
                           "ORV-RS232 (21 00 20 52) at address 5: RS232 row 1 point to address 9\n");
    EXPECT_NE(refused.err.find("--update-links points them to 20"), std::string::npos) << refused.err;
    for (const HeardFrame& frame : demo.Bus().Heard())
        EXPECT_NE(frame.command, SET_ADDRESS_BY_SN);
    EXPECT_EQ(relay.Address(), 9);

    const CliResult moved = Run({"set-address", "9", "20", "--update-links"});
    ASSERT_EQ(moved.status, EXIT_OK) << ::testing::PrintToString(moved);
    EXPECT_EQ(moved.out, "ORV-Relay (21 00 40 94): address 9 -> 20\n"
                         "ORV-Input8 (21 00 10 31) at address 3: Row 2, Row 3 now point to address 20 (written and "
                         "read back)\n"
                         "ORV-RS232 (21 00 20 52) at address 5: RS232 row 1 now point to address 20 (written and read "
                         "back)\n");
    EXPECT_EQ(relay.Address(), 20);
    EXPECT_EQ(RowsPointingTo(ConfigKind::Input8, Input8().Memory(), 20), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(RowsPointingTo(ConfigKind::RS232, RS232().Memory(), 20), std::vector<size_t>{0});
    EXPECT_TRUE(RowsPointingTo(ConfigKind::Input8, Input8().Memory(), 9).empty());

    // Forced, the rows stay and are named.
    const CliResult forced = Run({"set-address", "20", "21", "--force"});
    EXPECT_EQ(forced.status, EXIT_OK);
    EXPECT_NE(forced.err.find("ORV-Input8 (21 00 10 31) at address 3: Row 2, Row 3 still point to address 20, where no "
                              "device answers now"),
              std::string::npos)
        << forced.err;
}

// The interface pulled as the relay is given its new address, or just after:
// the move is told as it may have happened, the rows still pointing to the
// old address are named, and the command that finishes the job does.
TEST_F(WholeBusCliTest, AMoveCutAtItsAddressIsToldAndFinishedByTheSameCommand)
{
    SimDevice& relay = Device(SimDeviceKind::Relay);
    // The discovery, the Input8's 15 blocks and the RS232's 128, then SET_ADDRESS_BY_SN.
    constexpr int SET_ADDRESS_WRITE = 1 + 15 + 128 + 1;
    const struct {
        const char* name;
        int lostAtWrite;
        int relayAt;
    } cases[] = {{"at SET_ADDRESS_BY_SN", SET_ADDRESS_WRITE, 9}, {"just after it", SET_ADDRESS_WRITE + 1, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> input8Before = Input8().Memory();
        demo.Bus().LoseLineAtWrite(c.lostAtWrite);
        const CliResult cut = Run({"set-address", "9", "20", "--update-links"});
        EXPECT_EQ(cut.status, EXIT_BUS);
        EXPECT_EQ(relay.Address(), c.relayAt);
        EXPECT_EQ(Input8().Memory(), input8Before);
        EXPECT_NE(cut.out.find("ORV-Relay (21 00 40 94) may have moved from 9 to 20: the interface was lost as it was "
                               "sent its new address, before it answered there; no row was written\n"
                               "ORV-Input8 @ 3: no row was written; Row 2, Row 3 still point to 9\n"
                               "ORV-RS232 @ 5: no row was written; RS232 row 1 still points to 9\n"),
                  std::string::npos)
            << cut.out;
        EXPECT_NE(cut.out.find("set-address 9 20 --update-links (it finds the device at 9 or 20)\n"), std::string::npos)
            << cut.out;
        EXPECT_NE(cut.err.find("was disconnected while"), std::string::npos) << cut.err;

        const CliResult finished = Run({"set-address", "9", "20", "--update-links"});
        ASSERT_EQ(finished.status, EXIT_OK) << ::testing::PrintToString(finished);
        EXPECT_EQ(relay.Address(), 20);
        EXPECT_EQ(RowsPointingTo(ConfigKind::Input8, Input8().Memory(), 20), (std::vector<size_t>{1, 2}));
        EXPECT_EQ(RowsPointingTo(ConfigKind::RS232, RS232().Memory(), 20), std::vector<size_t>{0});
        EXPECT_TRUE(RowsPointingTo(ConfigKind::Input8, Input8().Memory(), 9).empty());

        // Back where it started, its links with it.
        ASSERT_EQ(Run({"set-address", "20", "9", "--update-links"}).status, EXIT_OK);
        ASSERT_EQ(relay.Address(), 9);
    }
}

TEST_F(WholeBusCliTest, APulledInterfaceIsNamedAndTheRestoreSaysWhatItWrote)
{
    demo.Bus().LoseLineAtWrite(1);
    const CliResult discovery = Run({"restore", bus});
    EXPECT_EQ(discovery.status, EXIT_BUS);
    EXPECT_EQ(discovery.err.find("no device answered"), std::string::npos) << discovery.err;
    EXPECT_NE(discovery.err.find("orvctl: restore: the ORV-NET was disconnected while"), std::string::npos)
        << discovery.err;
    EXPECT_EQ(discovery.out, "0 of 2 configuration(s) restored\n");

    // Both differ; the line goes during the second write.
    Input8().LoadMemory(ChangedInput8());
    RS232().LoadMemory({});
    ASSERT_EQ(Run({"diff", bus}).status, EXIT_BUS);
    demo.Bus().LoseLineAtWrite(1 + 15 + 128 + 30 + 4);
    const CliResult write = Run({"restore", bus});
    EXPECT_EQ(write.status, EXIT_BUS);
    EXPECT_NE(write.err.find("was disconnected while block 4 of"), std::string::npos) << write.err;
    EXPECT_NE(write.err.find("ORV-RS232 (21 00 20 52) at address 5 may now hold an incomplete configuration: write it "
                             "again with orvctl write-config 5 " +
                                 (std::filesystem::path(bus) / "rs232-21002052.bin").string()),
              std::string::npos)
        << write.err;
    EXPECT_TRUE(write.out.ends_with("input8-21001031.bin -> ORV-Input8 (21 00 10 31) at address 3\n"
                                    "written before the interface was lost: input8-21001031.bin (ORV-Input8 (21 00 10 "
                                    "31) at address 3)\nnot written: none\n1 of 2 configuration(s) restored\n"))
        << write.out;
    EXPECT_EQ(Input8().Memory(), DemoInput8Image());
}

TEST_F(WholeBusCliTest, ABackupCutShortLeavesTheFolderAsItWas)
{
    const std::vector<uint8_t> input8File = ReadBytes(bus + "/input8-21001031.bin");
    const std::vector<uint8_t> manifest = ReadBytes(bus + "/manifest.json");
    Input8().LoadMemory(ChangedInput8());
    demo.Bus().LoseLineAtWrite(1 + 15 + 10);  // the Input8 read, then the RS232's

    const CliResult backup = Run({"backup", bus});
    EXPECT_EQ(backup.status, EXIT_BUS);
    EXPECT_NE(backup.err.find("nothing saved, " + bus + " holds what it held before; not saved: ORV-Input8 (21 00 10 "
                              "31) at address 3, ORV-RS232 (21 00 20 52) at address 5"),
              std::string::npos)
        << backup.err;
    EXPECT_EQ(ReadBytes(bus + "/input8-21001031.bin"), input8File);
    EXPECT_EQ(ReadBytes(bus + "/manifest.json"), manifest);

    // Into a folder that holds a backup, each file is replaced.
    ASSERT_EQ(Run({"backup", bus}).status, EXIT_OK);
    EXPECT_NE(ReadBytes(bus + "/input8-21001031.bin"), input8File);
}

}  // namespace
}  // namespace orv::test
