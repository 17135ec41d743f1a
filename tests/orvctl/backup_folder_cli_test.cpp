// orvctl's backup, diff and restore on backup folders someone else may have
// changed: each refusal says why, nothing is written to a device from a file
// that is not its own, and a backup that cannot write its folder whole says
// so and saves nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/orvctl/demo_bus_cli.h"
#include "tests/support/hostile_files.h"
#include "wholebus/backup_folder.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

class BackupFolderCliTest : public DemoBusCliTest {
protected:
    std::string bus = folder / "bus";
    fs::path manifest = fs::path(bus) / BACKUP_MANIFEST;

    void SetUp() override { ASSERT_EQ(Run({"backup", bus}).status, EXIT_OK); }

    CliResult Run(std::vector<std::string> args) { return RunCli(args, factory); }

    static std::string ReadText(const fs::path& path)
    {
        const std::vector<uint8_t> bytes = ReadBytes(path.string());
        return std::string(bytes.begin(), bytes.end());
    }

    bool AnyConfigurationWritten()
    {
        for (const HeardFrame& frame : demo.Bus().Heard())
            if (frame.command == CONFIG_BLOCK_WRITE)
                return true;
        return false;
    }
};

TEST_F(BackupFolderCliTest, AFolderThatCannotBeUsedIsRefusedByDiffAndRestoreAlike)
{
    const std::string text = ReadText(manifest);
    std::vector<FolderCase> cases = NoFileAt(manifest);
    cases.insert(cases.end(), {
        // The Input8's entry names the RS232's file: its configuration would go to the Input8.
        {"the Input8 given the RS232's file", [&] {
             std::string swapped = text;
             swapped.replace(swapped.find("\"input8-21001031.bin\""), 21, "\"rs232-21002052.bin\"");
             std::ofstream(manifest, std::ios::binary | std::ios::trunc) << swapped;
         }, "names the file \"rs232-21002052.bin\" for both"},
        {"a device listed twice", [&] {
             std::vector<BackupDevice> devices = *ParseBackupManifest(text);
             devices.push_back(devices.front());
             std::ofstream(manifest, std::ios::binary | std::ios::trunc) << BackupManifestText(devices);
         }, " twice"},
        {"a NUL in a file name", [&] {
             std::vector<BackupDevice> devices = *ParseBackupManifest(text);
             for (BackupDevice& device : devices)
                 if (device.file)
                     device.file = *device.file + std::string(1, '\0');
             std::ofstream(manifest, std::ios::binary | std::ios::trunc) << BackupManifestText(devices);
         }, ".bin\\u0000\""},
    });
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(manifest);
        std::ofstream(manifest, std::ios::binary) << text;
        c.make();
        const CliResult diff = Run({"diff", bus});
        EXPECT_EQ(diff.status, EXIT_FILE);
        EXPECT_NE(diff.err.find(c.problem), std::string::npos) << diff.err;
        const CliResult restore = Run({"restore", bus, "--force"});
        EXPECT_EQ(restore.status, EXIT_FILE);
        EXPECT_NE(restore.err.find(c.problem), std::string::npos) << restore.err;
        EXPECT_NE(restore.err.find("nothing restored: the backup cannot be used"), std::string::npos) << restore.err;
        EXPECT_EQ(restore.out.find('\0'), std::string::npos);
        EXPECT_FALSE(AnyConfigurationWritten());
    }
}

TEST_F(BackupFolderCliTest, ABackupThatCannotWriteItsManifestSavesNothingAndSaysSo)
{
    const std::string before = ReadText(fs::path(bus) / "input8-21001031.bin");
    fs::remove(manifest);
    fs::create_directory(manifest);
    const CliResult backup = Run({"backup", bus});
    EXPECT_EQ(backup.status, EXIT_FILE);
    EXPECT_EQ(backup.out.find("backed up"), std::string::npos) << backup.out;
    EXPECT_NE(backup.err.find("cannot write " + manifest.string() + ": a folder has its name; nothing saved, " + bus +
                              " holds what it held before"),
              std::string::npos)
        << backup.err;
    EXPECT_EQ(ReadText(fs::path(bus) / "input8-21001031.bin"), before);
}

TEST_F(BackupFolderCliTest, OneDeviceIsReplacedOnce)
{
    for (const std::vector<std::string>& replaces :
         {std::vector<std::string>{"21001031=21001112", "21001031=21001112"},
          std::vector<std::string>{"21001031=21001112", "21002052=21001112"},
          std::vector<std::string>{"21001031=21001112", "21001031=21002052"}}) {
        const CliResult restore = Run({"restore", bus, "--replace", replaces[0], "--replace", replaces[1]});
        EXPECT_EQ(restore.status, EXIT_USAGE);
        EXPECT_NE(restore.err.find("name one device twice: each device is replaced once"), std::string::npos)
            << restore.err;
        EXPECT_FALSE(AnyConfigurationWritten());
    }
}

}  // namespace
}  // namespace orv::test
