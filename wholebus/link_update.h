// Moving a device without breaking the links to it: the rows of the other
// ORV-Input8 and ORV-RS232 devices whose destination is the device's address
// are found, and rewritten to point to its new address, each write checked by
// its read-back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "config/block_transfer.h"
#include "config/config_kind.h"
#include "network/device_registry.h"

namespace orv {

// The rows of one device that point to an address.
struct DeviceLinks {
    DeviceRecord device;
    ConfigKind kind = ConfigKind::Input8;
    std::vector<uint8_t> image;  // what the device holds, file form
    std::vector<size_t> rows;    // from 0
};

struct LinkScan {
    std::vector<DeviceLinks> devices;  // only devices with such rows
    // Configured devices whose configuration could not be read, and why.
    std::vector<std::pair<DeviceRecord, std::string>> unread;
    bool interfaceLost = false;
    bool cancelled = false;  // the step said stop: the rows are not all known
};

// Indexes of the rows of a file-form image whose destination is address.
std::vector<size_t> RowsPointingTo(ConfigKind kind, const std::vector<uint8_t>& image, uint8_t address);

// The image with those rows pointing to to instead of from; every other byte kept.
std::vector<uint8_t> RetargetRows(ConfigKind kind, const std::vector<uint8_t>& image, uint8_t from, uint8_t to);

// "Row 4" for an Input8, "RS232 row 4" for an RS232 (rows counted from 1).
std::string LinkRowText(ConfigKind kind, size_t row);

// Reads every configured Input8 and RS232 of the registry with an address of
// its own, except the device with serial number moved, and keeps those whose
// rows point to address. Stops at a lost interface, or when step (asked
// before each device is read) says stop.
LinkScan FindLinksTo(uint8_t address, const SerialNumber& moved, const DeviceRegistry& registry, Services& services,
                     const std::function<bool(size_t done, size_t total, const DeviceRecord& device)>& step = {});

// Writes links' image with its rows retargeted from from to to, to its device,
// read back. The device's address is links.device.address.
WriteOutcome UpdateLinks(const DeviceLinks& links, uint8_t from, uint8_t to, Services& services);

}  // namespace orv
