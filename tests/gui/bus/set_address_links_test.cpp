// Set Address with "Update the links that point to this device": the rows of
// another device that point to the moved one are rewritten in that device's
// memory once the move is confirmed, and nothing is read or written before
// the dialog is confirmed.
#include <algorithm>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/listbox.h>

#include "link/commands.h"
#include "model/input8_image.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "ui/set_address.h"
#include "ui/wx_prompts.h"

namespace orv::test {
namespace {

class SetAddressLinksTest : public MainDialogTest {
protected:
    // An Input8 at 1 whose rows 3 and 7 energise the relay at 9, which is selected.
    void SetUp() override
    {
        MainDialogTest::SetUp();
        for (size_t row : {2, 6})
            config.rows[row] = {0, ChangeType::Open, 9, ACTION_RELAY_ENERGIZE,
                                EncodeParameters(ACTION_RELAY_ENERGIZE, {{1}, {}, ""})};
        input8.LoadMemory(EncodeInput8Image(config, ImageForm::Device));
        dialog->DiscoverDevices(BROADCAST_ADDRESS);
        const std::vector<std::string> addresses = Column(1);
        SelectRow(std::find(addresses.begin(), addresses.end(), "9") - addresses.begin());
        bus.ClearHeard();
        prompts.boxes.clear();
    }
    Input8Config Held() const { return DecodeInput8Image(input8.Memory().data()); }

    Input8Config config;
    SimDevice& input8 = AddDevice(SimDeviceKind::Input8, 1, {0x01, 0, 0, 0});
    SimDevice& relay = AddDevice(SimDeviceKind::Relay, 9, {0x09, 0, 0, 0});
};

// The links are rewritten as soon as the relay answers at its new address,
// before the scan that follows; the first box tells both, and Cancel on the
// scan leaves the rows as they were written.
TEST_F(SetAddressLinksTest, TheTickedBoxPointsTheRowsToTheNewAddressBeforeTheScan)
{
    prompts.choiceAnswers = {0};  // address 2
    // Cancel once the scan has passed both devices.
    prompts.onProgressUpdate = [](const RecordedProgress& progress, int value) {
        return progress.options.title != "Looking for Orvanta Devices" || value < 5;
    };
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    ASSERT_EQ(prompts.choiceDialogs.size(), 1u);
    EXPECT_EQ(prompts.choiceDialogs[0].tickLabel, UPDATE_LINKS_LABEL);
    // The Input8's rows are not known yet: the box starts ticked.
    EXPECT_EQ(prompts.ticksOffered, std::vector<bool>{true});
    // No question about rows left pointing at no device; one box for the move and the links.
    ASSERT_EQ(prompts.Captions(), std::vector<std::string>{" Re-discover Devices  "});
    EXPECT_EQ(prompts.boxes[0].text,
              "\n Address changed successfully. ORV-Tool needs to re-discover devices. \n\n ORV-Relay (00 00 00 09) "
              "moved from 9 to 2; 2 rows of ORV-Input8 @ 1 now point to 2, read back.\n\n Press OK to start "
              "Discovery  ");

    EXPECT_EQ(relay.Address(), 2);
    Input8Config expected = config;
    for (size_t row : {2, 6})
        expected.rows[row].destination = 2;
    EXPECT_EQ(Held().rows, expected.rows);
    EXPECT_EQ(Sent(CONFIG_BLOCK_WRITE).size(), 15u);
    // The reads, the move, one question at the new address, the writes; the scan only then.
    std::vector<uint16_t> commands;
    for (const HeardFrame& frame : bus.Heard())
        if (commands.empty() || commands.back() != frame.command)
            commands.push_back(frame.command);
    EXPECT_EQ(commands, (std::vector<uint16_t>{CONFIG_BLOCK_READ, SET_ADDRESS_BY_SN, MODULE_INFO_REQUEST,
                                               CONFIG_BLOCK_WRITE, CONFIG_BLOCK_READ, MODULE_INFO_REQUEST}));
}

// The configurations are read only after the dialog, under a window whose
// Cancel leaves the device where it is.
TEST_F(SetAddressLinksTest, CancelWhileTheLinksAreReadMovesNothing)
{
    prompts.choiceAnswers = {0};
    prompts.onProgressUpdate = [](const RecordedProgress& progress, int) {
        return progress.options.title != "Set Address";
    };
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    ASSERT_FALSE(prompts.progress.empty());
    EXPECT_TRUE(prompts.progress[0]->options.canAbort);
    EXPECT_TRUE(Sent(SET_ADDRESS_BY_SN).empty());
    EXPECT_TRUE(Sent(CONFIG_BLOCK_READ).empty());
    EXPECT_EQ(relay.Address(), 9);
    EXPECT_EQ(Held().rows, config.rows);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(SetAddressLinksTest, NothingIsWrittenWhenTheDialogIsCancelled)
{
    prompts.choiceAnswers = {std::nullopt};
    SendMenuCommand(*frame, ID_SET_ADDRESS);

    EXPECT_EQ(prompts.ticksOffered, std::vector<bool>{true});
    EXPECT_TRUE(Sent(SET_ADDRESS_BY_SN).empty());
    EXPECT_TRUE(Sent(CONFIG_BLOCK_READ).empty());
    EXPECT_TRUE(Sent(CONFIG_BLOCK_WRITE).empty());
    EXPECT_EQ(relay.Address(), 9);
    EXPECT_EQ(Held().rows, config.rows);
}

// The dialog that holds the tick box: between the list and the buttons, on
// screen and for Tab, and starting as it is asked to.
TEST_F(SetAddressLinksTest, TheTickBoxSitsBetweenTheAddressesAndTheButtons)
{
    wxArrayString addressChoices;
    addressChoices.Add("2");
    addressChoices.Add("3");
    for (const bool ticked : {true, false}) {
        TickChoiceDialog dialog(frame, "Please select an Address Value", "Set Device Address", addressChoices,
                                UPDATE_LINKS_LABEL, ticked);
        EXPECT_EQ(dialog.Ticked(), ticked);
        wxWindow* tick = dialog.TickBox();
        wxWindow* addresses = nullptr;
        for (wxWindow* child : dialog.GetChildren())
            if (wxDynamicCast(child, wxListBox))
                addresses = child;
        wxWindow* ok = dialog.FindWindow(wxID_OK);
        ASSERT_NE(addresses, nullptr);
        ASSERT_NE(ok, nullptr);
        EXPECT_GE(tick->GetRect().GetTop(), addresses->GetRect().GetBottom());
        EXPECT_LE(tick->GetRect().GetBottom(), ok->GetRect().GetTop());
        EXPECT_GE(tick->GetSize().GetWidth(), tick->GetBestSize().GetWidth());
        EXPECT_LE(tick->GetRect().GetRight(), dialog.GetClientSize().GetWidth());
        const wxWindowList& order = dialog.GetChildren();
        EXPECT_EQ(order.IndexOf(tick), order.IndexOf(addresses) + 1);
    }
}

}  // namespace
}  // namespace orv::test
