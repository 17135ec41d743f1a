// backup and restore: every configuration on the bus into one folder (see
// config/backup_folder.h), and back to the devices with those serial numbers,
// wherever their addresses are now: only those whose configuration differs,
// after the comparison has been printed.
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "config/write_outcome_text.h"
#include "ctl/commands.h"
#include "ctl/config_transfer.h"
#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "ctl/whole_bus.h"
#include "link/bus_link.h"
#include "model/latin1.h"
#include "services/file_path.h"
#include "wholebus/bus_backup.h"
#include "wholebus/device_replacement.h"
#include "wholebus/restore_plan.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

// --replace OLD=NEW, as serial numbers.
struct Replacement {
    std::string text;
    SerialNumber old{};
    SerialNumber now{};
};

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string FileAndDevice(const BusComparison& comparison, const RestoreWrite& write, const DeviceRecord& target)
{
    return *comparison.devices[write.row].backup->file + " (" + DescribeDevice(target) + ")";
}

std::string Compact(const SerialNumber& serial)
{
    std::string text = SerialText(serial);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// restore's last line, on every exit.
int Finish(Run& run, int status, size_t restored, size_t total)
{
    run.terminal.out << restored << " of " << total << " configuration(s) restored\n";
    return status;
}

// Devices missing on the bus, beside unconfigured devices of their kind that
// the backup does not hold: the command that would put one in the other's place.
void SuggestReplacements(Run& run, const std::vector<DeviceComparison>& devices)
{
    for (const auto& [m, s] : ReplacementCandidates(devices)) {
        const DeviceComparison& missing = devices[m];
        const DeviceComparison& spare = devices[s];
        run.terminal.out << TerminalText(missing.DeviceText()) << " is missing on the bus, and "
                         << DescribeDevice(*spare.bus) << " is not configured: if it replaces it, run orvctl restore "
                         << run.line.operands[0] << " --replace " << Compact(missing.backup->record.serialNumber) << "="
                         << Compact(spare.bus->serialNumber) << '\n';
    }
}

// A replacement that did not take its address: why, and, when the interface
// was lost, how to finish.
void PrintMoveFailure(Run& run, const RestoreStepResult& step, const SerialNumber& oldSerial, uint8_t address)
{
    const DeviceRecord& device = step.target;
    switch (*step.move) {
    case MoveResult::Moved:
        break;
    case MoveResult::InterfaceLost:
        // The request may have reached the device: neither address is claimed.
        FailIfInterfaceLost(run);
        run.terminal.out << TerminalText(Latin1ToUtf8(DeviceRowText(device)))
                         << StrF(" may have moved from address %d to %d: the interface was lost before it answered "
                                 "at %d\nto finish, run ",
                                 device.address, address, address)
                         << OrvctlOnThisInterface(run) << "restore " << run.line.operands[0] << " --replace "
                         << Compact(oldSerial) << "=" << Compact(device.serialNumber)
                         << StrF(" again (it finds the device at %d or %d)\n", device.address, address);
        break;
    case MoveResult::NotAcknowledged:
        run.Warn(DescribeDevice(device) + " did not acknowledge SET_ADDRESS_BY_SN");
        break;
    case MoveResult::NotAnswering:
        run.Warn(DescribeDevice(device) + StrF(" acknowledged, but does not answer at address %d", address));
        break;
    }
}

}  // namespace

