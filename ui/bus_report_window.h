// A resizable window that ends a bus-wide operation: a heading and one line
// per device, so that a long bus needs no box taller than the screen.
#pragma once

#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/gdicmn.h>

class wxListBox;
class wxTopLevelWindow;

namespace orv {

// The part of the screen that windows may take, on the display of window.
wxRect ScreenAreaOf(const wxWindow* window);

// Centres window on its parent, within the screen, also once it is shown: the
// window manager may have placed it elsewhere as it mapped it.
void KeepCentredOnParent(wxTopLevelWindow* window);

// The window's name, by which it can be found.
constexpr const char* BUS_REPORT_WINDOW_NAME = "busReport";

class BusReportWindow : public wxDialog {
public:
    // Modeless: shown by the caller, destroyed when closed.
    BusReportWindow(wxWindow* parent, const wxString& title, const std::string& heading,
                    const std::vector<std::string>& lines);

    wxListBox* Lines() const { return lines_; }
    const std::string& Heading() const { return heading_; }

private:
    std::string heading_;
    wxListBox* lines_ = nullptr;
};

}  // namespace orv
