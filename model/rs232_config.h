// The RS232 configuration as the panel holds it: the device name, the rate of
// its serial port and up to 99 rows, each a string with a destination, an
// action and its parameters. The panel turns its controls into this model and
// back; the image (rs232_image.h) and the transfers work on it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/catalogue.h"

namespace orv {

constexpr size_t RS232_NAME_LENGTH = 32;     // characters (and bytes) of the name field
constexpr size_t RS232_STRING_LENGTH = 255;  // characters of a row's string text
constexpr size_t RS232_COMMAND_LENGTH = 8;   // characters of a row's command field
constexpr size_t RS232_PARAM_BYTES = 8;
constexpr size_t RS232_MAX_ROWS = 99;
// The panel refuses a new row when fewer bytes than this are free.
constexpr int RS232_NEW_ROW_RESERVE = 100;
// Destination choices: "Unused", "Broadcast" and at most this many devices.
constexpr size_t RS232_DESTINATION_DEVICES = 48;

constexpr uint8_t DEST_UNUSED = 255;
constexpr uint8_t DEST_BROADCAST = 100;

// Choice index to rate in bit/s. Not sorted: the tenth entry is 115200.
constexpr std::array<uint32_t, 10> BaudRateTable{1200, 2400, 4800, 9600, 19200, 38400, 76800, 153600, 307200, 115200};

enum class StringType : uint8_t { Hex = 0, ASCII = 1 };

struct RS232Row {
    std::string text;  // as typed, UTF-8; empty: the row is not stored
    StringType type = StringType::ASCII;
    uint8_t destination = DEST_UNUSED;
    uint16_t action = ACTION_UNUSED;
    // The parameter controls of an action with a ParamSpec, in parameter
    // order: bounded values (spin controls), then free values as typed.
    std::vector<int> spinValues;
    std::vector<std::string> freeTexts;
    std::string command;  // the command field of an action without a ParamSpec
};

struct RS232Config {
    std::string name;  // UTF-8
    // In bit/s. A rate outside BaudRateTable (from a foreign image) is kept
    // and shown as an extra choice entry.
    uint32_t baudRate = BaudRateTable[0];
    std::vector<RS232Row> rows;
};

// The rate choice entry of rate: its table index, or BaudRateTable.size() for
// a rate outside the table (the panel's extra entry, written in decimal).
size_t BaudRateIndex(uint32_t rate);

// Why an edit, a build or a test of the configuration is refused, in the
// words of the box that tells the user (an exclamation box with Ok).
struct RS232Refusal {
    std::string caption;
    std::string text;

    bool operator==(const RS232Refusal&) const = default;
};

// The bytes of a Hex text: pieces split at blanks, tabs, CR and LF, each
// exactly two hexadecimal digits. Nothing on the first piece that is not, or
// for a text of separators alone (then InvalidHexRefusal tells the user).
std::optional<std::vector<uint8_t>> ParseHexString(const std::string& text);
// The Hex message box naming the row (rowIndex counted from 0, shown from 1).
RS232Refusal InvalidHexRefusal(size_t rowIndex);

// The stored bytes of a row's string: the Latin-1 characters of an ASCII row,
// the parsed bytes of a Hex row (nothing when the Hex text is invalid).
std::optional<std::vector<uint8_t>> RowStringBytes(const RS232Row& row);

// A stored string as the panel shows it: ASCII when every byte is printable
// (0x20 to 0x7E), else Hex, every byte as "%02X ".
void ShowStringBytes(const uint8_t* bytes, size_t count, RS232Row& row);

// The 8 parameter bytes of a row, from its parameter controls or its command field.
std::array<uint8_t, RS232_PARAM_BYTES> StoreRowParameters(const RS232Row& row);
// The reverse for a row whose action is set: its parameter controls and its
// command field (the bytes up to the first zero) from the stored bytes.
void ShowRowParameters(const std::array<uint8_t, RS232_PARAM_BYTES>& params, RS232Row& row);

// 4016 - 16 * k - T: k rows with a string, T their characters as typed. May be negative.
int FreeImageBytes(const RS232Config& config);

// Whether the panel may add a row: not the 100th row, nor with fewer than
// RS232_NEW_ROW_RESERVE free bytes (then NoRoomForRowRefusal tells the user).
bool CanAddRS232Row(const RS232Config& config);
RS232Refusal NoRoomForRowRefusal();

// The OUTPUT_STRING payload that makes the device send the string of the row
// at rowIndex: one digit, so only the first ten rows; nothing for the others
// (then UntestableStringRefusal tells the user).
std::optional<uint8_t> TestStringPayload(size_t rowIndex);
RS232Refusal UntestableStringRefusal();

}  // namespace orv
