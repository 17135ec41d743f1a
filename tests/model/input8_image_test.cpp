#include <gtest/gtest.h>

#include "model/catalogue.h"
#include "model/image_crc.h"
#include "model/input8_image.h"
#include "model/latin1.h"

namespace orv::test {
namespace {

std::vector<uint8_t> RowBytes(const std::vector<uint8_t>& image, size_t row)
{
    const auto start = image.begin() + long(INPUT8_ROWS_OFFSET + row * INPUT8_ROW_SIZE);
    return {start, start + long(INPUT8_ROW_SIZE)};
}

TEST(Input8Image, ZeroImagePassesTheCrcAndIsTheEmptyConfiguration)
{
    const std::vector<uint8_t> zeros(INPUT8_IMAGE_SIZE, 0);
    EXPECT_TRUE(ImageIntact(zeros.data(), zeros.size()));
    EXPECT_EQ(DecodeInput8Image(zeros.data()), Input8Config{});
}

TEST(Input8Image, FormsDifferOnlyInTheCrc)
{
    Input8Config config;
    config.name = "Porch";
    const std::vector<uint8_t> file = EncodeInput8Image(config, ImageForm::File);
    const std::vector<uint8_t> device = EncodeInput8Image(config, ImageForm::Device);

    ASSERT_EQ(file.size(), INPUT8_IMAGE_SIZE);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 7), (std::vector<uint8_t>{1, 0, 'P', 'o', 'r', 'c', 'h'}));
    EXPECT_EQ(file[451], 0);
    EXPECT_EQ(file[452], 0);
    const uint16_t crc = ImageCrc(file.data(), 451);
    EXPECT_EQ(device[451], crc >> 8);
    EXPECT_EQ(device[452], crc & 0xFF);
    EXPECT_TRUE(ImageIntact(device.data(), device.size()));
    EXPECT_TRUE(std::equal(file.begin(), file.begin() + 451, device.begin()));
}

TEST(Input8Image, NameIsIso88591CutAt32Characters)
{
    struct Case {
        std::string name;
        std::vector<uint8_t> field;  // offsets 2 .. 34
        std::string decoded;
    };
    std::vector<uint8_t> full(33, 'A');
    full[32] = 0;
    std::vector<uint8_t> accented(33, 0);
    accented[0] = 'C';
    accented[1] = 0xE9;  // é
    accented[2] = '?';   // €
    const Case cases[] = {
        {std::string(32, 'A'), full, std::string(32, 'A')},
        {std::string(40, 'A'), full, std::string(32, 'A')},
        {std::string(31, 'x') + "é€", [] {
             std::vector<uint8_t> f(33, 'x');
             f[31] = 0xE9;
             f[32] = 0;
             return f;
         }(),
         std::string(31, 'x') + "é"},
        {"C\xC3\xA9\xE2\x82\xAC", accented, "C\xC3\xA9?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Input8Config config;
        config.name = c.name;
        const std::vector<uint8_t> image = EncodeInput8Image(config, ImageForm::File);
        EXPECT_EQ(std::vector<uint8_t>(image.begin() + 2, image.begin() + 35), c.field);
        EXPECT_EQ(DecodeInput8Image(image.data()).name, c.decoded);
    }
}

TEST(Latin1, OneBytePerCharacterAndQuestionMarksForTheRest)
{
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "abc"},
        {"\xC3\xA9", "\xE9"},               // é
        {"\xC3\xBF", "\xFF"},               // ÿ
        {"\xC4\x80", "?"},                  // Ā, just past ISO 8859-1
        {"\xE2\x82\xAC" "1", "?1"},         // €
        {"\xF0\x9F\x98\x80", "?"},          // a four-byte character
        {"\xE9t\xC3", "?t?"},               // not UTF-8
    };
    for (const auto& [utf8, latin1] : cases) {
        EXPECT_EQ(Utf8ToLatin1(utf8), latin1) << utf8;
    }
    EXPECT_EQ(Latin1ToUtf8("\xE9t\xFF"), "\xC3\xA9t\xC3\xBF");
}

