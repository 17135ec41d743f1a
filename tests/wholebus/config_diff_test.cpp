// Two configurations of a kind in words: one case per kind of difference.
#include <gtest/gtest.h>

#include "config/rs232_build.h"
#include "model/input8_image.h"
#include "tests/support/sim_bus_rig.h"
#include "wholebus/config_diff.h"

namespace orv::test {
namespace {

DeviceRecord At(uint8_t address, const std::string& name)
{
    DeviceRecord record;
    record.name = name;
    record.address = address;
    record.typeCode = TypeFromName(name);
    return record;
}

// Before: a relay at 9; now: an LED4PD at 7 (and nothing known at 11).
const DestinationNamer BEFORE = NamerOf(std::vector<DeviceRecord>{At(9, "ORV-Relay")});
const DestinationNamer NOW = NamerOf(std::vector<DeviceRecord>{At(7, "ORV-LED4PD")});

Input8Config BaseInput8()
{
    Input8Config config;
    config.name = "Hall";
    config.rows[3] = InputRow{1, ChangeType::Open, 9, ACTION_RELAY_ENERGIZE, {'1'}};
    return config;
}

struct Input8Case {
    const char* what;
    void (*change)(Input8Config&);
    std::vector<std::string> lines;
};

class Input8DiffTest : public ::testing::TestWithParam<Input8Case> {};

TEST_P(Input8DiffTest, NamesTheDifference)
{
    Input8Config after = BaseInput8();
    GetParam().change(after);
    EXPECT_EQ(ConfigDifferences(ConfigKind::Input8, EncodeInput8Image(BaseInput8(), ImageForm::File),
                                EncodeInput8Image(after, ImageForm::Device), BEFORE, NOW),
              GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Input8DiffTest,
    ::testing::Values(
        // The device form's CRC and a file's zero bytes are no difference.
        Input8Case{"same", [](Input8Config&) {}, {}},
        Input8Case{"name", [](Input8Config& c) { c.name = "Hall \"2\""; }, {"Name: \"Hall\" → \"Hall \\\"2\\\"\""}},
        Input8Case{"input", [](Input8Config& c) { c.rows[3].input = 2; }, {"Row 4: input 2 → 3"}},
        Input8Case{"change", [](Input8Config& c) { c.rows[3].change = ChangeType::Close; }, {"Row 4: change Open → Close"}},
        Input8Case{"destination", [](Input8Config& c) { c.rows[3].destination = 7; },
                   {"Row 4: destination ORV-Relay @ 9 → ORV-LED4PD @ 7"}},
        Input8Case{"destination unknown", [](Input8Config& c) { c.rows[3].destination = 11; },
                   {"Row 4: destination ORV-Relay @ 9 → address 11"}},
        Input8Case{"action", [](Input8Config& c) { c.rows[3].action = ACTION_SET_1_LED_LEVEL; },
                   // The same bytes mean another thing under the new action.
                   {"Row 4: action Relay Energize → Set 1 LED Level", "Row 4: parameters 1 → 49 0"}},
        Input8Case{"parameters", [](Input8Config& c) { c.rows[3].parameters[0] = '3'; },
                   {"Row 4: parameters 1 → 3"}},
        Input8Case{"a row filled",
                   [](Input8Config& c) {
                       c.rows[31] = InputRow{7, ChangeType::Change, 7, ACTION_SET_1_LED_LEVEL, {2, 100}};
                   },
                   {"Row 32: input 1 → 8", "Row 32: destination Unused → ORV-LED4PD @ 7",
                    "Row 32: action Unused → Set 1 LED Level", "Row 32: parameters \"\" → 2 100"}},
        Input8Case{"hidden bytes", [](Input8Config& c) { c.name = std::string("Hall\0x", 6); },
                   {"Stored bytes differ that the panel does not show"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

RS232Row Row(const std::string& text, uint8_t destination, uint16_t action, std::vector<int> spins = {})
{
    RS232Row row;
    row.text = text;
    row.destination = destination;
    row.action = action;
    row.spinValues = std::move(spins);
    return row;
}

RS232Config BaseRS232()
{
    RS232Config config;
    config.name = "Gate";
    config.baudRate = 9600;
    for (int r = 0; r < 12; ++r)
        config.rows.push_back(Row("S" + std::to_string(r), 9, ACTION_RELAY_ENERGIZE, {1}));
    config.rows[11].text = "LIFT UP";
    return config;
}

struct RS232Case {
    const char* what;
    void (*change)(RS232Config&);
    std::vector<std::string> lines;
};

class RS232DiffTest : public ::testing::TestWithParam<RS232Case>, public VirtualServices {
protected:
    std::vector<uint8_t> FileForm(const RS232Config& config)
    {
        const auto built = BuildRS232Image(config, std::nullopt, false, services);
        return std::vector<uint8_t>(built->buffer.begin(), built->buffer.end());
    }
};

TEST_P(RS232DiffTest, NamesTheDifference)
{
    RS232Config after = BaseRS232();
    GetParam().change(after);
    EXPECT_EQ(ConfigDifferences(ConfigKind::RS232, FileForm(BaseRS232()), FileForm(after), BEFORE, NOW),
              GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RS232DiffTest,
    ::testing::Values(
        RS232Case{"same", [](RS232Config&) {}, {}},
        RS232Case{"string", [](RS232Config& c) { c.rows[11].text = "LIFT"; },
                  {"RS232 row 12: string \"LIFT UP\" → \"LIFT\""}},
        RS232Case{"hex string",
                  [](RS232Config& c) {
                      c.rows[0].text = "02 FE";
                      c.rows[0].type = StringType::Hex;
                  },
                  {"RS232 row 1: string \"S0\" → hex 02 FE"}},
        RS232Case{"rows more",
                  [](RS232Config& c) {
                      for (int r = 0; r < 3; ++r)
                          c.rows.push_back(Row("X", DEST_BROADCAST, ACTION_UNUSED));
                  },
                  {"RS232: 3 rows more"}},
        RS232Case{"a row fewer", [](RS232Config& c) { c.rows.pop_back(); }, {"RS232: 1 row fewer"}},
        RS232Case{"baud rate", [](RS232Config& c) { c.baudRate = 115200; }, {"RS232: baud rate 9600 → 115200"}},
        RS232Case{"name", [](RS232Config& c) { c.name = "Door"; }, {"Name: \"Gate\" → \"Door\""}},
        RS232Case{"destination",
                  [](RS232Config& c) {
                      c.rows[2] = Row("S2", DEST_BROADCAST, ACTION_UNUSED);
                      c.rows[2].command = "STATUS";
                  },
                  {"RS232 row 3: destination ORV-Relay @ 9 → Broadcast", "RS232 row 3: action Relay Energize → Unused",
                   "RS232 row 3: parameters 1 → \"STATUS\""}},
        RS232Case{"action alone",
                  [](RS232Config& c) { c.rows[4].action = ACTION_RELAY_DEENERGIZE; },
                  {"RS232 row 5: action Relay Energize → Relay Deenergize", "RS232 row 5: parameters 1 → 1"}},
        RS232Case{"action and parameters", [](RS232Config& c) { c.rows[4] = Row("S4", 7, ACTION_SET_1_LED_LEVEL, {2, 50}); },
                  {"RS232 row 5: destination ORV-Relay @ 9 → ORV-LED4PD @ 7",
                   "RS232 row 5: action Relay Energize → Set 1 LED Level", "RS232 row 5: parameters 1 → 2 50"}}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(ConfigDiffTest, ADamagedRS232ImageIsOneLine)
{
    std::vector<uint8_t> damaged(RS232_IMAGE_SIZE, 0);
    damaged[38] = 200;  // rowCount past the 99 rows
    const std::vector<uint8_t> empty(RS232_IMAGE_SIZE, 0);
    EXPECT_EQ(ConfigDifferences(ConfigKind::RS232, empty, damaged, BEFORE, NOW),
              std::vector<std::string>{"RS232: the configuration now is damaged"});
}

}  // namespace
}  // namespace orv::test
