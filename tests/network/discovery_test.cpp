#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "network/discovery.h"
#include "tests/network/network_fixture.h"

namespace orv::test {
namespace {

const char* const NO_DEVICE_CAPTION = "No ORV-Device Found";
const char* const NO_DEVICE_TEXT =
    "\n \t\t NO DEVICE FOUND (HELPFUL TIPS):- \n \n - Please ensure you have ORV-NET USB and ORV-POWER connected to "
    "your device \n - Connect one ORV-device to ORV-POWER at a time and try again \n - Try Discover All Devices "
    "(Slow) if you still have problems ";

using DiscoveryTest = NetworkFixture;

TEST_F(DiscoveryTest, FullPassAsksZeroTo254InAscendingOrder)
{
    AddDevice(7, 0x07, SimDeviceKind::Input8);
    AddDevice(3, 0x03, SimDeviceKind::LED4PD);

    EXPECT_EQ(DiscoverDevices(context, 0), 2);

    // 255 would be answered by every device a second time.
    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), Ascending(0, 254));
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{3, 7}));
    EXPECT_EQ(registry.Record(0).typeCode, TYPE_LED4PD);
    EXPECT_EQ(registry.Record(1).typeCode, TYPE_INPUT8);
    EXPECT_FALSE(registry.Record(0).sharedAddress);
    EXPECT_FALSE(registry.Record(1).sharedAddress);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"instructions", "refresh"}));

    ASSERT_EQ(prompts.progress.size(), 1u);
    const RecordedProgress& progress = *prompts.progress[0];
    EXPECT_EQ(progress.options.title, "Looking for Orvanta Devices");
    EXPECT_EQ(progress.options.message, "Please wait while each Address is scanned ..... ");
    EXPECT_EQ(progress.options.maximum, 255);
    EXPECT_TRUE(progress.options.canAbort);
    EXPECT_TRUE(progress.options.appModal);
    EXPECT_TRUE(progress.options.autoHide);
    EXPECT_TRUE(progress.options.smooth);
    // Once per address, and once more after each answer: Cancel is heard
    // before another answer is read.
    std::vector<int> values{1};
    for (int a : Ascending(0, 254)) {
        values.push_back(a);
        if (a == 3 || a == 7)
            values.push_back(a);
    }
    EXPECT_EQ(progress.values, values);
    EXPECT_TRUE(progress.hidden);  // the bar stops short of its maximum: hidden explicitly
    EXPECT_EQ(prompts.pumps, 257);

    const std::vector<std::pair<int, std::string>> status{{0, "ORVANTA TOOL: Doing Discovery ..."},
                                                          {0, " 1: Orvanta Device(s) Found & Added"},
                                                          {0, " 2: Orvanta Device(s) Found & Added"},
                                                          {0, "ORVANTA TOOL"}};
    EXPECT_EQ(prompts.statusTexts, status);

    const std::vector<std::string> firstLines{" Starting Orvanta Discovery: ", " MOD INFO Request SENT To Address: 0 ",
                                              " Nothing Received : "};
    EXPECT_EQ(std::vector<std::string>(log.lines.begin(), log.lines.begin() + 3), firstLines);
    for (const char* line : {" MOD INFO Request SENT To Address: 3 ", " ORVANTA ACK Received for Address: 3 ",
                             " MODULE_INFO Reply Recieved : ", " Device Added : ",
                             " MOD INFO Request SENT To Address: 254 "})
        EXPECT_TRUE(log.Contains(line)) << line;
    EXPECT_FALSE(log.Contains(" MOD INFO Request SENT To Address: 255 "));
}

TEST_F(DiscoveryTest, SilentFullPassCostsOneAckTimeoutPerAddress)
{
    const uint64_t start = clock.NowMillis();
    EXPECT_EQ(DiscoverDevices(context, 0), 0);
    const uint64_t elapsed = clock.NowMillis() - start;

    EXPECT_GE(elapsed, 255u * 700u);
    EXPECT_LT(elapsed, 255u * 720u);
    EXPECT_EQ(Sent(MODULE_INFO_REQUEST).size(), 255u);  // one pass: no retry after a full scan
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{NO_DEVICE_CAPTION}));
    EXPECT_EQ(prompts.boxes[0].text, NO_DEVICE_TEXT);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    EXPECT_EQ(view.Count("refresh"), 0);
}

