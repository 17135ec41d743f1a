// Both image forms of both kinds without a panel: what a device read becomes
// as a file, what a file becomes for the device, and the file checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/config_kind.h"
#include "model/input8_image.h"
#include "tests/support/rs232_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

class ConfigKindTest : public RS232BusFixture {
protected:
    SimDevice input8{SimDeviceKind::Input8, 3, {9, 9, 9, 9}};
    fs::path folder;

    void SetUp() override
    {
        RS232BusFixture::SetUp();
        bus.Attach(input8);
        folder = fs::temp_directory_path() /
                 ("config_kind_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        return path;
    }

    static Input8Config SampleInput8()
    {
        Input8Config config;
        config.name = "Hall";
        config.rows[0] = InputRow{2, ChangeType::Open, 9, ACTION_SEND_STRING, {'0'}};
        return config;
    }

    static RS232Config SampleRS232()
    {
        RS232Config config;
        config.name = "Gate";
        config.baudRate = 9600;
        config.rows = {RelayRow("OPEN", 7, 4), HexRow("02 FE")};
        return config;
    }
};

TEST_F(ConfigKindTest, AnInput8ReadBecomesTheExportedFileAndGoesBackAsItWas)
{
    const std::vector<uint8_t> device = EncodeInput8Image(SampleInput8(), ImageForm::Device);
    input8.LoadMemory(device);
    const ReadOutcome read = ReadConfigImage(TransferProfileOf(ConfigKind::Input8), 3, services);
    ASSERT_EQ(read.result, ReadResult::Intact);

    const std::vector<uint8_t> file = FileFormOfRead(ConfigKind::Input8, read);
    EXPECT_EQ(file, EncodeInput8Image(SampleInput8(), ImageForm::File));
    EXPECT_EQ(DeviceFormOfFile(ConfigKind::Input8, file), device);
    EXPECT_TRUE(FileFormOfRead(ConfigKind::Input8, ReadOutcome{}).empty());
}

TEST_F(ConfigKindTest, AnRS232ReadBecomesTheExportedFileAndGoesBackWithoutWhatFollowsIt)
{
    const RS232BuiltImage built = Build(SampleRS232());
    std::vector<uint8_t> device(built.buffer.begin(), built.buffer.begin() + long(built.length));
    std::swap(device[built.length - 2], device[built.length - 1]);
    // What an earlier, longer configuration left behind in the device's memory.
    std::vector<uint8_t> memory = device;
    memory.resize(600, 0xAA);
    rs232.LoadMemory(memory);

    const ReadOutcome read = ReadConfigImage(TransferProfileOf(ConfigKind::RS232), RS232_ADDRESS, services);
    ASSERT_EQ(read.result, ReadResult::Intact);
    const std::vector<uint8_t> file = FileFormOfRead(ConfigKind::RS232, read);
    EXPECT_EQ(file, std::vector<uint8_t>(built.buffer.begin(), built.buffer.end()));

    const std::string path = Write("gate.bin", file);
    const ConfigFile loaded = LoadConfigFile(path, ConfigKind::RS232);
    ASSERT_EQ(loaded.status, ConfigFileStatus::Ok);
    EXPECT_EQ(DeviceFormOfFile(ConfigKind::RS232, loaded.image), device);
    EXPECT_TRUE(DeviceFormOfFile(ConfigKind::RS232, std::vector<uint8_t>(453)).empty());
}

TEST_F(ConfigKindTest, FilesAreCheckedAsTheImportsCheckThem)
{
    const RS232BuiltImage built = Build(SampleRS232());
    const std::vector<uint8_t> rs232File(built.buffer.begin(), built.buffer.end());
    std::vector<uint8_t> hostile = rs232File;
    hostile[38] = 200;  // rowCount
    std::vector<uint8_t> shortRS232(rs232File.begin(), rs232File.begin() + 4000);
    const std::vector<uint8_t> input8File = EncodeInput8Image(SampleInput8(), ImageForm::File);
    std::vector<uint8_t> twoInput8 = input8File;
    twoInput8.insert(twoInput8.end(), input8File.begin(), input8File.end());

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        ConfigKind kind;
        ConfigFileStatus status;
    };
    const Case cases[] = {
        {"Input8 of 453 bytes", input8File, ConfigKind::Input8, ConfigFileStatus::Ok},
        {"Input8 of 906 bytes", twoInput8, ConfigKind::Input8, ConfigFileStatus::Ok},
        {"Input8 of 454 bytes", std::vector<uint8_t>(454), ConfigKind::Input8, ConfigFileStatus::WrongSize},
        {"empty Input8", {}, ConfigKind::Input8, ConfigFileStatus::WrongSize},
        {"RS232 file as Input8", rs232File, ConfigKind::Input8, ConfigFileStatus::WrongSize},
        {"RS232 of 4064 bytes", rs232File, ConfigKind::RS232, ConfigFileStatus::Ok},
        {"RS232 of 4000 bytes", shortRS232, ConfigKind::RS232, ConfigFileStatus::Ok},
        {"RS232 of 4063 bytes", std::vector<uint8_t>(4063), ConfigKind::RS232, ConfigFileStatus::WrongSize},
        {"Input8 file as RS232", input8File, ConfigKind::RS232, ConfigFileStatus::WrongSize},
        {"RS232 with 200 rows", hostile, ConfigKind::RS232, ConfigFileStatus::Damaged},
    };
    for (const Case& c : cases) {
        const ConfigFile file = LoadConfigFile(Write("file.bin", c.bytes), c.kind);
        EXPECT_EQ(file.status, c.status) << c.what;
        if (c.status == ConfigFileStatus::Ok)
            EXPECT_EQ(file.image.size(), c.kind == ConfigKind::Input8 ? 453u : 4064u) << c.what;
        else
            EXPECT_TRUE(file.image.empty()) << c.what;
    }
    const ConfigFile shortOne = LoadConfigFile(Write("short.bin", shortRS232), ConfigKind::RS232);
    EXPECT_EQ(shortOne.image, rs232File);  // zero after the end of the file

    EXPECT_EQ(LoadConfigFile((folder / "none.bin").string(), ConfigKind::Input8).status, ConfigFileStatus::Missing);
    EXPECT_EQ(LoadConfigFile(folder.string(), ConfigKind::RS232).status, ConfigFileStatus::Unreadable);
}

TEST(ConfigKinds, OnlyInput8AndRS232AreConfigurable)
{
    EXPECT_EQ(ConfigKindOfType(TYPE_INPUT8), ConfigKind::Input8);
    EXPECT_EQ(ConfigKindOfType(TYPE_RS232), ConfigKind::RS232);
    for (uint8_t type : {TYPE_NONE, TYPE_LED4PD, TYPE_RELAY, TYPE_UNRECOGNISED})
        EXPECT_FALSE(ConfigKindOfType(type)) << int(type);
    EXPECT_EQ(TransferProfileOf(ConfigKind::Input8).bufferSize, 453u);
    EXPECT_EQ(TransferProfileOf(ConfigKind::RS232).bufferSize, 4064u);
}

}  // namespace
}  // namespace orv::test
