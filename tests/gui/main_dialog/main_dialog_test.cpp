#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>

#include "link/commands.h"
#include "model/input8_image.h"
#include "sim/demo_images.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "ui/fast_discovery.h"

namespace orv::test {
namespace {

const wxColour BLUE(0, 0, 255);
const wxColour RED(255, 0, 0);

constexpr int DEVICE_COMMANDS[] = {ID_UPDATE_FIRMWARE_SELECTED, ID_SET_ADDRESS, ID_DEVICE_BOOT_MODE,
                                   ID_DEVICE_CONFIG_MODE};

const char* const SHARED_MESSAGE =
    " This Device shares it's address with another device on the network \n\n"
    " Please change it's address to Configure ! ";
const char* const NO_CONFIGURATION_MESSAGE = "This Device has no configuration associated with it.";

std::string Message(MainDialog& dialog)
{
    return dialog.InfoPanel()->messageText->GetLabelText().ToStdString();
}

std::string Details(MainDialog& dialog)
{
    return dialog.InfoPanel()->detailsText->GetLabelText().ToStdString();
}

TEST_F(MainDialogTest, StartsWithAnEmptyTwoColumnListAndTheInstructions)
{
    EXPECT_EQ(list->GetId(), ID_DEVICE_LIST);
    EXPECT_EQ(list->GetName(), "listCtrl");
    for (long flag : {wxLC_REPORT, wxLC_SINGLE_SEL, wxLC_HRULES, wxLC_VRULES})
        EXPECT_TRUE(list->HasFlag(flag)) << flag;
    EXPECT_EQ(list->GetFont().GetPointSize(), 10);
    EXPECT_EQ(list->GetFont().GetFaceName(), "Verdana");
    EXPECT_EQ(list->GetToolTipText(), "Discovered Orvanta Devices. Select one to view/configure");

    ASSERT_EQ(list->GetColumnCount(), 2);
    // The name column at least as wide as it was drawn, and wide enough for the longest row in its font.
    int longest = 0;
    int height = 0;
    const wxFont rowFont(9, wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_BOLD);
    list->GetTextExtent("ORV-LED4PD (21 00 30 73)", &longest, &height, nullptr, nullptr, &rowFont);
    const std::pair<const char*, int> columns[] = {{"ORVANTA DEVICES", std::max(175, longest + 8)}, {"ADDRESS", 75}};
    for (int column = 0; column < 2; ++column) {
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH | wxLIST_MASK_FORMAT);
        ASSERT_TRUE(list->GetColumn(column, item));
        EXPECT_EQ(item.GetText(), columns[column].first);
        EXPECT_GE(item.GetWidth(), columns[column].second);
        EXPECT_EQ(item.GetAlign(), wxLIST_FORMAT_LEFT);
    }
    wxListItem nameColumn;
    nameColumn.SetMask(wxLIST_MASK_WIDTH);
    list->GetColumn(0, nameColumn);
    EXPECT_LE(nameColumn.GetWidth() + 75, list->GetMinSize().x) << "both columns show without scrolling";
    EXPECT_EQ(list->GetItemCount(), 0);

    EXPECT_EQ(dialog->IntroPanel()->GetId(), 12121);
    EXPECT_EQ(dialog->InputPanel()->GetId(), 10008);
    EXPECT_EQ(dialog->RS232Panel()->GetId(), 12121);
    EXPECT_EQ(dialog->InfoPanel()->GetId(), 30010);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->IntroPanel()});

    EXPECT_TRUE(log.Contains("ORV-NET: Connected: Please Do Discovery to find ORVANTA Devices "));
    EXPECT_EQ(dialog->Registry().selectedIndex(), 255);
    EXPECT_EQ(dialog->Registry().selectedAddress(), 255);
}

