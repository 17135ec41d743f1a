#include <gtest/gtest.h>

#include <map>

#include "model/catalogue.h"
#include "model/input8_config.h"
#include "panel_rules/input8_link_question.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {
namespace {

constexpr uint8_t RELAY = 7;
constexpr uint8_t LEDS = 8;
constexpr uint8_t GONE = 40;

const char* const LINK_QUESTION =
    "Node configuration links to a node not currently connected.\n Click Yes to load the configuration and remove "
    "links to missing node(s) \n or No to cancel loading configuration";

class Input8Links : public ::testing::Test {
protected:
    std::map<uint8_t, uint8_t> bus{{RELAY, TYPE_RELAY}, {LEDS, TYPE_LED4PD}};
    TypeAtAddressFn typeAt = [this](uint8_t address) -> uint8_t {
        const auto it = bus.find(address);
        return it == bus.end() ? uint8_t(TYPE_NONE) : it->second;
    };
    ScriptedPrompts prompts;
    Input8Config config;

    void SetUp() override
    {
        config.name = "Hall";
        Link(0, GONE, ACTION_RELAY_ENERGIZE, '1');          // device not connected
        Link(1, RELAY, ACTION_SET_ALL_LED_LEVELS, 9);       // connected, but not an LED device
        Link(2, LEDS, ACTION_SET_1_LED_LEVEL, 2);           // fine
        Link(3, GONE, ACTION_UNUSED, 'x');                  // unused rows never count
        Link(31, RELAY, ACTION_RELAY_DEENERGIZE, '4');      // fine
    }

    void Link(size_t row, uint8_t destination, uint16_t action, uint8_t firstParameter)
    {
        config.rows[row].destination = destination;
        config.rows[row].action = action;
        config.rows[row].input = uint8_t(row % 8);
        config.rows[row].parameters[0] = firstParameter;
    }
};

TEST_F(Input8Links, RowsWhoseActionTheDestinationDoesNotOfferAreMissing)
{
    EXPECT_EQ(FindMissingLinks(config, typeAt), (std::vector<size_t>{0, 1}));
    bus.clear();
    EXPECT_EQ(FindMissingLinks(config, typeAt), (std::vector<size_t>{0, 1, 2, 31}));
}

TEST_F(Input8Links, YesUnlinksTheMissingRowsAndKeepsTheRest)
{
    prompts.boxAnswers = {Answer::Yes};

    const Input8Config shown = CheckInput8Links(config, typeAt, prompts);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Warn Loading Data ");
    EXPECT_EQ(prompts.boxes[0].text, LINK_QUESTION);
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    // Enter keeps every row: a later save would erase the stripped ones from the device.
    EXPECT_TRUE(prompts.boxes[0].defaultNo);

    Input8Config expected = config;
    expected.rows[0].destination = 0;
    expected.rows[0].action = ACTION_UNUSED;
    expected.rows[0].parameters = {};
    expected.rows[1].action = ACTION_UNUSED;  // its destination is connected and stays
    expected.rows[1].parameters = {};
    EXPECT_EQ(shown, expected);
}

TEST_F(Input8Links, NoGivesTheEmptyConfiguration)
{
    prompts.boxAnswers = {Answer::No};
    EXPECT_EQ(CheckInput8Links(config, typeAt, prompts), Input8Config{});
}

TEST_F(Input8Links, NothingIsAskedWhenEveryLinkIsReachable)
{
    config.rows[0].action = ACTION_UNUSED;
    config.rows[1].action = ACTION_UNUSED;
    EXPECT_EQ(CheckInput8Links(config, typeAt, prompts), config);
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
