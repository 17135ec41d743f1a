// The GUI's export and import through the program's own file dialogs, in a
// folder and under a file name in letters outside ASCII: the name typed into
// the dialog is the file written, and the file read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "config/input8_files.h"
#include "config/rs232_files.h"
#include "services/clock.h"
#include "services/log.h"
#include "services/services.h"
#include "tests/orvctl/orvctl_rig.h"
#include "ui/wx_prompts.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

// The file name field of the common file dialog.
constexpr int FILE_NAME_COMBO = 0x47C;
constexpr int FILE_NAME_EDIT = 0x480;

// What the user does in each box the program opens: types typedPath into a
// file dialog and confirms it, or confirms a message box.
std::wstring typedPath;
std::vector<std::wstring> boxesConfirmed;

BOOL CALLBACK ConfirmBox(HWND window, LPARAM)
{
    wchar_t type[32] = {};
    if (!IsWindowVisible(window) || GetClassNameW(window, type, 32) == 0 || std::wstring(type) != L"#32770")
        return TRUE;
    if (HWND field = GetDlgItem(window, FILE_NAME_COMBO) ? GetDlgItem(window, FILE_NAME_COMBO)
                                                          : GetDlgItem(window, FILE_NAME_EDIT)) {
        SetWindowTextW(field, typedPath.c_str());
        boxesConfirmed.push_back(L"file dialog");
    } else {
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        boxesConfirmed.push_back(title);
    }
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), ConfirmBox, 0);
}

class DialogFileNamesTest : public ::testing::Test {
protected:
    void SetUp() override { timer = SetTimer(nullptr, 0, 300, OnTimer); }
    void TearDown() override { KillTimer(nullptr, timer); }

    UINT_PTR timer = 0;
    TempFolder temp;
    SteadyClock clock;
    NullLog log;
    WxPrompts prompts;
    Services services{clock, log, prompts};
};

TEST_F(DialogFileNamesTest, ExportAndImportUseTheNameTyped)
{
    for (const wchar_t* name : {L"Grüße", L"Łódź", L"Кухня"}) {
        const fs::path folder = temp.Path() / name;
        SCOPED_TRACE(TextOf(folder));
        ASSERT_TRUE(fs::create_directories(folder));

        Input8Config hall;
        hall.name = "Hall";
        const fs::path input8 = folder / (std::wstring(name) + L" Input8.bin");
        typedPath = input8.native();
        boxesConfirmed.clear();
        EXPECT_TRUE(ExportInput8Config(hall, prompts, log));
        EXPECT_EQ(boxesConfirmed, (std::vector<std::wstring>{L"file dialog", L" Config Saved "}));
        EXPECT_EQ(fs::file_size(input8), 453u);
        const std::optional<Input8Config> imported = ImportInput8Config(prompts);
        ASSERT_TRUE(imported);
        EXPECT_EQ(imported->name, "Hall");

        RS232Config gate;
        gate.name = "Gate";
        gate.rows = {RS232Row{}};
        gate.rows[0].text = "OPEN";
        const fs::path rs232 = folder / (std::wstring(name) + L" RS232.bin");
        typedPath = rs232.native();
        boxesConfirmed.clear();
        EXPECT_TRUE(ExportRS232Config(gate, services));
        EXPECT_EQ(boxesConfirmed.front(), L"file dialog");
        EXPECT_EQ(boxesConfirmed.back(), L" Config Saved ");
        EXPECT_EQ(fs::file_size(rs232), 4064u);
        const std::optional<RS232Config> back = ImportRS232Config(prompts);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->name, "Gate");
    }
}

}  // namespace
}  // namespace orv::test
