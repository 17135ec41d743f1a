#include "ui/main_dialog.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <type_traits>

#include <wx/frame.h>
#include <wx/intl.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "link/bus_link.h"
#include "network/address_management.h"
#include "network/bus_reconnect.h"
#include "network/device_modes.h"
#include "network/discovery.h"
#include "network/fast_scan.h"
#include "network/firmware_update.h"
#include "ui/fast_discovery.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/panel_font.h"
#include "ui/rs232_type_dialog.h"
#include "ui/set_address.h"
#include "ui/tab_order.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

constexpr int ID_INPUT_TYPE_DIALOG = 10008;
constexpr int ID_RS232_TYPE_DIALOG = 12121;

const wxColour CONFIGURED_COLOUR(0, 0, 255);
const wxColour UNCONFIGURED_COLOUR(255, 0, 0);

constexpr const char* SHARED_ADDRESS_MESSAGE =
    " This Device shares it's address with another device on the network \n\n"
    " Please change it's address to Configure ! ";
// A device listed at the tool's own or the broadcast address.
constexpr const char* NOT_A_DEVICE_ADDRESS_MESSAGE =
    " This Device answered at address %d, which is not a device address \n\n"
    " Please change it's address to Configure ! ";
constexpr const char* LIST_TIP = "Discovered Orvanta Devices. Select one to view/configure";
constexpr const char* NO_CONFIGURATION_MESSAGE = "This Device has no configuration associated with it.";

constexpr int NAME_COLUMN_WIDTH = 175;
constexpr int ADDRESS_COLUMN_WIDTH = 75;
// The longest row the device kinds give: the name column shows it whole.
constexpr const char* LONGEST_DEVICE_ROW = "ORV-LED4PD (21 00 30 73)";
constexpr int COLUMN_PADDING = 16;
// The list's frame and vertical scroll bar beside its two columns.
constexpr int LIST_MARGIN = 24;
constexpr int LIST_MIN_HEIGHT = 150;

wxFont RowFont()
{
    return wxFont(9, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD);
}

// first and second are record indices of registry.
int wxCALLBACK CompareAddresses(wxIntPtr first, wxIntPtr second, wxIntPtr registry)
{
    const auto& records = *reinterpret_cast<const DeviceRegistry*>(registry);
    const int a = records.Record(size_t(first)).address;
    const int b = records.Record(size_t(second)).address;
    return (a > b) - (a < b);
}

// The rows a configuration panel read from its device send to, from what the
// panel keeps of the device's configuration; nothing when it keeps none (or
// cannot tell it yet).
template <typename Panel>
std::optional<std::vector<RowLink>> ReadRowLinks(const Panel& panel)
{
    if constexpr (requires { panel.DeviceConfig(); }) {
        const auto* config = panel.DeviceConfig();
        if (!config)
            return std::nullopt;
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(*config)>, Input8Config>)
            return Input8RowLinks(*config);
        else
            return RS232RowLinks(*config);
    } else {
        return std::nullopt;
    }
}

// Status bar field 0 while no job has anything to say.
constexpr const char* IDLE_STATUS = "ORVANTA TOOL";

// The index of the record of device (same serial number; at its address and
// its former index first), or nothing when the registry no longer holds it.
std::optional<size_t> FindAgain(const DeviceRegistry& registry, const DeviceRecord& device, size_t former)
{
    if (former < registry.Count() && registry.Record(former).serialNumber == device.serialNumber &&
        registry.Record(former).address == device.address)
        return former;
    std::optional<size_t> found;
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& record = registry.Record(i);
        if (record.serialNumber != device.serialNumber)
            continue;
        if (record.address == device.address)
            return i;
        if (!found)
            found = i;
    }
    return found;
}

// A firmware update's outcome in a few words for the status bar; empty when
// nothing was tried or a box has said all.
std::string FirmwareOutcomeText(FirmwareUpdateOutcome outcome)
{
    switch (outcome) {
    case FirmwareUpdateOutcome::Updated:
        return "Firmware Update: done, the device runs its new firmware";
    case FirmwareUpdateOutcome::BootNotAcknowledged:
        return "Firmware Update: the device did not answer; nothing was sent";
    case FirmwareUpdateOutcome::BlockNotAcknowledged:
    case FirmwareUpdateOutcome::LastBlockNotAcknowledged:
        return "Firmware Update FAILED: a block was not acknowledged";
    case FirmwareUpdateOutcome::RunFirmwareNotAcknowledged:
        return "Firmware Update: all blocks sent; the device did not confirm its restart";
    case FirmwareUpdateOutcome::InterfaceLost:
        return "Firmware Update stopped: ORV-NET disconnected";
    default:
        return {};
    }
}

}  // namespace

