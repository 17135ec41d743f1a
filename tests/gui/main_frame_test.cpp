#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <wx/display.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "tests/gui/frame_fixture.h"
#include "tests/gui/geometry_check.h"
#include "tests/gui/on_screen.h"
#include "ui/bus_work.h"
#include "ui/connection_dialog.h"
#include "ui/fast_discovery.h"
#include "ui/input_type_dialog.h"
#include "ui/intro_dialog.h"
#include "ui/led4_type_dialog.h"
#include "ui/main_dialog.h"
#include "ui/rs232_type_dialog.h"
#include "ui/wx_log_sink.h"

namespace orv {
namespace {

using test::ControlsFit;
using test::Settle;
using test::ShowOnScreen;
using test::YieldUntil;

class MainFrameTest : public test::FrameFixture {
protected:
    // The frame logging to sink instead of the collected log.
    MainFrame* BuildLoggingTo(LogSink& sink)
    {
        sinkServices = std::make_unique<Services>(Services{clock, sink, prompts});
        return BuildFrame(*sinkServices);
    }

    std::unique_ptr<Services> sinkServices;
};

using MenuEntry = std::pair<int, std::string>;  // identifier and label; a separator is {wxID_SEPARATOR, ""}

std::vector<MenuEntry> Entries(wxMenu* menu)
{
    std::vector<MenuEntry> entries;
    for (wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSeparator())
            entries.emplace_back(wxID_SEPARATOR, "");
        else
            entries.emplace_back(item->GetId(), item->GetItemLabelText().ToStdString());
    }
    return entries;
}

TEST_F(MainFrameTest, FrameHasTheToolsTitleMenusAndStatusBar)
{
    BuildFrame();
    EXPECT_EQ(frame->GetTitle(), "ORVANTA TOOL v1.32");
    EXPECT_EQ(frame->GetId(), ID_MAIN_FRAME);
    EXPECT_EQ(frame->GetName(), "frame");
    EXPECT_FALSE(frame->IsShown());
    EXPECT_TRUE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(frame->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_TRUE(frame->HasFlag(wxMINIMIZE_BOX));
    EXPECT_TRUE(frame->HasFlag(wxCLOSE_BOX));

    ASSERT_EQ(frame->GetMenuBar(), frame->menuBar);
    ASSERT_EQ(frame->menuBar->GetMenuCount(), 4u);
    EXPECT_EQ(frame->menuBar->GetMenuLabelText(0), "File");
    EXPECT_EQ(frame->menuBar->GetMenuLabelText(1), "Orvanta Devices");
    EXPECT_EQ(frame->menuBar->GetMenuLabelText(2), "Advanced");
    EXPECT_EQ(frame->menuBar->GetMenuLabelText(3), "View");
    EXPECT_EQ(frame->menuBar->GetMenu(3), frame->viewMenu);
    EXPECT_EQ(Entries(frame->viewMenu), (std::vector<MenuEntry>{{ID_LOG_WINDOW, "Log Window"}}));
    EXPECT_EQ(frame->menuBar->GetMenu(0), frame->fileMenu);
    EXPECT_EQ(frame->menuBar->GetMenu(1), frame->devicesMenu);
    EXPECT_EQ(frame->menuBar->GetMenu(2), frame->advancedMenu);

    EXPECT_EQ(Entries(frame->fileMenu), (std::vector<MenuEntry>{
                                            {ID_CONNECTION, "Connection ..."},
                                            {wxID_SEPARATOR, ""},
                                            {ID_BACKUP_BUS, "Back Up Bus ..."},
                                            {ID_COMPARE_WITH_BACKUP, "Compare with Backup ..."},
                                            {ID_RESTORE_BUS, "Restore Bus ..."},
                                            {wxID_SEPARATOR, ""},
                                            {wxID_EXIT, "Exit"}}));
    EXPECT_EQ(Entries(frame->devicesMenu), (std::vector<MenuEntry>{
                                               {ID_DISCOVER_ALL, "Discover All Devices ... (Slow)"},
                                               {ID_DISCOVER_ALL_FAST, "Discover All Devices (Fast)"},
                                               {ID_QUICK_DISCOVERY, "Quick Discovery ... (Fast)"},
                                               {ID_UPDATE_FIRMWARE_SELECTED, "Update Firmware on Selected ..."},
                                           }));
    EXPECT_EQ(Entries(frame->advancedMenu), (std::vector<MenuEntry>{
                                                {ID_SET_ADDRESS, "Set Address ..."},
                                                {ID_DEVICE_BOOT_MODE, "Device Boot Mode"},
                                                {ID_DEVICE_CONFIG_MODE, "Device Config Mode"},
                                                {wxID_SEPARATOR, ""},
                                                {ID_BROADCAST_DISCOVERY, "Broadcast Discovery ..."},
                                                {ID_EMERGENCY_FIRMWARE_UPDATE, "Emergency Firmware Update ..."},
                                            }));

    for (int id : {ID_UPDATE_FIRMWARE_SELECTED, ID_SET_ADDRESS, ID_DEVICE_BOOT_MODE, ID_DEVICE_CONFIG_MODE})
        EXPECT_FALSE(frame->menuBar->IsEnabled(id)) << id;
    for (int id : {int(wxID_EXIT), ID_CONNECTION, ID_DISCOVER_ALL, ID_DISCOVER_ALL_FAST, ID_QUICK_DISCOVERY,
                   ID_BROADCAST_DISCOVERY, ID_EMERGENCY_FIRMWARE_UPDATE})
        EXPECT_TRUE(frame->menuBar->IsEnabled(id)) << id;

    ASSERT_EQ(frame->GetStatusBar(), frame->statusBar);
    EXPECT_EQ(frame->statusBar->GetId(), ID_STATUS_BAR);
    EXPECT_EQ(frame->statusBar->GetName(), "statusBar");
    EXPECT_EQ(frame->statusBar->GetFieldsCount(), 2);

    ASSERT_NE(frame->logWindow, nullptr);
    EXPECT_EQ(frame->logWindow->GetFrame()->GetTitle(), "ORVANTA Log Window");
    EXPECT_FALSE(frame->logWindow->GetFrame()->IsShown());
    EXPECT_FALSE(frame->logWindow->IsPassingMessages());
}

TEST_F(MainFrameTest, WithAnInterfaceTheDialogIsCreatedAndEarlierLogLinesAreListed)
{
    WxLogSink sink;
    BuildLoggingTo(sink);
    sink.Message("line before the log window shows");
    bool closeRequested = false;
    frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        closeRequested = true;
        event.Skip();
    });

