// The panel that fills the main frame: the device list on the left, the panel
// area on the right in which one panel at a time is shown, and the device
// registry with the network operations the frame's menu commands start.
#pragma once

#include <utility>
#include <vector>

#include <wx/panel.h>

#include "network/device_modes.h"
#include "network/device_registry.h"
#include "network/network_view.h"
#include "panel_rules/unsaved_edits.h"
#include "services/services.h"
#include "ui/bus_work.h"
#include "ui/identifiers.h"
#include "ui/panel_host.h"
#include "wholebus/known_links.h"

class wxBoxSizer;
class wxListCtrl;
class wxListEvent;

namespace orv {

class Input_Type_Dialog;
class Intro_Dialog;
class Led4_Type_Dialog;
class RS232_Type_Dialog;

constexpr int ID_DEVICE_LIST = 10009;

class MainDialog : public wxPanel, public NetworkView, public PanelHost {
public:
    MainDialog(wxWindow* parent, Services& services, wxWindowID id = ID_MAIN_DIALOG,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1200, 690),
               long style = wxTAB_TRAVERSAL);

    // The frame's menu commands.
    void DiscoverDevices(int start) override;
    void UpdateFirmware(bool emergency);
    void EnterBootMode();
    void EnterConfigMode();
    void OnSetAddress();

    // What the configuration panels use (PanelHost), and the frame's commands.
    Services& GetServices() override { return services_; }
    DeviceRegistry& Registry() override { return registry_; }
    NetworkContext& Network() { return network_; }
    // Before any bus work: false when the interface is lost and was not found
    // again (the user has been asked and told). The search runs as bus work.
    bool BusReady() override;
    // The edits of the configuration panel on screen, or null when no panel
    // with edits is shown.
    UnsavedEdits* ShownEdits() const;
    // Before anything that would drop the shown panel's edits: asks about them
    // when there are any. False when the user cancelled: nothing may change.
    bool MayDropShownEdits();
    // Where a configuration panel keeps its edits (null: it keeps none).
    void TrackEdits(wxWindow* panel, UnsavedEdits* edits);
    // The links of the configurations read on selection.
    const KnownLinks& Links() const { return knownLinks_; }
    void RelayoutPanels() override;

    void ShowInstructions() override;
    void ResetDeviceList() override;
    void ShowAddedDevice(size_t index) override;
    void RefreshDeviceList() override;

    // Empties the device list and recreates its two columns.
    void ResetListColumns();
    void HideAllPanels();
    // Enables the frame's commands that act on the selected device; nothing disables them again.
    void EnableDeviceCommands();

    wxListCtrl* DeviceList() const { return listCtrl_; }
    Intro_Dialog* IntroPanel() const { return introPanel_; }
    Input_Type_Dialog* InputPanel() const { return inputPanel_; }
    RS232_Type_Dialog* RS232Panel() const { return rs232Panel_; }
    Led4_Type_Dialog* InfoPanel() const { return infoPanel_; }

private:
    // Wide enough for the longest name and serial number of a device row.
    int NameColumnWidth() const;
    // Each row's item data is the index of its record: devices that share an
    // address are still told apart.
    void OnDeviceSelected(wxListEvent& event);
    void OnColumnClick(wxListEvent& event);

    // The information panel with message under the details of the last selection.
    void ShowInfoPanel(const wxString& message);
    // After a configuration read on selection: the panel when the read was
    // done, else the device is taken to be gone and leaves the list.
    void ShowReadPanel(wxWindow* panel, bool readDone, const char* deviceName);

    // Reports a mode command's outcome in the status bar, where the user looks.
    void ShowModeOutcome(const char* command, ModeCommandOutcome outcome);
    // Selects the row of the device whose panel is shown again, after a
    // selection the user cancelled.
    void RestoreListSelection();
    // What the shown configuration panel read from record's device.
    void LearnLinks(const DeviceRecord& record, wxWindow* panel);

    BusyAwarePrompts prompts_;
    Services services_;
    DeviceRegistry registry_{services_.log};
    NetworkContext network_{services_, registry_, *this};

    wxBoxSizer* mainSizer_ = nullptr;
    wxBoxSizer* panelSizer_ = nullptr;
    wxListCtrl* listCtrl_ = nullptr;
    Intro_Dialog* introPanel_ = nullptr;
    Input_Type_Dialog* inputPanel_ = nullptr;
    RS232_Type_Dialog* rs232Panel_ = nullptr;
    Led4_Type_Dialog* infoPanel_ = nullptr;

    std::vector<std::pair<wxWindow*, UnsavedEdits*>> panelEdits_;
    KnownLinks knownLinks_;
    // Set while the list's selection is put back, whose event is no new choice.
    bool restoringSelection_ = false;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace orv
