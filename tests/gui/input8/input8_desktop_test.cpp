// The Input8 panel on the desktop, in the frame at its default size: every row
// can be reached and used, by mouse and by keyboard.
#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/scrolwin.h>

#include "tests/gui/geometry_check.h"
#include "tests/gui/input8/input8_fixture.h"
#include "tests/gui/on_screen.h"
#include "tests/gui/x_input.h"
#include "ui/rows_page.h"

namespace orv::test {
namespace {

class Input8DesktopTest : public Input8PanelTest {
protected:
    void SetUp() override
    {
        Input8PanelTest::SetUp();
        frame->mainDialog->HideAllPanels();
        panel->Show();
        frame->mainDialog->RelayoutPanels();
        ASSERT_TRUE(ShowOnScreen(frame));
    }

    wxScrolledWindow* RowsArea() const
    {
        return wxDynamicCast(wxWindow::FindWindowByName("InputConfig", panel), wxScrolledWindow);
    }

    // The control in the rows that has the focus, if any.
    const wxWindow* Focused() const { return RowsPage::FocusedControl(RowsArea()); }

    // Whether the whole of row r can be seen in the rows area.
    bool RowInView(size_t r) const
    {
        const wxWindow* box = Choice(ID_INPUT8_ACTION_BASE + int(r))->GetParent();
        const wxRect area(RowsArea()->ClientToScreen(wxPoint(0, 0)), RowsArea()->GetClientSize());
        return area.Contains(box->GetScreenRect());
    }
};

// One row for every action of the catalogue, one without: the widest rows there are.
TEST_F(Input8DesktopTest, RowsOfEveryActionFitThePageAtTheDefaultSize)
{
    Input8Config config;
    const struct {
        uint8_t destination;
        uint16_t action;
    } rows[] = {
        {RS232_ADDRESS, ACTION_SEND_STRING},       {LED4PD_ADDRESS, ACTION_SET_ALL_LED_LEVELS},
        {LED4PD_ADDRESS, ACTION_SET_1_LED_LEVEL},  {LED4PD_ADDRESS, ACTION_SET_LED_AUTOMODE},
        {RELAY_ADDRESS, ACTION_RELAY_ENERGIZE},    {RELAY_ADDRESS, ACTION_RELAY_DEENERGIZE},
    };
    for (size_t r = 0; r < std::size(rows); ++r)
        config.rows[r] = {uint8_t(r), ChangeType::Open, rows[r].destination, rows[r].action, {}};
    panel->ApplyInput8Image(config);
    Settle();

    EXPECT_TRUE(ControlsFit(frame));
    EXPECT_EQ(ParameterTexts(1).size(), 4u);
    // On the 1366 x 768 desktop an unused row keeps its free text on the line
    // of its choices: a row of two lines would halve the rows in view.
    if (wxDisplay(frame).GetClientArea().width < 1366)
        return;
    const wxRect action = Choice(ID_INPUT8_ACTION_BASE + 10)->GetScreenRect();
    const wxRect freeText = panel->FindWindow(ID_INPUT8_FREE_TEXT_BASE + 10)->GetScreenRect();
    EXPECT_GT(freeText.x, action.GetRight());
    EXPECT_NEAR(freeText.GetY() + freeText.height / 2, action.GetY() + action.height / 2, 2);
}

TEST_F(Input8DesktopTest, FocusMovingIntoAHiddenRowScrollsItIntoView)
{
    panel->ApplyInput8Image(SampleConfig());
    Settle();
    ASSERT_FALSE(RowInView(20));

    Choice(ID_INPUT8_INPUT_BASE + 20)->SetFocus();

    EXPECT_TRUE(YieldUntil([&] { return RowInView(20); }));
}

TEST_F(Input8DesktopTest, AConfigurationShownAnewStartsAtRowOne)
{
    panel->ApplyInput8Image(SampleConfig());
    RowsArea()->Scroll(0, 60);
    Settle();
    ASSERT_GT(RowsArea()->GetViewStart().y, 0);

    panel->ApplyInput8Image(SampleConfig());

    EXPECT_EQ(RowsArea()->GetViewStart().y, 0);
    EXPECT_TRUE(RowInView(0));
}

// Two clicks must not wipe a device: after No at the link question, or a
// damaged read, a click on Save writes nothing.
TEST_F(Input8DesktopTest, ClickOnSaveAfterAConfigurationNotLoadedLeavesTheDeviceAsItWas)
{
    Input8Config linked = SampleConfig();
    linked.rows[6] = {0, ChangeType::Open, 40, ACTION_RELAY_ENERGIZE, {'1'}};  // nothing at 40
    const struct {
        const char* name;
        std::vector<uint8_t> image;
    } cases[] = {
        {"No at the link question", EncodeInput8Image(linked, ImageForm::Device)},
        {"damaged", EncodeInput8Image(SampleConfig(), ImageForm::File)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        input8.LoadMemory(c.image);
        const std::vector<uint8_t> held = input8.Memory();
        prompts.boxAnswers = {Answer::No};
        panel->ReadFromDevice();
        Settle();
        bus.ClearHeard();

        ASSERT_TRUE(ClickOn(panel->FindWindow(ID_INPUT8_SAVE)));
        Settle();

        EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
        EXPECT_EQ(input8.Memory(), held);
        EXPECT_FALSE(ShowsRows());
    }
}

// Typed with the keyboard, 300 stays 300, is shown as wrong and is not saved.
TEST_F(Input8DesktopTest, AValueTypedOutsideItsRangeStaysAsTypedAndIsRefused)
{
    input8.LoadMemory(EncodeInput8Image(SampleConfig(), ImageForm::Device));
    ASSERT_TRUE(panel->ReadFromDevice());
    Settle();
    wxTextCtrl* field = ParameterTexts(3)[2];
    const wxColour normal = field->GetBackgroundColour();
    ASSERT_TRUE(ClickOn(field));
    ASSERT_TRUE(PressKey("ctrl+a BackSpace 3 0 0"));
    ASSERT_TRUE(YieldUntil([&] { return field->GetValue() == "300"; }));
    const std::string refusal = "Row 4: a parameter must be a number between 0 and 255";
    EXPECT_EQ(Status(), refusal);
    EXPECT_NE(field->GetBackgroundColour(), normal);
    bus.ClearHeard();

    ASSERT_TRUE(ClickOn(panel->FindWindow(ID_INPUT8_SAVE)));
    ASSERT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));

