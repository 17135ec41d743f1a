#include "network/device_registry.h"

#include <algorithm>

namespace orv {

DeviceRecord RecordFromReply(const BusReply& reply)
{
    const ModuleInfo info = DecodeModuleInfo(reply.payload);
    DeviceRecord record;
    record.name = info.name.substr(0, DEVICE_NAME_LENGTH);
    record.serialNumber = info.serial;
    record.firmwareMinor = info.firmwareMinor;
    record.firmwareMajor = info.firmwareMajor;
    record.address = reply.source;
    record.typeCode = TypeFromName(record.name);
    record.configured = info.configured != 0;
    return record;
}

std::string SerialText(const SerialNumber& serial)
{
    return StrF("%02X %02X %02X %02X", serial[3], serial[2], serial[1], serial[0]);
}

std::string FirmwareText(const DeviceRecord& record)
{
    return StrF("%X.%X", record.firmwareMajor, record.firmwareMinor);
}

std::string DeviceRowText(const DeviceRecord& record)
{
    return record.name + " (" + SerialText(record.serialNumber) + ")";
}

bool DeviceRegistry::Append(const DeviceRecord& record)
{
    if (records_.size() >= MAX_DEVICES) {
        LogF(log_, " Device List Full (%zu Devices): %s at Address: %d Not Added ", MAX_DEVICES,
             record.name.c_str(), record.address);
        return false;
    }
    records_.push_back(record);
    return true;
}

void DeviceRegistry::RemoveDevice(size_t index)
{
    if (index < records_.size())
        records_.erase(records_.begin() + long(index));
}

bool DeviceRegistry::ClearDevices()
{
    if (records_.empty())
        return false;
    records_.clear();
    return true;
}

DeviceTypeCode DeviceRegistry::TypeAtAddress(uint8_t address) const
{
    for (const auto& record : records_) {
        if (record.address != address)
            continue;
        const DeviceTypeCode kind = TypeFromName(record.name);
        if (kind != TYPE_UNRECOGNISED)
            return kind;
    }
    return TYPE_NONE;
}

std::vector<uint8_t> DeviceRegistry::GetDeviceAddresses() const
{
    std::vector<uint8_t> addresses;
    for (const auto& record : records_)
        addresses.push_back(record.address);
    return addresses;
}

std::vector<size_t> DeviceRegistry::MarkSharedAddresses()
{
    std::vector<size_t> shared;
    for (size_t i = 0; i < records_.size(); ++i) {
        const uint8_t address = records_[i].address;
        const auto sameAddress = [address](const DeviceRecord& r) { return r.address == address; };
        if (std::count_if(records_.begin(), records_.end(), sameAddress) > 1) {
            records_[i].sharedAddress = true;
            shared.push_back(i);
        }
    }
    return shared;
}

bool IsAddressable(const DeviceRecord& record)
{
    return !record.sharedAddress && record.address >= FIRST_DEVICE_ADDRESS && record.address <= LAST_DEVICE_ADDRESS;
}

bool DeviceRegistry::SerialRepeatedAtAddress(size_t index) const
{
    const DeviceRecord& record = records_[index];
    const auto same = [&record](const DeviceRecord& r) {
        return r.address == record.address && r.serialNumber == record.serialNumber;
    };
    return std::count_if(records_.begin(), records_.end(), same) > 1;
}

void DeviceRegistry::Select(uint8_t index)
{
    selectedIndex_ = index;
    if (index < records_.size()) {
        selectedAddress_ = records_[index].address;
        selectedSerial_ = records_[index].serialNumber;
    } else {
        selectedSerial_.reset();
    }
}

void DeviceRegistry::SelectAddress(uint8_t address)
{
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [address](const DeviceRecord& r) { return r.address == address; });
    Select(found == records_.end() ? 0 : uint8_t(found - records_.begin()));
}

const DeviceRecord* DeviceRegistry::SelectedRecord() const
{
    if (selectedIndex_ >= records_.size() || !selectedSerial_)
        return nullptr;
    const DeviceRecord& record = records_[selectedIndex_];
    return record.serialNumber == *selectedSerial_ ? &record : nullptr;
}

const DeviceRecord* RequireSelectedDevice(Services& services, const DeviceRegistry& registry)
{
    const DeviceRecord* record = registry.SelectedRecord();
    if (!record)
        services.prompts.Message(" Select Device ",
                                 "The device list has changed since the device was selected.\n\n"
                                 "Please select the device again.",
                                 Buttons::Ok, Icon::Exclamation);
    return record;
}

}  // namespace orv
