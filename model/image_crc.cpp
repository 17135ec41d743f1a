#include "model/image_crc.h"

#include "link/frame_codec.h"

namespace orv {

uint16_t ImageCrc(const uint8_t* image, size_t lengthWithoutCrc)
{
    return Crc16(image, lengthWithoutCrc, IMAGE_CRC_START);
}

void StoreImageCrc(uint8_t* image, size_t length)
{
    const uint16_t crc = ImageCrc(image, length - 2);
    image[length - 2] = uint8_t(crc >> 8);
    image[length - 1] = uint8_t(crc);
}

bool ImageIntact(const uint8_t* image, size_t length)
{
    return ImageCrc(image, length) == 0;
}

}  // namespace orv
