// The Input8 panel with the device and with files: reading on selection,
// "Save to Device" with its read-back and messages, export and import.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "link/commands.h"
#include "model/input8_image.h"
#include "panel_rules/unsaved_edits.h"
#include "tests/gui/input8/input8_fixture.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

const char* const SAVED_TEXT = " Save SUCCESS \n Input8 configuration has been saved Succesfully";
const char* const REDISCOVER_TEXT = "Save SUCCESS \nClick OK to set address correctly & re-discover the device ";

std::vector<uint8_t> DeviceImage(const Input8Config& config)
{
    return EncodeInput8Image(config, ImageForm::Device);
}

std::vector<uint8_t> HeldImage(const SimDevice& device)
{
    return {device.Memory().begin(), device.Memory().begin() + long(INPUT8_IMAGE_SIZE)};
}

bool HeardBroadcastDiscovery(const SimBus& bus)
{
    for (const HeardFrame& frame : bus.Heard())
        if (frame.command == MODULE_INFO_REQUEST && frame.destination == BROADCAST_ADDRESS)
            return true;
    return false;
}

// Only an intact image is shown; after any other read the panel says that the
// configuration was not loaded and offers nothing to save.
TEST_F(Input8PanelTest, ReadShowsAnIntactImageAndNothingAfterAnUnansweredOrDamagedOne)
{
    input8.LoadMemory(DeviceImage(SampleConfig()));
    EXPECT_TRUE(panel->ReadFromDevice());
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(panel->BuildInput8Config(), SampleConfig());
    EXPECT_TRUE(ShowsRows());
    ASSERT_NE(panel->DeviceConfig(), nullptr);
    EXPECT_EQ(*panel->DeviceConfig(), SampleConfig());

    input8.Faults().silent = true;
    EXPECT_FALSE(panel->ReadFromDevice());
    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_FALSE(ShowsRows());
    EXPECT_EQ(panel->DeviceConfig(), nullptr);

    input8.Faults().silent = false;
    input8.LoadMemory(DeviceImage(SampleConfig()));
    ASSERT_TRUE(panel->ReadFromDevice());
    input8.LoadMemory(EncodeInput8Image(SampleConfig(), ImageForm::File));  // CRC bytes 00 00
    EXPECT_TRUE(panel->ReadFromDevice());
    EXPECT_EQ(prompts.Captions(), std::vector<std::string>{"Warn Loading Data "});
    EXPECT_FALSE(ShowsRows());
    EXPECT_EQ(panel->BuildInput8Config(), Input8Config{});
    EXPECT_EQ(Status(), "Configuration not loaded");
    EXPECT_EQ(wxWindow::FindWindowByName("notLoadedNotice", panel)->GetLabel(),
              "The configuration of ORV-Input8 @ 3 was not loaded.\nImport a file, or start from an empty "
              "configuration, to edit and save one.");
    EXPECT_FALSE(panel->HasUnsavedEdits());
}

// Save is offered again only for a file or an empty configuration the user asked for.
TEST_F(Input8PanelTest, NotLoadedPanelOffersSaveAfterAnImportOrAnEmptyStartTheUserConfirmed)
{
    const fs::path file = fs::temp_directory_path() / ("orv-input8-import-" + std::to_string(getpid()) + ".bin");
    const std::vector<uint8_t> bytes = EncodeInput8Image(SampleConfig(), ImageForm::File);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    input8.Faults().silent = true;
    ASSERT_FALSE(panel->ReadFromDevice());
    input8.Faults().silent = false;

    prompts.fileAnswers = {file.string()};
    Click(ID_INPUT8_IMPORT);
    fs::remove(file);
    EXPECT_TRUE(ShowsRows());
    EXPECT_EQ(panel->BuildInput8Config(), SampleConfig());

    input8.Faults().silent = true;
    ASSERT_FALSE(panel->ReadFromDevice());
    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::No};
    Click(ID_INPUT8_START_EMPTY);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].text, "Replace the configuration of ORV-Input8 @ 3 with an empty one?");
    EXPECT_TRUE(prompts.boxes[0].defaultNo);
    EXPECT_FALSE(ShowsRows());

    prompts.boxAnswers = {Answer::Yes};
    Click(ID_INPUT8_START_EMPTY);
    EXPECT_TRUE(ShowsRows());
    EXPECT_EQ(panel->BuildInput8Config(), Input8Config{});
    EXPECT_EQ(Entries(Choice(ID_INPUT8_DESTINATION_BASE + 0)), ALL_DESTINATIONS);

    input8.Faults().silent = false;
    input8.LoadMemory(DeviceImage(SampleConfig()));
    Click(ID_INPUT8_SAVE);
    EXPECT_EQ(HeldImage(input8), DeviceImage(Input8Config{}));
}

