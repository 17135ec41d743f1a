// What the device network operations need from the window that shows the
// registry (the main dialog), and what they act on.
#pragma once

#include "network/device_registry.h"
#include "services/services.h"

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
    // A discovery appended the registry's record at index: the list shows it
    // at once, as the status bar counts it among the devices found and added.
    virtual void ShowAddedDevice(size_t index) { (void)index; }
};

// How discovery waits for the answers to a request it saw acknowledged: the
// desktop tool keeps its fixed pause before it reads them; orvctl reads them
// as they arrive and waits only as long as the answers' own pace asks.
enum class BusPace { Fixed, Measured };

struct NetworkContext {
    Services& services;
    DeviceRegistry& registry;
    NetworkView& view;
    BusPace pace = BusPace::Fixed;
};

}  // namespace orv
