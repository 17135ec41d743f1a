#include "ui/input_type_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wrapsizer.h>

#include "config/input8_files.h"
#include "config/input8_transfer.h"
#include "link/frame_codec.h"
#include "model/catalogue.h"
#include "model/latin1.h"
#include "model/parameter_text.h"
#include "panel_rules/device_label.h"
#include "panel_rules/input8_link_question.h"
#include "panel_rules/input8_panel_rules.h"
#include "panel_rules/panel_save.h"
#include "ui/bus_work.h"
#include "ui/panel_font.h"
#include "ui/panel_frame.h"
#include "ui/panel_host.h"
#include "ui/parameter_fields.h"
#include "ui/rows_page.h"
#include "ui/tab_order.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

constexpr size_t INPUT_ENTRIES = 8;
constexpr int STATUS_WIDTH = 300;
// However small the frame, the rows area shows this many rows.
constexpr int MIN_VISIBLE_ROWS = 3;
// A row's frame and borders around its choices, and the area's scroll bar.
constexpr int ROW_FRAME_WIDTH = 40;
// The borders that place the headings and the columns of the rows.
constexpr int HEADING_BORDER = 2;
constexpr int ROWS_AREA_BORDER = 5;
constexpr int ROW_BORDERS = 3 + 2;  // the row line in the rows, the row's frame in its line
constexpr int ITEM_BORDER = 2;
constexpr int NUMBER_WIDTH = 25;
// Room for a choice's arrow and padding beside the longest entry.
constexpr int CHOICE_ARROW_WIDTH = 24;
// Room for the free text's 8 characters, narrow enough to stay on the line of the choices.
constexpr int FREE_TEXT_WIDTH = 90;

wxStaticText* StaticText(wxWindow* parent, const wxString& label, int width)
{
    return new wxStaticText(parent, ID_INPUT8_STATIC_TEXT, label, wxDefaultPosition, wxSize(width, -1));
}

// The longest destination entry the device kinds give.
constexpr const char* LONGEST_DESTINATION = " ORV-LED4PD  @ 255 ";

wxString LongestActionName()
{
    wxString longest;
    for (DeviceTypeCode kind : {TYPE_INPUT8, TYPE_RS232, TYPE_LED4PD, TYPE_RELAY})
        for (const ActionEntry& action : GetActions(kind))
            if (wxString(action.name).size() > longest.size())
                longest = action.name;
    return longest;
}

// At least its given width, and wide enough to show longest whole.
void WidenFor(wxChoice* choice, const wxString& longest)
{
    const int fitting = choice->GetSizeFromTextSize(choice->GetTextExtent(longest)).x + CHOICE_ARROW_WIDTH;
    choice->SetInitialSize(wxSize(std::max(choice->GetMinSize().x, fitting), -1));
}

// A stored byte beyond the choice's entries shows no selection.
void SelectStored(wxChoice* choice, unsigned value)
{
    choice->SetSelection(value < choice->GetCount() ? int(value) : wxNOT_FOUND);
}

// The value behind a choice's selected entry; entry 0 ("Unused") when none is selected.
template <typename T>
T SelectedValue(const wxChoice* choice)
{
    const int selection = choice->GetSelection();
    return *static_cast<const T*>(choice->GetClientData(selection == wxNOT_FOUND ? 0 : unsigned(selection)));
}

}  // namespace

wxIMPLEMENT_CLASS(Input_Type_Dialog, wxPanel);

// clang-format off
wxBEGIN_EVENT_TABLE(Input_Type_Dialog, wxPanel)
    EVT_BUTTON(ID_INPUT8_SAVE, Input_Type_Dialog::OnSaveToDevice)
    EVT_BUTTON(ID_INPUT8_EXPORT, Input_Type_Dialog::OnExportToPc)
    EVT_BUTTON(ID_INPUT8_IMPORT, Input_Type_Dialog::OnImportFromPc)
    EVT_BUTTON(ID_INPUT8_START_EMPTY, Input_Type_Dialog::OnStartEmpty)
    EVT_COMMAND_RANGE(ID_INPUT8_DESTINATION_BASE, ID_INPUT8_DESTINATION_BASE + 32, wxEVT_CHOICE,
                      Input_Type_Dialog::OnDestinationChanged)
    EVT_COMMAND_RANGE(ID_INPUT8_ACTION_BASE, ID_INPUT8_ACTION_BASE + 32, wxEVT_CHOICE,
                      Input_Type_Dialog::OnActionChanged)
