#include <gtest/gtest.h>

#include "model/rs232_config.h"
#include "panel_rules/rs232_panel_rules.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

using RS232ConfigTest = RS232Fixture;

TEST_F(RS232ConfigTest, HexTextsAreTwoDigitPiecesBetweenBlanks)
{
    struct Case {
        const char* text;
        std::optional<std::vector<uint8_t>> bytes;
    };
    const Case cases[] = {
        {"02 FE A1", Bytes({0x02, 0xFE, 0xA1})},
        {"fe 0a", Bytes({0xFE, 0x0A})},
        {" 1E\t02\r\n  FF ", Bytes({0x1E, 0x02, 0xFF})},
        {" \t ", std::nullopt},  // stored empty, the row would vanish at the next save
        {" ", std::nullopt},
        {"2 FE", std::nullopt},
        {"02FE", std::nullopt},
        {"0x02", std::nullopt},
        {"0G", std::nullopt},
        {"02 \xC3\xA9", std::nullopt},
    };
    for (const Case& c : cases) {
        prompts.boxes.clear();
        EXPECT_EQ(ParseHexString(c.text), c.bytes) << c.text;
        // A save shows the refusal naming the row, counted from 1.
        RS232Config config;
        config.rows.assign(4, AsciiRow("x"));
        config.rows.push_back(HexRow(c.text));
        EXPECT_EQ(BuildRS232Image(config, std::nullopt, false, services).has_value(), c.bytes.has_value()) << c.text;
        if (c.bytes) {
            EXPECT_TRUE(prompts.boxes.empty()) << c.text;
        } else {
            EXPECT_TRUE(prompts.ShowedBox(" Output Hex Validation ",
                                          "Invalid Hex value for Row: 5. \n\nFormat accepted (space padded hex) : 1E 02 FF"))
                << c.text;
        }
    }
}

TEST_F(RS232ConfigTest, StringsComeBackAsAsciiOnlyWhenEveryByteIsPrintable)
{
    struct Case {
        std::vector<uint8_t> bytes;
        StringType type;
        const char* text;
    };
    const Case cases[] = {
        {Bytes({0x41, 0x42}), StringType::ASCII, "AB"},
        {Bytes({0x20, 0x7E}), StringType::ASCII, " ~"},
        {Bytes({0x41, 0x00, 0x42}), StringType::Hex, "41 00 42 "},
        {Bytes({0x02, 0x00, 0x1F}), StringType::Hex, "02 00 1F "},
        {Bytes({0x41, 0x0D}), StringType::Hex, "41 0D "},
        {Bytes({0xFE, 0x0A}), StringType::Hex, "FE 0A "},
        {Bytes({0x7F}), StringType::Hex, "7F "},
        {Bytes({0x63, 0xE9}), StringType::Hex, "63 E9 "},
    };
    for (const Case& c : cases) {
        RS232Row row;
        ShowStringBytes(c.bytes.data(), c.bytes.size(), row);
        EXPECT_EQ(row.type, c.type) << c.text;
        EXPECT_EQ(row.text, c.text);
    }
}

