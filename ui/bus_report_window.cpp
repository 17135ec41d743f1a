#include "ui/bus_report_window.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace orv {

BusReportWindow::BusReportWindow(wxWindow* parent, const wxString& title, const std::string& heading,
                                 const std::vector<std::string>& lines)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxSize(640, 420), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
               BUS_REPORT_WINDOW_NAME),
      heading_(heading)
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(heading)), 0, wxALL, 8);
    lines_ = new wxListBox(this, wxID_ANY);
    for (const std::string& line : lines)
        lines_->Append(wxString::FromUTF8(line));
    sizer->Add(lines_, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    auto* close = new wxButton(this, wxID_CLOSE, _("Close"));
    sizer->Add(close, 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizer(sizer);
    SetMinSize(wxSize(400, 240));
    SetEscapeId(wxID_CLOSE);
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
    CentreOnParent();
}

}  // namespace orv
