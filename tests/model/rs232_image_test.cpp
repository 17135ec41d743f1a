#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "config/rs232_build.h"
#include "model/image_crc.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

using RS232ImageTest = RS232Fixture;

std::vector<uint8_t> NameField(const std::string& name)
{
    std::vector<uint8_t> field(32, 0);
    std::memcpy(field.data(), name.data(), name.size());
    return field;
}

// 46 header bytes for name, rate and the counts and offsets.
std::vector<uint8_t> Header(const std::string& name, uint32_t rate, int rows, int rowTable, int stringTable)
{
    std::vector<uint8_t> bytes{0x01, 0x00};
    const auto field = NameField(name);
    bytes.insert(bytes.end(), field.begin(), field.end());
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(rate >> (8 * i)));
    for (int value : {rows, rows, rowTable, stringTable}) {
        bytes.push_back(uint8_t(value));
        bytes.push_back(uint8_t(value >> 8));
    }
    return bytes;
}

// The image bytes up to the CRC, checking that the CRC follows them low byte
// first and that only zero bytes follow it.
std::vector<uint8_t> Body(const RS232BuiltImage& image)
{
    const size_t crcAt = image.length - 2;
    const uint16_t crc = ImageCrc(image.buffer.data(), crcAt);
    EXPECT_EQ(image.buffer[crcAt], uint8_t(crc));
    EXPECT_EQ(image.buffer[crcAt + 1], uint8_t(crc >> 8));
    for (size_t i = image.length; i < image.buffer.size(); ++i)
        EXPECT_EQ(image.buffer[i], 0) << i;
    return std::vector<uint8_t>(image.buffer.begin(), image.buffer.begin() + long(crcAt));
}

TEST_F(RS232ImageTest, NoRowsBuildA48ByteImage)
{
    RS232Config config;
    config.name = "Hall";
    config.baudRate = 9600;
    const auto image = Build(config);
    EXPECT_EQ(image.length, 48u);
    EXPECT_EQ(Body(image), Header("Hall", 9600, 0, 0, 46));
    EXPECT_TRUE(log.Contains("Saving RS232 Config:  Rows 0: "));
}

