// Taking a backup of the bus: every device the discovery found, and the
// configuration of every configured ORV-Input8 and ORV-RS232, read into
// memory before anything goes to the folder, so that a backup cut short
// leaves the folder's earlier backup as it was.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "wholebus/backup_folder.h"

namespace orv {

struct BusBackup {
    // Every device of the registry; those read carry their file name and image.
    std::vector<BackupDevice> devices;
    // The configured devices whose configuration was not read, and why.
    std::vector<std::pair<DeviceRecord, std::string>> notRead;
    // The reads stopped there: the devices after it are in notRead too.
    bool interfaceLost = false;
    bool cancelled = false;  // step said stop
    // Whether a file name carries the address, as another device has the same serial number.
    std::vector<bool> addressInName;
};

// Reads the configurations of the registry's devices (kind, configured, an
// address of its own). A device whose serial number another device of its
// kind carries gets the address in its file name.
BusBackup ReadBusBackup(const DeviceRegistry& registry, Services& services, const ReadStep& step = {});

}  // namespace orv
