// The information panel: the selected device's details and one message, for
// devices that have nothing to configure or cannot be configured as they are.
#pragma once

#include <wx/panel.h>

#include "ui/intro_dialog.h"

class wxStaticText;

namespace orv {

constexpr int ID_LED4_TYPE_DIALOG = 30010;

class Led4_Type_Dialog : public wxPanel {
public:
    Led4_Type_Dialog(wxWindow* parent, wxWindowID id = ID_LED4_TYPE_DIALOG, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxSize(940, 940), long style = TEXT_PANEL_STYLE);

    // Both rewritten by the main dialog on a selection.
    wxStaticText* detailsText = nullptr;
    wxStaticText* messageText = nullptr;
};

}  // namespace orv
