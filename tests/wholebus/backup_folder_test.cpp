// A backup folder as someone else may have left it: files that are folders,
// pipes, devices or links, of any size, a manifest that names one device's
// file for another. Reading says why a folder cannot be used; writing
// replaces the folder's backup whole or not at all, and nothing outside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "model/catalogue.h"
#include "model/input8_image.h"
#include "model/rs232_image.h"
#include "tests/support/hostile_files.h"
#include "wholebus/backup_folder.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

DeviceRecord Record(const char* name, uint8_t address, uint8_t lowSerial)
{
    DeviceRecord record;
    record.name = name;
    record.typeCode = TypeFromName(record.name);
    record.address = address;
    record.serialNumber = {lowSerial, 0x10, 0x00, 0x21};
    record.firmwareMajor = 1;
    record.firmwareMinor = 0x20;
    record.configured = true;
    return record;
}

class BackupFolderTest : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() /
                    ("orv_backup_folder_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::path folder = root / "backup";
    fs::path outside = root / "outside.txt";
    BackupDevice hall{Record("ORV-Input8", 3, 0x31), "input8-21001031.bin", std::vector<uint8_t>(INPUT8_IMAGE_SIZE, 0x11)};
    BackupDevice porch{Record("ORV-Input8", 4, 0x32), "input8-21001032.bin", std::vector<uint8_t>(INPUT8_IMAGE_SIZE, 0x22)};
    BackupDevice relay{Record("ORV-Relay", 9, 0x33), std::nullopt, {}};

    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(folder);
        Write(outside, "precious outside data");
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    static std::string Read(const fs::path& path)
    {
        std::ifstream stream(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }
    void WriteManifest(const std::vector<BackupDevice>& devices) { Write(folder / BACKUP_MANIFEST, BackupManifestText(devices)); }
    void WriteGoodBackup()
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        ASSERT_TRUE(SaveBackupFolder(folder.string(), {hall, porch, relay}).saved);
    }
    // Every name of the folder with what it holds (a link as its target).
    std::map<std::string, std::string> Contents()
    {
        std::map<std::string, std::string> contents;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            contents[entry.path().filename().string()] =
                entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string()
                : entry.is_directory() ? "folder"
                                       : Read(entry.path());
        return contents;
    }
};

TEST_F(BackupFolderTest, AFolderThatCannotBeUsedSaysWhyWithoutHangingOrFillingTheMemory)
{
    const fs::path manifest = folder / BACKUP_MANIFEST;
    const fs::path hallFile = folder / *hall.file;
    std::vector<FolderCase> cases = NoFileAt(manifest);
    cases.insert(cases.end(), {
        {"manifest of a gigabyte", [&] { fs::resize_file(manifest, 1u << 30); },
         "manifest.json is 1073741824 bytes long: it is no manifest of a backup, which is at most 262144 bytes long"},
        {"file linked to /dev/zero", [&] { fs::remove(hallFile); fs::create_symlink("/dev/zero", hallFile); },
         "input8-21001031.bin is a device, not a file"},
        {"file of a gigabyte", [&] { fs::resize_file(hallFile, 1u << 30); },
         "input8-21001031.bin is 1073741824 bytes long: the Input8 file of a backup is 453 bytes long"},
        {"file a folder", [&] { fs::remove(hallFile); fs::create_directory(hallFile); },
         "input8-21001031.bin is a folder, not a file"},
        {"file of RS232 size under an Input8 name", [&] { fs::resize_file(hallFile, RS232_IMAGE_SIZE); },
         "input8-21001031.bin is 4064 bytes long: the Input8 file of a backup is 453 bytes long"},
        {"one device's file named for another", [&] {
             BackupDevice swapped = hall;
             swapped.file = porch.file;
             BackupDevice unsaved = porch;
             unsaved.file.reset();
             WriteManifest({swapped, unsaved});
         }, "names \"input8-21001032.bin\", the file of ORV-Input8 (21 00 10 32), for ORV-Input8 (21 00 10 31)"},
        {"a file that names no device", [&] {
             BackupDevice renamed = hall;
             renamed.file = "hall.bin";
             fs::copy_file(hallFile, folder / "hall.bin");
             WriteManifest({renamed});
         }, "names \"hall.bin\" for ORV-Input8 (21 00 10 31), but the name is \"input8-21001031.bin\""},
        {"one file for two devices", [&] {
             BackupDevice twin = porch;
             twin.record.serialNumber = hall.record.serialNumber;
             twin.file = hall.file;
             WriteManifest({hall, twin});
         }, "names the file \"input8-21001031.bin\" for both"},
        {"a device listed twice", [&] { WriteManifest({hall, relay, hall}); },
         "manifest.json lists ORV-Input8 (21 00 10 31) twice"},
        {"a NUL in a file name", [&] {
             BackupDevice nul = hall;
             nul.file = std::string("input8-21001031.bin\0.txt", 24);
             WriteManifest({nul});
         }, "names \"input8-21001031.bin\\u0000.txt\" for ORV-Input8"},
    });
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteGoodBackup();
        c.make();
        const BackupFolder read = ReadBackupFolder(folder.string());
        ASSERT_FALSE(read.Readable());
        EXPECT_NE(read.problems.front().find(c.problem), std::string::npos) << read.problems.front();
        EXPECT_EQ(read.problems.front().find('\0'), std::string::npos);
    }
    // The good backup itself, and one whose files carry the address because two devices share a serial number.
    WriteGoodBackup();
    EXPECT_TRUE(ReadBackupFolder(folder.string()).Readable());
    BackupDevice twin = porch;
    twin.record.serialNumber = hall.record.serialNumber;
    twin.file = BackupFileNameOf(twin.record, true);
    ASSERT_TRUE(SaveBackupFolder(folder.string(), {hall, twin}).saved);
    EXPECT_TRUE(ReadBackupFolder(folder.string()).Readable());
}

