// What the device network operations need from the window that shows the
// registry (the main dialog), and what they act on.
#pragma once

#include "services/services.h"
#include "network/device_registry.h"

namespace orv {

class NetworkView {
public:
    virtual ~NetworkView() = default;
    // Hides every panel and shows the instructions panel.
    virtual void ShowInstructions() = 0;
    // The device list's part of clearing the registry: rows and columns
    // recreated, the dialog laid out again.
    virtual void ResetDeviceList() = 0;
    // Rebuilds the device list rows from the registry.
    virtual void RefreshDeviceList() = 0;
};

struct NetworkContext {
    Services& services;
    DeviceRegistry& registry;
    NetworkView& view;
};

}  // namespace orv
