// Input given while the Input8 configuration is read, as real X input from
// outside the program, and what the user sees during the read.
#include <functional>
#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include "link/bus_link.h"
#include "link/commands.h"
#include "network/bus_reconnect.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/gui/on_screen.h"
#include "tests/gui/x_input.h"
#include "ui/bus_work.h"
#include "ui/late_input.h"

namespace orv::test {
namespace {

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

// A busy window on screen; one taken away goes at the next idle time.
bool BusyWindowShown()
{
    wxWindow* busy = wxWindow::FindWindowByName(BUSY_WINDOW_NAME);
    return busy && busy->IsShown();
}

class BusWorkTest : public MainDialogTest {
protected:
    // The frame on prompts that can watch for boxes.
    void SetUp() override
    {
        watchedServices = std::make_unique<Services>(Services{clock, log, boxes});
        OpenDialog(*watchedServices);
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
// until then, it would write to the device. The same click after the read
// reaches the button: the click is aimed right.
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

    int saveClicks = 0;
    save->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++saveClicks; });

    bool clicked = false;
    OnFirstRead([&] { clicked = ClickAt(saveCentre); });
    SelectRow(0);
    Settle(300);

    ASSERT_TRUE(clicked);
    EXPECT_TRUE(dialog->InputPanel()->IsShown());
    EXPECT_EQ(saveClicks, 0);
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().caption;

    ASSERT_TRUE(ClickAt(saveCentre));
    EXPECT_TRUE(YieldUntil([&] { return saveClicks == 1; }));
}

// Input the X server stamped during the work but handed over after it (a busy
// server, a slow line to a remote display) is dropped as it arrives; input
// given after the work goes through.
TEST_F(BusWorkTest, InputStampedDuringTheWorkIsDroppedWhenItComesLate)
{
    ASSERT_TRUE(ShowOnScreen(frame));
    uint32_t during = 0;
    {
        BusWork work(dialog);
        ASSERT_TRUE(DisplayTimeNow(during));
    }
    uint32_t after = 0;
    ASSERT_TRUE(DisplayTimeNow(after));

    struct Case {
        wxEventType type;
        uint32_t stamp;
        bool reaches;
    };
    const Case cases[] = {
        {wxEVT_LEFT_DOWN, during - 1, false}, {wxEVT_LEFT_UP, during - 1, false},
        {wxEVT_MOUSEWHEEL, during - 1, false}, {wxEVT_KEY_DOWN, during - 1, false},
        {wxEVT_CHAR, during - 1, false},      {wxEVT_LEFT_DOWN, after, true},
        {wxEVT_KEY_DOWN, after, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " at " + std::to_string(c.stamp));
        int reached = 0;
        auto count = [&](wxEvent&) { ++reached; };
        list->Bind(wxEventTypeTag<wxEvent>(c.type), count);
        if (c.type == wxEVT_KEY_DOWN || c.type == wxEVT_CHAR) {
            wxKeyEvent key(c.type);
            key.m_keyCode = WXK_SPACE;
            key.SetTimestamp(c.stamp);
            key.SetEventObject(list);
            list->ProcessWindowEvent(key);
        } else {
            wxMouseEvent mouse(c.type);
            mouse.SetTimestamp(c.stamp);
            mouse.SetEventObject(list);
            list->ProcessWindowEvent(mouse);
        }
        list->Unbind(wxEventTypeTag<wxEvent>(c.type), count);
        EXPECT_EQ(reached, c.reaches ? 1 : 0);
    }
}

// The ORV-NET pulled during the Input8 read: its box comes once the busy
// window is gone, and the search that the next command offers runs with the
// windows closed to input.
TEST_F(BusWorkTest, ALostInterfaceIsToldAfterTheBusyWindowAndItsSearchTakesNoInput)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_TRUE(ShowOnScreen(frame));

    bool busyAtBox = false;
    boxes.beforeBox = [&] { busyAtBox = busyAtBox || BusyWindowShown(); };
    bus.LoseLineAtWrite(1);
    SelectRow(0);
    ASSERT_EQ(boxes.Captions(), std::vector<std::string>{INTERFACE_LOST_CAPTION});
    EXPECT_FALSE(busyAtBox);

    // Two interfaces: the search's warning about them shows while it runs.
    bus.SetInterfaces({DeviceDetail{0, 0, 0, 0, "ORV1", "ORV-NET"}, DeviceDetail{0, 0, 0, 0, "ORV2", "ORV-NET"}});
    boxes.boxes.clear();
    boxes.boxAnswers = {Answer::Yes, Answer::Ok};
    bool frameTookInput = true;
    boxes.beforeBox = [&] {
        if (boxes.boxes.size() == 1)
            frameTookInput = frame->IsEnabled();
        busyAtBox = busyAtBox || BusyWindowShown();
    };
    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);

    ASSERT_EQ(boxes.Captions(), (std::vector<std::string>{INTERFACE_LOST_CAPTION, "ORV-NET Warning"}));
    EXPECT_FALSE(frameTookInput);
    EXPECT_FALSE(busyAtBox);
    EXPECT_FALSE(BusInterfaceLost());
    EXPECT_TRUE(frame->IsEnabled());
}

TEST_F(BusWorkTest, AFailedSearchSaysTheNextCommandAsksAgain)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    bus.LoseLineAtWrite(1);
    SelectRow(0);
    bus.SetInterfaces({});
    boxes.boxes.clear();
    boxes.boxAnswers = {Answer::Yes, Answer::Ok};

    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);

    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, RECONNECT_FAILED_TEXT);
    EXPECT_TRUE(BusInterfaceLost());
    EXPECT_EQ(list->GetItemCount(), 1);
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