wxBEGIN_EVENT_TABLE(MainDialog, wxPanel)
    EVT_LIST_ITEM_SELECTED(ID_DEVICE_LIST, MainDialog::OnDeviceSelected)
    EVT_LIST_COL_CLICK(ID_DEVICE_LIST, MainDialog::OnColumnClick)
wxEND_EVENT_TABLE()

MainDialog::MainDialog(wxWindow* parent, Services& services, wxWindowID id, const wxPoint& pos, const wxSize& size,
                       long style)
    : prompts_(services.prompts), services_{services.clock, services.log, prompts_}
{
    SetExtraStyle(wxWS_EX_BLOCK_EVENTS);
    Create(parent, id, pos, size, style, "panel");

    mainSizer_ = new wxBoxSizer(wxHORIZONTAL);
    SetSizer(mainSizer_);

    // The list runs the full height of the dialog; the panel area takes the width it leaves.
    auto* listSizer = new wxBoxSizer(wxHORIZONTAL);
    mainSizer_->Add(listSizer, 0, wxEXPAND | wxALL, 5);

    listCtrl_ = new wxListCtrl(this, ID_DEVICE_LIST, wxDefaultPosition, wxSize(250, 625),
                               wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES, wxDefaultValidator,
                               "listCtrl");
    listCtrl_->SetFont(PanelFont(10, wxFONTWEIGHT_NORMAL));
    listCtrl_->SetToolTip(LIST_TIP);
    HideToolTipDuringBusWork(listCtrl_);
    listCtrl_->SetMinSize(wxSize(NameColumnWidth() + ADDRESS_COLUMN_WIDTH + LIST_MARGIN, LIST_MIN_HEIGHT));
    listSizer->Add(listCtrl_, 0, wxEXPAND | wxALL, 5);

    panelSizer_ = new wxBoxSizer(wxVERTICAL);

    introPanel_ = new Intro_Dialog(this, ID_INTRO_DIALOG, wxDefaultPosition, wxSize(955, 955), TEXT_PANEL_STYLE);
    inputPanel_ = new Input_Type_Dialog(*this, this, ID_INPUT_TYPE_DIALOG, wxDefaultPosition, wxSize(850, 850),
                                        wxTAB_TRAVERSAL);
    rs232Panel_ = new RS232_Type_Dialog(*this, this, ID_RS232_TYPE_DIALOG, wxDefaultPosition, wxSize(800, 850),
                                        wxTAB_TRAVERSAL);
    infoPanel_ = new Led4_Type_Dialog(this, ID_LED4_TYPE_DIALOG, wxDefaultPosition, wxSize(940, 940),
                                      TEXT_PANEL_STYLE);
    wxSize panelsMinimum;
    for (wxWindow* panel : std::initializer_list<wxWindow*>{introPanel_, inputPanel_, rs232Panel_, infoPanel_}) {
        // The size each was made with is its first look; what its lines need is its minimum.
        panel->SetMinSize(wxDefaultSize);
        panelSizer_->Add(panel, 1, wxEXPAND, 0);
        panel->Show(panel == introPanel_);
        panelsMinimum.IncTo(panel->GetBestSize());
    }

    mainSizer_->Add(panelSizer_, 1, wxEXPAND | wxALL, 5);

    ResetListColumns();
    services_.log.Message("ORV-NET: Connected: Please Do Discovery to find ORVANTA Devices ");

    // Whichever panel is shown, every line of it fits.
    const wxSize listMinimum = listSizer->CalcMin();
    SetMinSize(wxSize(listMinimum.x + panelsMinimum.x + 20, std::max(listMinimum.y, panelsMinimum.y) + 20));
    Layout();

    TrackEdits(inputPanel_, dynamic_cast<UnsavedEdits*>(inputPanel_));
    TrackEdits(rs232Panel_, dynamic_cast<UnsavedEdits*>(rs232Panel_));
}

