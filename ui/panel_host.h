// What a configuration panel needs of the window that holds it: the seams,
// the device list, the bus check before bus work, a discovery after a save,
// and a new layout when the panel's size changes.
#pragma once

#include "network/device_registry.h"
#include "services/services.h"

namespace orv {

class PanelHost {
public:
    // Its prompts take a busy window away before they show a dialog.
    virtual Services& GetServices() = 0;
    virtual DeviceRegistry& Registry() = 0;
    // False when the interface is lost and was not found again (the user has been asked and told).
    virtual bool BusReady() = 0;
    virtual void DiscoverDevices(int start) = 0;
    virtual void RelayoutPanels() = 0;

protected:
    ~PanelHost() = default;
};

}  // namespace orv
