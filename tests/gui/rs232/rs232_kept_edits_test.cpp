// The RS232 panel never loses a link or an edit without saying so: rows
// whose destination has left the bus keep their links, and so do actions
// that a listed destination does not offer, without a question; parameter
// controls are those of the selected action; a free value above one byte
// stays as typed and is refused at Save and Export; Test String only where
// the row shows what the device holds; a save that could not be read back
// says that the panel keeps the edits.
#include <algorithm>
#include <filesystem>

#include <wx/button.h>

#include "config/rs232_files.h"

#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

using Strings = std::vector<std::string>;

constexpr uint8_t RELAY_ADDRESS = 7;
// Not on the device list.
constexpr uint8_t MISSING_ADDRESS = 9;

class RS232KeptEditsTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Relay", TYPE_RELAY, RELAY_ADDRESS, true);
    }

    void Read(const RS232Config& config)
    {
        rs232.LoadMemory(DeviceImage(config));
        ASSERT_TRUE(panel->ReadFromDevice());
    }

    // The device memory holds exactly the image of config.
    void ExpectDeviceHolds(const RS232Config& config)
    {
        const std::vector<uint8_t> expected = DeviceImage(config);
        ASSERT_GE(rs232.Memory().size(), expected.size());
        EXPECT_EQ(std::vector<uint8_t>(rs232.Memory().begin(), rs232.Memory().begin() + long(expected.size())),
                  expected);
    }

    // Every parameter field of the row, shown or not.
    size_t ParameterFields(size_t row)
    {
        size_t count = 0;
        for (wxWindow* child : Choice(ID_RS232_ROW_TYPE, row)->GetParent()->GetChildren())
            count += dynamic_cast<wxTextCtrl*>(child) != nullptr && child->GetId() >= ID_RS232_ROW_PARAMS;
        return count;
    }

    std::vector<bool> TestButtonsEnabled()
    {
        std::vector<bool> enabled;
        for (size_t r = 0; r < RowCount(); ++r)
            enabled.push_back(Control<wxButton>(ID_RS232_ROW_TEST, r)->IsEnabled());
        return enabled;
    }

    void DeleteRow(size_t row)
    {
        Click(ID_RS232_ROW_DELETE + int(row));
        wxTheApp->ProcessPendingEvents();
    }
};

RS232Row RelayRow(const std::string& text, uint8_t destination, uint16_t action, std::vector<int> spins)
{
    RS232Row row = Row(text, StringType::ASCII, destination, action);
    row.spinValues = std::move(spins);
    return row;
}

TEST_F(RS232KeptEditsTest, ARowWhoseDestinationLeftTheBusKeepsItsLinkThroughDeletionAndSave)
{
    RS232Config config;
    config.rows = {Row("GONE"), RelayRow("KEEP", MISSING_ADDRESS, ACTION_RELAY_ENERGIZE, {3})};
    Read(config);

    EXPECT_EQ(Choice(ID_RS232_ROW_DESTINATION, 1)->GetStringSelection(), " Not connected  @ 9 ");
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, 1)->GetStringSelection(), "Relay Energize");
    ASSERT_EQ(Parameters(1).size(), 1u);
    EXPECT_EQ(Parameters(1)[0]->GetValue(), "3");

    DeleteRow(0);
    Click(ID_RS232_SAVE);

    config.rows.erase(config.rows.begin());
    ExpectDeviceHolds(config);
    EXPECT_EQ(prompts.Captions(), (Strings{" Delete Row ", " Config Saved "}));
}