TEST_F(Input8PanelTest, SaveWritesTheDeviceAndRediscoversOnlyADeviceThatWasNotConfigured)
{
    for (const bool configured : {true, false}) {
        SCOPED_TRACE(configured);
        RegisterAll(configured);
        prompts.boxes.clear();
        bus.ClearHeard();
        input8.LoadMemory({});
        panel->ApplyInput8Image(SampleConfig());
        Control<wxTextCtrl>(ID_INPUT8_NAME)->ChangeValue("Landing");
        Input8Config expected = SampleConfig();
        expected.name = "Landing";

        Click(ID_INPUT8_SAVE);

        EXPECT_TRUE(log.Contains("SEND INPUT CONFIG STARTED ... "));
        EXPECT_EQ(HeldImage(input8), DeviceImage(expected));
        // A write is never half cancelled: its progress offers no Cancel.
        ASSERT_FALSE(prompts.progress.empty());
        EXPECT_FALSE(prompts.progress[0]->options.canAbort);
        const std::pair<int, std::string> saved{0, "ORV-Input8 @ 3: configuration saved"};
        EXPECT_NE(std::find(prompts.statusTexts.begin(), prompts.statusTexts.end(), saved), prompts.statusTexts.end());
        ASSERT_EQ(prompts.Captions(), std::vector<std::string>{" Config Saved "});
        EXPECT_EQ(prompts.boxes[0].text, configured ? SAVED_TEXT : REDISCOVER_TEXT);
        EXPECT_EQ(prompts.boxes[0].icon, Icon::Information);
        EXPECT_EQ(HeardBroadcastDiscovery(bus), !configured);
        if (!configured) {
            EXPECT_EQ(bus.Heard().back().command, MODULE_INFO_REQUEST);
            EXPECT_EQ(Registry().Count(), 4u);
        }
    }
}

TEST_F(Input8PanelTest, SaveWithAnUnacknowledgedBlockIsNotReportedSaved)
{
    input8.LoadMemory({});
    input8.Faults().noAckCommand = CONFIG_BLOCK_WRITE;
    input8.Faults().noAckBlock = 6;
    panel->ApplyInput8Image(SampleConfig());

    Click(ID_INPUT8_SAVE);

    // The read-back found blocks 0 to 5 over an empty memory: damaged. The
    // panel keeps the edits, so that saving again saves them, and says so once.
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" Config Not Saved "}));
    EXPECT_EQ(prompts.boxes[0].text,
              "The configuration was not saved.\n\nThe device could not be read back after the save, so what it "
              "holds now is not known.\nThe panel keeps the configuration as it was edited. Please try Saving again.");
    EXPECT_EQ(panel->BuildInput8Config(), SampleConfig());
    EXPECT_FALSE(HeardBroadcastDiscovery(bus));
    EXPECT_TRUE(ShowsRows());
    // What the device holds is not known: the edits may be lost.
    EXPECT_TRUE(panel->HasUnsavedEdits());
    EXPECT_EQ(panel->DeviceConfig(), nullptr);

    input8.Faults().noAckCommand.reset();
    Click(ID_INPUT8_SAVE);
    EXPECT_EQ(HeldImage(input8), DeviceImage(SampleConfig()));
}

// "Configuration saved" holds only until the user's next edit, in whichever control.
TEST_F(Input8PanelTest, TheSavedStatusGoesWithTheNextEdit)
{
    const struct {
        const char* name;
        std::function<void()> edit;
    } edits[] = {
        {"name", [&] { Control<wxTextCtrl>(ID_INPUT8_NAME)->SetValue("Landing"); }},
        {"input", [&] { Choose(ID_INPUT8_INPUT_BASE + 1, 5); }},
        {"change", [&] { Choose(ID_INPUT8_CHANGE_BASE + 1, int(ChangeType::Open)); }},
        {"free text", [&] { Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 4)->SetValue("xyz"); }},
        {"parameter", [&] { ParameterTexts(1)[0]->SetValue("2"); }},
    };
    input8.LoadMemory(DeviceImage(SampleConfig()));
    ASSERT_TRUE(panel->ReadFromDevice());
    for (const auto& e : edits) {
        SCOPED_TRACE(e.name);
        Click(ID_INPUT8_SAVE);
        ASSERT_EQ(Status(), "Configuration saved");
        e.edit();
        EXPECT_EQ(Status(), "");
    }
}