TEST_F(MainDialogTest, QuickDiscoveryListsEachDeviceWithItsAddressBlueWhenConfiguredRedWhenNot)
{
    AddDevice(SimDeviceKind::Relay, 5, {0x34, 0xAB, 0x12, 0x00}, true);
    AddDevice(SimDeviceKind::Input8, 3, {0x78, 0x56, 0x34, 0x12}, false);

    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);

    EXPECT_EQ(Column(0), (std::vector<std::string>{"ORV-Relay (00 12 AB 34)", "ORV-Input8 (12 34 56 78)"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"5", "3"}));
    ASSERT_EQ(list->GetItemCount(), 2);
    // Each row carries the index of its record.
    EXPECT_EQ(list->GetItemData(0), 0);
    EXPECT_EQ(list->GetItemData(1), 1);
    EXPECT_EQ(list->GetItemTextColour(0), BLUE);
    EXPECT_EQ(list->GetItemTextColour(1), RED);
    for (long row = 0; row < 2; ++row) {
        EXPECT_EQ(list->GetItemFont(row).GetPointSize(), 9);
        EXPECT_EQ(list->GetItemFont(row).GetWeight(), wxFONTWEIGHT_BOLD);
    }
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->IntroPanel()});
}

// The status bar's count of devices found and added is never beside a list
// that lacks them: each device is listed as it is added, and a cancelled
// discovery lists what it found.
TEST_F(MainDialogTest, WhileADiscoveryRunsTheListShowsEveryDeviceTheStatusBarCounts)
{
    AddDevice(SimDeviceKind::Relay, 2, {0x02, 0, 0, 0});
    AddDevice(SimDeviceKind::LED4PD, 4, {0x04, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 20, {0x20, 0, 0, 0});
    std::vector<std::pair<std::string, int>> seen;  // the status text and the rows listed
    prompts.onProgressUpdate = [&](const RecordedProgress&, int address) {
        if (!prompts.statusTexts.empty())
            seen.emplace_back(prompts.statusTexts.back().second, list->GetItemCount());
        return address < 10;
    };

    SendMenuCommand(*frame, ID_DISCOVER_ALL);

    int counted = 0;
    for (const auto& [text, rows] : seen) {
        int found = 0;
        if (std::sscanf(text.c_str(), " %d: Orvanta Device(s) Found & Added", &found) == 1) {
            EXPECT_EQ(rows, found) << text;
            counted = std::max(counted, found);
        }
    }
    EXPECT_EQ(counted, 2);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(prompts.statusTexts.back().second, "ORVANTA TOOL");
}

TEST_F(MainDialogTest, AColumnClickSortsByAddressAndRowsStillOpenTheirOwnDevice)
{
    AddDevice(SimDeviceKind::LED4PD, 9, {0x09, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 2, {0x02, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 4, {0x04, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_EQ(Column(1), (std::vector<std::string>{"9", "2", "4"}));

    // By address, not by name, whichever header is clicked.
    ClickColumn(0);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "4", "9"}));
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"ORV-Relay (00 00 00 02)", "ORV-Relay (00 00 00 04)", "ORV-LED4PD (00 00 00 09)"}));
    ClickColumn(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"2", "4", "9"}));

    SelectRow(2);
    EXPECT_EQ(dialog->Registry().selectedIndex(), 0);
    EXPECT_EQ(dialog->Registry().selectedAddress(), 9);
    EXPECT_EQ(Message(*dialog), " ORV-LED4 Selected. Nothing to be Configured ");
    SelectRow(1);
    EXPECT_EQ(dialog->Registry().selectedIndex(), 2);
    EXPECT_EQ(dialog->Registry().selectedAddress(), 4);
    EXPECT_EQ(Message(*dialog), " ORV-RELAY Selected. Nothing to be Configured ");
    EXPECT_NE(Details(*dialog).find("Serial No:       00 00 00 04"), std::string::npos) << Details(*dialog);
}

TEST_F(MainDialogTest, DeviceCommandsAreEnabledFromTheFirstSelectionOnAlsoAfterAnEmptyDiscovery)
{
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 5, {0x05, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    for (int id : DEVICE_COMMANDS)
        EXPECT_FALSE(frame->menuBar->IsEnabled(id)) << id;

    SelectRow(0);
    for (int id : DEVICE_COMMANDS)
        EXPECT_TRUE(frame->menuBar->IsEnabled(id)) << id;

    bus.Detach(relay);
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"No ORV-Device Found"});
    EXPECT_EQ(list->GetItemCount(), 0);
    for (int id : DEVICE_COMMANDS)
        EXPECT_TRUE(frame->menuBar->IsEnabled(id)) << id;
}

