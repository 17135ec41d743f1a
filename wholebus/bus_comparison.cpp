#include "wholebus/bus_comparison.h"

#include <algorithm>

#include "model/latin1.h"
#include "services/log.h"
#include "wholebus/config_diff.h"

namespace orv {

namespace {

constexpr const char* ARROW = " \u2192 ";

std::vector<DeviceRecord> RecordsOf(const std::vector<BackupDevice>& backup)
{
    std::vector<DeviceRecord> records;
    for (const BackupDevice& device : backup)
        records.push_back(device.record);
    return records;
}

// What a device's configuration is before it is read.
ConfigState StateBeforeRead(const BackupDevice& backup, const DeviceRecord& bus)
{
    if (!ConfigKindOfType(bus.typeCode))
        return ConfigState::NotConfigurable;
    if (!backup.file)
        return bus.configured ? ConfigState::NotInBackup : ConfigState::Same;
    if (bus.sharedAddress)
        return ConfigState::SharedAddress;
    return bus.configured ? ConfigState::Unread : ConfigState::NotConfigured;
}

// Reads the device of entry and compares; false when the interface was lost.
bool ReadAndCompare(DeviceComparison& entry, const DestinationNamer& nameBefore, const DestinationNamer& nameAfter,
                    Services& services)
{
    const ConfigKind kind = *ConfigKindOfType(entry.bus->typeCode);
    const ReadOutcome read = ReadConfigImage(StepProfileOf(kind), entry.bus->address, services);
    switch (read.result) {
    case ReadResult::InterfaceLost:
        entry.readProblem = "not read: the interface was lost";
        return false;
    case ReadResult::Failed:
        entry.readProblem = "did not answer " + BlockOfCount(read.unansweredBlock.value_or(0), read.blockCount) +
                            " of the configuration read";
        return true;
    case ReadResult::Damaged:
        entry.readProblem = "holds a damaged configuration (its layout or its CRC does not check)";
        return true;
    case ReadResult::Intact:
        break;
    }
    entry.differences =
        ConfigDifferences(kind, entry.backup->image, FileFormOfRead(kind, read), nameBefore, nameAfter);
    entry.config = entry.differences.empty() ? ConfigState::Same : ConfigState::Differs;
    return true;
}

}  // namespace

bool DeviceComparison::FirmwareDiffers() const
{
    return backup && bus && FirmwareText(backup->record) != FirmwareText(*bus);
}

bool DeviceComparison::Matches() const
{
    if (!backup)
        return true;
    return bus && !AddressDiffers() && (config == ConfigState::Same || config == ConfigState::NotConfigurable);
}

bool DeviceComparison::Writable() const
{
    return backup && backup->file && bus && ConfigKindOfType(bus->typeCode) && config != ConfigState::SharedAddress;
}

bool DeviceComparison::NeedsWrite() const
{
    return Writable() && (config == ConfigState::Differs || config == ConfigState::NotConfigured ||
                          config == ConfigState::Unread);
}

std::string DeviceComparison::DeviceText() const
{
    return Latin1ToUtf8(DeviceRowText(bus ? *bus : backup->record));
}

bool BusComparison::Matches() const
{
    for (const DeviceComparison& device : devices)
        if (!device.Matches())
            return false;
    return !interfaceLost;
}

void MarkWrittenFromBackup(BusComparison& comparison, size_t row)
{
    DeviceComparison& device = comparison.devices[row];
    device.config = ConfigState::Same;
    device.differences.clear();
    device.readProblem.clear();
    comparison.readAgain.push_back(row);
}

std::string ComparisonVerdict(const BusComparison& comparison, const std::string& comparedAt)
{
    const std::vector<size_t>& checkedAgain = comparison.readAgain;
    if (!comparison.Matches())
        return "The bus differs from the backup.";
    if (checkedAgain.empty())
        return "The bus matches the backup.";
    std::string notReadAgain;
    for (size_t row = 0; row < comparison.devices.size(); ++row) {
        const DeviceComparison& device = comparison.devices[row];
        const bool again = std::find(checkedAgain.begin(), checkedAgain.end(), row) != checkedAgain.end();
        if (again || !device.Writable())
            continue;
        notReadAgain += (notReadAgain.empty() ? "" : ", ") + Latin1ToUtf8(device.bus->name) +
                        StrF(" @ %d", device.bus->address);
    }
    if (notReadAgain.empty())
        return "The bus matches the backup.";
    return "The devices written match the backup; " + notReadAgain + " not read again since " + comparedAt + ".";
}

std::string StatusText(const DeviceComparison& device)
{
    if (device.MissingOnBus())
        return "missing on the bus";
    std::vector<std::string> parts;
    if (device.NotInBackup())
        parts.push_back("not in the backup");
    if (device.AddressDiffers())
        parts.push_back(StrF("address %d", device.backup->record.address) + ARROW + std::to_string(device.bus->address));
    if (device.FirmwareDiffers())
        parts.push_back("firmware " + FirmwareText(device.backup->record) + ARROW + FirmwareText(*device.bus));
    switch (device.config) {
    case ConfigState::NotConfigurable:
    case ConfigState::Same:
        break;
    case ConfigState::Differs:
        parts.push_back("configuration differs");
        break;
    case ConfigState::NotConfigured:
        parts.push_back("not configured");
        break;
    case ConfigState::NotInBackup:
        parts.push_back("configured, but the backup holds no configuration of it");
        break;
    case ConfigState::Unread:
        parts.push_back("configuration " + (device.readProblem.empty() ? std::string("not read") : device.readProblem));
        break;
    case ConfigState::SharedAddress:
        parts.push_back("shares its address with another device: not read");
        break;
    }
    if (device.NotInBackup() && device.bus && ConfigKindOfType(device.bus->typeCode) && !device.bus->configured)
        parts.push_back("not configured");
    if (parts.empty())
        return device.bus && ConfigKindOfType(device.bus->typeCode) && !device.bus->configured ? "same, not configured"
                                                                                              : "same";
    std::string text = parts.front();
    for (size_t i = 1; i < parts.size(); ++i)
        text += "; " + parts[i];
    return text;
}

std::vector<DeviceComparison> MatchWithBus(const std::vector<BackupDevice>& backup, const DeviceRegistry& registry)
{
    std::vector<bool> used(registry.Count(), false);
    std::vector<DeviceComparison> devices;
    for (const BackupDevice& device : backup) {
        DeviceComparison entry;
        entry.backup = device;
        std::optional<size_t> found;
        for (size_t i = 0; i < registry.Count(); ++i) {
            const DeviceRecord& record = registry.Record(i);
            if (used[i] || record.typeCode != device.record.typeCode || record.serialNumber != device.record.serialNumber)
                continue;
            // Among devices that carry one serial number, the one at the backup's address.
            if (!found || record.address == device.record.address)
                found = i;
        }
        if (found) {
            used[*found] = true;
            entry.bus = registry.Record(*found);
            entry.config = StateBeforeRead(device, *entry.bus);
        }
        devices.push_back(std::move(entry));
    }
    for (size_t i = 0; i < registry.Count(); ++i) {
        if (used[i])
            continue;
        DeviceComparison entry;
        entry.bus = registry.Record(i);
        devices.push_back(std::move(entry));
    }
    return devices;
}

BusComparison CompareWithBus(const std::vector<BackupDevice>& backup, const DeviceRegistry& registry,
                             Services& services, const ReadStep& step)
{
    BusComparison comparison;
    comparison.devices = MatchWithBus(backup, registry);
    const DestinationNamer before = NamerOf(RecordsOf(backup));
    const DestinationNamer after = NamerOf(registry);
    const size_t total = size_t(std::count_if(comparison.devices.begin(), comparison.devices.end(),
                                              [](const DeviceComparison& d) { return d.config == ConfigState::Unread; }));
    size_t done = 0;
    for (DeviceComparison& entry : comparison.devices) {
        if (entry.config != ConfigState::Unread)
            continue;
        if (!comparison.interfaceLost && !comparison.cancelled && step && !step(done, total, *entry.bus))
            comparison.cancelled = true;
        ++done;
        if (comparison.interfaceLost)
            entry.readProblem = "not read: the interface was lost";
        else if (comparison.cancelled)
            entry.readProblem = "not read: the comparison was stopped";
        else
            comparison.interfaceLost = !ReadAndCompare(entry, before, after, services);
    }
    return comparison;
}

DeviceComparison CompareDeviceWithImage(const BackupDevice& backup, const DeviceRecord& device,
                                        const DeviceRegistry& registry, Services& services)
{
    DeviceComparison entry;
    entry.backup = backup;
    entry.bus = device;
    entry.config = StateBeforeRead(backup, device);
    if (entry.config == ConfigState::Unread) {
        const DestinationNamer now = NamerOf(registry);
        ReadAndCompare(entry, now, now, services);
    }
    return entry;
}

}  // namespace orv
