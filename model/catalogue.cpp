#include "model/catalogue.h"

#include <cstdlib>
#include <cstring>

namespace orv {

namespace {
struct NameFragment {
    const char* fragment;
    DeviceTypeCode kind;
};
// Tested in this order; the first fragment found decides.
constexpr NameFragment kFragments[] = {
    {"ORV-Input8", TYPE_INPUT8},
    {"ORV-RS232", TYPE_RS232},
    {"ORV-LED4PD", TYPE_LED4PD},
    {"ORV-Relay", TYPE_RELAY},
};
}  // namespace

std::vector<ParamSpec::Range> ParamSpec::Ranges() const
{
    std::vector<int> numbers;
    for (const char* p = ranges; *p; p = std::strchr(p, ',') ? std::strchr(p, ',') + 1 : p + std::strlen(p))
        numbers.push_back(std::atoi(p));
    std::vector<Range> pairs;
    for (size_t i = 0; i + 1 < numbers.size(); i += 2)
        pairs.push_back({numbers[i], numbers[i + 1]});
    return pairs;
}

DeviceTypeCode TypeFromName(const std::string& name)
{
    for (const auto& f : kFragments)
        if (name.find(f.fragment) != std::string::npos)
            return f.kind;
    return TYPE_UNRECOGNISED;
}

std::vector<ActionEntry> GetActions(uint8_t kind)
{
    switch (kind) {
    case TYPE_RS232:
        return {{ACTION_SEND_STRING, "Send String"}};
    case TYPE_LED4PD:
        return {{ACTION_SET_ALL_LED_LEVELS, "Set All LED Levels"},
                {ACTION_SET_1_LED_LEVEL, "Set 1 LED Level"},
                {ACTION_SET_LED_AUTOMODE, "Set LED Automode"}};
    case TYPE_RELAY:
        return {{ACTION_RELAY_ENERGIZE, "Relay Energize"}, {ACTION_RELAY_DEENERGIZE, "Relay Deenergize"}};
    default:
        return {};
    }
}

std::optional<ParamSpec> GetParamSpec(uint16_t action)
{
    switch (action) {
    case ACTION_SEND_STRING:
        return ParamSpec{1, 0, "1,99", "Send String: [String/Row #] "};
    case ACTION_SET_ALL_LED_LEVELS:
        return ParamSpec{4, 0, "0,255,0,255,0,255,0,255", "Levels: [LED1] [LED2] [LED3] [LED4]"};
    case ACTION_SET_1_LED_LEVEL:
        return ParamSpec{2, 0, "1,4,0,255", "Options: [LED#] [LED Level]"};
    case ACTION_SET_LED_AUTOMODE:
        return ParamSpec{1, 2, "1,3", "Automode: [Preset] [Param1] [Param2]"};
    case ACTION_RELAY_ENERGIZE:
    case ACTION_RELAY_DEENERGIZE:
        return ParamSpec{1, 0, "1,4", "Relay Action: [Relay #]"};
    default:
        return std::nullopt;
    }
}

}  // namespace orv
