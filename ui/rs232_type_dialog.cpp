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
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wrapsizer.h>
#include <wx/utils.h>

#include "config/rs232_build.h"
#include "config/rs232_files.h"
#include "config/rs232_transfer.h"
#include "link/bus_link.h"
#include "link/commands.h"
#include "model/parameter_text.h"
#include "panel_rules/device_label.h"
#include "panel_rules/panel_save.h"
#include "panel_rules/rs232_destinations.h"
#include "resources/embedded.h"
#include "services/log.h"
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

const wxColour BLUE(0, 0, 255);
const wxColour RED(255, 0, 0);

constexpr int ITEM_BORDER = 2;
constexpr int ROW_NUMBER_WIDTH = 20;
// Under GTK a choice needs about 25 pixels beside its text, so "ASCII" needs
// more than 50 to be read; the header's "Type:" follows the column.
constexpr int TYPE_WIDTH = 75;
constexpr int STRING_WIDTH = 175;
// The narrowest destination and action choices; wider where an entry needs it.
constexpr int CHOICE_WIDTH = 125;
constexpr int COMMAND_WIDTH = 100;
constexpr int TEST_WIDTH = 75;
constexpr int DELETE_WIDTH = 33;
constexpr int STATUS_WIDTH = 200;
constexpr int BUTTON_WIDTH = 150;
// The rows area is never lower than the header and this many rows.
constexpr int MIN_VISIBLE_ROWS = 3;

constexpr const char* UNLISTED_DESTINATION = " Not connected  @ %d ";

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
    // The width asked for, or more where the bold text needs it.
    label->SetInitialSize(wxSize(std::max(width, label->GetTextExtent(text).x), -1));
    if (colour)
        label->SetForegroundColour(*colour);
    return label;
}

// The row position a control of a row range stands for.
size_t RowOf(const wxCommandEvent& event, int base)
{
    return size_t(event.GetId() - base);
}

// Every action of the catalogue, whichever kind offers it.
std::vector<ActionEntry> CatalogueActions()
{
    std::vector<ActionEntry> actions;
    for (uint8_t kind : {TYPE_INPUT8, TYPE_RS232, TYPE_LED4PD, TYPE_RELAY})
        for (const ActionEntry& entry : GetActions(kind))
            actions.push_back(entry);
    return actions;
}

std::string ActionName(uint16_t action)
{
    for (const ActionEntry& entry : CatalogueActions())
        if (entry.code == action)
            return entry.name;
    return StrF("Action %d", int(action));
}

// The width at which choice shows the longest of entries whole.
int ChoiceWidthFor(wxChoice* choice, const std::vector<wxString>& entries)
{
    int text = 0;
    for (const wxString& entry : entries)
        text = std::max(text, choice->GetTextExtent(entry).x);
    return std::max(CHOICE_WIDTH, choice->GetSizeFromTextSize(text).x);
}

std::vector<wxString> Entries(const wxChoice* choice)
{
    std::vector<wxString> entries;
    for (unsigned i = 0; i < choice->GetCount(); ++i)
        entries.push_back(choice->GetString(i));
    return entries;
}

int HorizontalFrame(wxStaticBox* box)
{
    int top = 0;
    int other = 0;
    box->GetBordersForSizer(&top, &other);
    return 2 * other;
}

// A line of a row or of the headings: the tail follows the head on the first
// line when room allows both, else it takes the second line, where it starts
// under the head's third column (the string).
void PlaceTail(wxBoxSizer* firstLine, wxBoxSizer* secondLine, wxBoxSizer* head, wxBoxSizer* tail, int room)
{
    const bool fits = head->CalcMin().x + tail->CalcMin().x <= room;
    wxBoxSizer* target = fits ? firstLine : secondLine;
    if (target->GetItem(tail))
        return;
    (fits ? secondLine : firstLine)->Detach(tail);
    if (!fits) {
        const int indent = head->GetItem(size_t(0))->GetMinSizeWithBorder().x +
                           head->GetItem(size_t(1))->GetMinSizeWithBorder().x;
        secondLine->GetItem(size_t(0))->AssignSpacer(indent, 0);
    }
    target->Add(tail, 0, wxALIGN_CENTER_VERTICAL);
}

