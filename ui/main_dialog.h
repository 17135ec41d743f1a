// The panel that fills the main frame: the device list and the panel area.
#pragma once

#include <wx/panel.h>

#include "link/services.h"
#include "ui/identifiers.h"

namespace orv {

class MainDialog : public wxPanel {
public:
    MainDialog(wxWindow* parent, Services& services, wxWindowID id = ID_MAIN_DIALOG,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1200, 690),
               long style = wxTAB_TRAVERSAL);

    void DiscoverDevices(int start);
    void UpdateFirmware(bool emergency);
    void EnterBootMode();
    void EnterConfigMode();
    void OnSetAddress();

private:
    Services& services_;
};

}  // namespace orv
