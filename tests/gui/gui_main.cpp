// The GUI tests run inside a bare wx application: the tests build the windows
// themselves, with the simulated bus and scripted prompts, and no splash.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

namespace {

// A failed wx assertion would open a modal box and stall the run; make it a test failure.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
}

class GuiTestApp : public wxApp {
public:
    // The program's image handlers, which the panels' pictures need.
    bool OnInit() override
    {
        wxImage::AddHandler(new wxXPMHandler);
        wxImage::AddHandler(new wxPNGHandler);
        wxImage::AddHandler(new wxJPEGHandler);
        wxImage::AddHandler(new wxGIFHandler);
        return true;
    }
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
    wxSetAssertHandler(FailOnAssert);
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
