#include "model/input8_image.h"

#include <algorithm>
#include <cstring>

#include "model/image_crc.h"
#include "model/latin1.h"

namespace orv {

namespace {
constexpr uint16_t FORMAT_WORD = 1;
}  // namespace

std::vector<uint8_t> EncodeInput8Image(const Input8Config& config, ImageForm form)
{
    std::vector<uint8_t> image(INPUT8_IMAGE_SIZE, 0);
    image[0] = uint8_t(FORMAT_WORD);
    image[1] = uint8_t(FORMAT_WORD >> 8);
    const std::string name = Utf8ToLatin1(config.name);
    std::copy_n(name.begin(), std::min(name.size(), INPUT8_NAME_CHARS), image.begin() + INPUT8_NAME_OFFSET);
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        const InputRow& row = config.rows[r];
        uint8_t* p = &image[INPUT8_ROWS_OFFSET + r * INPUT8_ROW_SIZE];
        p[0] = row.destination;
        p[1] = row.input;
        p[2] = uint8_t(row.change);
        p[3] = uint8_t(row.action);
        p[4] = uint8_t(row.action >> 8);
        std::copy(row.parameters.begin(), row.parameters.end(), p + 5);
    }
    if (form == ImageForm::Device)
        StoreImageCrc(image.data(), image.size());
    return image;
}

Input8Config DecodeInput8Image(const uint8_t* image)
{
    Input8Config config;
    const char* name = reinterpret_cast<const char*>(image + INPUT8_NAME_OFFSET);
    config.name = Latin1ToUtf8(std::string_view(name, strnlen(name, INPUT8_NAME_CHARS)));
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        InputRow& row = config.rows[r];
        const uint8_t* p = image + INPUT8_ROWS_OFFSET + r * INPUT8_ROW_SIZE;
        row.destination = p[0];
        row.input = p[1];
        row.change = ChangeType(p[2]);
        row.action = uint16_t(p[3] | p[4] << 8);
        std::copy_n(p + 5, INPUT8_PARAMETER_BYTES, row.parameters.begin());
    }
    return config;
}

}  // namespace orv
