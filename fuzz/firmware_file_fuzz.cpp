// Firmware image files: any bytes as a file. An accepted image goes out as
// blocks that carry every byte of it in order and nothing but the fill after it.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "network/firmware_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const orv::fuzz::ScratchFile file("firmware_file", data, size);
    orv::FirmwareImage image;
    const orv::FirmwareFileStatus status = orv::LoadFirmwareImage(file.Path(), image);
    FUZZ_CHECK((status == orv::FirmwareFileStatus::Empty) == (size == 0));
    if (status != orv::FirmwareFileStatus::Ok) {
        FUZZ_CHECK(image.bytes.empty());
        return 0;
    }
    FUZZ_CHECK(image.bytes.size() == size && std::equal(image.bytes.begin(), image.bytes.end(), data));

    const orv::FirmwareBlockCounts counts = image.Counts();
    FUZZ_CHECK(size_t(counts.full) * orv::FIRMWARE_BLOCK_BYTES + counts.rest == size);
    FUZZ_CHECK(counts.total == counts.full + (counts.rest ? 1 : 0));
    for (uint16_t block = 0; block < counts.total; ++block) {
        const auto bytes = image.BlockData(block);
        for (size_t i = 0; i < bytes.size(); ++i) {
            const size_t at = size_t(block) * orv::FIRMWARE_BLOCK_BYTES + i;
            FUZZ_CHECK(bytes[i] == (at < size ? data[at] : orv::FIRMWARE_FILL_BYTE));
        }
    }
    return 0;
}
