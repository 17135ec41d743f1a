// A backup restored to the simulated bus: what is written and in which order,
// the replacement moved first, and where a restore stops.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/commands.h"
#include "model/input8_image.h"
#include "network/discovery.h"
#include "tests/network/network_fixture.h"
#include "tests/support/hall_config.h"
#include "wholebus/bus_backup.h"
#include "wholebus/restore_plan.h"

namespace orv::test {
namespace {

// Stop requests that arrive when a test says so.
class StopAt final : public StopRequests {
public:
    int Count() override { return count; }
    void Answer(const std::string&) override {}
    int count = 0;
};

// Two Input8 at 3 and 5 and a relay at 9, backed up; then both Input8 changed.
class RestorePlanTest : public NetworkFixture {
protected:
    SimDevice& first = AddDevice(3, 0x01, SimDeviceKind::Input8);
    SimDevice& second = AddDevice(5, 0x02, SimDeviceKind::Input8);
    SimDevice& relay = AddDevice(9, 0x03, SimDeviceKind::Relay);
    const std::vector<uint8_t> backedUp = EncodeInput8Image(Hall(9), ImageForm::Device);
    const std::vector<uint8_t> changed = EncodeInput8Image(Hall(12), ImageForm::Device);
    StopAt stop;
    Services stoppable{clock, log, prompts, stop};
    NetworkContext restoring{stoppable, registry, view};
    BusBackup backup;

    void SetUp() override
    {
        NetworkFixture::SetUp();
        first.LoadMemory(backedUp);
        second.LoadMemory(backedUp);
        ASSERT_EQ(DiscoverDevices(context, BROADCAST_ADDRESS), 3);
        backup = ReadBusBackup(registry, services);
        ASSERT_TRUE(backup.notRead.empty());
        first.LoadMemory(changed);
        second.LoadMemory(changed);
    }

    BusComparison Compare()
    {
        DiscoverDevices(context, BROADCAST_ADDRESS);
        return CompareWithBus(backup.devices, registry, services);
    }

    static bool Holds(SimDevice& device, const std::vector<uint8_t>& image)
    {
        return device.Memory().size() >= image.size() && std::equal(image.begin(), image.end(), device.Memory().begin());
    }

    // The serial tags of the plan's targets, in its order.
    static std::vector<int> Targets(const RestorePlan& plan)
    {
        std::vector<int> tags;
        for (const RestoreWrite& write : plan.writes)
            tags.push_back(write.target.serialNumber[0]);
        return tags;
    }

