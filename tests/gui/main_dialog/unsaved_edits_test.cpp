// The shown panel's unsaved edits are never dropped without a question: every
// command of the frame that would drop them asks first, and Cancel leaves the
// selection and the panel as they were.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/modalhook.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "link/commands.h"
#include "panel_rules/unsaved_edits.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/gui/on_screen.h"
#include "ui/wx_prompts.h"

namespace orv::test {
namespace {

class FakeEdits : public UnsavedEdits {
public:
    bool HasUnsavedEdits() const override { return edited; }
    std::string EditedDeviceLabel() const override { return "ORV-Input8 @ 3"; }
    bool SaveUnsavedEdits() override
    {
        ++saves;
        edited = false;
        return true;
    }

    bool edited = false;
    int saves = 0;
};

const std::string QUESTION = "ORV-Input8 @ 3 has changes that are not saved";

// An Input8 at 3 and a relay at 9, the Input8's panel shown with edits.
class EditedInput8Test : public MainDialogTest {
protected:
    void ShowEditedInput8()
    {
        AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
        AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
        dialog->TrackEdits(dialog->InputPanel(), &edits);
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        SelectRow(0);
        ASSERT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
        edits.edited = true;
        bus.ClearHeard();
    }

    FakeEdits edits;
};

class UnsavedEditsTest : public EditedInput8Test {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(ShowEditedInput8());
        prompts.boxes.clear();
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const MessageBoxOptions& box : prompts.boxes)
            texts.push_back(box.text);
        return texts;
    }

    bool RowSelected(long row) const { return list->GetItemState(row, wxLIST_STATE_SELECTED) != 0; }
};

TEST_F(UnsavedEditsTest, EveryCommandThatWouldDropTheEditsAsksAndCancelChangesNothing)
{
    ASSERT_TRUE(ShowOnScreen(frame));
    struct Command {
        const char* name;
        std::function<void()> give;
    };
    const std::vector<Command> commands = {
        {"select another device", [&] { SelectRow(1); }},
        {"quick discovery", [&] { SendMenuCommand(*frame, ID_QUICK_DISCOVERY); }},
        {"discover all", [&] { SendMenuCommand(*frame, ID_DISCOVER_ALL); }},
        {"set address", [&] { SendMenuCommand(*frame, ID_SET_ADDRESS); }},
        {"firmware update", [&] { SendMenuCommand(*frame, ID_UPDATE_FIRMWARE_SELECTED); }},
        {"emergency firmware update", [&] { SendMenuCommand(*frame, ID_EMERGENCY_FIRMWARE_UPDATE); }},
        {"close the window", [&] { frame->Close(false); }},
        {"File > Exit", [&] { SendMenuCommand(*frame, wxID_EXIT); }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.name);
        prompts.boxes.clear();
        prompts.boxAnswers = {Answer::Cancel};
        command.give();
        wxTheApp->ProcessPendingEvents();

        EXPECT_EQ(Texts(), std::vector<std::string>{QUESTION});
        EXPECT_EQ(prompts.boxes.front().buttons, Buttons::SaveDiscardCancel);
        EXPECT_TRUE(bus.Heard().empty());
        EXPECT_TRUE(prompts.choiceDialogs.empty());
        EXPECT_TRUE(prompts.fileDialogs.empty());
        ASSERT_TRUE(frame);
        EXPECT_FALSE(frame->IsBeingDeleted());
        EXPECT_FALSE(wxPendingDelete.Member(frame.get()));
        EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
        EXPECT_EQ(Column(1), (std::vector<std::string>{"3", "9"}));
        EXPECT_TRUE(RowSelected(0));
        EXPECT_FALSE(RowSelected(1));
        EXPECT_EQ(dialog->Registry().selectedIndex(), 0);
        EXPECT_TRUE(edits.edited);
    }
    EXPECT_EQ(edits.saves, 0);
}