// An action that a listed destination's kind does not offer is kept as it
// is stored, without a question, from the device and from a file; a save
// stores it again.
TEST_F(RS232KeptEditsTest, AnActionTheDestinationDoesNotOfferIsKeptWithoutAQuestion)
{
    const std::string path = (std::filesystem::temp_directory_path() / "orv_rs232_kept_action.bin").string();
    RS232Config config;
    config.rows = {RelayRow("DIM", RELAY_ADDRESS, ACTION_SET_1_LED_LEVEL, {2, 100}),
                   RelayRow("ON", RELAY_ADDRESS, ACTION_RELAY_ENERGIZE, {3}),
                   RelayRow("GONE", MISSING_ADDRESS, ACTION_RELAY_ENERGIZE, {1})};
    prompts.fileAnswers = {path};
    ASSERT_TRUE(ExportRS232Config(config, services));
    prompts.boxes.clear();

    Read(config);
    EXPECT_TRUE(prompts.boxes.empty()) << prompts.Captions().front();
    EXPECT_TRUE(panel->FindWindow(ID_RS232_SAVE)->IsEnabled());
    EXPECT_TRUE(SameRS232Config(panel->PanelConfig(), config));
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, 0)->GetStringSelection(), "Set 1 LED Level");
    EXPECT_EQ(Choice(ID_RS232_ROW_DESTINATION, 2)->GetStringSelection(), " Not connected  @ 9 ");

    prompts.fileAnswers = {path};
    Click(ID_RS232_IMPORT);
    EXPECT_EQ(prompts.Captions(), (Strings{" Config Loaded "}));
    EXPECT_TRUE(SameRS232Config(panel->PanelConfig(), config));
    // The file holds what the device holds: nothing to save.
    EXPECT_FALSE(panel->HasUnsavedEdits());

    Click(ID_RS232_SAVE);
    ExpectDeviceHolds(config);
    std::filesystem::remove(path);
}

TEST_F(RS232KeptEditsTest, OnlyTheSelectedActionsControlsExistAndAreSaved)
{
    RS232Config config;
    config.rows = {RelayRow("PWR", RELAY_ADDRESS, ACTION_RELAY_ENERGIZE, {3})};
    Read(config);

    Choose(ID_RS232_ROW_ACTION, 0, "Unused");
    EXPECT_EQ(ParameterFields(0), 0u);
    EXPECT_TRUE(Text(ID_RS232_ROW_COMMAND, 0)->IsShown());
    Text(ID_RS232_ROW_COMMAND, 0)->ChangeValue("AT+RST");
    Choose(ID_RS232_ROW_ACTION, 0, "Relay Deenergize");
    EXPECT_EQ(ParameterFields(0), 1u);
    EXPECT_FALSE(Text(ID_RS232_ROW_COMMAND, 0)->IsShown());

    Click(ID_RS232_SAVE);

    // The command typed while the action had none is not stored beside the relay.
    ExpectDeviceHolds(RS232Config{"", BaudRateTable[0], {RelayRow("PWR", RELAY_ADDRESS, ACTION_RELAY_DEENERGIZE, {1})}});
}

TEST_F(RS232KeptEditsTest, AFreeValueAboveOneByteStaysAsTypedAndIsRefusedAtSaveAndExport)
{
    constexpr uint8_t LED4_ADDRESS = 8;
    AddRecord("ORV-LED4PD", TYPE_LED4PD, LED4_ADDRESS, true);
    RS232Row automode = RelayRow("AUTO", LED4_ADDRESS, ACTION_SET_LED_AUTOMODE, {2});
    automode.freeTexts = {"10", "20"};
    const RS232Config held{"", BaudRateTable[0], {Row("FIRST"), automode}};
    Read(held);
    // After the one bounded value of the action.
    const std::vector<wxTextCtrl*> freeValues{Text(ID_RS232_ROW_PARAMS, 2), Text(ID_RS232_ROW_PARAMS, 3)};
    ASSERT_NE(freeValues[0], nullptr);
    ASSERT_NE(freeValues[1], nullptr);
    const wxColour normal = freeValues[0]->GetBackgroundColour();

    freeValues[0]->SetValue("300");
    EXPECT_EQ(freeValues[0]->GetValue(), "300");
    EXPECT_NE(freeValues[0]->GetBackgroundColour(), normal);
    EXPECT_EQ(StatusLabel(), "Row 2: a parameter must be a number between 0 and 255");

    prompts.fileAnswers = {(std::filesystem::temp_directory_path() / "orv_rs232_out_of_range.bin").string()};
    Click(ID_RS232_EXPORT);
    Click(ID_RS232_SAVE);
    ASSERT_EQ(prompts.Captions(), (Strings{" Config Not Exported ", " Config Not Saved "}));
    EXPECT_EQ(prompts.boxes[1].text, "Row 2: a parameter must be a number between 0 and 255");
    EXPECT_TRUE(prompts.fileDialogs.empty());
    ExpectDeviceHolds(held);

    freeValues[0]->SetValue("255");
    EXPECT_EQ(freeValues[0]->GetBackgroundColour(), normal);
    EXPECT_EQ(StatusLabel(), "Firmware Ver: 1.14");
    Click(ID_RS232_SAVE);
    automode.freeTexts = {"255", "20"};
    ExpectDeviceHolds(RS232Config{"", BaudRateTable[0], {Row("FIRST"), automode}});
}