    EXPECT_EQ(prompts.boxes[0].text, refusal);
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_EQ(field->GetValue(), "300");
}

// Wheel steps over any control of a row scroll the rows and change no value.
TEST_F(Input8DesktopTest, WheelOverARowsControlsScrollsAndChangesNothing)
{
    panel->ApplyInput8Image(SampleConfig());
    Settle();
    const Input8Config shown = panel->BuildInput8Config();
    wxWindow* const controls[] = {Choice(ID_INPUT8_INPUT_BASE), Choice(ID_INPUT8_CHANGE_BASE),
                                  Choice(ID_INPUT8_DESTINATION_BASE), Choice(ID_INPUT8_ACTION_BASE),
                                  ParameterTexts(0).front(), ParameterTexts(3).back(),
                                  Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 4)};
    for (wxWindow* control : controls) {
        SCOPED_TRACE(control->GetId());
        RowsArea()->Scroll(0, 0);
        Settle(100);
        ASSERT_TRUE(WheelOver(control, 3));
        EXPECT_TRUE(YieldUntil([&] { return RowsArea()->GetViewStart().y > 0; }));
        Settle(100);
        EXPECT_EQ(panel->BuildInput8Config(), shown);
    }
    // Back up over a control further down, to the first row.
    wxWindow* lower = Choice(ID_INPUT8_DESTINATION_BASE + 3);
    RowsArea()->Scroll(0, 0);
    Settle(100);
    const int below = RowsArea()->GetViewStart().y;
    ASSERT_TRUE(WheelOver(lower, 2));
    ASSERT_TRUE(YieldUntil([&] { return RowsArea()->GetViewStart().y > below; }));
    ASSERT_TRUE(WheelOver(lower, -10));
    EXPECT_TRUE(YieldUntil([&] { return RowsArea()->GetViewStart().y == 0; }));
    Settle(100);
    EXPECT_EQ(panel->BuildInput8Config(), shown);
}

