// The panel that fills the main frame: the device list and the panel area.
#pragma once

#include <wx/panel.h>

#include "link/services.h"
#include "network/device_registry.h"
#include "network/network_view.h"
#include "ui/identifiers.h"

namespace orv {

class MainDialog : public wxPanel, public NetworkView {
public:
    MainDialog(wxWindow* parent, Services& services, wxWindowID id = ID_MAIN_DIALOG,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(1200, 690),
               long style = wxTAB_TRAVERSAL);

    void DiscoverDevices(int start);
    void UpdateFirmware(bool emergency);
    void EnterBootMode();
    void EnterConfigMode();
    void OnSetAddress();

    // What the configuration panels use.
    Services& GetServices() { return services_; }
    DeviceRegistry& Registry() { return registry_; }
    NetworkContext& Network() { return network_; }
    void RelayoutPanels();

    void ShowInstructions() override;
    void ResetDeviceList() override;
    void RefreshDeviceList() override;

private:
    Services& services_;
    DeviceRegistry registry_{services_.log};
    NetworkContext network_{services_, registry_, *this};
};

}  // namespace orv
