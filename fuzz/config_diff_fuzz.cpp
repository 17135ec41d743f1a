// The comparison of two configurations: a kind and two file-form images from
// the input. No differences means the same bytes; an image compared with
// itself has none.
#include "config/config_diff.h"
#include "config/input8_image.h"
#include "config/rs232_image.h"
#include "fuzz/fuzz_support.h"

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
    if (differences.empty())
        FUZZ_CHECK(before == after);
    for (const std::string& line : differences)
        FUZZ_CHECK(!line.empty() && line.find('\0') == std::string::npos);
    return 0;
}