void MainDialog::TrackEdits(wxWindow* panel, UnsavedEdits* edits)
{
    std::erase_if(panelEdits_, [panel](const auto& entry) { return entry.first == panel; });
    if (edits)
        panelEdits_.emplace_back(panel, edits);
}

UnsavedEdits* MainDialog::ShownEdits() const
{
    for (const auto& [panel, edits] : panelEdits_)
        if (panel->IsShown())
            return edits;
    return nullptr;
}

bool MainDialog::MayDropShownEdits()
{
    UnsavedEdits* edits = ShownEdits();
    return !edits || MayDropEdits(*edits, services_.prompts);
}

int MainDialog::NameColumnWidth() const
{
    int width = 0;
    int height = 0;
    const wxFont rowFont = RowFont();
    listCtrl_->GetTextExtent(LONGEST_DEVICE_ROW, &width, &height, nullptr, nullptr, &rowFont);
    return std::max(NAME_COLUMN_WIDTH, width + COLUMN_PADDING);
}

void MainDialog::DiscoverDevices(int start)
{
    if (!MayDropShownEdits() || !BusReady())
        return;
    BusWork work(this);
    orv::DiscoverDevices(network_, start);
}

void MainDialog::UpdateFirmware(bool emergency)
{
    if (!MayDropShownEdits() || !BusReady())
        return;
    // The firmware a device runs is replaced only when the user has seen which
    // device; the emergency update asks once its count has found the bus.
    if (const DeviceRecord* device = registry_.SelectedRecord(); !emergency && device) {
        MessageBoxOptions question{
            " Firmware Update Confirm ",
            StrF("Replace the firmware of %s (%s) at address %d?\nThe firmware file is chosen next.",
                 device->name.c_str(), SerialText(device->serialNumber).c_str(), device->address),
            Buttons::YesNo, Icon::Question};
        question.defaultNo = true;
        if (services_.prompts.MessageBox(question) != Answer::Yes)
            return;
    }
    FirmwareUpdateOutcome outcome;
    {
        BusWork work(this);
        outcome = orv::UpdateFirmware(network_, emergency, nullptr, EmergencyQuestion::Ask);
    }
    if (const std::string text = FirmwareOutcomeText(outcome); !text.empty())
        services_.prompts.SetStatusText(text, 0);
}

void MainDialog::EnterBootMode()
{
    if (!BusReady())
        return;
    BusWork work(this);
    ShowModeOutcome("Device Boot Mode", orv::EnterBootMode(network_));
}

void MainDialog::EnterConfigMode()
{
    if (!BusReady())
        return;
    BusWork work(this);
    ShowModeOutcome("Device Config Mode", orv::EnterConfigMode(network_));
}

bool MainDialog::BusReady()
{
    return OfferBusReconnect(services_.prompts, [this] {
        BusWork work(this, _("Looking for the ORV-NET interface ..."));
        return ReopenBusInterface();
    });
}

void MainDialog::ShowModeOutcome(const char* command, ModeCommandOutcome outcome)
{
    const DeviceRecord* device = registry_.SelectedRecord();
    if (!device)
        return;
    const char* result = nullptr;
    switch (outcome) {
    case ModeCommandOutcome::Acknowledged:
        result = "acknowledged";
        break;
    case ModeCommandOutcome::NothingReceived:
        result = "did not answer";
        break;
    default:
        // Refused or lost: a box has told the user already.
        return;
    }
    services_.prompts.SetStatusText(
        StrF("%s: %s at address %d %s", command, device->name.c_str(), device->address, result), 0);
}

void MainDialog::OnSetAddress()
{
    if (!MayDropShownEdits() || !BusReady())
        return;
    SetAddressWithLinks(this, network_, knownLinks_);
}

void MainDialog::ResetListColumns()
{
    listCtrl_->ClearAll();
    listCtrl_->InsertColumn(0, "ORVANTA DEVICES", wxLIST_FORMAT_LEFT, NameColumnWidth());
    listCtrl_->InsertColumn(1, "ADDRESS", wxLIST_FORMAT_LEFT, ADDRESS_COLUMN_WIDTH);
}

