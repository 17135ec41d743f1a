#include <gtest/gtest.h>

#include "tests/support/scripted_prompts.h"
#include "wholebus/known_links.h"

namespace orv::test {
namespace {

DeviceRecord Device(const char* name, uint8_t address, uint8_t serial)
{
    DeviceRecord record;
    record.name = name;
    record.address = address;
    record.serialNumber = {serial, 0, 0, 0};
    return record;
}

Input8Config Input8Sending(std::initializer_list<std::pair<size_t, uint8_t>> rows)
{
    Input8Config config;
    for (auto [row, destination] : rows)
        config.rows[row - 1].destination = destination;
    return config;
}

TEST(KnownLinks, RowsOfBothKindsThatSendToADevice)
{
    EXPECT_EQ(Input8RowLinks(Input8Sending({{3, 9}, {7, 9}, {8, 4}})).size(), 3u);
    EXPECT_TRUE(Input8RowLinks(Input8Config{}).empty());

    const auto row = [](const char* text, uint8_t destination) {
        RS232Row stored;
        stored.text = text;
        stored.destination = destination;
        return stored;
    };
    RS232Config rs232;
    rs232.rows = {row("on", 9), row("", 9) /* no string: not stored */, row("all", DEST_BROADCAST),
                  row("off", DEST_UNUSED), row("off", 4)};
    const std::vector<RowLink> links = RS232RowLinks(rs232);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].row, 1);
    EXPECT_EQ(links[0].destination, 9);
    EXPECT_EQ(links[1].row, 5);
    EXPECT_EQ(links[1].destination, 4);
}

TEST(KnownLinks, LinksToAnAddressFromOtherDevicesInAddressOrder)
{
    KnownLinks known;
    known.Learn(Device("ORV-Input8", 5, 0x05), Input8RowLinks(Input8Sending({{2, 9}})));
    known.Learn(Device("ORV-Input8", 1, 0x01), Input8RowLinks(Input8Sending({{3, 9}, {7, 9}, {8, 4}})));
    // A device's own rows to its own address do not break when it moves.
    known.Learn(Device("ORV-RS232", 9, 0x09), {{1, 9}});

    EXPECT_EQ(LinkingRowsText(known.LinksTo(9)), " ORV-Input8 @ 1: rows 3, 7\n ORV-Input8 @ 5: row 2\n");
    EXPECT_EQ(LinkingRowsText(known.LinksTo(4)), " ORV-Input8 @ 1: row 8\n");
    EXPECT_TRUE(known.LinksTo(6).empty());

    // A new read replaces what was known of the device.
    known.Learn(Device("ORV-Input8", 1, 0x01), {});
    EXPECT_EQ(LinkingRowsText(known.LinksTo(9)), " ORV-Input8 @ 5: row 2\n");
}

TEST(KnownLinks, ADeviceThatMovesOrLeavesTheListIsForgotten)
{
    KnownLinks known;
    known.Learn(Device("ORV-Input8", 1, 0x01), {{3, 9}});
    known.Learn(Device("ORV-Input8", 2, 0x02), {{4, 9}});
    known.Learn(Device("ORV-Input8", 3, 0x03), {{5, 9}});

    known.Forget(1);
    EXPECT_EQ(LinkingRowsText(known.LinksTo(9)), " ORV-Input8 @ 2: row 4\n ORV-Input8 @ 3: row 5\n");

    // After a discovery: 2 is listed as before, another device answers at 3.
    NullLog log;
    DeviceRegistry registry(log);
    registry.Append(Device("ORV-Input8", 2, 0x02));
    registry.Append(Device("ORV-Input8", 3, 0x33));
    known.KeepListed(registry);
    EXPECT_EQ(LinkingRowsText(known.LinksTo(9)), " ORV-Input8 @ 2: row 4\n");
}

TEST(KnownLinks, AMoveThatBreaksLinksIsAskedWithCancel)
{
    KnownLinks known;
    known.Learn(Device("ORV-Input8", 1, 0x01), {{3, 9}, {7, 9}});
    const DeviceRecord relay = Device("ORV-Relay", 9, 0x09);
    struct Case {
        Answer answer;
        bool moves;
    };
    for (const Case& c : {Case{Answer::Ok, true}, Case{Answer::Cancel, false}}) {
        ScriptedPrompts prompts;
        prompts.boxAnswers = {c.answer};
        EXPECT_EQ(ConfirmMoveOfLinkedDevice(prompts, known, relay, 2), c.moves);
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_EQ(prompts.boxes[0].buttons, Buttons::OkCancel);
        const std::string& text = prompts.boxes[0].text;
        for (const char* part : {" 2 rows ", "address 9", "ORV-Relay (00 00 00 09)", "ORV-Input8 @ 1: rows 3, 7",
                                 "address 2"})
            EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    }

    ScriptedPrompts prompts;
    EXPECT_TRUE(ConfirmMoveOfLinkedDevice(prompts, known, Device("ORV-Relay", 4, 0x04), 2));
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
