// The RS232 panel's rules without a display: what reads, imports and saves
// leave shown, when edits are unsaved, which rows can test their string,
// and the question before a row goes.
#include <functional>

#include <gtest/gtest.h>

#include "panel_rules/rs232_panel_rules.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

constexpr uint8_t RELAY_ADDRESS = 7;

RS232Config Held()
{
    RS232Config config;
    config.name = "Hall";
    config.baudRate = 9600;
    config.rows = {RelayRow("PWR ON", RELAY_ADDRESS, 3), AsciiRow("LAMP"), HexRow("02 FE A1 ")};
    config.rows[1].command = "AT+RST";
    return config;
}

RS232Config Other()
{
    RS232Config config;
    config.name = "File";
    config.rows = {AsciiRow("FROM FILE")};
    return config;
}

using Event = std::function<void(RS232PanelRules&)>;
const Event READ = [](RS232PanelRules& rules) { rules.DeviceRead(Held(), Held()); };
const Event NOT_LOADED = [](RS232PanelRules& rules) { rules.NotLoaded(); };
const Event IMPORT = [](RS232PanelRules& rules) { rules.Imported(); };
const Event START_EMPTY = [](RS232PanelRules& rules) { rules.StartedEmpty(RS232Config{}); };
Event SaveEnds(RS232SaveResult result, std::optional<RS232Config> readBack)
{
    return [=](RS232PanelRules& rules) { rules.Saved(result, readBack, readBack.value_or(Held())); };
}

