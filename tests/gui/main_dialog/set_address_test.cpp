// Set Address names the device that moves and, when the links to it are not
// to be updated, asks before the move about the rows of other devices that
// would be left pointing at no device.
#include <algorithm>
#include <string>
#include <vector>

#include "link/commands.h"
#include "model/input8_image.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"

namespace orv::test {
namespace {

class SetAddressTest : public MainDialogTest {
protected:
    // An Input8 at 1 whose rows 3 and 7 energise the relay at 9; both read.
    void SetUp() override
    {
        MainDialogTest::SetUp();
        Input8Config config;
        for (size_t row : {2, 6})
            config.rows[row] = {0, ChangeType::Open, 9, ACTION_RELAY_ENERGIZE,
                                EncodeParameters(ACTION_RELAY_ENERGIZE, {{1}, {}, ""})};
        AddDevice(SimDeviceKind::Input8, 1, {0x01, 0, 0, 0}).LoadMemory(EncodeInput8Image(config, ImageForm::Device));
        AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
        dialog->DiscoverDevices(0);
        ASSERT_EQ(Column(1), (std::vector<std::string>{"1", "9"}));
        SelectRow(0);
        ASSERT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
        SelectRow(1);
        ASSERT_TRUE(prompts.boxes.empty()) << prompts.boxes.front().text;
        bus.ClearHeard();
        prompts.boxes.clear();
        prompts.statusTexts.clear();
    }

    static bool Holds(const std::string& text, const std::string& part)
    {
        return text.find(part) != std::string::npos;
    }
};

TEST_F(SetAddressTest, TheDialogNamesTheDeviceAndCancelAtTheLinkedRowsKeepsIt)
{
    prompts.choiceAnswers = {0};  // address 2
    prompts.tickAnswers = {false};
    prompts.boxAnswers = {Answer::Cancel};
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    ASSERT_EQ(prompts.choiceDialogs.size(), 1u);
    EXPECT_TRUE(Holds(prompts.choiceDialogs[0].message, "ORV-Relay (00 00 00 09) at address 9"))
        << prompts.choiceDialogs[0].message;
    ASSERT_EQ(prompts.boxes.size(), 1u);
    const MessageBoxOptions& question = prompts.boxes[0];
    EXPECT_EQ(question.buttons, Buttons::OkCancel);
    for (const char* part : {" 2 rows ", "ORV-Input8 @ 1: rows 3, 7", "address 2"})
        EXPECT_TRUE(Holds(question.text, part)) << part << " in " << question.text;
    EXPECT_TRUE(Sent(SET_ADDRESS_BY_SN).empty());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "9"}));
}

TEST_F(SetAddressTest, OkMovesTheDeviceAndTheStatusBarSaysWhere)
{
    prompts.choiceAnswers = {0};
    prompts.tickAnswers = {false};
    prompts.boxAnswers = {Answer::Ok, Answer::Ok};
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    EXPECT_EQ(Sent(SET_ADDRESS_BY_SN).size(), 1u);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "2"}));
    ASSERT_FALSE(prompts.statusTexts.empty());
    EXPECT_EQ(prompts.statusTexts.back(),
              (std::pair<int, std::string>{0, "Set Address: ORV-Relay (00 00 00 09) moved from address 9 to 2"}));
    // The rows still send to 9, where no device is now; the relay at 2 has none.
    EXPECT_TRUE(dialog->Links().LinksTo(2).empty());
    EXPECT_EQ(LinkingRowsText(dialog->Links().LinksTo(9)), " ORV-Input8 @ 1: rows 3, 7\n");
}

TEST_F(SetAddressTest, ADeviceWithoutKnownLinksMovesWithoutTheQuestion)
{
    SelectRow(0);
    prompts.boxes.clear();
    prompts.choiceAnswers = {0};
    prompts.boxAnswers = {Answer::Ok};
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " Re-discover Devices  ");
    EXPECT_EQ(Sent(SET_ADDRESS_BY_SN).size(), 1u);
}

}  // namespace
}  // namespace orv::test
