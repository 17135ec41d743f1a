#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "network/address_management.h"
#include "network/discovery.h"
#include "tests/network/network_fixture.h"

namespace orv::test {
namespace {

const char* const WARNING_CAPTION = " Same Address Warning ";
const char* const WARNING_TEXT =
    "Two or more ORVANTA devices found share the Same Address. \n Press YES to change the addresses automatically, "
    "or NO to ignore";
const char* const NO_FREE_CAPTION = " No Free Address ";
const char* const REDISCOVER_CAPTION = " Re-discover Devices  ";
const char* const REDISCOVER_TEXT =
    "\n Address changed successfully. ORV-Tool needs to re-discover devices. \n\n Press OK to start Discovery  ";

// A SET_ADDRESS_BY_SN as the tool sent it.
struct AddressChange {
    int destination;
    SerialNumber serial;
    int newAddress;
    bool operator==(const AddressChange&) const = default;
};

void PrintTo(const AddressChange& c, std::ostream* os)
{
    *os << "to " << c.destination << " serial " << SerialText(c.serial) << " new " << c.newAddress;
}

class AddressTest : public NetworkFixture {
protected:
    std::vector<AddressChange> Changes() const
    {
        std::vector<AddressChange> changes;
        for (const auto& frame : Sent(SET_ADDRESS_BY_SN)) {
            EXPECT_EQ(frame.payload.size(), size_t(SET_ADDRESS_LENGTH));
            changes.push_back({frame.destination,
                               {frame.payload[0], frame.payload[1], frame.payload[2], frame.payload[3]},
                               frame.payload[4]});
        }
        return changes;
    }

    void FillRegistry(const std::vector<int>& addresses)
    {
        for (size_t i = 0; i < addresses.size(); ++i)
            registry.Append(Record(uint8_t(addresses[i]), Serial(uint8_t(i))));
    }

    // A discovery whose traces are then forgotten.
    void Discovered(int start)
    {
        DiscoverDevices(context, start);
        bus.ClearHeard();
        prompts.boxes.clear();
        log.lines.clear();
    }
};

TEST(FindFreeAddress, LowestFreeFromOneTo254)
{
    std::vector<uint8_t> full;
    for (int a = 1; a <= 254; ++a)
        full.push_back(uint8_t(a));
    std::vector<uint8_t> allButLast(full.begin(), full.end() - 1);

    EXPECT_EQ(FindFreeAddress({}), 1);
    EXPECT_EQ(FindFreeAddress({0, 255}), 1);
    EXPECT_EQ(FindFreeAddress({1, 2, 4}), 3);
    EXPECT_EQ(FindFreeAddress(allButLast), 254);
    EXPECT_EQ(FindFreeAddress(full), std::nullopt);  // never 255
}

TEST_F(AddressTest, SharedAddressesAreResolvedAndDiscoveredAgain)
{
    AddDevice(5, 0x05, SimDeviceKind::Relay);
    SimDevice& first = AddDevice(7, 0x71, SimDeviceKind::Input8);
    SimDevice& second = AddDevice(7, 0x72, SimDeviceKind::LED4PD);

    EXPECT_EQ(DiscoverDevices(context, 0), 3);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, WARNING_CAPTION);
    EXPECT_EQ(prompts.boxes[0].text, WARNING_TEXT);
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    EXPECT_EQ(Changes(), (std::vector<AddressChange>{{7, Serial(0x71), 1}, {7, Serial(0x72), 2}}));
    EXPECT_EQ(first.Address(), 1);
    EXPECT_EQ(second.Address(), 2);

    std::vector<int> twoPasses = Ascending(0, 254);
    for (int a : Ascending(0, 254))
        twoPasses.push_back(a);
    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), twoPasses);
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{1, 2, 5}));
    for (size_t i = 0; i < registry.Count(); ++i)
        EXPECT_FALSE(registry.Record(i).sharedAddress);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"instructions", "instructions", "reset", "refresh"}));
    EXPECT_TRUE(log.Contains(" SET ADDRESS by SN Request Sent : "));
    EXPECT_TRUE(log.Contains("SET Address ACK Received "));
}