TEST_F(DiscoveryTest, BroadcastAnsweredByTwoDevicesGivesTwoRecordsFromOneRequest)
{
    AddDevice(9, 0x09, SimDeviceKind::RS232);
    AddDevice(4, 0x04, SimDeviceKind::Relay);

    EXPECT_EQ(DiscoverDevices(context, BROADCAST_ADDRESS), 2);

    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), (std::vector<int>{255}));
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{9, 4}));  // in the order they answered
    EXPECT_EQ(prompts.progress[0]->values, (std::vector<int>{1, 255, 255, 255}));
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"instructions", "refresh"}));
}

// Devices that take their turns with gaps longer than one silent read are all
// collected at either pace, and none of their answers is left on the line for
// the next request; quick devices cost little more than the pace's own wait.
TEST_F(DiscoveryTest, BroadcastAnswersAreCollectedAtTheirOwnPace)
{
    const struct {
        const char* name;
        std::vector<uint64_t> turnaroundMicros;  // of the devices at 3, 5, 7, 9, 11
        uint64_t fixedLimitMillis;
        uint64_t measuredLimitMillis;
    } cases[] = {
        {"quick devices", {1000, 3000, 2000, 1000, 3000}, 460, 180},
        {"80-120 ms apart", {80000, 120000, 100000, 90000, 110000}, 1000, 1000},
        {"slowest first", {120000, 80000, 90000, 110000, 100000}, 1000, 1000},
        {"a quick one, then 120 ms apart", {1000, 120000, 120000, 120000, 120000}, 1000, 1000},
    };
    for (const auto& c : cases) {
        for (const BusPace pace : {BusPace::Fixed, BusPace::Measured}) {
            SCOPED_TRACE(std::string(c.name) + (pace == BusPace::Fixed ? ", fixed pace" : ", measured pace"));
            SimBusRig rig;
            ASSERT_TRUE(rig.OpenLink());
            DeviceRegistry devices(rig.log);
            NetworkContext network{rig.services, devices, view, pace};
            std::vector<int> expected;
            for (size_t i = 0; i < c.turnaroundMicros.size(); ++i) {
                const uint8_t address = uint8_t(3 + 2 * i);
                rig.AddDevice(SimDeviceKind::Relay, address, Serial(address)).SetTurnaroundMicros(c.turnaroundMicros[i]);
                expected.push_back(address);
            }

            const uint64_t start = rig.clock.NowMillis();
            EXPECT_EQ(DiscoverDevices(network, BROADCAST_ADDRESS), 5);
            EXPECT_LT(rig.clock.NowMillis() - start, pace == BusPace::Fixed ? c.fixedLimitMillis : c.measuredLimitMillis);
            std::vector<int> found;
            for (uint8_t a : devices.GetDeviceAddresses())
                found.push_back(a);
            EXPECT_EQ(found, expected);
            rig.clock.Sleep(1000);
            uint32_t waiting = 1;
            EXPECT_EQ(rig.bus.GetQueueStatus(BusInterfaceHandle(), waiting), FT_OK);
            EXPECT_EQ(waiting, 0u) << "answers still to come after the discovery";
        }
    }
}