// The two lines of a row or of the headings; the second starts with the
// indent spacer and, while it holds no tail, takes no height.
void AddLines(wxSizer* parent, wxBoxSizer*& firstLine, wxBoxSizer*& secondLine, wxBoxSizer* head,
              wxBoxSizer* tail)
{
    firstLine = new wxBoxSizer(wxHORIZONTAL);
    secondLine = new wxBoxSizer(wxHORIZONTAL);
    firstLine->Add(head, 0, wxALIGN_CENTER_VERTICAL);
    firstLine->Add(tail, 0, wxALIGN_CENTER_VERTICAL);
    secondLine->AddSpacer(0);
    parent->Add(firstLine, 0, 0);
    parent->Add(secondLine, 0, 0);
}

}  // namespace

wxBEGIN_EVENT_TABLE(RS232_Type_Dialog, wxPanel)
    EVT_BUTTON(ID_RS232_SAVE, RS232_Type_Dialog::OnSaveToDevice)
    EVT_BUTTON(ID_RS232_NEW_ROW, RS232_Type_Dialog::OnNewRow)
    EVT_BUTTON(ID_RS232_EXPORT, RS232_Type_Dialog::OnExport)
    EVT_BUTTON(ID_RS232_IMPORT, RS232_Type_Dialog::OnImport)
    EVT_BUTTON(ID_RS232_START_EMPTY, RS232_Type_Dialog::OnStartEmpty)
    EVT_COMMAND_RANGE(ID_RS232_ROW_DESTINATION, ID_RS232_ROW_DESTINATION + RS232_ROW_ID_SPAN - 1, wxEVT_CHOICE,
                      RS232_Type_Dialog::OnDestinationChanged)
    EVT_COMMAND_RANGE(ID_RS232_ROW_ACTION, ID_RS232_ROW_ACTION + RS232_ROW_ID_SPAN - 1, wxEVT_CHOICE,
                      RS232_Type_Dialog::OnActionChanged)
    EVT_COMMAND_RANGE(ID_RS232_ROW_DELETE, ID_RS232_ROW_DELETE + RS232_ROW_ID_SPAN - 1, wxEVT_BUTTON,
                      RS232_Type_Dialog::OnDeleteRow)
    EVT_COMMAND_RANGE(ID_RS232_ROW_TEST, ID_RS232_ROW_TEST + RS232_ROW_ID_SPAN - 1, wxEVT_BUTTON,
                      RS232_Type_Dialog::OnTestString)
    EVT_COMMAND_RANGE(ID_RS232_ROW_STRING, ID_RS232_ROW_STRING + RS232_ROW_ID_SPAN - 1, wxEVT_TEXT,
                      RS232_Type_Dialog::OnStringEdited)
    EVT_COMMAND_RANGE(ID_RS232_ROW_TYPE, ID_RS232_ROW_TYPE + RS232_ROW_ID_SPAN - 1, wxEVT_CHOICE,
                      RS232_Type_Dialog::OnStringEdited)
wxEND_EVENT_TABLE()

