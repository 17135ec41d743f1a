// The Input8 panel's controls: its layout, the rows an image fills, the
// destination and action lists, the parameter controls and what the panel
// builds back from them.
#include <wx/scrolwin.h>
#include <wx/statbox.h>

#include "model/input8_image.h"
#include "tests/gui/input8/input8_fixture.h"

namespace orv::test {
namespace {

const std::vector<std::string> LED_ACTIONS = {"Unused", "Set All LED Levels", "Set 1 LED Level", "Set LED Automode"};

// The parameter bytes of row r in an image.
std::vector<uint8_t> ParameterBytesOf(const std::vector<uint8_t>& image, size_t r)
{
    const auto at = image.begin() + long(INPUT8_ROWS_OFFSET + r * INPUT8_ROW_SIZE + 5);
    return {at, at + long(INPUT8_PARAMETER_BYTES)};
}

TEST_F(Input8PanelTest, BuiltPanelHasItsControlsAndThirtyTwoRows)
{
    EXPECT_EQ(panel->GetId(), 10008);
    EXPECT_EQ(panel->GetName(), "panel");
    EXPECT_EQ(Status(), "Input8 config. loaded");
    auto* rowsArea = wxDynamicCast(wxWindow::FindWindowByName("InputConfig", panel), wxScrolledWindow);
    ASSERT_NE(rowsArea, nullptr);
    std::vector<std::string> boxes;
    for (wxWindow* child : panel->GetChildren())
        if (auto* box = wxDynamicCast(child, wxStaticBox))
            boxes.push_back(box->GetLabel().ToStdString());
    EXPECT_EQ(boxes, std::vector<std::string>{"Input Type Configuration "});
    ASSERT_NE(Control<wxTextCtrl>(ID_INPUT8_NAME), nullptr);

    for (int r : {0, 31}) {
        SCOPED_TRACE(r);
        wxChoice* input = Choice(ID_INPUT8_INPUT_BASE + r);
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->GetCount(), 8u);
        EXPECT_EQ(input->GetString(7), "Input: 8");
        EXPECT_EQ(input->GetStringSelection(), "Input: 1");
        EXPECT_EQ(Choice(ID_INPUT8_CHANGE_BASE + r)->GetStringSelection(), "Open");
        wxChoice* destination = Choice(ID_INPUT8_DESTINATION_BASE + r);
        EXPECT_EQ(Entries(destination), std::vector<std::string>{"Unused"});
        EXPECT_EQ(destination->GetToolTipText(), "All found Orvanta devices available, selection may change Actions");
        wxChoice* action = Choice(ID_INPUT8_ACTION_BASE + r);
        EXPECT_EQ(Entries(action), std::vector<std::string>{"Unused"});
        EXPECT_EQ(action->GetToolTipText(), "All available actions for selected Destination");
        EXPECT_TRUE(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + r)->IsShown());
        EXPECT_TRUE(ParameterTexts(size_t(r)).empty());
    }
    EXPECT_EQ(Choice(ID_INPUT8_INPUT_BASE + 32), nullptr);

    const std::pair<int, const char*> buttons[] = {{ID_INPUT8_SAVE, "Save to Device"},
                                                   {ID_INPUT8_EXPORT, "Export to PC"},
                                                   {ID_INPUT8_IMPORT, "Import From PC"}};
    for (const auto& [id, label] : buttons) {
        auto* button = Control<wxButton>(id);
        ASSERT_NE(button, nullptr) << label;
        EXPECT_EQ(button->GetLabel(), label);
        EXPECT_FALSE(button->GetToolTipText().empty()) << label;
    }
}