// A device that answers once more, late, is one device at either pace and in
// either pass: the same answer at the same address is not listed twice.
TEST_F(DiscoveryTest, TheSameAnswerHeardTwiceIsOneDevice)
{
    const auto twice = [](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.command != MODULE_INFO_REQUEST || (frame.destination != 5 && frame.destination != BROADCAST_ADDRESS))
            return;
        ModuleInfo info;
        info.serial = Serial(0x55);
        info.name = "ORV-Relay";
        const auto payload = EncodeModuleInfo(info);
        out.Ack();
        out.Frame(HOST_ADDRESS, 5, MODULE_INFO, payload.data(), MODULE_INFO_LENGTH);
        out.Pause(170000);
        out.Frame(HOST_ADDRESS, 5, MODULE_INFO, payload.data(), MODULE_INFO_LENGTH);
    };
    for (const int start : {0, int(BROADCAST_ADDRESS)}) {
        for (const BusPace pace : {BusPace::Fixed, BusPace::Measured}) {
            SCOPED_TRACE(StrF("start %d, %s pace", start, pace == BusPace::Fixed ? "fixed" : "measured"));
            SimBusRig rig;
            ASSERT_TRUE(rig.OpenLink());
            FunctionResponder device(twice);
            rig.bus.Attach(device);
            DeviceRegistry devices(rig.log);
            NetworkContext network{rig.services, devices, view, pace};

            EXPECT_EQ(DiscoverDevices(network, start), 1);
            ASSERT_EQ(devices.Count(), 1u);
            EXPECT_EQ(devices.Record(0).address, 5);
            EXPECT_FALSE(devices.Record(0).sharedAddress);
            EXPECT_TRUE(rig.prompts.boxes.empty());
        }
    }
}

// Two devices that carry one serial number at one address, but report
// themselves differently, stay two devices that share the address.
TEST_F(DiscoveryTest, TwoDevicesWithOneSerialNumberStayTwo)
{
    SimDevice relay(SimDeviceKind::Relay, 7, Serial(0x71));
    SimDevice led(SimDeviceKind::LED4PD, 7, Serial(0x71));
    bus.Attach(relay);
    bus.Attach(led);

    EXPECT_EQ(DiscoverDevices(context, BROADCAST_ADDRESS), 2);
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{7, 7}));
    EXPECT_TRUE(registry.Record(0).sharedAddress);
    EXPECT_TRUE(registry.Record(1).sharedAddress);
}

TEST_F(DiscoveryTest, QuickDiscoveryFlagsDevicesSharingAnAddressWithoutWarning)
{
    AddDevice(7, 0x71, SimDeviceKind::Input8);
    AddDevice(7, 0x72, SimDeviceKind::Relay);
    AddDevice(2, 0x02, SimDeviceKind::Relay);

    EXPECT_EQ(DiscoverDevices(context, BROADCAST_ADDRESS), 3);

    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{7, 7, 2}));
    EXPECT_TRUE(registry.Record(0).sharedAddress);
    EXPECT_TRUE(registry.Record(1).sharedAddress);
    EXPECT_FALSE(registry.Record(2).sharedAddress);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_TRUE(Sent(SET_ADDRESS_BY_SN).empty());
    EXPECT_EQ(view.Count("refresh"), 1);
}

TEST_F(DiscoveryTest, SilentBroadcastIsTriedThreeTimes)
{
    registry.Append(Record(5, Serial(5)));  // from an earlier discovery

    EXPECT_EQ(DiscoverDevices(context, BROADCAST_ADDRESS), 0);

    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(prompts.progress.size(), 3u);
    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"instructions", "reset", "instructions", "instructions"}));
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, NO_DEVICE_CAPTION);
    EXPECT_EQ(prompts.boxes[0].text, NO_DEVICE_TEXT);
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::Ok);
}

