#include "config/backup_folder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <nlohmann/json.hpp>

#include "config/latin1.h"
#include "config/safe_file_write.h"
#include "services/file_path.h"
#include "services/log.h"

namespace fs = std::filesystem;

namespace orv {

namespace {

using Json = nlohmann::ordered_json;

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
    const fs::path manifestPath = PathOf(folder) / BACKUP_MANIFEST;
    const std::string manifestText = TextOf(manifestPath);
    std::ifstream stream(manifestPath, std::ios::binary);
    if (!stream) {
        backup.problems.push_back(fs::exists(manifestPath, error) ? "cannot read " + manifestText
                                                                   : folder + " holds no " + BACKUP_MANIFEST +
                                                                         ": it is no backup folder");
        return backup;
    }
    const std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    std::optional<std::vector<BackupDevice>> devices = ParseBackupManifest(text);
    if (!devices) {
        backup.problems.push_back(manifestText + " is damaged: it is no manifest of a backup");
        return backup;
    }
    backup.devices = std::move(*devices);
    for (BackupDevice& device : backup.devices) {
        if (!device.file)
            continue;
        const std::optional<ConfigKind> kind = ConfigKindOfType(device.record.typeCode);
        const std::string path = TextOf(PathOf(folder) / PathOf(*device.file));
        if (!kind || !PlainFileName(*device.file)) {
            backup.problems.push_back(manifestText + " names the file " + *device.file + " for " +
                                      DeviceRowText(device.record) + ", which holds no configuration of its own");
            continue;
        }
        ConfigFile file = LoadConfigFile(path, *kind);
        if (file.status != ConfigFileStatus::Ok)
            backup.problems.push_back(ConfigFileProblem(path, file.status, *kind));
        else
            device.image = std::move(file.image);
    }
    return backup;
}

BackupSaveResult SaveBackupFolder(const std::string& folder, std::vector<BackupDevice> devices, FolderFlush flushFolder)
{
    BackupSaveResult result;
    for (BackupDevice& device : devices) {
        if (!device.file)
            continue;
        const std::string path = TextOf(PathOf(folder) / PathOf(*device.file));
        const FileWriteResult written = WriteFileSafely(path, device.image.data(), device.image.size(), flushFolder);
        if (!written.warning.empty())
            result.warnings.push_back(written.warning);
        if (!written.written) {
            result.failed.emplace_back(device.record, "cannot write " + path + ": " + written.reason);
            device.file.reset();
        }
    }
    const std::string manifest = BackupManifestText(devices);
    const std::string path = TextOf(PathOf(folder) / BACKUP_MANIFEST);
    const FileWriteResult written =
        WriteFileSafely(path, reinterpret_cast<const uint8_t*>(manifest.data()), manifest.size(), flushFolder);
    result.manifestWritten = written.written;
    if (!written.warning.empty())
        result.warnings.push_back(written.warning);
    if (!written.written)
        result.manifestProblem = "cannot write " + path + ": " + written.reason;
    return result;
}

}  // namespace orv
