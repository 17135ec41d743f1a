#include "app/orvtool_app.h"

#include <memory>

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/splash.h>
#include <wx/stopwatch.h>

#include "app/main_frame.h"
#include "resources/embedded.h"

namespace orv {

namespace {

wxImage LoadEmbedded(const EmbeddedFile& file, wxBitmapType type)
{
    wxMemoryInputStream stream(file.data, file.size);
    return wxImage(stream, type);
}

// GTK draws a window only when its events are handled; let the splash appear
// before the interface search blocks the event loop for a few seconds.
void LetSplashAppear(wxSplashScreen* splash)
{
    auto painted = std::make_shared<bool>(false);
    splash->GetSplashWindow()->Bind(wxEVT_PAINT, [painted](wxPaintEvent& event) {
        *painted = true;
        event.Skip();
    });
    wxStopWatch waited;
    while (!*painted && waited.Time() < 1000) {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
}

}  // namespace

bool OrvToolApp::OnInit()
{
    // The log window is the technician's record of the bus: keep the
    // toolkit's own debugging chatter out of it.
    wxLog::SetLogLevel(wxLOG_Message);

    wxImage::AddHandler(new wxXPMHandler);
    wxImage::AddHandler(new wxPNGHandler);
    wxImage::AddHandler(new wxJPEGHandler);
    wxImage::AddHandler(new wxGIFHandler);

    wxBitmap splashBitmap(LoadEmbedded(SplashJpeg(), wxBITMAP_TYPE_JPEG));

    backend_ = MakeBusBackend(clock_);
    MainFrame* frame = NewMainFrame(services_, backend_->Interface());
    prompts_.SetParent(frame);
    SetTopWindow(frame);

    auto* splash = new wxSplashScreen(splashBitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, 3000, frame,
                                      wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSIMPLE_BORDER);
    LetSplashAppear(splash);

    frame->OpenInterfaceAndDialog();
    frame->Show(true);

    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(LoadEmbedded(FrameIconPng(), wxBITMAP_TYPE_PNG)));
    frame->SetIcon(icon);
    return true;
}

}  // namespace orv