TEST(RS232PanelRules, EventsLeaveWhatIsShownAndWhatMayBeDone)
{
    struct Case {
        const char* name;
        std::vector<Event> events;
        RS232Config panel;  // what the controls show afterwards
        RS232Shown shown;
        bool editing;
        std::optional<RS232Config> device;  // what the device is known to hold
        bool unsaved;
    };
    const Case cases[] = {
        {"never read", {}, {}, RS232Shown::NotLoaded, false, std::nullopt, false},
        {"intact read", {READ}, Held(), RS232Shown::Device, true, Held(), false},
        {"damaged read after an intact one", {READ, NOT_LOADED}, {}, RS232Shown::NotLoaded, false, std::nullopt, false},
        // An import is an edit until it is saved.
        {"import after not loaded", {NOT_LOADED, IMPORT}, Other(), RS232Shown::Imported, true, std::nullopt, true},
        {"import keeps what the device holds", {READ, IMPORT}, Other(), RS232Shown::Imported, true, Held(), true},
        {"import of what the device holds", {READ, IMPORT}, Held(), RS232Shown::Imported, true, Held(), false},
        {"import saved and read back", {READ, IMPORT, SaveEnds(RS232SaveResult::Saved, Other())}, Other(),
         RS232Shown::Device, true, Other(), false},
        {"import after a save without read-back",
         {READ, SaveEnds(RS232SaveResult::Failed, std::nullopt), IMPORT}, Held(), RS232Shown::Imported, true,
         std::nullopt, true},
        {"empty by choice", {NOT_LOADED, START_EMPTY}, {}, RS232Shown::EmptyByChoice, true, std::nullopt, false},
        {"empty by choice, then a name", {NOT_LOADED, START_EMPTY}, RS232Config{"New", BaudRateTable[0], {}},
         RS232Shown::EmptyByChoice, true, std::nullopt, true},
        {"saved and read back", {START_EMPTY, SaveEnds(RS232SaveResult::Saved, Other())}, Other(),
         RS232Shown::Device, true, Other(), false},
        {"not verified: the read-back is shown", {READ, SaveEnds(RS232SaveResult::NotVerified, Other())}, Other(),
         RS232Shown::Device, true, Other(), false},
        {"no intact read-back", {READ, SaveEnds(RS232SaveResult::Failed, std::nullopt)}, Held(),
         RS232Shown::Unconfirmed, true, std::nullopt, true},
        {"interface lost during the save", {READ, SaveEnds(RS232SaveResult::InterfaceLost, std::nullopt)}, Held(),
         RS232Shown::Unconfirmed, true, std::nullopt, true},
        {"nothing sent", {READ, SaveEnds(RS232SaveResult::NotSent, std::nullopt)}, Held(), RS232Shown::Device, true,
         Held(), false},
        {"unconfirmed, then saved", {READ, SaveEnds(RS232SaveResult::Failed, std::nullopt),
                                     SaveEnds(RS232SaveResult::Saved, Held())},
         Held(), RS232Shown::Device, true, Held(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RS232PanelRules rules;
        for (const Event& event : c.events)
            event(rules);
        EXPECT_EQ(rules.Shown(), c.shown);
        EXPECT_EQ(rules.EditingEnabled(), c.editing);
        ASSERT_EQ(rules.DeviceConfig() != nullptr, c.device.has_value());
        if (c.device) {
            EXPECT_TRUE(SameRS232Config(*rules.DeviceConfig(), *c.device));
        }
        EXPECT_EQ(rules.HasUnsavedEdits(c.panel), c.unsaved);
    }
}

TEST(RS232PanelRules, EditsAreDifferencesOfTheConfigurationNotKeystrokes)
{
    struct Case {
        const char* name;
        std::function<void(RS232Config&)> edit;
        bool unsaved;
    };
    const Case cases[] = {
        {"nothing", [](RS232Config&) {}, false},
        {"name", [](RS232Config& c) { c.name = "Hall 2"; }, true},
        {"name typed and typed back", [](RS232Config& c) { c.name = "Hall"; }, false},
        {"rate", [](RS232Config& c) { c.baudRate = 115200; }, true},
        {"95 new rows", [](RS232Config& c) { c.rows.resize(c.rows.size() + 95); }, true},
        {"one empty new row", [](RS232Config& c) { c.rows.emplace_back(); }, true},
        {"string", [](RS232Config& c) { c.rows[1].text = "LAMP OFF"; }, true},
        {"string type", [](RS232Config& c) { c.rows[1].type = StringType::Hex; }, true},
        {"destination", [](RS232Config& c) { c.rows[1].destination = DEST_BROADCAST; }, true},
        {"relay number", [](RS232Config& c) { c.rows[0].spinValues = {4}; }, true},
        {"command of an action without parameters", [](RS232Config& c) { c.rows[1].command = "AT"; }, true},
        // A relay row has no command field: what it held is not shown.
        {"command behind a relay action", [](RS232Config& c) { c.rows[0].command = "AT"; }, false},
        {"a deleted row", [](RS232Config& c) { c.rows.erase(c.rows.begin()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RS232PanelRules rules;
        rules.DeviceRead(Held(), Held());
        RS232Config panel = Held();
        c.edit(panel);
        EXPECT_EQ(rules.HasUnsavedEdits(panel), c.unsaved);
    }
}

TEST(RS232PanelRules, OnlyTheFirstTenRowsShowingTheDevicesStringAreTestable)
{
    RS232Config held;
    for (int r = 0; r < 12; ++r)
        held.rows.push_back(AsciiRow(StrF("S%d", r + 1)));
    held.rows[3].text.clear();  // a foreign image's empty string

    struct Case {
        const char* name;
        std::vector<Event> events;
        size_t row;
        RS232Row shown;
        bool testable;
    };
    const Event read = [&](RS232PanelRules& rules) { rules.DeviceRead(held, held); };
    const Case cases[] = {
        {"row 1 as read", {read}, 0, AsciiRow("S1"), true},
        {"row 10 as read", {read}, 9, AsciiRow("S10"), true},
        {"row 11: one digit reaches no further", {read}, 10, AsciiRow("S11"), false},
        {"an edited string", {read}, 0, AsciiRow("S1 edited"), false},
        {"the same text as Hex", {read}, 0, HexRow("S1"), false},
        {"an empty string", {read}, 3, AsciiRow(""), false},
        {"a row moved up by a deletion", {read}, 0, AsciiRow("S2"), false},
        {"a new row past the device's rows", {read}, 12, AsciiRow("S13"), false},
        {"an imported row that the device holds there", {read, IMPORT}, 1, AsciiRow("S2"), true},
        {"not loaded", {read, NOT_LOADED}, 0, AsciiRow("S1"), false},
        {"after a save without read-back", {read, SaveEnds(RS232SaveResult::Failed, std::nullopt)}, 0,
         AsciiRow("S1"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RS232PanelRules rules;
        for (const Event& event : c.events)
            event(rules);
        EXPECT_EQ(rules.Testable(c.row, c.shown), c.testable);
    }
}

TEST(RS232PanelRules, DeletingARowWithAStringOrALinkAsksFirstNamingTheDevice)
{
    struct Case {
        const char* name;
        RS232Row row;
        bool asks;
    };
    RS232Row command;
    command.command = "AT";
    const Case cases[] = {
        {"a new row", RS232Row{}, false},
        {"a string", AsciiRow("PWR ON"), true},
        {"a destination", AsciiRow("", DEST_BROADCAST), true},
        {"a link", RelayRow("", RELAY_ADDRESS, 1), true},
        {"a command", command, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RowDeletionNeedsQuestion(c.row), c.asks);
    }

    const MessageBoxOptions deletion = RowDeletionQuestion(2, AsciiRow("PWR ON"), "ORV-RS232 @ 5");
    EXPECT_EQ(deletion.text, "Delete row 3 (\"PWR ON\") from the configuration of ORV-RS232 @ 5?");
    EXPECT_EQ(deletion.buttons, Buttons::YesNo);
    EXPECT_TRUE(deletion.defaultNo);

}

}  // namespace
}  // namespace orv::test
