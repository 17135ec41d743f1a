// The File menu's whole-bus windows on the simulated bus: a backup of the bus,
// then its comparison with the bus after a device was changed, its restore,
// and a spare device put in the place of one that failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/listbox.h>

#include "link/commands.h"
#include "model/input8_image.h"
#include "panel_rules/unsaved_edits.h"
#include "tests/gui/geometry_check.h"
#include "tests/gui/bus/bus_window_fixture.h"
#include "tests/gui/on_screen.h"
#include "tests/support/hall_config.h"
#include "ui/bus_comparison_window.h"
#include "ui/bus_report_window.h"
#include "wholebus/backup_folder.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Items(const wxListBox* list)
{
    std::vector<std::string> items;
    for (unsigned i = 0; i < list->GetCount(); ++i)
        items.push_back(list->GetString(i).utf8_string());
    return items;
}

class BusWindowsTest : public BusWindowFixture {
protected:
    BusReportWindow* BackUp()
    {
        SendMenuCommand(*frame, ID_BACKUP_BUS);
        return OpenWindow<BusReportWindow>(BUS_REPORT_WINDOW_NAME);
    }

    SimDevice& spare = AddDevice(SimDeviceKind::Input8, 12, {0x33, 0x10, 0x00, 0x21}, false);
};

TEST_F(BusWindowsTest, BackUpListsWhatWasSavedAndWritesTheFolder)
{
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    BusReportWindow* report = BackUp();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->IsShown());
    EXPECT_TRUE(report->HasFlag(wxRESIZE_BORDER));
    EXPECT_EQ(report->Heading(), "1 configuration(s) backed up in " + folder.string() + ".");
    EXPECT_EQ(Items(report->Lines()),
              (std::vector<std::string>{"saved: ORV-Input8 (21 00 10 31) at address 3 → input8-21001031.bin",
                                        "listed (no configuration): ORV-Relay (21 00 10 32) at address 9",
                                        "not configured, nothing to back up: ORV-Input8 (21 00 10 33) at address 12"}));
    EXPECT_TRUE(fs::exists(folder / "manifest.json"));
    EXPECT_TRUE(fs::exists(folder / "input8-21001031.bin"));
    ASSERT_FALSE(prompts.progress.empty());
    EXPECT_TRUE(prompts.progress.back()->options.canAbort);
}

TEST_F(BusWindowsTest, CancelledBackUpWritesNothing)
{
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    prompts.onProgressUpdate = [](const RecordedProgress&, int) { return false; };
    BusReportWindow* report = BackUp();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Heading(), "Cancelled: nothing saved, " + folder.string() + " holds what it held before.");
    EXPECT_EQ(Items(report->Lines()), std::vector<std::string>{"not saved: ORV-Input8 (21 00 10 31) at address 3"});
    EXPECT_FALSE(fs::exists(folder / "manifest.json"));
}

