#include "ui/connection_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "port/port_address.h"
#include "ui/bus_work.h"
#include "ui/settings.h"
#include "ui/wx_text.h"

namespace orv {

namespace {

constexpr int RESULT_WIDTH = 560;
constexpr const char* FIRST_FTDI_ROW = "(the first FTDI interface found)";

}  // namespace

ConnectionDialog::ConnectionDialog(wxWindow* parent, BusLine* line, Services& services,
                                   const std::vector<InterfaceEntry>& found, std::function<bool()> mayChange)
    : wxDialog(parent, wxID_ANY, _("Connection"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      line_(line),
      services_(services),
      mayChange_(std::move(mayChange))
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, line_ ? _("Serial ports of this PC, the FTDI interfaces first:") : _("Bus:")), 0,
               wxLEFT | wxRIGHT | wxTOP, 10);

    list_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(RESULT_WIDTH, 150),
                           wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES | wxLC_VRULES);
    list_->InsertColumn(0, _("Port"), wxLIST_FORMAT_LEFT, 200);
    list_->InsertColumn(1, _("Serial number"), wxLIST_FORMAT_LEFT, 120);
    list_->InsertColumn(2, _("Description"), wxLIST_FORMAT_LEFT, 200);
    if (line_) {
        ports_.push_back("");
        list_->InsertItem(0, FIRST_FTDI_ROW);
        for (const InterfaceEntry& entry : found) {
            const long row = list_->InsertItem(list_->GetItemCount(), ToWx(entry.port));
            list_->SetItem(row, 1, ToWx(entry.serialNumber));
            // The interfaces the program looks for on its own are told apart.
            list_->SetItem(row, 2, ToWx(entry.ftdi ? "FTDI interface: " + entry.description : entry.description));
            ports_.push_back(entry.port);
        }
    } else {
        list_->InsertItem(0, SIMULATED_BUS);
        list_->SetItem(0, 2, _("the demonstration devices of orvtool-sim"));
        ports_.push_back(SIMULATED_BUS);
    }
    sizer->Add(list_, 1, wxEXPAND | wxALL, 10);

    sizer->Add(new wxStaticText(this, wxID_ANY,
                                _("Or a serial device server (tcp://HOST:PORT, rfc2217://HOST:PORT) or another "
                                  "serial port:")),
               0, wxLEFT | wxRIGHT, 10);
    address_ = new wxTextCtrl(this, wxID_ANY);
    address_->Enable(line_ != nullptr);
    sizer->Add(address_, 0, wxEXPAND | wxALL, 10);

    // The row of the line in use, or its address in the field.
    const std::string inUse = line_ ? line_->Port() : SIMULATED_BUS;
    const auto row = std::find(ports_.begin(), ports_.end(), inUse);
    if (row != ports_.end())
        list_->SetItemState(long(row - ports_.begin()), wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                            wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    else
        address_->ChangeValue(ToWx(inUse));

    openingText_ = line_ ? _("In use: ") + ToWx(line_->InUse())
                         : _("orvtool-sim talks to its simulated bus; orvtool chooses among the interfaces of the PC "
                             "and serial device servers.");
    result_ = new wxStaticText(this, wxID_ANY, openingText_);
    result_->SetMinSize(wxSize(RESULT_WIDTH, -1));
    result_->Wrap(RESULT_WIDTH);
    sizer->Add(result_, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    test_ = new wxButton(this, wxID_ANY, _("&Test"));
    test_->SetToolTip(_("Opens the port and asks the devices on the bus for their module information"));
    buttons->Add(test_, 0, wxRIGHT, 10);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, _("OK")), 0, wxRIGHT, 10);
    buttons->Add(new wxButton(this, wxID_CANCEL, _("Cancel")), 0);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 10);

    test_->Bind(wxEVT_BUTTON, &ConnectionDialog::OnTest, this);
    Bind(wxEVT_BUTTON, &ConnectionDialog::OnOk, this, wxID_OK);
    address_->Bind(wxEVT_TEXT, &ConnectionDialog::OnAddressTyped, this);
    list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) {
        address_->ChangeValue(wxEmptyString);
        ForgetResult();
        event.Skip();
    });

    SetSizerAndFit(sizer);
    CentreOnParent();
}

std::string ConnectionDialog::ChosenPort() const
{
    const std::string typed = FromWx(address_->GetValue().Strip(wxString::both));
    if (!typed.empty())
        return typed;
    const long row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row >= 0 && size_t(row) < ports_.size() ? ports_[size_t(row)] : std::string();
}

void ConnectionDialog::OnAddressTyped(wxCommandEvent& event)
{
    // The field and the list are one choice: what is typed wins.
    const long row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row >= 0 && !address_->GetValue().empty())
        list_->SetItemState(row, 0, wxLIST_STATE_SELECTED);
    ForgetResult();
    event.Skip();
}

void ConnectionDialog::ForgetResult()
{
    // A verdict speaks of the port it was given for, not of one chosen since.
    if (!verdictShown_)
        return;
    ShowResult(FromWx(openingText_));
    verdictShown_ = false;
}

bool ConnectionDialog::CheckTyped()
{
    const std::string port = ChosenPort();
    const std::string wrong = port.empty() ? std::string() : ParsePortAddress(port).error;
    if (!wrong.empty())
        ShowResult(wrong + " (" + PORT_FORMS + ")");
    return wrong.empty();
}

void ConnectionDialog::ShowResult(const std::string& text)
{
    result_->SetLabelText(ToWx(text));
    result_->Wrap(RESULT_WIDTH);
    verdictShown_ = true;
    Layout();
    Fit();
}

void ConnectionDialog::OnTest(wxCommandEvent&)
{
    if (line_ && !CheckTyped())
        return;
    LineTrial trial;
    {
        BusWork work(this, _("Testing the connection ..."));
        trial = line_ ? line_->Try(ChosenPort(), services_) : AskLineInUse(SIMULATED_BUS, services_);
    }
    ShowResult(trial.text);
    // The busy window had the focus: Escape and Enter work on the dialog again.
    test_->SetFocus();
}

void ConnectionDialog::OnOk(wxCommandEvent&)
{
    if (!line_) {
        EndModal(wxID_CANCEL);
        return;
    }
    if (!CheckTyped() || (mayChange_ && !mayChange_()))
        return;
    const std::string port = ChosenPort();
    LineTrial trial;
    {
        BusWork work(this, _("Opening the connection ..."));
        trial = line_->Choose(port, services_);
    }
    if (!trial.opened) {
        ShowResult(trial.text);
        address_->SetFocus();
        return;
    }
    SaveInterface(port);
    EndModal(wxID_OK);
}

void ShowInterfaceInUse(wxFrame& frame, const BusLine* line)
{
    wxStatusBar* bar = frame.GetStatusBar();
    if (bar && bar->GetFieldsCount() > INTERFACE_STATUS_FIELD)
        frame.SetStatusText(_("Interface: ") + ToWx(line ? line->InUse() : SIMULATED_BUS), INTERFACE_STATUS_FIELD);
}

}  // namespace orv
