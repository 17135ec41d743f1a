// The comparison of two configurations: a kind and two file-form images from
// the input. No differences means the same stored bytes: all but the format
// word and the CRC, which are no part of a configuration (a file's CRC is 0).
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "wholebus/config_diff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    orv::fuzz::InputReader input(data, size);
    const orv::ConfigKind kind = input.Byte() % 2 ? orv::ConfigKind::RS232 : orv::ConfigKind::Input8;
    const size_t imageSize = kind == orv::ConfigKind::Input8 ? orv::INPUT8_IMAGE_SIZE : orv::RS232_IMAGE_SIZE;
    // The second image is the first with the rest of the input laid over it.
    std::vector<uint8_t> before = input.Bytes(imageSize / 2);
    before.resize(imageSize, 0);
    std::vector<uint8_t> after = before;
    while (!input.Empty()) {
        const size_t at = input.Number(uint32_t(imageSize));
        after[at] = input.Byte();
    }
    const orv::DestinationNamer namer = [](uint8_t address) { return "address " + std::to_string(address); };
    const std::vector<std::string> differences = orv::ConfigDifferences(kind, before, after, namer, namer);
    size_t first = orv::INPUT8_NAME_OFFSET;
    std::optional<size_t> end = orv::INPUT8_IMAGE_SIZE - 2;
    if (kind == orv::ConfigKind::RS232) {
        first = 2;
        end = orv::RS232ImageLength(before);
        if (end && end == orv::RS232ImageLength(after))
            *end -= 2;
        else
            end.reset();
    }
    if (differences.empty() && end)
        FUZZ_CHECK(std::equal(before.begin() + long(first), before.begin() + long(*end), after.begin() + long(first)));
    for (const std::string& line : differences)
        FUZZ_CHECK(!line.empty() && line.find('\0') == std::string::npos);
    return 0;
}
