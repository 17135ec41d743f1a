#include "ui/bus_work.h"

#include <utility>
#include <vector>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include "ui/late_input.h"
#include "ui/panel_font.h"
#include "ui/until_painted.h"

namespace orv {

namespace {

const wxColour BUSY_BACKGROUND(255, 255, 225);
// How long the busy window may take to appear: a window manager maps it in
// a few milliseconds, and the user would rather wait than see nothing.
constexpr long BUSY_WINDOW_WAIT_MILLIS = 1000;

// The one busy window of the running operation.
wxWeakRef<wxFrame> busyWindow;

// The windows whose tooltips bus work takes away, the tooltips taken, and how
// many BusWork objects are alive: they may nest, and the outermost acts.
std::vector<wxWeakRef<wxWindow>> windowsWithoutTipDuringWork;
std::vector<std::pair<wxWeakRef<wxWindow>, wxString>> tipsTakenAway;
int busWorkDepth = 0;

void TakeToolTipsAway()
{
    std::erase_if(windowsWithoutTipDuringWork, [](const wxWeakRef<wxWindow>& window) { return !window; });
    for (const wxWeakRef<wxWindow>& window : windowsWithoutTipDuringWork) {
        tipsTakenAway.emplace_back(window, window->GetToolTipText());
        window->UnsetToolTip();
    }
}

void GiveToolTipsBack()
{
    for (auto& [window, tip] : tipsTakenAway)
        if (window && !tip.empty())
            window->SetToolTip(tip);
    tipsTakenAway.clear();
}

void ShowBusyWindow(wxWindow* parent, const wxString& text)
{
    auto* frame = new wxFrame(wxGetTopLevelParent(parent), wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              wxFRAME_TOOL_WINDOW | wxFRAME_NO_TASKBAR | wxSTAY_ON_TOP | wxBORDER_SIMPLE,
                              BUSY_WINDOW_NAME);
    auto* panel = new wxPanel(frame);
    panel->SetBackgroundColour(BUSY_BACKGROUND);
    auto* label = new wxStaticText(panel, wxID_ANY, text);
    label->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    // The label's own measure is taken before GTK applies the bold font and
    // cuts the text: it gets what the text needs in that font.
    wxClientDC dc(label);
    dc.SetFont(label->GetFont());
    wxSize needed = dc.GetMultiLineTextExtent(text);
    needed.IncTo(label->GetBestSize());
    label->SetMinSize(needed);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(label, 0, wxALL, 30);
    panel->SetSizer(sizer);
    frame->SetClientSize(sizer->CalcMin());
    frame->CentreOnParent();

    frame->Show();
    WaitUntilPainted(panel, BUSY_WINDOW_WAIT_MILLIS);
    // The window manager may have placed it elsewhere as it mapped it (a
    // corner of the screen): centred again where it is now known to be, the
    // move sent before the work blocks the event loop.
    frame->CentreOnParent();
    wxTheApp->Yield(true);
    busyWindow = frame;
}

}  // namespace

BusWork::BusWork(wxWindow* parent, const wxString& busyText)
{
    if (busWorkDepth++ == 0)
        TakeToolTipsAway();
    if (!busyText.empty())
        ShowBusyWindow(parent, busyText);
}

BusWork::~BusWork()
{
    HideBusyWindow();
    // Clicks and keys that came during the work reach the disabled windows
    // now and are dropped there; those still on their way are dropped by
    // their time stamp when they come.
    if (uint32_t end = 0; DisplayTimeNow(end))
        DropInputStampedBefore(end);
    wxTheApp->Yield(true);
    if (--busWorkDepth == 0)
        GiveToolTipsBack();
}

void HideToolTipDuringBusWork(wxWindow* window)
{
    windowsWithoutTipDuringWork.emplace_back(window);
}

void HideBusyWindow()
{
    if (wxFrame* frame = busyWindow.get()) {
        busyWindow = nullptr;
        frame->Hide();
        frame->Destroy();
    }
}

Answer BusyAwarePrompts::MessageBox(const MessageBoxOptions& options)
{
    HideBusyWindow();
    return inner_.MessageBox(options);
}

std::unique_ptr<ProgressDialog> BusyAwarePrompts::StartProgress(const ProgressOptions& options)
{
    HideBusyWindow();
    return inner_.StartProgress(options);
}

std::optional<std::string> BusyAwarePrompts::FileDialog(const FileDialogOptions& options)
{
    HideBusyWindow();
    return inner_.FileDialog(options);
}

std::optional<int> BusyAwarePrompts::SingleChoice(const ChoiceOptions& options)
{
    HideBusyWindow();
    return inner_.SingleChoice(options);
}

void BusyAwarePrompts::SetStatusText(const std::string& text, int field)
{
    inner_.SetStatusText(text, field);
}

void BusyAwarePrompts::PumpEvents()
{
    inner_.PumpEvents();
}

}  // namespace orv
