#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config/rs232_files.h"
#include "model/image_crc.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const std::pair<std::string, std::string> CORRUPT_BOX{"Error Loading Data ",
                                                       "Corrupt Data / Incorrect File Loaded.\n Try Again"};

class RS232FilesTest : public RS232Fixture {
protected:
    fs::path folder;

    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("rs232_files_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    static std::vector<uint8_t> ReadFile(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }
    static void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }

    std::optional<RS232Config> Import(const std::string& path)
    {
        prompts.fileAnswers.push_back(path);
        return ImportRS232Config(prompts);
    }

    static RS232Config Sample()
    {
        RS232Config config;
        config.name = "Gate";
        config.baudRate = 307200;
        RS232Row command = HexRow("02 00 1F");
        command.command = "AT+RST";
        config.rows = {RelayRow("OPEN", 7, 4), AsciiRow(""), command};
        return config;
    }
};

TEST_F(RS232FilesTest, ExportThenImportRestoresNameRateAndRows)
{
    const std::string path = PathOf("ORV_RS232_Config.bin");
    prompts.fileAnswers.push_back(path);
    ASSERT_TRUE(ExportRS232Config(Sample(), services));
    EXPECT_EQ(prompts.fileDialogs[0].message, "Save RS323 Configuration as ... ");
    EXPECT_EQ(prompts.fileDialogs[0].defaultFile, "ORV_RS232_Config.bin");
    EXPECT_EQ(prompts.fileDialogs[0].wildcard, "Binary files (*.bin)|*.bin");
    EXPECT_TRUE(prompts.fileDialogs[0].save && prompts.fileDialogs[0].overwritePrompt);
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" RS232 Input Config Warning ", " Config Saved "}));
    EXPECT_TRUE(prompts.ShowedBox(" Config Saved ", " SUCCESS \n RS232 Configuration has been saved Succesfully"));

    const auto file = ReadFile(path);
    ASSERT_EQ(file.size(), 4064u);
    const uint16_t crc = ImageCrc(file.data(), 85);  // 46 + 26 + 4 + 5 + 4 image bytes
    EXPECT_EQ(file[85], uint8_t(crc));
    EXPECT_EQ(file[86], uint8_t(crc >> 8));
    EXPECT_TRUE(std::all_of(file.begin() + 87, file.end(), [](uint8_t b) { return b == 0; }));

    prompts.boxes.clear();
    const auto loaded = Import(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(prompts.fileDialogs[1].message, "Load RS232 Configuration from .... ");
    EXPECT_TRUE(prompts.fileDialogs[1].mustExist);
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(loaded->name, "Gate");
    EXPECT_EQ(loaded->baudRate, 307200u);
    ASSERT_EQ(loaded->rows.size(), 2u);
    EXPECT_EQ(loaded->rows[0].spinValues, std::vector<int>{4});
    EXPECT_EQ(loaded->rows[1].text, "02 00 1F ");
    EXPECT_EQ(loaded->rows[1].command, "AT+RST");

    ShowRS232Loaded(prompts);
    EXPECT_TRUE(prompts.ShowedBox(" Config Loaded ", " SUCCESS \n RS232 Configuration has been Loaded Succesfully"));
}

TEST_F(RS232FilesTest, FilesOfWrongLengthOrHostileContentAreRefused)
{
    prompts.fileAnswers.push_back(PathOf("good.bin"));
    ASSERT_TRUE(ExportRS232Config(Sample(), services));
    const auto good = ReadFile(PathOf("good.bin"));

    std::vector<uint8_t> rowCount200 = good;
    rowCount200[38] = 200;
    std::vector<uint8_t> offsetPastEnd = good;
    offsetPastEnd[72] = 0xE0;  // offset entry 0: 4064
    offsetPastEnd[73] = 0x0F;
    std::vector<uint8_t> stringCountHuge = good;
    stringCountHuge[40] = stringCountHuge[41] = 0xFF;

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"4063 bytes", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"0 bytes", {}},
        {"rowCount 200", rowCount200},
        {"offset entry past the end", offsetPastEnd},
        {"stringCount larger than the buffer", stringCountHuge},
    };
    for (const Case& c : cases) {
        prompts.boxes.clear();
        WriteFile(PathOf("bad.bin"), c.bytes);
        EXPECT_FALSE(Import(PathOf("bad.bin"))) << c.what;
        EXPECT_TRUE(prompts.ShowedBox(CORRUPT_BOX.first, CORRUPT_BOX.second)) << c.what;
    }
}

TEST_F(RS232FilesTest, AShortFileReadsAsZeroAfterItsEnd)
{
    prompts.fileAnswers.push_back(PathOf("good.bin"));
    ASSERT_TRUE(ExportRS232Config(Sample(), services));
    auto bytes = ReadFile(PathOf("good.bin"));
    bytes.resize(4000);
    WriteFile(PathOf("short.bin"), bytes);
    const auto loaded = Import(PathOf("short.bin"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->rows.size(), 2u);

    // A longer file is read up to 4064 bytes.
    bytes.resize(8000, 0xEE);
    WriteFile(PathOf("long.bin"), bytes);
    EXPECT_TRUE(Import(PathOf("long.bin")));
}

TEST_F(RS232FilesTest, ExportWritesNothingWhenTheImageCannotBeBuiltOrWritten)
{
    const std::string path = PathOf("kept.bin");
    WriteFile(path, {1, 2, 3, 4});
    RS232Config config = Sample();
    config.rows.push_back(HexRow("0G"));
    prompts.fileAnswers.push_back(path);
    EXPECT_FALSE(ExportRS232Config(config, services));
    EXPECT_EQ(ReadFile(path), Bytes({1, 2, 3, 4}));
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{" Output Hex Validation "});

    prompts.boxes.clear();
    prompts.fileAnswers.push_back(PathOf("missing/folder.bin"));
    EXPECT_FALSE(ExportRS232Config(Sample(), services));
    EXPECT_EQ(prompts.Captions().back(), "Error Saving Data ");

    prompts.boxes.clear();
    EXPECT_FALSE(ExportRS232Config(Sample(), services));  // dialog cancelled
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
