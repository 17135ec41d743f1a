// The CRC of a configuration image: CRC-16/XMODEM over every byte before its
// last two, which hold it high byte first on the device, so that the same CRC
// over the whole image gives 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orv {

uint16_t ImageCrc(const uint8_t* image, size_t lengthWithoutCrc);
// Writes the CRC of the first length - 2 bytes into the last two, high byte first.
void StoreImageCrc(uint8_t* image, size_t length);
bool ImageIntact(const uint8_t* image, size_t length);

}  // namespace orv
