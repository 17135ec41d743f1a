// The whole-bus windows' fixture: a simulated bus with a configured Input8 and
// a Relay, the main dialog, and a backup folder of the test's own that the
// folder dialog always chooses. ctest runs the same tests at two screen sizes
// at once: the folder's name carries the process, or one run empties the
// other's backup.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include <unistd.h>

#include "model/input8_image.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/support/hall_config.h"
#include "ui/bus_comparison_window.h"
#include "ui/bus_report_window.h"

namespace orv::test {

// The top-level window of that name not yet closed, as the type asked.
template <typename Window = wxTopLevelWindow>
Window* OpenWindow(const char* name)
{
    for (wxWindow* window : wxTopLevelWindows)
        if (window->GetName() == name && !wxPendingDelete.Member(window))
            return dynamic_cast<Window*>(window);
    return nullptr;
}

class BusWindowFixture : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        input8.LoadMemory(EncodeInput8Image(Hall(9), ImageForm::Device));
        std::filesystem::remove_all(folder);
        frame->chooseFolder = [this](const wxString&, bool) { return std::optional<std::string>(folder.string()); };
    }
    void TearDown() override
    {
        for (wxWindow* window : wxTopLevelWindows)
            if (window->GetName() == BUS_COMPARISON_WINDOW_NAME || window->GetName() == BUS_REPORT_WINDOW_NAME)
                window->Destroy();
        MainDialogTest::TearDown();
        std::filesystem::remove_all(folder);
    }

    SimDevice& input8 = AddDevice(SimDeviceKind::Input8, 3, {0x31, 0x10, 0x00, 0x21});
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 9, {0x32, 0x10, 0x00, 0x21});
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("orv_gui_bus_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(getpid()));
};

}  // namespace orv::test
