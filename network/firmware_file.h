// A firmware image file: read whole before an update starts, so that a file
// the boot loader cannot take is refused before anything is sent, and cut into
// the 32-byte blocks of FIRMWARE_BLOCK.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/commands.h"

namespace orv {

// Block numbers are 16-bit, so an image holds at most 65535 blocks.
constexpr uint32_t MAX_FIRMWARE_BLOCKS = 65535;
constexpr uint64_t MAX_FIRMWARE_BYTES = uint64_t(MAX_FIRMWARE_BLOCKS) * FIRMWARE_BLOCK_BYTES;
// What an erased flash cell holds: the boot loader writes it after the end of a short last block.
constexpr uint8_t FIRMWARE_FILL_BYTE = 0xFF;

enum class FirmwareFileStatus { Ok, Unreadable, Empty, TooLarge };

struct FirmwareBlockCounts {
    uint16_t full = 0;   // size / 32
    uint16_t rest = 0;   // size mod 32: the bytes of the partial last block
    uint16_t total = 0;  // full, plus 1 for a partial block
};

// Counts for an image of at most MAX_FIRMWARE_BYTES.
FirmwareBlockCounts CountFirmwareBlocks(uint64_t size);

struct FirmwareImage {
    std::vector<uint8_t> bytes;

    FirmwareBlockCounts Counts() const { return CountFirmwareBlocks(bytes.size()); }
    // The data of block number: the image bytes from 32 x number, FIRMWARE_FILL_BYTE after the end of the image.
    std::array<uint8_t, FIRMWARE_BLOCK_BYTES> BlockData(uint16_t number) const;
};

// Reads the file at path ("rb"). Unreadable when it cannot be opened, is not a
// regular file (its size cannot be known) or reads short; the size is checked
// before any byte is read, and the file is closed before this returns.
FirmwareFileStatus LoadFirmwareImage(const std::string& path, FirmwareImage& image);

}  // namespace orv
