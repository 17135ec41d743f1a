// A configuration image of either configurable kind in its two forms, with no
// panel in between: the device form (what the device stores, its CRC high
// byte first) and the file form (the .bin files the tool exports and imports).
// The bytes are kept as they are, so that a file read from a device and
// written back restores exactly what the device held.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/block_transfer.h"

namespace orv {

enum class ConfigKind { Input8, RS232 };

// The configurable kind of a DeviceTypeCode; nothing for the other kinds.
std::optional<ConfigKind> ConfigKindOfType(uint8_t typeCode);
// "Input8", "RS232".
const char* ConfigKindName(ConfigKind kind);
// The block transfer values of the kind.
ConfigKindProfile TransferProfileOf(ConfigKind kind);
// The same for a read that is one step of a job with its own progress
// window: no window of its own covers that one and its Cancel.
ConfigKindProfile StepProfileOf(ConfigKind kind);

// The file form of an intact read; empty for any other read. Input8: the 453
// bytes with bytes 451 and 452 zero. RS232: the image with its CRC low byte
// first, then zero bytes up to 4064.
std::vector<uint8_t> FileFormOfRead(ConfigKind kind, const ReadOutcome& read);

enum class ConfigFileStatus {
    Ok,
    Missing,
    Unreadable,  // no regular file, or it could not be read
    WrongSize,   // Input8: not a non-zero multiple of 453 bytes; RS232: not a non-zero multiple of 4
    Damaged,     // RS232: the header's counts, tables or strings lead outside the 4064 bytes
};

struct ConfigFile {
    ConfigFileStatus status = ConfigFileStatus::Unreadable;
    // When Ok. Input8: the first 453 bytes; RS232: the first 4064 bytes, zero after the end of the file.
    std::vector<uint8_t> image;
};

// Reads a file with the checks the import of kind makes; the CRC in the file is not tested.
ConfigFile LoadConfigFile(const std::string& path, ConfigKind kind);

// Why a file was refused, in words: "FILE does not exist", "FILE is 454
// bytes long: an Input8 file is 453 bytes long" ...
std::string ConfigFileProblem(const std::string& path, ConfigFileStatus status, ConfigKind kind);

// The device form of a file image that LoadConfigFile gave, to be written with
// TransferProfileOf(kind); empty for anything else. Input8: the 453 bytes with
// their CRC. RS232: the image without the bytes after it, its CRC computed and
// stored high byte first.
std::vector<uint8_t> DeviceFormOfFile(ConfigKind kind, const std::vector<uint8_t>& image);

}  // namespace orv