// The 13 bytes of a row: destination, input, change, action (low byte
// first), 8 parameter bytes.
TEST(Input8Image, RowsAndTheirParameterCoding)
{
    struct Case {
        const char* what;
        uint16_t action;
        ParameterValues values;
        std::vector<uint8_t> bytes;  // the 13 row bytes for destination 9, input 2, change Close
    };
    const Case cases[] = {
        {"send string 1", ACTION_SEND_STRING, {{1}, {}, ""}, {9, 2, 2, 0x0A, 0, '0', 0, 0, 0, 0, 0, 0, 0}},
        {"send string 12", ACTION_SEND_STRING, {{12}, {}, ""}, {9, 2, 2, 0x0A, 0, '1', '1', 0, 0, 0, 0, 0, 0}},
        {"send string 99", ACTION_SEND_STRING, {{99}, {}, ""}, {9, 2, 2, 0x0A, 0, '9', '8', 0, 0, 0, 0, 0, 0}},
        {"energize relay 3", ACTION_RELAY_ENERGIZE, {{3}, {}, ""}, {9, 2, 2, 0x0E, 0, '3', 0, 0, 0, 0, 0, 0, 0}},
        {"deenergize relay 4", ACTION_RELAY_DEENERGIZE, {{4}, {}, ""}, {9, 2, 2, 0x0F, 0, '4', 0, 0, 0, 0, 0, 0, 0}},
        {"all LED levels", ACTION_SET_ALL_LED_LEVELS, {{0, 255, 7, 128}, {}, ""},
         {9, 2, 2, 0x0B, 0, 0, 255, 7, 128, 0, 0, 0, 0}},
        {"one LED level", ACTION_SET_1_LED_LEVEL, {{4, 200}, {}, ""}, {9, 2, 2, 0x0C, 0, 4, 200, 0, 0, 0, 0, 0, 0}},
        {"LED automode", ACTION_SET_LED_AUTOMODE, {{2}, {"17", "255"}, ""},
         {9, 2, 2, 0x0D, 0, 2, 17, 255, 0, 0, 0, 0, 0}},
        {"free text", ACTION_UNUSED, {{}, {}, "Lamp-1"}, {9, 2, 2, 0, 0, 'L', 'a', 'm', 'p', '-', '1', 0, 0}},
        {"free text of 8", ACTION_UNUSED, {{}, {}, "ABCDEFGH"}, {9, 2, 2, 0, 0, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Input8Config config;
        InputRow& row = config.rows[5];
        row.destination = 9;
        row.input = 2;
        row.change = ChangeType::Close;
        row.action = c.action;
        row.parameters = EncodeParameters(c.action, c.values);
        const std::vector<uint8_t> image = EncodeInput8Image(config, ImageForm::File);
        EXPECT_EQ(RowBytes(image, 5), c.bytes);
        const InputRow decoded = DecodeInput8Image(image.data()).rows[5];
        EXPECT_EQ(decoded, row);
        EXPECT_EQ(DecodeParameters(decoded.action, decoded.parameters), c.values);
    }
}

TEST(Input8Parameters, FreeValuesAreTheirLeadingNumberLowByteAndBoundedValuesAreNotClamped)
{
    struct Case {
        const char* what;
        uint16_t action;
        ParameterValues values;
        ParameterBytes bytes;
    };
    const Case cases[] = {
        {"300 stores 44", ACTION_SET_LED_AUTOMODE, {{3}, {"300", ""}, ""}, {3, 44, 0, 0, 0, 0, 0, 0}},
        {"no leading digit stores 0", ACTION_SET_LED_AUTOMODE, {{1}, {"x5", "12a"}, ""}, {1, 0, 12, 0, 0, 0, 0, 0}},
        {"missing values take their minimum", ACTION_SET_1_LED_LEVEL, {}, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"bounded values outside their range are stored as they are", ACTION_SET_1_LED_LEVEL, {{9, 0}, {}, ""},
         {9, 0, 0, 0, 0, 0, 0, 0}},
        {"relay number 0 is stored as it is", ACTION_RELAY_ENERGIZE, {{0}, {}, ""}, {'0', 0, 0, 0, 0, 0, 0, 0}},
        {"free text is cut to 8 bytes", ACTION_UNUSED, {{}, {}, "0123456789"}, {'0', '1', '2', '3', '4', '5', '6', '7'}},
        {"free text of an unknown code", 77, {{}, {}, "\xC3\xA9"}, {0xE9, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EncodeParameters(c.action, c.values), c.bytes);
    }
}

TEST(Input8Parameters, DecodingReadsTheFieldAsItWasWritten)
{
    const ParameterBytes digits{'1', '1', 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(DecodeParameters(ACTION_SEND_STRING, digits).spins, std::vector<int>{12});
    EXPECT_EQ(DecodeParameters(ACTION_RELAY_ENERGIZE, digits).spins, std::vector<int>{11});
    EXPECT_EQ(DecodeParameters(ACTION_SEND_STRING, ParameterBytes{}).spins, std::vector<int>{1});
    EXPECT_EQ(DecodeParameters(ACTION_UNUSED, digits).freeText, "11");
    EXPECT_EQ(DecodeParameters(77, digits), ParameterValues{});
}

TEST(Input8Image, DecodingAnEncodedConfigurationGivesItBack)
{
    Input8Config config;
    config.name = "Garage \xC3\xA9tage";
    const uint16_t actions[] = {ACTION_UNUSED,           ACTION_SEND_STRING,      ACTION_SET_ALL_LED_LEVELS,
                                ACTION_SET_1_LED_LEVEL,  ACTION_SET_LED_AUTOMODE, ACTION_RELAY_ENERGIZE,
                                ACTION_RELAY_DEENERGIZE, 0x1234};
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        InputRow& row = config.rows[r];
        row.destination = uint8_t(3 + r);
        row.input = uint8_t(r % 8);
        row.change = ChangeType(r % 3);
        row.action = actions[r % 8];
        for (size_t i = 0; i < INPUT8_PARAMETER_BYTES; ++i)
            row.parameters[i] = uint8_t(r * 8 + i + 1);
    }
    // Out-of-range stored values survive too.
    config.rows[31].input = 200;
    config.rows[31].change = ChangeType(7);

    for (ImageForm form : {ImageForm::File, ImageForm::Device}) {
        const std::vector<uint8_t> image = EncodeInput8Image(config, form);
        EXPECT_EQ(DecodeInput8Image(image.data()), config);
    }
}

}  // namespace
}  // namespace orv::test
