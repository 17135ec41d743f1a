// Text between the core (std::string, UTF-8 where it is not plain ASCII) and wx.
#pragma once

#include <string>

#include <wx/string.h>

namespace orv {

// Bytes that are not valid UTF-8 (a device name off the bus) are taken as Latin-1.
wxString ToWx(const std::string& text);
std::string FromWx(const wxString& text);

}  // namespace orv
