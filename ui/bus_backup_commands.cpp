#include "ui/bus_backup_commands.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <system_error>

#include "config/block_transfer.h"
#include "link/bus_link.h"
#include "model/latin1.h"
#include "network/bus_reconnect.h"
#include "network/discovery.h"
#include "services/file_path.h"
#include "ui/bus_comparison_window.h"
#include "ui/bus_report_window.h"
#include "ui/bus_work.h"
#include "wholebus/bus_backup.h"
#include "wholebus/bus_comparison.h"
#include "wholebus/device_replacement.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr const char* BACKUP_CAPTION = "Back Up Bus";
constexpr const char* COMPARE_CAPTION = "Compare with Backup";

std::string DeviceText(const DeviceRecord& record)
{
    return Latin1ToUtf8(DeviceRowText(record)) + " at address " + std::to_string(record.address);
}

// A progress window with Cancel that follows the reads; its step says stop on Cancel.
class ReadProgress {
public:
    ReadProgress(Prompts& prompts, const char* title)
        : dialog_(prompts.StartProgress(ProgressOptions{title, "Reading the devices ...", 100, true}))
    {
    }
    ReadStep Step()
    {
        return [this](size_t done, size_t total, const DeviceRecord& device) {
            const int value = total == 0 ? 0 : int(done * 99 / total);
            return dialog_->Update(value, "Reading " + DeviceText(device) + " ...");
        };
    }
    void Hide() { dialog_->Hide(); }

private:
    std::unique_ptr<ProgressDialog> dialog_;
};

// The bus is open and the last discovery found devices; else a box says what to do.
bool ReadyForBusWork(const DeviceRegistry& registry, Services& services, const char* caption)
{
    if (!OfferBusReconnect(services.prompts))
        return false;
    if (registry.Count() > 0)
        return true;
    services.prompts.Message(caption, "No devices are listed. Discover the devices first.", Buttons::Ok,
                             Icon::Exclamation);
    return false;
}

}  // namespace

BusReportWindow* BackUpBus(wxWindow* parent, const DeviceRegistry& registry, Services& services,
                           const std::string& folder)
{
    Prompts& prompts = services.prompts;
    std::error_code error;
    fs::create_directories(PathOf(folder), error);
    if (error || !fs::is_directory(PathOf(folder), error)) {
        prompts.Message(BACKUP_CAPTION,
                        "Cannot make the folder " + folder + (error ? ": " + error.message() : std::string()),
                        Buttons::Ok, Icon::Error);
        return nullptr;
    }
    if (!ReadyForBusWork(registry, services, BACKUP_CAPTION))
        return nullptr;

    BusBackup read;
    {
        BusWork work(parent);
        ReadProgress progress(prompts, BACKUP_CAPTION);
        read = ReadBusBackup(registry, services, progress.Step());
        progress.Hide();
    }
    if (read.interfaceLost)
        ReportBusInterfaceLost();

    std::vector<std::string> lines;
    std::string heading;
    if (read.interfaceLost || read.cancelled) {
        // Everything is read before the folder is touched: a backup cut short writes nothing.
        heading = std::string(read.interfaceLost ? "The interface was lost" : "Cancelled") + ": nothing saved, " +
                  folder + " holds what it held before.";
        for (const BackupDevice& device : read.devices)
            if (ConfigKindOfType(device.record.typeCode) && device.record.configured)
                lines.push_back("not saved: " + DeviceText(device.record));
    } else if (const BackupSaveResult saved = SaveBackupFolder(folder, read.devices); !saved.saved) {
        // The folder is replaced whole or not at all: one file that cannot be written keeps every one.
        heading = "Nothing saved, " + folder + " holds what it held before.";
        lines.push_back("not saved: " + saved.problem);
    } else {
        size_t count = 0;
        for (const BackupDevice& device : read.devices) {
            const auto notRead = std::find_if(read.notRead.begin(), read.notRead.end(), [&](const auto& f) {
                return f.first.serialNumber == device.record.serialNumber && f.first.address == device.record.address;
            });
            if (notRead != read.notRead.end()) {
                lines.push_back("not saved: " + DeviceText(device.record) + ": " + notRead->second);
            } else if (device.file) {
                ++count;
                lines.push_back("saved: " + DeviceText(device.record) + " → " + *device.file);
            } else if (ConfigKindOfType(device.record.typeCode)) {
                lines.push_back("not configured, nothing to back up: " + DeviceText(device.record));
            } else {
                lines.push_back("listed (no configuration): " + DeviceText(device.record));
            }
        }
        for (const std::string& warning : saved.warnings)
            lines.push_back("warning: " + warning);
        heading = std::to_string(count) + " configuration(s) backed up in " + folder + ".";
    }
    auto* window = new BusReportWindow(parent, BACKUP_CAPTION, heading, lines);
    window->Show();
    return window;
}