RS232_Type_Dialog::RS232_Type_Dialog(PanelHost& host, wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel"), host_(host)
{
    std::copy(BaudRateTable.begin(), BaudRateTable.end(), rateTable_.begin());

    // The box's controls are its siblings: inside it GTK hands them its bold font.
    auto* boxSizer =
        AddPanelFrame(this, _("RS232 Type Configuration "), wxSize(820, 545), wxLEFT | wxRIGHT | wxBOTTOM);

    // On a narrow page what does not fit goes to a second line instead of past the edge.
    auto* topLine = new wxWrapSizer(wxHORIZONTAL);
    boxSizer->Add(topLine, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    topLine->Add(Label(this, _("Name: "), 50, 10, nullptr, wxALIGN_RIGHT), 0, wxALIGN_CENTER_VERTICAL | wxALL,
                 ITEM_BORDER);
    nameField_ = new wxTextCtrl(this, ID_RS232_NAME, "", wxDefaultPosition, wxSize(150, -1));
    nameField_->SetMaxLength(RS232_NAME_LENGTH);
    topLine->Add(nameField_, 0, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);
    topLine->Add(Label(this, _("Baud Rate: "), 100, 10, nullptr, wxALIGN_RIGHT), 0, wxALIGN_CENTER_VERTICAL | wxALL,
                 ITEM_BORDER);
    rateChoice_ = new wxChoice(this, ID_RS232_RATE, wxDefaultPosition, wxSize(100, -1));
    for (size_t i = 0; i < BaudRateTable.size(); ++i)
        rateChoice_->Append(wxString::Format("%d", int(rateTable_[i])), &rateTable_[i]);
    rateChoice_->SetSelection(0);
    // The wheel never changes the rate (GTK would select the next one).
    rateChoice_->Bind(wxEVT_MOUSEWHEEL, [](wxMouseEvent&) {});
    topLine->Add(rateChoice_, 0, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);
    topLine->Add(20, 5, 0, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);
    newRowButton_ = new wxBitmapButton(this, ID_RS232_NEW_ROW, Picture(NewRowPng()), wxDefaultPosition,
                                       wxSize(145, -1));
    topLine->Add(newRowButton_, 0, wxALIGN_CENTER | wxALL, 5);
    statusLabel_ = new wxStaticText(this, wxID_STATIC, _("RS232 config. loaded"), wxDefaultPosition,
                                    wxSize(STATUS_WIDTH, -1), wxALIGN_RIGHT, "statusLabel");
    statusLabel_->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    statusLabel_->SetForegroundColour(RED);
    topLine->Add(statusLabel_, 0, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);

    notice_ = new wxBoxSizer(wxHORIZONTAL);
    boxSizer->Add(notice_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);
    noticeText_ = new wxStaticText(this, wxID_STATIC, "", wxDefaultPosition, wxDefaultSize, 0, "notLoadedNotice");
    noticeText_->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    noticeText_->SetForegroundColour(RED);
    notice_->Add(noticeText_, 1, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);
    auto* startEmpty = new wxButton(this, ID_RS232_START_EMPTY, wxGetTranslation(START_EMPTY_LABEL));
    startEmpty->SetToolTip(wxGetTranslation(START_EMPTY_TIP));
    notice_->Add(startEmpty, 0, wxALIGN_CENTER_VERTICAL | wxALL, ITEM_BORDER);

    auto* notebook = new wxNotebook(this, ID_RS232_NOTEBOOK, wxDefaultPosition, wxSize(780, 550), wxNB_TOP);
    auto* icons = new wxImageList(32, 32);
    icons->Add(Picture(NotebookIcon0Png()));
    icons->Add(Picture(NotebookIcon1Png()));
    notebook->AssignImageList(icons);
    // The rows area takes the height the fixed lines around it leave.
    boxSizer->Add(notebook, 1, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 5);

    // Scrolls sideways only when the page is narrower than a row's head. The
    // notebook gives the page its size: one given here would stay the least
    // height GTK lets the notebook have.
    rowsPage_ = new wxScrolledWindow(notebook, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxVSCROLL | wxHSCROLL | wxTAB_TRAVERSAL);
    rowsPage_->SetScrollRate(10, 10);
    rowsPage_->Bind(wxEVT_SIZE, &RS232_Type_Dialog::OnPageSize, this);
    rowsSizer_ = new wxBoxSizer(wxVERTICAL);
    rowsPage_->SetSizer(rowsSizer_);
    RowsPage::Attach(rowsPage_);

    // The "#:" heading reaches as far as a row's number, which its frame moves right.
    wxStaticBox* frame = boxSizer->GetStaticBox();
    const int numberHeading = ROW_NUMBER_WIDTH + HorizontalFrame(frame) / 2 - ITEM_BORDER;
    const int headingFlags = wxALIGN_CENTER_VERTICAL | wxALL;
    headerHead_ = new wxBoxSizer(wxHORIZONTAL);
    headerHead_->Add(Label(rowsPage_, _("#:"), numberHeading, 10, &BLUE), 0, headingFlags, ITEM_BORDER);
    headerHead_->Add(Label(rowsPage_, _("Type:"), TYPE_WIDTH, 10, &BLUE), 0, headingFlags, ITEM_BORDER);
    headerHead_->Add(Label(rowsPage_, _("String:"), STRING_WIDTH, 8, &BLUE), 0, headingFlags, ITEM_BORDER);
    destinationHeading_ = Label(rowsPage_, _("Destination:"), CHOICE_WIDTH, 8, &BLUE);
    headerHead_->Add(destinationHeading_, 0, headingFlags, ITEM_BORDER);
    actionHeading_ = Label(rowsPage_, _("Action:"), CHOICE_WIDTH, 8, &BLUE);
    headerHead_->Add(actionHeading_, 0, headingFlags, ITEM_BORDER);
    // As wide as a row's tail with its command field.
    headerTail_ = new wxBoxSizer(wxHORIZONTAL);
    headerTail_->Add(Label(rowsPage_, _("Command:"), COMMAND_WIDTH + TEST_WIDTH + DELETE_WIDTH, 8, &BLUE), 0,
                     headingFlags, ITEM_BORDER * 2);
    auto* header = new wxBoxSizer(wxVERTICAL);
    AddLines(header, headerFirstLine_, headerSecondLine_, headerHead_, headerTail_);
    rowsSizer_->Add(header, 0, wxLEFT | wxRIGHT | wxBOTTOM, ITEM_BORDER);
    notebook->AddPage(rowsPage_, "RS232 STRINGS CONFIG", false, 0);

    // At its smallest the page still shows the headings and a few rows, each
    // on two lines, as narrow rows are.
    int frameTop = 0;
    int frameOther = 0;
    frame->GetBordersForSizer(&frameTop, &frameOther);
    const int lineHeight = rateChoice_->GetBestSize().y + 2 * ITEM_BORDER;
    const int rowHeight = frameTop + frameOther + 2 * lineHeight;
    const wxSize pageMinimum(headerHead_->CalcMin().x + 2 * frameOther,
                             header->CalcMin().y + ITEM_BORDER + MIN_VISIBLE_ROWS * rowHeight);
    rowsPage_->SetMinSize(pageMinimum);
    notebook->SetMinSize(notebook->CalcSizeFromPage(pageMinimum));

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    boxSizer->Add(buttons, 0, wxALIGN_CENTER_HORIZONTAL | wxTOP | wxBOTTOM, 5);
    saveButton_ = new wxButton(this, ID_RS232_SAVE, "Save to Device", wxDefaultPosition, wxSize(BUTTON_WIDTH, -1));
    saveButton_->SetToolTip("Save the changes made to Orvanta Device");
    buttons->Add(saveButton_, 0, wxALL, 5);
    exportButton_ = new wxButton(this, ID_RS232_EXPORT, "Export to PC", wxDefaultPosition, wxSize(BUTTON_WIDTH, -1));
    exportButton_->SetToolTip("Export configuration to use later for this device ");
    buttons->Add(exportButton_, 0, wxALL, 5);
    buttons->Add(new wxButton(this, ID_RS232_IMPORT, "Import From PC", wxDefaultPosition, wxSize(BUTTON_WIDTH, -1)),
                 0, wxALL, 5);

    // The size the main dialog gives is the first look; the sizer says how small the panel may get.
    SetMinSize(wxDefaultSize);
    // Nothing is loaded until the main dialog reads a device.
    EnableEditing();
}

bool RS232_Type_Dialog::ReadFromDevice()
{
    const RS232ReadOutcome read = ReadRS232Config(address_, false, host_.GetServices());
    // Nothing of the RS232 shown before, nor an empty configuration, may be
    // taken for this one's and saved into it.
    if (read.result != RS232ReadResult::Shown) {
        ShowNotLoaded();
        return read.result == RS232ReadResult::Cleared;
    }
    // Rows linked to a device not on the list keep their links, shown as " Not connected @ N ".
    ApplyRS232Image(read.config);
    rules_.DeviceRead(read.config, PanelConfig());
    EnableEditing();
    return true;
}

RS232Config RS232_Type_Dialog::PanelConfig() const
{
    RS232Config config;
    config.name = FromWx(nameField_->GetValue());
    const int rate = rateChoice_->GetSelection();
    config.baudRate = rate == wxNOT_FOUND ? BaudRateTable[0]
                                          : *static_cast<const uint32_t*>(rateChoice_->GetClientData(unsigned(rate)));
    for (const auto& row : rows_)
        config.rows.push_back(RowConfig(*row));
    return config;
}

bool RS232_Type_Dialog::HasUnsavedEdits() const
{
    return rules_.HasUnsavedEdits(PanelConfig());
}

std::string RS232_Type_Dialog::EditedDeviceLabel() const
{
    return PanelDeviceLabel(host_.Registry(), address_, TYPE_RS232, "ORV-RS232");
}

bool RS232_Type_Dialog::SaveUnsavedEdits()
{
    // The caller goes on to another device, a discovery or the end of the program.
    return Save(false);
}

void RS232_Type_Dialog::ShowNotLoaded()
{
    ClearRS232Rows();
    nameField_->ChangeValue("");
    SelectRate(BaudRateTable[0]);
    rules_.NotLoaded();
    noticeText_->SetLabel(ToWx(StrF("The configuration of %s was not loaded.\nImport it from a file, or start "
                                    "from an empty configuration.",
                                    EditedDeviceLabel().c_str())));
    ShowStatus("Config. not loaded");
    EnableEditing();
    RelayoutRows();
    host_.RelayoutPanels();
}

void RS232_Type_Dialog::EnableEditing()
{
    const bool editing = rules_.EditingEnabled();
    for (wxWindow* control : {static_cast<wxWindow*>(nameField_), static_cast<wxWindow*>(rateChoice_),
                              newRowButton_, saveButton_, exportButton_})
        control->Enable(editing);
    GetSizer()->Show(notice_, !editing, true);
    for (size_t r = 0; r < rows_.size(); ++r)
        EnableTestButton(r);
    Layout();
    RenewTabOrder(this);
}

void RS232_Type_Dialog::AddRS232Row()
{
    const size_t r = rows_.size();
    const int offset = int(r);
    rows_.push_back(std::make_unique<Row>());
    Row& row = *rows_.back();
    row.actionCodeTable[0] = ACTION_UNUSED;

    row.line = new wxStaticBoxSizer(wxVERTICAL, rowsPage_, "");
    wxStaticBox* box = row.line->GetStaticBox();
    const int flags = wxALIGN_CENTER_VERTICAL | wxALL;

    row.head = new wxBoxSizer(wxHORIZONTAL);
    row.head->Add(Label(box, wxString::Format("%d:", offset + 1), ROW_NUMBER_WIDTH, 10, &BLUE), 0, flags,
                  ITEM_BORDER);
    row.type = new wxChoice(box, ID_RS232_ROW_TYPE + offset, wxDefaultPosition, wxSize(TYPE_WIDTH, -1));
    row.head->Add(row.type, 0, flags, ITEM_BORDER);
    row.text = new wxTextCtrl(box, ID_RS232_ROW_STRING + offset, "", wxDefaultPosition, wxSize(STRING_WIDTH, -1));
    row.text->SetMaxLength(RS232_STRING_LENGTH);
    row.text->SetForegroundColour(BLUE);
    row.text->SetToolTip("String to Send or Compare (HEX: space padded 2 chars only eg. 02 FE A1)");
    row.head->Add(row.text, 0, flags, ITEM_BORDER);
    row.destination =
        new wxChoice(box, ID_RS232_ROW_DESTINATION + offset, wxDefaultPosition, wxSize(CHOICE_WIDTH, -1));
    row.destination->SetToolTip("All found Orvanta devices available (selection may change Actions listed)");
    row.head->Add(row.destination, 0, flags, ITEM_BORDER);
    row.action = new wxChoice(box, ID_RS232_ROW_ACTION + offset, wxDefaultPosition, wxSize(CHOICE_WIDTH, -1));
    row.action->SetToolTip("All available actions for selected Destination");
    row.head->Add(row.action, 0, flags, ITEM_BORDER);

    row.tail = new wxBoxSizer(wxHORIZONTAL);
    row.paramSizer = new wxBoxSizer(wxHORIZONTAL);
    row.tail->Add(row.paramSizer, 0, flags, ITEM_BORDER);
    row.commandSizer = new wxBoxSizer(wxHORIZONTAL);
    row.command = new wxTextCtrl(box, ID_RS232_ROW_COMMAND + offset, "", wxDefaultPosition, wxSize(COMMAND_WIDTH, -1));
    row.command->SetMaxLength(RS232_COMMAND_LENGTH);
    row.command->SetToolTip("Enter command (upto 8 characters)");
    row.commandSizer->Add(row.command, 0, flags, ITEM_BORDER);
    row.tail->Add(row.commandSizer, 0, flags, ITEM_BORDER);
    row.test = new wxButton(box, ID_RS232_ROW_TEST + offset, "Test String", wxDefaultPosition, wxSize(TEST_WIDTH, -1));
    row.test->SetToolTip("Sends String as output on RS232");
    row.tail->Add(row.test, 0, wxALIGN_CENTER, 0);
    auto* remove = new wxBitmapButton(box, ID_RS232_ROW_DELETE + offset, Picture(DeleteRowPng()),
                                      wxDefaultPosition, wxSize(DELETE_WIDTH, -1));
    remove->SetToolTip("Delete this row");
    row.tail->Add(remove, 0, wxALIGN_CENTER, 0);

    AddLines(row.line, row.firstLine, row.secondLine, row.head, row.tail);
    // Every row's frame spans the page, whatever its controls take.
    rowsSizer_->Add(row.line, 0, wxEXPAND);

    row.tail->Hide(row.paramSizer);
    row.test->Disable();

    const std::vector<DestinationEntry> destinations = RS232DestinationEntries(host_.Registry());
    for (size_t i = 0; i < destinations.size() && i + 1 < row.destinationTable.size(); ++i) {
        row.destinationTable[i] = destinations[i].address;
        row.destination->Append(ToWx(destinations[i].label), &row.destinationTable[i]);
    }
    row.destination->SetSelection(0);
    row.destinationWidth = ChoiceWidthFor(row.destination, Entries(row.destination));

    row.action->Append("Unused", &row.actionCodeTable[0]);
    row.action->SetSelection(0);
    if (actionWidth_ == 0) {
        std::vector<wxString> names{"Unused"};
        for (const ActionEntry& entry : CatalogueActions())
            names.push_back(ToWx(entry.name));
        actionWidth_ = ChoiceWidthFor(row.action, names);
    }
    row.type->Append("Hex", &typeValues_[0]);
    row.type->Append("ASCII", &typeValues_[1]);
    row.type->SetSelection(1);
}

void RS232_Type_Dialog::SelectDestination(size_t r, uint8_t destination)
{
    Row& row = *rows_[r];
    const unsigned count = row.destination->GetCount();
    for (unsigned i = 0; i < count; ++i)
        if (row.destinationTable[i] == destination) {
            row.destination->SetSelection(int(i));
            return;
        }
    row.destinationTable[count] = destination;
    row.destination->Append(ToWx(StrF(UNLISTED_DESTINATION, int(destination))), &row.destinationTable[count]);
    row.destination->SetSelection(int(count));
    row.destinationWidth = ChoiceWidthFor(row.destination, Entries(row.destination));
}

void RS232_Type_Dialog::ApplyDestination(size_t r, uint8_t destination, uint16_t action)
{
    Row& row = *rows_[r];
    std::vector<ActionEntry> actions = GetActions(host_.Registry().TypeAtAddress(destination));
    const bool offered = std::any_of(actions.begin(), actions.end(),
                                     [&](const ActionEntry& entry) { return entry.code == row.keptAction; });
    const std::string keptName = ActionName(row.keptAction);
    if (destination == row.keptDestination && row.keptAction != ACTION_UNUSED && !offered)
        actions.push_back({row.keptAction, keptName.c_str()});
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
        return;
    }

    row.tail->Hide(row.commandSizer);
    row.command->ChangeValue("");
    std::optional<ParameterValues> values;
    if (stored)
        values = ParameterValues{stored->spinValues, stored->freeTexts, ""};
    row.parameters.Build(row.line->GetStaticBox(), ID_RS232_ROW_PARAMS + int(r), r + 1, *spec, values,
                         [this, r](size_t j) { OnParameterEdited(r, j); });
    row.parameters.AddTo(*row.paramSizer, ITEM_BORDER);
    // Tab follows the screen: the parameters after the action, Test String and delete last.
    for (wxTextCtrl* field : row.parameters.Fields())
        field->MoveBeforeInTabOrder(row.command);
    ShowStatus(ToWx(StrF("%d: ", int(r + 1)) + spec->label));
    row.tail->Show(row.paramSizer);
    row.paramSizer->Layout();
    row.line->Layout();
}

void RS232_Type_Dialog::ShowCommandField(size_t r)
{
    Row& row = *rows_[r];
    // No parameter control stays behind, shown or not, once the action takes a command.
    row.parameters.Clear();
    row.tail->Hide(row.paramSizer);
    row.command->ChangeValue("");
    row.tail->Show(row.commandSizer);
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
    FitRowsToPage();
    FitPageToRows();
    rowsPage_->Layout();
    Layout();
    RenewTabOrder(this);
}

void RS232_Type_Dialog::FitPageToRows()
{
    // A row's frame asks GTK for the room its controls took in the last
    // layout, so the rows are laid out once as now placed (never in less
    // room than they need, which would squeeze their controls) before the
    // page learns how large they are.
    rowsPage_->FitInside();
    rowsPage_->Layout();
    for (const auto& row : rows_)
        row->line->GetStaticBox()->InvalidateBestSize();
    rowsPage_->FitInside();
}

void RS232_Type_Dialog::FitRowsToPage()
{
    int destinationWidth = CHOICE_WIDTH;
    for (const auto& row : rows_)
        destinationWidth = std::max(destinationWidth, row->destinationWidth);
    const int actionWidth = std::max(CHOICE_WIDTH, actionWidth_);
    destinationHeading_->SetMinSize(wxSize(destinationWidth, -1));
    actionHeading_->SetMinSize(wxSize(actionWidth, -1));

    // Room as if the vertical scroll bar were shown: whether it is follows
    // from the placement, and the page's size is known before its client area.
    const int page = rowsPage_->GetSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, rowsPage_);
    PlaceTail(headerFirstLine_, headerSecondLine_, headerHead_, headerTail_, page - 2 * ITEM_BORDER);
    for (const auto& row : rows_) {
        row->destination->SetMinSize(wxSize(destinationWidth, -1));
        row->action->SetMinSize(wxSize(actionWidth, -1));
        PlaceTail(row->firstLine, row->secondLine, row->head, row->tail,
                  page - HorizontalFrame(row->line->GetStaticBox()));
    }
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
        row.keptDestination = stored.destination;
        row.keptAction = stored.action;
        SelectDestination(r, stored.destination);
        ApplyDestination(r, stored.destination, stored.action);
        BuildParameterControls(stored.action, r, &stored);
        if (!GetParamSpec(stored.action))
            row.command->ChangeValue(ToWx(stored.command));
        if (stored.text.empty())
            continue;
        row.type->SetSelection(stored.type == StringType::Hex ? 0 : 1);
        row.text->ChangeValue(ToWx(stored.text));
    }
    // After the rows, whose parameter controls leave their hints in the label.
    ShowFirmwareVersion();
    RelayoutRows();
    rowsPage_->Scroll(0, 0);
    host_.RelayoutPanels();
}

