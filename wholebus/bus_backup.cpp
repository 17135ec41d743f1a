#include "wholebus/bus_backup.h"

namespace orv {

namespace {

bool SerialRepeated(const DeviceRegistry& registry, size_t index)
{
    for (size_t j = 0; j < registry.Count(); ++j)
        if (j != index && BackupFileNameOf(registry.Record(j)) == BackupFileNameOf(registry.Record(index)))
            return true;
    return false;
}

}  // namespace

BusBackup ReadBusBackup(const DeviceRegistry& registry, Services& services, const ReadStep& step)
{
    BusBackup backup;
    size_t total = 0;
    for (size_t i = 0; i < registry.Count(); ++i)
        total += ConfigKindOfType(registry.Record(i).typeCode) && registry.Record(i).configured ? 1 : 0;
    size_t done = 0;
    for (size_t i = 0; i < registry.Count(); ++i) {
        BackupDevice device;
        device.record = registry.Record(i);
        device.record.sharedAddress = false;
        const DeviceRecord& record = registry.Record(i);
        const bool repeated = SerialRepeated(registry, i);
        backup.addressInName.push_back(repeated);
        const std::optional<ConfigKind> kind = ConfigKindOfType(record.typeCode);
        if (kind && record.configured) {
            if (!backup.interfaceLost && !backup.cancelled && step && !step(done, total, record))
                backup.cancelled = true;
            ++done;
            if (backup.interfaceLost) {
                backup.notRead.emplace_back(record, "not read: the interface was lost");
            } else if (backup.cancelled) {
                backup.notRead.emplace_back(record, "not read: the backup was stopped");
            } else if (record.sharedAddress) {
                backup.notRead.emplace_back(record, "shares its address with another device: not read");
            } else {
                const ReadOutcome read = ReadConfigImage(StepProfileOf(*kind), record.address, services);
                switch (read.result) {
                case ReadResult::Intact:
                    device.file = BackupFileNameOf(record, repeated);
                    device.image = FileFormOfRead(*kind, read);
                    break;
                case ReadResult::InterfaceLost:
                    backup.interfaceLost = true;
                    backup.notRead.emplace_back(record, "not read: the interface was lost");
                    break;
                case ReadResult::Failed:
                    backup.notRead.emplace_back(
                        record, "did not answer " + BlockOfCount(read.unansweredBlock.value_or(0), read.blockCount) +
                                    " of the configuration read");
                    break;
                case ReadResult::Damaged:
                    backup.notRead.emplace_back(
                        record, "holds a damaged configuration (its layout or its CRC does not check)");
                    break;
                }
            }
        }
        backup.devices.push_back(std::move(device));
    }
    return backup;
}

}  // namespace orv
