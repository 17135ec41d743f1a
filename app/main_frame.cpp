#include "app/main_frame.h"

#include <algorithm>
#include <vector>

#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/display.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/statusbr.h>

#include "link/bus_link.h"
#include "ui/bus_backup_commands.h"
#include "ui/centre_next_dialog.h"
#include "ui/connection_dialog.h"
#include "ui/fast_discovery.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/main_dialog.h"
#include "ui/rs232_type_dialog.h"
#include "ui/settings.h"
#include "ui/until_painted.h"

namespace orv {

namespace {

constexpr int LOG_WINDOW_WIDTH = 420;
// Narrower than this, the log's lines are not worth the room: it goes behind the frame.
constexpr int LOG_WINDOW_MIN_WIDTH = 200;
constexpr long PAINT_WAIT_MILLIS = 1000;
// Status bar field 0 while no command has anything to say.
constexpr const char* IDLE_STATUS_TEXT = "ORVANTA TOOL";

// Until a window manager has told GTK the size of a frame's decorations, GTK
// lays the frame's content out in too small a window and complains. Shown
// first empty, the frame learns them, and so does every later frame of its kind.
void ShowEmptyFirst(wxFrame* frame)
{
    wxMenuBar* bar = frame->GetMenuBar();
    frame->SetMenuBar(nullptr);
    std::vector<wxWindow*> hidden;
    for (wxWindow* child : frame->GetChildren())
        if (child != bar && !child->IsTopLevel() && child->IsShown()) {
            child->Hide();
            hidden.push_back(child);
        }
    frame->Show();
    WaitUntilPainted(frame, PAINT_WAIT_MILLIS);
    for (wxWindow* child : hidden)
        child->Show();
    frame->SetMenuBar(bar);
    frame->Layout();
}

// The connection dialog from the frame's menu: on OK the line is the new one,
// kept for the next start, and the device list (of the old line) is emptied;
// true then.
bool ChooseConnection(wxFrame& frame, BusLine* line, MainDialog& mainDialog)
{
    // A new line empties the device list and with it the shown panel.
    if (!mainDialog.MayDropShownEdits())
        return false;
    ConnectionDialog dialog(&frame, line, mainDialog.GetServices(),
                            line ? ListSerialPortChoices() : std::vector<InterfaceEntry>{});
    if (dialog.ShowModal() != wxID_OK)
        return false;
    // The devices listed were those of the line before.
    mainDialog.Registry().ClearDevices();
    mainDialog.ResetDeviceList();
    mainDialog.ShowInstructions();
    ShowInterfaceInUse(frame, line);
    return true;
}

}  // namespace

wxBEGIN_EVENT_TABLE(MainFrame, wxFrame)
    EVT_CLOSE(MainFrame::OnClose)
    EVT_MENU(ID_CONNECTION, MainFrame::OnConnection)
    EVT_MENU(wxID_EXIT, MainFrame::OnExit)
    EVT_MENU(ID_DISCOVER_ALL, MainFrame::OnDiscoverAll)
    EVT_MENU(ID_DISCOVER_ALL_FAST, MainFrame::OnDiscoverAllFast)
    EVT_MENU(ID_QUICK_DISCOVERY, MainFrame::OnQuickDiscovery)
    EVT_MENU(ID_BROADCAST_DISCOVERY, MainFrame::OnQuickDiscovery)
    EVT_MENU(ID_UPDATE_FIRMWARE_SELECTED, MainFrame::OnUpdateFirmwareSelected)
    EVT_MENU(ID_EMERGENCY_FIRMWARE_UPDATE, MainFrame::OnEmergencyFirmwareUpdate)
    EVT_MENU(ID_SET_ADDRESS, MainFrame::OnSetAddress)
    EVT_MENU(ID_DEVICE_BOOT_MODE, MainFrame::OnDeviceBootMode)
    EVT_MENU(ID_DEVICE_CONFIG_MODE, MainFrame::OnDeviceConfigMode)
    EVT_MENU(ID_LOG_WINDOW, MainFrame::OnLogWindow)
    EVT_MENU(ID_BACKUP_BUS, MainFrame::OnBackUpBus)
    EVT_MENU(ID_COMPARE_WITH_BACKUP, MainFrame::OnCompareWithBackup)
    EVT_MENU(ID_RESTORE_BUS, MainFrame::OnRestoreBus)
wxEND_EVENT_TABLE()

MainFrame::MainFrame(Services& services, UsbInterface& bus, wxWindow* parent, wxWindowID id, const wxString& title,
                     const wxPoint& pos, const wxSize& size, long style)
    : wxFrame(parent, id, title, pos, size, style, "frame"),
      services_(services),
      bus_(bus),
      linkPrompts_(services.prompts),
      linkServices_{services.clock, services.log, linkPrompts_}
{
    fileMenu = new wxMenu;
    fileMenu->Append(ID_CONNECTION, _("Connection ..."), wxEmptyString, wxITEM_NORMAL);
    fileMenu->AppendSeparator();
    fileMenu->Append(ID_BACKUP_BUS, _("Back Up Bus ..."), wxEmptyString, wxITEM_NORMAL);
    fileMenu->Append(ID_COMPARE_WITH_BACKUP, _("Compare with Backup ..."), wxEmptyString, wxITEM_NORMAL);
    fileMenu->Append(ID_RESTORE_BUS, _("Restore Bus ..."), wxEmptyString, wxITEM_NORMAL);
    fileMenu->AppendSeparator();
    fileMenu->Append(wxID_EXIT, _("Exit"), wxEmptyString, wxITEM_NORMAL);

    devicesMenu = new wxMenu;
    devicesMenu->Append(ID_DISCOVER_ALL, _("Discover All Devices ... (Slow)"), wxEmptyString, wxITEM_NORMAL);
    devicesMenu->Append(ID_DISCOVER_ALL_FAST, _("Discover All Devices (Fast)"), wxEmptyString, wxITEM_NORMAL);
    devicesMenu->Append(ID_QUICK_DISCOVERY, _("Quick Discovery ... (Fast)"), wxEmptyString, wxITEM_NORMAL);
    devicesMenu->Append(ID_UPDATE_FIRMWARE_SELECTED, _("Update Firmware on Selected ..."), wxEmptyString,
                        wxITEM_NORMAL);
    devicesMenu->Enable(ID_UPDATE_FIRMWARE_SELECTED, false);

    advancedMenu = new wxMenu;
    advancedMenu->Append(ID_SET_ADDRESS, _("Set Address ..."), wxEmptyString, wxITEM_NORMAL);
    advancedMenu->Append(ID_DEVICE_BOOT_MODE, _("Device Boot Mode"), wxEmptyString, wxITEM_NORMAL);
    advancedMenu->Append(ID_DEVICE_CONFIG_MODE, _("Device Config Mode"), wxEmptyString, wxITEM_NORMAL);
    advancedMenu->Enable(ID_SET_ADDRESS, false);
    advancedMenu->Enable(ID_DEVICE_BOOT_MODE, false);
    advancedMenu->Enable(ID_DEVICE_CONFIG_MODE, false);
    advancedMenu->AppendSeparator();
    advancedMenu->Append(ID_BROADCAST_DISCOVERY, _("Broadcast Discovery ..."), wxEmptyString, wxITEM_NORMAL);
    advancedMenu->Append(ID_EMERGENCY_FIRMWARE_UPDATE, _("Emergency Firmware Update ..."), wxEmptyString,
                         wxITEM_NORMAL);

    // The log window can be closed or covered; this brings it back.
    viewMenu = new wxMenu;
    viewMenu->Append(ID_LOG_WINDOW, _("Log Window"), wxEmptyString, wxITEM_NORMAL);

    menuBar = new wxMenuBar;
    menuBar->Append(fileMenu, _("File"));
    menuBar->Append(devicesMenu, _("Orvanta Devices"));
    menuBar->Append(advancedMenu, _("Advanced"));
    menuBar->Append(viewMenu, _("View"));
    SetMenuBar(menuBar);

    statusBar = new wxStatusBar(this, ID_STATUS_BAR, wxST_SIZEGRIP | wxNO_BORDER, "statusBar");
    statusBar->SetFieldsCount(2);
    SetStatusBar(statusBar);

    // The log window's frame is a child of this frame, so it goes when this
    // frame goes and cannot keep the program running on its own.
    logWindow = new wxLogWindow(this, _("ORVANTA Log Window"), false, false);

    // Each command starts with the idle text: what an earlier one reported
    // (an address moved, devices found) is no longer true of what follows.
    Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
        if (event.GetId() != ID_LOG_WINDOW)
            SetStatusText(IDLE_STATUS_TEXT, 0);
        event.Skip();
    });

    chooseFolder = [this](const wxString& message, bool mustExist) -> std::optional<std::string> {
        wxDirDialog dialog(this, message, wxEmptyString, wxDD_DEFAULT_STYLE | (mustExist ? wxDD_DIR_MUST_EXIST : 0));
        CentreNextDialog centred(this);
        if (dialog.ShowModal() != wxID_OK)
            return std::nullopt;
        return dialog.GetPath().utf8_string();
    };

    FitToWorkArea();
}