RS232Row RS232_Type_Dialog::RowConfig(const Row& row) const
{
    RS232Row model;
    model.text = FromWx(row.text->GetValue());
    const int type = row.type->GetSelection();
    if (type != wxNOT_FOUND)
        model.type = *static_cast<const StringType*>(row.type->GetClientData(unsigned(type)));
    const int destination = row.destination->GetSelection();
    if (destination != wxNOT_FOUND)
        model.destination = *static_cast<const uint8_t*>(row.destination->GetClientData(unsigned(destination)));
    const int action = row.action->GetSelection();
    if (action != wxNOT_FOUND)
        model.action = *static_cast<const uint16_t*>(row.action->GetClientData(unsigned(action)));
    if (GetParamSpec(model.action)) {
        ParameterValues values = row.parameters.Values();
        model.spinValues = std::move(values.spins);
        model.freeTexts = std::move(values.texts);
    } else {
        model.command = FromWx(row.command->GetValue());
    }
    return model;
}

void RS232_Type_Dialog::EnableTestButton(size_t r)
{
    const Row& row = *rows_[r];
    row.test->Enable(rules_.Testable(r, RowConfig(row)));
}

void RS232_Type_Dialog::ShowFirmwareVersion()
{
    if (const DeviceRecord* record = host_.Registry().SelectedRecord())
        ShowStatus("Firmware Ver: " + ToWx(FirmwareText(*record)));
}

