#include "wholebus/backup_folder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <system_error>

#include <nlohmann/json.hpp>

#include "config/regular_file_read.h"
#include "model/input8_image.h"
#include "model/latin1.h"
#include "model/rs232_image.h"
#include "services/file_path.h"
#include "services/log.h"
#include "wholebus/folder_set_write.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

using Json = nlohmann::ordered_json;

// A manifest of 255 devices is a few kB; a file of more is none.
constexpr size_t MAX_MANIFEST_SIZE = 256 * 1024;

std::string Dump(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// {"address": 3, "name": ...}: one line, as the device lists of orvctl print them.
std::string ObjectLine(const Json& object)
{
    std::string line = "{";
    for (auto item = object.begin(); item != object.end(); ++item)
        line += (item == object.begin() ? "" : ", ") + Dump(item.key()) + ": " + Dump(item.value());
    return line + "}";
}

// "1.20" as FirmwareText writes it: major and minor, each one or two hexadecimal digits.
std::optional<std::pair<uint8_t, uint8_t>> ParseFirmwareText(const std::string& text)
{
    const size_t dot = text.find('.');
    const auto part = [](std::string_view digits) -> std::optional<uint8_t> {
        unsigned value = 0;
        if (digits.empty() || digits.size() > 2)
            return std::nullopt;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (error != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
        return uint8_t(value);
    };
    if (dot == std::string::npos)
        return std::nullopt;
    const auto major = part(std::string_view(text).substr(0, dot));
    const auto minor = part(std::string_view(text).substr(dot + 1));
    if (!major || !minor)
        return std::nullopt;
    return std::pair{*major, *minor};
}

std::optional<BackupDevice> DeviceOfJson(const Json& entry)
{
    if (!entry.is_object())
        return std::nullopt;
    const auto address = entry.find("address");
    const auto name = entry.find("name");
    const auto serial = entry.find("serial");
    const auto firmware = entry.find("firmware");
    const auto configured = entry.find("configured");
    const auto file = entry.find("file");
    if (address == entry.end() || !address->is_number_unsigned() || address->get<uint64_t>() > 255 ||
        name == entry.end() || !name->is_string() || serial == entry.end() || !serial->is_string() ||
        firmware == entry.end() || !firmware->is_string() || configured == entry.end() || !configured->is_boolean() ||
        (file != entry.end() && !file->is_string() && !file->is_null()))
        return std::nullopt;
    BackupDevice device;
    DeviceRecord& record = device.record;
    record.address = uint8_t(address->get<unsigned>());
    record.name = Utf8ToLatin1(name->get<std::string>()).substr(0, DEVICE_NAME_LENGTH);
    record.typeCode = TypeFromName(record.name);
    const std::optional<SerialNumber> number = ParseSerialText(serial->get<std::string>());
    const std::optional<std::pair<uint8_t, uint8_t>> version = ParseFirmwareText(firmware->get<std::string>());
    if (!number || !version)
        return std::nullopt;
    record.serialNumber = *number;
    record.firmwareMajor = version->first;
    record.firmwareMinor = version->second;
    record.configured = configured->get<bool>();
    if (file != entry.end() && file->is_string())
        device.file = file->get<std::string>();
    return device;
}

// A file name a manifest may give: a name in the folder itself, never a path.
bool PlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}


// "input8-21001031.bin" as JSON writes it, quoted, a control character or a
// NUL as an escape: a name from a manifest is shown as what it is.
std::string Quoted(const std::string& name)
{
    return Dump(Json(name));
}

// A manifest lists each device once: the same kind, serial number and
// address twice would make one device of the bus stand for two.
std::vector<std::string> ManifestProblems(const std::string& manifestPath, const std::vector<BackupDevice>& devices)
{
    std::vector<std::string> problems;
    for (size_t i = 0; i < devices.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const DeviceRecord& a = devices[i].record;
            const DeviceRecord& b = devices[j].record;
            if (a.typeCode == b.typeCode && a.serialNumber == b.serialNumber && a.address == b.address) {
                problems.push_back(manifestPath + " lists " + DeviceRowText(a) + " twice");
                break;
            }
            if (devices[i].file && devices[i].file == devices[j].file) {
                problems.push_back(manifestPath + " names the file " + Quoted(*devices[i].file) + " for both " +
                                   DeviceRowText(b) + " and " + DeviceRowText(a));
                break;
            }
        }
    }
    return problems;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// Whether name is a name a backup gives record's file: its kind and serial
// number, and its address where another device carries that serial number.
bool NameOfDevice(const std::string& name, const DeviceRecord& record)
{
    const std::optional<std::string> plain = BackupFileNameOf(record);
    const std::optional<std::string> withAddress = BackupFileNameOf(record, true);
    return plain && withAddress && (SameName(name, *plain) || SameName(name, *withAddress));
}

// Why device's file cannot be its configuration by its name: the name must
// carry its kind and serial number, so that a manifest naming another
// device's file is refused instead of giving that device's configuration to it.
std::optional<std::string> FileNameProblem(const std::string& manifestPath, const BackupDevice& device,
                                           const std::vector<BackupDevice>& devices)
{
    const std::string& name = *device.file;
    if (!ConfigKindOfType(device.record.typeCode) || !PlainFileName(name))
        return manifestPath + " names the file " + Quoted(name) + " for " + DeviceRowText(device.record) +
               ", which holds no configuration of its own";
    if (NameOfDevice(name, device.record))
        return std::nullopt;
    for (const BackupDevice& other : devices)
        if (&other != &device && NameOfDevice(name, other.record))
            return manifestPath + " names " + Quoted(name) + ", the file of " + DeviceRowText(other.record) +
                   ", for " + DeviceRowText(device.record);
    return manifestPath + " names " + Quoted(name) + " for " + DeviceRowText(device.record) + ", but the name is " +
           Quoted(*BackupFileNameOf(device.record)) + " for its kind and serial number";
}

// The image of a backup's file of kind, or nothing after the reason is added
// to problems: a backup writes a file of exactly the kind's size, so that its
// size tells its kind.
std::optional<std::vector<uint8_t>> BackupImageOf(const std::string& path, ConfigKind kind,
                                                  std::vector<std::string>& problems)
{
    const size_t size = kind == ConfigKind::Input8 ? INPUT8_IMAGE_SIZE : RS232_IMAGE_SIZE;
    const RegularFileRead file = ReadRegularFile(path, size);
    if (file.outcome == FileReadOutcome::Read && file.size == size) {
        if (kind == ConfigKind::RS232 && !RS232ImageLength(file.bytes)) {
            problems.push_back(ConfigFileProblem(path, ConfigFileStatus::Damaged, kind));
            return std::nullopt;
        }
        return file.bytes;
    }
    if (file.outcome == FileReadOutcome::Read || file.outcome == FileReadOutcome::TooLarge)
        problems.push_back(path + " is " + std::to_string(file.size) + " bytes long: the " + ConfigKindName(kind) +
                           " file of a backup is " + std::to_string(size) + " bytes long");
    else
        problems.push_back(file.problem);
    return std::nullopt;
}

}  // namespace

