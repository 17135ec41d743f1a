// The line chosen while the program runs: trying a port reports in words and
// leaves the line in use working; choosing one moves the link to it.
#include <gtest/gtest.h>

#include <map>

#include "link/bus_link.h"
#include "network/bus_line.h"
#include "network/discovery.h"
#include "port/port_address.h"
#include "tests/network/network_fixture.h"

namespace orv::test {
namespace {

// Each port a simulated bus of its own with the devices the test gives it; a
// port it does not know lists no interface, as an unplugged one.
struct LineBench : VirtualServices {
    SimDevice relay{SimDeviceKind::Relay, 9, Serial(1)};
    SimDevice input8{SimDeviceKind::Input8, 3, Serial(2)};
    SimDevice led4{SimDeviceKind::LED4PD, 7, Serial(3)};
    std::map<std::string, std::vector<SimDevice*>> ports{
        {"", {&relay}}, {"/dev/ttyUSB1", {&input8, &led4}}, {"tcp://server:2000", {}}};
    std::vector<std::string> made;

    BusLine line{[this](const std::string& port) { return Make(port); }, ""};

    std::unique_ptr<UsbInterface> Make(const std::string& port)
    {
        made.push_back(port);
        auto bus = std::make_unique<SimBus>(clock);
        const auto it = ports.find(port);
        if (it == ports.end())
            bus->SetInterfaces({});
        else
            for (SimDevice* device : it->second)
                bus->Attach(*device);
        return bus;
    }

    // The addresses a broadcast on the link finds now.
    std::vector<int> Answering()
    {
        DeviceRegistry registry{log};
        RecordingView view;
        NetworkContext context{services, registry, view};
        ScanBus(context, BROADCAST_ADDRESS, true);
        std::vector<int> addresses;
        for (size_t i = 0; i < registry.Count(); ++i)
            addresses.push_back(registry.Record(i).address);
        return addresses;
    }
};

TEST(BusLine, TryingAPortSaysWhatItFoundAndLeavesTheLineInUse)
{
    const struct {
        std::string port;
        bool opened;
        std::string text;
    } cases[] = {
        {"/dev/ttyUSB1", true,
         "/dev/ttyUSB1 opened; 2 devices answered a broadcast: ORV-Input8 (12 00 5A 02) at address 3, ORV-LED4PD "
         "(12 00 5A 03) at address 7."},
        {"", true, "the first FTDI interface opened; 1 device answered a broadcast: ORV-Relay (12 00 5A 01) at "
                   "address 9."},
        {"tcp://server:2000", true,
         "tcp://server:2000 opened, but no device answered a broadcast: check that ORV-POWER is on and the devices "
         "are on the bus."},
        {"/dev/ttyUSB7", false,
         "/dev/ttyUSB7 cannot be opened as the bus interface: check the name or address, that the interface is "
         "connected or the server running, and that no other program holds it."},
        {"ftp://server:21", false,
         "ftp://server:21 cannot be opened as the bus interface: check the name or address, that the interface is "
         "connected or the server running, and that no other program holds it."},
    };
    for (const auto& c : cases) {
        LineBench bench;
        ASSERT_TRUE(bench.OpenLink(bench.line));
        const LineTrial trial = bench.line.Try(c.port, bench.services);
        EXPECT_EQ(trial.opened, c.opened) << c.port;
        EXPECT_EQ(trial.text, c.text);
        // Its boxes would speak of restarting the tool: none is shown.
        EXPECT_TRUE(bench.prompts.boxes.empty()) << c.port;
        EXPECT_EQ(bench.line.Port(), "");
        EXPECT_EQ(bench.Answering(), std::vector<int>{9}) << c.port;
        EXPECT_FALSE(BusInterfaceLost());
    }
}

// The interface in use logs into the link's log and its words for a failure
// are the line's, so that the log and the loss report say why.
TEST(BusLine, PassesTheLogAndTheReasonOfItsInterfaceOn)
{
    VirtualServices seams;
    BusLine line([](const std::string& port) { return MakePortInterface(port); }, "no-such-port");
    BindBusLink(line, seams.services);
    EXPECT_FALSE(OpenBusInterface(OpenPace::AfterFailureOnly));
    EXPECT_EQ(line.LastError().rfind("no such port", 0), 0u) << line.LastError();
    EXPECT_TRUE(seams.log.Contains(" Cannot open no-such-port: " + line.LastError() + " "))
        << ::testing::PrintToString(seams.log.lines);
}

TEST(BusLine, ChoosingAPortMovesTheLinkOnlyWhenItOpens)
{
    LineBench bench;
    ASSERT_TRUE(bench.OpenLink(bench.line));

    const LineTrial missing = bench.line.Choose("/dev/ttyUSB7", bench.services);
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(bench.line.Port(), "");
    EXPECT_EQ(bench.Answering(), std::vector<int>{9});

    const LineTrial chosen = bench.line.Choose("/dev/ttyUSB1", bench.services);
    EXPECT_TRUE(chosen.opened);
    EXPECT_EQ(chosen.text, "/dev/ttyUSB1 is open.");
    EXPECT_EQ(bench.line.Port(), "/dev/ttyUSB1");
    EXPECT_EQ(bench.line.InUse(), "/dev/ttyUSB1");
    EXPECT_EQ(bench.Answering(), (std::vector<int>{3, 7}));
    EXPECT_TRUE(bench.prompts.boxes.empty());
}

TEST(BusLine, APortThatIsGoneAtStartGivesWayToTheFirstFtdiInterface)
{
    for (const std::string& port : {std::string("/dev/ttyUSB1"), std::string("/dev/ttyUSB7")}) {
        LineBench bench;
        BusLine line{[&](const std::string& p) { return bench.Make(p); }, port};
        const bool opens = line.Opens(bench.services);
        EXPECT_EQ(opens, port == "/dev/ttyUSB1");
        if (!opens)
            line.UseFirstFtdiInterface();
        EXPECT_TRUE(bench.OpenLink(line)) << port;
        EXPECT_EQ(bench.Answering(), (opens ? std::vector<int>{3, 7} : std::vector<int>{9})) << port;
        EXPECT_TRUE(bench.prompts.boxes.empty()) << port;
    }
}

TEST(BusLine, ListsTheInterfacesByTheirPorts)
{
    VirtualClock clock;
    SimBus bus{clock};
    bus.SetInterfaces({DeviceDetail{0, 0, 0x04036001, 0, "FT1A2B3C", "ORV-NET"},
                       DeviceDetail{0, 0, 0x04036001, 0, "FT9Z", "FT232R USB UART"},
                       DeviceDetail{0, 0, 0x04036001, 0, "GONE", "unplugged meanwhile"}});
    const std::vector<std::string> paths{"/dev/ttyUSB0", "/dev/ttyUSB3", ""};
    const std::vector<InterfaceEntry> entries = ListInterfaces(bus, [&](uint32_t i) { return paths[i]; });
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].port, "/dev/ttyUSB0");
    EXPECT_EQ(entries[0].serialNumber, "FT1A2B3C");
    EXPECT_EQ(entries[0].description, "ORV-NET");
    EXPECT_EQ(entries[1].port, "/dev/ttyUSB3");
    EXPECT_EQ(entries[1].description, "FT232R USB UART");
}

}  // namespace
}  // namespace orv::test
