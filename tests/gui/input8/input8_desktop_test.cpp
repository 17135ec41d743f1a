// The Input8 panel on the desktop, in the frame at its default size: every row
// can be reached and used, by mouse and by keyboard.
#include <wx/scrolwin.h>

#include "tests/gui/geometry_check.h"
#include "tests/gui/input8/input8_fixture.h"
#include "tests/gui/on_screen.h"

namespace orv::test {
namespace {

class Input8DesktopTest : public Input8PanelTest {
protected:
    void SetUp() override
    {
        Input8PanelTest::SetUp();
        frame->mainDialog->HideAllPanels();
        panel->Show();
        frame->mainDialog->RelayoutPanels();
        ASSERT_TRUE(ShowOnScreen(frame));
    }

    wxScrolledWindow* RowsArea() const
    {
        return wxDynamicCast(wxWindow::FindWindowByName("InputConfig", panel), wxScrolledWindow);
    }

    // Whether the whole of row r can be seen in the rows area.
    bool RowInView(size_t r) const
    {
        const wxWindow* box = Choice(ID_INPUT8_ACTION_BASE + int(r))->GetParent();
        const wxRect area(RowsArea()->ClientToScreen(wxPoint(0, 0)), RowsArea()->GetClientSize());
        return area.Contains(box->GetScreenRect());
    }
};

// One row for every action of the catalogue, one without: the widest rows there are.
TEST_F(Input8DesktopTest, RowsOfEveryActionFitThePageAtTheDefaultSize)
{
    Input8Config config;
    const struct {
        uint8_t destination;
        uint16_t action;
    } rows[] = {
        {RS232_ADDRESS, ACTION_SEND_STRING},       {LED4PD_ADDRESS, ACTION_SET_ALL_LED_LEVELS},
        {LED4PD_ADDRESS, ACTION_SET_1_LED_LEVEL},  {LED4PD_ADDRESS, ACTION_SET_LED_AUTOMODE},
        {RELAY_ADDRESS, ACTION_RELAY_ENERGIZE},    {RELAY_ADDRESS, ACTION_RELAY_DEENERGIZE},
    };
    for (size_t r = 0; r < std::size(rows); ++r)
        config.rows[r] = {uint8_t(r), ChangeType::Open, rows[r].destination, rows[r].action, {}};
    panel->ApplyInput8Image(config);
    Settle();

    EXPECT_TRUE(ControlsFit(frame));
    EXPECT_EQ(Spins(1).size(), 4u);
}

TEST_F(Input8DesktopTest, FocusMovingIntoAHiddenRowScrollsItIntoView)
{
    panel->ApplyInput8Image(SampleConfig());
    Settle();
    ASSERT_FALSE(RowInView(20));

    Choice(ID_INPUT8_INPUT_BASE + 20)->SetFocus();

    EXPECT_TRUE(YieldUntil([&] { return RowInView(20); }));
}

TEST_F(Input8DesktopTest, AConfigurationShownAnewStartsAtRowOne)
{
    panel->ApplyInput8Image(SampleConfig());
    RowsArea()->Scroll(0, 60);
    Settle();
    ASSERT_GT(RowsArea()->GetViewStart().y, 0);

    panel->ApplyInput8Image(SampleConfig());

    EXPECT_EQ(RowsArea()->GetViewStart().y, 0);
    EXPECT_TRUE(RowInView(0));
}

}  // namespace
}  // namespace orv::test