TEST_F(AddressTest, EachSharedRecordGetsTheLowestAddressNotYetGiven)
{
    const struct {
        const char* name;
        std::vector<int> addresses;
        std::vector<AddressChange> changes;
    } cases[] = {
        {"5, 5, 3", {5, 5, 3}, {{5, Serial(0), 1}, {5, Serial(1), 2}}},
        {"the shared address stays taken while another holds it", {1, 2, 2}, {{2, Serial(1), 3}, {2, Serial(2), 4}}},
        // 4 is free again once both of its devices have left it.
        {"two groups", {4, 9, 4, 9}, {{4, Serial(0), 1}, {9, Serial(1), 2}, {4, Serial(2), 3}, {9, Serial(3), 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry.ClearDevices();
        bus.ClearHeard();
        prompts.boxes.clear();
        FillRegistry(c.addresses);

        EXPECT_TRUE(ResolveDuplicateAddresses(context));
        EXPECT_EQ(Changes(), c.changes);
        EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{WARNING_CAPTION}));
        EXPECT_TRUE(log.Contains("Nothing Received"));  // no device here: logged, carried on
    }
}

TEST_F(AddressTest, NothingSharedOrDeclinedChangesNothing)
{
    FillRegistry({3, 4});
    EXPECT_FALSE(ResolveDuplicateAddresses(context));
    EXPECT_TRUE(prompts.boxes.empty());

    registry.ClearDevices();
    FillRegistry({5, 7, 7});
    prompts.boxAnswers = {Answer::No};
    EXPECT_FALSE(ResolveDuplicateAddresses(context));
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{WARNING_CAPTION}));
    EXPECT_FALSE(registry.Record(0).sharedAddress);
    EXPECT_TRUE(registry.Record(1).sharedAddress);
    EXPECT_TRUE(registry.Record(2).sharedAddress);
    EXPECT_TRUE(bus.Heard().empty());
}

TEST_F(AddressTest, DeclinedWarningListsBothDevicesAfterOnePass)
{
    AddDevice(5, 0x05);
    AddDevice(7, 0x71);
    AddDevice(7, 0x72);
    prompts.boxAnswers = {Answer::No};

    EXPECT_EQ(DiscoverDevices(context, 0), 3);

    EXPECT_EQ(Sent(MODULE_INFO_REQUEST).size(), 255u);
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{5, 7, 7}));
    EXPECT_TRUE(registry.Record(1).sharedAddress);
    EXPECT_TRUE(registry.Record(2).sharedAddress);
    EXPECT_EQ(view.Count("refresh"), 1);
}

TEST_F(AddressTest, NoFreeAddressIsToldOnceAndNever255IsSent)
{
    const struct {
        const char* name;
        int taken;  // addresses 1..taken in use, then two more records at 7
        std::vector<AddressChange> changes;
        bool result;
    } cases[] = {
        {"1 to 254 in use", 254, {}, false},
        {"only 254 left", 253, {{7, Serial(6), 254}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry.ClearDevices();
        bus.ClearHeard();
        prompts.boxes.clear();
        std::vector<int> addresses = Ascending(1, c.taken);
        addresses.push_back(7);
        if (c.taken < 254)
            addresses.push_back(7);
        FillRegistry(addresses);
        ASSERT_EQ(registry.Count(), 255u);

        EXPECT_EQ(ResolveDuplicateAddresses(context), c.result);
        EXPECT_EQ(Changes(), c.changes);
        EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{WARNING_CAPTION, NO_FREE_CAPTION}));
        EXPECT_EQ(prompts.boxes[1].text,
                  "Every address from 1 to 254 is already in use.\n\nDevices that share an address keep it. Please "
                  "remove a device from the bus and discover again.");
        EXPECT_TRUE(registry.Record(6).sharedAddress);
        EXPECT_TRUE(registry.Record(254).sharedAddress);
    }
}

TEST_F(AddressTest, SetAddressOffersEveryFreeAddress)
{
    FillRegistry({1, 2, 4});
    std::vector<std::string> expected{"3"};
    for (int a : Ascending(5, 254))
        expected.push_back(std::to_string(a));
    EXPECT_EQ(SetAddressChoices(registry), expected);
}

