#include "ui/rs232_type_dialog.h"

#include <algorithm>

#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/intl.h>
#include <wx/mstream.h>
#include <wx/notebook.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "config/rs232_files.h"
#include "config/rs232_image.h"
#include "config/rs232_transfer.h"
#include "link/commands.h"
#include "services/log.h"
#include "resources/embedded.h"
#include "ui/main_dialog.h"
#include "ui/panel_font.h"
#include "ui/panel_frame.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

const wxColour BLUE(0, 0, 255);
const wxColour RED(255, 0, 0);

// Under GTK a choice needs about 25 pixels beside its text, so "ASCII" needs
// more than 50 to be read; the header's "Type:" follows the column.
constexpr int TYPE_WIDTH = 75;
// A spin control is at least as wide as its largest value and its buttons
// need (GTK draws them side by side and cannot squeeze them into 50 pixels);
// a free value field is at least wide enough to show three digits.
constexpr int SPIN_WIDTH = 50;
constexpr int FREE_VALUE_WIDTH = 33;
constexpr int STATUS_WIDTH = 200;

wxBitmap Picture(const EmbeddedFile& file)
{
    wxMemoryInputStream stream(file.data, file.size);
    return wxBitmap(wxImage(stream, wxBITMAP_TYPE_PNG));
}

wxStaticText* Label(wxWindow* parent, const wxString& text, int width, int points, const wxColour* colour,
                    long style = 0)
{
    auto* label = new wxStaticText(parent, wxID_STATIC, text, wxDefaultPosition, wxSize(width, -1), style);
    label->SetFont(PanelFont(points, wxFONTWEIGHT_BOLD));
    if (colour)
        label->SetForegroundColour(*colour);
    return label;
}

// The row position a control of a row range stands for.
size_t RowOf(const wxCommandEvent& event, int base)
{
    return size_t(event.GetId() - base);
}

}  // namespace

wxBEGIN_EVENT_TABLE(RS232_Type_Dialog, wxPanel)
    EVT_BUTTON(ID_RS232_SAVE, RS232_Type_Dialog::OnSaveToDevice)
    EVT_BUTTON(ID_RS232_NEW_ROW, RS232_Type_Dialog::OnNewRow)
    EVT_BUTTON(ID_RS232_EXPORT, RS232_Type_Dialog::OnExport)
    EVT_BUTTON(ID_RS232_IMPORT, RS232_Type_Dialog::OnImport)
    EVT_COMMAND_RANGE(ID_RS232_ROW_DESTINATION, ID_RS232_ROW_DESTINATION + RS232_ROW_ID_SPAN - 1, wxEVT_CHOICE,
                      RS232_Type_Dialog::OnDestinationChanged)
    EVT_COMMAND_RANGE(ID_RS232_ROW_ACTION, ID_RS232_ROW_ACTION + RS232_ROW_ID_SPAN - 1, wxEVT_CHOICE,
                      RS232_Type_Dialog::OnActionChanged)
    EVT_COMMAND_RANGE(ID_RS232_ROW_DELETE, ID_RS232_ROW_DELETE + RS232_ROW_ID_SPAN - 1, wxEVT_BUTTON,
                      RS232_Type_Dialog::OnDeleteRow)
    EVT_COMMAND_RANGE(ID_RS232_ROW_TEST, ID_RS232_ROW_TEST + RS232_ROW_ID_SPAN - 1, wxEVT_BUTTON,
                      RS232_Type_Dialog::OnTestString)
wxEND_EVENT_TABLE()