namespace {

constexpr const char* RESTORE_CAPTION = "Restore Bus";

// The backup in folder against the bus, or nothing after a box said why not.
std::optional<BusComparison> Compare(const DeviceRegistry& registry, Services& services, const std::string& folder,
                                     wxWindow* parent, const char* caption)
{
    Prompts& prompts = services.prompts;
    const BackupFolder backup = ReadBackupFolder(folder);
    if (!backup.Readable()) {
        std::string text = "The backup in " + folder + " cannot be used:";
        for (const std::string& problem : backup.problems)
            text += "\n" + problem;
        prompts.Message(caption, text, Buttons::Ok, Icon::Error);
        return std::nullopt;
    }
    if (!ReadyForBusWork(registry, services, caption))
        return std::nullopt;

    BusComparison comparison;
    {
        BusWork work(parent);
        ReadProgress progress(prompts, caption);
        comparison = CompareWithBus(backup.devices, registry, services, progress.Step());
        progress.Hide();
    }
    if (comparison.interfaceLost)
        ReportBusInterfaceLost();
    return comparison;
}

// What one write came to, in words; true when the device holds the backup now.
std::pair<bool, std::string> WriteResultText(WriteResult result)
{
    switch (result) {
    case WriteResult::Saved:
        return {true, "written and read back"};
    case WriteResult::NotVerified:
        return {false, "not verified: the read-back differs from the backup"};
    case WriteResult::InterfaceLost:
        return {false, "the interface was lost during the write: it may hold an incomplete configuration"};
    case WriteResult::Failed:
        break;
    }
    return {false, "not verified: the read-back was not answered"};
}

// The window stays open while the bus may change (a discovery, a device
// moved): a device is written only while the list shows it alone at the
// address where the comparison found it, so that no other device is.
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

void WriteRowsOfBackup(BusComparisonWindow& window, const std::vector<size_t>& rows, NetworkContext& context,
                       const std::string& folder, const MayWrite& mayWrite)
{
    Services& services = context.services;
    if (mayWrite && !mayWrite())
        return;
    const std::vector<DeviceComparison>& devices = window.Comparison().devices;
    std::string list;
    for (size_t row : rows)
        list += "\n" + DeviceText(*devices[row].bus) + " ← " + *devices[row].backup->file;
    MessageBoxOptions question{RESTORE_CAPTION,
                               "Write the configuration of the backup to these devices? What they hold now is "
                               "replaced." + list,
                               Buttons::YesNo, Icon::Question, true};
    if (services.prompts.MessageBox(question) != Answer::Yes)
        return;

    std::vector<std::string> lines;
    size_t restored = 0;
    {
        BusWork work(&window);
        bool stopped = false;
        for (size_t row : rows) {
            const DeviceComparison& device = devices[row];
            const std::string target = DeviceText(*device.bus) + " ← " + *device.backup->file + ": ";
            if (stopped) {
                lines.push_back(target + "not written");
                continue;
            }
            if (!StillListedThere(*device.bus, context.registry)) {
                lines.push_back(target + "not written: the device list no longer shows it there; compare with the "
                                         "backup again");
                continue;
            }
            const ConfigKind kind = *ConfigKindOfType(device.bus->typeCode);
            const WriteOutcome outcome = WriteConfigImage(TransferProfileOf(kind), device.bus->address,
                                                          DeviceFormOfFile(kind, device.backup->image), services);
            const auto [saved, text] = WriteResultText(outcome.result);
            if (saved) {
                ++restored;
                window.MarkWritten(row);
            }
            lines.push_back(target + text);
            stopped = outcome.result == WriteResult::InterfaceLost;
        }
    }
    const std::string heading = std::to_string(restored) + " of " + std::to_string(rows.size()) +
                                " configuration(s) restored from " + folder + ".";
    auto* report = new BusReportWindow(window.GetParent(), RESTORE_CAPTION, heading, lines);
    report->Show();
}

// The words of a replacement's move to address.
std::string MoveText(MoveResult result, const DeviceRecord& device, uint8_t address)
{
    switch (result) {
    case MoveResult::Moved:
        return device.address == address
                   ? DeviceText(device) + ": address kept"
                   : Latin1ToUtf8(DeviceRowText(device)) + ": address " + std::to_string(device.address) + " → " +
                         std::to_string(address);
    case MoveResult::NotAcknowledged:
        return DeviceText(device) + " did not acknowledge its new address " + std::to_string(address) +
               ": nothing written";
    case MoveResult::NotAnswering:
        return DeviceText(device) + " acknowledged, but does not answer at address " + std::to_string(address) +
               ": nothing written";
    case MoveResult::InterfaceLost:
        break;
    }
    return "the interface was lost while " + DeviceText(device) + " was given address " + std::to_string(address) +
           ": nothing written";
}

void ReplaceMissingDevice(BusComparisonWindow& window, size_t missingRow, NetworkContext& context,
                          const MayWrite& mayWrite)
{
    Prompts& prompts = context.services.prompts;
    const std::vector<DeviceComparison>& devices = window.Comparison().devices;
    const std::vector<size_t> spares = window.SparesFor(missingRow);
    if (spares.empty())
        return;
    const DeviceComparison& missing = devices[missingRow];
    size_t spareRow = spares.front();
    if (spares.size() > 1) {
        std::vector<std::string> choices;
        for (size_t spare : spares)
            choices.push_back(DeviceText(*devices[spare].bus));
        const std::optional<int> chosen = prompts.SingleChoice(
            ChoiceOptions{RESTORE_CAPTION, "Which device takes the place of " + missing.DeviceText() + "?", choices});
        if (!chosen || *chosen < 0 || size_t(*chosen) >= spares.size())
            return;
        spareRow = spares[size_t(*chosen)];
    }
    const DeviceRecord spare = *devices[spareRow].bus;
    const BackupDevice& backup = *missing.backup;
    const uint8_t address = backup.record.address;
    if (const auto refusal =
            ReplacementRefusal(backup.record.serialNumber, spare.serialNumber, devices, context.registry)) {
        prompts.Message(RESTORE_CAPTION,
                        DeviceText(spare) + " cannot take the place of " + missing.DeviceText() + ":\n" + *refusal,
                        Buttons::Ok, Icon::Exclamation);
        return;
    }
    if (mayWrite && !mayWrite())
        return;
    const std::string where = spare.address == address ? "keeps address " + std::to_string(address)
                                                         : "takes address " + std::to_string(address);
    MessageBoxOptions question{RESTORE_CAPTION,
                               "Put " + DeviceText(spare) + " in the place of " + missing.DeviceText() +
                                   ", missing on the bus?\n\nIt " + where + " and the configuration of " +
                                   *backup.file + ", read back after the write.",
                               Buttons::YesNo, Icon::Question, true};
    if (prompts.MessageBox(question) != Answer::Yes)
        return;

    std::vector<std::string> lines;
    bool saved = false;
    {
        BusWork work(&window);
        const MoveResult moved = MoveDevice(context, spare.serialNumber, address);
        lines.push_back(MoveText(moved, spare, address));
        if (moved == MoveResult::Moved) {
            DeviceRecord target = spare;
            target.address = address;
            const ConfigKind kind = *ConfigKindOfType(target.typeCode);
            const WriteOutcome outcome = WriteConfigImage(TransferProfileOf(kind), address,
                                                          DeviceFormOfFile(kind, backup.image), context.services);
            const auto [written, text] = WriteResultText(outcome.result);
            saved = written;
            lines.push_back(DeviceText(target) + " ← " + *backup.file + ": " + text);
            // The list shows the device as configured from now on.
            if (saved)
                DiscoverDevices(context, BROADCAST_ADDRESS);
        }
    }
    ReportBusInterfaceLost();
    if (saved)
        window.MarkReplaced(missingRow, spareRow);
    const std::string heading =
        saved ? Latin1ToUtf8(DeviceRowText(spare)) + " is in the place of " +
                    missing.DeviceText() + " now, at address " + std::to_string(address) + "."
              : Latin1ToUtf8(DeviceRowText(spare)) + " has not taken the place of " + missing.DeviceText() + ".";
    auto* report = new BusReportWindow(window.GetParent(), RESTORE_CAPTION, heading, lines);
    report->Show();
}

}  // namespace

