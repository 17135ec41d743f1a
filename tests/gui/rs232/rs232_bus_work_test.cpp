// While the RS232 panel talks to the bus, a click given as real X input
// reaches no control, neither then nor once the operation is over; the same
// click given after the operation does reach it.
#include <wx/uiaction.h>

#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

struct BusOperation {
    const char* name;
    int button;         // starts it
    uint16_t command;   // the request during which the user clicks
};

class RS232BusWorkTest : public RS232PanelTest, public ::testing::WithParamInterface<BusOperation> {};

TEST_P(RS232BusWorkTest, AClickDuringTheOperationReachesNoControl)
{
    const BusOperation operation = GetParam();
    RS232Config config;
    config.rows = {Row("PWR ON")};
    OpenOnScreen(config);
    ASSERT_EQ(RowCount(), 1u);

    // The user clicks "New Row" while the device is being talked to.
    wxWindow* newRow = panel->FindWindow(ID_RS232_NEW_ROW);
    const wxPoint target = newRow->ClientToScreen(wxPoint(newRow->GetSize().x / 2, newRow->GetSize().y / 2));
    bool clicked = false;
    FunctionResponder clicker([&](const HeardFrame& frame, SimReplyWriter&) {
        if (clicked || frame.command != operation.command)
            return;
        clicked = true;
        wxUIActionSimulator user;
        user.MouseMove(target);
        user.MouseClick();
    });
    bus.Attach(clicker);

    Click(operation.button);
    Settle(300);
    bus.Detach(clicker);

    ASSERT_TRUE(clicked);
    EXPECT_EQ(RowCount(), 1u);

    wxUIActionSimulator user;
    user.MouseMove(target);
    user.MouseClick();
    EXPECT_TRUE(YieldUntil([&] { return RowCount() == 2u; }));
}

INSTANTIATE_TEST_SUITE_P(RS232Panel, RS232BusWorkTest,
                         ::testing::Values(BusOperation{"Save", ID_RS232_SAVE, CONFIG_BLOCK_WRITE},
                                           BusOperation{"TestString", ID_RS232_ROW_TEST, OUTPUT_STRING}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orv::test