TEST_F(BusWindowsTest, ComparisonShowsTheChangedRowAndCopiesItAsText)
{
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_NE(BackUp(), nullptr);
    input8.LoadMemory(EncodeInput8Image(Hall(12), ImageForm::Device));

    SendMenuCommand(*frame, ID_COMPARE_WITH_BACKUP);
    auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsShown());
    EXPECT_TRUE(window->HasFlag(wxRESIZE_BORDER));
    wxListCtrl* table = window->DeviceTable();
    ASSERT_EQ(table->GetItemCount(), 3);
    EXPECT_EQ(table->GetItemText(0, COLUMN_KIND), "ORV-Input8");
    EXPECT_EQ(table->GetItemText(0, COLUMN_SERIAL), "21 00 10 31");
    EXPECT_EQ(table->GetItemText(0, COLUMN_BUS_ADDRESS), "3");
    EXPECT_EQ(table->GetItemText(0, COLUMN_BACKUP_ADDRESS), "3");
    EXPECT_EQ(table->GetItemText(0, COLUMN_STATUS), "configuration differs");
    EXPECT_EQ(table->GetItemText(1, COLUMN_STATUS), "same");
    // The changed device is selected from the start, its differences in words.
    EXPECT_EQ(Items(window->Differences()),
              std::vector<std::string>{"Row 4: destination ORV-Relay @ 9 → ORV-Input8 @ 12"});
    window->SelectDevice(1);
    EXPECT_EQ(Items(window->Differences()), std::vector<std::string>{"same"});

    ASSERT_TRUE(window->CopyAsText());
    wxClipboardLocker locker;
    ASSERT_TRUE(!!locker);
    wxTextDataObject data;
    ASSERT_TRUE(wxTheClipboard->GetData(data));
    const std::string text = data.GetText().utf8_string();
    EXPECT_NE(text.find("ORV-Input8 (21 00 10 31) at address 3: configuration differs\n"
                        "    Row 4: destination ORV-Relay @ 9 → ORV-Input8 @ 12\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("the bus differs from the backup"), std::string::npos) << text;
}

TEST_F(BusWindowsTest, RestoreWritesTheTickedDeviceOnlyAfterTheYes)
{
    const std::vector<uint8_t> backedUp = EncodeInput8Image(Hall(9), ImageForm::Device);
    const std::vector<uint8_t> changed = EncodeInput8Image(Hall(12), ImageForm::Device);
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        input8.LoadMemory(backedUp);
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        BusReportWindow* backupReport = BackUp();
        ASSERT_NE(backupReport, nullptr);
        backupReport->Destroy();
        input8.LoadMemory(changed);

        SendMenuCommand(*frame, ID_RESTORE_BUS);
        auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->GetTitle(), "Restore Bus");
        // Ticked: the device that differs; the relay holds no configuration and takes no tick.
        EXPECT_TRUE(window->IsTicked(0));
        EXPECT_TRUE(window->HasTickBox(0));
        EXPECT_FALSE(window->HasTickBox(1));
        // Space on a row turns its tick; a row without a box takes none.
        const auto space = [&](long row) {
            wxListEvent key(wxEVT_LIST_KEY_DOWN, window->DeviceTable()->GetId());
            key.SetEventObject(window->DeviceTable());
            key.m_code = WXK_SPACE;
            key.m_itemIndex = row;
            window->DeviceTable()->GetEventHandler()->ProcessEvent(key);
        };
        space(0);
        EXPECT_FALSE(window->IsTicked(0));
        space(0);
        EXPECT_TRUE(window->IsTicked(0));
        space(1);
        EXPECT_FALSE(window->IsTicked(1));
        window->Tick(1, true);
        EXPECT_FALSE(window->IsTicked(1));
        EXPECT_FALSE(window->IsTicked(2));

        prompts.boxes.clear();
        prompts.boxAnswers = {answer};
        window->WriteTicked();
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_NE(prompts.boxes[0].text.find("ORV-Input8 (21 00 10 31) at address 3 ← input8-21001031.bin"),
                  std::string::npos);
        EXPECT_TRUE(prompts.boxes[0].defaultNo);
        const std::vector<uint8_t>& expected = answer == Answer::Yes ? backedUp : changed;
        ASSERT_GE(input8.Memory().size(), expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), input8.Memory().begin()));
        // The window tells what the bus holds now: the written device is no
        // longer ticked and says so, and the verdict follows.
        const bool written = answer == Answer::Yes;
        EXPECT_EQ(window->IsTicked(0), !written);
        EXPECT_EQ(window->DeviceTable()->GetItemText(0, COLUMN_STATUS),
                  written ? "same (written from the backup)" : "configuration differs");
        EXPECT_EQ(window->Verdict(), written ? "The bus matches the backup." : "The bus differs from the backup.");
        window->Destroy();
    }
    auto* report = OpenWindow<BusReportWindow>(BUS_REPORT_WINDOW_NAME);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Heading(), "1 of 1 configuration(s) restored from " + folder.string() + ".");
    EXPECT_EQ(Items(report->Lines()),
              std::vector<std::string>{
                  "ORV-Input8 (21 00 10 31) at address 3 ← input8-21001031.bin: written and read back"});
}