    frame->OpenInterfaceAndDialog();

    EXPECT_FALSE(closeRequested);
    EXPECT_TRUE(bus.IsOpen());
    ASSERT_NE(frame->mainDialog, nullptr);
    EXPECT_EQ(frame->mainDialog->GetId(), ID_MAIN_DIALOG);
    EXPECT_EQ(frame->mainDialog->GetName(), "panel");
    EXPECT_EQ(frame->mainDialog->GetParent(), frame.get());
    EXPECT_TRUE(frame->mainDialog->HasExtraStyle(wxWS_EX_BLOCK_EVENTS));
    wxFrame* logFrame = frame->logWindow->GetFrame();
    ASSERT_NE(logFrame, nullptr);
    EXPECT_TRUE(logFrame->IsShown());
    wxTextCtrl* text = nullptr;
    for (wxWindow* child : logFrame->GetChildren())
        if (auto* found = wxDynamicCast(child, wxTextCtrl))
            text = found;
    ASSERT_NE(text, nullptr);
    EXPECT_NE(text->GetValue().find("line before the log window shows"), wxString::npos) << text->GetValue();
}

TEST_F(MainFrameTest, WithoutAnInterfaceTheProgramEndsAfterTheNotFoundBox)
{
    bus.SetInterfaces({});
    BuildFrame();
    bool closeRequested = false;
    bool closeCouldBeVetoed = false;
    frame->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        closeRequested = true;
        closeCouldBeVetoed = event.CanVeto();
        event.Skip();
    });

    frame->OpenInterfaceAndDialog();

    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"ORV-NET  not found Error"});
    EXPECT_TRUE(closeRequested);
    EXPECT_TRUE(closeCouldBeVetoed);
    EXPECT_NE(frame->mainDialog, nullptr);

    // Start-up goes on and the event loop runs; it must end by itself once
    // the frame has gone, the log window with it.
    wxWeakRef<wxFrame> logFrame(frame->logWindow->GetFrame());
    frame->Show();
    bool loopStuck = false;
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        loopStuck = true;
        wxTheApp->ExitMainLoop();
    });
    guard.StartOnce(5000);
    wxTheApp->OnRun();
    guard.Stop();

    EXPECT_FALSE(loopStuck);
    EXPECT_EQ(frame.get(), nullptr);
    EXPECT_EQ(logFrame.get(), nullptr);
}

