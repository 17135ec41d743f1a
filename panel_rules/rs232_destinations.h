// The destinations a new RS232 row offers, from the devices on the bus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/rs232_config.h"
#include "network/device_registry.h"

namespace orv {

struct DestinationEntry {
    std::string label;
    uint8_t address = DEST_UNUSED;
};
// The destination choice of a new row: "Unused", "Broadcast", then, when the
// registry holds two records or more, the first RS232_DESTINATION_DEVICES
// records that are no RS232 and offer an action, as "%s @ %d".
std::vector<DestinationEntry> RS232DestinationEntries(const DeviceRegistry& registry);

}  // namespace orv
