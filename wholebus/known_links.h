// What the tool has read of the links between devices: for each device whose
// configuration was read, the rows that send to another device's address.
// Moving a device leaves such rows pointing at an address without it, so the
// user is told before the move.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/input8_config.h"
#include "model/rs232_config.h"
#include "network/device_registry.h"

namespace orv {

// A row (counted from 1) and the address it sends to.
struct RowLink {
    int row = 0;
    uint8_t destination = 0;
};

// The rows of a configuration that send to a device's address: Input8 rows
// with a destination, RS232 rows with a string and a destination other than
// "Unused" and "Broadcast".
std::vector<RowLink> Input8RowLinks(const Input8Config& config);
std::vector<RowLink> RS232RowLinks(const RS232Config& config);

// The rows of one device that link to an address, as "ORV-Input8 @ 1: rows 3, 7".
struct LinkingRows {
    std::string device;  // "ORV-Input8 @ 1"
    std::vector<int> rows;
};

class KnownLinks {
public:
    // Replaces what is known of record's device by links, read from it just now.
    void Learn(const DeviceRecord& record, std::vector<RowLink> links);
    // Forgets the device read at address.
    void Forget(uint8_t address);
    // Forgets every device that is no longer listed at its address with its serial number.
    void KeepListed(const DeviceRegistry& registry);

    // Whether the configuration of record's device (at its address, with its serial number) was read.
    bool Knows(const DeviceRecord& record) const;
    // The rows of other devices than the one at address that link to address, by device address.
    std::vector<LinkingRows> LinksTo(uint8_t address) const;

private:
    struct Source {
        DeviceRecord record;
        std::vector<RowLink> links;
    };
    std::vector<Source> sources_;
};

// "ORV-Input8 @ 1: rows 3, 7" (or "row 3"), one line per device.
std::string LinkingRowsText(const std::vector<LinkingRows>& linking);

// Before record's device moves to newAddress: when known rows of other
// devices link to its address, says how many and where, and asks whether to
// move it anyway (OK, Cancel). True when the move may go ahead.
bool ConfirmMoveOfLinkedDevice(Prompts& prompts, const KnownLinks& links, const DeviceRecord& record,
                               uint8_t newAddress);

}  // namespace orv
