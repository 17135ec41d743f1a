// The instructions panel: how to find the devices and where their
// configuration appears. Shown at start and during every discovery pass.
#pragma once

#include <vector>

#include <wx/dialog.h>
#include <wx/panel.h>

class wxSizeEvent;
class wxStaticText;

namespace orv {

constexpr int ID_INTRO_DIALOG = 12121;
constexpr long TEXT_PANEL_STYLE = wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER;

class Intro_Dialog : public wxPanel {
public:
    Intro_Dialog(wxWindow* parent, wxWindowID id = ID_INTRO_DIALOG, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxSize(955, 955), long style = TEXT_PANEL_STYLE);

private:
    struct Line {
        wxStaticText* text;
        wxString whole;
    };
    // Breaks every line at word boundaries to at most width pixels.
    void WrapLines(int width);
    void OnSize(wxSizeEvent& event);

    std::vector<Line> lines_;
    int wrapWidth_ = 0;
};

}  // namespace orv
