#include "ui/led4_type_dialog.h"

#include <wx/intl.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "ui/panel_font.h"
#include "ui/panel_frame.h"

namespace orv {

// As in the instructions panel, the vertical sizers carry no vertical alignment.
Led4_Type_Dialog::Led4_Type_Dialog(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                   long style)
    : wxPanel(parent, id, pos, size, style, "panel")
{
    Centre(wxBOTH);

    auto* boxSizer = AddPanelFrame(this, _("No Configuration Available"), wxSize(935, -1),
                                   wxTOP | wxBOTTOM | wxRIGHT, "groupBox");

    boxSizer->Add(20, 20);

    detailsText = new wxStaticText(boxSizer->GetStaticBox(), wxID_STATIC, _("Device Info"), wxDefaultPosition, wxDefaultSize, 0,
                                   "staticText");
    detailsText->SetForegroundColour(wxColour(0, 0, 255));
    detailsText->SetFont(PanelFont(11, wxFONTWEIGHT_NORMAL));
    boxSizer->Add(detailsText, 0, wxALL, 5);

    boxSizer->Add(0, 40);

    messageText = new wxStaticText(boxSizer->GetStaticBox(), wxID_STATIC, _("This Device has no configuration associated with it."),
                                   wxDefaultPosition, wxDefaultSize, 0, "staticText");
    messageText->SetForegroundColour(wxColour(255, 0, 0));
    messageText->SetFont(PanelFont(12, wxFONTWEIGHT_BOLD));
    boxSizer->Add(messageText, 0, wxALL, 5);

    boxSizer->AddStretchSpacer();

    GetSizer()->Fit(this);
}

}  // namespace orv
