// The RS232 panel knows when it shows edits the device does not hold, names
// the device they are for, and saves them on request with every check of
// Save to Device; save outcomes replace earlier status texts.
#include <functional>

#include "panel_rules/unsaved_edits.h"
#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

using Strings = std::vector<std::string>;

class RS232UnsavedEditsTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Relay", TYPE_RELAY, 7, true);
        held.name = "Hall";
        held.rows = {Row("PWR ON"), Row("PWR OFF")};
        rs232.LoadMemory(DeviceImage(held));
        ASSERT_TRUE(panel->ReadFromDevice());
    }

    RS232Config held;
};

TEST_F(RS232UnsavedEditsTest, EditsAreWhatDiffersFromTheDevice)
{
    struct Case {
        const char* name;
        std::function<void()> edit;
        bool unsaved;
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"the name", [&] { Text(ID_RS232_NAME, 0)->SetValue("Hall 2"); }, true},
        {"the name typed back", [&] { Text(ID_RS232_NAME, 0)->SetValue("Hall"); }, false},
        {"95 new rows", [&] { NewRows(95); }, true},
        {"a string", [&] { TypeText(1, "PWR"); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(panel->ReadFromDevice());
        c.edit();
        EXPECT_EQ(panel->HasUnsavedEdits(), c.unsaved);
    }
    EXPECT_EQ(panel->EditedDeviceLabel(), "ORV-RS232 @ 5");
    ASSERT_NE(panel->DeviceConfig(), nullptr);
    EXPECT_TRUE(SameRS232Config(*panel->DeviceConfig(), held));
}

TEST_F(RS232UnsavedEditsTest, SaveAtTheQuestionWritesTheEditsWithEveryCheck)
{
    struct Case {
        const char* name;
        std::function<void()> fault;
        bool saved;  // the caller may go on
    };
    const Case cases[] = {
        {"device answers", [] {}, true},
        {"read-back unanswered", [&] { rs232.Faults().noAckCommand = CONFIG_BLOCK_READ; }, false},
        {"invalid Hex", [&] { Choose(ID_RS232_ROW_TYPE, 0, "Hex"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rs232.Faults() = {};
        rs232.LoadMemory(DeviceImage(held));
        ASSERT_TRUE(panel->ReadFromDevice());
        TypeText(1, "LAMP");
        c.fault();
        prompts.boxes.clear();
        prompts.boxAnswers = {Answer::Save};

        EXPECT_EQ(MayDropEdits(*panel, prompts), c.saved);

        EXPECT_EQ(prompts.boxes[0].text, "ORV-RS232 @ 5 has changes that are not saved");
        EXPECT_EQ(panel->HasUnsavedEdits(), !c.saved);
        EXPECT_EQ(RowText(1), "LAMP");
    }
}

TEST_F(RS232UnsavedEditsTest, ASaveClearsTheTestResultAndTheHints)
{
    Click(ID_RS232_ROW_TEST + 0);
    Choose(ID_RS232_ROW_DESTINATION, 1, "ORV-Relay @ 7");
    Choose(ID_RS232_ROW_ACTION, 1, "Relay Energize");
    ASSERT_EQ(StatusLabel(), "2: Relay Action: [Relay #]");
    ASSERT_EQ(prompts.statusTexts.back().second, "Test String 1: Sent, ACK Received");

    Click(ID_RS232_SAVE);

    EXPECT_EQ(prompts.statusTexts.back().second, "ORV-RS232 @ 5: configuration saved");
    EXPECT_EQ(StatusLabel(), "Firmware Ver: 1.14");
}

}  // namespace
}  // namespace orv::test
