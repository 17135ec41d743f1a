// The 453-byte image of an Input8 configuration: the form the device stores
// and the tool writes to .bin files. Numbers are low byte first.
//   0   2  format word, always 1; not read back
//   2  32  name, ISO 8859-1, zero padded
//  34   1  0, ends a name of 32 characters
//  35 416  32 rows of 13 bytes: destination, input, change, action (2), 8 parameter bytes
// 451   2  device form: the image CRC, high byte first; file form: 00 00
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/input8_config.h"

namespace orv {

constexpr size_t INPUT8_IMAGE_SIZE = 453;
constexpr size_t INPUT8_NAME_OFFSET = 2;
constexpr size_t INPUT8_ROWS_OFFSET = 35;
constexpr size_t INPUT8_ROW_SIZE = 13;

enum class ImageForm { Device, File };

// INPUT8_IMAGE_SIZE bytes.
std::vector<uint8_t> EncodeInput8Image(const Input8Config& config, ImageForm form);
// image holds INPUT8_IMAGE_SIZE bytes; its format word and CRC are not looked at.
Input8Config DecodeInput8Image(const uint8_t* image);

}  // namespace orv