wxEND_EVENT_TABLE()
// clang-format on

Input_Type_Dialog::Input_Type_Dialog(PanelHost& host, wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel"), host_(host)
{
    CreateControls();
    // The user's edits of every choice and text reach the panel; the panel
    // fills its controls without events.
    Bind(wxEVT_CHOICE, &Input_Type_Dialog::OnEdited, this);
    Bind(wxEVT_TEXT, &Input_Type_Dialog::OnEdited, this);
}

void Input_Type_Dialog::OnEdited(wxCommandEvent& event)
{
    event.Skip();
    // "Configuration saved" no longer holds once the user changes what was saved.
    if (statusIsSaved_)
        SetStatus(wxEmptyString);
}

void Input_Type_Dialog::CreateControls()
{
    // The box's controls are its siblings: inside it they would take on its bold font.
    auto* frameSizer =
        AddPanelFrame(this, _("Input Type Configuration "), wxSize(860, 600), wxLEFT | wxRIGHT | wxBOTTOM);

    // The name beside its label, then the status after a gap that gives way
    // first when the panel is narrow; a status too long for what is left then
    // goes to a second line whole, instead of past the edge.
    auto* firstLine = new wxWrapSizer(wxHORIZONTAL, 0);
    frameSizer->Add(firstLine, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    auto* name = new wxBoxSizer(wxHORIZONTAL);
    name->Add(StaticText(this, _("Device Name: "), 100), 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    nameField_ = new wxTextCtrl(this, ID_INPUT8_NAME, wxEmptyString, wxDefaultPosition, wxSize(250, -1));
    nameField_->SetMaxLength(INPUT8_NAME_CHARS);
    name->Add(nameField_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    firstLine->Add(name, 0, wxALIGN_CENTER_VERTICAL);
    firstLine->AddStretchSpacer();
    statusLine_ = new wxStaticText(this, ID_INPUT8_STATIC_TEXT, _("Input8 config. loaded"), wxDefaultPosition,
                                   wxSize(STATUS_WIDTH, -1), 0, "statusLine");
    statusLine_->SetFont(PanelFont(10, wxFONTWEIGHT_NORMAL));
    statusLine_->SetForegroundColour(*wxRED);
    firstLine->Add(statusLine_, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    // Said plainly while no configuration is shown that could be taken for the device's.
    notice_ = new wxStaticText(this, ID_INPUT8_STATIC_TEXT, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                               "notLoadedNotice");
    notice_->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    notice_->SetForegroundColour(*wxRED);
    frameSizer->Add(notice_, 0, wxEXPAND | wxALL, 10);

    auto* heading = new wxBoxSizer(wxHORIZONTAL);
    frameSizer->Add(heading, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, HEADING_BORDER);
    heading_ = heading;

    rowsArea_ = new wxScrolledWindow(this, wxID_ANY, wxDefaultPosition, wxSize(850, 525),
                                     wxVSCROLL | wxTAB_TRAVERSAL, "InputConfig");
    // Rows wrap their parameters below their choices instead of running past the right edge.
    rowsArea_->SetScrollRate(0, 10);
    auto* rowsSizer = new wxBoxSizer(wxVERTICAL);
    rowsArea_->SetSizer(rowsSizer);
    // The rows take the height the fixed lines leave.
    frameSizer->Add(rowsArea_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, ROWS_AREA_BORDER);
    for (size_t r = 0; r < INPUT8_ROWS; ++r)
        CreateRow(r, rowsSizer);

    // Each heading starts where its column of the rows starts: the choices are
    // as wide as their entries need, and the rows sit inside their frames.
    int top = 0;
    int side = 0;
    rows_[0].line->GetStaticBox()->GetBordersForSizer(&top, &side);
    const int changeColumn =
        ROWS_AREA_BORDER + ROW_BORDERS + side + NUMBER_WIDTH + rows_[0].input->GetMinSize().x + 5 * ITEM_BORDER;
    const int widths[] = {changeColumn - HEADING_BORDER - 3 * ITEM_BORDER, rows_[0].change->GetMinSize().x,
                          rows_[0].destination->GetMinSize().x, rows_[0].action->GetMinSize().x,
                          // The parameters may wrap below the choices: no room is kept for them.
                          wxDefaultCoord};
    const char* const labels[] = {"INPUT:", "CHANGE:", "DESTINATION:", "ACTION:", "PARAMETERS:"};
    for (size_t c = 0; c < std::size(labels); ++c) {
        const bool last = c + 1 == std::size(labels);
        // The last heading takes what the page leaves and, on a narrow page,
        // is shortened with an ellipsis and its whole text in a tooltip.
        auto* text = new wxStaticText(this, ID_INPUT8_STATIC_TEXT, wxGetTranslation(labels[c]), wxDefaultPosition,
                                      wxSize(widths[c], -1), last ? wxST_ELLIPSIZE_END : 0);
        text->SetFont(PanelFont(8, wxFONTWEIGHT_BOLD));
        text->SetForegroundColour(*wxBLUE);
        if (last) {
            text->SetToolTip(wxGetTranslation(labels[c]));
            text->SetMinSize(wxSize(text->GetTextExtent("P...").x, -1));
        }
        heading->Add(text, last ? 1 : 0, wxALL, ITEM_BORDER);
    }
    rowsArea_->SetMinSize(wxSize(heading->CalcMin().x + ROW_FRAME_WIDTH,
                                 MIN_VISIBLE_ROWS * rowsSizer->GetItem(size_t(0))->CalcMin().y));

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    frameSizer->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxTOP | wxBOTTOM, 5);
    const struct {
        int id;
        const char* label;
        const char* tooltip;
    } buttonSpecs[] = {
        {ID_INPUT8_SAVE, "Save to Device", "Save the changes made to Orvanta Device"},
        {ID_INPUT8_EXPORT, "Export to PC", "Export configuration to use later for this device "},
        {ID_INPUT8_IMPORT, "Import From PC", "Import previously saved configuration for this device "},
        {ID_INPUT8_START_EMPTY, START_EMPTY_LABEL, START_EMPTY_TIP},
    };
    for (const auto& spec : buttonSpecs) {
        auto* button = new wxButton(this, spec.id, wxGetTranslation(spec.label), wxDefaultPosition,
                                    wxSize(150, -1));
        // Wide enough for its label where the label is longer than the others.
        button->SetInitialSize(wxSize(std::max(150, button->GetBestSize().x), -1));
        button->SetToolTip(wxGetTranslation(spec.tooltip));
        buttons->Add(button, 0, wxALL, 5);
    }

    LayoutRowsArea();
    RowsPage::Attach(rowsArea_);
    ShowRulesState();
}

void Input_Type_Dialog::CreateRow(size_t r, wxSizer* rowsSizer)
{
    Row& row = rows_[r];
    const int index = int(r);
    auto* rowLine = new wxBoxSizer(wxHORIZONTAL);
    rowsSizer->Add(rowLine, 0, wxEXPAND | wxALL, 3);
    row.line = new wxStaticBoxSizer(wxHORIZONTAL, rowsArea_, wxEmptyString);
    rowLine->Add(row.line, 1, wxEXPAND | wxALL, 2);
    // The parameters go below the choices when the line has no room for them.
    row.content = new wxWrapSizer(wxHORIZONTAL, 0);
    row.line->Add(row.content, 1, wxEXPAND);
    wxWindow* box = row.line->GetStaticBox();

    wxStaticText* number = StaticText(box, wxString::Format("%d:", index + 1), NUMBER_WIDTH);
    number->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    number->SetForegroundColour(*wxBLUE);
    row.content->Add(number, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    row.input = new wxChoice(box, ID_INPUT8_INPUT_BASE + index, wxDefaultPosition, wxSize(100, -1));
    for (size_t i = 1; i <= INPUT_ENTRIES; ++i)
        row.input->Append(wxString::Format("Input: %d", int(i)));
    row.input->SetSelection(0);
    row.content->Add(row.input, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    row.change = new wxChoice(box, ID_INPUT8_CHANGE_BASE + index, wxDefaultPosition, wxSize(100, -1));
    row.change->Append("Change");
    row.change->Append("Open");
    row.change->Append("Close");
    row.change->SetSelection(int(ChangeType::Open));
    row.content->Add(row.change, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    row.destination = new wxChoice(box, ID_INPUT8_DESTINATION_BASE + index, wxDefaultPosition, wxSize(125, -1));
    WidenFor(row.destination, LONGEST_DESTINATION);
    row.destination->SetToolTip("All found Orvanta devices available, selection may change Actions");
    row.destination->Append("Unused", &destinationTable_[0]);
    row.destination->SetSelection(0);
    row.content->Add(row.destination, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    row.action = new wxChoice(box, ID_INPUT8_ACTION_BASE + index, wxDefaultPosition, wxSize(125, -1));
    WidenFor(row.action, LongestActionName());
    row.action->SetToolTip("All available actions for selected Destination");
    ResetActionList(r);
    row.content->Add(row.action, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);

    row.parameterArea = new wxBoxSizer(wxHORIZONTAL);
    row.content->Add(row.parameterArea, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    row.content->Show(row.parameterArea, false);

    row.freeTextArea = new wxBoxSizer(wxHORIZONTAL);
    row.freeText = new wxTextCtrl(box, ID_INPUT8_FREE_TEXT_BASE + index, wxEmptyString, wxDefaultPosition,
                                  wxSize(FREE_TEXT_WIDTH, -1));
    row.freeText->SetMaxLength(INPUT8_FREE_TEXT_CHARS);
    row.freeTextArea->Add(row.freeText, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    row.content->Add(row.freeTextArea, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
}

void Input_Type_Dialog::SetStatus(const wxString& text)
{
    statusIsRefusal_ = false;
    statusIsSaved_ = false;
    statusLine_->SetLabel(text);
    // Its width, or more for a long hint: the line has room, and a narrower label would wrap out of sight.
    statusLine_->SetMinSize(wxSize(std::max(STATUS_WIDTH, statusLine_->GetBestSize().GetWidth()), -1));
    // The whole panel: the status may move to a line of its own, or back.
    Layout();
}

TypeAtAddressFn Input_Type_Dialog::TypeAt() const
{
    const DeviceRegistry& registry = host_.Registry();
    return [&registry](uint8_t address) { return uint8_t(registry.TypeAtAddress(address)); };
}

bool Input_Type_Dialog::ReadFromDevice()
{
    const ReadOutcome outcome = ReadConfigImage(Input8TransferProfile(), address_, host_.GetServices());
    if (outcome.result != ReadResult::Intact) {
        // Nothing is left on the panel that could be taken for this device's configuration.
        ShowNotLoaded();
        return outcome.result == ReadResult::Damaged;
    }
    ApplyInput8Image(outcome.buffer.data());
    return true;
}

void Input_Type_Dialog::ShowNotLoaded()
{
    rules_.ReadNotLoaded();
    ClearInput8Panel();
    SetStatus(_("Configuration not loaded"));
    ShowRulesState();
}

std::string Input_Type_Dialog::DeviceLabel() const
{
    return PanelDeviceLabel(host_.Registry(), address_, TYPE_INPUT8, "ORV-Input8");
}

void Input_Type_Dialog::ShowRulesState()
{
    const bool rows = rules_.RowsShown();
    notice_->SetLabel(ToWx(rules_.Notice(DeviceLabel())));
    notice_->Show(!rows);
    rowsArea_->Show(rows);
    heading_->ShowItems(rows);
    nameField_->Enable(rows);
    FindWindow(ID_INPUT8_SAVE)->Enable(rules_.SaveEnabled());
    FindWindow(ID_INPUT8_EXPORT)->Enable(rules_.ExportEnabled());
    Layout();
    RenewTabOrder(this);
    if (IsShown())
        host_.RelayoutPanels();
}

void Input_Type_Dialog::ResetActionList(size_t r)
{
    wxChoice* action = rows_[r].action;
    action->Clear();
    actionCodeTable_[r][0] = ACTION_UNUSED;
    action->Append("Unused", &actionCodeTable_[r][0]);
    action->SetSelection(0);
}

size_t Input_Type_Dialog::OfferActions(size_t r, uint8_t destination)
{
    ResetActionList(r);
    const std::vector<ActionEntry> actions = GetActions(host_.Registry().TypeAtAddress(destination));
    size_t k = 0;
    for (; k < actions.size() && k + 1 < INPUT8_ACTION_ENTRIES; ++k) {
        actionCodeTable_[r][k + 1] = actions[k].code;
        rows_[r].action->Append(actions[k].name, &actionCodeTable_[r][k + 1]);
    }
    return k;
}

void Input_Type_Dialog::DestroyParameterControls(Row& row)
{
    row.parameters.Clear();
}

void Input_Type_Dialog::ShowFreeText(Row& row)
{
    row.content->Show(row.parameterArea, false);
    row.freeText->ChangeValue(wxEmptyString);
    row.content->Show(row.freeTextArea, true);
}

void Input_Type_Dialog::LayoutRow(const Row& row)
{
    row.line->Layout();
    // Its free text or its parameters, whichever are shown now, are reached by Tab.
    RenewTabOrder(row.line->GetStaticBox());
}

void Input_Type_Dialog::LayoutRowsArea()
{
    rowsArea_->GetSizer()->Layout();
    rowsArea_->FitInside();
    Layout();
}

void Input_Type_Dialog::ClearInput8Panel()
{
    nameField_->ChangeValue(wxEmptyString);
    destinationCount_ = 1;
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        Row& row = rows_[r];
        row.change->SetSelection(int(ChangeType::Change));
        row.input->SetSelection(0);
        row.destination->Clear();
        row.destination->Append("Unused", &destinationTable_[0]);
        row.destination->SetSelection(0);
        ResetActionList(r);
        DestroyParameterControls(row);
        ShowFreeText(row);
        LayoutRow(row);
    }
    LayoutRowsArea();
    // A configuration shown anew starts at its first row.
    rowsArea_->Scroll(0, 0);
}

// Every record but the Input8s, in registry order, as long as the table has room.
void Input_Type_Dialog::FillDestinations()
{
    const DeviceRegistry& registry = host_.Registry();
    if (registry.Count() <= 1)
        return;
    for (size_t i = 0; i < registry.Count() && destinationCount_ < INPUT8_DESTINATION_ENTRIES; ++i) {
        const DeviceRecord& record = registry.Record(i);
        if (record.typeCode == TYPE_INPUT8)
            continue;
        uint8_t& entry = destinationTable_[destinationCount_++];
        entry = record.address;
        const wxString label = wxString::Format(" %s  @ %d ", ToWx(record.name), int(record.address));
        for (Row& row : rows_)
            row.destination->Append(label, &entry);
    }
}

void Input_Type_Dialog::ApplyInput8Image(const uint8_t* image)
{
    ApplyInput8Image(DecodeInput8Image(image));
}

void Input_Type_Dialog::ApplyInput8Image(const Input8Config& config)
{
    // No is "cancel loading": the device's configuration is then not shown at all.
    const std::vector<size_t> missing = FindMissingLinks(config, TypeAt());
    if (!missing.empty() && AskLinkQuestion(host_.GetServices().prompts) != Answer::Yes) {
        ShowNotLoaded();
        return;
    }
    const Input8Config intended = ShowConfig(config, missing);
    rules_.DeviceRead(config, intended, ShownConfig());
    ShowRulesState();
}

bool Input_Type_Dialog::ImportInput8Image(const Input8Config& config)
{
    // No keeps the panel as it was: an import is the user's choice, not what the device holds.
    const std::vector<size_t> missing = FindMissingLinks(config, TypeAt());
    if (!missing.empty() && AskLinkQuestion(host_.GetServices().prompts) != Answer::Yes)
        return false;
    const Input8Config intended = ShowConfig(config, missing);
    rules_.Imported(intended, ShownConfig());
    ShowRulesState();
    return true;
}

bool Input_Type_Dialog::HasUnsavedEdits() const
{
    // A wrong value typed may code as the value shown before: it is an edit all
    // the same. A wrong value as the device holds it is not.
    return rules_.RowsShown() && (FirstWrongParameter(true) || rules_.HasUnsavedEdits(ShownConfig()));
}

std::string Input_Type_Dialog::EditedDeviceLabel() const
{
    return DeviceLabel();
}

bool Input_Type_Dialog::SaveUnsavedEdits()
{
    return SaveToDevice(true);
}

// Yes to the link question unlinks the rows in unlinked and keeps the
// destination lists, even when nothing else is left.
Input8Config Input_Type_Dialog::ShowConfig(const Input8Config& config, const std::vector<size_t>& unlinked)
{
    ClearInput8Panel();
    FillDestinations();
    nameField_->ChangeValue(ToWx(config.name));
    if (const DeviceRecord* record = host_.Registry().SelectedRecord())
        SetStatus("Firmware Ver: " + ToWx(FirmwareText(*record)));
    for (size_t r = 0; r < INPUT8_ROWS; ++r)
        ShowRow(r, config.rows[r]);
    for (size_t r : unlinked) {
        Row& row = rows_[r];
        row.action->SetSelection(0);
        DestroyParameterControls(row);
        ShowFreeText(row);
        LayoutRow(row);
    }
    LayoutRowsArea();
    host_.RelayoutPanels();
    return ApplyLinkChoice(config, unlinked, LinkChoice::RemoveMissingLinks, TypeAt());
}

void Input_Type_Dialog::ShowRow(size_t r, const InputRow& stored)
{
    Row& row = rows_[r];
    SelectStored(row.change, unsigned(stored.change));
    SelectStored(row.input, stored.input);
    int destination = 0;
    for (size_t k = 0; k < destinationCount_; ++k)
        if (destinationTable_[k] == stored.destination) {
            destination = int(k);
            break;
        }
    row.destination->SetSelection(destination);
    row.freeText->ChangeValue(ToWx(DecodeParameters(ACTION_UNUSED, stored.parameters).freeText));
    if (stored.action == ACTION_UNUSED) {
        ResetActionList(r);
        return;
    }
    const size_t offered = OfferActions(r, stored.destination);
    for (size_t k = 1; k <= offered; ++k)
        if (actionCodeTable_[r][k] == stored.action) {
            row.action->SetSelection(int(k));
            break;
        }
    BuildParameterControls(r, stored.action, &stored.parameters, false);
}

void Input_Type_Dialog::BuildParameterControls(size_t r, uint16_t action, const ParameterBytes* parameters,
                                               bool showHint)
{
    Row& row = rows_[r];
    const std::optional<ParamSpec> spec = GetParamSpec(action);
    if (!spec) {
        ShowFreeText(row);
        LayoutRow(row);
        LayoutRowsArea();
        return;
    }

    row.content->Show(row.freeTextArea, false);
    std::optional<ParameterValues> values;
    if (parameters)
        values = DecodeParameters(action, *parameters);
    row.parameters.Build(row.line->GetStaticBox(), ID_INPUT8_PARAMETER_BASE + int(r), r + 1, *spec, values,
                         [this, r](size_t j) { ParameterTyped(r, j); });
    row.parameters.AddTo(*row.parameterArea, ITEM_BORDER);

    const int number = int(r) + 1;
    if (spec->spinCount + spec->textCount == 0)
        SetStatus(wxString::Format("Row %d: No Parameters for this Action", number));
    else
        SetStatus(wxString::Format("Row %d:Action Parameters updated", number));
    if (showHint)
        SetStatus(wxString::Format("Row %d:", number) + spec->label);
    row.content->Show(row.parameterArea, true);
    LayoutRow(row);
    LayoutRowsArea();
}

void Input_Type_Dialog::ParameterTyped(size_t r, size_t j)
{
    ParameterFields& fields = rows_[r].parameters;
    if (j >= fields.Count())
        return;
    fields.Mark(j);
    if (!fields.Fits(j)) {
        ShowRefusal(r, j);
        return;
    }
    // A refusal on the status line holds only while some value is still wrong.
    if (statusIsRefusal_) {
        const std::optional<std::pair<size_t, size_t>> wrong = FirstWrongParameter();
        if (wrong)
            ShowRefusal(wrong->first, wrong->second);
        else
            SetStatus(wxEmptyString);
    }
}

std::string Input_Type_Dialog::ShowRefusal(size_t r, size_t j)
{
    const std::string refusal = rows_[r].parameters.Refusal(j);
    SetStatus(ToWx(refusal));
    statusIsRefusal_ = true;
    return refusal;
}

std::optional<std::pair<size_t, size_t>> Input_Type_Dialog::FirstWrongParameter(bool typedOnly) const
{
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        // Values left behind a destination change are not stored.
        if (!GetParamSpec(SelectedValue<uint16_t>(rows_[r].action)))
            continue;
        if (const std::optional<size_t> j = rows_[r].parameters.FirstWrong(typedOnly))
            return std::make_pair(r, *j);
    }
    return std::nullopt;
}

bool Input_Type_Dialog::ParametersInRange(const char* caption)
{
    const std::optional<std::pair<size_t, size_t>> wrong = FirstWrongParameter();
    if (!wrong)
        return true;
    const auto [r, j] = *wrong;
    const std::string refusal = ShowRefusal(r, j);
    rows_[r].parameters.Focus(j, rowsArea_);
    host_.GetServices().prompts.Message(caption, refusal, Buttons::Ok, Icon::Exclamation);
    return false;
}

Input8Config Input_Type_Dialog::BuildInput8Config() const
{
    return rules_.ToStore(ShownConfig());
}

Input8Config Input_Type_Dialog::ShownConfig() const
{
    Input8Config config;
    // What the device will store: ISO 8859-1, '?' for any other character.
    config.name = Latin1ToUtf8(Utf8ToLatin1(FromWx(nameField_->GetValue())));
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        const Row& row = rows_[r];
        InputRow& stored = config.rows[r];
        // No selection (a stored value beyond the entries) is kept as 255.
        stored.input = uint8_t(row.input->GetSelection());
        stored.change = ChangeType(uint8_t(row.change->GetSelection()));
        stored.destination = SelectedValue<uint8_t>(row.destination);
        stored.action = SelectedValue<uint16_t>(row.action);

        ParameterValues values;
        if (GetParamSpec(stored.action)) {
            values = row.parameters.Values();
        } else {
            values.freeText = FromWx(row.freeText->GetValue());
        }
        stored.parameters = EncodeParameters(stored.action, values);
    }
    return config;
}

std::vector<uint8_t> Input_Type_Dialog::BuildInput8Image(ImageForm form) const
{
    return EncodeInput8Image(BuildInput8Config(), form);
}

void Input_Type_Dialog::OnSaveToDevice(wxCommandEvent&)
{
    SaveToDevice(true);
}

bool Input_Type_Dialog::SaveToDevice(bool rediscover)
{
    // What an earlier save or refusal said no longer holds.
    SetStatus(wxEmptyString);
    if (!rules_.SaveEnabled() || !ParametersInRange(" Config Not Saved ") || !host_.BusReady())
        return false;
    Services& services = host_.GetServices();
    WriteResult result = WriteResult::Failed;
    bool readBackShown = false;
    {
        BusWork work(this);
        result = SaveInput8Config(BuildInput8Config(), address_, services, [&](const ReadOutcome& readBack) {
            readBackShown = true;
            ApplyInput8Image(readBack.buffer.data());
        });
    }
    if (!readBackShown) {
        rules_.SaveNotReadBack();
        ShowRulesState();
    }
    const PanelSaveResult saveResult = PanelSaveResultOf(result);
    const PanelSaveWords words = PanelSaveOutcome(SavedKind::Input8, saveResult, DeviceLabel(),
                                                  host_.Registry().SelectedRecord(), rediscover);
    SetStatus(wxGetTranslation(ToWx(words.statusLine)));
    if (saveResult == PanelSaveResult::Saved)
        statusIsSaved_ = true;
    if (ReportPanelSave(words, services.prompts))
        host_.DiscoverDevices(BROADCAST_ADDRESS);
    return saveResult == PanelSaveResult::Saved;
}

void Input_Type_Dialog::OnExportToPc(wxCommandEvent&)
{
    if (!rules_.ExportEnabled() || !ParametersInRange(" Config Not Exported "))
        return;
    ExportInput8Config(BuildInput8Config(), host_.GetServices().prompts, host_.GetServices().log);
}

void Input_Type_Dialog::OnImportFromPc(wxCommandEvent&)
{
    Prompts& prompts = host_.GetServices().prompts;
    // A save at the question keeps this panel for its device: the import follows.
    EditsSavedInPlace edits(*this, [this] { return SaveToDevice(false); });
    const std::optional<Input8Config> config = ImportOverEdits<Input8Config>(edits, prompts, ImportInput8Config);
    if (!config || !ImportInput8Image(*config))
        return;
    ShowInput8Loaded(prompts);
}

void Input_Type_Dialog::OnStartEmpty(wxCommandEvent&)
{
    if (host_.GetServices().prompts.MessageBox(StartEmptyQuestion(DeviceLabel())) != Answer::Yes)
        return;
    // The destinations are offered as after a read, so that the rows can be filled.
    ShowConfig(Input8Config{}, {});
    rules_.StartedEmpty(ShownConfig());
    SetStatus(_("Empty configuration: not saved yet"));
    ShowRulesState();
}

void Input_Type_Dialog::OnDestinationChanged(wxCommandEvent& event)
{
    const size_t r = size_t(event.GetId() - ID_INPUT8_DESTINATION_BASE);
    if (r >= INPUT8_ROWS)
        return;
    Row& row = rows_[r];
    const size_t offered = OfferActions(r, SelectedValue<uint8_t>(row.destination));
    const int number = int(r) + 1;
    SetStatus(offered == 0 ? wxString::Format("Row %d: No Actions in List ", number)
                           : wxString::Format("Row %d: Actions List updated", number));
    ShowFreeText(row);
    LayoutRow(row);
    LayoutRowsArea();
}

void Input_Type_Dialog::OnActionChanged(wxCommandEvent& event)
{
    const size_t r = size_t(event.GetId() - ID_INPUT8_ACTION_BASE);
    if (r >= INPUT8_ROWS)
        return;
    Row& row = rows_[r];
    const uint16_t action = SelectedValue<uint16_t>(row.action);
    if (action == ACTION_UNUSED) {
        ShowFreeText(row);
        LayoutRow(row);
        LayoutRowsArea();
        SetStatus(wxString::Format("Row %d: No Action Selected ", int(r) + 1));
        return;
    }
    BuildParameterControls(r, action, nullptr, true);
}

}  // namespace orv
