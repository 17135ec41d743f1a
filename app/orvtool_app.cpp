#include "app/orvtool_app.h"

#include <wx/config.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/splash.h>

#include "app/main_frame.h"
#include "network/bus_line.h"
#include "resources/embedded.h"
#include "ui/settings.h"
#include "ui/until_painted.h"

namespace orv {

namespace {

wxImage LoadEmbedded(const EmbeddedFile& file, wxBitmapType type)
{
    wxMemoryInputStream stream(file.data, file.size);
    return wxImage(stream, type);
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

    // Before the backend, which opens the interface chosen in an earlier run.
    OpenedSettings settings = OpenProgramSettings();
    wxConfigBase::Set(settings.config.release());

    backend_ = MakeBusBackend(clock_);
    MainFrame* frame = NewMainFrame(services_, backend_->Interface());
    prompts_.SetParent(frame);
    SetTopWindow(frame);
    // Into the frame's log window, which exists from here on.
    if (!settings.problem.empty())
        log_.Message(settings.problem);

    auto* splash = new wxSplashScreen(splashBitmap, wxSPLASH_CENTRE_ON_SCREEN | wxSPLASH_TIMEOUT, 3000, frame,
                                      wxID_ANY, wxDefaultPosition, wxDefaultSize, wxSIMPLE_BORDER);
    // The interface search blocks the event loop for a few seconds.
    WaitUntilPainted(splash->GetSplashWindow(), 1000);
    // A box about the interface (none found) must not open under it.
    prompts_.CloseBeforeDialogs(splash);

    // The interface chosen in an earlier run may be gone (a server switched
    // off): this run then looks for the first FTDI interface, and the
    // connection dialog stays within reach. The choice is kept.
    auto* line = dynamic_cast<BusLine*>(&backend_->Interface());
    if (line && ChosenBusPort().empty() && !line->Port().empty() && !line->Opens(services_)) {
        log_.Message(" Interface: " + line->Port() + ", chosen last, cannot be opened; looking for the first FTDI "
                     "interface instead ");
        line->UseFirstFtdiInterface();
    }
    frame->connectWhenNotFound = line && ChosenBusPort().empty();
    frame->OpenInterfaceAndDialog();
    frame->ShowOnDesktop();
    // Once shown: the window manager places a new window itself.
    RestorePlace(FRAME_PLACE, *frame);
    // The log window stays closed when it was closed as the program last ended.
    const std::optional<WindowPlace> logPlace = SavedPlace(LOG_WINDOW_PLACE);
    if (logPlace && !logPlace->shown)
        frame->CallAfter([frame] { frame->logWindow->Show(false); });

    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(LoadEmbedded(FrameIconPng(), wxBITMAP_TYPE_PNG)));
    frame->SetIcon(icon);
    return true;
}

}  // namespace orv