void MainDialog::RefreshDeviceList()
{
    // What was read of a device that has left its address is no longer known.
    knownLinks_.KeepListed(registry_);
    ResetListColumns();
    for (size_t index = 0; index < registry_.Count(); ++index)
        ShowAddedDevice(index);
}

void MainDialog::ShowAddedDevice(size_t index)
{
    if (index >= registry_.Count())
        return;
    const DeviceRecord& record = registry_.Record(index);
    const long row = listCtrl_->InsertItem(listCtrl_->GetItemCount(), wxEmptyString);
    listCtrl_->SetItemData(row, long(index));
    listCtrl_->SetItem(row, 0, ToWx(DeviceRowText(record)));
    listCtrl_->SetItem(row, 1, wxString::Format("%d", record.address));
    listCtrl_->SetItemFont(row, RowFont());
    listCtrl_->SetItemTextColour(row, record.configured ? CONFIGURED_COLOUR : UNCONFIGURED_COLOUR);
}

void MainDialog::ResetDeviceList()
{
    ResetListColumns();
    Layout();
}

void MainDialog::ShowInstructions()
{
    HideAllPanels();
    introPanel_->Show();
    RelayoutPanels();
}

void MainDialog::HideAllPanels()
{
    introPanel_->Hide();
    infoPanel_->Hide();
    rs232Panel_->Hide();
    inputPanel_->Hide();
}

void MainDialog::RelayoutPanels()
{
    panelSizer_->Layout();
    mainSizer_->Layout();
    Layout();
    // A panel shown, or controls shown or enabled in one, are reached by Tab.
    RenewTabOrder(this);
}

void MainDialog::EnableDeviceCommands()
{
    // The frame lies beyond this library; its menu bar is reached through the window tree.
    auto* frame = wxDynamicCast(wxGetTopLevelParent(this), wxFrame);
    wxMenuBar* menuBar = frame ? frame->GetMenuBar() : nullptr;
    if (!menuBar)
        return;
    for (int id : {ID_SET_ADDRESS, ID_DEVICE_BOOT_MODE, ID_DEVICE_CONFIG_MODE, ID_UPDATE_FIRMWARE_SELECTED})
        if (menuBar->FindItem(id))
            menuBar->Enable(id, true);
}

void MainDialog::OnColumnClick(wxListEvent& event)
{
    // By the addresses of the records behind the rows, which stay mapped to their records.
    listCtrl_->SortItems(CompareAddresses, wxIntPtr(&registry_));
    event.Skip();
}

