#include "wholebus/device_replacement.h"

#include "link/bus_link.h"
#include "model/latin1.h"
#include "network/address_management.h"
#include "network/discovery.h"
#include "services/log.h"

namespace orv {

namespace {

const DeviceRecord* OnBus(const DeviceRegistry& registry, const SerialNumber& serial)
{
    for (size_t i = 0; i < registry.Count(); ++i)
        if (registry.Record(i).serialNumber == serial)
            return &registry.Record(i);
    return nullptr;
}

std::string Described(const DeviceRecord& record)
{
    return Latin1ToUtf8(DeviceRowText(record)) + StrF(" at address %d", record.address);
}

}  // namespace

bool IsSpare(const DeviceComparison& device)
{
    return device.bus && ConfigKindOfType(device.bus->typeCode) && !device.bus->configured &&
           !(device.backup && device.backup->file);
}

std::vector<std::pair<size_t, size_t>> ReplacementCandidates(const std::vector<DeviceComparison>& devices)
{
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t m = 0; m < devices.size(); ++m) {
        if (!devices[m].MissingOnBus() || !devices[m].backup->file)
            continue;
        for (size_t s = 0; s < devices.size(); ++s)
            if (IsSpare(devices[s]) && devices[s].bus->typeCode == devices[m].backup->record.typeCode)
                pairs.emplace_back(m, s);
    }
    return pairs;
}

const DeviceComparison* BackupEntryOf(const SerialNumber& old, const std::vector<DeviceComparison>& devices)
{
    for (const DeviceComparison& device : devices)
        if (device.backup && device.backup->record.serialNumber == old)
            return &device;
    return nullptr;
}

std::optional<std::string> ReplacementRefusal(const SerialNumber& old, const SerialNumber& replacement,
                                              const std::vector<DeviceComparison>& devices,
                                              const DeviceRegistry& registry)
{
    const DeviceComparison* entry = BackupEntryOf(old, devices);
    if (!entry || !entry->backup->file)
        return "the backup holds no configuration of the device " + SerialText(old);
    if (entry->bus)
        return Described(*entry->bus) + " still answers on the bus; it needs no replacement";
    const DeviceRecord* device = OnBus(registry, replacement);
    if (!device)
        return "no device " + SerialText(replacement) + " answers on the bus";
    if (device->typeCode != entry->backup->record.typeCode)
        return Described(*device) + " is not of the kind of " + Latin1ToUtf8(DeviceRowText(entry->backup->record));
    for (const DeviceComparison& other : devices)
        if (other.backup && other.backup->file && other.bus && other.bus->serialNumber == replacement)
            return "the backup holds a configuration of " + Described(*device) + " itself; it replaces no other device";
    const uint8_t address = entry->backup->record.address;
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& holder = registry.Record(i);
        if (holder.address == address && holder.serialNumber != replacement)
            return StrF("address %d, which ", address) + Latin1ToUtf8(DeviceRowText(entry->backup->record)) +
                   " had, is taken by " + Described(holder) + "; give that device another address first";
    }
    return std::nullopt;
}

MoveResult MoveDevice(NetworkContext& context, const SerialNumber& serial, uint8_t address)
{
    const DeviceRecord* found = OnBus(context.registry, serial);
    if (!found)
        return MoveResult::NotAnswering;
    const DeviceRecord device = *found;
    if (device.address == address)
        return MoveResult::Moved;
    const bool acknowledged = RequestAddressChange(context.services, device, address);
    if (BusInterfaceLost())
        return MoveResult::InterfaceLost;
    if (!acknowledged)
        return MoveResult::NotAcknowledged;
    DiscoverDevices(context, BROADCAST_ADDRESS);
    if (BusInterfaceLost())
        return MoveResult::InterfaceLost;
    const DeviceRecord* moved = OnBus(context.registry, serial);
    return moved && moved->address == address ? MoveResult::Moved : MoveResult::NotAnswering;
}

}  // namespace orv
