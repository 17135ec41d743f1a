// Replacing a device's firmware: the device is switched to its boot loader,
// the image file goes over in 32-byte FIRMWARE_BLOCKs, and RUN_FIRMWARE starts
// the new firmware.
#pragma once

#include <cstdint>
#include <string>

#include "network/network_view.h"

namespace orv {

enum class FirmwareUpdateOutcome {
    Updated,                     // RUN_FIRMWARE acknowledged; a quick discovery followed
    NoTarget,                    // no checked selection, or the device has no address of its own
    TooManyDevices,              // the emergency count found more than one device
    Declined,                    // No to the emergency update's question; nothing was sent
    NoFile,                      // the file dialog was not confirmed
    FileRefused,                 // empty, unreadable, or more blocks than a block number can count
    BootNotAcknowledged,         // nothing was sent after RUN_BOOT
    BlockNotAcknowledged,        // a full block; nothing was sent after it
    LastBlockNotAcknowledged,    // the partial block; no RUN_FIRMWARE was sent
    RunFirmwareNotAcknowledged,  // every block arrived, the device did not confirm its restart
    InterfaceLost,               // the interface went away; its box has been shown
    Stopped,                     // the user asked to stop before RUN_BOOT; nothing was sent
    Abandoned,                   // a second request to stop ended the blocks; no RUN_FIRMWARE was sent
    NoDeviceAnswered,            // emergency: nothing answered the count, and RUN_BOOT or the first block went
                                 // unacknowledged
};

// Whether the emergency update asks, once the count has found at most one
// device, before it sends anything: a menu command does not name its target,
// a typed command with its file does.
enum class EmergencyQuestion { None, Ask };

// Normal mode: to the selected device's address. Emergency mode: a counting
// scan first makes sure that at most one device is on the bus, and every
// request goes to BROADCAST_ADDRESS, so no selection is needed.
// leftInBootLoader, when given, tells whether the update stopped after the
// device had entered its boot loader and before it confirmed its restart.
FirmwareUpdateOutcome UpdateFirmware(NetworkContext& context, bool emergency, bool* leftInBootLoader = nullptr,
                                     EmergencyQuestion question = EmergencyQuestion::None);

// Where an update that stopped in the boot loader leaves the device at target
// (BROADCAST_ADDRESS for the emergency update) and how to finish it.
std::string BootLoaderAdvice(uint8_t target);

}  // namespace orv
