// orvctl on a tty path in real time, as a technician runs it: the
// demonstration bus served on a pseudo-terminal, the interface made from the
// --port value as the program makes it. Plus the discovery bar in virtual time.
#include <gtest/gtest.h>

#include <chrono>

#include "sim/demo_bus.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/pty_bus.h"

namespace orv::test {
namespace {

const char* const DEMO_DEVICES = "  3  ORV-Input8   21 00 10 31  1.20   configured\n"
                                 "  5  ORV-RS232    21 00 20 52  1.14   configured\n"
                                 "  7  ORV-LED4PD   21 00 30 73  1.5    configured\n"
                                 "  9  ORV-Relay    21 00 40 94  1.2    configured\n"
                                 " 12  ORV-Input8   21 00 11 12  1.20   not configured\n";

class PtyPortTest : public ::testing::Test {
protected:
    SteadyClock clock;
    DemoBus demo{clock};
    PtyBus pty{demo.Bus()};

    void SetUp() override { ASSERT_TRUE(pty.Ready()); }

    CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--port", pty.SlavePath()});
        return RunCli(args, OpenChosenBus);
    }
};

TEST_F(PtyPortTest, AFullDiscoveryFindsEveryDeviceInSeconds)
{
    const auto start = std::chrono::steady_clock::now();
    const CliResult all = Run({"discover", "--all"});
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_EQ(all.status, EXIT_OK) << ::testing::PrintToString(all);
    EXPECT_EQ(all.out, DEMO_DEVICES);
    // Three minutes at the slow pace; a loaded machine is given room.
    EXPECT_LT(took, std::chrono::seconds(30));
}

TEST_F(PtyPortTest, DoctorChecksThePseudoTerminal)
{
    const CliResult result = Run({"doctor"});
    EXPECT_EQ(result.status, EXIT_OK) << ::testing::PrintToString(result);
    const std::string path = pty.SlavePath();
    for (const std::string& line :
         {"ok    interface  " + path + " serial ", "ok    access     you may open " + path,
          "ok    latency    " + path + " has no latency timer (not an FTDI interface)\n",
          std::string("ok    line       125000 baud 8N2 read back from the driver\n"),
          std::string("ok    echo       a frame of 10 bytes came back byte for byte, round trip "),
          std::string("ok    noise      no byte on the idle line in 1 s\n"),
          std::string("ok    devices    5 answered a broadcast: ORV-Input8 (21 00 10 31) at address 3, ")})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
}

TEST(DiscoveryBar, ShowsTheAddressesDoneAndTheDevicesFoundOnATerminalOnly)
{
    VirtualClock clock;
    DemoBus demo{clock};
    const BusFactory factory = [&](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };

    const CliResult bar = RunCli({"discover", "--all"}, factory, {}, true);
    ASSERT_EQ(bar.status, EXIT_OK);
    EXPECT_EQ(bar.out, DEMO_DEVICES);
    const std::string clear = "\r\033[K";
    for (const char* shown : {"Looking for Orvanta Devices [..............................] 2/255 addresses, 0 found",
                              "Looking for Orvanta Devices [..............................] 9/255 addresses, 3 found",
                              "Looking for Orvanta Devices [##############################] 255/255 addresses, 5 found"})
        EXPECT_NE(bar.err.find(clear + shown), std::string::npos) << shown;
    EXPECT_EQ(bar.err.substr(bar.err.size() - clear.size()), clear);

    EXPECT_TRUE(RunCli({"-q", "discover", "--all"}, factory, {}, true).err.empty());
    EXPECT_TRUE(RunCli({"discover", "--all"}, factory, {}, false).err.empty());
}

TEST(SlowDiscovery, KeepsTheToolsPaceAndGoesWithAllOnly)
{
    VirtualClock clock;
    DemoBus demo{clock};
    const BusFactory factory = [&](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };

    const CliResult slow = RunCli({"discover", "--all", "--slow"}, factory);
    ASSERT_EQ(slow.status, EXIT_OK);
    EXPECT_EQ(slow.out, DEMO_DEVICES);
    // Ten 70 ms reads at each of the 250 silent addresses.
    EXPECT_GT(clock.NowMillis(), 250u * 700u);

    const CliResult alone = RunCli({"discover", "--slow"}, factory);
    EXPECT_EQ(alone.status, EXIT_USAGE);
    EXPECT_EQ(alone.err, "orvctl: discover: --slow is the pace of a full discovery: it goes with --all\n");
}

}  // namespace
}  // namespace orv::test