int BackupCommand(Run& run)
{
    const std::string& folder = run.line.operands[0];
    std::error_code error;
    fs::create_directories(PathOf(folder), error);
    if (error || !fs::is_directory(PathOf(folder), error))
        return run.Fail(EXIT_FILE, "cannot make the folder " + folder +
                                       (error ? ": " + error.message() : std::string()));

    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, run.line.Has("--all"), run.line.Has("--resolve")))
        return EXIT_BUS;
    // Everything is read before the folder is touched.
    const BusBackup read = ReadBusBackup(session.Registry(), session.Seams(),
                                         [&run](size_t, size_t, const DeviceRecord&) { return !run.stop.Asked(); });
    std::ostream& out = run.terminal.out;
    if (read.cancelled)
        return run.Stopped("nothing saved, " + folder + " holds what it held before");
    if (read.interfaceLost) {
        FailIfInterfaceLost(run);
        std::vector<std::string> names;
        for (const BackupDevice& device : read.devices)
            if (ConfigKindOfType(device.record.typeCode) && device.record.configured)
                names.push_back(DescribeDevice(device.record));
        return run.Fail(EXIT_BUS, "nothing saved, " + folder + " holds what it held before; not saved: " +
                                      Joined(names));
    }
    int status = EXIT_OK;
    for (const auto& [record, why] : read.notRead) {
        run.Warn(DescribeDevice(record) + " " + why + "; not saved");
        status = EXIT_BUS;
    }
    const BackupSaveResult saved = SaveBackupFolder(folder, read.devices);
    if (!saved.saved)
        return run.Fail(EXIT_FILE, saved.problem + "; nothing saved, " + folder + " holds what it held before");
    for (const std::string& warning : saved.warnings)
        run.Warn(warning);
    size_t count = 0;
    for (size_t i = 0; i < read.devices.size(); ++i) {
        const BackupDevice& device = read.devices[i];
        if (ConfigKindOfType(device.record.typeCode) && !device.record.configured)
            out << DescribeDevice(device.record) << ": not configured, nothing to back up\n";
        if (!device.file)
            continue;
        ++count;
        out << DescribeDevice(device.record) << " -> " << *device.file
            << (read.addressInName[i] ? "  (another device has its serial number: the address is in the name)" : "")
            << '\n';
    }
    out << count << " configuration(s) backed up in " << folder << '\n';
    return status;
}

