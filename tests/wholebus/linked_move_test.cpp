// A move with its links on the simulated bus: the device is confirmed at its
// new address before any row is written, the rows are rewritten without a
// scan of the bus, and a move cut off by a pulled interface is told as it
// happened and finished by the same move run again.
#include <gtest/gtest.h>

#include "model/input8_image.h"
#include "network/discovery.h"
#include "tests/network/network_fixture.h"
#include "wholebus/linked_move.h"

namespace orv::test {
namespace {

constexpr uint8_t FROM = 4;
constexpr uint8_t TO = 9;

std::vector<uint8_t> Input8Pointing(const std::vector<int>& rowsToFrom)
{
    Input8Config config;
    config.name = "Hall";
    config.rows[0] = InputRow{0, ChangeType::Open, 7, ACTION_RELAY_ENERGIZE, {'1'}};
    for (int row : rowsToFrom)
        config.rows[size_t(row)] = InputRow{1, ChangeType::Close, FROM, ACTION_RELAY_DEENERGIZE, {'2'}};
    return EncodeInput8Image(config, ImageForm::Device);
}

class LinkedMoveTest : public NetworkFixture {
protected:
    SimDevice& relay = AddDevice(FROM, 0x44);
    SimDevice& hall = AddDevice(1, 0x11, SimDeviceKind::Input8);
    SimDevice& door = AddDevice(2, 0x22, SimDeviceKind::Input8);

    void SetUp() override
    {
        NetworkFixture::SetUp();
        hall.LoadMemory(Input8Pointing({1, 2}));
        door.LoadMemory(Input8Pointing({5}));
    }

    // What a run of the move starts from: the bus discovered, the relay found
    // at either address, the rows that point to FROM read.
    DeviceRecord DiscoveredRelay()
    {
        DiscoverDevices(context, BROADCAST_ADDRESS);
        for (size_t i = 0; i < registry.Count(); ++i)
            if (registry.Record(i).serialNumber == Serial(0x44))
                return registry.Record(i);
        ADD_FAILURE() << "the relay did not answer";
        return {};
    }

    LinkedMove MoveAgain()
    {
        const DeviceRecord device = DiscoveredRelay();
        const LinkScan scan = FindLinksTo(FROM, device.serialNumber, registry, services);
        bus.ClearHeard();
        return MoveWithLinks(services, device, FROM, TO, scan);
    }

    std::vector<size_t> RowsTo(const SimDevice& device, uint8_t address) const
    {
        return RowsPointingTo(ConfigKind::Input8, device.Memory(), address);
    }
};

TEST_F(LinkedMoveTest, TheLinksFollowTheConfirmedMoveWithoutAScan)
{
    const LinkedMove move = MoveAgain();

    EXPECT_EQ(move.status, MoveStatus::Moved);
    EXPECT_EQ(relay.Address(), TO);
    EXPECT_EQ(RowsTo(hall, TO), (std::vector<size_t>{1, 2}));
    EXPECT_EQ(RowsTo(door, TO), std::vector<size_t>{5});
    EXPECT_TRUE(RowsTo(hall, FROM).empty());
    // One question at the new address confirms the move; then the writes.
    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), std::vector<int>{TO});
    ASSERT_FALSE(bus.Heard().empty());
    EXPECT_EQ(bus.Heard().front().command, SET_ADDRESS_BY_SN);
    EXPECT_EQ(bus.Heard()[1].command, MODULE_INFO_REQUEST);
    EXPECT_EQ(Destinations(CONFIG_BLOCK_WRITE).front(), 1);
    EXPECT_EQ(LinkedMoveSummary(move), "ORV-Relay (12 00 5A 44) moved from 4 to 9; 2 rows of ORV-Input8 @ 1 now point "
                                       "to 9, read back; 1 row of ORV-Input8 @ 2 now points to 9, read back");
    EXPECT_TRUE(LinkedMoveProblems(move).empty());
    EXPECT_FALSE(move.Unfinished());
}

// The interface pulled at each step of the move: what is said matches what
// the devices hold, and the same move run again finishes the job.
TEST_F(LinkedMoveTest, ACutMoveIsToldAsItHappenedAndFinishedByRunningItAgain)
{
    const std::vector<std::string> noRowWritten = {"ORV-Input8 @ 1: no row was written; Row 2, Row 3 still point to 4",
                                                   "ORV-Input8 @ 2: no row was written; Row 6 still points to 4"};
    const struct {
        const char* name;
        int lostAtWrite;           // 0: the line stays
        bool relayIgnoresQueries;  // it acknowledges its new address, then answers nothing
        MoveStatus status;
        int relayAt;
        std::vector<std::string> problems;
    } cases[] = {
        {"pulled at SET_ADDRESS_BY_SN", 1, false, MoveStatus::MayHaveMoved, FROM, noRowWritten},
        {"pulled just after it", 2, false, MoveStatus::MayHaveMoved, TO, noRowWritten},
        {"not answering at the new address", 0, true, MoveStatus::NotAtNewAddress, TO, noRowWritten},
        {"pulled during the first link write", 4, false, MoveStatus::Moved, TO,
         {"ORV-Input8 @ 1: the interface was lost while Row 2, Row 3 were being rewritten to 9: the device may hold "
          "an incomplete configuration",
          "ORV-Input8 @ 2: no row was written; Row 6 still points to 4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        relay.SetAddress(FROM);
        hall.LoadMemory(Input8Pointing({1, 2}));
        door.LoadMemory(Input8Pointing({5}));
        ASSERT_TRUE(OpenLink());
        const DeviceRecord device = DiscoveredRelay();
        const LinkScan scan = FindLinksTo(FROM, device.serialNumber, registry, services);
        ASSERT_EQ(scan.devices.size(), 2u);
        bus.ClearHeard();
        if (c.lostAtWrite)
            bus.LoseLineAtWrite(c.lostAtWrite);
        if (c.relayIgnoresQueries) {
            SimDeviceFaults faults;
            faults.noAckCommand = MODULE_INFO_REQUEST;
            relay.SetFaults(faults);
        }

        const LinkedMove move = MoveWithLinks(services, device, FROM, TO, scan);
        EXPECT_EQ(move.status, c.status);
        EXPECT_EQ(relay.Address(), c.relayAt);
        EXPECT_EQ(LinkedMoveProblems(move), c.problems);
        EXPECT_TRUE(move.Unfinished());
        if (move.status != MoveStatus::Moved) {
            EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
        }
        EXPECT_EQ(RowsTo(door, FROM), std::vector<size_t>{5});

        relay.SetFaults({});
        ASSERT_TRUE(OpenLink());
        const LinkedMove again = MoveAgain();
        EXPECT_EQ(again.status, c.relayAt == TO ? MoveStatus::AlreadyThere : MoveStatus::Moved);
        EXPECT_FALSE(again.Unfinished());
        EXPECT_EQ(relay.Address(), TO);
        EXPECT_EQ(RowsTo(hall, TO), (std::vector<size_t>{1, 2}));
        EXPECT_EQ(RowsTo(door, TO), std::vector<size_t>{5});
        EXPECT_TRUE(RowsTo(hall, FROM).empty());
    }
}

}  // namespace
}  // namespace orv::test
