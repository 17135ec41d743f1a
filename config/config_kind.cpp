#include "config/config_kind.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "config/input8_transfer.h"
#include "config/rs232_transfer.h"
#include "model/catalogue.h"
#include "model/image_crc.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "services/file_path.h"

namespace orv {

std::optional<ConfigKind> ConfigKindOfType(uint8_t typeCode)
{
    switch (typeCode) {
    case TYPE_INPUT8: return ConfigKind::Input8;
    case TYPE_RS232: return ConfigKind::RS232;
    default: return std::nullopt;
    }
}

const char* ConfigKindName(ConfigKind kind)
{
    return kind == ConfigKind::Input8 ? "Input8" : "RS232";
}

ConfigKindProfile TransferProfileOf(ConfigKind kind)
{
    return kind == ConfigKind::Input8 ? Input8TransferProfile() : RS232TransferProfile();
}

ConfigKindProfile StepProfileOf(ConfigKind kind)
{
    ConfigKindProfile profile = TransferProfileOf(kind);
    profile.readProgress.reset();
    return profile;
}

std::vector<uint8_t> FileFormOfRead(ConfigKind kind, const ReadOutcome& read)
{
    if (read.result != ReadResult::Intact)
        return {};
    if (kind == ConfigKind::Input8) {
        std::vector<uint8_t> file(read.buffer.begin(), read.buffer.begin() + long(INPUT8_IMAGE_SIZE));
        file[INPUT8_IMAGE_SIZE - 2] = 0;
        file[INPUT8_IMAGE_SIZE - 1] = 0;
        return file;
    }
    std::vector<uint8_t> file(RS232_IMAGE_SIZE, 0);
    const size_t length = read.imageLength;
    std::copy_n(read.buffer.begin(), length, file.begin());
    std::swap(file[length - 2], file[length - 1]);
    return file;
}

ConfigFile LoadConfigFile(const std::string& path, ConfigKind kind)
{
    ConfigFile result;
    std::error_code error;
    const std::filesystem::path filePath = PathOf(path);
    const auto status = std::filesystem::status(filePath, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        result.status = ConfigFileStatus::Missing;
        return result;
    }
    if (error || status.type() != std::filesystem::file_type::regular)
        return result;
    std::ifstream file(filePath, std::ios::binary | std::ios::ate);
    if (!file)
        return result;
    const std::streamoff length = file.tellg();
    if (length < 0)
        return result;

    const size_t unit = kind == ConfigKind::Input8 ? INPUT8_IMAGE_SIZE : 4;
    if (length == 0 || length % std::streamoff(unit) != 0) {
        result.status = ConfigFileStatus::WrongSize;
        return result;
    }
    const size_t size = kind == ConfigKind::Input8 ? INPUT8_IMAGE_SIZE : RS232_IMAGE_SIZE;
    std::vector<uint8_t> image(size, 0);
    const std::streamsize wanted = std::min<std::streamsize>(length, std::streamsize(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(image.data()), wanted))
        return result;
    if (kind == ConfigKind::RS232 && !RS232ImageLength(image)) {
        result.status = ConfigFileStatus::Damaged;
        return result;
    }
    result.status = ConfigFileStatus::Ok;
    result.image = std::move(image);
    return result;
}

std::vector<uint8_t> DeviceFormOfFile(ConfigKind kind, const std::vector<uint8_t>& image)
{
    std::optional<size_t> length;
    if (kind == ConfigKind::Input8 && image.size() == INPUT8_IMAGE_SIZE)
        length = INPUT8_IMAGE_SIZE;
    else if (kind == ConfigKind::RS232 && image.size() == RS232_IMAGE_SIZE)
        length = RS232ImageLength(image);
    if (!length)
        return {};
    std::vector<uint8_t> device(image.begin(), image.begin() + long(*length));
    StoreImageCrc(device.data(), device.size());
    return device;
}

std::string ConfigFileProblem(const std::string& path, ConfigFileStatus status, ConfigKind kind)
{
    switch (status) {
    case ConfigFileStatus::Ok:
        break;
    case ConfigFileStatus::Missing:
        return path + " does not exist";
    case ConfigFileStatus::Unreadable:
        return "cannot read " + path;
    case ConfigFileStatus::WrongSize: {
        std::error_code error;
        const auto size = std::filesystem::file_size(PathOf(path), error);
        const std::string length = error ? std::string("of the wrong size") : std::to_string(size) + " bytes long";
        return path + " is " + length +
               (kind == ConfigKind::Input8 ? ": an Input8 file is 453 bytes long (a multiple of 453 is taken)"
                                           : ": an RS232 file is 4064 bytes long (a multiple of 4 is taken)");
    }
    case ConfigFileStatus::Damaged:
        return path + " is damaged: its RS232 header leads outside the 4064 bytes of an image";
    }
    return path;
}

}  // namespace orv