// The window stays open while the bus changes: a device that is no longer
// listed where the comparison found it is not written, nor whatever took its
// address.
TEST_F(BusWindowsTest, ADeviceMovedSinceTheComparisonIsNotWritten)
{
    const std::vector<uint8_t> changed = EncodeInput8Image(Hall(12), ImageForm::Device);
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    BusReportWindow* backupReport = BackUp();
    ASSERT_NE(backupReport, nullptr);
    backupReport->Destroy();
    input8.LoadMemory(changed);
    SendMenuCommand(*frame, ID_RESTORE_BUS);
    auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
    ASSERT_NE(window, nullptr);
    input8.SetAddress(4);
    spare.SetAddress(3);
    dialog->DiscoverDevices(BROADCAST_ADDRESS);

    bus.ClearHeard();
    prompts.boxAnswers = {Answer::Yes};
    window->WriteTicked();
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_TRUE(std::equal(changed.begin(), changed.end(), input8.Memory().begin()));
    auto* report = OpenWindow<BusReportWindow>(BUS_REPORT_WINDOW_NAME);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Heading(), "0 of 1 configuration(s) restored from " + folder.string() + ".");
    EXPECT_EQ(Items(report->Lines()),
              std::vector<std::string>{"ORV-Input8 (21 00 10 31) at address 3 ← input8-21001031.bin: not written: "
                                       "the device list no longer shows it there; compare with the backup again"});
}

class PanelEdits : public UnsavedEdits {
public:
    bool HasUnsavedEdits() const override { return edited; }
    std::string EditedDeviceLabel() const override { return "ORV-Input8 @ 3"; }
    bool SaveUnsavedEdits() override { return false; }
    bool edited = false;
};

// The restore window stays open while the user may show a panel and edit it:
// a write from the window asks about those edits first.
TEST_F(BusWindowsTest, AWriteAsksAboutEditsMadeWhileTheWindowWasOpen)
{
    const std::vector<uint8_t> changed = EncodeInput8Image(Hall(12), ImageForm::Device);
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_NE(BackUp(), nullptr);
    input8.LoadMemory(changed);
    SendMenuCommand(*frame, ID_RESTORE_BUS);
    auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
    ASSERT_NE(window, nullptr);
    PanelEdits edits;
    dialog->TrackEdits(dialog->InputPanel(), &edits);
    SelectRow(0);
    ASSERT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    edits.edited = true;

    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::Cancel};
    window->WriteTicked();
    EXPECT_EQ(prompts.Captions().size(), 1u);
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::SaveDiscardCancel);
    EXPECT_TRUE(std::equal(changed.begin(), changed.end(), input8.Memory().begin()));

    prompts.boxAnswers = {Answer::Discard, Answer::Yes};
    window->WriteTicked();
    EXPECT_FALSE(std::equal(changed.begin(), changed.end(), input8.Memory().begin()));
    // The panel no longer shows what the device held before.
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->IntroPanel()});
}

// The Input8 at 3 is backed up and fails; a second spare Input8 is at 14.
class ReplaceTest : public BusWindowsTest {
protected:
    void SetUp() override
    {
        BusWindowsTest::SetUp();
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        BusReportWindow* report = BackUp();
        ASSERT_NE(report, nullptr);
        report->Destroy();
        SimDeviceFaults failed;
        failed.silent = true;
        input8.SetFaults(failed);
    }

    BusComparisonWindow* OpenRestoreAtTheMissingDevice()
    {
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        SendMenuCommand(*frame, ID_RESTORE_BUS);
        auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
        if (window)
            window->SelectDevice(0);
        prompts.boxes.clear();
        return window;
    }

    SimDevice& secondSpare = AddDevice(SimDeviceKind::Input8, 14, {0x34, 0x10, 0x00, 0x21}, false);
};

