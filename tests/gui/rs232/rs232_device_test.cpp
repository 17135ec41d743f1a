// The RS232 panel with the device and files: the first read (intact,
// damaged, unanswered), the save with its read-back, the test strings, and
// export and import.
#include <cstdio>
#include <filesystem>
#include <functional>

#include <wx/button.h>

#include "panel_rules/unsaved_edits.h"
#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

using Strings = std::vector<std::string>;

class RS232DeviceTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Relay", TYPE_RELAY, 7, true);
    }

    // A gateway whose rows go to the Relay at 7, as a Hex string, and as a broadcast command.
    static RS232Config Gateway()
    {
        RS232Config config;
        config.name = "Projector Gateway";
        config.baudRate = 115200;
        RS232Row relay = Row("50 57 52 20 4F 4E 0D", StringType::Hex, 7, ACTION_RELAY_ENERGIZE);
        relay.spinValues = {3};
        RS232Row hex = Row("02 FE A1", StringType::Hex);
        RS232Row broadcast = Row("LAMP", StringType::ASCII, DEST_BROADCAST);
        broadcast.command = "AT+RST";
        config.rows = {relay, hex, broadcast};
        return config;
    }

    size_t HeardBroadcastQueries() const
    {
        size_t count = 0;
        for (const HeardFrame& frame : bus.Heard())
            count += frame.command == MODULE_INFO_REQUEST && frame.destination == BROADCAST_ADDRESS;
        return count;
    }

    // Fills the panel as the user would: the gateway's name, 9600 and two rows.
    void EditRows()
    {
        Text(ID_RS232_NAME, 0)->ChangeValue("Hall Gateway");
        Choice(ID_RS232_RATE, 0)->SetSelection(3);
        NewRows(2);
        TypeText(0, "PWR ON");
        Choose(ID_RS232_ROW_DESTINATION, 0, "ORV-Relay @ 7");
        Choose(ID_RS232_ROW_ACTION, 0, "Relay Energize");
        Parameters(0)[0]->SetValue("2");
        TypeText(1, "02 FE A1");
        Choose(ID_RS232_ROW_TYPE, 1, "Hex");
        Choose(ID_RS232_ROW_DESTINATION, 1, "Broadcast");
        Text(ID_RS232_ROW_COMMAND, 1)->ChangeValue("AT");
    }

    RS232Config EditedConfig()
    {
        RS232Config config;
        config.name = "Hall Gateway";
        config.baudRate = 9600;
        RS232Row relay = Row("PWR ON", StringType::ASCII, 7, ACTION_RELAY_ENERGIZE);
        relay.spinValues = {2};
        RS232Row hex = Row("02 FE A1", StringType::Hex, DEST_BROADCAST);
        hex.command = "AT";
        config.rows = {relay, hex};
        return config;
    }
};

TEST_F(RS232DeviceTest, IntactReadShowsTheImageWithEnabledTestButtons)
{
    rs232.LoadMemory(DeviceImage(Gateway()));

    ASSERT_TRUE(panel->ReadFromDevice());

    EXPECT_EQ(Text(ID_RS232_NAME, 0)->GetValue(), "Projector Gateway");
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetStringSelection(), "115200");
    EXPECT_EQ(StatusLabel(), "Firmware Ver: 1.14");
    ASSERT_EQ(RowCount(), 3u);
    // A string with a byte that is not printable comes back in Hex, a blank after each byte.
    EXPECT_EQ((Strings{RowText(0), RowText(1), RowText(2)}), (Strings{"50 57 52 20 4F 4E 0D ", "02 FE A1 ", "LAMP"}));
    EXPECT_EQ(Choice(ID_RS232_ROW_TYPE, 0)->GetStringSelection(), "Hex");
    EXPECT_EQ(Choice(ID_RS232_ROW_DESTINATION, 0)->GetStringSelection(), "ORV-Relay @ 7");
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, 0)->GetStringSelection(), "Relay Energize");
    ASSERT_EQ(Parameters(0).size(), 1u);
    EXPECT_EQ(Parameters(0)[0]->GetValue(), "3");
    EXPECT_EQ(Choice(ID_RS232_ROW_DESTINATION, 2)->GetStringSelection(), "Broadcast");
    EXPECT_EQ(Text(ID_RS232_ROW_COMMAND, 2)->GetValue(), "AT+RST");
    for (size_t r = 0; r < 3; ++r)
        EXPECT_TRUE(Control<wxButton>(ID_RS232_ROW_TEST, r)->IsEnabled()) << r;
}

