// The RS232 panel on the desktop, driven by real X input: no key, click or
// wheel step changes or erases what the device holds without a question.
#include <wx/notebook.h>
#include <wx/scrolwin.h>

#include "tests/gui/rs232/rs232_panel_fixture.h"
#include "tests/gui/x_input.h"
#include "ui/rows_page.h"

namespace orv::test {
namespace {

using Strings = std::vector<std::string>;

constexpr uint8_t RELAY_ADDRESS = 7;
constexpr uint8_t LED4_ADDRESS = 8;

class RS232DesktopTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Relay", TYPE_RELAY, RELAY_ADDRESS, true);
        AddRecord("ORV-LED4PD", TYPE_LED4PD, LED4_ADDRESS, true);
    }

    wxScrolledWindow* Page() const
    {
        return wxDynamicCast(static_cast<wxNotebook*>(panel->FindWindow(ID_RS232_NOTEBOOK))->GetPage(0),
                             wxScrolledWindow);
    }
    const wxWindow* Focused() const { return RowsPage::FocusedControl(Page()); }
    std::vector<uint8_t> Memory(size_t size) const
    {
        return std::vector<uint8_t>(rs232.Memory().begin(), rs232.Memory().begin() + long(size));
    }
    size_t HeardWrites() const
    {
        size_t count = 0;
        for (const HeardFrame& frame : bus.Heard())
            count += frame.command == CONFIG_BLOCK_WRITE;
        return count;
    }
    // A click through the X server on the panel's control id, handled.
    void ClickAndSettle(int id)
    {
        ASSERT_TRUE(ClickOn(panel->FindWindow(id)));
        Settle(300);
    }
};

RS232Row RelayRow(const std::string& text, int relay)
{
    RS232Row row = Row(text, StringType::ASCII, RELAY_ADDRESS, ACTION_RELAY_ENERGIZE);
    row.spinValues = {relay};
    return row;
}

// Tab goes from the action to its parameters, then Test String, then the
// delete button; Space there asks before the row goes.
TEST_F(RS232DesktopTest, TabThenSpaceInARowDeletesNothingWithoutTheQuestion)
{
    RS232Config config;
    config.rows = {RelayRow("PWR ON", 3), RelayRow("PWR OFF", 4)};
    OpenOnScreen(config);
    ASSERT_EQ(RowCount(), 2u);

    Choice(ID_RS232_ROW_ACTION, 0)->SetFocus();
    Settle(100);
    const int tabStops[] = {Parameters(0).front()->GetId(), ID_RS232_ROW_TEST, ID_RS232_ROW_DELETE};
    for (int id : tabStops) {
        ASSERT_TRUE(PressKey("Tab"));
        EXPECT_TRUE(YieldUntil([&] { return Focused() && Focused()->GetId() == id; })) << id;
    }

    prompts.boxAnswers = {Answer::No};
    ASSERT_TRUE(PressKey("space"));
    Settle(300);
    ASSERT_EQ(prompts.Captions(), (Strings{" Delete Row "}));
    EXPECT_EQ(prompts.boxes[0].text, "Delete row 1 (\"PWR ON\") from the configuration of ORV-RS232 @ 5?");
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    EXPECT_EQ(RowCount(), 2u);

    // The same key with Yes does delete: the key did reach the button.
    prompts.boxAnswers = {Answer::Yes};
    panel->FindWindow(ID_RS232_ROW_DELETE)->SetFocus();
    Settle(100);
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(YieldUntil([&] { return RowCount() == 1u; }));
    EXPECT_EQ(RowText(0), "PWR OFF");
}

