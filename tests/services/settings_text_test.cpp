// The settings as stored text: what is taken, what is refused and why, and
// which files are read at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "services/settings_text.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

TEST(SettingsTextTest, TextThisProgramWritesIsTakenAnythingElseIsRefusedNamingTheLine)
{
    const struct {
        const char* what;
        std::string text;
        const char* problem;  // empty: taken
    } cases[] = {
        {"as written", "Format=1\n[Interface]\nPort=/dev/ttyUSB0\n[Windows/Frame]\nX=-8\nWidth=1100\nMaximised=0\n", ""},
        {"line ends of Windows, comments, blanks", "; kept\r\n  Format = 1\r\n\r\n[Interface] # the bus\r\nPort=tcp://a:1\r\n",
         ""},
        {"keys of another version", "Format=1\n[Later]\nColour=blue\n", ""},
        {"empty", "", ""},
        {"no name", "=x", "line 1 has no name before '='"},
        {"no name in a group", "Format=1\n[Interface]\n = x\n", "line 3 has no name"},
        {"no '='", "Format=1\n[Interface]\nPort\n", "line 3 has no '='"},
        {"open group", "Format=1\n[Interface\nPort=x\n", "line 2 is not a group name"},
        {"empty group", "[]\nPort=x\n", "line 1 is not a group name"},
        {"empty part of a group", "[Windows//Frame]\nX=1\n", "line 1 is not a group name"},
        {"words after a group", "[Interface] Port=x\n", "line 1 is not a group name"},
        {"name with a blank", "Po rt=x\n", "line 1 has a name that is not one"},
        {"name with a slash", "Interface/Port=x\n", "line 1 has a name that is not one"},
        {"quote not closed", "[Interface]\nPort=\"/dev/ttyS0\n", "line 2 has a value with a stray quote"},
        {"quote inside quotes", "[Interface]\nPort=\"a\"b\"\n", "line 2 has a value with a stray quote"},
        {"trailing backslash", "[Interface]\nPort=a\\\n", "line 2 has a value with a stray quote or backslash"},
        {"unknown escape", "[Interface]\nPort=a\\q\n", "line 2 has a value with a stray quote or backslash"},
        {"zero byte", std::string("Format=1\n[Interface]\nPort=a") + '\0' + "b\n", "line 3 holds bytes that are not text"},
        {"control byte", "Format=1\x01\n", "line 1 holds bytes that are not text"},
        {"not UTF-8", "[Folders]\nFirmware=/home/gr\xFC\xDF" "e\n", "line 2 holds bytes that are not text"},
        {"overlong UTF-8", "[Folders]\nFirmware=\xC0\xAF\n", "line 2 holds bytes that are not text"},
        {"picture", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "line 1 holds bytes that are not text"},
        {"number that is none", "[Windows/Frame]\nX=left\n", "line 2 gives /Windows/Frame/X no whole number"},
        {"number too large", "[Windows/Frame]\nWidth=99999999999999999999\n", "no whole number"},
        {"number out of range", "[Windows/Frame]\nWidth=5000000\n", "no whole number"},
        {"flag neither", "[Windows/LogWindow]\nShown=yes\n", "gives /Windows/LogWindow/Shown neither 0 nor 1"},
        {"format not a number", "Format=one\n", "gives /Format no whole number"},
        {"twice", "[Interface]\nPort=a\n[Interface]\nPort=b\n", "line 4 sets /Interface/Port a second time"},
        {"value too long", "[Interface]\nPort=" + std::string(SETTING_VALUE_LIMIT + 1, 'a') + "\n", "more than 4096"},
    };
    for (const auto& c : cases) {
        const SettingsText parsed = ParseSettingsText(c.text);
        if (*c.problem == '\0') {
            EXPECT_EQ(parsed.problem, "") << c.what;
            continue;
        }
        EXPECT_NE(parsed.problem.find(c.problem), std::string::npos) << c.what << ": " << parsed.problem;
        EXPECT_TRUE(parsed.values.empty()) << c.what;
    }

    const SettingsText parsed = ParseSettingsText(cases[1].text);
    EXPECT_EQ(parsed.values, (SettingsValues{{"/Format", "1"}, {"/Interface/Port", "tcp://a:1"}}));
}

