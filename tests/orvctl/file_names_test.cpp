// orvctl's file operations with folder and file names in letters outside
// ASCII: every name is kept as given, on Linux and on Windows alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "services/file_path.h"
#include "sim/demo_bus.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// German, Polish and Cyrillic letters, which no single ANSI code page holds
// together, alone and mixed with blanks.
const char* const NAMES[] = {"Grüße", "Łódź", "Кухня", "bk Grüße Łódź"};

class FileNamesTest : public ::testing::Test, public VirtualServices {
protected:
    DemoBus demo{clock};
    BusFactory factory = [this](const BusChoice&) { return std::make_unique<BorrowedBus>(demo.Bus(), clock); };
    TempFolder temp;

    CliResult Run(std::vector<std::string> args) { return RunCli(args, factory); }

    // A folder of its own for name, named like the files in it.
    fs::path Folder(const std::string& name)
    {
        const fs::path folder = temp.Path() / PathOf(name);
        fs::create_directories(folder);
        return folder;
    }

    // The names in folder as the system lists them.
    static std::vector<std::string> Listing(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.push_back(TextOf(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }

    void ReadShowWriteDiff(const std::string& name)
    {
        const fs::path folder = Folder(name);
        const std::string file = TextOf(folder / PathOf(name + ".bin"));

        const CliResult read = Run({"read-config", "3", "-o", file});
        ASSERT_EQ(read.status, EXIT_OK) << ::testing::PrintToString(read);
        EXPECT_EQ(Listing(folder), std::vector<std::string>{name + ".bin"});
        EXPECT_NE(read.out.find(file), std::string::npos) << read.out;
        EXPECT_EQ(fs::file_size(PathOf(file)), 453u);

        const CliResult show = Run({"show", file});
        EXPECT_EQ(show.status, EXIT_OK) << ::testing::PrintToString(show);
        const CliResult write = Run({"write-config", "3", file});
        EXPECT_EQ(write.status, EXIT_OK) << ::testing::PrintToString(write);
        EXPECT_NE(write.out.find(file), std::string::npos) << write.out;
        const CliResult diff = Run({"diff", file, "3"});
        EXPECT_EQ(diff.status, EXIT_OK) << ::testing::PrintToString(diff);

        // A file that is not there is reported by the name given.
        const std::string missing = TextOf(folder / PathOf("nicht " + name + ".bin"));
        const CliResult absent = Run({"show", missing});
        EXPECT_EQ(absent.status, EXIT_FILE);
        EXPECT_NE(absent.err.find(missing + " does not exist"), std::string::npos) << absent.err;
    }

    void BackupRestoreDiff(const std::string& name)
    {
        const std::string folder = TextOf(temp.Path() / PathOf("bk " + name));
        const CliResult backup = Run({"backup", folder});
        ASSERT_EQ(backup.status, EXIT_OK) << ::testing::PrintToString(backup);
        EXPECT_NE(backup.out.find("backed up in " + folder + "\n"), std::string::npos) << backup.out;
        const std::vector<std::string> files = Listing(PathOf(folder));
        EXPECT_EQ(files.size(), 3u);
        EXPECT_TRUE(std::count(files.begin(), files.end(), "manifest.json"));

        const CliResult restore = Run({"restore", folder, "--force"});
        EXPECT_EQ(restore.status, EXIT_OK) << ::testing::PrintToString(restore);
        EXPECT_NE(restore.out.find("2 of 2 configuration(s) restored"), std::string::npos) << restore.out;
        const CliResult diff = Run({"diff", folder});
        EXPECT_EQ(diff.status, EXIT_OK) << ::testing::PrintToString(diff);
    }

    void Firmware(const std::string& name)
    {
        const fs::path path = Folder(name) / PathOf(name + ".hex");
        const std::vector<uint8_t> firmware(40, 0x5A);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(firmware.data()), long(firmware.size()));

        const CliResult update = Run({"firmware", "9", TextOf(path)});
        EXPECT_EQ(update.status, EXIT_OK) << ::testing::PrintToString(update);
        EXPECT_NE(update.out.find("firmware from " + TextOf(path) + " sent in 2 blocks"), std::string::npos)
            << update.out;
    }
};

TEST_F(FileNamesTest, ConfigurationFilesKeepTheirNames)
{
    for (const std::string name : NAMES) {
        SCOPED_TRACE(name);
        ReadShowWriteDiff(name);
    }
}

TEST_F(FileNamesTest, BackupAndRestoreUseTheFolderNamed)
{
    for (const std::string name : NAMES) {
        SCOPED_TRACE(name);
        BackupRestoreDiff(name);
    }
    std::vector<std::string> folders;
    for (const std::string name : NAMES)
        folders.push_back("bk " + name);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(Listing(temp.Path()), folders);
}

TEST_F(FileNamesTest, FirmwareIsReadFromTheFileNamed)
{
    for (const std::string name : NAMES) {
        SCOPED_TRACE(name);
        Firmware(name);
    }
}

}  // namespace
}  // namespace orv::test