TEST_F(ReplaceTest, TheChosenSpareTakesTheAddressAndTheConfigurationOnlyAfterTheYes)
{
    const std::vector<uint8_t> backedUp = EncodeInput8Image(Hall(9), ImageForm::Device);
    BusComparisonWindow* window = OpenRestoreAtTheMissingDevice();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->DeviceTable()->GetItemText(0, COLUMN_STATUS), "missing on the bus");
    EXPECT_TRUE(window->ReplaceButton()->IsEnabled());
    EXPECT_EQ(Items(window->Differences()).back(),
              "ORV-Input8 (21 00 10 34) at address 14 is not configured: Replace ... puts it in this device's place");

    for (const Answer answer : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(answer == Answer::Yes ? "Yes" : "No");
        prompts.boxes.clear();
        prompts.choiceDialogs.clear();
        prompts.choiceAnswers = {1};
        prompts.boxAnswers = {answer};
        window->ReplaceSelected();
        ASSERT_EQ(prompts.choiceDialogs.size(), 1u);
        EXPECT_EQ(prompts.choiceDialogs[0].choices,
                  (std::vector<std::string>{"ORV-Input8 (21 00 10 33) at address 12",
                                            "ORV-Input8 (21 00 10 34) at address 14"}));
        ASSERT_FALSE(prompts.boxes.empty());
        EXPECT_EQ(prompts.boxes[0].text,
                  "Put ORV-Input8 (21 00 10 34) at address 14 in the place of ORV-Input8 (21 00 10 31), missing on "
                  "the bus?\n\nIt takes address 3 and the configuration of input8-21001031.bin, read back after the "
                  "write.");
        EXPECT_TRUE(prompts.boxes[0].defaultNo);
        if (answer == Answer::No) {
            EXPECT_EQ(secondSpare.Address(), 14);
            EXPECT_TRUE(std::all_of(secondSpare.Memory().begin(), secondSpare.Memory().end(),
                                    [](uint8_t b) { return b == 0; }));
        }
    }
    EXPECT_EQ(secondSpare.Address(), 3);
    EXPECT_EQ(spare.Address(), 12);
    ASSERT_GE(secondSpare.Memory().size(), backedUp.size());
    EXPECT_TRUE(std::equal(backedUp.begin(), backedUp.end(), secondSpare.Memory().begin()));
    // The device list was discovered again: the new device configured, at 3.
    const DeviceRegistry& registry = dialog->Registry();
    ASSERT_EQ(registry.Count(), 3u);
    const DeviceRecord* atThree = nullptr;
    for (size_t i = 0; i < registry.Count(); ++i)
        if (registry.Record(i).address == 3)
            atThree = &registry.Record(i);
    ASSERT_NE(atThree, nullptr);
    EXPECT_EQ(SerialText(atThree->serialNumber), "21 00 10 34");
    EXPECT_TRUE(atThree->configured);

    auto* report = OpenWindow<BusReportWindow>(BUS_REPORT_WINDOW_NAME);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->Heading(), "ORV-Input8 (21 00 10 34) is in the place of ORV-Input8 (21 00 10 31) now, at address 3.");
    EXPECT_EQ(Items(report->Lines()),
              (std::vector<std::string>{"ORV-Input8 (21 00 10 34): address 14 → 3",
                                        "ORV-Input8 (21 00 10 34) at address 3 ← input8-21001031.bin: written and "
                                        "read back"}));
    EXPECT_EQ(window->DeviceTable()->GetItemText(0, COLUMN_STATUS), "replaced by ORV-Input8 (21 00 10 34)");
    EXPECT_FALSE(window->ReplaceButton()->IsEnabled());
}