TEST_F(RS232DeviceTest, RateOutsideTheTableIsKeptAsAnEntryOfItsOwn)
{
    RS232Config config = Gateway();
    config.baudRate = 250000;
    rs232.LoadMemory(DeviceImage(config));

    ASSERT_TRUE(panel->ReadFromDevice());
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetCount(), 11u);
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetStringSelection(), "250000");

    rs232.LoadMemory(DeviceImage(Gateway()));
    ASSERT_TRUE(panel->ReadFromDevice());
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetCount(), 10u);
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetStringSelection(), "115200");
}

// Nothing of the device shown before, nor an empty configuration, stands
// for a configuration that was not loaded.
TEST_F(RS232DeviceTest, ADamagedOrUnansweredReadShowsThatNothingWasLoaded)
{
    struct Case {
        const char* name;
        std::function<void(SimDevice&)> fault;
        bool readDone;
        Strings boxes;
    };
    const Case cases[] = {
        {"unanswered", [](SimDevice& d) { d.Faults().silent = true; }, false, {}},
        {"damaged", [](SimDevice& d) { d.Memory()[60] ^= 0xFF; }, true, {"Warn Loading Data "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rs232.Faults().silent = false;
        rs232.LoadMemory(DeviceImage(Gateway()));
        ASSERT_TRUE(panel->ReadFromDevice());
        prompts.boxes.clear();

        c.fault(rs232);
        EXPECT_EQ(panel->ReadFromDevice(), c.readDone);

        EXPECT_EQ(prompts.Captions(), c.boxes);
        EXPECT_EQ(RowCount(), 0u);
        EXPECT_EQ(Text(ID_RS232_NAME, 0)->GetValue(), "");
        EXPECT_EQ(StatusLabel(), "Config. not loaded");
        wxWindow* notice = wxWindow::FindWindowByName("notLoadedNotice", panel);
        EXPECT_TRUE(notice->IsShown());
        EXPECT_EQ(notice->GetLabel().ToStdString().rfind("The configuration of ORV-RS232 @ 5 was not loaded.", 0), 0u);
        for (int id : {ID_RS232_SAVE, ID_RS232_EXPORT, ID_RS232_NEW_ROW, ID_RS232_NAME, ID_RS232_RATE})
            EXPECT_FALSE(panel->FindWindow(id)->IsEnabled()) << id;
        EXPECT_TRUE(panel->FindWindow(ID_RS232_IMPORT)->IsEnabled());
        EXPECT_EQ(panel->DeviceConfig(), nullptr);
        EXPECT_FALSE(panel->HasUnsavedEdits());
    }
}

TEST_F(RS232DeviceTest, TestStringSendsTheFirstDigitOfTheRowPositionForTheFirstTenRows)
{
    RS232Config config;
    for (int r = 0; r < 13; ++r)
        config.rows.push_back(Row(StrF("S%d", r + 1)));
    rs232.LoadMemory(DeviceImage(config));
    ASSERT_TRUE(panel->ReadFromDevice());
    ASSERT_EQ(RowCount(), 13u);

    Click(ID_RS232_ROW_TEST + 0);
    Click(ID_RS232_ROW_TEST + 9);
    Click(ID_RS232_ROW_TEST + 12);

    EXPECT_EQ(rs232.OutputStrings(), (std::vector<std::vector<uint8_t>>{{0x30}, {0x39}}));
    EXPECT_EQ(prompts.Captions(), (Strings{" RS232 Test String "}));
    EXPECT_EQ(prompts.boxes.back().text, "Only the first ten strings (rows 1 to 10) can be tested from here.");
}

TEST_F(RS232DeviceTest, SaveWritesTheRowsAndShowsTheReadBack)
{
    EditRows();

    Click(ID_RS232_SAVE);

    const std::vector<uint8_t> expected = DeviceImage(EditedConfig());
    ASSERT_GE(rs232.Memory().size(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(rs232.Memory().begin(), rs232.Memory().begin() + long(expected.size())),
              expected);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " Config Saved ");
    EXPECT_EQ(prompts.boxes[0].text, " Save SUCCESS \n RS232 configuration has been saved Succesfully");
    EXPECT_EQ(HeardBroadcastQueries(), 0u);
    // The read-back is shown: the Hex row with its blank, and the Test String buttons enabled.
    ASSERT_EQ(RowCount(), 2u);
    EXPECT_EQ(RowText(1), "02 FE A1 ");
    EXPECT_EQ(Parameters(0)[0]->GetValue(), "2");
    EXPECT_TRUE(Control<wxButton>(ID_RS232_ROW_TEST, 1)->IsEnabled());
}

TEST_F(RS232DeviceTest, SaveToAnUnconfiguredDeviceRediscoversAfterTheSuccessBox)
{
    Registry().RemoveDevice(0);
    AddRecord("ORV-RS232", TYPE_RS232, RS232_ADDRESS, false);
    Registry().Select(uint8_t(Registry().Count() - 1));
    EditRows();

    Click(ID_RS232_SAVE);

    ASSERT_FALSE(prompts.boxes.empty());
    EXPECT_EQ(prompts.boxes[0].text, " Save SUCCESS \n Click OK to re-discover the device to set it correctly");
    EXPECT_GE(HeardBroadcastQueries(), 1u);
}

// A Save at the unsaved-edits question goes on to what the user asked for,
// not to a discovery: its box says so instead of promising one.
TEST_F(RS232DeviceTest, SaveAtTheQuestionToAnUnconfiguredDeviceSaysWhatHappens)
{
    Registry().RemoveDevice(0);
    AddRecord("ORV-RS232", TYPE_RS232, RS232_ADDRESS, false);
    Registry().Select(uint8_t(Registry().Count() - 1));
    EditRows();
    prompts.boxAnswers = {Answer::Save};

    EXPECT_TRUE(MayDropEdits(*panel, prompts));

    ASSERT_EQ(prompts.boxes.size(), 2u);
    EXPECT_EQ(prompts.boxes[1].caption, " Config Saved ");
    EXPECT_EQ(prompts.boxes[1].text, " Save SUCCESS \n RS232 configuration has been saved Succesfully\n\n The device "
                                     "list shows it as configured after the next discovery.");
    EXPECT_EQ(HeardBroadcastQueries(), 0u);
}

TEST_F(RS232DeviceTest, SaveWithAnUnacknowledgedBlockIsNotReportedAsSaved)
{
    EditRows();
    rs232.Faults().noAckCommand = CONFIG_BLOCK_WRITE;
    rs232.Faults().noAckBlock = 1;

    Click(ID_RS232_SAVE);

    // One message: the read's warning, as the read-back is damaged, and what the panel shows: the edits.
    ASSERT_EQ(prompts.Captions(), (Strings{"Warn Loading Data "}));
    EXPECT_NE(prompts.boxes[0].text.find("The panel keeps the configuration as it was edited."), std::string::npos);
    EXPECT_EQ(RowText(1), "02 FE A1");
    EXPECT_TRUE(panel->HasUnsavedEdits());
}

TEST_F(RS232DeviceTest, SaveWhoseOnlyUnacknowledgedBlockIsThePaddingIsNotReportedAsSaved)
{
    // 46 + 15 + 33 + 2 = 96 bytes: blocks 0 to 2 carry the image, block 3 only zeros.
    NewRows(1);
    TypeText(0, std::string(32, 'x'));
    rs232.Faults().noAckCommand = CONFIG_BLOCK_WRITE;
    rs232.Faults().noAckBlock = 3;

    Click(ID_RS232_SAVE);

    EXPECT_EQ(prompts.Captions(), (Strings{" Config Not Saved "}));
    EXPECT_TRUE(Control<wxButton>(ID_RS232_ROW_TEST, 0)->IsEnabled());
}

TEST_F(RS232DeviceTest, ExportedRowsComeBackOnImport)
{
    const std::string path = (std::filesystem::temp_directory_path() / "orv_rs232_panel_test.bin").string();
    EditRows();
    prompts.fileAnswers = {path, path};

    Click(ID_RS232_EXPORT);
    Click(ID_RS232_ROW_DELETE + 0);
    wxTheApp->ProcessPendingEvents();
    Text(ID_RS232_NAME, 0)->ChangeValue("Other");
    // The edits the file replaces are asked about first.
    prompts.boxAnswers = {Answer::Discard};
    Click(ID_RS232_IMPORT);
    std::remove(path.c_str());

    EXPECT_EQ(prompts.Captions(),
              (Strings{" Config Saved ", " Delete Row ", UNSAVED_EDITS_CAPTION, " Config Loaded "}));
    EXPECT_EQ(Text(ID_RS232_NAME, 0)->GetValue(), "Hall Gateway");
    EXPECT_EQ(Choice(ID_RS232_RATE, 0)->GetStringSelection(), "9600");
    ASSERT_EQ(RowCount(), 2u);
    EXPECT_EQ((Strings{RowText(0), RowText(1)}), (Strings{"PWR ON", "02 FE A1 "}));
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, 0)->GetStringSelection(), "Relay Energize");
    EXPECT_EQ(Text(ID_RS232_ROW_COMMAND, 1)->GetValue(), "AT");
}

}  // namespace
}  // namespace orv::test
