// The safe write when only the folder's flush fails after the file took its
// place: the file is saved, and what went wrong is a warning, not a failure.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/config_file_dialogs.h"
#include "config/safe_file_write.h"
#include "tests/support/scripted_prompts.h"
#include "wholebus/backup_folder.h"

namespace orv::test {
namespace {

#ifndef _WIN32
int FolderFlushFails(const std::string&)
{
    return EIO;
}

int FolderFlushes(const std::string&)
{
    return 0;
}

std::string Content(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SafeFileWrite, AFolderThatWillNotFlushLeavesTheFileSavedWithAWarning)
{
    struct Case {
        FolderFlush flush;
        bool warned;
    };
    for (const Case& c : {Case{FolderFlushFails, true}, Case{FolderFlushes, false}}) {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("orv_safe_write_" + std::to_string(c.warned));
        std::filesystem::create_directories(folder);
        const std::filesystem::path file = folder / "config.bin";
        std::ofstream(file) << "old";
        const std::string bytes = "new content";

        const FileWriteResult result =
            WriteFileSafely(file.string(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), c.flush);

        EXPECT_TRUE(result.written) << c.warned;
        EXPECT_EQ(result.reason, "");
        EXPECT_EQ(Content(file), bytes);
        EXPECT_EQ(result.warning.find("is saved, but its folder could not be flushed") != std::string::npos,
                  c.warned)
            << result.warning;
        if (c.warned) {
            EXPECT_NE(result.warning.find(std::strerror(EIO)), std::string::npos) << result.warning;
        }
        std::filesystem::remove_all(folder);
    }
}

// The callers of the safe write pass the warning on: the export says the file
// is saved and logs the warning, a backup lists it with the files it saved.
TEST(SafeFileWrite, ExportAndBackupPassTheFolderWarningOn)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orv_safe_write_callers";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::vector<uint8_t> bytes(453, 0x11);

    ScriptedPrompts prompts;
    CollectingLog log;
    const std::string exported = (folder / "hall.bin").string();
    EXPECT_TRUE(WriteConfigFile(prompts, log, exported, bytes, "saved", FolderFlushFails));
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{" Config Saved "});
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].rfind(" Warning: " + exported + " is saved, but its folder could not be flushed", 0), 0u)
        << log.lines[0];

    BackupDevice device;
    device.record.name = "ORV-Input8";
    device.record.typeCode = TYPE_INPUT8;
    device.record.address = 3;
    device.file = BackupFileNameOf(device.record);
    device.image = bytes;
    const BackupSaveResult saved = SaveBackupFolder(folder.string(), {device}, FolderFlushFails);
    EXPECT_TRUE(saved.saved);
    ASSERT_EQ(saved.warnings.size(), 1u);
    EXPECT_NE(saved.warnings[0].find(" holds the new files, but could not be flushed"), std::string::npos)
        << saved.warnings[0];
    std::filesystem::remove_all(folder);
}
#endif

}  // namespace
}  // namespace orv::test