size_t BackupFolder::ConfigurationCount() const
{
    return size_t(std::count_if(devices.begin(), devices.end(), [](const BackupDevice& d) { return d.file.has_value(); }));
}

std::optional<SerialNumber> ParseSerialText(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    if (digits.size() != 8 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); }))
        return std::nullopt;
    SerialNumber serial{};
    // Shown from the last byte received to the first.
    for (size_t i = 0; i < 4; ++i)
        serial[3 - i] = uint8_t(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    return serial;
}

std::optional<std::string> BackupFileNameOf(const DeviceRecord& record, bool withAddress)
{
    const std::optional<ConfigKind> kind = ConfigKindOfType(record.typeCode);
    if (!kind)
        return std::nullopt;
    std::string name = ConfigKindName(*kind);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::string serial = SerialText(record.serialNumber);
    serial.erase(std::remove(serial.begin(), serial.end(), ' '), serial.end());
    return name + "-" + serial + (withAddress ? StrF("-at%d", record.address) : std::string()) + ".bin";
}

std::string BackupManifestText(const std::vector<BackupDevice>& devices)
{
    std::string text = "{\n  \"devices\": [\n";
    for (size_t i = 0; i < devices.size(); ++i) {
        const DeviceRecord& record = devices[i].record;
        const Json entry{{"address", record.address},
                         {"name", Latin1ToUtf8(record.name)},
                         {"serial", SerialText(record.serialNumber)},
                         {"firmware", FirmwareText(record)},
                         {"configured", record.configured},
                         {"file", devices[i].file ? Json(*devices[i].file) : Json(nullptr)}};
        text += "    " + ObjectLine(entry) + (i + 1 < devices.size() ? ",\n" : "\n");
    }
    return text + "  ]\n}\n";
}

