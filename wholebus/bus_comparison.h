// A backup folder against the bus: every device of the backup and every
// device on the bus, matched by kind and serial number (and by address among
// devices that carry one serial number), with what differs in words. The
// configurations on the bus are read for the devices of the backup that hold
// one, and compared with ConfigDifferences.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "network/network_view.h"
#include "wholebus/backup_folder.h"

namespace orv {

enum class ConfigState {
    NotConfigurable,  // a kind without a configuration (or only one side present)
    Same,
    Differs,          // differences lists what
    NotConfigured,    // the backup holds a configuration, the device on the bus none
    NotInBackup,      // the device holds a configuration that the backup has no file of
    Unread,           // the configuration on the bus could not be read (readProblem); damaged counts here
    SharedAddress,    // another device on the bus has the address: not read
};

struct DeviceComparison {
    std::optional<BackupDevice> backup;
    std::optional<DeviceRecord> bus;
    ConfigState config = ConfigState::NotConfigurable;
    std::vector<std::string> differences;
    std::string readProblem;

    bool MissingOnBus() const { return backup && !bus; }
    bool NotInBackup() const { return bus && !backup; }
    bool AddressDiffers() const { return backup && bus && backup->record.address != bus->address; }
    bool FirmwareDiffers() const;
    // Present with its address and configuration (firmware aside).
    bool Matches() const;
    // The backup's file can go to the device on the bus.
    bool Writable() const;
    // Writable, and what the device holds is not the backup's (or is unknown).
    bool NeedsWrite() const;
    // "ORV-Input8 (21 00 10 31)".
    std::string DeviceText() const;
};

struct BusComparison {
    std::vector<DeviceComparison> devices;  // the backup's in its order, then the others on the bus
    bool interfaceLost = false;             // the comparison stopped there; the bus side is incomplete
    bool cancelled = false;                 // the step said stop; the devices not read say so
    // Rows whose device was written from the backup and read back the same
    // since the comparison read the bus.
    std::vector<size_t> readAgain;

    // Every device of the backup present with its address and configuration
    // (and every configuration read).
    bool Matches() const;
};

// What a device's line says: "same", or what differs, joined by "; ":
// "configuration differs", "address 3 → 40", "firmware 1.20 → 1.21",
// "missing on the bus", "not in the backup", "not configured" ...
std::string StatusText(const DeviceComparison& device);

// After the backup's configuration was written to row's device and read
// back the same: the row says so, and counts as read again.
void MarkWrittenFromBackup(BusComparison& comparison, size_t row);

// The verdict of a comparison that stays open while the bus may change; its
// configurations were read at comparedAt ("10:42"). Once a device was
// written, a verdict that the bus matches names every configuration not read
// again since: it speaks only of what was read.
std::string ComparisonVerdict(const BusComparison& comparison, const std::string& comparedAt);

// The devices matched, without reading anything.
std::vector<DeviceComparison> MatchWithBus(const std::vector<BackupDevice>& backup, const DeviceRegistry& registry);

// Matches the backup with the registry's devices and reads the configuration
// of every device whose backup entry holds one. Stops at a lost interface.
BusComparison CompareWithBus(const std::vector<BackupDevice>& backup, const DeviceRegistry& registry,
                             Services& services, const ReadStep& step = {});

// Compares one device's configuration now with a file image of its kind,
// reading the device: the entry as CompareWithBus makes it.
DeviceComparison CompareDeviceWithImage(const BackupDevice& backup, const DeviceRecord& device,
                                        const DeviceRegistry& registry, Services& services);

}  // namespace orv