TEST_F(Input8PanelTest, ShownImageFillsTheRowsAndBuildsBackUnchanged)
{
    const Input8Config config = SampleConfig();

    panel->ApplyInput8Image(EncodeInput8Image(config, ImageForm::Device).data());

    EXPECT_TRUE(prompts.boxes.empty());
    EXPECT_EQ(Control<wxTextCtrl>(ID_INPUT8_NAME)->GetValue(), "Hall Switches");
    for (int r : {0, 4, 31})
        EXPECT_EQ(Entries(Choice(ID_INPUT8_DESTINATION_BASE + r)), ALL_DESTINATIONS) << r;
    EXPECT_EQ(Choice(ID_INPUT8_DESTINATION_BASE + 1)->GetStringSelection(), " ORV-Relay  @ 9 ");
    EXPECT_EQ(Entries(Choice(ID_INPUT8_ACTION_BASE + 1)),
              (std::vector<std::string>{"Unused", "Relay Energize", "Relay Deenergize"}));
    EXPECT_EQ(Choice(ID_INPUT8_ACTION_BASE + 3)->GetStringSelection(), "Set LED Automode");
    EXPECT_EQ(Choice(ID_INPUT8_INPUT_BASE + 3)->GetStringSelection(), "Input: 8");
    EXPECT_EQ(Choice(ID_INPUT8_CHANGE_BASE + 4)->GetStringSelection(), "Close");
    EXPECT_EQ(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 4)->GetValue(), "abc");
    ASSERT_EQ(ParameterTexts(0).size(), 2u);
    EXPECT_EQ(ParameterTexts(0)[1]->GetValue(), "200");
    ASSERT_EQ(ParameterTexts(3).size(), 3u);
    EXPECT_EQ(ParameterTexts(3)[2]->GetValue(), "250");
    // The last row with a catalogued action wrote the status line.
    EXPECT_EQ(Status(), "Row 4:Action Parameters updated");

    EXPECT_EQ(panel->BuildInput8Config(), config);
}

TEST_F(Input8PanelTest, ImageWithoutCataloguedActionsShowsTheFirmwareVersion)
{
    Input8Config config;
    config.rows[6].input = 9;  // beyond the entries: no selection, stored again as it is
    config.rows[6].change = ChangeType(3);

    panel->ApplyInput8Image(config);

    EXPECT_EQ(Status(), "Firmware Ver: 1.2A");
    EXPECT_EQ(Choice(ID_INPUT8_INPUT_BASE + 6)->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(Choice(ID_INPUT8_CHANGE_BASE + 6)->GetSelection(), wxNOT_FOUND);
    const InputRow built = panel->BuildInput8Config().rows[6];
    EXPECT_EQ(built.input, 9);
    EXPECT_EQ(uint8_t(built.change), 3);
}

TEST_F(Input8PanelTest, Led4pdDestinationOffersTheLedActionsWithUnusedSelected)
{
    panel->ApplyInput8Image(SampleConfig());  // the first row holds an LED action

    Choose(ID_INPUT8_DESTINATION_BASE + 0, LED4PD_ENTRY);

    wxChoice* action = Choice(ID_INPUT8_ACTION_BASE + 0);
    EXPECT_EQ(Entries(action), LED_ACTIONS);
    EXPECT_EQ(action->GetSelection(), 0);
    EXPECT_EQ(Status(), "Row 1: Actions List updated");
    EXPECT_TRUE(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 0)->IsShown());
    const InputRow built = panel->BuildInput8Config().rows[0];
    EXPECT_EQ(built.destination, LED4PD_ADDRESS);
    EXPECT_EQ(built.action, ACTION_UNUSED);
    EXPECT_EQ(built.parameters, ParameterBytes{});
}

struct ActionCase {
    int entry;
    std::vector<std::string> values;  // as a new row shows them
    std::vector<std::pair<int, int>> ranges;
    std::string status;
};

// Typed in a parameter field, as the user types it.
void Type(wxTextCtrl* field, const std::string& text)
{
    field->SetValue(text);
}