void MainDialog::RestoreListSelection()
{
    restoringSelection_ = true;
    for (long row = 0; row < listCtrl_->GetItemCount(); ++row) {
        const bool shown = listCtrl_->GetItemData(row) == long(registry_.selectedIndex());
        listCtrl_->SetItemState(row, shown ? wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED : 0,
                                wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        if (shown)
            listCtrl_->EnsureVisible(row);
    }
    restoringSelection_ = false;
}

void MainDialog::LearnLinks(const DeviceRecord& record, wxWindow* panel)
{
    std::optional<std::vector<RowLink>> links;
    if (panel == inputPanel_)
        links = ReadRowLinks(*inputPanel_);
    else if (panel == rs232Panel_)
        links = ReadRowLinks(*rs232Panel_);
    if (links)
        knownLinks_.Learn(record, std::move(*links));
    else
        knownLinks_.Forget(record.address);
}

void MainDialog::OnDeviceSelected(wxListEvent& event)
{
    event.Skip();
    if (restoringSelection_)
        return;
    const long row = event.GetIndex();
    if (row < 0 || row >= listCtrl_->GetItemCount())
        return;
    const auto clicked = size_t(listCtrl_->GetItemData(row));
    if (clicked >= registry_.Count())
        return;
    // A Save at the question may discover the bus again and refill the
    // registry: the device clicked is then found again by its serial number.
    const DeviceRecord chosen = registry_.Record(clicked);
    if (!MayDropShownEdits()) {
        RestoreListSelection();
        return;
    }
    const std::optional<size_t> found = FindAgain(registry_, chosen, clicked);
    if (!found) {
        // Gone from the list: nothing of it is shown, nor of the device now in its place.
        for (long other = 0; other < listCtrl_->GetItemCount(); ++other)
            listCtrl_->SetItemState(other, 0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        ShowInstructions();
        return;
    }
    const size_t index = *found;
    // The status texts spoke of what was shown before; field 1 names the interface.
    services_.prompts.SetStatusText(IDLE_STATUS, 0);
    registry_.Select(uint8_t(index));
    // The list was rebuilt meanwhile: the device's row is selected anew.
    if (index != clicked || row >= listCtrl_->GetItemCount() || size_t(listCtrl_->GetItemData(row)) != index)
        RestoreListSelection();
    EnableDeviceCommands();
    // A copy: a device that fails its configuration read is removed below.
    const DeviceRecord record = registry_.Record(index);
    const DeviceTypeCode kind = record.typeCode;

    infoPanel_->detailsText->SetLabelText(
        ToWx(StrF(" Device Name: %s \n\n Address:   %d \n\n Firmware Ver:   %s \n\n Serial No:       %s \n\n",
                  record.name.c_str(), record.address, FirmwareText(record).c_str(),
                  SerialText(record.serialNumber).c_str())));

    if (!IsAddressable(record)) {
        ShowInfoPanel(record.sharedAddress ? wxString(SHARED_ADDRESS_MESSAGE)
                                           : ToWx(StrF(NOT_A_DEVICE_ADDRESS_MESSAGE, record.address)));
        return;
    }
    if ((kind == TYPE_INPUT8 || kind == TYPE_RS232) && !BusReady()) {
        ShowInstructions();
        return;
    }
    switch (kind) {
    case TYPE_INPUT8: {
        HideAllPanels();
        bool readDone = false;
        {
            BusWork work(this, _("Reading Configuration from Device .Please wait ..."));
            inputPanel_->SetDeviceAddress(record.address);
            readDone = inputPanel_->ReadFromDevice();
        }
        ShowReadPanel(inputPanel_, readDone, "ORV-Input8");
        break;
    }
    case TYPE_RS232: {
        HideAllPanels();
        bool readDone = false;
        {
            BusWork work(this);
            rs232Panel_->SetDeviceAddress(record.address);
            readDone = rs232Panel_->ReadFromDevice();
        }
        ShowReadPanel(rs232Panel_, readDone, "ORV-RS232");
        break;
    }
    case TYPE_LED4PD:
        ShowInfoPanel(" ORV-LED4 Selected. Nothing to be Configured ");
        break;
    case TYPE_RELAY:
        ShowInfoPanel(" ORV-RELAY Selected. Nothing to be Configured ");
        break;
    default:
        // Nothing known to configure; a configuration panel left on screen
        // would still be bound to the previously selected device.
        ShowInfoPanel(NO_CONFIGURATION_MESSAGE);
        break;
    }
}

void MainDialog::ShowInfoPanel(const wxString& message)
{
    HideAllPanels();
    infoPanel_->messageText->SetLabelText(message);
    infoPanel_->Show();
    infoPanel_->Layout();
    RelayoutPanels();
}

void MainDialog::ShowReadPanel(wxWindow* panel, bool readDone, const char* deviceName)
{
    if (readDone) {
        if (const DeviceRecord* record = registry_.SelectedRecord())
            LearnLinks(*record, panel);
        panel->Show();
        RelayoutPanels();
        return;
    }
    // The interface went, not the device: its box has been shown, the device stays listed.
    if (BusInterfaceLost()) {
        ShowInstructions();
        return;
    }
    services_.prompts.Message("Warn Loading Data ",
                              StrF("No Response from %s Device. Can't load Configuration.\n \n Removing from device "
                                   "list. Please check if device is connected & Try again ",
                                   deviceName),
                              Buttons::Ok, Icon::Exclamation);
    registry_.RemoveDevice(registry_.selectedIndex());
    RefreshDeviceList();
}

void DiscoverAllFast(MainDialog& dialog, std::optional<uint32_t> latencyTimerMillis)
{
    if (!dialog.MayDropShownEdits() || !dialog.BusReady())
        return;
    BusWork work(&dialog);
    FastDiscoverAll(dialog.Network(), latencyTimerMillis);
}

}  // namespace orv