void RS232_Type_Dialog::ShowStatus(const wxString& text, StatusKind kind)
{
    statusIsRefusal_ = kind == StatusKind::Refusal;
    statusLabel_->SetLabel(text);
    // As wide as its text: a long hint or refusal then takes a line of the
    // top line of its own, whole, instead of being cut; the whole panel moves.
    statusLabel_->SetMinSize(wxSize(std::max(STATUS_WIDTH, statusLabel_->GetBestSize().GetWidth()), -1));
    Layout();
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
    Save(true);
}

std::optional<std::pair<size_t, size_t>> RS232_Type_Dialog::FirstWrongParameter() const
{
    for (size_t r = 0; r < rows_.size(); ++r)
        if (const std::optional<size_t> j = rows_[r]->parameters.FirstWrong())
            return std::make_pair(r, *j);
    return std::nullopt;
}

bool RS232_Type_Dialog::ParametersInRange(const char* caption)
{
    const std::optional<std::pair<size_t, size_t>> wrong = FirstWrongParameter();
    if (!wrong)
        return true;
    const auto [r, j] = *wrong;
    const std::string refusal = rows_[r]->parameters.Refusal(j);
    ShowStatus(ToWx(refusal), StatusKind::Refusal);
    rows_[r]->parameters.Focus(j, rowsPage_);
    host_.GetServices().prompts.Message(caption, refusal, Buttons::Ok, Icon::Exclamation);
    return false;
}

