// The opening without fixed pauses and the fast full discovery, in virtual
// time on the simulated bus.
#include <gtest/gtest.h>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/discovery.h"
#include "network/fast_scan.h"
#include "port/latency_timer.h"
#include "tests/network/network_fixture.h"

namespace orv::test {
namespace {

TEST(OpeningPace, PausesOnlyAfterAFailedAttempt)
{
    const struct {
        OpenPace pace;
        int openFailures;
        bool interfaceListed;
        bool opened;
        uint64_t millis;
    } cases[] = {
        {OpenPace::Fixed, 0, true, true, 999 + 999 + 255},
        {OpenPace::AfterFailureOnly, 0, true, true, 0},
        {OpenPace::AfterFailureOnly, 2, true, true, 2 * 999},
        {OpenPace::AfterFailureOnly, 0, false, false, 4 * 999},
    };
    for (const auto& c : cases) {
        SimBusRig rig;
        rig.bus.SetOpenFailures(c.openFailures);
        if (!c.interfaceListed)
            rig.bus.SetInterfaces({});
        BindBusLink(rig.bus, rig.services);
        EXPECT_EQ(OpenBusInterface(c.pace), c.opened);
        EXPECT_EQ(rig.clock.NowMillis(), c.millis) << "failures " << c.openFailures;
        if (c.opened) {
            EXPECT_EQ(rig.bus.LastCommState().baudRate, BUS_BAUD_RATE);
            EXPECT_EQ(rig.bus.ReadTimeoutMillis(), READ_TIMEOUT_MS);
        }
    }
}

TEST(FastScanAckWait, TwiceTheSlowestAtLeastTenPlusTheLatencyTimer)
{
    const std::optional<uint32_t> none;
    const struct {
        std::optional<uint32_t> slowest;
        std::optional<uint32_t> latency;
        uint32_t wait;
    } cases[] = {
        {0, 0, 10},
        {3, 1, 11},
        {6, 0, 12},
        {11, 0, 22},
        {21, 16, 58},
        // A latency timer that cannot be read is taken as the FTDI default ...
        {3, none, 26},
        // ... and so is one too low to trust when no acknowledgement was timed.
        {none, 1, 26},
        {none, none, 26},
        {none, 32, 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FastScanAckWait(c.slowest, c.latency), c.wait)
            << c.slowest.value_or(999) << " " << c.latency.value_or(999);
}

class FastScanTest : public NetworkFixture {
protected:
    // The MODULE_INFO_REQUEST heard for address, after the broadcast.
    uint64_t AskedAt(uint8_t address) const
    {
        for (const auto& frame : Sent(MODULE_INFO_REQUEST))
            if (frame.destination == address)
                return frame.atMicros;
        ADD_FAILURE() << "address " << int(address) << " was not asked";
        return 0;
    }
};

TEST_F(FastScanTest, ASilentAddressCostsTheMeasuredWaitAndTheRequestOnTheWire)
{
    AddDevice(7, 0x01);
    const uint64_t start = clock.NowMillis();
    const FastScanResult result = FastDiscoverAll(context, 1);
    EXPECT_EQ(result.found, 1);
    EXPECT_LE(result.slowestAckMillis, 4u);
    EXPECT_EQ(result.ackWaitMillis, 11u);

    // Ten bytes on the wire and their echo, then the bounded wait.
    const uint64_t perAddress = AskedAt(101) - AskedAt(100);
    EXPECT_GE(perAddress, 11000u);
    EXPECT_LE(perAddress, 12000u);
    EXPECT_LT(clock.NowMillis() - start, 4000u) << "255 addresses, against three minutes at the slow pace";
    ASSERT_EQ(registry.Count(), 1u);
    EXPECT_EQ(registry.Record(0).address, 7);
}

TEST_F(FastScanTest, AcknowledgementsAreTimedFromTheEndOfTheEcho)
{
    // 5.5 ms after the request and one byte: 5.6 ms from the end of the echo,
    // 6.5 ms from the request's first byte.
    AddDevice(7, 0x01).SetTurnaroundMicros(5500);
    const FastScanResult result = FastDiscoverAll(context, 1);
    EXPECT_EQ(result.slowestAckMillis, 6u);
    EXPECT_EQ(result.ackWaitMillis, 13u);
}

TEST_F(FastScanTest, WithoutALatencyTimerTheWaitAssumesTheDefaultAndSaysSo)
{
    const FastScanResult result = FastDiscoverAll(context, std::nullopt);
    EXPECT_EQ(result.found, 0);
    EXPECT_EQ(result.ackWaitMillis, 26u);
    EXPECT_TRUE(log.Contains(" Fast discovery: the latency timer cannot be read, taken as 16 ms"));
    EXPECT_TRUE(log.Contains(" Fast discovery: slowest acknowledgement 0 ms, waiting 26 ms per address"));
}

// A bus of its own for each case.
struct ScanBench : SimBusRig {
    DeviceRegistry registry{log};
    RecordingView view;
    NetworkContext context{services, registry, view};

    std::vector<int> Addresses() const
    {
        std::vector<int> addresses;
        for (size_t i = 0; i < registry.Count(); ++i)
            addresses.push_back(registry.Record(i).address);
        return addresses;
    }
};

TEST(FastScan, LateAcknowledgementsAndSharedAddressesAreFoundByBothScans)
{
    for (const uint64_t turnaroundMillis : {15, 17, 20}) {
        for (const bool slow : {false, true}) {
            ScanBench bench;
            ASSERT_TRUE(bench.OpenLink());
            // Devices that share an address are listed, not re-addressed.
            bench.prompts.boxAnswers.assign(4, Answer::No);
            for (const auto& [address, tag] : {std::pair{3, 1}, {40, 2}, {40, 3}, {200, 4}})
                bench.AddDevice(SimDeviceKind::Relay, uint8_t(address), Serial(uint8_t(tag)))
                    .SetTurnaroundMicros(turnaroundMillis * 1000);
            const int found = slow ? DiscoverDevices(bench.context, 0)
                                   : FastDiscoverAll(bench.context, FTDI_DEFAULT_LATENCY_MS).found;
            EXPECT_EQ(found, 4) << turnaroundMillis << " ms, slow " << slow;
            EXPECT_EQ(bench.Addresses(), (std::vector<int>{3, 40, 40, 200})) << turnaroundMillis << " ms, slow " << slow;
        }
    }
}

}  // namespace
}  // namespace orv::test