TEST_F(RS232ConfigTest, ParameterBytesOfEachKindOfAction)
{
    RS232Row relay = RelayRow("x", 7, 3);
    RS232Row automode = AsciiRow("x", 7, ACTION_SET_LED_AUTOMODE);
    automode.spinValues = {2};
    automode.freeTexts = {"10", "300"};
    RS232Row levels = AsciiRow("x", 7, ACTION_SET_ALL_LED_LEVELS);
    levels.spinValues = {0, 255, 17, 128};
    RS232Row noNumber = AsciiRow("x", 7, ACTION_SET_LED_AUTOMODE);
    noNumber.spinValues = {1};
    noNumber.freeTexts = {"-5", "7a"};
    RS232Row command = AsciiRow("x");
    command.command = "AT+RST";
    RS232Row fullCommand = AsciiRow("x", DEST_BROADCAST);
    fullCommand.command = "ABCDEFGH";
    RS232Row latin1Command = AsciiRow("x");
    latin1Command.command = "\xC3\xA9\xE2\x82\xAC";  // é, then € which ISO 8859-1 lacks

    struct Case {
        const char* what;
        RS232Row row;
        std::vector<uint8_t> params;
    };
    const Case cases[] = {
        {"relay 3", relay, Bytes({0x33, 0, 0, 0, 0, 0, 0, 0})},
        {"automode 2, 10, 300", automode, Bytes({0x02, 0x0A, 0x2C, 0, 0, 0, 0, 0})},
        {"four levels", levels, Bytes({0x00, 0xFF, 0x11, 0x80, 0, 0, 0, 0})},
        {"free texts without a leading number", noNumber, Bytes({0x01, 0x00, 0x07, 0, 0, 0, 0, 0})},
        {"command AT+RST", command, Bytes({0x41, 0x54, 0x2B, 0x52, 0x53, 0x54, 0, 0})},
        {"8-character command", fullCommand, Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'})},
        {"Latin-1 command", latin1Command, Bytes({0xE9, '?', 0, 0, 0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        const auto params = StoreRowParameters(c.row);
        EXPECT_EQ(std::vector<uint8_t>(params.begin(), params.end()), c.params) << c.what;
    }

    RS232Row shown;
    shown.action = ACTION_RELAY_ENERGIZE;
    ShowRowParameters(StoreRowParameters(relay), shown);
    EXPECT_EQ(shown.spinValues, std::vector<int>{3});
    shown.action = ACTION_SET_LED_AUTOMODE;
    ShowRowParameters(StoreRowParameters(automode), shown);
    EXPECT_EQ(shown.spinValues, std::vector<int>{2});
    EXPECT_EQ(shown.freeTexts, (std::vector<std::string>{"10", "44"}));
    shown.action = ACTION_UNUSED;
    ShowRowParameters(StoreRowParameters(fullCommand), shown);
    EXPECT_EQ(shown.command, "ABCDEFGH");
    ShowRowParameters(StoreRowParameters(latin1Command), shown);
    EXPECT_EQ(shown.command, "\xC3\xA9?");
}

TEST_F(RS232ConfigTest, FreeBytesCountTypedCharactersOfRowsWithAString)
{
    RS232Config config;
    EXPECT_EQ(FreeImageBytes(config), 4016);
    config.rows = {AsciiRow("HELLO"), AsciiRow(""), HexRow("02 FE")};
    EXPECT_EQ(FreeImageBytes(config), 3974);
    config.rows = {AsciiRow("\xC3\xA9t\xC3\xA9")};  // "été": three characters
    EXPECT_EQ(FreeImageBytes(config), 4016 - 16 - 3);
    config.rows.assign(16, AsciiRow(std::string(255, 'x')));
    EXPECT_EQ(FreeImageBytes(config), 4016 - 16 * (16 + 255));
}

TEST_F(RS232ConfigTest, NewRowRefusedAtNinetyNineRowsOrTooLittleSpace)
{
    const std::pair<const char*, std::string> memoryBox{" RS232 Input Config ", "Not enough memory for a new Row! \n "};
    RS232Config config;
    config.rows.assign(98, AsciiRow(""));
    EXPECT_TRUE(CheckRoomForNewRS232Row(config, prompts));
    config.rows.push_back(AsciiRow(""));
    EXPECT_FALSE(CheckRoomForNewRS232Row(config, prompts));
    EXPECT_TRUE(prompts.ShowedBox(memoryBox.first, memoryBox.second));

    prompts.boxes.clear();
    config.rows.assign(15, AsciiRow(std::string(250, 'x')));  // 4016 - 15 * 266 = 26 free
    EXPECT_FALSE(CheckRoomForNewRS232Row(config, prompts));
    EXPECT_TRUE(prompts.ShowedBox(memoryBox.first, memoryBox.second));
}

TEST_F(RS232ConfigTest, TestStringPayloadIsTheDigitOfTheFirstTenRows)
{
    EXPECT_EQ(TestStringPayload(0), uint8_t(0x30));
    EXPECT_EQ(TestStringPayload(9), uint8_t(0x39));
    EXPECT_EQ(TestStringPayload(10), std::nullopt);
    EXPECT_EQ(TestStringPayload(12), std::nullopt);
    EXPECT_NE(UntestableStringRefusal().text.find("first ten strings"), std::string::npos);
}

TEST_F(RS232ConfigTest, RateChoiceIndexAndExtraEntry)
{
    EXPECT_EQ(BaudRateIndex(1200), 0u);
    EXPECT_EQ(BaudRateIndex(115200), 9u);
    EXPECT_EQ(BaudRateIndex(614400), BaudRateTable.size());
}

}  // namespace
}  // namespace orv::test
