// backup and restore: every configuration on the bus into one folder, one
// file per device named by kind and serial number (and address, for a serial
// number that two devices carry), and back to the devices with those serial
// numbers, wherever their addresses are now.
#include <filesystem>
#include <map>
#include <ostream>
#include <regex>
#include <system_error>

#include "config/safe_file_write.h"
#include "ctl/commands.h"
#include "ctl/config_transfer.h"
#include "ctl/device_list.h"
#include "ctl/interface_lost.h"
#include "link/bus_link.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

constexpr const char* MANIFEST = "manifest.json";

// The manifest: the bus as the backup found it, and each device's file.
std::string ManifestText(const DeviceRegistry& registry, const std::map<size_t, std::string>& files)
{
    std::string text = "{\n  \"devices\": [\n";
    for (size_t i = 0; i < registry.Count(); ++i) {
        const auto file = files.find(i);
        text += "    {" + DeviceJsonMembers(registry.Record(i)) +
                ", \"file\": " + (file == files.end() ? std::string("null") : JsonString(file->second)) + "}";
        text += i + 1 < registry.Count() ? ",\n" : "\n";
    }
    return text + "  ]\n}\n";
}

// Whether another record of the same kind has the serial number of record i.
bool SerialRepeated(const DeviceRegistry& registry, size_t i)
{
    for (size_t j = 0; j < registry.Count(); ++j)
        if (j != i && BackupFileName(registry.Record(j)) == BackupFileName(registry.Record(i)))
            return true;
    return false;
}

}  // namespace

int BackupCommand(Run& run)
{
    const fs::path folder = run.line.operands[0];
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder))
        return run.Fail(EXIT_FILE, "cannot make the folder " + folder.string() +
                                       (error ? ": " + error.message() : std::string()));

    BusSession session(run);
    if (!session.Open() || !DiscoverSomeOrFail(run, session, run.line.Has("--all"), run.line.Has("--resolve")))
        return EXIT_BUS;
    const DeviceRegistry& registry = session.Registry();
    std::ostream& out = run.terminal.out;
    std::map<size_t, std::string> files;
    int status = EXIT_OK;
    auto worse = [&status](int next) {
        if (status == EXIT_OK || next == EXIT_BUS)
            status = next;
    };
    for (size_t i = 0; i < registry.Count(); ++i) {
        const DeviceRecord& record = registry.Record(i);
        const std::optional<ConfigKind> kind = ConfigKindOfType(record.typeCode);
        if (!kind)
            continue;
        if (!record.configured) {
            out << DescribeDevice(record) << ": not configured, nothing to back up\n";
            continue;
        }
        if (record.sharedAddress) {
            worse(run.Fail(EXIT_BUS, DescribeDevice(record) + " shares its address; not read"));
            continue;
        }
        // Two devices with one serial number would otherwise share one file.
        const bool serialRepeated = SerialRepeated(registry, i);
        const std::string name = *BackupFileName(record, serialRepeated);
        const int read = ReadConfigToFile(run, session, record, *kind, (folder / name).string());
        if (BusInterfaceLost())
            return read;
        worse(read);
        if (read != EXIT_OK)
            continue;
        files[i] = name;
        out << DescribeDevice(record) << " -> " << name
            << (serialRepeated ? "  (another device has its serial number: the address is in the name)" : "") << '\n';
    }
    const std::string manifest = ManifestText(registry, files);
    const FileWriteResult written = WriteFileSafely((folder / MANIFEST).string(),
                                                    reinterpret_cast<const uint8_t*>(manifest.data()),
                                                    manifest.size());
    if (!written.written)
        worse(run.Fail(EXIT_FILE, "cannot write " + (folder / MANIFEST).string() + ": " + written.reason));
    out << files.size() << " configuration(s) backed up in " << folder.string() << '\n';
    return status;
}

int RestoreCommand(Run& run)
{
    const fs::path folder = run.line.operands[0];
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return run.Fail(EXIT_FILE, folder.string() + " is no folder");

    // Every file is checked before anything goes to the bus.
    static const std::regex BACKUP_FILE("(input8|rs232)-[0-9A-F]{8}(-at[0-9]{1,3})?\\.bin");
    std::map<std::string, ConfigFile> files;
    int fileProblems = 0;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!std::regex_match(name, BACKUP_FILE))
            continue;
        const ConfigKind kind = name.starts_with("input8") ? ConfigKind::Input8 : ConfigKind::RS232;
        ConfigFile file = LoadConfigFile(entry->path().string(), kind);
        if (file.status != ConfigFileStatus::Ok) {
            run.Warn(ConfigFileProblem(entry->path().string(), file.status, kind));
            ++fileProblems;
            continue;
        }
        files[name] = std::move(file);
    }
    if (error)
        return run.Fail(EXIT_FILE, "cannot read the folder " + folder.string() + ": " + error.message());
    if (fileProblems > 0)
        return run.Fail(EXIT_FILE, "nothing restored: " + std::to_string(fileProblems) + " file(s) refused");
    if (files.empty())
        return run.Fail(EXIT_FILE, folder.string() + " holds no configuration files (input8-*.bin, rs232-*.bin)");

    BusSession session(run);
    if (!session.Open() || !session.DiscoverSome(run.line.Has("--all"), run.line.Has("--resolve")))
        return EXIT_BUS;
    const DeviceRegistry& registry = session.Registry();
    std::ostream& out = run.terminal.out;
    int failures = 0;
    for (const auto& [name, file] : files) {
        std::vector<size_t> owners;
        for (size_t i = 0; i < registry.Count(); ++i)
            if (BackupFileName(registry.Record(i), name.find("-at") != std::string::npos) == name)
                owners.push_back(i);
        if (owners.size() != 1) {
            run.Warn(name + (owners.empty() ? ": no device with its kind and serial number answers on the bus"
                                            : ": more than one device answers with its serial number"));
            ++failures;
            continue;
        }
        const DeviceRecord& record = registry.Record(owners.front());
        if (record.sharedAddress) {
            run.Warn(name + ": " + DescribeDevice(record) + " shares its address; not written");
            ++failures;
            continue;
        }
        const ConfigKind kind = *ConfigKindOfType(record.typeCode);
        const int written = WriteConfigFromFile(run, session, record, kind, file.image);
        if (BusInterfaceLost())
            return written;
        if (written != EXIT_OK) {
            ++failures;
            continue;
        }
        out << name << " -> " << DescribeDevice(record) << '\n';
    }
    out << files.size() - size_t(failures) << " of " << files.size() << " configuration(s) restored\n";
    return failures > 0 ? EXIT_BUS : EXIT_OK;
}

}  // namespace orv
