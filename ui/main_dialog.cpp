#include "ui/main_dialog.h"

#include <algorithm>
#include <initializer_list>

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
#include "network/firmware_update.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/panel_font.h"
#include "ui/rs232_type_dialog.h"
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
    listCtrl_->SetToolTip("Discovered Orvanta Devices. Select one to view/configure");
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
    if (!BusReady())
        return;
    BusWork work(this);
    orv::DiscoverDevices(network_, start);
}

void MainDialog::UpdateFirmware(bool emergency)
{
    if (!BusReady())
        return;
    BusWork work(this);
    orv::UpdateFirmware(network_, emergency);
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
    return OfferBusReconnect(services_.prompts);
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
    if (!BusReady())
        return;
    BusWork work(this);
    orv::OnSetAddress(network_);
}

void MainDialog::ResetListColumns()
{
    listCtrl_->ClearAll();
    listCtrl_->InsertColumn(0, "ORVANTA DEVICES", wxLIST_FORMAT_LEFT, NameColumnWidth());
    listCtrl_->InsertColumn(1, "ADDRESS", wxLIST_FORMAT_LEFT, ADDRESS_COLUMN_WIDTH);
}

void MainDialog::RefreshDeviceList()
{
    ResetListColumns();
    const wxFont rowFont = RowFont();
    for (size_t index = 0; index < registry_.Count(); ++index) {
        const DeviceRecord& record = registry_.Record(index);
        const long row = listCtrl_->InsertItem(long(index), wxEmptyString);
        listCtrl_->SetItemData(row, long(index));
        listCtrl_->SetItem(row, 0, ToWx(DeviceRowText(record)));
        listCtrl_->SetItem(row, 1, wxString::Format("%d", record.address));
        listCtrl_->SetItemFont(row, rowFont);
        listCtrl_->SetItemTextColour(row, record.configured ? CONFIGURED_COLOUR : UNCONFIGURED_COLOUR);
    }
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

void MainDialog::OnDeviceSelected(wxListEvent& event)
{
    event.Skip();
    const long row = event.GetIndex();
    if (row < 0 || row >= listCtrl_->GetItemCount())
        return;
    const auto index = size_t(listCtrl_->GetItemData(row));
    if (index >= registry_.Count())
        return;
    registry_.Select(uint8_t(index));
    EnableDeviceCommands();
    // A copy: a device that fails its configuration read is removed below.
    const DeviceRecord record = registry_.Record(index);
    const DeviceTypeCode kind = record.typeCode;

    infoPanel_->detailsText->SetLabelText(
        ToWx(StrF(" Device Name: %s \n\n Address:   %d \n\n Firmware Ver:   %s \n\n Serial No:       %s \n\n",
                  record.name.c_str(), record.address, FirmwareText(record).c_str(),
                  SerialText(record.serialNumber).c_str())));

    if (!IsAddressable(record)) {
        ShowInfoPanel(SHARED_ADDRESS_MESSAGE);
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

}  // namespace orv
