#include <gtest/gtest.h>

#include "link/bus_link.h"
#include "network/bus_reconnect.h"
#include "tests/gui/main_dialog/main_dialog_fixture.h"

namespace orv::test {

// The ORV-NET pulled while a selected Input8 is read: one box names the loss,
// the device is not taken for gone, and the next command offers to look for
// the interface again instead of running into time-outs.
TEST_F(MainDialogTest, APulledInterfaceIsToldOnceAndTheNextCommandOffersToReconnect)
{
    AddDevice(SimDeviceKind::Input8, 3, {0x78, 0x56, 0x34, 0x12});
    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);
    ASSERT_EQ(list->GetItemCount(), 1);
    prompts.boxes.clear();

    bus.LoseLineAtWrite(1);
    SelectRow(0);
    EXPECT_EQ(prompts.Captions(), (std::vector<std::string>{INTERFACE_LOST_CAPTION}));
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->IntroPanel()});

    const size_t heard = bus.Heard().size();
    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::No};
    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, INTERFACE_LOST_CAPTION);
    EXPECT_EQ(prompts.boxes[0].text, RECONNECT_QUESTION);
    EXPECT_EQ(bus.Heard().size(), heard);
    EXPECT_EQ(list->GetItemCount(), 1);

    prompts.boxes.clear();
    prompts.boxAnswers = {Answer::Yes};
    SendMenuCommand(*frame, ID_QUICK_DISCOVERY);
    EXPECT_FALSE(BusInterfaceLost());
    EXPECT_EQ(Column(0), (std::vector<std::string>{"ORV-Input8 (12 34 56 78)"}));
    SelectRow(0);
    EXPECT_EQ(ShownPanels(), std::vector<wxWindow*>{dialog->InputPanel()});
}

}  // namespace orv::test
