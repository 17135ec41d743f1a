// Putting a new device in the place of one that failed: the backup's device
// OLD, missing on the bus, and a device NEW of its kind on the bus, of which
// the backup holds no configuration. NEW first takes OLD's address, so that
// the other devices' links reach it, then OLD's configuration (written as
// any file is: WriteConfigImage of DeviceFormOfFile).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "wholebus/bus_comparison.h"

namespace orv {

// A device on the bus without a configuration, of which the backup holds none either.
bool IsSpare(const DeviceComparison& device);

// Every (missing, spare) pair of indexes into devices: a device of the backup
// with a configuration, missing on the bus, and a spare of its kind.
std::vector<std::pair<size_t, size_t>> ReplacementCandidates(const std::vector<DeviceComparison>& devices);

// Why the device with serial number replacement may not take the place of the
// backup's device with serial number old, in words; nothing when it may.
// registry is the bus now, devices its comparison with the backup.
std::optional<std::string> ReplacementRefusal(const SerialNumber& old, const SerialNumber& replacement,
                                              const std::vector<DeviceComparison>& devices,
                                              const DeviceRegistry& registry);

// The backup's entry of the device with serial number old.
const DeviceComparison* BackupEntryOf(const SerialNumber& old, const std::vector<DeviceComparison>& devices);

enum class MoveResult { Moved, NotAcknowledged, NotAnswering, InterfaceLost };

// Gives the device with serial number serial (in the registry) the address,
// then discovers the bus again (a broadcast) and checks it answers there.
MoveResult MoveDevice(NetworkContext& context, const SerialNumber& serial, uint8_t address);

}  // namespace orv