std::optional<std::vector<BackupDevice>> ParseBackupManifest(const std::string& text)
{
    const Json manifest = Json::parse(text, nullptr, false);
    if (manifest.is_discarded() || !manifest.is_object())
        return std::nullopt;
    const auto list = manifest.find("devices");
    if (list == manifest.end() || !list->is_array())
        return std::nullopt;
    std::vector<BackupDevice> devices;
    for (const Json& entry : *list) {
        std::optional<BackupDevice> device = DeviceOfJson(entry);
        if (!device)
            return std::nullopt;
        devices.push_back(std::move(*device));
    }
    return devices;
}

BackupFolder ReadBackupFolder(const std::string& folder)
{
    BackupFolder backup;
    std::error_code error;
    if (!fs::is_directory(PathOf(folder), error)) {
        backup.problems.push_back(folder + " is no folder");
        return backup;
    }
    const std::string manifestPath = TextOf(PathOf(folder) / BACKUP_MANIFEST);
    const RegularFileRead manifest = ReadRegularFile(manifestPath, MAX_MANIFEST_SIZE);
    switch (manifest.outcome) {
    case FileReadOutcome::Read:
        break;
    case FileReadOutcome::Missing:
        backup.problems.push_back(folder + " holds no " + BACKUP_MANIFEST + ": it is no backup folder");
        return backup;
    case FileReadOutcome::TooLarge:
        backup.problems.push_back(manifestPath + " is " + std::to_string(manifest.size) +
                                  " bytes long: it is no manifest of a backup, which is at most " +
                                  std::to_string(MAX_MANIFEST_SIZE) + " bytes long");
        return backup;
    case FileReadOutcome::NotAFile:
    case FileReadOutcome::Unreadable:
        backup.problems.push_back(manifest.problem);
        return backup;
    }
    std::optional<std::vector<BackupDevice>> devices =
        ParseBackupManifest(std::string(manifest.bytes.begin(), manifest.bytes.end()));
    if (!devices) {
        backup.problems.push_back(manifestPath + " is damaged: it is no manifest of a backup");
        return backup;
    }
    backup.devices = std::move(*devices);
    backup.problems = ManifestProblems(manifestPath, backup.devices);
    if (!backup.problems.empty())
        return backup;
    for (BackupDevice& device : backup.devices) {
        if (!device.file)
            continue;
        if (const std::optional<std::string> problem = FileNameProblem(manifestPath, device, backup.devices)) {
            backup.problems.push_back(*problem);
            continue;
        }
        const ConfigKind kind = *ConfigKindOfType(device.record.typeCode);
        const std::string path = TextOf(PathOf(folder) / PathOf(*device.file));
        const std::optional<std::vector<uint8_t>> image = BackupImageOf(path, kind, backup.problems);
        if (image)
            device.image = *image;
    }
    return backup;
}

BackupSaveResult SaveBackupFolder(const std::string& folder, std::vector<BackupDevice> devices, FolderFlush flushFolder)
{
    BackupSaveResult result;
    std::vector<FolderFile> files;
    for (const BackupDevice& device : devices) {
        if (!device.file)
            continue;
        if (!PlainFileName(*device.file)) {
            result.problem = "cannot write " + Quoted(*device.file) + " for " + DeviceRowText(device.record) +
                             ": it is no name of a file in the folder";
            return result;
        }
        files.push_back({*device.file, device.image});
    }
    const std::string manifest = BackupManifestText(devices);
    files.push_back({BACKUP_MANIFEST, std::vector<uint8_t>(manifest.begin(), manifest.end())});
    const FolderSetResult written = WriteFolderSet(folder, files, flushFolder);
    result.saved = written.written;
    if (!written.warning.empty())
        result.warnings.push_back(written.warning);
    if (!written.written) {
        const std::string path = TextOf(PathOf(folder) / PathOf(written.failedName));
        const auto owner = std::find_if(devices.begin(), devices.end(),
                                        [&](const BackupDevice& d) { return d.file == written.failedName; });
        result.problem = "cannot write " + path +
                         (owner != devices.end() ? " (" + DeviceRowText(owner->record) + ")" : std::string()) + ": " +
                         written.reason;
    }
    return result;
}

}  // namespace orv