RS232_Type_Dialog::RS232_Type_Dialog(MainDialog& mainDialog, wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel"), mainDialog_(mainDialog)
{
    std::copy(BaudRateTable.begin(), BaudRateTable.end(), rateTable_.begin());

    // The box's controls are its siblings: inside it GTK hands them its bold font.
    auto* boxSizer =
        AddPanelFrame(this, _("RS232 Type Configuration "), wxSize(820, 545), wxLEFT | wxRIGHT | wxBOTTOM);

    auto* topLine = new wxBoxSizer(wxHORIZONTAL);
    boxSizer->Add(topLine, 0, wxLEFT | wxRIGHT | wxBOTTOM, 5);
    topLine->Add(Label(this, _("Name: "), 50, 10, nullptr, wxALIGN_RIGHT), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    nameField_ = new wxTextCtrl(this, ID_RS232_NAME, "", wxDefaultPosition, wxSize(150, -1));
    nameField_->SetMaxLength(RS232_NAME_LENGTH);
    topLine->Add(nameField_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    topLine->Add(Label(this, _("Baud Rate: "), 100, 10, nullptr, wxALIGN_RIGHT), 0, wxALIGN_CENTER_VERTICAL | wxALL,
                 2);
    rateChoice_ = new wxChoice(this, ID_RS232_RATE, wxDefaultPosition, wxSize(100, -1));
    for (size_t i = 0; i < BaudRateTable.size(); ++i)
        rateChoice_->Append(wxString::Format("%d", int(rateTable_[i])), &rateTable_[i]);
    rateChoice_->SetSelection(0);
    topLine->Add(rateChoice_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    topLine->Add(20, 5, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    auto* newRow = new wxBitmapButton(this, ID_RS232_NEW_ROW, Picture(NewRowPng()), wxDefaultPosition,
                                      wxSize(145, -1));
    topLine->Add(newRow, 0, wxALIGN_CENTER | wxALL, 5);
    statusLabel_ = new wxStaticText(this, wxID_STATIC, _("RS232 config. loaded"), wxDefaultPosition,
                                    wxSize(STATUS_WIDTH, -1), wxALIGN_RIGHT, "statusLabel");
    statusLabel_->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    statusLabel_->SetForegroundColour(RED);
    topLine->Add(statusLabel_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    auto* notebook = new wxNotebook(this, ID_RS232_NOTEBOOK, wxDefaultPosition, wxSize(780, 550), wxNB_TOP);
    auto* icons = new wxImageList(32, 32);
    icons->Add(Picture(NotebookIcon0Png()));
    icons->Add(Picture(NotebookIcon1Png()));
    notebook->AssignImageList(icons);
    boxSizer->Add(notebook, 0, wxLEFT | wxRIGHT | wxBOTTOM, 5);

    // Scrolls both ways: a row with four parameter controls is wider than the page.
    rowsPage_ = new wxScrolledWindow(notebook, wxID_ANY, wxDefaultPosition, wxSize(700, 475),
                                     wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    rowsPage_->SetScrollRate(10, 10);
    rowsSizer_ = new wxBoxSizer(wxVERTICAL);
    rowsPage_->SetSizer(rowsSizer_);
    auto* header = new wxBoxSizer(wxHORIZONTAL);
    rowsSizer_->Add(header, 0, wxLEFT | wxRIGHT | wxBOTTOM, 2);
    header->Add(Label(rowsPage_, _("#:"), 25, 10, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    header->Add(Label(rowsPage_, _("Type:"), TYPE_WIDTH, 10, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    header->Add(Label(rowsPage_, _("String:"), 175, 8, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    header->Add(Label(rowsPage_, _("Destination:"), 125, 8, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    header->Add(Label(rowsPage_, _("Action:"), 125, 8, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    header->Add(Label(rowsPage_, _("Command:"), 100, 8, &BLUE), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    notebook->AddPage(rowsPage_, "RS232 STRINGS CONFIG", false, 0);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    boxSizer->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxTOP | wxBOTTOM, 5);
    auto* save = new wxButton(this, ID_RS232_SAVE, "Save to Device", wxDefaultPosition, wxSize(150, -1));
    save->SetToolTip("Save the changes made to Orvanta Device");
    buttons->Add(save, 0, wxALL, 5);
    auto* exportButton = new wxButton(this, ID_RS232_EXPORT, "Export to PC", wxDefaultPosition, wxSize(150, -1));
    exportButton->SetToolTip("Export configuration to use later for this device ");
    buttons->Add(exportButton, 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_RS232_IMPORT, "Import From PC", wxDefaultPosition, wxSize(150, -1)), 0,
                 wxALL, 5);

    Layout();
}

bool RS232_Type_Dialog::ReadFromDevice()
{
    const RS232ReadOutcome read = ReadRS232Config(address_, false, mainDialog_.GetServices());
    if (read.result == RS232ReadResult::Failed)
        return false;
    // A damaged image comes as the empty configuration, so that nothing of
    // the RS232 shown before stays to be saved into this one.
    ApplyRS232Image(read.config);
    return true;
}

void RS232_Type_Dialog::AddRS232Row()
{
    const size_t r = rows_.size();
    const int offset = int(r);
    rows_.push_back(std::make_unique<Row>());
    Row& row = *rows_.back();
    row.actionCodeTable[0] = ACTION_UNUSED;

    row.line = new wxStaticBoxSizer(wxHORIZONTAL, rowsPage_, "");
    wxStaticBox* box = row.line->GetStaticBox();
    const int flags = wxALIGN_CENTER_VERTICAL | wxALL;

    row.line->Add(Label(box, wxString::Format("%d:", offset + 1), 20, 10, &BLUE), 0, flags, 2);
    row.type = new wxChoice(box, ID_RS232_ROW_TYPE + offset, wxDefaultPosition, wxSize(TYPE_WIDTH, -1));
    row.line->Add(row.type, 0, flags, 2);
    row.text = new wxTextCtrl(box, ID_RS232_ROW_STRING + offset, "", wxDefaultPosition, wxSize(175, -1));
    row.text->SetMaxLength(RS232_STRING_LENGTH);
    row.text->SetForegroundColour(BLUE);
    row.text->SetToolTip("String to Send or Compare (HEX: space padded 2 chars only eg. 02 FE A1)");
    row.line->Add(row.text, 0, flags, 2);
    row.destination = new wxChoice(box, ID_RS232_ROW_DESTINATION + offset, wxDefaultPosition, wxSize(125, -1));
    row.destination->SetToolTip("All found Orvanta devices available (selection may change Actions listed)");
    row.line->Add(row.destination, 0, flags, 2);
    row.action = new wxChoice(box, ID_RS232_ROW_ACTION + offset, wxDefaultPosition, wxSize(125, -1));
    row.action->SetToolTip("All available actions for selected Destination");
    row.line->Add(row.action, 0, flags, 2);
    row.paramSizer = new wxBoxSizer(wxHORIZONTAL);
    row.line->Add(row.paramSizer, 0, flags, 2);
    row.commandSizer = new wxBoxSizer(wxHORIZONTAL);
    row.command = new wxTextCtrl(box, ID_RS232_ROW_COMMAND + offset, "", wxDefaultPosition, wxSize(100, -1));
    row.command->SetMaxLength(RS232_COMMAND_LENGTH);
    row.command->SetToolTip("Enter command (upto 8 characters)");
    row.commandSizer->Add(row.command, 0, flags, 2);
    row.line->Add(row.commandSizer, 0, flags, 2);
    row.test = new wxButton(box, ID_RS232_ROW_TEST + offset, "Test String", wxDefaultPosition, wxSize(75, -1));
    row.test->SetToolTip("Sends String as output on RS232");
    row.line->Add(row.test, 0, wxALIGN_CENTER, 0);
    auto* remove = new wxBitmapButton(box, ID_RS232_ROW_DELETE + offset, Picture(DeleteRowPng()),
                                      wxDefaultPosition, wxSize(33, -1));
    remove->SetToolTip("Delete this row");
    row.line->Add(remove, 0, wxALIGN_CENTER, 0);
    rowsSizer_->Add(row.line, 0, wxALIGN_LEFT);

    row.line->Hide(row.paramSizer);
    row.test->Disable();

    const std::vector<DestinationEntry> destinations = RS232DestinationEntries(mainDialog_.Registry());
    for (size_t i = 0; i < destinations.size() && i < row.destinationTable.size(); ++i) {
        row.destinationTable[i] = destinations[i].address;
        row.destination->Append(ToWx(destinations[i].label), &row.destinationTable[i]);
    }
    row.destination->SetSelection(0);

    row.action->Append("Unused", &row.actionCodeTable[0]);
    row.action->SetSelection(0);
    row.type->Append("Hex", &typeValues_[0]);
    row.type->Append("ASCII", &typeValues_[1]);
    row.type->SetSelection(1);
}

void RS232_Type_Dialog::ApplyDestination(size_t r, uint8_t destination, uint16_t action)
{
    Row& row = *rows_[r];
    const std::vector<ActionEntry> actions = GetActions(mainDialog_.Registry().TypeAtAddress(destination));
    row.action->Clear();
    row.action->Append("Unused", &row.actionCodeTable[0]);
    int selection = 0;
    for (size_t i = 0; i < actions.size() && i + 1 < row.actionCodeTable.size(); ++i) {
        row.actionCodeTable[i + 1] = actions[i].code;
        row.action->Append(ToWx(actions[i].name), &row.actionCodeTable[i + 1]);
        if (actions[i].code == action)
            selection = int(i + 1);
    }
    row.action->SetSelection(selection);
    if (selection == 0)
        ShowCommandField(r);
}

void RS232_Type_Dialog::BuildParameterControls(uint16_t action, size_t r, const RS232Row* stored)
{
    Row& row = *rows_[r];
    const auto spec = GetParamSpec(action);
    if (!spec) {
        ShowStatus(" ");
        ShowCommandField(r);
        RelayoutRows();
        return;
    }

    row.line->Hide(row.commandSizer);
    if (!row.spins.empty() || !row.texts.empty()) {
        row.paramSizer->Clear(true);
        row.spins.clear();
        row.texts.clear();
    }
    wxStaticBox* box = row.line->GetStaticBox();
    const int flags = wxALIGN_CENTER_VERTICAL | wxALL;
    const std::vector<ParamSpec::Range> ranges = spec->Ranges();
    int id = ID_RS232_ROW_PARAMS + int(r);
    for (size_t k = 0; k < spec->spinCount; ++k, ++id) {
        const ParamSpec::Range range = k < ranges.size() ? ranges[k] : ParamSpec::Range{0, 0};
        auto* spin = new wxSpinCtrl(box, id, "", wxDefaultPosition, wxSize(SPIN_WIDTH, -1), 0, range.minimum,
                                    range.maximum, range.minimum, "wxSpinCtrl");
        const int digitsWidth =
            spin->GetSizeFromTextSize(spin->GetTextExtent(wxString::Format("%d", range.maximum))).x;
        if (digitsWidth > SPIN_WIDTH)
            spin->SetMinSize(wxSize(digitsWidth, -1));
        if (stored && k < stored->spinValues.size())
            spin->SetValue(stored->spinValues[k]);
        row.paramSizer->Add(spin, 0, flags, 2);
        row.spins.push_back(spin);
    }
    for (size_t t = 0; t < spec->textCount; ++t, ++id) {
        auto* text = new wxTextCtrl(box, id, "", wxDefaultPosition, wxSize(FREE_VALUE_WIDTH, -1), 0,
                                    wxDefaultValidator, "text");
        text->SetMaxLength(3);
        const int digitsWidth = text->GetSizeFromTextSize(text->GetTextExtent("888")).x;
        if (digitsWidth > FREE_VALUE_WIDTH)
            text->SetMinSize(wxSize(digitsWidth, -1));
        if (stored && t < stored->freeTexts.size())
            text->ChangeValue(ToWx(stored->freeTexts[t]));
        row.paramSizer->Add(text, 0, flags, 2);
        row.texts.push_back(text);
    }
    ShowStatus(ToWx(StrF("%d: ", int(r + 1)) + spec->label));
    row.line->Show(row.paramSizer);
    row.paramSizer->Layout();
    row.line->Layout();
    RelayoutRows();
}

void RS232_Type_Dialog::ShowCommandField(size_t r)
{
    Row& row = *rows_[r];
    row.line->Hide(row.paramSizer);
    row.command->ChangeValue("");
    row.line->Show(row.commandSizer);
    row.line->Layout();
}

void RS232_Type_Dialog::ClearRS232Rows()
{
    for (const auto& row : rows_) {
        row->line->Clear(true);
        rowsSizer_->Remove(row->line);
    }
    rows_.clear();
    rowsSizer_->Layout();
    rowsPage_->Refresh();
    rowsPage_->Layout();
    rowsPage_->FitInside();
    Layout();
}

void RS232_Type_Dialog::RelayoutRows()
{
    rowsSizer_->Layout();
    rowsPage_->FitInside();
    rowsPage_->Layout();
    Layout();
}

void RS232_Type_Dialog::ApplyRS232Image(const RS232Config& config)
{
    ClearRS232Rows();
    nameField_->ChangeValue(ToWx(config.name));
    SelectRate(config.baudRate);
    for (size_t r = 0; r < config.rows.size(); ++r) {
        const RS232Row& stored = config.rows[r];
        AddRS232Row();
        Row& row = *rows_[r];
        int entry = 0;
        for (unsigned i = 0; i < row.destination->GetCount(); ++i)
            if (row.destinationTable[i] == stored.destination) {
                entry = int(i);
                break;
            }
        row.destination->SetSelection(entry);
        ApplyDestination(r, stored.destination, stored.action);
        BuildParameterControls(stored.action, r, &stored);
        row.command->ChangeValue(ToWx(stored.command));
        if (stored.text.empty())
            continue;
        row.type->SetSelection(stored.type == StringType::Hex ? 0 : 1);
        row.text->ChangeValue(ToWx(stored.text));
        row.test->Enable();
    }
    // After the rows, whose parameter controls leave their hints in the label.
    ShowFirmwareVersion();
    RelayoutRows();
    mainDialog_.RelayoutPanels();
}

RS232Config RS232_Type_Dialog::PanelConfig() const
{
    RS232Config config;
    config.name = FromWx(nameField_->GetValue());
    const int rate = rateChoice_->GetSelection();
    config.baudRate = rate == wxNOT_FOUND ? BaudRateTable[0]
                                          : *static_cast<const uint32_t*>(rateChoice_->GetClientData(unsigned(rate)));
    for (const auto& row : rows_) {
        RS232Row model;
        model.text = FromWx(row->text->GetValue());
        const int type = row->type->GetSelection();
        if (type != wxNOT_FOUND)
            model.type = *static_cast<const StringType*>(row->type->GetClientData(unsigned(type)));
        const int destination = row->destination->GetSelection();
        if (destination != wxNOT_FOUND)
            model.destination = *static_cast<const uint8_t*>(row->destination->GetClientData(unsigned(destination)));
        const int action = row->action->GetSelection();
        if (action != wxNOT_FOUND)
            model.action = *static_cast<const uint16_t*>(row->action->GetClientData(unsigned(action)));
        for (const wxSpinCtrl* spin : row->spins)
            model.spinValues.push_back(spin->GetValue());
        for (const wxTextCtrl* text : row->texts)
            model.freeTexts.push_back(FromWx(text->GetValue()));
        model.command = FromWx(row->command->GetValue());
        config.rows.push_back(std::move(model));
    }
    return config;
}

void RS232_Type_Dialog::ShowFirmwareVersion()
{
    if (const DeviceRecord* record = mainDialog_.Registry().SelectedRecord())
        ShowStatus("Firmware Ver: " + ToWx(FirmwareText(*record)));
}

void RS232_Type_Dialog::ShowStatus(const wxString& text)
{
    statusLabel_->SetLabel(text);
    // A long parameter hint takes a second line rather than being cut, at the
    // width the label is given: the full top line leaves it less than its own.
    statusLabel_->GetContainingSizer()->Layout();
    statusLabel_->Wrap(statusLabel_->GetSize().GetWidth());
}

void RS232_Type_Dialog::SelectRate(uint32_t rate)
{
    const size_t index = BaudRateIndex(rate);
    const unsigned extra = unsigned(BaudRateTable.size());
    if (index == extra) {
        // A rate the table does not hold (a foreign image) is kept, as an entry of its own.
        rateTable_[extra] = rate;
        const wxString text = wxString::Format("%u", unsigned(rate));
        if (rateChoice_->GetCount() > extra)
            rateChoice_->SetString(extra, text);
        else
            rateChoice_->Append(text, &rateTable_[extra]);
    } else if (rateChoice_->GetCount() > extra) {
        rateChoice_->Delete(extra);
    }
    rateChoice_->SetSelection(int(index));
}

void RS232_Type_Dialog::OnSaveToDevice(wxCommandEvent&)
{
    Services& services = mainDialog_.GetServices();
    const RS232SaveOutcome outcome = SaveRS232Config(PanelConfig(), address_, services);
    if (outcome.shown)
        ApplyRS232Image(*outcome.shown);
    if (outcome.result != RS232SaveResult::Saved)
        return;
    const DeviceRecord* record = mainDialog_.Registry().SelectedRecord();
    if (record && record->configured) {
        services.prompts.Message(" Config Saved ", " Save SUCCESS \n RS232 configuration has been saved Succesfully",
                                 Buttons::Ok, Icon::Information);
        return;
    }
    services.prompts.Message(" Config Saved ",
                             " Save SUCCESS \n Click OK to re-discover the device to set it correctly", Buttons::Ok,
                             Icon::Information);
    mainDialog_.DiscoverDevices(BROADCAST_ADDRESS);
}

void RS232_Type_Dialog::OnNewRow(wxCommandEvent&)
{
    if (!CanAddRS232Row(PanelConfig(), mainDialog_.GetServices().prompts))
        return;
    AddRS232Row();
    RelayoutRows();
}

void RS232_Type_Dialog::OnExport(wxCommandEvent&)
{
    ExportRS232Config(PanelConfig(), mainDialog_.GetServices());
}

void RS232_Type_Dialog::OnImport(wxCommandEvent&)
{
    Prompts& prompts = mainDialog_.GetServices().prompts;
    const auto config = ImportRS232Config(prompts);
    if (!config)
        return;
    ApplyRS232Image(*config);
    ShowRS232Loaded(prompts);
}

void RS232_Type_Dialog::OnDestinationChanged(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_DESTINATION);
    const auto* destination = static_cast<const uint8_t*>(event.GetClientData());
    if (r >= rows_.size() || !destination)
        return;
    ApplyDestination(r, *destination, ACTION_UNUSED);
    RelayoutRows();
}

void RS232_Type_Dialog::OnActionChanged(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_ACTION);
    const auto* action = static_cast<const uint16_t*>(event.GetClientData());
    if (r >= rows_.size() || !action)
        return;
    if (*action == ACTION_UNUSED) {
        ShowCommandField(r);
        RelayoutRows();
        return;
    }
    BuildParameterControls(*action, r, nullptr);
}

void RS232_Type_Dialog::OnDeleteRow(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_DELETE);
    if (r >= rows_.size())
        return;
    // Nothing changes when another row holds an invalid Hex text (its box has said so).
    const auto remaining = DeleteRS232Row(PanelConfig(), r, mainDialog_.GetServices());
    if (!remaining)
        return;
    // The rows are rebuilt once the clicked button's own event is over, as it is one of the windows destroyed.
    CallAfter([this, config = *remaining] { ApplyRS232Image(config); });
}

void RS232_Type_Dialog::OnTestString(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_TEST);
    if (r < rows_.size())
        SendTestString(address_, r, mainDialog_.GetServices());
}

}  // namespace orv