TEST_F(ReplaceTest, AnotherDeviceAtTheMissingOnesAddressIsNamedAndNothingMoves)
{
    relay.SetAddress(3);
    BusComparisonWindow* window = OpenRestoreAtTheMissingDevice();
    ASSERT_NE(window, nullptr);
    prompts.choiceAnswers = {0};
    window->ReplaceSelected();
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text,
              "ORV-Input8 (21 00 10 33) at address 12 cannot take the place of ORV-Input8 (21 00 10 31):\n"
              "address 3, which ORV-Input8 (21 00 10 31) had, is taken by ORV-Relay (21 00 10 32) at address 3; give "
              "that device another address first");
    EXPECT_TRUE(Sent(SET_ADDRESS_BY_SN).empty());
    EXPECT_EQ(spare.Address(), 12);
}

// Each case ends in a box, with no window and nothing read.
// Compare with Backup and Restore Bus open whole in the work area, on the
// 1366 x 768 desktop and on the 1024 x 768 one: every button and every
// column of the table.
TEST_F(BusWindowsTest, WholeBusWindowsFitTheWorkArea)
{
    ASSERT_TRUE(ShowOnScreen(frame));
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_NE(BackUp(), nullptr);
    input8.LoadMemory(EncodeInput8Image(Hall(12), ImageForm::Device));
    for (const int command : {ID_COMPARE_WITH_BACKUP, ID_RESTORE_BUS}) {
        SCOPED_TRACE(command == ID_RESTORE_BUS ? "Restore Bus" : "Compare with Backup");
        SendMenuCommand(*frame, command);
        auto* window = OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(YieldUntil([&] { return window->IsShownOnScreen(); }));
        Settle(500);

        EXPECT_TRUE(ControlsFit(window));
        const wxRect workArea = wxDisplay(window).GetClientArea();
        EXPECT_TRUE(workArea.Contains(window->GetScreenRect()))
            << window->GetScreenRect().x << "," << window->GetScreenRect().y << " " << window->GetSize().x << "x"
            << window->GetSize().y << " in " << workArea.x << "," << workArea.y << " " << workArea.width << "x"
            << workArea.height;
        wxListCtrl* table = window->DeviceTable();
        int columns = 0;
        for (int c = 0; c < table->GetColumnCount(); ++c)
            columns += table->GetColumnWidth(c);
        EXPECT_LE(columns, table->GetClientSize().x) << "the table's columns need " << columns << " px";
        window->Destroy();
        Settle(100);
    }
}

TEST_F(BusWindowsTest, ComparisonRefusesWhatItCannotCompare)
{
    struct Case {
        const char* name;
        bool emptyBackup;  // else the folder holds no backup at all
        bool discover;
        const char* boxStart;
        bool manifestFolder = false;  // manifest.json is a folder: said, and the program goes on
    };
    for (const Case& c : {Case{"no devices listed", true, false, "No devices are listed."},
                          Case{"folder without a backup", false, true, "The backup in "},
                          Case{"manifest a folder", false, true, "The backup in ", true}}) {
        SCOPED_TRACE(c.name);
        fs::remove_all(folder);
        fs::create_directories(folder);
        if (c.emptyBackup) {
            ASSERT_TRUE(SaveBackupFolder(folder.string(), {}).saved);
        }
        if (c.manifestFolder)
            fs::create_directories(folder / BACKUP_MANIFEST);
        if (c.discover)
            dialog->DiscoverDevices(BROADCAST_ADDRESS);
        prompts.boxes.clear();
        SendMenuCommand(*frame, ID_COMPARE_WITH_BACKUP);
        EXPECT_EQ(OpenWindow<BusComparisonWindow>(BUS_COMPARISON_WINDOW_NAME), nullptr);
        ASSERT_EQ(prompts.boxes.size(), 1u);
        EXPECT_EQ(prompts.boxes[0].caption, "Compare with Backup");
        EXPECT_EQ(prompts.boxes[0].text.rfind(c.boxStart, 0), 0u) << prompts.boxes[0].text;
        if (c.manifestFolder) {
            EXPECT_NE(prompts.boxes[0].text.find("manifest.json is a folder, not a file"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace orv::test