TEST_F(RS232DesktopTest, ADamagedReadThenSaveLeavesTheDevicesMemoryAsItWas)
{
    RS232Config config;
    config.rows = {RelayRow("PWR ON", 3)};
    std::vector<uint8_t> damaged = DeviceImage(config);
    damaged[50] ^= 0xFF;
    SelectWithMemory(damaged);
    ASSERT_EQ(prompts.Captions(), (Strings{"Warn Loading Data "}));
    bus.ClearHeard();

    ClickAndSettle(ID_RS232_SAVE);
    EXPECT_EQ(HeardWrites(), 0u);
    EXPECT_EQ(Memory(damaged.size()), damaged);

    // No to the empty configuration leaves Save disabled.
    prompts.boxAnswers = {Answer::No};
    ClickAndSettle(ID_RS232_START_EMPTY);
    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[1].text.rfind("Replace the configuration of ORV-RS232 @ 5 with an empty one?", 0), 0u);
    EXPECT_TRUE(prompts.boxes[1].defaultNo);
    ClickAndSettle(ID_RS232_SAVE);
    EXPECT_EQ(HeardWrites(), 0u);

    // Chosen explicitly, the empty configuration is what the same click saves.
    prompts.boxAnswers = {Answer::Yes};
    ClickAndSettle(ID_RS232_START_EMPTY);
    ClickAndSettle(ID_RS232_SAVE);
    EXPECT_GT(HeardWrites(), 0u);
    const std::vector<uint8_t> empty = DeviceImage(RS232Config{});
    EXPECT_EQ(Memory(empty.size()), empty);
}

TEST_F(RS232DesktopTest, ATypedValueAboveOneByteStaysAndSaveRefusesItNamingRowAndRange)
{
    RS232Row automode = Row("AUTO", StringType::ASCII, LED4_ADDRESS, ACTION_SET_LED_AUTOMODE);
    automode.spinValues = {2};
    automode.freeTexts = {"10", "20"};
    const RS232Config config{"", BaudRateTable[0], {automode}};
    OpenOnScreen(config);
    const std::vector<uint8_t> held = DeviceImage(config);
    // After the one bounded value of the action.
    wxTextCtrl* value = Text(ID_RS232_ROW_PARAMS, 1);
    ASSERT_NE(value, nullptr);

    ASSERT_TRUE(ClickOn(value));
    ASSERT_TRUE(PressKey("ctrl+a BackSpace 3 0 0"));
    EXPECT_TRUE(YieldUntil([&] { return value->GetValue() == "300"; })) << value->GetValue();
    Settle(100);
    EXPECT_EQ(value->GetValue(), "300");

    ClickAndSettle(ID_RS232_SAVE);
    ASSERT_EQ(prompts.Captions(), (Strings{" Config Not Saved "}));
    EXPECT_EQ(prompts.boxes[0].text, "Row 1: a parameter must be a number between 0 and 255");
    EXPECT_EQ(HeardWrites(), 0u);
    EXPECT_EQ(Memory(held.size()), held);
    EXPECT_EQ(value->GetValue(), "300");
}

// Wheel steps over any control of a row scroll the rows and change no value.
TEST_F(RS232DesktopTest, WheelOverARowsControlsScrollsAndChangesNothing)
{
    RS232Config config;
    for (int r = 0; r < 20; ++r)
        config.rows.push_back(RelayRow(StrF("S%d", r + 1), 2));
    config.rows[0].destination = DEST_BROADCAST;
    config.rows[0].action = ACTION_UNUSED;
    config.rows[0].command = "AT";
    OpenOnScreen(config);
    const RS232Config shown = panel->PanelConfig();
    wxWindow* const controls[] = {Choice(ID_RS232_ROW_TYPE, 0), Choice(ID_RS232_ROW_DESTINATION, 0),
                                  Choice(ID_RS232_ROW_ACTION, 1), Parameters(1).front(), Text(ID_RS232_ROW_STRING, 0),
                                  Text(ID_RS232_ROW_COMMAND, 0), Choice(ID_RS232_RATE, 0)};
    for (wxWindow* control : controls) {
        SCOPED_TRACE(control->GetId());
        Page()->Scroll(0, 0);
        Settle(100);
        ASSERT_TRUE(WheelOver(control, 3));
        if (control->GetId() != ID_RS232_RATE) {
            EXPECT_TRUE(YieldUntil([&] { return Page()->GetViewStart().y > 0; }));
        }
        Settle(100);
        EXPECT_TRUE(SameRS232Config(panel->PanelConfig(), shown));
    }
}

}  // namespace
}  // namespace orv::test
