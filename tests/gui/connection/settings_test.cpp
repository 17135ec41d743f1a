// The settings kept between runs, through a settings file in a folder of the
// test's own: what one run saves the next one reads, and a damaged or foreign
// file is set aside, never taken and never lost.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <wx/config.h>
#include <wx/frame.h>

#include "ui/settings.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("orv-settings-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        path = folder / "orvtool" / "orvtool.conf";
    }
    void TearDown() override
    {
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(folder);
    }

    // A run of the program: its settings opened from the file; the problem it logs.
    std::string Start()
    {
        delete wxConfigBase::Set(nullptr);
        OpenedSettings opened = OpenSettingsFile(path.string());
        wxConfigBase::Set(opened.config.release());
        return opened.problem;
    }

    void WriteFile(const std::string& bytes)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    static std::string Contents(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    fs::path folder;
    fs::path path;
};

FileDialogOptions DialogSaying(const std::string& message)
{
    FileDialogOptions options;
    options.message = message;
    return options;
}

TEST_F(SettingsTest, WhatOneRunSavesTheNextRunFinds)
{
    EXPECT_EQ(Start(), "");
    EXPECT_FALSE(SavedInterface());
    EXPECT_FALSE(SavedPlace(FRAME_PLACE));

    const fs::path firmware = folder / "firmware Grüße";
    fs::create_directories(firmware);
    SaveInterface("rfc2217://bench-server:2001");
    SaveLastFolder(DialogSaying("Load Firmware File .."), wxString::FromUTF8(firmware.string()));
    auto* frame = new wxFrame(nullptr, wxID_ANY, "settings");
    frame->Show();
    frame->SetSize(40, 50, 700, 500);
    SavePlace(FRAME_PLACE, *frame);
    SavePlace(LOG_WINDOW_PLACE, *frame);
    // Hidden, it keeps the place it was last seen at.
    frame->Hide();
    frame->SetSize(0, 0, 200, 100);
    SavePlace(LOG_WINDOW_PLACE, *frame);
    frame->Destroy();

    EXPECT_EQ(Start(), "");
    EXPECT_EQ(SavedInterface(), "rfc2217://bench-server:2001");
    const auto place = SavedPlace(FRAME_PLACE);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->rect, wxRect(40, 50, 700, 500));
    EXPECT_FALSE(place->maximised);
    ASSERT_TRUE(SavedPlace(LOG_WINDOW_PLACE));
    EXPECT_FALSE(SavedPlace(LOG_WINDOW_PLACE)->shown);
    EXPECT_EQ(SavedPlace(LOG_WINDOW_PLACE)->rect, wxRect(40, 50, 700, 500));
    EXPECT_EQ(LastFolder(DialogSaying("Load Firmware File ..")).utf8_string(), firmware.string());
    // Each kind of dialog keeps its own folder.
    EXPECT_EQ(LastFolder(DialogSaying("Load Input8 Configuration from .... ")), "");

    // A folder that went meanwhile is not offered.
    fs::remove_all(firmware);
    EXPECT_EQ(LastFolder(DialogSaying("Load Firmware File ..")), "");
}

TEST_F(SettingsTest, APlaceIsRestoredOnlyWhereTheScreensAreToday)
{
    Start();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "settings");
    frame->Show();
    const struct {
        wxRect saved;
        bool restored;
    } cases[] = {{wxRect(30, 40, 600, 400), true}, {wxRect(5000, 40, 600, 400), false},
                 {wxRect(-900, 0, 600, 400), false}, {wxRect(0, 0, 9000, 400), false}};
    for (const auto& c : cases) {
        frame->SetSize(c.saved);
        SavePlace(FRAME_PLACE, *frame);
        frame->SetSize(10, 10, 300, 200);
        EXPECT_EQ(RestorePlace(FRAME_PLACE, *frame), c.restored) << c.saved.x << "," << c.saved.width;
        EXPECT_EQ(frame->GetRect(), c.restored ? c.saved : wxRect(10, 10, 300, 200));
    }
    frame->Destroy();
}

TEST_F(SettingsTest, ADamagedOrForeignFileIsSetAsideAndTheSettingsStartAfresh)
{
    const struct {
        const char* what;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {"broken group", "Format=1\n[Interface\nPort=tcp://x:1\n", "is damaged"},
        {"line without value", "Format=1\n[Interface]\nPort\n", "is damaged"},
        {"foreign", "[General]\ncolour=blue\n", "holds no settings of this program"},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 20), "is damaged"},
        // The toolkit's own reading would stop the program with an assertion.
        {"entry without a name", "=x", "is damaged (line 1 has no name before '=')"},
        {"number that is none", "Format=1\n[Windows/Frame]\nX=1\nY=2\nWidth=wide\nHeight=3\n",
         "is damaged (line 5 gives /Windows/Frame/Width no whole number)"},
    };
    for (const auto& c : cases) {
        WriteFile(c.bytes);
        const std::string problem = Start();
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.what << ": " << problem;
        EXPECT_NE(problem.find(path.string() + ".ignored"), std::string::npos) << problem;
        EXPECT_FALSE(SavedInterface()) << c.what;
        EXPECT_EQ(Contents(path.string() + ".ignored"), c.bytes) << c.what;

        // The fresh settings work and are kept.
        SaveInterface("/dev/ttyUSB1");
        EXPECT_EQ(Start(), "") << c.what;
        EXPECT_EQ(SavedInterface(), "/dev/ttyUSB1") << c.what;
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(folder);
    }
}

TEST_F(SettingsTest, AnythingButAFileOfASettingsSizeIsSetAsideUnread)
{
    const struct {
        const char* what;
        void (*make)(const fs::path&);
        const char* problem;
    } cases[] = {
        {"folder", [](const fs::path& p) { fs::create_directories(p / "inside"); }, "is a folder, not a file"},
        {"pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "is a pipe, not a file"},
        {"/dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "is a device, not a file"},
        {"164 MB of valid settings",
         [](const fs::path& p) {
             std::ofstream(p) << "Format=1\n";
             fs::resize_file(p, 164u * 1024 * 1024);
         },
         "is 171966464 bytes long, more than settings ever hold (65536)"},
    };
    for (const auto& c : cases) {
        fs::create_directories(path.parent_path());
        c.make(path);
        const std::string problem = Start();
        EXPECT_EQ(problem, " Settings: " + path.string() + " " + c.problem + "; set aside as " + path.string() +
                               ".ignored, the settings start afresh")
            << c.what;
        EXPECT_TRUE(fs::exists(fs::symlink_status(path.string() + ".ignored"))) << c.what;
        SaveInterface("/dev/ttyUSB1");
        EXPECT_EQ(Start(), "") << c.what;
        EXPECT_EQ(SavedInterface(), "/dev/ttyUSB1") << c.what;
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(folder);
    }
}

TEST_F(SettingsTest, AFileThatCannotBeSetAsideIsNeitherReadNorWritten)
{
    // What is in the way of the set-aside name cannot be removed.
    fs::create_directories(path.string() + ".ignored/full");
    WriteFile("=x");
    const std::string problem = Start();
    EXPECT_NE(problem.find("is damaged (line 1 has no name before '=') and cannot be set aside ("), std::string::npos)
        << problem;
    EXPECT_NE(problem.find("); the settings of this run are not kept"), std::string::npos) << problem;
    SaveInterface("/dev/ttyUSB1");
    EXPECT_EQ(SavedInterface(), "/dev/ttyUSB1");
    EXPECT_EQ(Contents(path), "=x");
}

}  // namespace
}  // namespace orv