// The longest status texts, a refusal and a hint, are shown whole also in
// the frame as narrow as a 1024 x 768 desktop leaves it.
TEST_F(Input8DesktopTest, StatusLineIsWholeInANarrowFrame)
{
    frame->SetSize(wxSize(1024, frame->GetSize().y));
    panel->ApplyInput8Image(SampleConfig());
    Settle();
    auto* status = wxStaticCast(wxWindow::FindWindowByName("statusLine", panel), wxStaticText);
    const wxRect box = panel->GetChildren().front()->GetScreenRect();
    const auto whole = [&] {
        int width = 0;
        for (const wxString& line : wxSplit(status->GetLabelText(), '\n', '\0'))
            width = std::max(width, status->GetTextExtent(line).x);
        const wxRect rect = status->GetScreenRect();
        const wxRect name = panel->FindWindow(ID_INPUT8_NAME)->GetScreenRect();
        return ::testing::AssertionResult(rect.width >= width && box.Contains(rect) && !rect.Intersects(name))
               << '"' << status->GetLabelText() << "\" " << rect.width << " of " << width << " px, right edge "
               << rect.GetRight() << " of " << box.GetRight();
    };
    Choose(ID_INPUT8_ACTION_BASE + 11, 0);
    Choose(ID_INPUT8_DESTINATION_BASE + 11, LED4PD_ENTRY);
    Choose(ID_INPUT8_ACTION_BASE + 11, 1);
    Settle();
    EXPECT_EQ(Status(), "Row 12:Levels: [LED1] [LED2] [LED3] [LED4]");
    EXPECT_TRUE(whole());
    ParameterTexts(11)[0]->SetValue("300");
    Settle();
    EXPECT_EQ(Status(), "Row 12: a parameter must be a number between 0 and 255");
    EXPECT_TRUE(whole());
}

// Tab moves through a row's controls as they stand on screen, and every
// control it reaches in the rows is in view.
TEST_F(Input8DesktopTest, TabFollowsTheRowsAndKeepsTheFocusInView)
{
    panel->ApplyInput8Image(SampleConfig());
    Settle();
    // From the name above the rows to the first row's first choice.
    panel->FindWindow(ID_INPUT8_NAME)->SetFocus();
    Settle(100);
    ASSERT_TRUE(PressKey("Tab"));
    EXPECT_TRUE(YieldUntil([&] { return Focused() && Focused()->GetId() == ID_INPUT8_INPUT_BASE; }));

    Choice(ID_INPUT8_INPUT_BASE + 4)->SetFocus();
    Settle(100);
    const int rowFour[] = {ID_INPUT8_CHANGE_BASE + 4, ID_INPUT8_DESTINATION_BASE + 4, ID_INPUT8_ACTION_BASE + 4,
                           ID_INPUT8_FREE_TEXT_BASE + 4, ID_INPUT8_INPUT_BASE + 5};
    for (int id : rowFour) {
        ASSERT_TRUE(PressKey("Tab"));
        EXPECT_TRUE(YieldUntil([&] { return Focused() && Focused()->GetId() == id; })) << id;
    }

    // From the last button the focus comes round to the rows again, whichever
    // way it goes: each row control it meets is shown.
    RowsArea()->Scroll(0, 10000);
    Settle(100);
    panel->FindWindow(ID_INPUT8_IMPORT)->SetFocus();
    Settle(100);
    bool reachedRows = false;
    for (int tab = 0; tab < 12; ++tab) {
        ASSERT_TRUE(PressKey("Tab"));
        Settle(100);
        const wxWindow* focus = Focused();
        if (!focus)
            continue;
        reachedRows = true;
        const wxRect area(RowsArea()->ClientToScreen(wxPoint(0, 0)), RowsArea()->GetClientSize());
        EXPECT_TRUE(area.Contains(focus->GetScreenRect())) << focus->GetId();
    }
    EXPECT_TRUE(reachedRows);
}

// The frame as the program shows it at start, the panel hidden behind the instructions.
class Input8KeyboardTest : public Input8DesktopTest {
protected:
    void SetUp() override
    {
        Input8PanelTest::SetUp();
        ASSERT_TRUE(ShowOnScreen(frame));
        ASSERT_FALSE(panel->IsShown());
    }
};