void MainFrame::FitToWorkArea()
{
    const wxRect workArea = wxDisplay(this).GetClientArea();
    wxSize minimum = mainDialog ? ClientToWindowSize(mainDialog->GetMinSize()) : wxDefaultSize;
    minimum.DecTo(workArea.GetSize());
    SetMinSize(minimum);
    wxSize size = DEFAULT_FRAME_SIZE;
    size.DecTo(workArea.GetSize());
    size.IncTo(minimum);
    SetSize(size);
    Centre(wxBOTH);
}

MainFrame* NewMainFrame(Services& services, UsbInterface& bus)
{
    return new MainFrame(services, bus, nullptr, ID_MAIN_FRAME, _("ORVANTA TOOL v1.32"), wxDefaultPosition,
                         DEFAULT_FRAME_SIZE, MAIN_FRAME_STYLE);
}

void MainFrame::OpenInterfaceAndDialog()
{
    BindBusLink(bus_, linkServices_);
    bool opened = OpenBusInterface();
    mainDialog = new MainDialog(this, services_, ID_MAIN_DIALOG, wxDefaultPosition, wxSize(1200, 690),
                                wxTAB_TRAVERSAL);
    PaintPanelsWhenShown();
    // After the not-found box, another line (a serial device server, another
    // port) may still be chosen; only Cancel there ends the program.
    if (!opened && connectWhenNotFound && Line())
        opened = ChooseConnection(*this, Line(), *mainDialog);
    if (!opened)
        Close(false);
    ShowInterfaceInUse(*this, Line());
    FitToWorkArea();
    // A closing frame goes as soon as events are handled: its log window is
    // shown without waiting for it to be painted.
    if (opened)
        ShowLogWindow();
    else
        logWindow->Show();
}

