// The frame every panel of the panel area draws around its content: a static
// box with a bold label, in the panel's vertical sizer.
#pragma once

#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "ui/panel_font.h"

namespace orv {

// Gives panel its vertical sizer holding the labelled box; returns the box's
// sizer, to which the panel adds its lines. borders: the wxLEFT/wxRIGHT/...
// sides of the 5-pixel border around the box.
inline wxStaticBoxSizer* AddPanelFrame(wxPanel* panel, const wxString& label, const wxSize& size, int borders,
                                       const wxString& name = wxStaticBoxNameStr)
{
    auto* panelSizer = new wxBoxSizer(wxVERTICAL);
    panel->SetSizer(panelSizer);
    auto* box = new wxStaticBox(panel, wxID_ANY, label, wxDefaultPosition, size, 0, name);
    // size is the box's first look, not its minimum: the panel shrinks with the frame.
    box->SetMinSize(wxDefaultSize);
    box->SetFont(PanelFont(10, wxFONTWEIGHT_BOLD));
    auto* boxSizer = new wxStaticBoxSizer(box, wxVERTICAL);
    // The box fills the panel, which takes the room the panel area has.
    panelSizer->Add(boxSizer, 1, borders | wxEXPAND, 5);
    return boxSizer;
}

}  // namespace orv