int RestoreCommand(Run& run)
{
    const std::string folder = run.line.operands[0];
    // Every file is checked before anything goes to the bus.
    const BackupFolder backup = ReadBackupFolder(folder);
    if (!backup.Readable()) {
        for (const std::string& problem : backup.problems)
            run.Warn(problem);
        return Finish(run, run.Fail(EXIT_FILE, "nothing restored: the backup cannot be used"), 0,
                      backup.ConfigurationCount());
    }
    const size_t inBackup = backup.ConfigurationCount();
    std::vector<Replacement> replacements;
    for (const std::string& text : run.line.replacements) {
        const size_t equals = text.find('=');
        Replacement r{text};
        const auto old = ParseSerialText(text.substr(0, equals));
        const auto now = equals == std::string::npos ? std::nullopt : ParseSerialText(text.substr(equals + 1));
        if (!old || !now)
            return Finish(run,
                          run.Fail(EXIT_USAGE, "--replace takes OLD=NEW, two serial numbers as the tool shows them "
                                               "(21001031=21001112), not '" + text + "'"),
                          0, inBackup);
        r.old = *old;
        r.now = *now;
        // One device replaced twice, or one device put in two places, would be written twice over.
        for (const Replacement& earlier : replacements)
            if (earlier.old == r.old || earlier.now == r.now || earlier.old == r.now || earlier.now == r.old)
                return Finish(run,
                              run.Fail(EXIT_USAGE, "--replace " + earlier.text + " and --replace " + text +
                                                       " name one device twice: each device is replaced once"),
                              0, inBackup);
        replacements.push_back(r);
    }

    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, run.line.Has("--all"), run.line.Has("--resolve")))
        return Finish(run, EXIT_BUS, 0, inBackup);
    const BusComparison comparison = CompareWithBus(backup.devices, session.Registry(), session.Seams());
    PrintComparison(run.terminal.out, comparison.devices);
    if (FailIfInterfaceLost(run))
        return Finish(run, EXIT_BUS, 0, inBackup);
    if (run.stop.Asked())
        return Finish(run, run.Stopped("nothing was written"), 0, inBackup);

    std::vector<RestoreReplacement> chosen;
    for (const Replacement& r : replacements) {
        if (const auto refusal = ReplacementRefusal(r.old, r.now, comparison.devices, session.Registry()))
            return Finish(run, run.Fail(EXIT_USAGE, "--replace " + r.text + ": " + TerminalText(*refusal)), 0, inBackup);
        chosen.push_back({r.old, r.now});
    }
    const RestorePlan plan =
        PlanRestore(comparison, RowsToRestore(comparison, run.line.Has("--force")), chosen, session.Registry());
    int status = EXIT_OK;
    for (const auto& [row, why] : plan.refused) {
        const DeviceComparison& device = comparison.devices[row];
        if (why == RestoreRefusal::MissingOnBus)
            run.Warn(*device.backup->file + ": no device with its kind and serial number answers on the bus");
        else
            run.Warn(*device.backup->file + ": " + DescribeDevice(*device.bus) + " shares its address; not written");
        status = EXIT_BUS;
    }
    if (replacements.empty())
        SuggestReplacements(run, comparison.devices);

    std::vector<DeviceRecord> targets;
    for (const RestoreWrite& write : plan.writes)
        targets.push_back(write.target);
    const RestoreResult result =
        RunRestore(plan, comparison, session.Context(), [&](size_t w, const RestoreStepResult& step) {
            const RestoreWrite& write = plan.writes[w];
            const BackupDevice& backup = *comparison.devices[write.row].backup;
            targets[w] = step.target;
            if (step.status == RestoreStatus::MoveFailed) {
                PrintMoveFailure(run, step, backup.record.serialNumber, backup.record.address);
                return;
            }
            if (step.status == RestoreStatus::NotAttempted) {
                if (step.target.address != write.target.address)
                    run.terminal.out << TerminalText(Latin1ToUtf8(DeviceRowText(step.target))) << ": address "
                                     << int(write.target.address) << " -> " << int(step.target.address) << '\n';
                return;
            }
            if (step.status == RestoreStatus::Written) {
                run.terminal.out << *backup.file << " -> " << DescribeDevice(step.target) << '\n';
                return;
            }
            if (step.status == RestoreStatus::NoLongerThere) {
                run.Warn(DescribeDevice(step.target) + ": the device list no longer shows it there; not written");
                status = EXIT_BUS;
                return;
            }
            const std::string text = WriteOutcomeText(*step.outcome, DescribeDevice(step.target), InterfaceLostText(run));
            if (step.status == RestoreStatus::Abandoned)
                run.Stopped(text);
            else
                run.Fail(EXIT_BUS, text);
            run.Warn(IncompleteWriteAdvice(step.target, TextOf(PathOf(folder) / PathOf(*backup.file))));
            status = EXIT_BUS;
        });
    const size_t restored = result.Restored();
    const size_t total = plan.Total();
    if (std::any_of(result.steps.begin(), result.steps.end(),
                    [](const RestoreStepResult& step) { return step.status == RestoreStatus::MoveFailed; }))
        return Finish(run, EXIT_BUS, 0, total);

    // What was written and what was not, when the restore stopped part-way;
    // the device being written when the interface was lost is named by its own line.
    const auto listWritten = [&](const char* before) {
        std::vector<std::string> done;
        std::vector<std::string> notDone;
        for (size_t w = 0; w < plan.writes.size(); ++w) {
            const RestoreStatus s = result.steps[w].status;
            if (s == RestoreStatus::Written)
                done.push_back(FileAndDevice(comparison, plan.writes[w], targets[w]));
            else if (s == RestoreStatus::NotAttempted || s == RestoreStatus::Abandoned)
                notDone.push_back(FileAndDevice(comparison, plan.writes[w], targets[w]));
        }
        run.terminal.out << before << (done.empty() ? "none" : Joined(done))
                         << "\nnot written: " << (notDone.empty() ? "none" : Joined(notDone)) << '\n';
    };
    if (result.stopRequested) {
        listWritten("written before Ctrl+C: ");
        return Finish(run, run.Stopped("the restore stopped between devices"), restored, total);
    }
    if (result.abandoned) {
        listWritten("written before Ctrl+C: ");
        return Finish(run, EXIT_STOPPED, restored, total);
    }
    if (result.interfaceLost) {
        listWritten("written before the interface was lost: ");
        return Finish(run, EXIT_BUS, restored, total);
    }
    if (plan.unchanged > 0)
        run.terminal.out << plan.unchanged
                         << " device(s) already as in the backup, not written (--force writes them too)\n";
    return Finish(run, status, restored, total);
}

}  // namespace orv
