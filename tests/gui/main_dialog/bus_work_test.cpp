// Input given while the Input8 configuration is read, as real X input from
// outside the program, and what the user sees during the read.
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include "link/commands.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/gui/on_screen.h"
#include "ui/bus_work.h"

namespace orv::test {
namespace {

// Clicks at a point of the screen through the X server, as a user's mouse does.
bool ClickOnScreen(const wxPoint& at)
{
    const std::string command =
        "xdotool mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1";
    return std::system(command.c_str()) == 0;
}

struct ScreenColours {
    int background = 0;  // pixels of the window's background colour
    int other = 0;
};

// What the screen shows where window is, counted against its background colour.
ScreenColours ColoursOnScreen(wxWindow* window, const wxColour& background)
{
    const wxRect rect = window->GetScreenRect();
    wxBitmap bitmap(rect.width, rect.height);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    const wxImage image = bitmap.ConvertToImage();
    ScreenColours colours;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const bool same = image.GetRed(x, y) == background.Red() && image.GetGreen(x, y) == background.Green() &&
                              image.GetBlue(x, y) == background.Blue();
            ++(same ? colours.background : colours.other);
        }
    return colours;
}

// Scripted prompts that call beforeBox as a message box is asked for.
class BoxWatchingPrompts : public ScriptedPrompts {
public:
    Answer MessageBox(const MessageBoxOptions& options) override
    {
        if (beforeBox)
            beforeBox();
        return ScriptedPrompts::MessageBox(options);
    }
    std::function<void()> beforeBox;
};

class BusWorkTest : public MainDialogTest {
protected:
    // The frame on prompts that can watch for boxes.
    void SetUp() override
    {
        watchedServices = std::make_unique<Services>(Services{clock, log, boxes});
        BuildFrame(*watchedServices);
        frame->OpenInterfaceAndDialog();
        dialog = frame->mainDialog;
        list = dialog->DeviceList();
    }

    // On the first configuration read request, once.
    void OnFirstRead(std::function<void()> action)
    {
        onRead = std::move(action);
        bus.Attach(watcher);
    }

    BoxWatchingPrompts boxes;
    std::unique_ptr<Services> watchedServices;
    std::function<void()> onRead;
    FunctionResponder watcher{[this](const HeardFrame& frame, SimReplyWriter&) {
        if (frame.command == CONFIG_BLOCK_READ && onRead) {
            auto action = std::move(onRead);
            onRead = nullptr;
            action();
        }
    }};
};

// The click lands where "Save to Device" appears after the read; were it kept
// until then, it would write to the device.
TEST_F(BusWorkTest, AClickDuringTheInput8ReadReachesNoControl)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_TRUE(ShowOnScreen(frame));
    SelectRow(0);
    ASSERT_TRUE(dialog->InputPanel()->IsShown());
    Settle();
    auto* save = wxDynamicCast(dialog->InputPanel()->FindWindow(10092), wxButton);
    ASSERT_NE(save, nullptr);
    const wxPoint saveCentre = save->GetScreenRect().GetPosition() + save->GetSize() / 2;
    SelectRow(1);
    Settle();
    bus.ClearHeard();
    boxes.boxes.clear();

    bool clicked = false;
    OnFirstRead([&] { clicked = ClickOnScreen(saveCentre); });
    SelectRow(0);
    Settle(300);

    ASSERT_TRUE(clicked);
    EXPECT_TRUE(dialog->InputPanel()->IsShown());
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().caption;
}

TEST_F(BusWorkTest, TheBusyWindowIsPaintedBeforeTheReadAndGoneBeforeAnyBox)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0}).Faults().noAckCommand = CONFIG_BLOCK_READ;
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_TRUE(ShowOnScreen(frame));

    bool busyShown = false;
    ScreenColours colours;
    OnFirstRead([&] {
        wxWindow* busy = wxWindow::FindWindowByName(BUSY_WINDOW_NAME);
        busyShown = busy && busy->IsShownOnScreen();
        if (busyShown)
            colours = ColoursOnScreen(busy, busy->GetChildren().front()->GetBackgroundColour());
    });
    bool busyAtBox = true;
    boxes.beforeBox = [&] { busyAtBox = wxWindow::FindWindowByName(BUSY_WINDOW_NAME) != nullptr; };
    SelectRow(0);

    ASSERT_TRUE(busyShown);
    // Mostly its own background, and its text: drawn, not whatever lay below.
    const int pixels = colours.background + colours.other;
    EXPECT_GT(colours.background, pixels / 2);
    EXPECT_GT(colours.other, pixels / 100);
    ASSERT_EQ(boxes.Captions(), std::vector<std::string>{"Warn Loading Data "});
    EXPECT_FALSE(busyAtBox);
}

}  // namespace
}  // namespace orv::test
