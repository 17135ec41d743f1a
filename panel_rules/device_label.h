// How the panels name the device they show, in their questions and status
// lines: "name @ address".
#pragma once

#include <cstdint>
#include <string>

#include "network/device_registry.h"

namespace orv {

// The name is that of the selected record (the device the user chose, known
// by its serial number) when it is of kind at address. Without one, that of
// the only record of kind at address; when there is none, or two devices
// share the address and kind, kindName: a label never names another device.
std::string PanelDeviceLabel(const DeviceRegistry& registry, uint8_t address, DeviceTypeCode kind,
                             const std::string& kindName);

}  // namespace orv
