// Switching the selected device between its firmware and its boot loader, and
// the check both these commands and the firmware update make on their target.
#pragma once

#include <string>

#include "network/network_view.h"

namespace orv {

enum class ModeCommandOutcome {
    Acknowledged,
    NothingReceived,
    Refused,        // no checked selection, or the device has no address of its own
    InterfaceLost,  // the interface went away; its box has been shown
};

// RUN_BOOT to the selected device: it leaves its firmware for its boot loader.
ModeCommandOutcome EnterBootMode(NetworkContext& context);
// RUN_FIRMWARE to the selected device: it leaves its boot loader for its firmware.
ModeCommandOutcome EnterConfigMode(NetworkContext& context);

// The checked selected record, when it has an address of its own. A request to
// a shared address, or to the broadcast address, would reach other devices
// too, so such a record is refused with a box under caption; a stale
// selection asks the user to select again.
const DeviceRecord* RequireAddressableDevice(NetworkContext& context, const std::string& caption);

}  // namespace orv
