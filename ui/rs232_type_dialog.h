// The RS232 configuration panel: name, serial rate and the rows of strings
// the device sends or compares, each tied to an action on another device.
#pragma once

#include <cstdint>

#include <wx/panel.h>

namespace orv {

class MainDialog;

class RS232_Type_Dialog : public wxPanel {
public:
    RS232_Type_Dialog(MainDialog& mainDialog, wxWindow* parent, wxWindowID id = 12121,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 850),
                      long style = wxTAB_TRAVERSAL);

    // The bus address of the RS232 being configured, set before each read.
    void SetDeviceAddress(uint8_t address) { address_ = address; }
    // Reads the device's configuration into the panel (not as a read-back).
    // False when a request was not acknowledged or brought no reply; the
    // panel is then unchanged.
    bool ReadFromDevice();

private:
    MainDialog& mainDialog_;
    uint8_t address_ = 0;
};

}  // namespace orv
