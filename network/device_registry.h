// The device registry: the devices the last discovery found, in the order
// they answered, and the device the user selected last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/commands.h"
#include "model/catalogue.h"
#include "services/services.h"

namespace orv {

constexpr size_t DEVICE_NAME_LENGTH = 11;
// The address operations count records in 8 bits, and index 255 means "no
// selection", so the registry stops at 255 records.
constexpr size_t MAX_DEVICES = 255;
constexpr uint8_t NO_SELECTION = 255;

// The addresses a device may have: not the tool's own, not the broadcast address.
constexpr uint8_t FIRST_DEVICE_ADDRESS = 1;
constexpr uint8_t LAST_DEVICE_ADDRESS = BROADCAST_ADDRESS - 1;

struct DeviceRecord {
    std::string name;  // at most DEVICE_NAME_LENGTH characters
    SerialNumber serialNumber{};
    uint8_t firmwareMinor = 0;
    uint8_t firmwareMajor = 0;
    uint8_t address = 0;  // the source of the MODULE_INFO reply
    DeviceTypeCode typeCode = TYPE_UNRECOGNISED;
    bool configured = false;
    bool sharedAddress = false;  // another record has the same address
};

// True when requests to record's address reach its device alone: no other
// record has the address, and it is a device's address, not the tool's nor
// the broadcast address that every device hears (a quick discovery can list
// a device there).
bool IsAddressable(const DeviceRecord& record);

// A record from a MODULE_INFO reply (the caller has checked it with IsModuleInfoReply).
DeviceRecord RecordFromReply(const BusReply& reply);

// "12 34 56 78" for the serial bytes 78 56 34 12 as received.
std::string SerialText(const SerialNumber& serial);
// "1.20" for major 1, minor 0x20.
std::string FirmwareText(const DeviceRecord& record);
// A device list row: "ORV-Relay (00 12 AB 34)".
std::string DeviceRowText(const DeviceRecord& record);

class DeviceRegistry {
public:
    // The log receives the line of a record refused because the registry is full.
    explicit DeviceRegistry(LogSink& log) : log_(log) {}

    // False, and the log says so, once MAX_DEVICES records are held.
    bool Append(const DeviceRecord& record);
    // Records after index move down by one; an index past the end changes nothing.
    void RemoveDevice(size_t index);
    // Deletes every record. False when there was none, so that the device list
    // control is reset only when something was cleared. The selection is kept.
    bool ClearDevices();

    size_t Count() const { return records_.size(); }
    const DeviceRecord& Record(size_t index) const { return records_[index]; }

    // The kind of the first record at address whose name is recognised; TYPE_NONE when there is none.
    DeviceTypeCode TypeAtAddress(uint8_t address) const;
    // The address of every record, in registry order.
    std::vector<uint8_t> GetDeviceAddresses() const;
    // Flags every record whose address another record also has; returns their indexes in order.
    std::vector<size_t> MarkSharedAddresses();
    // True when another record has the same address and serial number: one
    // device that answered twice, or two devices that carry one serial
    // number. SET_ADDRESS_BY_SN cannot tell them apart.
    bool SerialRepeatedAtAddress(size_t index) const;

    // Selects the record at index and remembers its serial number with it.
    void Select(uint8_t index);
    // Selects the first record at address (index 0 when there is none), as a list row maps to a record.
    void SelectAddress(uint8_t address);
    uint8_t selectedIndex() const { return selectedIndex_; }
    uint8_t selectedAddress() const { return selectedAddress_; }
    // The selected record, only while the record at selectedIndex still is the
    // device that was selected (same serial number); nothing after a discovery
    // has put another device there or removed it.
    const DeviceRecord* SelectedRecord() const;

private:
    LogSink& log_;
    std::vector<DeviceRecord> records_;
    uint8_t selectedIndex_ = NO_SELECTION;
    uint8_t selectedAddress_ = NO_SELECTION;
    std::optional<SerialNumber> selectedSerial_;
};

// The checked selected record; when there is none, asks the user in a message
// box to select the device again and gives nothing.
const DeviceRecord* RequireSelectedDevice(Services& services, const DeviceRegistry& registry);

}  // namespace orv