TEST_F(MainDialogTest, TheFramesDeviceCommandsReachTheSelectedDevice)
{
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 5, {0x05, 0, 0, 0});
    SendMenuCommand(*frame, ID_DISCOVER_ALL);
    ASSERT_EQ(Column(1), std::vector<std::string>{"5"});
    SelectRow(0);

    SendMenuCommand(*frame, ID_DEVICE_BOOT_MODE);
    EXPECT_EQ(relay.Mode(), SimDeviceMode::BootLoader);
    SendMenuCommand(*frame, ID_DEVICE_CONFIG_MODE);
    EXPECT_EQ(relay.Mode(), SimDeviceMode::Firmware);

    // Asked first, naming the device; No sends nothing and chooses no file.
    prompts.boxAnswers = {Answer::No};
    bus.ClearHeard();
    SendMenuCommand(*frame, ID_UPDATE_FIRMWARE_SELECTED);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text,
              "Replace the firmware of ORV-Relay (00 00 00 05) at address 5?\nThe firmware file is chosen next.");
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    EXPECT_TRUE(prompts.fileDialogs.empty());
    EXPECT_TRUE(bus.Heard().empty());
    EXPECT_EQ(relay.Mode(), SimDeviceMode::Firmware);

    prompts.boxAnswers = {Answer::Yes};
    SendMenuCommand(*frame, ID_UPDATE_FIRMWARE_SELECTED);
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].message, "Load Firmware File ..");

    // The choices are 1..4 and 6..254; the second one is 2.
    prompts.choiceAnswers = {1};
    SendMenuCommand(*frame, ID_SET_ADDRESS);
    EXPECT_EQ(relay.Address(), 2);
    EXPECT_EQ(Column(1), std::vector<std::string>{"2"});

    // The emergency update asks too, once its count has found one device; No
    // sends nothing after the count.
    prompts.boxes.clear();
    prompts.fileDialogs.clear();
    prompts.boxAnswers = {Answer::No};
    bus.ClearHeard();
    SendMenuCommand(*frame, ID_EMERGENCY_FIRMWARE_UPDATE);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Replace the firmware of the one device on the bus (emergency update, address "
                                     "255)?\nThe firmware file is chosen next.");
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    EXPECT_TRUE(prompts.fileDialogs.empty());
    ASSERT_EQ(bus.Heard().size(), 1u);
    EXPECT_EQ(bus.Heard()[0].command, MODULE_INFO_REQUEST);
    EXPECT_EQ(relay.Mode(), SimDeviceMode::Firmware);
}

TEST_F(MainDialogTest, EachKindShowsItsPanelAndEverySelectionWritesTheDetails)
{
    SimDevice& led = AddDevice(SimDeviceKind::LED4PD, 7, {0x34, 0xAB, 0x12, 0x00});
    led.Info().firmwareMajor = 1;
    led.Info().firmwareMinor = 0x20;
    AddDevice(SimDeviceKind::Relay, 9, {0x94, 0x40, 0x00, 0x21});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);

    SelectRow(0);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
    EXPECT_EQ(Message(*dialog), " ORV-LED4 Selected. Nothing to be Configured ");
    EXPECT_EQ(Details(*dialog), " Device Name: ORV-LED4PD \n\n Address:   7 \n\n Firmware Ver:   1.20 \n\n"
                                " Serial No:       00 12 AB 34 \n\n");

    SelectRow(1);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
    EXPECT_EQ(Message(*dialog), " ORV-RELAY Selected. Nothing to be Configured ");
    EXPECT_EQ(Details(*dialog), " Device Name: ORV-Relay \n\n Address:   9 \n\n Firmware Ver:   1.0 \n\n"
                                " Serial No:       21 00 40 94 \n\n");
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(MainDialogTest, ADeviceWithAnUnknownNameReplacesAConfigurationPanelByTheInformationPanel)
{
    SimDevice& unknown = AddDevice(SimDeviceKind::Relay, 6, {0x66, 0, 0, 0});
    unknown.Info().name = "ORV-Dimmer";
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    // A configuration panel bound to the device selected before.
    dialog->HideAllPanels();
    dialog->InputPanel()->Show();

    SelectRow(0);

    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
    EXPECT_EQ(Message(*dialog), NO_CONFIGURATION_MESSAGE);
    EXPECT_EQ(Details(*dialog).rfind(" Device Name: ORV-Dimmer \n\n Address:   6 \n\n", 0), 0u) << Details(*dialog);
    EXPECT_EQ(dialog->Registry().selectedIndex(), 0);
}

