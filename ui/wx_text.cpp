#include "ui/wx_text.h"

namespace orv {

wxString ToWx(const std::string& text)
{
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty() && !text.empty())
        return wxString::From8BitData(text.data(), text.size());
    return converted;
}

std::string FromWx(const wxString& text)
{
    return std::string(text.utf8_str());
}

}  // namespace orv