TEST_F(DiscoveryTest, ReplyFaultsAreLoggedAndNotCounted)
{
    struct Case {
        const char* name;
        SimDeviceFaults faults;
        const char* line;
    };
    std::vector<Case> cases(5);
    cases[0] = {"21 bytes", {}, " Bad Reply From  Address: 255 "};
    cases[0].faults.replyLength = 21;
    cases[1] = {"23 bytes", {}, " Bad Reply From  Address: 255 "};
    cases[1].faults.replyLength = 23;
    cases[2] = {"another command", {}, " Bad Reply From  Address: 255 "};
    cases[2].faults.replyCommand = CONFIG_BLOCK_DATA;
    cases[3] = {"no reply", {}, " Ack but No Reply from  Address: 255 "};
    cases[3].faults.omitReply = true;
    cases[4] = {"damaged reply", {}, " Ack but No Reply from  Address: 255 "};
    cases[4].faults.damageCrc = true;

    SimDevice& faulty = AddDevice(6, 0x06);
    AddDevice(8, 0x08);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.lines.clear();
        faulty.SetFaults(c.faults);
        EXPECT_EQ(ScanBus(context, BROADCAST_ADDRESS, true), 1);
        EXPECT_EQ(RegistryAddresses(), (std::vector<int>{8}));
        EXPECT_TRUE(log.Contains(c.line));
    }
}

TEST_F(DiscoveryTest, CancelKeepsTheRecordsFoundSoFar)
{
    AddDevice(3, 0x03);
    AddDevice(9, 0x09);
    prompts.onProgressUpdate = [](const RecordedProgress&, int value) { return value != 5; };

    EXPECT_EQ(DiscoverDevices(context, 0), 1);

    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), Ascending(0, 5));
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{3}));
    EXPECT_TRUE(prompts.progress[0]->hidden);
    EXPECT_EQ(prompts.statusTexts.back().second, "ORVANTA TOOL");
    EXPECT_EQ(view.Count("refresh"), 1);
}

TEST_F(DiscoveryTest, CountingPassEmptiesTheRegistryAndKeepsItEmpty)
{
    AddDevice(3, 0x03);
    AddDevice(9, 0x09);
    registry.Append(Record(5, Serial(5)));

    EXPECT_EQ(ScanBus(context, BROADCAST_ADDRESS, false), 2);

    EXPECT_EQ(registry.Count(), 0u);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"instructions", "reset"}));
    EXPECT_FALSE(log.Contains(" Device Added : "));
}

// A responder that acknowledges a broadcast and then sends count MODULE_INFO
// frames from addresses 1 to 254, everyMicros apart.
FunctionResponder::Handler Crowd(int count, uint64_t everyMicros)
{
    return [count, everyMicros](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.command != MODULE_INFO_REQUEST)
            return;
        out.Ack();
        for (int i = 0; i < count; ++i) {
            out.Pause(everyMicros);
            ModuleInfo info;
            info.serial = {uint8_t(i), uint8_t(i >> 8), 0, 0};
            info.name = "ORV-Relay";
            const auto payload = EncodeModuleInfo(info);
            out.Frame(HOST_ADDRESS, uint8_t(1 + i % 254), MODULE_INFO, payload.data(), MODULE_INFO_LENGTH);
        }
    };
}

TEST_F(DiscoveryTest, OneAddressTakesAtMost255Answers)
{
    FunctionResponder crowd(Crowd(256, 100));  // 256 answers in 0.8 s
    bus.Attach(crowd);

    EXPECT_EQ(ScanBus(context, BROADCAST_ADDRESS, true), 255);

    EXPECT_EQ(registry.Count(), 255u);
    EXPECT_TRUE(log.Contains(" Too many Replies from  Address: 255 "));
    EXPECT_EQ(prompts.statusTexts[prompts.statusTexts.size() - 2].second, " 255: Orvanta Device(s) Found & Added");
}

// A device that repeats its answer every 10 ms would otherwise hold the scan
// at one address for as long as it keeps on.
TEST_F(DiscoveryTest, ADeviceThatNeverStopsAnsweringHoldsOneAddressForAboutASecond)
{
    FunctionResponder repeater(Crowd(6000, 10000));  // a minute of answers
    bus.Attach(repeater);

    const uint64_t start = clock.NowMillis();
    const uint8_t found = ScanBus(context, BROADCAST_ADDRESS, true);
    EXPECT_LT(clock.NowMillis() - start, 1500u);
    EXPECT_GT(found, 50);
    EXPECT_LT(found, 255);
    EXPECT_TRUE(log.Contains(" Too many Replies from  Address: 255 "));

    // Cancel is heard between the answers.
    registry.ClearDevices();
    prompts.onProgressUpdate = [](const RecordedProgress& progress, int) { return progress.values.size() < 5; };
    EXPECT_LE(ScanBus(context, BROADCAST_ADDRESS, true), 4);
}

