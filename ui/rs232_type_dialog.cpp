#include "ui/rs232_type_dialog.h"

namespace orv {

RS232_Type_Dialog::RS232_Type_Dialog(MainDialog& mainDialog, wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel"), mainDialog_(mainDialog)
{
}

bool RS232_Type_Dialog::ReadFromDevice()
{
    return false;
}

}  // namespace orv