void MainFrame::PaintPanelsWhenShown()
{
    wxPanel* const panels[] = {mainDialog->IntroPanel(), mainDialog->InputPanel(), mainDialog->RS232Panel(),
                                     mainDialog->InfoPanel()};
    for (wxPanel* panel : panels)
        panel->Bind(wxEVT_SHOW, [panel](wxShowEvent& event) {
            event.Skip();
            // After the layout that follows the showing.
            if (event.IsShown())
                panel->CallAfter([panel] { panel->Refresh(); });
        });
}

void MainFrame::ShowOnDesktop()
{
    // A frame that was asked to close at start-up goes as soon as events are
    // handled: it is not waited on.
    if (wxPendingDelete.Member(this)) {
        Show();
        return;
    }
    ShowEmptyFirst(this);
    // The log window was shown before the frame, which now covers it where
    // the two overlap: it comes in front again.
    if (logWindow->GetFrame()->IsShown())
        ShowLogWindow();
}

void MainFrame::ShowLogWindow()
{
    wxFrame* logFrame = logWindow->GetFrame();
    if (logPlaced_) {
        // Where the user last had it; neither window moves. One shown behind
        // other windows is shown afresh: a window manager puts a window it
        // maps on top, where one asked only to raise a window may leave it.
        if (logFrame->IsShown() && !logFrame->IsActive())
            logFrame->Hide();
        logWindow->Show();
        logFrame->Raise();
        return;
    }
    logPlaced_ = true;
    const std::optional<WindowPlace> saved = SavedPlace(LOG_WINDOW_PLACE);
    if (saved && FitsScreens(saved->rect)) {
        // Where the technician left it.
        ShowEmptyFirst(logFrame);
        logFrame->SetSize(saved->rect);
        return;
    }
    const wxRect workArea = wxDisplay(this).GetClientArea();
    const wxRect frameRect = GetScreenRect();
    const int room = workArea.width - frameRect.width;
    if (room >= LOG_WINDOW_MIN_WIDTH) {
        // Side by side, the two together centred in the work area.
        const int logWidth = std::min(LOG_WINDOW_WIDTH, room);
        const int frameX = workArea.x + (room - logWidth) / 2;
        Move(frameX, frameRect.y);
        // The window manager places a window as it maps it: it is moved once shown.
        ShowEmptyFirst(logFrame);
        logFrame->SetSize(frameX + frameRect.width, frameRect.y, logWidth, frameRect.height);
        logWindow->Show();
        return;
    }
    // No room beside the frame: over its right side, at the right of the work
    // area, where it is seen and may be moved or closed. It takes the focus: a
    // window manager puts a new window that does not take it behind the one
    // that has it.
    const int logWidth = std::min(LOG_WINDOW_WIDTH, workArea.width);
    ShowEmptyFirst(logFrame);
    logFrame->SetSize(workArea.GetRight() + 1 - logWidth, frameRect.y, logWidth, frameRect.height);
}

