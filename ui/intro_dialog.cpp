#include "ui/intro_dialog.h"

#include <algorithm>

#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/panel_font.h"
#include "ui/panel_frame.h"

namespace orv {

namespace {

const char* const INSTRUCTIONS[] = {
    "1: Make sure ORV-NET interface is connected to ORVANTA devices",
    "2: Use Orvanta Devices -> Quick Discovery, to find devices quickly  ..",
    "3: Use Orvanta Devices -> Discover All, to find devices one by one (slow) ",
    "4: You may cancel the search anytime. Any found devices will be listed",
    "5: Select a device from \"Found\" List to configure",
    "6: Each device has it's own configuration displayed in this area",
};

// Lines are broken to the width the panel has; this one lets the panel's
// minimum leave room for the device list on a small screen.
constexpr int FIRST_WRAP_WIDTH = 520;
constexpr int MIN_WRAP_WIDTH = 200;
// The box's frame and the borders around a line.
constexpr int LINE_MARGINS = 40;

}  // namespace

// A vertical box sizer takes no vertical alignment; wx would assert on it, so
// the items of the vertical sizers below carry only their borders.
Intro_Dialog::Intro_Dialog(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel")
{
    Centre(wxBOTH);

    auto* boxSizer =
        AddPanelFrame(this, _("ORV-Tool Instructions"), wxSize(950, -1), wxTOP | wxBOTTOM | wxRIGHT, "groupBox");

    const wxFont lineFont = PanelFont(14, wxFONTWEIGHT_BOLD);
    for (const char* instruction : INSTRUCTIONS) {
        auto* lineSizer = new wxBoxSizer(wxHORIZONTAL);
        auto* text = new wxStaticText(boxSizer->GetStaticBox(), wxID_STATIC, wxGetTranslation(instruction), wxDefaultPosition,
                                      wxDefaultSize, 0, "staticText");
        text->SetForegroundColour(wxColour(0, 0, 255));
        text->SetFont(lineFont);
        lineSizer->Add(text, 0, wxALIGN_CENTER_VERTICAL | wxALL, 5);
        boxSizer->Add(lineSizer, 0, wxTOP | wxBOTTOM | wxRIGHT, 5);
        boxSizer->Add(50, 50);
        lines_.push_back({text, text->GetLabel()});
    }
    WrapLines(FIRST_WRAP_WIDTH);

    GetSizer()->Fit(this);
    Bind(wxEVT_SIZE, &Intro_Dialog::OnSize, this);
}

void Intro_Dialog::WrapLines(int width)
{
    for (const Line& line : lines_) {
        line.text->SetLabel(line.whole);
        line.text->Wrap(width);
        line.text->SetInitialSize(wxDefaultSize);
    }
}

void Intro_Dialog::OnSize(wxSizeEvent& event)
{
    event.Skip();
    const int width = std::max(MIN_WRAP_WIDTH, GetClientSize().x - LINE_MARGINS);
    if (width == wrapWidth_)
        return;
    wrapWidth_ = width;
    WrapLines(width);
    Layout();
}

}  // namespace orv
