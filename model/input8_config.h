// The configuration of an ORV-Input8: a device name and 32 rows, each tying a
// change of one input to an action that the Input8 requests from a device on
// the bus. Also the coding of a row's parameters between the values the panel
// shows and the row's 8 bytes, and the check of the rows' links against the
// devices connected now.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

constexpr size_t INPUT8_ROWS = 32;
constexpr size_t INPUT8_NAME_CHARS = 32;
constexpr size_t INPUT8_PARAMETER_BYTES = 8;
// The free parameter text of a row without a catalogued action.
constexpr size_t INPUT8_FREE_TEXT_CHARS = INPUT8_PARAMETER_BYTES;

enum class ChangeType : uint8_t { Change = 0, Open = 1, Close = 2 };

using ParameterBytes = std::array<uint8_t, INPUT8_PARAMETER_BYTES>;

// The stored bytes of a row are kept as they are, also out-of-range input or
// change values, so that an image survives decoding and encoding unchanged.
struct InputRow {
    uint8_t input = 0;  // 0 to 7
    ChangeType change = ChangeType::Change;
    uint8_t destination = 0;  // bus address; 0 = "Unused"
    uint16_t action = 0;      // ActionCode; 0 = "Unused"
    ParameterBytes parameters{};

    bool operator==(const InputRow&) const = default;
};

// Default-constructed, it is the empty configuration.
struct Input8Config {
    std::string name;  // UTF-8; stored as at most 32 ISO 8859-1 characters
    std::array<InputRow, INPUT8_ROWS> rows{};

    bool operator==(const Input8Config&) const = default;
};

// A row's parameters as the panel shows them. Actions 10 to 15 have
// `spinCount` bounded values and `textCount` free values typed as decimal
// numbers (their GetParamSpec); action 0 and unknown codes have a free text.
struct ParameterValues {
    std::vector<int> spins;
    std::vector<std::string> texts;
    std::string freeText;  // UTF-8

    bool operator==(const ParameterValues&) const = default;
};

// Action 0 and unknown codes: the free text as ISO 8859-1, at most 8
// characters. 10: the decimal digits of the string number - 1. 14, 15: the
// digit of the relay number. 11, 12, 13: one byte per value, bounded value k
// in byte k, free value t in byte spinCount + t, a free value being the
// decimal number at the start of its text (0 when there is none), stored as
// its low byte. Bounded values are stored as they are, also outside their
// catalogue ranges (the panel refuses such a value when the user types it).
ParameterBytes EncodeParameters(uint16_t action, const ParameterValues& values);
// The reverse. For action 0 the free text is the bytes up to the first zero;
// an unknown non-zero code gives an empty free text.
ParameterValues DecodeParameters(uint16_t action, const ParameterBytes& bytes);

// The kind of the device at a bus address (DeviceRegistry::TypeAtAddress):
// TYPE_NONE when no recognised device has it.
using TypeAtAddressFn = std::function<uint8_t(uint8_t address)>;

// Indexes of the rows whose action (not 0) is not among the actions of the
// kind at their destination: the destination is not connected, or its kind
// does not offer the action.
std::vector<size_t> FindMissingLinks(const Input8Config& config, const TypeAtAddressFn& typeAtAddress);

// What the user chose to do with a configuration whose links miss devices.
enum class LinkChoice { RemoveMissingLinks, LoadNothing };

// RemoveMissingLinks unlinks the missing rows (action 0, no parameters,
// destination 0 when nothing is connected there); LoadNothing gives the empty
// configuration.
Input8Config ApplyLinkChoice(const Input8Config& config, const std::vector<size_t>& missingRows, LinkChoice choice,
                             const TypeAtAddressFn& typeAtAddress);

}  // namespace orv