TEST_F(Input8PanelTest, ExportedConfigurationImportsBackIntoTheRows)
{
    const fs::path file = fs::temp_directory_path() / ("orv-input8-panel-" + std::to_string(getpid()) + ".bin");
    panel->ApplyInput8Image(SampleConfig());

    prompts.fileAnswers = {file.string()};
    Click(ID_INPUT8_EXPORT);
    EXPECT_EQ(fs::file_size(file), INPUT8_IMAGE_SIZE);

    panel->ClearInput8Panel();
    ASSERT_EQ(panel->BuildInput8Config(), Input8Config{});
    // Emptied, the panel no longer shows what the device holds: Discard lets the import go on.
    prompts.fileAnswers = {file.string()};
    prompts.boxAnswers = {Answer::Discard};
    Click(ID_INPUT8_IMPORT);
    fs::remove(file);

    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" Config Saved ", UNSAVED_EDITS_CAPTION, " Config Loaded "}));
    EXPECT_EQ(panel->BuildInput8Config(), SampleConfig());
    EXPECT_EQ(ParameterTexts(3).size(), 3u);
    EXPECT_EQ(Choice(ID_INPUT8_DESTINATION_BASE + 2)->GetStringSelection(), " ORV-RS232  @ 5 ");
}

// No keeps what the panel showed: the file is the user's choice, and the
// device's configuration on screen must not be lost for it.
TEST_F(Input8PanelTest, ImportAnsweredNoAtTheLinkQuestionKeepsThePanelAndReportsNoSuccess)
{
    const fs::path file = fs::temp_directory_path() / ("orv-input8-unlinked-" + std::to_string(getpid()) + ".bin");
    Input8Config unlinked = SampleConfig();
    unlinked.name = "Elsewhere";
    unlinked.rows[1].destination = 40;  // nothing there
    const std::vector<uint8_t> bytes = EncodeInput8Image(unlinked, ImageForm::File);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    panel->ApplyInput8Image(SampleConfig());
    Control<wxTextCtrl>(ID_INPUT8_NAME)->ChangeValue("Landing");
    Input8Config edited = SampleConfig();
    edited.name = "Landing";

    prompts.fileAnswers = {file.string()};
    prompts.boxAnswers = {Answer::Discard, Answer::No};
    Click(ID_INPUT8_IMPORT);
    fs::remove(file);

    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{UNSAVED_EDITS_CAPTION, "Warn Loading Data "}));
    EXPECT_EQ(panel->BuildInput8Config(), edited);
}

// The panel knows when it holds what the device lacks, and saves it when asked to.
TEST_F(Input8PanelTest, EditsTheDeviceLacksAreKnownAndSavedOnRequest)
{
    input8.LoadMemory(DeviceImage(SampleConfig()));
    ASSERT_TRUE(panel->ReadFromDevice());
    EXPECT_FALSE(panel->HasUnsavedEdits());
    EXPECT_EQ(panel->EditedDeviceLabel(), "ORV-Input8 @ 3");

    Choose(ID_INPUT8_CHANGE_BASE + 9, 2);
    EXPECT_TRUE(panel->HasUnsavedEdits());
    Choose(ID_INPUT8_CHANGE_BASE + 9, 0);
    EXPECT_FALSE(panel->HasUnsavedEdits());

    // A wrong value is an edit, though it builds as the nearest right one.
    ParameterTexts(1)[0]->SetValue("5");
    EXPECT_TRUE(panel->HasUnsavedEdits());
    ParameterTexts(1)[0]->SetValue("3");

    Control<wxTextCtrl>(ID_INPUT8_NAME)->ChangeValue("Landing");
    prompts.boxAnswers = {Answer::Cancel};
    EXPECT_FALSE(MayDropEdits(*panel, prompts));
    EXPECT_EQ(Control<wxTextCtrl>(ID_INPUT8_NAME)->GetValue(), "Landing");
    EXPECT_EQ(HeldImage(input8), DeviceImage(SampleConfig()));

    prompts.boxAnswers = {Answer::Save};
    EXPECT_TRUE(MayDropEdits(*panel, prompts));
    Input8Config expected = SampleConfig();
    expected.name = "Landing";
    EXPECT_EQ(HeldImage(input8), DeviceImage(expected));
    EXPECT_FALSE(panel->HasUnsavedEdits());
    ASSERT_NE(panel->DeviceConfig(), nullptr);
    EXPECT_EQ(*panel->DeviceConfig(), expected);
    EXPECT_EQ(prompts.boxes[1].text, "ORV-Input8 @ 3 has changes that are not saved");
}