TEST_F(RS232KeptEditsTest, TestStringOnlyOnTheFirstTenRowsThatShowWhatTheDeviceHolds)
{
    const std::string path = (std::filesystem::temp_directory_path() / "orv_rs232_kept_edits.bin").string();
    RS232Config config;
    for (int r = 0; r < 12; ++r)
        config.rows.push_back(Row(StrF("S%d", r + 1)));
    Read(config);
    const std::vector<bool> firstTen = [] {
        std::vector<bool> enabled(12, false);
        std::fill_n(enabled.begin(), 10, true);
        return enabled;
    }();
    EXPECT_EQ(TestButtonsEnabled(), firstTen);

    // An edited string is not what the device holds; nor is a new row.
    Text(ID_RS232_ROW_STRING, 2)->SetValue("S3 edited");
    NewRows(1);
    TypeText(12, "S13");
    std::vector<bool> edited = firstTen;
    edited[2] = false;
    edited.push_back(false);
    EXPECT_EQ(TestButtonsEnabled(), edited);

    // A verified save shows what the device holds again.
    Click(ID_RS232_SAVE);
    edited[2] = true;
    EXPECT_EQ(TestButtonsEnabled(), edited);

    // Deleted rows are not at the positions the device has them.
    DeleteRow(0);
    EXPECT_EQ(TestButtonsEnabled(), std::vector<bool>(12, false));
    // Imported rows are where the device holds the same strings, and only there.
    prompts.fileAnswers = {path, path};
    Click(ID_RS232_EXPORT);
    Click(ID_RS232_SAVE);
    Text(ID_RS232_ROW_STRING, 0)->SetValue("S2 edited");
    Click(ID_RS232_SAVE);
    Click(ID_RS232_IMPORT);
    std::filesystem::remove(path);
    std::vector<bool> imported = firstTen;
    imported[0] = false;
    EXPECT_EQ(TestButtonsEnabled(), imported);
}

TEST_F(RS232KeptEditsTest, ASaveThatCannotBeReadBackSaysThePanelKeepsTheEdits)
{
    RS232Config config;
    config.rows = {Row("PWR ON")};
    Read(config);
    TypeText(0, "PWR OFF");
    rs232.Faults().noAckCommand = CONFIG_BLOCK_READ;

    Click(ID_RS232_SAVE);

    ASSERT_EQ(prompts.Captions(), (Strings{" Config Not Saved "}));
    EXPECT_EQ(prompts.boxes[0].text,
              "The configuration was not saved.\n\nThe device could not be read back after the save, so what it holds "
              "now is not known.\nThe panel keeps the configuration as it was edited. Please try Saving again.");
    EXPECT_EQ(RowText(0), "PWR OFF");
    // What the device holds after blocks went out is not known.
    EXPECT_FALSE(Control<wxButton>(ID_RS232_ROW_TEST, 0)->IsEnabled());
}

TEST_F(RS232KeptEditsTest, TheTestStringResultAlsoShowsInTheStatusBar)
{
    RS232Config config;
    config.rows = {Row("S1"), Row("S2")};
    Read(config);

    Click(ID_RS232_ROW_TEST + 1);
    rs232.Faults().silent = true;
    Click(ID_RS232_ROW_TEST + 0);

    using Status = std::pair<int, std::string>;
    EXPECT_EQ(prompts.statusTexts, (std::vector<Status>{{0, "Test String 2: Sent, ACK Received"},
                                                        {0, "Test String 1: NO ACK from the ORV-RS232"}}));
}

}  // namespace
}  // namespace orv::test
