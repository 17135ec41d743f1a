// Input8 images as a device or a file may hold them: any 453 bytes. Decoding
// and coding again keeps every stored byte; the parameters shown for a row
// code into bytes that show the same way again; the link check leaves no
// missing link after Yes.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "link/frame_codec.h"
#include "model/input8_config.h"
#include "model/input8_image.h"

namespace {

void CheckStoredBytes(const std::vector<uint8_t>& image, const orv::Input8Config& config)
{
    const std::vector<uint8_t> file = orv::EncodeInput8Image(config, orv::ImageForm::File);
    FUZZ_CHECK(file.size() == orv::INPUT8_IMAGE_SIZE);
    const auto rows = image.begin() + long(orv::INPUT8_ROWS_OFFSET);
    FUZZ_CHECK(std::equal(rows, image.end() - 2, file.begin() + long(orv::INPUT8_ROWS_OFFSET)));
    const size_t nameLength = std::find(image.begin() + 2, image.begin() + 34, 0) - (image.begin() + 2);
    FUZZ_CHECK(std::equal(image.begin() + 2, image.begin() + 2 + long(nameLength), file.begin() + 2));
    FUZZ_CHECK(std::all_of(file.begin() + 2 + long(nameLength), file.begin() + long(orv::INPUT8_ROWS_OFFSET),
                           [](uint8_t b) { return b == 0; }));
    FUZZ_CHECK(file[451] == 0 && file[452] == 0);

    const std::vector<uint8_t> device = orv::EncodeInput8Image(config, orv::ImageForm::Device);
    FUZZ_CHECK(orv::Crc16(device.data(), device.size(), orv::IMAGE_CRC_START) == 0);
    FUZZ_CHECK(orv::DecodeInput8Image(device.data()) == config);
}

void CheckParameters(const orv::InputRow& row)
{
    const orv::ParameterValues shown = orv::DecodeParameters(row.action, row.parameters);
    const orv::ParameterBytes stored = orv::EncodeParameters(row.action, shown);
    const orv::ParameterBytes again = orv::EncodeParameters(row.action, orv::DecodeParameters(row.action, stored));
    FUZZ_CHECK(again == stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(orv::INPUT8_IMAGE_SIZE, 0);
    std::copy_n(data, std::min(size, image.size()), image.begin());
    // Input bytes past the image say which kinds are connected at which address.
    orv::fuzz::InputReader connected(data + std::min(size, image.size()), size - std::min(size, image.size()));
    std::array<uint8_t, 256> kinds{};
    while (!connected.Empty()) {
        const uint8_t address = connected.Byte();
        kinds[address] = connected.Byte();
    }

    const orv::Input8Config config = orv::DecodeInput8Image(image.data());
    CheckStoredBytes(image, config);
    for (const orv::InputRow& row : config.rows)
        CheckParameters(row);

    const orv::TypeAtAddressFn typeAt = [&kinds](uint8_t address) { return kinds[address]; };
    const std::vector<size_t> missing = orv::FindMissingLinks(config, typeAt);
    const orv::Input8Config linked = orv::ApplyLinkChoice(config, missing, orv::LinkChoice::RemoveMissingLinks, typeAt);
    FUZZ_CHECK(orv::FindMissingLinks(linked, typeAt).empty());
    FUZZ_CHECK(orv::ApplyLinkChoice(config, missing, orv::LinkChoice::LoadNothing, typeAt) == orv::Input8Config{} ||
               missing.empty());
    return 0;
}