    static std::vector<RestoreStatus> Statuses(const RestoreResult& result)
    {
        std::vector<RestoreStatus> statuses;
        for (const RestoreStepResult& step : result.steps)
            statuses.push_back(step.status);
        return statuses;
    }
};

TEST_F(RestorePlanTest, TheDevicesThatDifferAreWrittenInTheBackupsOrderAndReadBack)
{
    second.LoadMemory(backedUp);
    bus.Detach(relay);
    AddDevice(7, 0x04, SimDeviceKind::Input8).LoadMemory(changed);  // not in the backup: never written
    const BusComparison comparison = Compare();

    const RestorePlan plan = PlanRestore(comparison, RowsToRestore(comparison, false), {}, registry);
    EXPECT_EQ(Targets(plan), std::vector<int>{0x01});
    EXPECT_EQ(plan.unchanged, 1u);
    EXPECT_TRUE(plan.refused.empty());  // the relay holds no configuration
    const RestorePlan forced = PlanRestore(comparison, RowsToRestore(comparison, true), {}, registry);
    EXPECT_EQ(Targets(forced), (std::vector<int>{0x01, 0x02}));
    EXPECT_EQ(forced.unchanged, 0u);

    bus.ClearHeard();
    const RestoreResult result = RunRestore(forced, comparison, restoring);
    EXPECT_EQ(Statuses(result), (std::vector<RestoreStatus>{RestoreStatus::Written, RestoreStatus::Written}));
    EXPECT_EQ(result.Restored(), 2u);
    EXPECT_TRUE(Holds(first, backedUp));
    EXPECT_TRUE(Holds(second, backedUp));
    std::vector<int> order = Destinations(CONFIG_BLOCK_WRITE);
    order.erase(std::unique(order.begin(), order.end()), order.end());
    EXPECT_EQ(order, (std::vector<int>{3, 5}));
    EXPECT_EQ(RestoreStepText(result.steps[0]), "written and read back");
}

TEST_F(RestorePlanTest, AReplacementTakesTheOldAddressBeforeAnythingIsWritten)
{
    bus.Detach(first);
    SimDevice& spare = AddDevice(14, 0x05, SimDeviceKind::Input8);
    spare.Info().configured = 0;
    const BusComparison comparison = Compare();
    const std::vector<size_t> rows = RowsToRestore(comparison, false);

    // Without the replacement the missing device is refused.
    const RestorePlan alone = PlanRestore(comparison, rows, {}, registry);
    ASSERT_EQ(alone.refused.size(), 1u);
    EXPECT_EQ(alone.refused[0].second, RestoreRefusal::MissingOnBus);

    const RestorePlan plan = PlanRestore(comparison, rows, {{Serial(0x01), Serial(0x05)}}, registry);
    EXPECT_TRUE(plan.refused.empty());
    EXPECT_EQ(Targets(plan), (std::vector<int>{0x02, 0x05}));
    EXPECT_EQ(plan.Total(), 2u);

    bus.ClearHeard();
    const RestoreResult result = RunRestore(plan, comparison, restoring);
    EXPECT_EQ(result.Restored(), 2u);
    const std::vector<HeardFrame> moves = Sent(SET_ADDRESS_BY_SN);
    const std::vector<HeardFrame> writes = Sent(CONFIG_BLOCK_WRITE);
    ASSERT_FALSE(moves.empty());
    ASSERT_FALSE(writes.empty());
    EXPECT_LT(moves.back().atMicros, writes.front().atMicros);
    EXPECT_EQ(spare.Address(), 3);
    EXPECT_EQ(result.steps[1].target.address, 3);
    EXPECT_EQ(result.steps[1].move, MoveResult::Moved);
    EXPECT_TRUE(Holds(spare, backedUp));
    EXPECT_EQ(MoveText(*result.steps[1].move, plan.writes[1].target, 3), "ORV-Input8 (12 00 5A 05): address 14 → 3");
}

// Where a restore stops, the devices after it are not written and say so;
// the one written before keeps its result.
TEST_F(RestorePlanTest, ARestoreStopsBetweenDevices)
{
    struct Case {
        const char* name;
        bool loseLine;
        RestoreStatus firstStatus;
    };
    for (const Case& c : {Case{"stop requested", false, RestoreStatus::Written},
                          Case{"interface lost", true, RestoreStatus::WriteFailed}}) {
        SCOPED_TRACE(c.name);
        first.LoadMemory(changed);
        second.LoadMemory(changed);
        stop.count = 0;
        const BusComparison comparison = Compare();
        const RestorePlan plan = PlanRestore(comparison, RowsToRestore(comparison, false), {}, registry);
        ASSERT_EQ(Targets(plan), (std::vector<int>{0x01, 0x02}));
        // During the first device's write.
        FunctionResponder during([&](const HeardFrame& frame, SimReplyWriter&) {
            if (frame.command != CONFIG_BLOCK_WRITE || frame.destination != 3)
                return;
            if (c.loseLine)
                bus.LoseLineAfter(0);
            else
                stop.count = 1;
        });
        bus.Attach(during);
        const RestoreResult result = RunRestore(plan, comparison, restoring);
        bus.Detach(during);

        EXPECT_EQ(Statuses(result), (std::vector<RestoreStatus>{c.firstStatus, RestoreStatus::NotAttempted}));
        EXPECT_EQ(result.interfaceLost, c.loseLine);
        EXPECT_EQ(result.stopRequested, !c.loseLine);
        EXPECT_EQ(Holds(first, backedUp), !c.loseLine);
        EXPECT_TRUE(Holds(second, changed));
        EXPECT_EQ(RestoreStepText(result.steps[1]), "not written");
        if (c.loseLine) {
            ASSERT_TRUE(result.steps[0].outcome);
            EXPECT_EQ(result.steps[0].outcome->result, WriteResult::InterfaceLost);
            EXPECT_EQ(RestoreStepText(result.steps[0]).rfind("the interface was lost during the write", 0), 0u);
        }
    }
}

// A device that keeps something else than was written, and one no longer
// listed where the comparison found it: neither counts as restored.
TEST_F(RestorePlanTest, OnlyWhatWasReadBackCountsAsRestored)
{
    const BusComparison comparison = Compare();
    const RestorePlan plan = PlanRestore(comparison, RowsToRestore(comparison, false), {}, registry);
    ASSERT_EQ(Targets(plan), (std::vector<int>{0x01, 0x02}));
    // The first device ignores what it is sent; the second moves away.
    FunctionResponder keeper([&](const HeardFrame& frame, SimReplyWriter&) {
        if (frame.command == CONFIG_BLOCK_WRITE && frame.destination == 3)
            first.LoadMemory(changed);
    });
    bus.Attach(keeper);
    second.SetAddress(20);
    DiscoverDevices(context, BROADCAST_ADDRESS);
    bus.ClearHeard();

    const RestoreResult result = RunRestore(plan, comparison, restoring);
    bus.Detach(keeper);
    EXPECT_EQ(Statuses(result), (std::vector<RestoreStatus>{RestoreStatus::WriteFailed, RestoreStatus::NoLongerThere}));
    EXPECT_EQ(result.Restored(), 0u);
    EXPECT_FALSE(result.interfaceLost);
    EXPECT_EQ(Destinations(CONFIG_BLOCK_WRITE).back(), 3);
    EXPECT_EQ(RestoreStepText(result.steps[0]),
              "the read-back from the device differs from what was written");
    EXPECT_EQ(RestoreStepText(result.steps[1]),
              "not written: the device list no longer shows it there; compare with the backup again");
    EXPECT_TRUE(Holds(second, changed));
}

}  // namespace
}  // namespace orv::test
