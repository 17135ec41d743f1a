#include <wx/uiaction.h>

#include "tests/gui/main_dialog/main_dialog_fixture.h"
#include "tests/gui/on_screen.h"

namespace orv::test {
namespace {

// A real click: the row goes while the list control is still handling the
// click that selected it.
TEST_F(MainDialogTest, ClickingADeviceThatDoesNotAnswerRemovesItsRowSafely)
{
    AddDevice(SimDeviceKind::Relay, 6, {0x06, 0, 0, 0});
    AddDevice(SimDeviceKind::Input8, 4, {0x04, 0, 0, 0}).Faults().noAckCommand = CONFIG_BLOCK_READ;
    dialog->DiscoverDevices(BROADCAST_ADDRESS);
    ASSERT_TRUE(ShowOnScreen(frame));

    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(1, rect));
    wxUIActionSimulator sim;
    sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxPoint(20, rect.height / 2)));
    wxTheApp->Yield(true);
    sim.MouseClick();

    EXPECT_TRUE(YieldUntil([&] { return !prompts.boxes.empty(); }));
    // The release of the button reaches the list after the rows were rebuilt.
    Settle();
    EXPECT_EQ(Column(1), std::vector<std::string>{"6"});
}

}  // namespace
}  // namespace orv::test