bool RS232_Type_Dialog::Save(bool rediscover)
{
    if (!rules_.EditingEnabled() || !host_.BusReady())
        return false;
    // The hints of earlier edits are no longer true.
    ShowStatus(" ");
    ShowFirmwareVersion();
    if (!ParametersInRange(" Config Not Saved "))
        return false;
    const RS232Config config = PanelConfig();
    Services& services = host_.GetServices();
    RS232SaveOutcome outcome;
    {
        BusWork work(this);
        outcome = SaveRS232Config(config, address_, services);
    }
    if (outcome.shown)
        ApplyRS232Image(*outcome.shown);
    rules_.Saved(outcome.result, outcome.shown, PanelConfig());
    EnableEditing();
    const PanelSaveResult result = PanelSaveResultOf(outcome.result);
    const PanelSaveWords words = PanelSaveOutcome(SavedKind::RS232, result, EditedDeviceLabel(),
                                                  host_.Registry().SelectedRecord(), rediscover);
    if (ReportPanelSave(words, services.prompts))
        host_.DiscoverDevices(BROADCAST_ADDRESS);
    return result == PanelSaveResult::Saved;
}

void RS232_Type_Dialog::OnNewRow(wxCommandEvent&)
{
    if (!rules_.EditingEnabled() || !CheckRoomForNewRS232Row(PanelConfig(), host_.GetServices().prompts))
        return;
    AddRS232Row();
    RelayoutRows();
    rows_.back()->text->SetFocus();
    RowsPage::ShowWindow(rowsPage_, rows_.back()->line->GetStaticBox());
}