// On the desktop of the tests (1366 x 768 less a 32-pixel panel) the frame
// cannot have its default height: it takes the work area, and so does it maximised.
TEST_F(MainFrameTest, FrameFitsTheWorkAreaAndGrowsWhenMaximised)
{
    OpenFrame();
    ASSERT_TRUE(ShowOnScreen(frame));
    const wxRect workArea = wxDisplay(frame.get()).GetClientArea();
    EXPECT_EQ(frame->GetSize().x, std::max(DEFAULT_FRAME_SIZE.x, frame->GetMinSize().x));
    EXPECT_LE(frame->GetSize().y, workArea.height);
    EXPECT_TRUE(ControlsFit(frame));
    const wxSize before = frame->GetSize();
    const int panelWidth = frame->mainDialog->IntroPanel()->GetSize().x;

    frame->Maximize();
    EXPECT_TRUE(YieldUntil([&] { return frame->GetSize().x > before.x; }));
    Settle();

    EXPECT_TRUE(ControlsFit(frame));
    // The panel area takes the room the list leaves.
    EXPECT_GT(frame->mainDialog->IntroPanel()->GetSize().x, panelWidth);
}

// The frame and its log window as a user sees them on this desktop, which the
// tests run at 1366 x 768 and at 1024 x 768.
class DesktopGeometryTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        OpenFrame();
        ASSERT_TRUE(ShowOnScreen(frame));
        logFrame = frame->logWindow->GetFrame();
        ASSERT_TRUE(YieldUntil([&] { return logFrame->IsShownOnScreen(); }));
        Settle();
        workArea = wxDisplay(frame.get()).GetClientArea();
    }

    void ReopenLogWindow()
    {
        logFrame->Close();
        ASSERT_TRUE(YieldUntil([&] { return !logFrame->IsShown(); }));
        Settle();
        ChooseLogWindowFromMenu();
        ASSERT_TRUE(YieldUntil([&] { return logFrame->IsShownOnScreen(); }));
        Settle();
    }

    void ChooseLogWindowFromMenu()
    {
        wxCommandEvent event(wxEVT_MENU, ID_LOG_WINDOW);
        event.SetEventObject(frame.get());
        frame->ProcessWindowEvent(event);
    }

    wxFrame* logFrame = nullptr;
    wxRect workArea;
};

