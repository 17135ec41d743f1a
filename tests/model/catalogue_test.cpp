#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/catalogue.h"

namespace orv::test {
namespace {

TEST(TypeFromName, FragmentAnywhereExactCaseFirstInOrder)
{
    const struct {
        const char* name;
        DeviceTypeCode kind;
    } cases[] = {
        {"ORV-Input8", TYPE_INPUT8},
        {"ORV-RS232", TYPE_RS232},
        {"ORV-LED4PD", TYPE_LED4PD},
        {"ORV-Relay", TYPE_RELAY},
        {"xORV-Relay2", TYPE_RELAY},        // anywhere in the name
        {"orv-relay", TYPE_UNRECOGNISED},   // exact case
        {"ORV-Input", TYPE_UNRECOGNISED},   // the whole fragment
        {"ORV-LED4", TYPE_UNRECOGNISED},
        {"", TYPE_UNRECOGNISED},
        {"ORV-RelayORV-Input8", TYPE_INPUT8},  // Input8 is tested first
        {"ORV-LED4PDORV-RS232", TYPE_RS232},   // then RS232, then LED4PD
        {"ORV-RelayORV-LED4PD", TYPE_LED4PD},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypeFromName(c.name), c.kind) << c.name;
}

TEST(GetActions, PerDestinationKind)
{
    const struct {
        uint8_t kind;
        std::vector<std::pair<uint16_t, std::string>> actions;
    } cases[] = {
        {TYPE_INPUT8, {}},
        {TYPE_RS232, {{10, "Send String"}}},
        {TYPE_LED4PD, {{11, "Set All LED Levels"}, {12, "Set 1 LED Level"}, {13, "Set LED Automode"}}},
        {TYPE_RELAY, {{14, "Relay Energize"}, {15, "Relay Deenergize"}}},
        {TYPE_UNRECOGNISED, {}},
        {TYPE_NONE, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::pair<uint16_t, std::string>> actions;
        for (const auto& a : GetActions(c.kind))
            actions.emplace_back(a.code, a.name);
        EXPECT_EQ(actions, c.actions) << int(c.kind);
    }
}

TEST(GetParamSpec, ActionsTenToFifteenOnly)
{
    const struct {
        uint16_t code;
        bool known;
        int spinCount;
        int textCount;
        std::string ranges;
        std::string label;
    } cases[] = {
        {9, false, 0, 0, "", ""},
        {10, true, 1, 0, "1,99", "Send String: [String/Row #] "},
        {11, true, 4, 0, "0,255,0,255,0,255,0,255", "Levels: [LED1] [LED2] [LED3] [LED4]"},
        {12, true, 2, 0, "1,4,0,255", "Options: [LED#] [LED Level]"},
        {13, true, 1, 2, "1,3", "Automode: [Preset] [Param1] [Param2]"},
        {14, true, 1, 0, "1,4", "Relay Action: [Relay #]"},
        {15, true, 1, 0, "1,4", "Relay Action: [Relay #]"},
        {16, false, 0, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const auto params = GetParamSpec(c.code);
        ASSERT_EQ(params.has_value(), c.known);
        if (!params)
            continue;
        EXPECT_EQ(params->spinCount, c.spinCount);
        EXPECT_EQ(params->textCount, c.textCount);
        EXPECT_EQ(std::string(params->ranges), c.ranges);
        EXPECT_EQ(std::string(params->label), c.label);
        EXPECT_EQ(params->Ranges().size(), size_t(c.spinCount));
    }
}

TEST(GetParamSpec, RangesArePairsInParameterOrder)
{
    const auto ranges = GetParamSpec(ACTION_SET_1_LED_LEVEL)->Ranges();
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0].minimum, 1);
    EXPECT_EQ(ranges[0].maximum, 4);
    EXPECT_EQ(ranges[1].minimum, 0);
    EXPECT_EQ(ranges[1].maximum, 255);
}

}  // namespace
}  // namespace orv::test
