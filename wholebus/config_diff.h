// Two configurations of one kind compared in the terms the panels use: the
// name, the baud rate and each row by its number, every difference one line
// ("Row 4: action Relay Energize → Set 1 LED Level"). The first image is the
// one before (a backup), the second the one after (the device now).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/config_kind.h"
#include "network/device_registry.h"

namespace orv {

// How a destination address reads in a difference: "ORV-Relay @ 9" when a
// device is known there, "address 9" when none is.
using DestinationNamer = std::function<std::string(uint8_t address)>;

// The names of the devices of registry at their addresses.
DestinationNamer NamerOf(const DeviceRegistry& registry);
// A namer for devices given as records (the devices of a backup).
DestinationNamer NamerOf(const std::vector<DeviceRecord>& records);

// "Unused", "Relay Energize", or "action 77" for a code the catalogue does not know.
std::string ActionName(uint16_t action);

// What differs between two file-form images of kind (as LoadConfigFile and
// FileFormOfRead give them); empty when they hold the same configuration.
// Bytes that no panel shows but that differ make one line of their own, so
// that an empty list always means equal images. An RS232 image that cannot
// be parsed is one line.
std::vector<std::string> ConfigDifferences(ConfigKind kind, const std::vector<uint8_t>& before,
                                           const std::vector<uint8_t>& after, const DestinationNamer& nameBefore,
                                           const DestinationNamer& nameAfter);

}  // namespace orv