TEST_F(MainDialogTest, TwoDevicesAtOneAddressAreBothListedAndEachRowShowsItsOwnDevice)
{
    AddDevice(SimDeviceKind::Relay, 7, {0x71, 0, 0, 0});
    AddDevice(SimDeviceKind::LED4PD, 7, {0x72, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_EQ(Column(0), (std::vector<std::string>{"ORV-Relay (00 00 00 71)", "ORV-LED4PD (00 00 00 72)"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"7", "7"}));

    const char* const names[] = {"ORV-Relay", "ORV-LED4PD"};
    for (long row : {1, 0}) {
        dialog->InfoPanel()->messageText->SetLabelText("");
        SelectRow(row);
        EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()}) << row;
        EXPECT_EQ(Message(*dialog), SHARED_MESSAGE) << row;
        EXPECT_EQ(dialog->Registry().selectedIndex(), row);
        EXPECT_NE(Details(*dialog).find(names[row]), std::string::npos) << row;
    }
    EXPECT_TRUE(prompts.boxes.empty());
}

// The second row's device, not the first at the address, gets the new address;
// also after a sort has put the rows in another order.
TEST_F(MainDialogTest, SetAddressMovesTheDeviceWhoseRowWasClickedWhenTwoShareAnAddress)
{
    AddDevice(SimDeviceKind::Relay, 7, {0x71, 0, 0, 0});
    AddDevice(SimDeviceKind::LED4PD, 7, {0x72, 0, 0, 0});
    AddDevice(SimDeviceKind::Relay, 2, {0x02, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ClickColumn(1);
    ASSERT_EQ(Column(1), (std::vector<std::string>{"2", "7", "7"}));
    long ledRow = 1;
    if (Column(0)[1].find("ORV-LED4PD") == std::string::npos)
        ledRow = 2;
    bus.ClearHeard();

    SelectRow(ledRow);
    prompts.choiceAnswers.push_back(0);
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    const std::vector<HeardFrame> sent = Sent(SET_ADDRESS_BY_SN);
    ASSERT_FALSE(sent.empty());
    const auto payload = SetAddressPayload(SerialNumber{0x72, 0, 0, 0}, 1);
    EXPECT_EQ(sent[0].destination, 7);
    EXPECT_EQ(sent[0].payload, std::vector<uint8_t>(payload.begin(), payload.end()));
}

// The log is out of sight; the status bar is where the user looks.
TEST_F(MainDialogTest, ModeCommandsTellTheirOutcomeInTheStatusBar)
{
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 5, {0x05, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    SelectRow(0);
    prompts.statusTexts.clear();

    SendMenuCommand(*frame, ID_DEVICE_BOOT_MODE);
    relay.Faults().noAckCommand = RUN_FIRMWARE;
    SendMenuCommand(*frame, ID_DEVICE_CONFIG_MODE);

    EXPECT_EQ(prompts.statusTexts,
              (std::vector<std::pair<int, std::string>>{
                  {0, "Device Boot Mode: ORV-Relay at address 5 acknowledged"},
                  {0, "Device Config Mode: ORV-Relay at address 5 did not answer"},
              }));
}

// A text in the status bar speaks of the panel that was shown: another
// selection takes it away, and the firmware update's outcome goes there too.
TEST_F(MainDialogTest, StatusTextsGoWithThePanelTheySpeakOf)
{
    AddDevice(SimDeviceKind::Relay, 5, {0x05, 0, 0, 0});
    AddDevice(SimDeviceKind::LED4PD, 7, {0x07, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    SelectRow(0);
    SendMenuCommand(*frame, ID_DEVICE_BOOT_MODE);
    prompts.statusTexts.clear();

    // Field 0 shows the tool's name again; field 1 keeps naming the interface in use.
    frame->SetStatusText("Interface: ORV-NET", 1);
    SelectRow(1);
    EXPECT_EQ(prompts.statusTexts, (std::vector<std::pair<int, std::string>>{{0, "ORVANTA TOOL"}}));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), "Interface: ORV-NET");

    // A discovery's own texts stay while it runs.
    prompts.statusTexts.clear();
    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);
    ASSERT_FALSE(prompts.statusTexts.empty());
    EXPECT_EQ(prompts.statusTexts.front(), (std::pair<int, std::string>{0, "ORVANTA TOOL: Doing Discovery ..."}));
    EXPECT_EQ(std::count(prompts.statusTexts.begin(), prompts.statusTexts.end(), std::pair<int, std::string>{0, ""}),
              0);

    prompts.statusTexts.clear();
    prompts.fileAnswers = {std::nullopt};
    SendMenuCommand(*frame, ID_UPDATE_FIRMWARE_SELECTED);
    EXPECT_TRUE(prompts.statusTexts.empty());  // no file chosen: nothing was tried
}

// What a command reported is not carried into the next one: each starts
// from the tool's name (bringing the log window back is no command on the bus).
TEST_F(MainDialogTest, EachCommandStartsWithTheToolsNameInTheStatusBar)
{
    const wxString moved = "Set Address: ORV-Relay (00 00 00 05) moved from address 9 to 4";
    frame->SetStatusText(moved, 0);
    SendMenuCommand(*frame, ID_LOG_WINDOW);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), moved);

    frame->chooseFolder = [](const wxString&, bool) -> std::optional<std::string> { return std::nullopt; };
    SendMenuCommand(*frame, ID_BACKUP_BUS);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "ORVANTA TOOL");
}

