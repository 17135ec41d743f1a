#include "sim/demo_images.h"

#include <cstring>

#include "config/image_crc.h"

namespace orv {

namespace {

constexpr size_t INPUT8_IMAGE_SIZE = 453;
constexpr size_t RS232_EMPTY_IMAGE_SIZE = 48;
constexpr size_t NAME_OFFSET = 2;
constexpr size_t RS232_BAUD_OFFSET = 34;
constexpr size_t RS232_STRING_TABLE_OFFSET_FIELD = 44;

void PutWord(std::vector<uint8_t>& image, size_t offset, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        image[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

void PutName(std::vector<uint8_t>& image, const char* name)
{
    std::memcpy(image.data() + NAME_OFFSET, name, std::strlen(name));
}

}  // namespace

std::vector<uint8_t> DemoInput8Image()
{
    std::vector<uint8_t> image(INPUT8_IMAGE_SIZE, 0);
    PutWord(image, 0, 1, 2);
    PutName(image, "Hall Switches");
    StoreImageCrc(image.data(), image.size());
    return image;
}

std::vector<uint8_t> DemoRS232Image()
{
    std::vector<uint8_t> image(RS232_EMPTY_IMAGE_SIZE, 0);
    PutWord(image, 0, 1, 2);
    PutName(image, "Projector Gateway");
    PutWord(image, RS232_BAUD_OFFSET, 9600, 4);
    // No rows and no strings: the string table starts right after the header.
    PutWord(image, RS232_STRING_TABLE_OFFSET_FIELD, 46, 2);
    StoreImageCrc(image.data(), image.size());
    return image;
}

}  // namespace orv
