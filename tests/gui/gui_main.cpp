// The GUI tests run inside a bare wx application: the tests build the windows
// themselves, with the simulated bus and scripted prompts, and no splash.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {

class GuiTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(GuiTestApp);

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new GuiTestApp);
    if (!wxEntryStart(argc, argv))
        return 1;
    if (!wxTheApp->CallOnInit()) {
        wxEntryCleanup();
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