TEST_F(MainDialogTest, AFirmwareUpdatesOutcomeGoesToTheStatusBar)
{
    const std::string image = (std::filesystem::temp_directory_path() /
                               ("orv_status_firmware_" + std::to_string(::getpid()) + ".bin"))
                                  .string();
    std::ofstream(image, std::ios::binary) << std::string(40, '\x5A');
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 5, {0x05, 0, 0, 0});
    struct Case {
        std::optional<uint16_t> unanswered;
        std::string status;
    };
    for (const Case& c : {Case{RUN_BOOT, "Firmware Update: the device did not answer; nothing was sent"},
                          Case{std::nullopt, "Firmware Update: done, the device runs its new firmware"}}) {
        SCOPED_TRACE(c.status);
        relay.Faults().noAckCommand = c.unanswered;
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        SelectRow(0);
        prompts.statusTexts.clear();
        prompts.fileAnswers = {image};
        SendMenuCommand(*frame, ID_UPDATE_FIRMWARE_SELECTED);
        ASSERT_FALSE(prompts.statusTexts.empty());
        EXPECT_EQ(prompts.statusTexts.back(), (std::pair<int, std::string>{0, c.status}));
    }
    std::filesystem::remove(image);
}

// Bus work beneath a pointer resting on the device list would have the list's
// tooltip cover two of its rows: the list has none while the work runs, from
// the dialog's commands, the fast scan's and a panel's, and has it back after.
TEST_F(MainDialogTest, TheDeviceListHasNoTooltipWhileBusWorkRuns)
{
    Input8Config input8;
    input8.name = "Hall Switches";
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0}).LoadMemory(EncodeInput8Image(input8, ImageForm::Device));
    wxListCtrl* list = dialog->DeviceList();
    const wxString tip = "Discovered Orvanta Devices. Select one to view/configure";
    ASSERT_EQ(list->GetToolTipText(), tip);
    std::vector<wxString> during;
    prompts.onProgressUpdate = [&](const RecordedProgress&, int) {
        during.push_back(list->GetToolTipText());
        return true;
    };
    const std::function<void()> works[] = {
        [&] { dialog->DiscoverDevices(BROADCAST_ADDRESS); },
        [&] { DiscoverAllFast(*dialog, 16); },
        [&] {
            SelectRow(0);
            wxCommandEvent save(wxEVT_BUTTON, ID_INPUT8_SAVE);
            dialog->InputPanel()->FindWindow(ID_INPUT8_SAVE)->ProcessWindowEvent(save);
        },
    };
    for (const auto& work : works) {
        during.clear();
        work();
        ASSERT_FALSE(during.empty());
        EXPECT_EQ(std::count(during.begin(), during.end(), wxString()), long(during.size()));
        EXPECT_EQ(list->GetToolTipText(), tip);
    }
    EXPECT_TRUE(prompts.ShowedBox(" Config Saved ", " Save SUCCESS \n Input8 configuration has been saved Succesfully"));
}