// A value outside its range is neither stored as something else (300 as its
// low byte 44, 5 as relay 4) nor sent: Save and Export name the row and the range.
TEST_F(Input8PanelTest, AParameterOutsideItsRangeIsRefusedBeforeASaveOrAnExport)
{
    const fs::path file = fs::temp_directory_path() / ("orv-input8-refused-" + std::to_string(getpid()) + ".bin");
    const struct {
        size_t row;
        size_t field;
        const char* typed;
        const char* refusal;
    } cases[] = {
        {3, 2, "300", "Row 4: a parameter must be a number between 0 and 255"},
        {1, 0, "5", "Row 2: a parameter must be a number between 1 and 4"},
        {0, 0, "", "Row 1: a parameter must be a number between 1 and 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        panel->ApplyInput8Image(SampleConfig());
        ParameterTexts(c.row)[c.field]->SetValue(c.typed);
        bus.ClearHeard();
        prompts.boxes.clear();

        Click(ID_INPUT8_SAVE);
        prompts.fileAnswers = {file.string()};
        Click(ID_INPUT8_EXPORT);

        EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{" Config Not Saved ", " Config Not Exported "}));
        for (const auto& box : prompts.boxes)
            EXPECT_EQ(box.text, c.refusal);
        EXPECT_EQ(Status(), c.refusal);
        EXPECT_EQ(ParameterTexts(c.row)[c.field]->GetValue(), c.typed);
    }

    // Put right without a keystroke event, the refusal stays on the status line until the next save.
    ParameterTexts(0)[0]->ChangeValue("4");
    Click(ID_INPUT8_SAVE);
    EXPECT_FALSE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_EQ(Status(), "Configuration saved");
}

// A stored value outside its range is shown as it is, marked, and not saved
// back; as the device holds it, it is no edit of the user's.
TEST_F(Input8PanelTest, AStoredValueOutsideItsRangeIsShownAsItIs)
{
    Input8Config config = SampleConfig();
    config.rows[2].parameters = {'9', '9'};  // string 100
    config.rows[1].parameters = {'0'};       // relay 0
    input8.LoadMemory(DeviceImage(config));
    ASSERT_TRUE(panel->ReadFromDevice());

    EXPECT_EQ(ParameterTexts(2)[0]->GetValue(), "100");
    EXPECT_EQ(ParameterTexts(2)[0]->GetToolTipText(), "Row 3: a parameter must be a number between 1 and 99");
    EXPECT_EQ(ParameterTexts(1)[0]->GetValue(), "0");
    EXPECT_FALSE(panel->HasUnsavedEdits());
    bus.ClearHeard();
    Click(ID_INPUT8_SAVE);
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());

    // Put right by the user, the values are stored as typed.
    ParameterTexts(1)[0]->SetValue("1");
    ParameterTexts(2)[0]->SetValue("99");
    EXPECT_TRUE(panel->HasUnsavedEdits());
    Click(ID_INPUT8_SAVE);
    config.rows[1].parameters = {'1'};
    config.rows[2].parameters = {'9', '8'};
    EXPECT_EQ(HeldImage(input8), DeviceImage(config));
}

// Stored values the controls cannot show (an input beyond 8, a change beyond
// Close, a destination not on the list, bytes past a free text's end) are no
// edits after the read, and a save of other edits leaves them as they are.
TEST_F(Input8PanelTest, StoredValuesTheControlsCannotShowAreKeptBySave)
{
    Input8Config config = SampleConfig();
    config.rows[5].input = 9;
    config.rows[6].change = ChangeType(5);
    config.rows[7].destination = 200;
    config.rows[8].parameters = {'A', 0, 'B'};
    input8.LoadMemory(DeviceImage(config));
    ASSERT_TRUE(panel->ReadFromDevice());
    EXPECT_EQ(Choice(ID_INPUT8_INPUT_BASE + 5)->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(Choice(ID_INPUT8_DESTINATION_BASE + 7)->GetStringSelection(), "Unused");
    EXPECT_FALSE(panel->HasUnsavedEdits());
    EXPECT_TRUE(MayDropEdits(*panel, prompts));
    EXPECT_TRUE(prompts.boxes.empty());

    Control<wxTextCtrl>(ID_INPUT8_NAME)->ChangeValue("Landing");
    Choose(ID_INPUT8_CHANGE_BASE + 5, int(ChangeType::Close));
    Click(ID_INPUT8_SAVE);
    config.name = "Landing";
    config.rows[5].change = ChangeType::Close;
    EXPECT_EQ(HeldImage(input8), DeviceImage(config));
    EXPECT_FALSE(panel->HasUnsavedEdits());
}

}  // namespace
}  // namespace orv::test