void RS232_Type_Dialog::OnExport(wxCommandEvent&)
{
    if (rules_.EditingEnabled() && ParametersInRange(" Config Not Exported "))
        ExportRS232Config(PanelConfig(), host_.GetServices());
}

void RS232_Type_Dialog::OnImport(wxCommandEvent&)
{
    Prompts& prompts = host_.GetServices().prompts;
    // A save at the question does not discover: the panel stays for its device.
    const auto config = ImportOverEdits<RS232Config>(*this, prompts, ImportRS232Config);
    if (!config)
        return;
    ApplyRS232Image(*config);
    rules_.Imported();
    EnableEditing();
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
    if (*action == ACTION_UNUSED)
        ShowCommandField(r);
    else
        BuildParameterControls(*action, r, nullptr);
    RelayoutRows();
}

void RS232_Type_Dialog::OnDeleteRow(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_DELETE);
    if (r >= rows_.size())
        return;
    const RS232Row row = RowConfig(*rows_[r]);
    if (RowDeletionNeedsQuestion(row) &&
        host_.GetServices().prompts.MessageBox(RowDeletionQuestion(r, row, EditedDeviceLabel())) != Answer::Yes)
        return;
    // Nothing changes when another row holds an invalid Hex text (its box has said so).
    const auto remaining = DeleteRS232Row(PanelConfig(), r, host_.GetServices());
    if (!remaining)
        return;
    // The rows are rebuilt once the clicked button's own event is over, as it
    // is one of the windows destroyed.
    CallAfter([this, config = *remaining] {
        ApplyRS232Image(config);
        EnableEditing();
    });
}