// A full scan can list a device at the tool's own address 0: it cannot be
// configured there, and the message says why instead of naming a shared address.
TEST_F(MainDialogTest, ADeviceAtAddressZeroIsToldItIsNotAtADeviceAddress)
{
    AddDevice(SimDeviceKind::Relay, 0, {0x01, 0, 0, 0});
    dialog->DiscoverDevices(0);
    ASSERT_EQ(Column(1), std::vector<std::string>{"0"});
    SelectRow(0);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InfoPanel()});
    EXPECT_EQ(Message(*dialog), " This Device answered at address 0, which is not a device address \n\n"
                                " Please change it's address to Configure ! ");
}

struct UnansweredRead {
    SimDeviceKind kind;
    const char* text;
};

class ConfigurationReadTest : public MainDialogTest, public ::testing::WithParamInterface<UnansweredRead> {};

TEST_P(ConfigurationReadTest, ADeviceThatDoesNotAnswerLeavesTheListAfterTheBox)
{
    AddDevice(SimDeviceKind::Relay, 6, {0x06, 0, 0, 0});
    SimDevice& mute = AddDevice(GetParam().kind, 4, {0x04, 0, 0, 0});
    mute.Faults().noAckCommand = CONFIG_BLOCK_READ;
    AddDevice(SimDeviceKind::LED4PD, 2, {0x02, 0, 0, 0});
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ClickColumn(1);
    ASSERT_EQ(Column(1), (std::vector<std::string>{"2", "4", "6"}));

    SelectRow(1);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, "Warn Loading Data ");
    EXPECT_EQ(prompts.boxes[0].text, GetParam().text);
    EXPECT_EQ(prompts.boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(prompts.boxes[0].icon, Icon::Exclamation);
    EXPECT_EQ(dialog->Registry().Count(), 2u);
    // Rebuilt in registry order: the sort is undone.
    EXPECT_EQ(Column(1), (std::vector<std::string>{"6", "2"}));
    EXPECT_TRUE(ShownPanels().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ConfigurationReadTest,
    ::testing::Values(UnansweredRead{SimDeviceKind::Input8,
                                     "No Response from ORV-Input8 Device. Can't load Configuration.\n \n Removing "
                                     "from device list. Please check if device is connected & Try again "},
                      UnansweredRead{SimDeviceKind::RS232,
                                     "No Response from ORV-RS232 Device. Can't load Configuration.\n \n Removing "
                                     "from device list. Please check if device is connected & Try again "}));

TEST_F(MainDialogTest, AConfigurationThatIsReadShowsTheDevicesPanel)
{
    // No rows: the demo image's rows act on devices this bus lacks and would raise the link question.
    Input8Config input8;
    input8.name = "Hall Switches";
    AddDevice(SimDeviceKind::Input8, 3, {0x03, 0, 0, 0}).LoadMemory(EncodeInput8Image(input8, ImageForm::Device));
    AddDevice(SimDeviceKind::RS232, 5, {0x05, 0, 0, 0}).LoadMemory(DemoRS232Image());
    dialog->DiscoverDevices(BROADCAST_ADDRESS);

    SelectRow(0);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
    SelectRow(1);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->RS232Panel()});
    EXPECT_EQ(dialog->Registry().Count(), 2u);
    EXPECT_TRUE(prompts.boxes.empty());
}

}  // namespace
}  // namespace orv::test
