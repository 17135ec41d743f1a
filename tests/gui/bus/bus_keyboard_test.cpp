// The whole-bus windows and the Set Address dialog worked by real keys alone:
// Tab and Shift+Tab go through every control in screen order, Space turns a
// device's tick, Enter writes nothing and Escape closes.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>

#include "link/commands.h"
#include "model/input8_image.h"
#include "tests/gui/bus/bus_window_fixture.h"
#include "tests/gui/on_screen.h"
#include "tests/gui/x_input.h"
#include "tests/support/hall_config.h"
#include "ui/bus_comparison_window.h"
#include "ui/bus_report_window.h"
#include "ui/set_address.h"
#include "ui/wx_prompts.h"

namespace orv::test {
namespace {

// The window of that name still open and shown: one that Escape closed is gone or hidden.
wxTopLevelWindow* ShownWindow(const char* name)
{
    wxTopLevelWindow* window = OpenWindow(name);
    return window && window->IsShown() ? window : nullptr;
}

// A window's buttons Tab can reach, from left to right as the screen shows them.
std::vector<wxWindow*> ButtonsLeftToRight(wxWindow* window)
{
    std::vector<wxWindow*> buttons;
    for (wxWindow* child : window->GetChildren())
        if (wxDynamicCast(child, wxButton) && child->IsShown() && child->IsEnabled())
            buttons.push_back(child);
    std::sort(buttons.begin(), buttons.end(),
              [](wxWindow* a, wxWindow* b) { return a->GetScreenPosition().x < b->GetScreenPosition().x; });
    return buttons;
}

class BusKeyboardTest : public BusWindowFixture {
protected:
    void SetUp() override
    {
        BusWindowFixture::SetUp();
        ASSERT_TRUE(ShowOnScreen(frame));
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
    }
    // The window the command opens, on screen with its focus given.
    wxTopLevelWindow* Open(int command, const char* name)
    {
        SendMenuCommand(*frame, command);
        wxTopLevelWindow* window = ShownWindow(name);
        if (window && YieldUntil([&] { return window->IsShownOnScreen() && window->IsActive(); }))
            Settle(300);
        return window;
    }

    // From the first stop, Tab reaches each of the others in turn and
    // Shift+Tab comes back the same way.
    void WalkTheChain(wxWindow* window, const std::vector<wxWindow*>& stops)
    {
        stops.front()->SetFocus();
        ASSERT_TRUE(YieldUntil([&] { return bool(FocusIsOn(window, stops.front())); }))
            << FocusIsOn(window, stops.front()).message();
        for (size_t i = 1; i < stops.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(PressKey("Tab"));
            EXPECT_TRUE(YieldUntil([&] { return bool(FocusIsOn(window, stops[i])); })) << FocusIsOn(window, stops[i]).message();
        }
        for (size_t i = stops.size() - 1; i-- > 0;) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(PressKey("shift+Tab"));
            EXPECT_TRUE(YieldUntil([&] { return bool(FocusIsOn(window, stops[i])); })) << FocusIsOn(window, stops[i]).message();
        }
    }

};

TEST_F(BusKeyboardTest, KeysAloneWorkTheBackUpAndRestoreWindows)
{
    wxTopLevelWindow* report = Open(ID_BACKUP_BUS, BUS_REPORT_WINDOW_NAME);
    ASSERT_NE(report, nullptr);
    WalkTheChain(report, {static_cast<BusReportWindow*>(report)->Lines(), report->FindWindow(wxID_CLOSE)});
    ASSERT_TRUE(PressKey("Escape"));
    EXPECT_TRUE(YieldUntil([] { return !ShownWindow(BUS_REPORT_WINDOW_NAME); }));

    const std::vector<uint8_t> changed = EncodeInput8Image(Hall(12), ImageForm::Device);
    input8.LoadMemory(changed);
    auto* window = static_cast<BusComparisonWindow*>(Open(ID_RESTORE_BUS, BUS_COMPARISON_WINDOW_NAME));
    ASSERT_NE(window, nullptr);
    std::vector<wxWindow*> stops{window->DeviceTable(), window->Differences()};
    const std::vector<wxWindow*> buttons = ButtonsLeftToRight(window);
    stops.insert(stops.end(), buttons.begin(), buttons.end());
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0]->GetLabel(), "Write Ticked Devices ...");
    WalkTheChain(window, stops);

    // Space on the focused row turns its tick; Enter there writes nothing.
    window->DeviceTable()->SetFocus();
    ASSERT_TRUE(YieldUntil([&] { return bool(FocusIsOn(window, window->DeviceTable())); }));
    ASSERT_TRUE(window->IsTicked(0));
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(YieldUntil([&] { return !window->IsTicked(0); }));
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(YieldUntil([&] { return window->IsTicked(0); }));
    bus.ClearHeard();
    ASSERT_TRUE(PressKey("Return"));
    Settle(300);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());

    // Write Ticked Devices by keys asks first; No writes nothing.
    if (ShownWindow(BUS_COMPARISON_WINDOW_NAME) != window)
        window = static_cast<BusComparisonWindow*>(Open(ID_RESTORE_BUS, BUS_COMPARISON_WINDOW_NAME));
    ASSERT_NE(window, nullptr);
    ButtonsLeftToRight(window).front()->SetFocus();
    Settle(100);
    prompts.boxAnswers = {Answer::No};
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(YieldUntil([&] { return prompts.boxes.size() == 1; }));
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(std::equal(changed.begin(), changed.end(), input8.Memory().begin()));

    ASSERT_TRUE(PressKey("Escape"));
    EXPECT_TRUE(YieldUntil([] { return !ShownWindow(BUS_COMPARISON_WINDOW_NAME); }));
}

// The address list, the tick box under it, then the buttons as they stand.
TEST_F(BusKeyboardTest, KeysAloneWorkTheSetAddressDialog)
{
    wxArrayString addresses;
    for (const char* address : {"2", "4", "5"})
        addresses.Add(address);
    TickChoiceDialog setAddress(frame, "Please select an Address Value", "Set Device Address", addresses,
                                UPDATE_LINKS_LABEL, true);
    ASSERT_TRUE(ShowOnScreen(&setAddress));
    wxWindow* list = nullptr;
    for (wxWindow* child : setAddress.GetChildren())
        if (wxDynamicCast(child, wxListBox))
            list = child;
    ASSERT_NE(list, nullptr);
    std::vector<wxWindow*> stops{list, static_cast<wxWindow*>(setAddress.TickBox())};
    const std::vector<wxWindow*> buttons = ButtonsLeftToRight(&setAddress);
    stops.insert(stops.end(), buttons.begin(), buttons.end());
    WalkTheChain(&setAddress, stops);

    setAddress.TickBox()->SetFocus();
    Settle(100);
    ASSERT_TRUE(PressKey("space"));
    EXPECT_TRUE(YieldUntil([&] { return !setAddress.Ticked(); }));
}

}  // namespace
}  // namespace orv::test