TEST_F(BackupFolderTest, LinksPlantedInTheFolderAreReplacedNeverFollowed)
{
    for (const std::string& name : {*hall.file, std::string(BACKUP_MANIFEST)})
        fs::create_symlink(outside, folder / name);
    const BackupSaveResult saved = SaveBackupFolder(folder.string(), {hall, relay});
    ASSERT_TRUE(saved.saved) << saved.problem;
    EXPECT_EQ(Read(outside), "precious outside data");
    const std::map<std::string, std::string> contents = Contents();
    ASSERT_EQ(contents.size(), 2u) << "no temporary file is left";
    EXPECT_EQ(contents.at(*hall.file), std::string(hall.image.begin(), hall.image.end()));
    EXPECT_EQ(contents.at(BACKUP_MANIFEST), BackupManifestText({hall, relay}));
    EXPECT_TRUE(ReadBackupFolder(folder.string()).Readable());
}

// One file that cannot be written keeps the whole earlier backup: its files,
// and the manifest that names them.
TEST_F(BackupFolderTest, ABackupReplacesTheFolderWholeOrNotAtAll)
{
    WriteGoodBackup();
    BackupDevice newHall = hall;
    newHall.image.assign(INPUT8_IMAGE_SIZE, 0x33);
    BackupDevice newPorch = porch;
    newPorch.image.assign(INPUT8_IMAGE_SIZE, 0x44);
    for (const std::string& blocked : {*porch.file, std::string(BACKUP_MANIFEST)}) {
        SCOPED_TRACE(blocked);
        fs::path moved = root / "kept";
        fs::rename(folder / blocked, moved);
        fs::create_directory(folder / blocked);
        const std::map<std::string, std::string> before = Contents();
        const BackupSaveResult saved = SaveBackupFolder(folder.string(), {newHall, newPorch, relay});
        EXPECT_FALSE(saved.saved);
        EXPECT_NE(saved.problem.find("cannot write " + (folder / blocked).string()), std::string::npos) << saved.problem;
        if (blocked != BACKUP_MANIFEST) {
            EXPECT_NE(saved.problem.find("(ORV-Input8 (21 00 10 32))"), std::string::npos) << saved.problem;
        }
        EXPECT_EQ(Contents(), before);
        fs::remove(folder / blocked);
        fs::rename(moved, folder / blocked);
    }
    const BackupSaveResult saved = SaveBackupFolder(folder.string(), {newHall, newPorch, relay});
    ASSERT_TRUE(saved.saved) << saved.problem;
    const BackupFolder read = ReadBackupFolder(folder.string());
    ASSERT_TRUE(read.Readable());
    EXPECT_EQ(read.devices[0].image, newHall.image);
    EXPECT_EQ(read.devices[1].image, newPorch.image);
    EXPECT_EQ(Contents().size(), 3u) << "no temporary file is left";
}

}  // namespace
}  // namespace orv::test
