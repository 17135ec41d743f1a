#include "ui/bus_report_window.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace orv {

namespace {

constexpr int MARGIN = 8;
constexpr int DEFAULT_WIDTH = 640;

}  // namespace

namespace {

// Moved as little as brings the whole window onto the screen.
void KeepOnScreenPart(wxTopLevelWindow* window)
{
    const wxRect screen = ScreenAreaOf(window->GetParent() ? window->GetParent() : window);
    wxRect place = window->GetRect();
    place.x = std::clamp(place.x, screen.x, std::max(screen.x, screen.GetRight() + 1 - place.width));
    place.y = std::clamp(place.y, screen.y, std::max(screen.y, screen.GetBottom() + 1 - place.height));
    if (place.GetPosition() != window->GetPosition())
        window->Move(place.GetPosition());
}

// Centred on the parent, but whole on the screen even where the parent is not.
void CentreOnScreenPart(wxTopLevelWindow* window)
{
    window->CentreOnParent();
    KeepOnScreenPart(window);
}

}  // namespace

wxRect ScreenAreaOf(const wxWindow* window)
{
    const int display = wxDisplay::GetFromWindow(window);
    return wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
}

void KeepCentredOnParent(wxTopLevelWindow* window)
{
    CentreOnScreenPart(window);
    // GTK may map the window at its least size first and give it the size
    // asked for only later: the size is asked for again, and a window that
    // grew past the screen's edge where it was centred is brought back whole.
    const wxSize size = window->GetSize();
    window->Bind(wxEVT_SHOW, [window, size](wxShowEvent& event) {
        event.Skip();
        if (event.IsShown())
            window->CallAfter([window, size] {
                if (window->GetSize().x < size.x || window->GetSize().y < size.y)
                    window->SetSize(size);
                CentreOnScreenPart(window);
            });
    });
    window->Bind(wxEVT_SIZE, [window](wxSizeEvent& event) {
        event.Skip();
        if (window->IsShown())
            window->CallAfter([window] { KeepOnScreenPart(window); });
    });
}

BusReportWindow::BusReportWindow(wxWindow* parent, const wxString& title, const std::string& heading,
                                 const std::vector<std::string>& lines)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxSize(DEFAULT_WIDTH, 420),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, BUS_REPORT_WINDOW_NAME),
      heading_(heading)
{
    // As wide as the longest line where the screen allows; a longer one scrolls.
    const wxRect screen = ScreenAreaOf(parent ? parent : this);
    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, GetTextExtent(wxString::FromUTF8(line)).x);
    const int width = std::min(std::max(widest + 6 * MARGIN, DEFAULT_WIDTH), screen.width);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* headingText = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(heading));
    headingText->Wrap(width - 2 * MARGIN);
    sizer->Add(headingText, 0, wxALL, MARGIN);
    lines_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0, nullptr, wxLB_HSCROLL);
    for (const std::string& line : lines)
        lines_->Append(wxString::FromUTF8(line));
    sizer->Add(lines_, 1, wxEXPAND | wxLEFT | wxRIGHT, MARGIN);
    auto* close = new wxButton(this, wxID_CLOSE, _("Close"));
    sizer->Add(close, 0, wxALIGN_RIGHT | wxALL, MARGIN);
    SetSizer(sizer);
    SetMinSize(wxSize(400, 240));
    SetSize(width, std::min(420, screen.height));
    SetEscapeId(wxID_CLOSE);
    close->SetDefault();
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
    KeepCentredOnParent(this);
}

}  // namespace orv