void RS232_Type_Dialog::OnTestString(wxCommandEvent& event)
{
    const size_t r = RowOf(event, ID_RS232_ROW_TEST);
    if (r >= rows_.size() || !host_.BusReady())
        return;
    Services& services = host_.GetServices();
    bool acknowledged = false;
    {
        BusWork work(this);
        acknowledged = SendTestString(address_, r, services);
    }
    if (BusInterfaceLost())
        return;  // its box has told what happened
    services.prompts.SetStatusText(acknowledged ? StrF("Test String %d: Sent, ACK Received", int(r + 1))
                                                : StrF("Test String %d: NO ACK from the ORV-RS232", int(r + 1)));
}

void RS232_Type_Dialog::OnStringEdited(wxCommandEvent& event)
{
    const int base = event.GetEventType() == wxEVT_TEXT ? ID_RS232_ROW_STRING : ID_RS232_ROW_TYPE;
    const size_t r = RowOf(event, base);
    if (r >= rows_.size())
        return;
    EnableTestButton(r);
}

void RS232_Type_Dialog::OnStartEmpty(wxCommandEvent&)
{
    if (rules_.EditingEnabled() ||
        host_.GetServices().prompts.MessageBox(StartEmptyQuestion(EditedDeviceLabel())) != Answer::Yes)
        return;
    ApplyRS232Image(RS232Config{});
    rules_.StartedEmpty(PanelConfig());
    EnableEditing();
}

void RS232_Type_Dialog::OnParameterEdited(size_t r, size_t j)
{
    if (r >= rows_.size() || j >= rows_[r]->parameters.Count())
        return;
    ParameterFields& fields = rows_[r]->parameters;
    fields.Mark(j);
    if (!fields.Fits(j)) {
        ShowStatus(ToWx(fields.Refusal(j)), StatusKind::Refusal);
        return;
    }
    // A refusal in the label holds only while some value is still wrong.
    if (!statusIsRefusal_)
        return;
    if (const auto wrong = FirstWrongParameter())
        ShowStatus(ToWx(rows_[wrong->first]->parameters.Refusal(wrong->second)), StatusKind::Refusal);
    else
        ShowFirmwareVersion();
}

void RS232_Type_Dialog::OnPageSize(wxSizeEvent& event)
{
    FitRowsToPage();
    FitPageToRows();
    event.Skip();
}

}  // namespace orv