TEST(SettingsTextTest, ValuesAreReadAsTheToolkitWritesThem)
{
    // Quoted when they start with a blank or a quote; a quote elsewhere as it
    // is; blanks at the end kept.
    const SettingsText parsed = ParseSettingsText("[Folders]\nFirmware=\" /srv/a \\\"b\\\"\"\nInput8=/srv/\"c\"  \n"
                                                  "RS232=C:\\\\Orvanta\\tx\\nnew line\n");
    ASSERT_EQ(parsed.problem, "");
    EXPECT_EQ(parsed.values.at("/Folders/Firmware"), " /srv/a \"b\"");
    EXPECT_EQ(parsed.values.at("/Folders/Input8"), "/srv/\"c\"  ");
    EXPECT_EQ(parsed.values.at("/Folders/RS232"), "C:\\Orvanta\tx\nnew line");

    const SettingsValues values = {{"/Format", "1"},
                                   {"/Folders/Firmware", " lead and trail "},
                                   {"/Folders/Other", "\"quoted\" \\ back\tslash\r\n"},
                                   {"/Folders/Input8", "Grüße/данные"},
                                   {"/Interface/Port", ""},
                                   {"/Windows/Frame/X", "-20"},
                                   {"/Windows/Frame/Sub/Deeper", "x"}};
    const SettingsText again = ParseSettingsText(SettingsTextOf(values));
    EXPECT_EQ(again.problem, "") << SettingsTextOf(values);
    EXPECT_EQ(again.values, values) << SettingsTextOf(values);
}

TEST(SettingsTextTest, NumbersAreTakenOnlyWithinTheirBounds)
{
    const struct {
        const char* value;
        std::optional<long> number;
    } cases[] = {{"0", 0L},    {"-1366", -1366L}, {"768", 768L},        {"", std::nullopt}, {"-", std::nullopt},
                 {"+5", std::nullopt}, {" 5", std::nullopt}, {"5 ", std::nullopt}, {"0x10", std::nullopt},
                 {"2000", std::nullopt}, {"999999999999", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(SettingNumber(c.value, -1500, 1500), c.number) << c.value;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("orv-settings-text-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = folder / "orvtool.conf";
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    fs::path path;
};

TEST_F(SettingsFileTest, OnlyARegularFileOfASettingsSizeIsRead)
{
    EXPECT_EQ(ReadSettingsFile(path.string()).state, SettingsFileState::Absent);

    std::ofstream(path, std::ios::binary) << "Format=1\n";
    SettingsFile file = ReadSettingsFile(path.string());
    EXPECT_EQ(file.state, SettingsFileState::Read);
    EXPECT_EQ(file.text, "Format=1\n");

    fs::resize_file(path, SETTINGS_FILE_LIMIT);
    EXPECT_EQ(ReadSettingsFile(path.string()).state, SettingsFileState::Read);

    // A valid file of 164 MB is refused by its size, before it is read.
    fs::resize_file(path, 164u * 1024 * 1024);
    file = ReadSettingsFile(path.string());
    EXPECT_EQ(file.state, SettingsFileState::Refused);
    EXPECT_EQ(file.problem, "is 171966464 bytes long, more than settings ever hold (65536)");
    fs::remove(path);

    fs::create_directory(path);
    file = ReadSettingsFile(path.string());
    EXPECT_EQ(file.state, SettingsFileState::Refused);
    EXPECT_EQ(file.problem, "is a folder, not a file");
    fs::remove(path);
}

#ifndef _WIN32
TEST_F(SettingsFileTest, APipeOrADeviceInTheFilesPlaceIsRefusedWithoutWaiting)
{
    const struct {
        const char* what;
        void (*make)(const fs::path&);
        const char* problem;
    } cases[] = {
        {"pipe without a writer", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "is a pipe, not a file"},
        {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, "is a device, not a file"},
        {"link to a folder", [](const fs::path& p) { fs::create_directory_symlink("/", p); }, "is a folder, not a file"},
    };
    for (const auto& c : cases) {
        c.make(path);
        const SettingsFile file = ReadSettingsFile(path.string());
        EXPECT_EQ(file.state, SettingsFileState::Refused) << c.what;
        EXPECT_EQ(file.problem, c.problem) << c.what;
        fs::remove(path);
    }

    // A file that cannot be opened is refused with the system's reason.
    std::ofstream(path) << "Format=1\n";
    fs::permissions(path, fs::perms::none);
    if (::access(path.c_str(), R_OK) != 0) {
        const SettingsFile file = ReadSettingsFile(path.string());
        EXPECT_EQ(file.state, SettingsFileState::Refused);
        EXPECT_EQ(file.problem, "cannot be read (Permission denied)");
    }
}
#endif

}  // namespace
}  // namespace orv
