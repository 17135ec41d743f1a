// The one main window: menus, the two-field status bar, the log window and the
// main dialog that fills it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <wx/frame.h>

#include "port/usb_interface.h"
#include "services/services.h"
#include "ui/bus_work.h"
#include "ui/identifiers.h"

class wxLogWindow;
class wxMenu;
class wxMenuBar;
class wxStatusBar;

namespace orv {

class BusLine;
class MainDialog;

// Resizable and maximisable: the panels take what room the screen has.
constexpr long MAIN_FRAME_STYLE = wxDEFAULT_FRAME_STYLE;
// The frame's size where the screen's work area has room for it.
const wxSize DEFAULT_FRAME_SIZE(1100, 750);

class MainFrame : public wxFrame {
public:
    // services and bus outlive the frame; the bus is bound to the link by
    // OpenInterfaceAndDialog.
    MainFrame(Services& services, UsbInterface& bus, wxWindow* parent, wxWindowID id, const wxString& title,
              const wxPoint& pos = wxDefaultPosition, const wxSize& size = DEFAULT_FRAME_SIZE,
              long style = MAIN_FRAME_STYLE);

    // Start-up: opens the bus interface, creates the main dialog and shows the
    // log window. When there is no interface the frame is asked to close,
    // unless connectWhenNotFound and a line is chosen in the Connection dialog.
    void OpenInterfaceAndDialog();
    // Set by the program when the technician named no port: the first FTDI
    // interface was looked for, and another line may be chosen instead.
    bool connectWhenNotFound = false;
    // Shows the frame at start-up, without the toolkit's complaints about its first layout.
    void ShowOnDesktop();
    // Shows the log window. The first time it goes beside the frame when the
    // work area has room for both (the two centred together), else in front
    // of the frame's right side; later it comes back in front where it was.
    void ShowLogWindow();

    Services& GetServices() { return services_; }

    // Asks for the folder of a backup (a folder dialog with message); nothing
    // when the user cancels. Tests put their own answer here.
    std::function<std::optional<std::string>(const wxString& message, bool mustExist)> chooseFolder;

    MainDialog* mainDialog = nullptr;
    wxStatusBar* statusBar = nullptr;
    wxMenu* advancedMenu = nullptr;
    wxMenu* fileMenu = nullptr;
    wxMenu* devicesMenu = nullptr;
    wxMenu* viewMenu = nullptr;
    wxMenuBar* menuBar = nullptr;
    wxLogWindow* logWindow = nullptr;

private:
    // The line the technician can change; null on the simulated bus.
    BusLine* Line();
    // Closing, by the window\'s close button or File > Exit, first asks about
    // the shown panel\'s unsaved edits (Cancel keeps the frame open), then
    // keeps the places of the frame and the log window for the next start.
    void OnClose(wxCloseEvent& event);
    void OnConnection(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnDiscoverAll(wxCommandEvent& event);
    void OnDiscoverAllFast(wxCommandEvent& event);
    void OnQuickDiscovery(wxCommandEvent& event);
    void OnUpdateFirmwareSelected(wxCommandEvent& event);
    void OnEmergencyFirmwareUpdate(wxCommandEvent& event);
    void OnSetAddress(wxCommandEvent& event);
    void OnDeviceBootMode(wxCommandEvent& event);
    void OnDeviceConfigMode(wxCommandEvent& event);
    void OnLogWindow(wxCommandEvent& event);
    void OnBackUpBus(wxCommandEvent& event);
    void OnCompareWithBackup(wxCommandEvent& event);
    void OnRestoreBus(wxCommandEvent& event);

    // Under Wine's window manager bridge, the controls of a panel shown and
    // then laid out stay blank until the pointer passes over them: each panel
    // is painted afresh once it is shown and laid out.
    void PaintPanelsWhenShown();
    // The frame's default size within the work area, its minimum what the
    // main dialog needs to show every line of its panels.
    void FitToWorkArea();

    Services& services_;
    UsbInterface& bus_;
    bool logPlaced_ = false;
    // The link's boxes (a lost interface) come after the busy window is gone.
    BusyAwarePrompts linkPrompts_;
    Services linkServices_;

    wxDECLARE_EVENT_TABLE();
};

// The program's frame as start-up creates it: no parent, ID_MAIN_FRAME, the
// tool's title, the default size. Hidden until shown.
MainFrame* NewMainFrame(Services& services, UsbInterface& bus);

}  // namespace orv
