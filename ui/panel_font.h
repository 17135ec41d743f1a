// The face of every text in the panels: Verdana, or the nearest Swiss face
// the platform has.
#pragma once

#include <wx/font.h>

namespace orv {

inline wxFont PanelFont(int points, wxFontWeight weight)
{
    return wxFont(points, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, weight, false, "Verdana");
}

}  // namespace orv
