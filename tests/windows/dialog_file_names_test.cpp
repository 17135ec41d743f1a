// The GUI's export and import with the path a file dialog gives (a wxString)
// in a folder and file named in letters outside ASCII: the file is written
// under that name and read back from it.
#include <gtest/gtest.h>

#include <filesystem>

#include <wx/string.h>

#include "config/input8_files.h"
#include "config/rs232_files.h"
#include "tests/orvctl/orvctl_rig.h"
#include "tests/support/sim_bus_rig.h"
#include "ui/wx_text.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const wchar_t* const NAMES[] = {L"Grüße", L"Łódź", L"Кухня"};

TEST(DialogFileNames, ExportAndImportUseTheChosenPath)
{
    TempFolder temp;
    VirtualServices seams;
    ScriptedPrompts& prompts = seams.prompts;
    for (const wchar_t* name : NAMES) {
        const wxString folder = wxString(temp.Path().native()) + L"\\" + name;
        SCOPED_TRACE(FromWx(folder));
        ASSERT_TRUE(fs::create_directories(folder.ToStdWstring()));
        // What WxPrompts::FileDialog hands over for the dialog's path.
        const std::string input8 = FromWx(folder + L"\\" + name + L" Input8.bin");
        const std::string rs232 = FromWx(folder + L"\\" + name + L" RS232.bin");

        Input8Config config;
        config.name = "Hall";
        prompts.fileAnswers = {input8, input8};
        EXPECT_TRUE(ExportInput8Config(config, prompts));
        EXPECT_TRUE(fs::is_regular_file((folder + L"\\" + name + L" Input8.bin").ToStdWstring()));
        const std::optional<Input8Config> imported = ImportInput8Config(prompts);
        ASSERT_TRUE(imported);
        EXPECT_EQ(imported->name, "Hall");

        RS232Config gate;
        gate.name = "Gate";
        prompts.fileAnswers = {rs232, rs232};
        EXPECT_TRUE(ExportRS232Config(gate, seams.services));
        EXPECT_TRUE(fs::is_regular_file((folder + L"\\" + name + L" RS232.bin").ToStdWstring()));
        const std::optional<RS232Config> back = ImportRS232Config(prompts);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->name, "Gate");
    }
    for (const MessageBoxOptions& box : prompts.boxes)
        EXPECT_EQ(box.caption.find("Error"), std::string::npos) << box.caption << box.text;
}

}  // namespace
}  // namespace orv::test
