#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/choicdlg.h>
#include <wx/frame.h>
#include <wx/statusbr.h>

#include "ui/wx_prompts.h"

namespace orv {
namespace {

class WxPromptsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "prompts");
        frame->CreateStatusBar(2);
        frame->Show();
    }
    void TearDown() override
    {
        frame->Destroy();
        wxTheApp->ProcessPendingEvents();
    }

    // Ends the single-choice dialog that is about to run modally.
    void AnswerChoiceDialog(int selection, int button)
    {
        wxTheApp->CallAfter([selection, button] {
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* dialog = wxDynamicCast(window, wxSingleChoiceDialog); dialog && dialog->IsModal()) {
                    dialog->SetSelection(selection);
                    dialog->EndModal(button);
                }
        });
    }

    wxFrame* frame = nullptr;
};

TEST_F(WxPromptsTest, StatusTextGoesIntoAFieldOfTheFramesStatusBar)
{
    wxWindow* panel = new wxWindow(frame, wxID_ANY);
    WxPrompts prompts(panel);
    prompts.SetStatusText("Searching address 7", 1);
    prompts.SetStatusText("ignored", 2);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), "Searching address 7");
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "");
}

TEST_F(WxPromptsTest, SingleChoiceGivesTheIndexOnlyWhenConfirmed)
{
    WxPrompts prompts(frame);
    ChoiceOptions options{"Set Device Address", "Please select an Address Value", {"1", "2", "3"}};

    AnswerChoiceDialog(2, wxID_OK);
    EXPECT_EQ(prompts.SingleChoice(options), std::optional<int>(2));

    AnswerChoiceDialog(1, wxID_CANCEL);
    EXPECT_EQ(prompts.SingleChoice(options), std::nullopt);
}

TEST_F(WxPromptsTest, ProgressTakesValuesUpToAndBeyondItsMaximum)
{
    WxPrompts prompts(frame);
    auto progress = prompts.StartProgress(ProgressOptions{"Discovery", "Searching", 10, true, true, true, true});
    EXPECT_TRUE(progress->Update(3, std::string("Address 3")));
    EXPECT_TRUE(progress->Update(12));
    progress.reset();
    EXPECT_TRUE(frame->IsEnabled());
}

}  // namespace
}  // namespace orv