TEST_F(Input8PanelTest, ChosenActionGetsItsParameterFieldsAndHint)
{
    const ActionCase cases[] = {
        {1, {"0", "0", "0", "0"}, {{0, 255}, {0, 255}, {0, 255}, {0, 255}}, "Row 5:Levels: [LED1] [LED2] [LED3] [LED4]"},
        {2, {"1", "0"}, {{1, 4}, {0, 255}}, "Row 5:Options: [LED#] [LED Level]"},
        {3, {"1", "", ""}, {{1, 3}, {0, 255}, {0, 255}}, "Row 5:Automode: [Preset] [Param1] [Param2]"},
    };
    panel->ApplyInput8Image(Input8Config{});
    Choose(ID_INPUT8_DESTINATION_BASE + 4, LED4PD_ENTRY);

    for (const ActionCase& c : cases) {
        SCOPED_TRACE(c.status);
        Choose(ID_INPUT8_ACTION_BASE + 4, c.entry);

        const std::vector<wxTextCtrl*> fields = ParameterTexts(4);
        std::vector<std::string> values;
        for (const wxTextCtrl* field : fields)
            values.push_back(field->GetValue().ToStdString());
        EXPECT_EQ(values, c.values);
        ASSERT_EQ(fields.size(), c.ranges.size());
        for (size_t j = 0; j < fields.size(); ++j)
            EXPECT_EQ(fields[j]->GetId(), ID_INPUT8_PARAMETER_BASE + 4 + int(j));
        EXPECT_EQ(Status(), c.status);
        EXPECT_TRUE(fields[0]->IsShown());
        EXPECT_FALSE(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 4)->IsShown());

        // Each field takes the values of its range, and is shown wrong outside it, as typed.
        for (size_t j = 0; j < fields.size(); ++j) {
            const auto [minimum, maximum] = c.ranges[j];
            const std::string refusal = "Row 5: a parameter must be a number between " + std::to_string(minimum) +
                                        " and " + std::to_string(maximum);
            for (int wrong : {minimum - 1, maximum + 1}) {
                if (wrong < 0)
                    continue;
                Type(fields[j], std::to_string(wrong));
                EXPECT_EQ(Status(), refusal) << j << " " << wrong;
                EXPECT_EQ(fields[j]->GetToolTipText(), refusal);
                EXPECT_EQ(fields[j]->GetValue(), std::to_string(wrong));
            }
            Type(fields[j], std::to_string(maximum));
            EXPECT_EQ(Status(), "") << j;
            EXPECT_EQ(fields[j]->GetToolTipText(), "");
        }
    }

    Choose(ID_INPUT8_ACTION_BASE + 4, 0);
    EXPECT_EQ(Status(), "Row 5: No Action Selected ");
    EXPECT_TRUE(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 4)->IsShown());
    EXPECT_EQ(panel->BuildInput8Config().rows[4].parameters, ParameterBytes{});
}

TEST_F(Input8PanelTest, ParameterTextStoresTheLowByteOfItsNumberAndTheNameIsLatin1)
{
    panel->ApplyInput8Image(Input8Config{});
    Choose(ID_INPUT8_DESTINATION_BASE + 4, LED4PD_ENTRY);
    Choose(ID_INPUT8_ACTION_BASE + 4, 3);
    ParameterTexts(4)[0]->ChangeValue("2");
    ParameterTexts(4)[1]->ChangeValue("300");
    Control<wxTextCtrl>(ID_INPUT8_NAME)->ChangeValue(wxString::FromUTF8("K\xC3\xBC" "che \xE2\x82\xAC"));

    const std::vector<uint8_t> image = panel->BuildInput8Image(ImageForm::File);

    EXPECT_EQ(ParameterBytesOf(image, 4), (std::vector<uint8_t>{2, 44, 0, 0, 0, 0, 0, 0}));
    const size_t row = INPUT8_ROWS_OFFSET + 4 * INPUT8_ROW_SIZE;
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + long(row), image.begin() + long(row) + 5),
              (std::vector<uint8_t>{LED4PD_ADDRESS, 0, 0, ACTION_SET_LED_AUTOMODE, 0}));
    EXPECT_EQ(std::string(image.begin() + 2, image.begin() + 9), "K\xFC" "che ?");
    EXPECT_EQ(image[9], 0);
}

