// File > Connection ...: the interfaces found on the PC and a field for a
// serial device server or another port; Test opens the port and asks the bus
// once, OK makes it the line in use (and the one of the next start).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "network/bus_line.h"
#include "services/services.h"

class wxButton;
class wxFrame;
class wxListCtrl;
class wxStaticText;
class wxTextCtrl;

namespace orv {


// File > "Connection ...".
constexpr int ID_CONNECTION = 10023;
// The status bar field that names the line in use.
constexpr int INTERFACE_STATUS_FIELD = 1;
// What orvtool-sim talks to instead of an interface of the PC.
inline constexpr const char* SIMULATED_BUS = "simulated bus";

class ConnectionDialog : public wxDialog {
public:
    // line is null when the program runs on its simulated bus: nothing to
    // choose, Test asks that bus. mayChange is asked before OK changes the
    // line, which empties the device list.
    ConnectionDialog(wxWindow* parent, BusLine* line, Services& services, const std::vector<InterfaceEntry>& found,
                     std::function<bool()> mayChange = {});

    // The port chosen now: the address typed, else the selected row ("" for
    // the first FTDI interface).
    std::string ChosenPort() const;

    wxListCtrl* InterfaceList() const { return list_; }
    wxTextCtrl* AddressField() const { return address_; }
    wxStaticText* ResultText() const { return result_; }
    wxButton* TestButton() const { return test_; }

private:
    void OnTest(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnAddressTyped(wxCommandEvent& event);
    void ShowResult(const std::string& text);
    // Back to what the dialog said when it opened, once another port is chosen.
    void ForgetResult();
    // A typed address that names no port: the reason in the result, false.
    bool CheckTyped();

    BusLine* line_;
    Services& services_;
    std::function<bool()> mayChange_;
    std::vector<std::string> ports_;  // of the list's rows
    wxListCtrl* list_ = nullptr;
    wxTextCtrl* address_ = nullptr;
    wxStaticText* result_ = nullptr;
    wxString openingText_;
    bool verdictShown_ = false;
    wxButton* test_ = nullptr;
};

// The line in use, in the frame's status bar.
void ShowInterfaceInUse(wxFrame& frame, const BusLine* line);

}  // namespace orv