TEST_F(UnsavedEditsTest, SaveOrDiscardLetsTheSelectionGoOn)
{
    for (Answer answer : {Answer::Save, Answer::Discard}) {
        SelectRow(0);
        ASSERT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
        edits.edited = true;
        edits.saves = 0;
        prompts.boxes.clear();
        prompts.boxAnswers = {answer};

        SelectRow(1);

        EXPECT_EQ(Texts(), std::vector<std::string>{QUESTION});
        EXPECT_EQ(edits.saves, answer == Answer::Save ? 1 : 0);
        EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
        EXPECT_EQ(dialog->Registry().selectedIndex(), 1);
    }
}

TEST_F(UnsavedEditsTest, WithoutEditsNothingIsAsked)
{
    edits.edited = false;
    SelectRow(1);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
}

// A real click on the other row: the question, and after Cancel the list
// shows the Input8's row selected again, as its panel is still shown.
TEST_F(UnsavedEditsTest, ACancelledClickOnAnotherRowPutsTheSelectionBack)
{
    ASSERT_TRUE(ShowOnScreen(frame));
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(1, rect));
    prompts.boxAnswers = {Answer::Cancel};
    wxUIActionSimulator sim;
    sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxPoint(20, rect.height / 2)));
    wxTheApp->Yield(true);
    sim.MouseClick();

    ASSERT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));
    Settle();
    EXPECT_EQ(Texts(), std::vector<std::string>{QUESTION});
    EXPECT_TRUE(RowSelected(0));
    EXPECT_FALSE(RowSelected(1));
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    EXPECT_TRUE(bus.Heard().empty());

    // A click on the same row with the edits gone opens the relay: the click
    // did reach the row. Away from the first spot, so as not to make a double click.
    edits.edited = false;
    sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxPoint(60, rect.height / 2)));
    wxTheApp->Yield(true);
    sim.MouseClick();
    EXPECT_TRUE(YieldUntil([&] { return dialog->InfoPanel()->IsShown(); }));
    EXPECT_TRUE(RowSelected(1));
}

// Presses Escape, as a user does, in every modal dialog that opens, and
// counts the dialogs closed.
class EscapeEveryDialog : public wxModalDialogHook {
public:
    EscapeEveryDialog()
    {
        Register();
        timer_.Bind(wxEVT_TIMER, [](wxTimerEvent&) { wxUIActionSimulator().Char(WXK_ESCAPE); });
    }
    ~EscapeEveryDialog() override { Unregister(); }

    int closed = 0;

protected:
    int Enter(wxDialog*) override
    {
        // Once the dialog is mapped and has the keyboard.
        timer_.StartOnce(300);
        return wxID_NONE;
    }
    void Exit(wxDialog*) override
    {
        timer_.Stop();
        ++closed;
    }

private:
    wxTimer timer_;
};

// The program's own dialogs and a real click and key: Escape at the question
// is Cancel, and the list shows the Input8 selected again.
class UnsavedEditsOnScreenTest : public EditedInput8Test {
protected:
    void SetUp() override
    {
        wxPromptsServices = std::make_unique<Services>(Services{clock, log, wxPrompts});
        OpenDialog(*wxPromptsServices);
        wxPrompts.SetParent(frame);
        ASSERT_NO_FATAL_FAILURE(ShowEditedInput8());
    }

    WxPrompts wxPrompts;
    std::unique_ptr<Services> wxPromptsServices;
};

TEST_F(UnsavedEditsOnScreenTest, EscapeAtTheQuestionKeepsThePanelAndTheSelection)
{
    ASSERT_TRUE(ShowOnScreen(frame));
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(1, rect));
    EscapeEveryDialog escape;
    wxUIActionSimulator sim;
    sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxPoint(20, rect.height / 2)));
    wxTheApp->Yield(true);
    sim.MouseClick();

    ASSERT_TRUE(YieldUntil([&] { return escape.closed > 0; }));
    Settle();
    EXPECT_EQ(escape.closed, 1);
    EXPECT_NE(list->GetItemState(0, wxLIST_STATE_SELECTED), 0);
    EXPECT_EQ(list->GetItemState(1, wxLIST_STATE_SELECTED), 0);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    EXPECT_EQ(dialog->Registry().selectedIndex(), 0);
    EXPECT_TRUE(edits.edited);
    EXPECT_TRUE(bus.Heard().empty());
}

}  // namespace
}  // namespace orv::test