// After an acknowledgement the desktop pace waits 300 ms before it reads the
// answers; the measured pace reads them as they come and awaits the first as
// long. At either a reply 280 ms late is found, and the broadcast then ends
// after two silent reads.
TEST_F(DiscoveryTest, AReplyLateByAlmostThePauseIsFoundAtEitherPace)
{
    FunctionResponder late([](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.command != MODULE_INFO_REQUEST)
            return;
        out.Ack();
        out.Pause(280000);
        ModuleInfo info;
        info.name = "ORV-Relay";
        const auto payload = EncodeModuleInfo(info);
        out.Frame(HOST_ADDRESS, 4, MODULE_INFO, payload.data(), MODULE_INFO_LENGTH);
    });
    bus.Attach(late);

    for (const auto& [pace, readFromMicros] : {std::pair{BusPace::Fixed, 300000u}, {BusPace::Measured, 280000u}}) {
        SCOPED_TRACE(pace == BusPace::Fixed ? "fixed pace" : "measured pace");
        context.pace = pace;
        const uint64_t start = clock.NowMicros();
        EXPECT_EQ(ScanBus(context, BROADCAST_ADDRESS, true), 1);
        const uint64_t elapsed = clock.NowMicros() - start;
        EXPECT_GE(elapsed, readFromMicros + 2 * READ_TIMEOUT_MS * 1000);
        EXPECT_LT(elapsed, readFromMicros + 2 * READ_TIMEOUT_MS * 1000 + 10000);
    }
}

// A peer that answers every request with a stream of valid answers, each
// sooner than a silent read, ends every discovery within a bound: a pass reads
// no more answers than a full bus gives, new or repeated, and such a pass
// moves no device.
TEST_F(DiscoveryTest, APeerThatNeverStopsAnsweringEndsEveryDiscovery)
{
    const struct {
        const char* name;
        int answers;  // to every request, 50 ms apart, the same ones each time
        uint64_t limitMillis;
    } cases[] = {{"many answers", 200, 60000}, {"the same answers again", 40, 60000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimBusRig rig;
        ASSERT_TRUE(rig.OpenLink());
        FunctionResponder flood(Crowd(c.answers, 50000));
        rig.bus.Attach(flood);
        rig.prompts.boxAnswers.assign(8, Answer::Yes);
        DeviceRegistry devices(rig.log);
        RecordingView shown;
        NetworkContext network{rig.services, devices, shown};

        DiscoverDevices(network, 0);
        EXPECT_LT(rig.clock.NowMillis(), c.limitMillis);
        EXPECT_TRUE(std::any_of(rig.log.lines.begin(), rig.log.lines.end(), [](const std::string& line) {
            return line.rfind(" Too many Replies on the bus: Discovery stopped after Address: ", 0) == 0;
        }));
        EXPECT_TRUE(rig.Sent(SET_ADDRESS_BY_SN).empty());
        EXPECT_EQ(shown.Count("refresh"), 1);
    }
}

TEST_F(DiscoveryTest, AnswerThatTurnsIntoNoiseEndsTheAddressWithinAboutASecond)
{
    // Acknowledges, then fills the line with ten seconds of noise.
    FunctionResponder babbler([](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.destination != BROADCAST_ADDRESS)
            return;
        out.Ack();
        out.Raw(std::vector<uint8_t>(110000, 0x55));
    });
    bus.Attach(babbler);

    const uint64_t start = clock.NowMillis();
    EXPECT_EQ(ScanBus(context, BROADCAST_ADDRESS, true), 0);
    EXPECT_LT(clock.NowMillis() - start, 2500u);
    EXPECT_TRUE(log.Contains(" Ack but No Reply from  Address: 255 "));
}

}  // namespace
}  // namespace orv::test