BusLine* MainFrame::Line()
{
    return dynamic_cast<BusLine*>(&bus_);
}

void MainFrame::OnClose(wxCloseEvent& event)
{
    // Unsaved edits are asked about first; Cancel keeps the frame open.
    if (event.CanVeto() && mainDialog && !mainDialog->MayDropShownEdits()) {
        event.Veto();
        return;
    }
    // A frame that closes at start-up (no interface) was never placed by the technician.
    if (IsShown()) {
        SavePlace(FRAME_PLACE, *this);
        SavePlace(LOG_WINDOW_PLACE, *logWindow->GetFrame());
    }
    event.Skip();
}

void MainFrame::OnConnection(wxCommandEvent&)
{
    ChooseConnection(*this, Line(), *mainDialog);
}

void MainFrame::OnDiscoverAllFast(wxCommandEvent&)
{
    const BusLine* line = Line();
    DiscoverAllFast(*mainDialog, line ? line->LatencyTimer() : std::nullopt);
}

void MainFrame::OnExit(wxCommandEvent&)
{
    Close(false);
}

void MainFrame::OnDiscoverAll(wxCommandEvent&)
{
    mainDialog->DiscoverDevices(0);
}

void MainFrame::OnQuickDiscovery(wxCommandEvent&)
{
    mainDialog->DiscoverDevices(BROADCAST_ADDRESS);
}

void MainFrame::OnUpdateFirmwareSelected(wxCommandEvent&)
{
    mainDialog->UpdateFirmware(false);
}

void MainFrame::OnEmergencyFirmwareUpdate(wxCommandEvent&)
{
    mainDialog->UpdateFirmware(true);
}

void MainFrame::OnSetAddress(wxCommandEvent&)
{
    mainDialog->OnSetAddress();
}

void MainFrame::OnDeviceBootMode(wxCommandEvent&)
{
    mainDialog->EnterBootMode();
}

void MainFrame::OnDeviceConfigMode(wxCommandEvent&)
{
    mainDialog->EnterConfigMode();
}

void MainFrame::OnLogWindow(wxCommandEvent&)
{
    ShowLogWindow();
}

void MainFrame::OnBackUpBus(wxCommandEvent&)
{
    if (const std::optional<std::string> folder = chooseFolder(_("Folder for the backup of the bus"), false))
        BackUpBus(this, mainDialog->Registry(), services_, *folder);
}

void MainFrame::OnCompareWithBackup(wxCommandEvent&)
{
    if (const std::optional<std::string> folder = chooseFolder(_("Folder of the backup to compare with"), true))
        CompareBusWithBackup(this, mainDialog->Registry(), services_, *folder);
}

void MainFrame::OnRestoreBus(wxCommandEvent&)
{
    // A restore may write the device the shown panel is for: its edits are
    // asked about first, and the panel is not left showing what the device
    // held before, where a later save would undo the restore. The window
    // stays open: a panel shown meanwhile is asked about before each write.
    const auto mayWrite = [this] {
        if (!mainDialog->MayDropShownEdits())
            return false;
        mainDialog->ShowInstructions();
        return true;
    };
    if (!mainDialog->MayDropShownEdits())
        return;
    if (const std::optional<std::string> folder = chooseFolder(_("Folder of the backup to restore"), true)) {
        mainDialog->ShowInstructions();
        RestoreBus(this, mainDialog->Network(), *folder, mayWrite);
    }
}

}  // namespace orv