TEST_F(AddressTest, TheFirstOfferedAddressIsApplied)
{
    AddDevice(1, 0x01);
    AddDevice(2, 0x02);
    SimDevice& moved = AddDevice(4, 0x04);
    Discovered(0);
    registry.SelectAddress(4);
    prompts.choiceAnswers = {0};

    EXPECT_TRUE(OnSetAddress(context));

    ASSERT_EQ(prompts.choiceDialogs.size(), 1u);
    EXPECT_EQ(prompts.choiceDialogs[0].caption, "Set Device Address");
    // The device that moves is named above the system's own text.
    const DeviceRecord& record = registry.Record(2);
    EXPECT_EQ(prompts.choiceDialogs[0].message, " Device: " + record.name + " (" + SerialText(record.serialNumber) +
                                                    ") at address 4 \n\n"
                                                    "Please select an Address Value \n Note: Allocated Addresses "
                                                    "have beeen removed");
    EXPECT_EQ(prompts.choiceDialogs[0].choices.front(), "3");
    EXPECT_EQ(Changes(), (std::vector<AddressChange>{{4, Serial(0x04), 3}}));
    EXPECT_EQ(moved.Address(), 3);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, REDISCOVER_CAPTION);
    EXPECT_EQ(prompts.boxes[0].text, REDISCOVER_TEXT);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Information);
    EXPECT_EQ(log.lines[0], " SET ADDRESS by SN Request Sent : ");
    EXPECT_EQ(log.lines[1], "SET Address ACK Received: Address Changed  ");
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{1, 2, 3}));
}

TEST_F(AddressTest, CancelledSetAddressSendsNothing)
{
    AddDevice(4, 0x04);
    Discovered(BROADCAST_ADDRESS);
    registry.Select(0);

    EXPECT_FALSE(OnSetAddress(context));

    EXPECT_EQ(prompts.choiceDialogs.size(), 1u);
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(AddressTest, AMoveTheCheckRefusesSendsNothing)
{
    AddDevice(4, 0x04);
    Discovered(BROADCAST_ADDRESS);
    registry.Select(0);
    prompts.choiceAnswers = {2};
    std::vector<std::pair<int, int>> asked;  // from, to

    EXPECT_FALSE(OnSetAddress(context, [&](const DeviceRecord& record, uint8_t newAddress) {
        asked.emplace_back(record.address, newAddress);
        return false;
    }));

    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{4, 3}}));
    EXPECT_TRUE(bus.Heard().empty());
}

TEST_F(AddressTest, AnAcknowledgedChangeAlwaysRunsAFullPass)
{
    SimDevice& device = AddDevice(4, 0x04);
    Discovered(BROADCAST_ADDRESS);
    registry.Select(0);

    device.Faults().noAckCommand = SET_ADDRESS_BY_SN;
    EXPECT_FALSE(ChangeDeviceAddress(context, 9));
    EXPECT_EQ(Changes().size(), 1u);
    EXPECT_TRUE(Sent(MODULE_INFO_REQUEST).empty());
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(log.lines.back(), "Nothing Received");

    bus.ClearHeard();
    device.Faults().noAckCommand.reset();
    EXPECT_TRUE(ChangeDeviceAddress(context, 9));
    EXPECT_EQ(Destinations(MODULE_INFO_REQUEST), Ascending(0, 254));  // the list came from a broadcast
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{9}));
}

TEST_F(AddressTest, ARequestedChangeMovesOnlyThatSerialAndDiscoversNothing)
{
    AddDevice(6, 0x01);
    SimDevice& moving = AddDevice(6, 0x02);
    Discovered(BROADCAST_ADDRESS);
    ASSERT_EQ(registry.Count(), 2u);

    EXPECT_TRUE(RequestAddressChange(services, registry.Record(1), 30));
    EXPECT_EQ(Changes(), (std::vector<AddressChange>{{6, Serial(0x02), 30}}));
    EXPECT_EQ(moving.Address(), 30);
    EXPECT_EQ(devices[0]->Address(), 6);
    EXPECT_TRUE(Sent(MODULE_INFO_REQUEST).empty());
    EXPECT_TRUE(prompts.boxes.empty());

    DeviceRecord moved = registry.Record(1);
    moved.address = 30;
    moving.Faults().silent = true;
    EXPECT_FALSE(RequestAddressChange(services, moved, 31));
    EXPECT_EQ(moving.Address(), 30);
}

TEST_F(AddressTest, ChangesGoToTheCheckedSelectedDevice)
{
    AddDevice(1, 0x01);
    SimDevice& leaving = AddDevice(2, 0x02);
    SimDevice& selected = AddDevice(4, 0x04);
    Discovered(0);
    registry.SelectAddress(4);

    // Moved behind the tool's back: still at index 2, now at address 9.
    selected.SetAddress(9);
    Discovered(0);
    EXPECT_TRUE(ChangeDeviceAddress(context, 5));
    EXPECT_EQ(Changes(), (std::vector<AddressChange>{{9, Serial(0x04), 5}}));

    // Now another device sits at index 2.
    bus.Detach(leaving);
    AddDevice(12, 0x0C);
    Discovered(0);
    EXPECT_EQ(RegistryAddresses(), (std::vector<int>{1, 5, 12}));
    EXPECT_FALSE(OnSetAddress(context));
    EXPECT_FALSE(ChangeDeviceAddress(context, 6));
    EXPECT_TRUE(prompts.choiceDialogs.empty());
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" Select Device ", " Select Device "}));

    // Neither the tool's own address nor the broadcast address is ever sent.
    registry.SelectAddress(12);
    EXPECT_FALSE(ChangeDeviceAddress(context, HOST_ADDRESS));
    EXPECT_FALSE(ChangeDeviceAddress(context, BROADCAST_ADDRESS));
    EXPECT_TRUE(bus.Heard().empty());
}

