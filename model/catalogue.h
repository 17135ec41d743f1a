// Device kinds and the action catalogue: which kind a name stands for, which
// actions a kind can be told to perform by an Input8 or RS232, and the
// parameters each action takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv {

enum DeviceTypeCode : uint8_t {
    TYPE_NONE = 0,  // no recognised device at an address
    TYPE_INPUT8 = 50,
    TYPE_RS232 = 51,
    TYPE_LED4PD = 52,
    TYPE_RELAY = 53,
    TYPE_UNRECOGNISED = 60,
};

enum ActionCode : uint16_t {
    ACTION_UNUSED = 0,
    ACTION_SEND_STRING = 10,
    ACTION_SET_ALL_LED_LEVELS = 11,
    ACTION_SET_1_LED_LEVEL = 12,
    ACTION_SET_LED_AUTOMODE = 13,
    ACTION_RELAY_ENERGIZE = 14,
    ACTION_RELAY_DEENERGIZE = 15,
};

struct ActionEntry {
    uint16_t code;
    const char* name;
};

struct ParamSpec {
    uint8_t spinCount = 0;  // bounded numeric parameters
    uint8_t textCount = 0;  // free numeric parameters after them
    const char* ranges = "";  // "min,max" per bounded parameter, comma separated
    const char* label = "";

    struct Range {
        int minimum;
        int maximum;
    };
    // The pairs of ranges, in parameter order.
    std::vector<Range> Ranges() const;
};

// The kind a device name stands for: the first of the four name fragments
// found anywhere in it, exact case; TYPE_UNRECOGNISED otherwise.
DeviceTypeCode TypeFromName(const std::string& name);

// The actions a kind offers, in catalogue order (at most three).
std::vector<ActionEntry> GetActions(uint8_t kind);

// The parameters of actions 10 to 15; nothing for any other code.
std::optional<ParamSpec> GetParamSpec(uint16_t action);

}  // namespace orv