TEST_F(RS232ImageTest, ThreeRowsWithAnEmptyOneBuildTwoRecords)
{
    RS232Config config;
    config.name = "Gate";
    config.baudRate = 115200;
    RS232Row command = HexRow("02 FE A1");
    command.command = "AT";
    config.rows = {RelayRow("AB", 7, 3), AsciiRow(""), command};

    const auto image = Build(config, true);
    EXPECT_EQ(image.length, 85u);
    std::vector<uint8_t> expected = Header("Gate", 115200, 2, 46, 72);
    const std::vector<uint8_t> rest = {
        0x07, 0x00, 0x00, 0x0E, 0x00, 0x33, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // record 0
        0xFF, 0x01, 0x00, 0x00, 0x00, 0x41, 0x54, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // record 1
        0x4C, 0x00, 0x4F, 0x00,                                                        // offsets 76, 79
        0x02, 0x41, 0x42, 0x03, 0x02, 0xFE, 0xA1,                                      // strings
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(Body(image), expected);
    EXPECT_TRUE(prompts.ShowedBox(" RS232 Input Config Warning ",
                                  "Empty Rows found. \n\n Rows with empty strings won't be saved"));

    prompts.boxes.clear();
    Build(config, false);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(RS232ImageTest, ImagesComeBackAsThePanelShowsThem)
{
    RS232Row automode = AsciiRow("LEDS", 12, ACTION_SET_LED_AUTOMODE);
    automode.spinValues = {2};
    automode.freeTexts = {"10", "300"};
    RS232Row command = AsciiRow("\xC3\xA9t\xC3\xA9", DEST_BROADCAST);  // été in ISO 8859-1
    command.command = "AT+RST";
    RS232Config config;
    config.name = "Caf\xC3\xA9";
    config.baudRate = 38400;
    config.rows = {RelayRow("AB", 7, 3), HexRow("41 42"), HexRow("41 00 42"), HexRow("fe 0a"), automode, command};

    const RS232Config shown = RoundTrip(config);
    EXPECT_EQ(shown.name, "Caf\xC3\xA9");
    EXPECT_EQ(shown.baudRate, 38400u);
    ASSERT_EQ(shown.rows.size(), 6u);
    EXPECT_EQ(shown.rows[0].destination, 7);
    EXPECT_EQ(shown.rows[0].action, ACTION_RELAY_ENERGIZE);
    EXPECT_EQ(shown.rows[0].spinValues, std::vector<int>{3});
    EXPECT_EQ(shown.rows[1].type, StringType::ASCII);
    EXPECT_EQ(shown.rows[1].text, "AB");
    EXPECT_EQ(shown.rows[2].type, StringType::Hex);
    EXPECT_EQ(shown.rows[2].text, "41 00 42 ");
    EXPECT_EQ(shown.rows[3].type, StringType::Hex);
    EXPECT_EQ(shown.rows[3].text, "FE 0A ");
    EXPECT_EQ(shown.rows[4].spinValues, std::vector<int>{2});
    EXPECT_EQ(shown.rows[4].freeTexts, (std::vector<std::string>{"10", "44"}));
    EXPECT_EQ(shown.rows[5].destination, DEST_BROADCAST);
    EXPECT_EQ(shown.rows[5].type, StringType::Hex);
    EXPECT_EQ(shown.rows[5].text, "E9 74 E9 ");
    EXPECT_EQ(shown.rows[5].command, "AT+RST");

    // Shown once, the rows build the same image again.
    EXPECT_EQ(Build(shown).buffer, Build(config).buffer);
}

TEST_F(RS232ImageTest, AThirtyTwoCharacterNameFillsItsFieldAlone)
{
    RS232Config config;
    config.name = std::string(32, 'N');
    config.baudRate = 2400;
    const auto image = Build(config);
    EXPECT_EQ(std::vector<uint8_t>(image.buffer.begin() + 2, image.buffer.begin() + 34), std::vector<uint8_t>(32, 'N'));
    EXPECT_EQ(DecodeRS232Header(image.buffer.data()).baudRate, 2400u);
    const RS232Config shown = RoundTrip(config);
    EXPECT_EQ(shown.name, config.name);
    EXPECT_EQ(shown.baudRate, 2400u);

    config.name = "Hall";
    const auto shorter = Build(config);
    EXPECT_EQ(std::vector<uint8_t>(shorter.buffer.begin() + 2, shorter.buffer.begin() + 34), NameField("Hall"));
}

TEST_F(RS232ImageTest, ARateOutsideTheTableIsKeptAndZeroShowsTheFirst)
{
    RS232Config config;
    config.baudRate = 57600;
    const RS232Config shown = RoundTrip(config);
    EXPECT_EQ(shown.baudRate, 57600u);
    EXPECT_EQ(BaudRateIndex(shown.baudRate), BaudRateTable.size());
    EXPECT_EQ(DecodeRS232Header(Build(shown).buffer.data()).baudRate, 57600u);

    config.baudRate = 0;
    EXPECT_EQ(RoundTrip(config).baudRate, 1200u);
}

TEST_F(RS232ImageTest, RowsAreReadFromTheRowTableOffset)
{
    RS232Config config;
    config.rows = {RelayRow("AB", 7, 3), AsciiRow("CD", 7, ACTION_RELAY_DEENERGIZE)};
    const auto image = Build(config);
    // The same image with the offset table and strings first, the records last.
    auto buffer = image.buffer;
    std::memcpy(&buffer[46], &image.buffer[72], 10);
    std::memcpy(&buffer[56], &image.buffer[46], 26);
    buffer[42] = 56;
    buffer[44] = 46;
    buffer[46] = 50;
    buffer[48] = 53;
    const auto moved = ParseRS232Image(buffer);
    ASSERT_TRUE(moved);
    ASSERT_EQ(moved->rows.size(), 2u);
    EXPECT_EQ(moved->rows[1].text, "CD");
    EXPECT_EQ(moved->rows[1].action, ACTION_RELAY_DEENERGIZE);

    // 0 means 46.
    auto atStart = Build(config);
    atStart.buffer[42] = atStart.buffer[43] = 0;
    ASSERT_TRUE(ParseRS232Image(atStart.buffer));
    EXPECT_EQ(ParseRS232Image(atStart.buffer)->rows[0].text, "AB");
}

// A 4064-byte buffer, zero but for "@offset:hex" runs.
std::vector<uint8_t> SparseImage(std::initializer_list<std::pair<size_t, const char*>> runs)
{
    std::vector<uint8_t> buffer(RS232_IMAGE_SIZE, 0);
    for (const auto& [at, hex] : runs)
        for (size_t i = 0; hex[2 * i]; ++i)
            buffer[at + i] = uint8_t(std::stoi(std::string(hex + 2 * i, 2), nullptr, 16));
    return buffer;
}

// Only the computed length is written, read back and covered by the CRC: an
// image whose tables or strings lie beyond it would show rows that the device
// never gets.
TEST_F(RS232ImageTest, TablesAndStringsBeyondTheImageLengthAreRefused)
{
    const std::vector<uint8_t> entryPastTheLength = SparseImage(
        {{0, "0100446f6f72"}, {34, "8025"}, {38, "010001002e003b0009"}, {49, "0e0032"}, {59, "64"}, {100, "0548454c4c4f"}});
    const std::vector<uint8_t> stringTableMoved =
        SparseImage({{38, "010001002e00480009"}, {49, "0e0032"}, {72, "4a0006505752204f4e"}});
    const std::vector<uint8_t> recordsPastTheLength =
        SparseImage({{38, "010001001004"}, {44, "2e00300002"}, {49, "4142"}});
    // The offset table one byte late: the strings the length is walked over
    // end past it, and the image as written would walk to another length.
    const std::vector<uint8_t> stringsWalkedPastTheLength =
        SparseImage({{40, "0100"}, {44, "2f00"}, {47, "2e00024142"}});
    for (const auto* image :
         {&entryPastTheLength, &stringTableMoved, &recordsPastTheLength, &stringsWalkedPastTheLength}) {
        EXPECT_EQ(RS232ImageLength(*image), std::nullopt);
        EXPECT_EQ(ParseRS232Image(*image), std::nullopt);
    }
}

TEST_F(RS232ImageTest, ABuildThatWouldNotFitIsRefused)
{
    RS232Config config;
    config.rows.assign(15, AsciiRow(std::string(255, 'x')));  // 46 + 15 * 271 + 2 = 4113
    EXPECT_FALSE(BuildRS232Image(config, std::nullopt, true, services));
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " RS232 Input Config ");
    EXPECT_NE(prompts.boxes[0].text.find("4113"), std::string::npos);
    EXPECT_FALSE(log.Contains("Saving RS232 Config:  Rows 15: "));

    config.rows.resize(14);  // 46 + 14 * 271 + 2 = 3842
    EXPECT_TRUE(BuildRS232Image(config, std::nullopt, false, services));

    prompts.boxes.clear();
    config.rows.assign(100, AsciiRow("x"));
    EXPECT_FALSE(BuildRS232Image(config, std::nullopt, false, services));
    EXPECT_EQ(prompts.boxes.size(), 1u);
    config.rows.pop_back();
    EXPECT_TRUE(BuildRS232Image(config, std::nullopt, false, services));

    prompts.boxes.clear();
    config.rows = {AsciiRow(std::string(256, 'x'))};
    EXPECT_FALSE(BuildRS232Image(config, std::nullopt, false, services));
    EXPECT_EQ(prompts.boxes.size(), 1u);
}

TEST_F(RS232ImageTest, DeletingARowDropsItAndTheEmptyRows)
{
    RS232Config config;
    config.rows = {AsciiRow("one"), AsciiRow("two"), AsciiRow(""), AsciiRow("four")};
    const auto after = DeleteRS232Row(config, 1, services);
    ASSERT_TRUE(after);
    ASSERT_EQ(after->rows.size(), 2u);
    EXPECT_EQ(after->rows[0].text, "one");
    EXPECT_EQ(after->rows[1].text, "four");
    EXPECT_TRUE(prompts.boxes.empty());

    config.rows[3] = HexRow("0G");
    EXPECT_FALSE(DeleteRS232Row(config, 1, services));
    EXPECT_TRUE(prompts.ShowedBox(" Output Hex Validation ",
                                  "Invalid Hex value for Row: 4. \n\nFormat accepted (space padded hex) : 1E 02 FF"));
}

TEST_F(RS232ImageTest, AZeroBufferIsAnIntactEmptyImage)
{
    const std::vector<uint8_t> zeros(RS232_IMAGE_SIZE, 0);
    EXPECT_EQ(RS232ImageLength(zeros), 48u);
    EXPECT_TRUE(ImageIntact(zeros.data(), 48));
    const auto config = ParseRS232Image(zeros);
    ASSERT_TRUE(config);
    EXPECT_EQ(config->name, "");
    EXPECT_EQ(config->baudRate, 1200u);
    EXPECT_TRUE(config->rows.empty());
}

// Images from a foreign device or file whose counts, offsets or lengths lead
// outside the buffer or past the panel's rows. Run under AddressSanitizer.
TEST_F(RS232ImageTest, HostileImagesAreRefusedWithoutReadingOutsideTheBuffer)
{
    RS232Config config;
    config.rows = {AsciiRow("AB"), HexRow("02 FE A1")};  // records at 46, offsets at 72, strings at 76
    const RS232BuiltImage good = Build(config);
    ASSERT_EQ(RS232ImageLength(good.buffer), good.length);

    using Buffer = std::array<uint8_t, RS232_IMAGE_SIZE>;
    const auto put16 = [](Buffer& b, size_t at, int value) {
        b[at] = uint8_t(value);
        b[at + 1] = uint8_t(value >> 8);
    };
    struct Case {
        const char* what;
        std::function<void(Buffer&)> damage;
    };
    const Case cases[] = {
        {"rowCount 200", [&](Buffer& b) { put16(b, 38, 200); }},
        {"rowCount 100", [&](Buffer& b) { put16(b, 38, 100); }},
        {"rowCount 0xFFFF", [&](Buffer& b) { put16(b, 38, 0xFFFF); }},
        {"stringCount larger than the buffer", [&](Buffer& b) { put16(b, 40, 0xFFFF); }},
        {"stringCount whose walk runs off the end", [&](Buffer& b) { put16(b, 40, 1990); }},
        {"stringCount below a record's index", [&](Buffer& b) { put16(b, 40, 1); }},
        {"rowTableOffset past the end", [&](Buffer& b) { put16(b, 42, 4060); }},
        {"stringTableOffset past the end", [&](Buffer& b) { put16(b, 44, 4063); }},
        {"offset entry past the end", [&](Buffer& b) { put16(b, 72, 4064); }},
        {"offset entry whose string runs off the end", [&](Buffer& b) {
             put16(b, 72, 4060);
             b[4060] = 200;
         }},
        {"string index past the table", [&](Buffer& b) { put16(b, 47, 7); }},
        {"string length past the end", [&](Buffer& b) {
             put16(b, 44, 4000);
             put16(b, 4000, 4004);
             put16(b, 4002, 4004);
             b[4004] = 250;
         }},
        {"strings ending one byte short of room for the CRC", [&](Buffer& b) {
             put16(b, 38, 0);
             put16(b, 40, 16);
             put16(b, 44, 46);
             for (size_t at = 78; at <= 3918; at += 256) {
                 put16(b, 46 + 2 * (at - 78) / 256, int(at));
                 b[at] = 255;
             }
             b[3918] = 144;  // the last string ends at 4063
         }},
    };
    for (const Case& c : cases) {
        Buffer hostile = good.buffer;
        c.damage(hostile);
        EXPECT_EQ(RS232ImageLength(hostile), std::nullopt) << c.what;
        EXPECT_EQ(ParseRS232Image(hostile), std::nullopt) << c.what;
    }
    // One byte shorter, the image fills the buffer exactly.
    Buffer full = good.buffer;
    cases[std::size(cases) - 1].damage(full);
    full[3918] = 143;
    EXPECT_EQ(RS232ImageLength(full), RS232_IMAGE_SIZE);

    const std::vector<uint8_t> shortBuffer(good.buffer.begin(), good.buffer.begin() + 40);
    EXPECT_EQ(RS232ImageLength(shortBuffer), std::nullopt);
}

}  // namespace
}  // namespace orv::test