TEST_F(Input8PanelTest, WithOnlyTheInput8RegisteredNoRowCanBeGivenADestination)
{
    while (Registry().Count() > 1)
        Registry().RemoveDevice(1);

    panel->ApplyInput8Image(Input8Config{});

    for (int r = 0; r < int(INPUT8_ROWS); ++r)
        ASSERT_EQ(Entries(Choice(ID_INPUT8_DESTINATION_BASE + r)), std::vector<std::string>{"Unused"}) << r;
    Choose(ID_INPUT8_DESTINATION_BASE + 0, 0);
    EXPECT_EQ(Status(), "Row 1: No Actions in List ");
    EXPECT_EQ(Entries(Choice(ID_INPUT8_ACTION_BASE + 0)), std::vector<std::string>{"Unused"});
}

TEST_F(Input8PanelTest, LinkQuestionUnlinksTheMissingRowsOrEmptiesThePanel)
{
    Input8Config config = SampleConfig();
    config.rows[1].destination = 40;  // nothing there
    config.rows[3].destination = RELAY_ADDRESS;  // does not offer Automode

    prompts.boxAnswers = {Answer::Yes};
    panel->ApplyInput8Image(config);

    ASSERT_EQ(prompts.Captions(), std::vector<std::string>{"Warn Loading Data "});
    Input8Config expected = config;
    expected.rows[1] = {1, ChangeType::Close, 0, ACTION_UNUSED, {}};
    expected.rows[3] = {7, ChangeType::Open, RELAY_ADDRESS, ACTION_UNUSED, {}};
    EXPECT_EQ(panel->BuildInput8Config(), expected);
    EXPECT_TRUE(ParameterTexts(3).empty());
    EXPECT_TRUE(Control<wxTextCtrl>(ID_INPUT8_FREE_TEXT_BASE + 3)->IsShown());
    EXPECT_EQ(ParameterTexts(0).size(), 2u);

    prompts.boxAnswers = {Answer::No};
    panel->ApplyInput8Image(config);

    // No is "cancel loading": nothing is left that could be taken for the device's configuration.
    EXPECT_EQ(prompts.boxes.size(), 2u);
    EXPECT_FALSE(ShowsRows());
    EXPECT_EQ(panel->BuildInput8Config(), Input8Config{});
    EXPECT_EQ(Entries(Choice(ID_INPUT8_DESTINATION_BASE + 0)), std::vector<std::string>{"Unused"});
    EXPECT_TRUE(ParameterTexts(0).empty());
}

// Unlinked, the image holds nothing, as after No; yet Yes keeps the devices to link to.
TEST_F(Input8PanelTest, YesToTheLinkQuestionKeepsTheDestinationsAlsoWhenNothingElseIsLeft)
{
    Input8Config config;
    config.rows[2] = {0, ChangeType::Change, 40, ACTION_RELAY_ENERGIZE,
                      EncodeParameters(ACTION_RELAY_ENERGIZE, {{1}, {}, ""})};

    prompts.boxAnswers = {Answer::Yes};
    panel->ApplyInput8Image(config);

    ASSERT_EQ(prompts.Captions(), std::vector<std::string>{"Warn Loading Data "});
    EXPECT_EQ(panel->BuildInput8Config(), Input8Config{});
    for (int r : {0, 2})
        EXPECT_EQ(Entries(Choice(ID_INPUT8_DESTINATION_BASE + r)), ALL_DESTINATIONS) << r;
    EXPECT_TRUE(ParameterTexts(2).empty());
}

}  // namespace
}  // namespace orv::test