// The main dialog reads the device and shows the panel: the keyboard alone
// then reaches every control in screen order, each one in sight, opens a
// focused choice, types into the field Tab went to, and Enter in a field
// saves nothing.
TEST_F(Input8KeyboardTest, KeysAloneWorkThePanelShownAfterARead)
{
    // Selected in the device list: the main dialog reads it under bus work, its window disabled meanwhile.
    input8.LoadMemory(EncodeInput8Image(SampleConfig(), ImageForm::Device));
    frame->mainDialog->RefreshDeviceList();
    wxListEvent select(wxEVT_LIST_ITEM_SELECTED, ID_DEVICE_LIST);
    select.SetEventObject(frame->mainDialog->DeviceList());
    select.SetIndex(0);
    frame->mainDialog->DeviceList()->ProcessWindowEvent(select);
    ASSERT_TRUE(panel->IsShown());
    Settle();
    const auto inRows = [&](int id) {
        const wxRect area(RowsArea()->ClientToScreen(wxPoint(0, 0)), RowsArea()->GetClientSize());
        return FocusShownIn(Focused(), id, area);
    };

    ASSERT_TRUE(ClickOn(panel->FindWindow(ID_INPUT8_NAME)));
    Settle(100);
    const int forward[] = {ID_INPUT8_INPUT_BASE, ID_INPUT8_CHANGE_BASE, ID_INPUT8_DESTINATION_BASE,
                           ID_INPUT8_ACTION_BASE, ParameterTexts(0)[0]->GetId(), ParameterTexts(0)[1]->GetId(),
                           ID_INPUT8_INPUT_BASE + 1};
    for (int id : forward) {
        ASSERT_TRUE(PressKey("Tab"));
        EXPECT_TRUE(YieldUntil([&] { return bool(inRows(id)); })) << inRows(id);
    }
    const int backward[] = {ParameterTexts(0)[1]->GetId(), ParameterTexts(0)[0]->GetId(), ID_INPUT8_ACTION_BASE};
    for (int id : backward) {
        ASSERT_TRUE(PressKey("shift+Tab"));
        EXPECT_TRUE(YieldUntil([&] { return bool(inRows(id)); })) << inRows(id);
    }

    // The buttons under the rows, enabled once the configuration was read, are reached too.
    panel->FindWindow(ID_INPUT8_IMPORT)->SetFocus();
    for (int id : {ID_INPUT8_EXPORT, ID_INPUT8_SAVE}) {
        ASSERT_TRUE(PressKey("shift+Tab"));
        EXPECT_TRUE(YieldUntil([&] { return bool(FocusIsOn(panel, panel->FindWindow(id))); }))
            << FocusIsOn(panel, panel->FindWindow(id)).message();
    }

    // Space, or Alt+Down, opens the focused choice; Escape closes it unchanged.
    ASSERT_TRUE(ClickOn(panel->FindWindow(ID_INPUT8_NAME)));
    Settle(100);
    ASSERT_TRUE(PressKey("Tab Tab Tab Tab"));
    wxChoice* action = Choice(ID_INPUT8_ACTION_BASE);
    ASSERT_TRUE(YieldUntil([&] { return bool(inRows(ID_INPUT8_ACTION_BASE)); }));
    const int chosen = action->GetSelection();
    for (const char* keys : {"space", "alt+Down"}) {
        SCOPED_TRACE(keys);
        ASSERT_TRUE(PressKey(keys));
        EXPECT_TRUE(YieldUntil([&] { return ChoiceIsOpen(action); }));
        ASSERT_TRUE(PressKey("Escape"));
        EXPECT_TRUE(YieldUntil([&] { return !ChoiceIsOpen(action); }));
        EXPECT_EQ(action->GetSelection(), chosen);
    }

    // From the first parameter Tab goes to the second, and the digits land there.
    ASSERT_TRUE(ClickOn(ParameterTexts(0)[0]));
    Settle(100);
    ASSERT_TRUE(PressKey("Tab 3"));
    EXPECT_TRUE(YieldUntil([&] { return ParameterTexts(0)[1]->GetValue() == "3"; }));
    EXPECT_EQ(ParameterTexts(0)[0]->GetValue(), "2");

    bus.ClearHeard();
    for (wxWindow* field : {static_cast<wxWindow*>(ParameterTexts(0)[1]), panel->FindWindow(ID_INPUT8_NAME)}) {
        ASSERT_TRUE(ClickOn(field));
        ASSERT_TRUE(PressKey("Return"));
        Settle(300);
    }
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
