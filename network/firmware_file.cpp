#include "network/firmware_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "services/file_path.h"

namespace orv {

FirmwareBlockCounts CountFirmwareBlocks(uint64_t size)
{
    FirmwareBlockCounts counts;
    counts.full = uint16_t(size / FIRMWARE_BLOCK_BYTES);
    counts.rest = uint16_t(size % FIRMWARE_BLOCK_BYTES);
    counts.total = uint16_t(counts.full + (counts.rest != 0 ? 1 : 0));
    return counts;
}

std::array<uint8_t, FIRMWARE_BLOCK_BYTES> FirmwareImage::BlockData(uint16_t number) const
{
    std::array<uint8_t, FIRMWARE_BLOCK_BYTES> data;
    data.fill(FIRMWARE_FILL_BYTE);
    const size_t offset = size_t(number) * FIRMWARE_BLOCK_BYTES;
    if (offset < bytes.size()) {
        const size_t count = std::min<size_t>(FIRMWARE_BLOCK_BYTES, bytes.size() - offset);
        std::copy_n(bytes.begin() + offset, count, data.begin());
    }
    return data;
}

FirmwareFileStatus LoadFirmwareImage(const std::string& path, FirmwareImage& image)
{
    image.bytes.clear();
    std::error_code error;
    const std::filesystem::path filePath = PathOf(path);
    if (!std::filesystem::is_regular_file(filePath, error))
        return FirmwareFileStatus::Unreadable;
    const uintmax_t size = std::filesystem::file_size(filePath, error);
    if (error)
        return FirmwareFileStatus::Unreadable;
    if (size == 0)
        return FirmwareFileStatus::Empty;
    if (size > MAX_FIRMWARE_BYTES)
        return FirmwareFileStatus::TooLarge;

    std::ifstream file(filePath, std::ios::binary);
    if (!file)
        return FirmwareFileStatus::Unreadable;
    image.bytes.resize(size);
    if (!file.read(reinterpret_cast<char*>(image.bytes.data()), std::streamsize(image.bytes.size()))) {
        image.bytes.clear();
        return FirmwareFileStatus::Unreadable;
    }
    return FirmwareFileStatus::Ok;
}

}  // namespace orv