// Every label shown in window shows its whole text: each of its lines fits
// its width, and it lies inside the window around it.
::testing::AssertionResult LabelsWhole(wxWindow* window)
{
    std::string cut;
    std::vector<wxWindow*> pending{window};
    while (!pending.empty()) {
        wxWindow* current = pending.back();
        pending.pop_back();
        for (wxWindow* child : current->GetChildren())
            if (child->IsShownOnScreen() && !child->IsTopLevel())
                pending.push_back(child);
        auto* label = wxDynamicCast(current, wxStaticText);
        if (!label)
            continue;
        // A label shortened on purpose carries its whole text as a tooltip.
        if (label->HasFlag(wxST_ELLIPSIZE_END) && label->GetToolTipText() == label->GetLabelText())
            continue;
        const wxRect rect = label->GetScreenRect();
        const wxRect around(label->GetParent()->ClientToScreen(wxPoint(0, 0)), label->GetParent()->GetClientSize());
        int width = 0;
        int height = 0;
        label->GetTextExtent(label->GetLabelText(), &width, &height);
        for (const wxString& line : wxSplit(label->GetLabelText(), '\n', '\0')) {
            int lineWidth = 0;
            label->GetTextExtent(line, &lineWidth, nullptr);
            width = std::max(width, lineWidth);
        }
        if (rect.width < width || !around.Contains(rect))
            cut += "\n  \"" + label->GetLabelText().ToStdString() + "\" " + std::to_string(rect.width) + " of " +
                   std::to_string(width) + " px at " + std::to_string(rect.x) + "," + std::to_string(rect.y);
    }
    if (cut.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "labels cut:" << cut;
}

TEST_F(DesktopGeometryTest, BothWindowsStayInTheWorkAreaApartAndWhereTheyWere)
{
    const wxRect frameRect = frame->GetScreenRect();
    const wxRect logRect = logFrame->GetScreenRect();
    EXPECT_TRUE(workArea.Contains(frameRect));
    EXPECT_TRUE(workArea.Contains(logRect));
    if (workArea.width >= frameRect.width + 200) {
        EXPECT_FALSE(frameRect.Intersects(logRect));
        // The two together, centred.
        EXPECT_NEAR(frameRect.x - workArea.x, workArea.GetRight() - logRect.GetRight(), 4);
    } else {
        // Over the frame's right side, at the right of the work area.
        EXPECT_NEAR(frameRect.x - workArea.x, workArea.GetRight() - frameRect.GetRight(), 4);
        EXPECT_NEAR(logRect.GetRight(), workArea.GetRight(), 4);
    }

    for (int reopening = 1; reopening <= 3; ++reopening) {
        SCOPED_TRACE(reopening);
        ReopenLogWindow();
        EXPECT_EQ(frame->GetScreenRect(), frameRect);
        EXPECT_EQ(logFrame->GetScreenRect(), logRect);
    }
}

TEST_F(DesktopGeometryTest, ViewLogWindowBringsTheCoveredLogWindowInFrontWhereItWas)
{
    const wxRect logRect = logFrame->GetScreenRect();
    frame->Raise();
    ASSERT_TRUE(YieldUntil([&] { return frame->IsActive(); }));
    ChooseLogWindowFromMenu();
    EXPECT_TRUE(YieldUntil([&] { return logFrame->IsActive(); }));
    Settle();
    EXPECT_EQ(logFrame->GetScreenRect(), logRect);
}

TEST_F(DesktopGeometryTest, ConfigurationPanelsCutNoLabel)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0});
    AddDevice(SimDeviceKind::RS232, 5, {0x05, 0, 0, 0});
    frame->mainDialog->DiscoverDevices(0);
    wxListCtrl* list = frame->mainDialog->DeviceList();
    ASSERT_EQ(list->GetItemCount(), 2);
    for (long row = 0; row < list->GetItemCount(); ++row) {
        SCOPED_TRACE(row);
        wxListEvent select(wxEVT_LIST_ITEM_SELECTED, ID_DEVICE_LIST);
        select.SetEventObject(list);
        select.SetIndex(row);
        list->ProcessWindowEvent(select);
        Settle();
        EXPECT_TRUE(ControlsFit(frame));
        EXPECT_TRUE(LabelsWhole(frame));
    }
    EXPECT_TRUE(frame->mainDialog->RS232Panel()->IsShown() || frame->mainDialog->InputPanel()->IsShown());
}

TEST_F(DesktopGeometryTest, NoLabelIsCut)
{
    EXPECT_TRUE(ControlsFit(frame));
    EXPECT_TRUE(LabelsWhole(frame));

    // The information panel's longest message: two devices at one address,
    // left so (No to the automatic re-addressing).
    AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 9, {0x19, 0, 0, 0});
    prompts.boxAnswers = {Answer::No};
    frame->mainDialog->DiscoverDevices(0);
    wxListEvent select(wxEVT_LIST_ITEM_SELECTED, ID_DEVICE_LIST);
    select.SetEventObject(frame->mainDialog->DeviceList());
    select.SetIndex(0);
    frame->mainDialog->DeviceList()->ProcessWindowEvent(select);
    ASSERT_TRUE(frame->mainDialog->InfoPanel()->IsShown());
    ASSERT_NE(frame->mainDialog->InfoPanel()->messageText->GetLabelText().find("shares"), wxString::npos);
    Settle();
    EXPECT_TRUE(LabelsWhole(frame));

    BusWork work(frame->mainDialog, "Reading Configuration from Device .Please wait ...");
    wxWindow* busy = wxWindow::FindWindowByName(BUSY_WINDOW_NAME);
    ASSERT_NE(busy, nullptr);
    // Where it is while the work blocks the event loop.
    EXPECT_TRUE(workArea.Contains(busy->GetScreenRect()))
        << busy->GetScreenRect().x << "," << busy->GetScreenRect().y << " " << busy->GetScreenRect().width << "x"
        << busy->GetScreenRect().height;
    EXPECT_TRUE(LabelsWhole(busy));
}

}  // namespace
}  // namespace orv