BusComparisonWindow* CompareBusWithBackup(wxWindow* parent, const DeviceRegistry& registry, Services& services,
                                          const std::string& folder)
{
    std::optional<BusComparison> comparison = Compare(registry, services, folder, parent, COMPARE_CAPTION);
    if (!comparison)
        return nullptr;
    auto* window = new BusComparisonWindow(parent, std::move(*comparison), folder);
    window->Show();
    return window;
}

BusComparisonWindow* RestoreBus(wxWindow* parent, NetworkContext& context, const std::string& folder,
                                MayWrite mayWrite)
{
    std::optional<BusComparison> comparison =
        Compare(context.registry, context.services, folder, parent, RESTORE_CAPTION);
    if (!comparison)
        return nullptr;
    WriteRows write = [&context, folder, mayWrite](BusComparisonWindow& window, const std::vector<size_t>& rows) {
        WriteRowsOfBackup(window, rows, context, folder, mayWrite);
    };
    ReplaceRow replace = [&context, mayWrite](BusComparisonWindow& window, size_t missingRow) {
        ReplaceMissingDevice(window, missingRow, context, mayWrite);
    };
    auto* window =
        new BusComparisonWindow(parent, std::move(*comparison), folder, std::move(write), std::move(replace));
    window->Show();
    return window;
}

}  // namespace orv
