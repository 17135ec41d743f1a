#include "ui/bus_backup_commands.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <system_error>

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
#include "wholebus/restore_plan.h"

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

void WriteRowsOfBackup(BusComparisonWindow& window, const std::vector<size_t>& rows, NetworkContext& context,
                       const std::string& folder, const MayWrite& mayWrite)
{
    Services& services = context.services;
    if (mayWrite && !mayWrite())
        return;
    const BusComparison& comparison = window.Comparison();
    std::string list;
    for (size_t row : rows)
        list += "\n" + DeviceText(*comparison.devices[row].bus) + " ← " + *comparison.devices[row].backup->file;
    MessageBoxOptions question{RESTORE_CAPTION,
                               "Write the configuration of the backup to these devices? What they hold now is "
                               "replaced." + list,
                               Buttons::YesNo, Icon::Question, true};
    if (services.prompts.MessageBox(question) != Answer::Yes)
        return;

    const RestorePlan plan = PlanRestore(comparison, rows, {}, context.registry);
    RestoreResult result;
    {
        BusWork work(&window);
        result = RunRestore(plan, comparison, context);
    }
    std::vector<std::string> lines;
    for (size_t w = 0; w < plan.writes.size(); ++w) {
        const RestoreWrite& write = plan.writes[w];
        const RestoreStepResult& step = result.steps[w];
        if (step.status == RestoreStatus::Written)
            window.MarkWritten(write.row);
        lines.push_back(DeviceText(write.target) + " ← " + *comparison.devices[write.row].backup->file + ": " +
                        RestoreStepText(step));
    }
    const std::string heading = std::to_string(result.Restored()) + " of " + std::to_string(plan.Total()) +
                                " configuration(s) restored from " + folder + ".";
    auto* report = new BusReportWindow(window.GetParent(), RESTORE_CAPTION, heading, lines);
    report->Show();
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

    const BusComparison& comparison = window.Comparison();
    const RestorePlan plan = PlanRestore(comparison, {}, {{backup.record.serialNumber, spare.serialNumber}},
                                         context.registry);
    std::vector<std::string> lines;
    bool saved = false;
    {
        BusWork work(&window);
        const RestoreResult result = RunRestore(plan, comparison, context);
        for (const RestoreStepResult& step : result.steps) {
            if (step.move)
                lines.push_back(MoveText(*step.move, spare, address));
            if (step.outcome)
                lines.push_back(DeviceText(step.target) + " ← " + *backup.file + ": " +
                                RestoreStepText(step));
        }
        saved = result.Restored() == 1;
        // The list shows the device as configured from now on.
        if (saved)
            DiscoverDevices(context, BROADCAST_ADDRESS);
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
