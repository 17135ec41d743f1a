// A backup of the simulated bus against the bus after devices were changed,
// moved, taken away and added; the backup folder written and read again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "model/input8_image.h"
#include "network/discovery.h"
#include "tests/network/network_fixture.h"
#include "tests/support/hall_config.h"
#include "wholebus/bus_backup.h"
#include "wholebus/bus_comparison.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

class BusComparisonTest : public NetworkFixture {
protected:
    SimDevice& input8 = AddDevice(3, 0x01, SimDeviceKind::Input8);
    SimDevice& relay = AddDevice(9, 0x02, SimDeviceKind::Relay);
    SimDevice& moved = AddDevice(5, 0x03, SimDeviceKind::Input8);
    SimDevice& updated = AddDevice(7, 0x04, SimDeviceKind::LED4PD);
    SimDevice& unchanged = AddDevice(12, 0x05, SimDeviceKind::Input8);
    fs::path folder = fs::temp_directory_path() /
                      ("orv_bus_comparison_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));

    void SetUp() override
    {
        NetworkFixture::SetUp();
        input8.LoadMemory(EncodeInput8Image(Hall(9), ImageForm::Device));
        moved.LoadMemory(EncodeInput8Image(Hall(7), ImageForm::Device));
        unchanged.LoadMemory(EncodeInput8Image(Hall(9), ImageForm::Device));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void Discover() { ASSERT_GT(DiscoverDevices(context, BROADCAST_ADDRESS), 0); }

    // The status of every device by its serial tag.
    std::map<uint8_t, std::string> Statuses(const BusComparison& comparison)
    {
        std::map<uint8_t, std::string> statuses;
        for (const DeviceComparison& device : comparison.devices) {
            const DeviceRecord& record = device.bus ? *device.bus : device.backup->record;
            statuses[record.serialNumber[0]] = StatusText(device);
        }
        return statuses;
    }
};

TEST_F(BusComparisonTest, EveryKindOfChangeIsNamed)
{
    Discover();
    const BusBackup backup = ReadBusBackup(registry, services);
    ASSERT_FALSE(backup.interfaceLost);
    ASSERT_TRUE(backup.notRead.empty());
    EXPECT_TRUE(CompareWithBus(backup.devices, registry, services).Matches());

    // Changed, moved, firmware updated, taken away, and two added (one unconfigured).
    input8.LoadMemory(EncodeInput8Image(Hall(11), ImageForm::Device));
    moved.SetAddress(20);
    updated.Info().firmwareMinor = 9;
    bus.Detach(relay);
    AddDevice(30, 0x06, SimDeviceKind::Relay);
    AddDevice(31, 0x07, SimDeviceKind::Input8).Info().configured = 0;
    Discover();

    const BusComparison comparison = CompareWithBus(backup.devices, registry, services);
    EXPECT_FALSE(comparison.Matches());
    EXPECT_EQ(Statuses(comparison), (std::map<uint8_t, std::string>{
                                        {0x01, "configuration differs"},
                                        {0x02, "missing on the bus"},
                                        {0x03, "address 5 → 20"},
                                        {0x04, "firmware 1.0 → 1.9"},
                                        {0x05, "same"},
                                        {0x06, "not in the backup"},
                                        {0x07, "not in the backup; not configured"},
                                    }));
    const DeviceComparison& changed = comparison.devices.front();
    EXPECT_EQ(changed.differences, std::vector<std::string>{"Row 4: destination ORV-Relay @ 9 → address 11"});
    EXPECT_TRUE(changed.NeedsWrite());
    for (const DeviceComparison& device : comparison.devices) {
        if (device.bus && device.bus->serialNumber[0] != 0x01) {
            EXPECT_FALSE(device.NeedsWrite()) << StatusText(device);
        }
    }

    // A device that lost its configuration needs it again.
    unchanged.Info().configured = 0;
    Discover();
    const BusComparison again = CompareWithBus(backup.devices, registry, services);
    EXPECT_EQ(Statuses(again)[0x05], "not configured");
}

// A comparison stays open while the bus changes: once one device is written
// and read back, the verdict that the bus matches names the configurations
// not read again since the comparison, such as one changed meanwhile.
TEST_F(BusComparisonTest, AVerdictAfterAWriteNamesWhatWasNotReadAgain)
{
    Discover();
    const BusBackup backup = ReadBusBackup(registry, services);
    input8.LoadMemory(EncodeInput8Image(Hall(11), ImageForm::Device));
    BusComparison comparison = CompareWithBus(backup.devices, registry, services);
    EXPECT_EQ(ComparisonVerdict(comparison, "10:42"), "The bus differs from the backup.");

    // Meanwhile another device is changed behind the comparison's back.
    unchanged.LoadMemory(EncodeInput8Image(Hall(11), ImageForm::Device));
    ASSERT_EQ(comparison.devices.front().bus->serialNumber, Serial(0x01));
    const WriteOutcome written = WriteConfigImage(TransferProfileOf(ConfigKind::Input8), 3,
                                                  DeviceFormOfFile(ConfigKind::Input8, backup.devices[0].image),
                                                  services);
    ASSERT_EQ(written.result, WriteResult::Saved);
    MarkWrittenFromBackup(comparison, 0);

    EXPECT_TRUE(comparison.Matches());
    EXPECT_EQ(ComparisonVerdict(comparison, "10:42"),
              "The devices written match the backup; ORV-Input8 @ 5, ORV-Input8 @ 12 not read again since 10:42.");
    const BusComparison fresh = CompareWithBus(backup.devices, registry, services);
    EXPECT_EQ(ComparisonVerdict(fresh, "10:43"), "The bus differs from the backup.");
}

// A window's Cancel between two devices: the others are not read, and say so.
TEST_F(BusComparisonTest, StoppedReadsNameTheDevicesLeftOut)
{
    Discover();
    std::vector<std::pair<size_t, size_t>> steps;
    const auto stopAfterOne = [&steps](size_t done, size_t total, const DeviceRecord&) {
        steps.emplace_back(done, total);
        return done < 1;
    };
    const BusBackup backup = ReadBusBackup(registry, services, stopAfterOne);
    EXPECT_TRUE(backup.cancelled);
    EXPECT_EQ(steps, (std::vector<std::pair<size_t, size_t>>{{0, 3}, {1, 3}}));
    ASSERT_EQ(backup.notRead.size(), 2u);
    EXPECT_EQ(backup.notRead.back().second, "not read: the backup was stopped");

    const BusBackup whole = ReadBusBackup(registry, services);
    steps.clear();
    const BusComparison comparison = CompareWithBus(whole.devices, registry, services, stopAfterOne);
    EXPECT_TRUE(comparison.cancelled);
    EXPECT_FALSE(comparison.Matches());
    EXPECT_EQ(Statuses(comparison)[0x05], "configuration not read: the comparison was stopped");
}

TEST_F(BusComparisonTest, AFolderIsReadBackAsItWasWritten)
{
    Discover();
    const BusBackup backup = ReadBusBackup(registry, services);
    const BackupSaveResult saved = SaveBackupFolder(folder.string(), backup.devices);
    ASSERT_TRUE(saved.saved) << saved.problem;

    const BackupFolder read = ReadBackupFolder(folder.string());
    ASSERT_TRUE(read.Readable()) << read.problems.front();
    ASSERT_EQ(read.devices.size(), backup.devices.size());
    EXPECT_EQ(read.ConfigurationCount(), 3u);
    for (size_t i = 0; i < read.devices.size(); ++i) {
        const DeviceRecord& a = backup.devices[i].record;
        const DeviceRecord& b = read.devices[i].record;
        EXPECT_EQ(std::tie(a.name, a.serialNumber, a.address, a.firmwareMajor, a.firmwareMinor, a.configured, a.typeCode),
                  std::tie(b.name, b.serialNumber, b.address, b.firmwareMajor, b.firmwareMinor, b.configured, b.typeCode));
        EXPECT_EQ(backup.devices[i].file, read.devices[i].file);
        EXPECT_EQ(backup.devices[i].image, read.devices[i].image);
    }
}

// A file that cannot be written keeps the folder as it was: no manifest
// appears that would name the files written beside it.
TEST_F(BusComparisonTest, AFileThatCannotBeWrittenIsReportedAndNothingIsSaved)
{
    Discover();
    const BusBackup backup = ReadBusBackup(registry, services);
    fs::create_directories(folder / "input8-12005A01.bin" / "blocker");
    const BackupSaveResult saved = SaveBackupFolder(folder.string(), backup.devices);
    EXPECT_FALSE(saved.saved);
    EXPECT_NE(saved.problem.find("input8-12005A01.bin (ORV-Input8 (12 00 5A 01))"), std::string::npos) << saved.problem;
    EXPECT_TRUE(fs::is_directory(folder / "input8-12005A01.bin" / "blocker"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(BusComparisonTest, AFolderThatCannotBeUsedSaysWhy)
{
    const auto write = [this](const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    };
    const std::string entry = R"({"address": 3, "name": "ORV-Input8", "serial": "12 00 5A 01", "firmware": "1.0", )"
                              R"("configured": true, "file": )";
    struct Case {
        std::string manifest;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"", "holds no manifest.json: it is no backup folder"},
        {"{\"devices\": [", "manifest.json is damaged: it is no manifest of a backup"},
        {"{\"devices\": [{\"address\": \"3\"}]}", "manifest.json is damaged: it is no manifest of a backup"},
        {"{\"devices\": [" + entry + "\"../escape.bin\"}]}", "names the file \"../escape.bin\""},
        {"{\"devices\": [" + entry + "\"input8-12005A01.bin\"}]}", "input8-12005A01.bin does not exist"},
    };
    for (const Case& c : cases) {
        fs::remove(folder / "manifest.json");
        if (!c.manifest.empty())
            write("manifest.json", c.manifest);
        const BackupFolder read = ReadBackupFolder(folder.string());
        ASSERT_FALSE(read.Readable()) << c.manifest;
        EXPECT_NE(read.problems.front().find(c.problem), std::string::npos) << read.problems.front();
    }
    write("input8-12005A01.bin", std::string(454, '\0'));
    EXPECT_NE(ReadBackupFolder(folder.string()).problems.front().find("is 454 bytes long"), std::string::npos);
    write("input8-12005A01.bin", std::string(453, '\0'));
    EXPECT_TRUE(ReadBackupFolder(folder.string()).Readable());
    EXPECT_FALSE(ReadBackupFolder((folder / "none").string()).Readable());
}

}  // namespace
}  // namespace orv::test
