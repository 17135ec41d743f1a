// The RS232 panel worked by real keys alone, as the main dialog shows it
// after a read: Tab and Shift+Tab reach every control in screen order, into
// the notebook's rows and out of them again.
#include <wx/notebook.h>

#include "tests/gui/rs232/rs232_panel_fixture.h"
#include "tests/gui/x_input.h"

namespace orv::test {
namespace {

constexpr uint8_t RELAY_ADDRESS = 7;

class RS232KeyboardTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Relay", TYPE_RELAY, RELAY_ADDRESS, true);
        // As the program starts: the frame on screen, the panel not shown yet.
        ASSERT_TRUE(ShowOnScreen(frame));
    }

    // The controls Tab stops at, in screen order: the top line, the
    // notebook's tab, each row left to right, the buttons under the notebook.
    // A disabled Test String is passed by.
    std::vector<wxWindow*> ScreenOrder()
    {
        std::vector<wxWindow*> stops{panel->FindWindow(ID_RS232_NAME), panel->FindWindow(ID_RS232_RATE),
                                     panel->FindWindow(ID_RS232_NEW_ROW), panel->FindWindow(ID_RS232_NOTEBOOK)};
        for (size_t r = 0; r < RowCount(); ++r) {
            for (int base : {ID_RS232_ROW_TYPE, ID_RS232_ROW_STRING, ID_RS232_ROW_DESTINATION, ID_RS232_ROW_ACTION})
                stops.push_back(Control<wxWindow>(base, r));
            const std::vector<wxTextCtrl*> parameters = Parameters(r);
            if (parameters.empty())
                stops.push_back(Text(ID_RS232_ROW_COMMAND, r));
            stops.insert(stops.end(), parameters.begin(), parameters.end());
            if (wxWindow* test = Control<wxWindow>(ID_RS232_ROW_TEST, r); test->IsEnabled())
                stops.push_back(test);
            stops.push_back(Control<wxWindow>(ID_RS232_ROW_DELETE, r));
        }
        for (int id : {ID_RS232_SAVE, ID_RS232_EXPORT, ID_RS232_IMPORT})
            stops.push_back(panel->FindWindow(id));
        return stops;
    }

    // One key, then the focus is on expected within a moment.
    void PressAndExpectFocus(const char* key, const wxWindow* expected)
    {
        ASSERT_TRUE(PressKey(key));
        EXPECT_TRUE(YieldUntil([&] { return bool(FocusIsOn(frame, expected)); })) << FocusIsOn(frame, expected).message();
    }
};

TEST_F(RS232KeyboardTest, KeysAloneWorkThePanelShownAfterARead)
{
    RS232Row relay = Row("PWR ON", StringType::ASCII, RELAY_ADDRESS, ACTION_RELAY_ENERGIZE);
    relay.spinValues = {3};
    RS232Row command = Row("AT", StringType::ASCII, DEST_BROADCAST);
    command.command = "GO";
    const RS232Config config{"Bench", BaudRateTable[0], {relay, command}};
    OpenOnScreen(config);
    ASSERT_EQ(RowCount(), 2u);
    const std::vector<wxWindow*> stops = ScreenOrder();

    ASSERT_TRUE(ClickOn(stops.front()));
    ASSERT_TRUE(YieldUntil([&] { return bool(FocusIsOn(frame, stops.front())); }));
    for (size_t i = 1; i < stops.size(); ++i) {
        SCOPED_TRACE(i);
        PressAndExpectFocus("Tab", stops[i]);
    }
    for (size_t i = stops.size() - 1; i-- > 0;) {
        SCOPED_TRACE(i);
        PressAndExpectFocus("shift+Tab", stops[i]);
    }

    // Space, or Alt+Down, opens the focused choice; Escape closes it unchanged.
    const struct {
        wxWindow* from;
        const char* tabs;
        wxChoice* choice;
    } choices[] = {{panel->FindWindow(ID_RS232_NAME), "Tab", Choice(ID_RS232_RATE, 0)},
                   {Text(ID_RS232_ROW_STRING, 1), "Tab Tab", Choice(ID_RS232_ROW_ACTION, 1)}};
    for (const auto& entry : choices) {
        wxChoice* choice = entry.choice;
        ASSERT_TRUE(ClickOn(entry.from));
        Settle(100);
        PressAndExpectFocus(entry.tabs, choice);
        const int chosen = choice->GetSelection();
        for (const char* keys : {"space", "alt+Down"}) {
            SCOPED_TRACE(keys);
            ASSERT_TRUE(PressKey(keys));
            EXPECT_TRUE(YieldUntil([&] { return ChoiceIsOpen(choice); }));
            ASSERT_TRUE(PressKey("Escape"));
            EXPECT_TRUE(YieldUntil([&] { return !ChoiceIsOpen(choice); }));
            EXPECT_EQ(choice->GetSelection(), chosen);
        }
    }

    // Digits typed after Tab land in the field Tab went to, and only there.
    ASSERT_TRUE(ClickOn(Text(ID_RS232_ROW_STRING, 0)));
    Settle(100);
    ASSERT_TRUE(PressKey("Tab Tab Tab 5"));
    EXPECT_TRUE(YieldUntil([&] { return panel->PanelConfig().rows[0].spinValues == std::vector<int>{5}; }))
        << Parameters(0).front()->GetValue();
    EXPECT_EQ(RowText(0), "PWR ON");
    EXPECT_EQ(panel->PanelConfig().rows[0].action, ACTION_RELAY_ENERGIZE);

    // Enter in a field saves nothing.
    bus.ClearHeard();
    for (wxWindow* field : {panel->FindWindow(ID_RS232_NAME), static_cast<wxWindow*>(Parameters(0).front()),
                            static_cast<wxWindow*>(Text(ID_RS232_ROW_COMMAND, 1))}) {
        ASSERT_TRUE(ClickOn(field));
        ASSERT_TRUE(PressKey("Return"));
        Settle(300);
    }
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
