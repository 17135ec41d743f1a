// The RS232 configuration image, at most 4064 bytes, all numbers low byte first:
//   header (46 bytes): formatWord 1, deviceName (32), baudRate (32 bits),
//     rowCount, stringCount, rowTableOffset (46, or 0 when built without
//     rows), stringTableOffset (46 + 13 * rowCount);
//   row records (13 bytes): destAddress, stringIndex, actionCode, params (8);
//   string offset table: one entry per string, the offset of its length byte;
//   strings: a length byte and that many bytes each;
//   CRC-16/XMODEM over everything before it. A build stores it low byte first
//   (as an exported file holds it); the device holds it high byte first.
// The buffer after the CRC is zero.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "model/rs232_config.h"
#include "services/log.h"

namespace orv {

constexpr size_t RS232_IMAGE_SIZE = 4064;
constexpr size_t RS232_HEADER_SIZE = 46;
constexpr size_t RS232_RECORD_SIZE = 13;

struct RS232Header {
    uint16_t formatWord = 1;
    // The name in Latin-1; zero after a shorter name, no terminator after 32 characters.
    std::array<uint8_t, RS232_NAME_LENGTH> deviceName{};
    uint32_t baudRate = 0;
    uint16_t rowCount = 0;
    uint16_t stringCount = 0;
    uint16_t rowTableOffset = 0;
    uint16_t stringTableOffset = 0;
};

std::array<uint8_t, RS232_HEADER_SIZE> EncodeRS232Header(const RS232Header& header);
RS232Header DecodeRS232Header(const uint8_t* bytes);

struct RS232BuiltImage {
    RS232Header header;
    std::array<uint8_t, RS232_IMAGE_SIZE> buffer{};
    size_t length = 0;  // CRC included
};

// A build: the image, or the refusal that tells the user why there is none.
struct RS232Build {
    std::optional<RS232BuiltImage> image;
    std::optional<RS232Refusal> refusal;
    bool leftOutEmptyRows = false;  // rows with an empty string are not stored
};

// The image of config, leaving out the row at skipRow (a row being deleted)
// and every row with an empty string. Refused when a Hex row is invalid, a
// string is longer than 255 bytes, or the image would hold more than 99 rows
// or not fit in RS232_IMAGE_SIZE bytes.
RS232Build BuildRS232ImageOrRefusal(const RS232Config& config, std::optional<size_t> skipRow, LogSink& log);
// The box that warns of the rows a build left out.
RS232Refusal EmptyRowsWarning();

// The length, CRC included, of the image in buffer: 46 + 13n + 2m and every
// string entry after the offset table. Nothing when a count, a table offset,
// an offset entry, a record's string index or a string length leads past the
// bytes before the CRC, or past the panel's 99 rows.
std::optional<size_t> RS232ImageLength(std::span<const uint8_t> buffer);

// The configuration the image in buffer holds, as the panel shows it; nothing
// when RS232ImageLength refuses the image. The CRC is not tested. Row records
// are read from rowTableOffset, or from 46 when it is 0. A rate of 0 becomes
// the first table rate. Actions are taken by their low byte.
std::optional<RS232Config> ParseRS232Image(std::span<const uint8_t> buffer);

}  // namespace orv
