#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/input8_files.h"
#include "model/input8_image.h"
#include "tests/support/scripted_prompts.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const char* const CORRUPT_TEXT = "Corrupt Data / Incorrect File Loaded.\n Try Again";

class Input8Files : public ::testing::Test {
protected:
    fs::path folder;
    ScriptedPrompts prompts;
    CollectingLog log;
    Input8Config config;

    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "orv-input8-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        config.name = "Landing";
        config.rows[4].destination = 12;
        config.rows[4].action = 14;
        config.rows[4].parameters[0] = '2';
    }
    void TearDown() override
    {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }

    static void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    static std::vector<uint8_t> ReadBytes(const fs::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::vector<uint8_t> OldBytes() const { return std::vector<uint8_t>(INPUT8_IMAGE_SIZE, 0x5A); }

    bool Export(const fs::path& path)
    {
        prompts.fileAnswers = {path.string()};
        return ExportInput8Config(config, prompts, log);
    }
    size_t FilesInFolder() const { return size_t(std::distance(fs::directory_iterator(folder), {})); }
};

TEST_F(Input8Files, ExportWritesTheFileForm)
{
    const fs::path path = folder / "hall.bin";
    ASSERT_TRUE(Export(path));

    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    const FileDialogOptions& dialog = prompts.fileDialogs[0];
    EXPECT_TRUE(dialog.save && dialog.overwritePrompt);
    EXPECT_EQ(dialog.message, "Save Input8 Configuration as ... ");
    EXPECT_EQ(dialog.defaultDir, "");
    EXPECT_EQ(dialog.defaultFile, "ORV_Input8_Config.bin");
    EXPECT_EQ(dialog.wildcard, "Binary files (*.bin)|*.bin");

    const std::vector<uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(bytes, EncodeInput8Image(config, ImageForm::File));
    EXPECT_EQ(bytes.size(), 453u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[451], 0);
    EXPECT_EQ(bytes[452], 0);
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{" Config Saved "});
    EXPECT_TRUE(prompts.ShowedBox(" Config Saved ", " SUCCESS \n Input8 Configuration has been saved Succesfully"));
    EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(Input8Files, CancelledExportWritesNothing)
{
    EXPECT_FALSE(ExportInput8Config(config, prompts, log));
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(Input8Files, ExportReplacesTheTargetOfALinkAndKeepsItsPermissions)
{
    const fs::path target = folder / "real.bin";
    const fs::path link = folder / "link.bin";
    WriteBytes(target, OldBytes());
    fs::permissions(target, fs::perms(0640));
    fs::create_symlink("real.bin", link);

    ASSERT_TRUE(Export(link));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), EncodeInput8Image(config, ImageForm::File));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(FilesInFolder(), 2u);
}

// While it lives, files grow to at most limit bytes: a longer write fails
// half way with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) : handler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = limit;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    void (*handler_)(int);
    rlimit saved_{};
};

// A write that fails half way leaves the old file as it was and says so
// instead of reporting success.
TEST_F(Input8Files, FailedExportKeepsTheOldFileAndSaysWhy)
{
    const fs::path path = folder / "hall.bin";
    WriteBytes(path, OldBytes());
    bool exported = true;
    {
        const FileSizeLimit limit(100);
        exported = Export(path);
    }
    EXPECT_FALSE(exported);
    EXPECT_EQ(ReadBytes(path), OldBytes());
    EXPECT_EQ(FilesInFolder(), 1u);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Error Saving Data ");
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    EXPECT_NE(prompts.boxes[0].text.find(path.string()), std::string::npos);
    EXPECT_NE(prompts.boxes[0].text.find(std::strerror(EFBIG)), std::string::npos);
}

// Permissions do not hold back the superuser.
TEST_F(Input8Files, UnwritableFolder)
{
    const fs::path locked = folder / "locked.bin";
    const fs::path open = folder / "open.bin";
    WriteBytes(locked, OldBytes());
    WriteBytes(open, OldBytes());
    // Permissions do not bind root: run the exports as an ordinary user.
    const uid_t nobody = 65534;
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(folder.c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown(locked.c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown(open.c_str(), nobody, nobody), 0);
        ASSERT_EQ(setegid(nobody), 0);
        ASSERT_EQ(seteuid(nobody), 0);
    }
    struct RestoreIds {
        bool root;
        ~RestoreIds()
        {
            if (root && (seteuid(0) != 0 || setegid(0) != 0))
                std::abort();
        }
    } restore{root};
    fs::permissions(locked, fs::perms(0444));
    fs::permissions(folder, fs::perms(0555));

    EXPECT_FALSE(Export(locked));
    EXPECT_EQ(ReadBytes(locked), OldBytes());
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"Error Saving Data "});
    EXPECT_NE(prompts.boxes[0].text.find(std::strerror(EACCES)), std::string::npos);

    // Where no temporary file can be made, a writable file is written in
    // place; when that write fails half way, the file is put back as it was.
    const std::vector<uint8_t> shorter(100, 0x5A);
    WriteBytes(open, shorter);
    {
        const FileSizeLimit limit(300);
        EXPECT_FALSE(Export(open));
    }
    EXPECT_EQ(ReadBytes(open), shorter);
    EXPECT_TRUE(Export(open));
    EXPECT_EQ(ReadBytes(open), EncodeInput8Image(config, ImageForm::File));
}

TEST_F(Input8Files, ImportTakesTheFirstImageOfAFileOfWholeImages)
{
    const std::vector<uint8_t> image = EncodeInput8Image(config, ImageForm::File);
    struct Case {
        size_t size;
        bool accepted;
    };
    for (const Case& c : {Case{0, false}, Case{453, true}, Case{906, true}, Case{454, false}, Case{452, false}}) {
        SCOPED_TRACE(c.size);
        prompts.boxes.clear();
        std::vector<uint8_t> bytes(c.size, 0x77);
        std::copy_n(image.begin(), std::min(c.size, image.size()), bytes.begin());
        const fs::path path = folder / "in.bin";
        WriteBytes(path, bytes);
        prompts.fileAnswers = {path.string()};

        const std::optional<Input8Config> loaded = ImportInput8Config(prompts);

        EXPECT_EQ(loaded.has_value(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(*loaded, config);
            EXPECT_TRUE(prompts.boxes.empty());
        } else {
            ASSERT_EQ(prompts.boxes.size(), 1u);
            EXPECT_EQ(prompts.boxes[0].caption, "Error Loading Data ");
            EXPECT_EQ(prompts.boxes[0].text, CORRUPT_TEXT);
            EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
        }
    }
    const FileDialogOptions& dialog = prompts.fileDialogs[0];
    EXPECT_TRUE(!dialog.save && dialog.mustExist);
    EXPECT_EQ(dialog.message, "Load Input8 Configuration from .... ");
    EXPECT_EQ(dialog.defaultFile, "ORV_Input8_Config.bin");
    EXPECT_EQ(dialog.wildcard, "Binary files (*.bin)|*.bin");

    ShowInput8Loaded(prompts);
    EXPECT_TRUE(prompts.ShowedBox(" Config Loaded ", " SUCCESS \n Input8 Configuration has been Loaded Succesfully"));
}

}  // namespace
}  // namespace orv::test