// A device at address 7 that answers each MODULE_INFO_REQUEST answers times
// with the serial tag and name, and acknowledges SET_ADDRESS_BY_SN without moving.
FunctionResponder::Handler Stubborn(uint8_t serialTag, int answers, std::string name = "ORV-Relay")
{
    return [serialTag, answers, name](const HeardFrame& frame, SimReplyWriter& out) {
        if (frame.destination != 7 && frame.destination != BROADCAST_ADDRESS)
            return;
        if (frame.command == SET_ADDRESS_BY_SN) {
            out.Ack();
            return;
        }
        if (frame.command != MODULE_INFO_REQUEST)
            return;
        out.Ack();
        ModuleInfo info;
        info.serial = Serial(serialTag);
        info.name = name;
        const auto payload = EncodeModuleInfo(info);
        for (int i = 0; i < answers; ++i)
            out.Frame(HOST_ADDRESS, 7, MODULE_INFO, payload.data(), MODULE_INFO_LENGTH);
    };
}

// Resolving repeats while addresses stay shared; it must end, and leave
// answers that one serial number cannot tell apart where they are. One device
// that answers twice is one device.
TEST_F(AddressTest, ResolvingEndsWhenAddressesStayShared)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<uint8_t, int, std::string>> stubborn;  // serial tag, answers per request, name
        bool withMovableDevice;
        int passes;
        std::vector<AddressChange> changes;
        std::vector<std::string> captions;
    };
    const std::string sameSerial = SAME_SERIAL_CAPTION;
    const Case cases[] = {
        {"one device answers twice", {{0x71, 2, "ORV-Relay"}}, false, 1, {}, {}},
        {"two devices carry one serial number, a third moves",
         {{0x71, 1, "ORV-Relay"}, {0x71, 1, "ORV-LED4PD"}},
         true,
         2,
         {{7, Serial(0x73), 1}},
         {WARNING_CAPTION, sameSerial}},
        {"two devices that never move: three resolving passes",
         {{0x71, 1, "ORV-Relay"}, {0x72, 1, "ORV-Relay"}},
         false,
         4,
         {{7, Serial(0x71), 1}, {7, Serial(0x72), 2}, {7, Serial(0x71), 1}, {7, Serial(0x72), 2},
          {7, Serial(0x71), 1}, {7, Serial(0x72), 2}},
         {WARNING_CAPTION, WARNING_CAPTION, WARNING_CAPTION}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::unique_ptr<FunctionResponder>> stubborn;
        for (const auto& [tag, answers, name] : c.stubborn) {
            stubborn.push_back(std::make_unique<FunctionResponder>(Stubborn(tag, answers, name)));
            bus.Attach(*stubborn.back());
        }
        SimDevice movable(SimDeviceKind::Relay, 7, Serial(0x73));
        if (c.withMovableDevice)
            bus.Attach(movable);
        prompts.boxes.clear();
        prompts.boxAnswers.assign(3, Answer::Yes);
        bus.ClearHeard();

        DiscoverDevices(context, 0);

        EXPECT_EQ(Sent(MODULE_INFO_REQUEST).size(), size_t(255 * c.passes));
        EXPECT_EQ(Changes(), c.changes);
        EXPECT_EQ(prompts.Captions(), c.captions);
        const std::vector<int> addresses = RegistryAddresses();
        const auto at7 = std::count(addresses.begin(), addresses.end(), 7);
        for (size_t i = 0; i < registry.Count(); ++i)
            EXPECT_EQ(registry.Record(i).sharedAddress, registry.Record(i).address == 7 && at7 > 1) << i;
        if (!c.captions.empty() && c.captions.back() == sameSerial) {
            EXPECT_NE(prompts.boxes.back().text.find(SerialText(Serial(0x71)) + ") at Address: 7"), std::string::npos)
                << prompts.boxes.back().text;
        }
        for (auto& responder : stubborn)
            bus.Detach(*responder);
        bus.Detach(movable);
    }
}

}  // namespace
}  // namespace orv::test
