#include <gtest/gtest.h>

#include <vector>

#include <wx/app.h>
#include <wx/choicdlg.h>
#include <wx/filedlg.h>
#include <wx/frame.h>
#include <wx/modalhook.h>
#include <wx/statusbr.h>
#include <wx/weakref.h>

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

TEST(WithAllFiles, AddsTheAllFilesFilterLastOnce)
{
    const wxString all(wxALL_FILES);
    const wxString anyFile = wxString("Any file|") + wxALL_FILES_PATTERN;
    const struct {
        wxString given, shown;
    } cases[] = {
        {"Binary files (*.bin)|*.bin", "Binary files (*.bin)|*.bin|" + all},
        {"", all},
        {"Binary files (*.bin)|*.bin|" + anyFile, "Binary files (*.bin)|*.bin|" + anyFile},
        // A pattern that merely contains the all-files pattern is not one.
        {"Backups (*.bin*)|*.bin*", "Backups (*.bin*)|*.bin*|" + all},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithAllFiles(c.given), c.shown) << c.given;
}

// Answers a file dialog with Cancel instead of showing it, keeping its filters.
class FileDialogFilters : public wxModalDialogHook {
public:
    FileDialogFilters() { Register(); }

    wxString wildcard;
    int filter = -1;

protected:
    int Enter(wxDialog* dialog) override
    {
        auto* files = wxDynamicCast(dialog, wxFileDialog);
        if (!files)
            return wxID_NONE;
        wildcard = files->GetWildcard();
        filter = files->GetFilterIndex();
        return wxID_CANCEL;
    }
};

TEST_F(WxPromptsTest, FileDialogOffersAllFilesAfterTheCallersFilterWhichIsChosen)
{
    WxPrompts prompts(frame);
    FileDialogFilters shown;
    FileDialogOptions options;
    options.message = "Import";
    options.wildcard = "Binary files (*.bin)|*.bin";
    EXPECT_EQ(prompts.FileDialog(options), std::nullopt);
    EXPECT_EQ(shown.wildcard, "Binary files (*.bin)|*.bin|" + wxString(wxALL_FILES));
    EXPECT_EQ(shown.filter, 0);
}

// Answers every dialog with OK instead of showing it, noting whether the cover was still on screen.
class CoverAtDialog : public wxModalDialogHook {
public:
    explicit CoverAtDialog(wxWeakRef<wxFrame>& cover) : cover_(cover) { Register(); }

    std::vector<bool> coverShown;

protected:
    int Enter(wxDialog*) override
    {
        coverShown.push_back(cover_ && cover_->IsShown());
        return wxID_OK;
    }

private:
    wxWeakRef<wxFrame>& cover_;
};

TEST_F(WxPromptsTest, TheSplashGoesBeforeTheFirstDialogAndStaysGone)
{
    WxPrompts prompts(frame);
    wxWeakRef<wxFrame> splash(new wxFrame(nullptr, wxID_ANY, "splash"));
    splash->Show();
    prompts.CloseBeforeDialogs(splash.get());
    CoverAtDialog dialogs(splash);

    prompts.Message("ORV-NET  not found Error", "not found", Buttons::Ok, Icon::Error);
    prompts.Message("second", "second", Buttons::Ok, Icon::None);
    // Windows are deleted when the application is next idle.
    wxTheApp->ProcessIdle();

    EXPECT_EQ(dialogs.coverShown, (std::vector<bool>{false, false}));
    EXPECT_FALSE(splash) << "the splash is destroyed, not only hidden";
}

}  // namespace
}  // namespace orv
