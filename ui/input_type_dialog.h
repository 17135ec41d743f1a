// The Input8 configuration panel: the device name and 32 rows, each tying a
// change of an input to an action on another device.
#pragma once

#include <cstdint>

#include <wx/panel.h>

namespace orv {

class MainDialog;

class Input_Type_Dialog : public wxPanel {
public:
    Input_Type_Dialog(MainDialog& mainDialog, wxWindow* parent, wxWindowID id = 10008,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(850, 850),
                      long style = wxTAB_TRAVERSAL);

    // The bus address of the Input8 being configured, set before each read.
    void SetDeviceAddress(uint8_t address) { address_ = address; }
    // Reads the device's configuration into the panel. False when a request
    // was not acknowledged or brought no reply; the panel is then unchanged.
    bool ReadFromDevice();

private:
    MainDialog& mainDialog_;
    uint8_t address_ = 0;
};

}  // namespace orv
