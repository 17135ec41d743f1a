#include "ui/input_type_dialog.h"

namespace orv {

Input_Type_Dialog::Input_Type_Dialog(MainDialog& mainDialog, wxWindow* parent, wxWindowID id, const wxPoint& pos,
                                     const wxSize& size, long style)
    : wxPanel(parent, id, pos, size, style, "panel"), mainDialog_(mainDialog)
{
}

bool Input_Type_Dialog::ReadFromDevice()
{
    return false;
}

}  // namespace orv
