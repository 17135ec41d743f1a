#include "wholebus/restore_plan.h"

#include <algorithm>

#include "config/config_kind.h"
#include "config/write_outcome_text.h"
#include "link/bus_link.h"
#include "model/latin1.h"

namespace orv {

namespace {

// The comparison may be older than the registry (a window stays open while
// the bus changes): a device is written only while the registry shows it alone
// at the address where the comparison found it, so that no other device is.
bool StillListedThere(const DeviceRecord& device, const DeviceRegistry& registry)
{
    bool listed = false;
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& record = registry.Record(i);
        if (record.address != device.address)
            continue;
        if (record.serialNumber != device.serialNumber || record.typeCode != device.typeCode)
            return false;
        listed = true;
    }
    return listed;
}

std::optional<DeviceRecord> ListedWithSerial(const SerialNumber& serial, const DeviceRegistry& registry)
{
    std::optional<DeviceRecord> found;
    for (size_t i = 0; i < registry.Count(); ++i)
        if (registry.Record(i).serialNumber == serial)
            found = registry.Record(i);
    return found;
}

// The write of row backup to target, read back.
RestoreStepResult Write(const RestoreWrite& write, const DeviceRecord& target, const BusComparison& comparison,
                        NetworkContext& context)
{
    RestoreStepResult step;
    step.target = target;
    const BackupDevice& backup = *comparison.devices[write.row].backup;
    const ConfigKind kind = *ConfigKindOfType(target.typeCode);
    step.outcome = WriteConfigImage(TransferProfileOf(kind), target.address, DeviceFormOfFile(kind, backup.image),
                                    context.services);
    step.status = step.outcome->result == WriteResult::Saved ? RestoreStatus::Written
                  : step.outcome->abandonedAfterBlocks       ? RestoreStatus::Abandoned
                                                             : RestoreStatus::WriteFailed;
    return step;
}

}  // namespace

std::vector<size_t> RowsToRestore(const BusComparison& comparison, bool force)
{
    std::vector<size_t> rows;
    for (size_t row = 0; row < comparison.devices.size(); ++row) {
        const DeviceComparison& device = comparison.devices[row];
        if (!device.backup || !device.backup->file)
            continue;
        if (device.Writable() && !force && !device.NeedsWrite())
            continue;
        rows.push_back(row);
    }
    return rows;
}

RestorePlan PlanRestore(const BusComparison& comparison, const std::vector<size_t>& rows,
                        const std::vector<RestoreReplacement>& replacements, const DeviceRegistry& registry)
{
    RestorePlan plan;
    std::vector<RestoreWrite> replaced;
    for (const RestoreReplacement& r : replacements) {
        const DeviceComparison* old = BackupEntryOf(r.old, comparison.devices);
        const std::optional<DeviceRecord> spare = ListedWithSerial(r.now, registry);
        if (old && spare)
            replaced.push_back({size_t(old - comparison.devices.data()), *spare, true});
    }
    const auto isReplaced = [&](size_t row) {
        return std::any_of(replaced.begin(), replaced.end(), [row](const RestoreWrite& w) { return w.row == row; });
    };
    for (size_t row = 0; row < comparison.devices.size(); ++row) {
        const DeviceComparison& device = comparison.devices[row];
        if (!device.backup || !device.backup->file || isReplaced(row))
            continue;
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) {
            plan.unchanged += device.Writable() && !device.NeedsWrite();
            continue;
        }
        if (device.MissingOnBus())
            plan.refused.emplace_back(row, RestoreRefusal::MissingOnBus);
        else if (!device.Writable())
            plan.refused.emplace_back(row, RestoreRefusal::SharedAddress);
        else
            plan.writes.push_back({row, *device.bus, false});
    }
    plan.writes.insert(plan.writes.end(), replaced.begin(), replaced.end());
    return plan;
}

size_t RestoreResult::Restored() const
{
    return size_t(std::count_if(steps.begin(), steps.end(),
                                [](const RestoreStepResult& s) { return s.status == RestoreStatus::Written; }));
}

RestoreResult RunRestore(const RestorePlan& plan, const BusComparison& comparison, NetworkContext& context,
                         const RestoreStepDone& done)
{
    RestoreResult result;
    result.steps.resize(plan.writes.size());
    for (size_t w = 0; w < plan.writes.size(); ++w)
        result.steps[w].target = plan.writes[w].target;
    const auto tell = [&](size_t w) {
        if (done)
            done(w, result.steps[w]);
    };

    // Replacements take the address of the device they replace before
    // anything is written: a move that fails writes nothing.
    for (size_t w = 0; w < plan.writes.size(); ++w) {
        const RestoreWrite& write = plan.writes[w];
        if (!write.replacement)
            continue;
        const uint8_t address = comparison.devices[write.row].backup->record.address;
        RestoreStepResult& step = result.steps[w];
        step.move = MoveDevice(context, write.target.serialNumber, address);
        if (*step.move != MoveResult::Moved) {
            step.status = RestoreStatus::MoveFailed;
            result.interfaceLost = *step.move == MoveResult::InterfaceLost;
            tell(w);
            return result;
        }
        step.target.address = address;
        tell(w);
    }

    for (size_t w = 0; w < plan.writes.size(); ++w) {
        // A stop request during a write lets that device finish: the restore stops between devices.
        if (context.services.stop.Count() > 0) {
            result.stopRequested = true;
            return result;
        }
        const RestoreWrite& write = plan.writes[w];
        RestoreStepResult& step = result.steps[w];
        if (!write.replacement && !StillListedThere(write.target, context.registry)) {
            step.status = RestoreStatus::NoLongerThere;
            tell(w);
            continue;
        }
        const std::optional<MoveResult> move = step.move;
        step = Write(write, step.target, comparison, context);
        step.move = move;
        tell(w);
        if (step.status == RestoreStatus::Abandoned) {
            result.abandoned = true;
            return result;
        }
        if (step.outcome->result == WriteResult::InterfaceLost || BusInterfaceLost()) {
            result.interfaceLost = true;
            return result;
        }
    }
    return result;
}

std::string RestoreStepText(const RestoreStepResult& step)
{
    switch (step.status) {
    case RestoreStatus::NotAttempted:
        return "not written";
    case RestoreStatus::NoLongerThere:
        return "not written: the device list no longer shows it there; compare with the backup again";
    case RestoreStatus::MoveFailed:
        return "not written: the device did not take the address";
    case RestoreStatus::Written:
    case RestoreStatus::WriteFailed:
    case RestoreStatus::Abandoned:
        break;
    }
    return WriteOutcomeText(*step.outcome, "the device",
                            "the interface was lost during the write: it may hold an incomplete configuration");
}

std::string MoveText(MoveResult result, const DeviceRecord& device, uint8_t address)
{
    const std::string name = Latin1ToUtf8(DeviceRowText(device));
    const std::string where = name + " at address " + std::to_string(device.address);
    switch (result) {
    case MoveResult::Moved:
        return device.address == address
                   ? where + ": address kept"
                   : name + ": address " + std::to_string(device.address) + " → " + std::to_string(address);
    case MoveResult::NotAcknowledged:
        return where + " did not acknowledge its new address " + std::to_string(address) + ": nothing written";
    case MoveResult::NotAnswering:
        return where + " acknowledged, but does not answer at address " + std::to_string(address) +
               ": nothing written";
    case MoveResult::InterfaceLost:
        break;
    }
    return "the interface was lost while " + where + " was given address " + std::to_string(address) +
           ": nothing written";
}

}  // namespace orv
