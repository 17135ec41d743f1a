// The RS232 rows page follows the user: a new row is scrolled into view with
// its string field focused, a newly shown configuration starts at row 1, and
// focus moving into a row out of view brings it into view.
#include <wx/notebook.h>

#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

constexpr size_t MANY_ROWS = 20;

class RS232ScrollingTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        RS232Config config;
        for (size_t r = 0; r < MANY_ROWS; ++r)
            config.rows.push_back(Row(StrF("S%zu", r + 1)));
        OpenOnScreen(config);
        page = wxDynamicCast(Control<wxNotebook>(ID_RS232_NOTEBOOK)->GetPage(0), wxScrolledWindow);
        ASSERT_NE(page, nullptr);
    }

    // The whole control lies in the part of the page on screen.
    bool InView(wxWindow* control) const
    {
        const wxRect view(page->ClientToScreen(wxPoint(0, 0)), page->GetClientSize());
        return view.Contains(control->GetScreenRect());
    }

    int ViewStart() const { return page->GetViewStart().y; }

    wxScrolledWindow* page = nullptr;
};

TEST_F(RS232ScrollingTest, ANewRowIsScrolledIntoViewWithItsStringFocused)
{
    ASSERT_FALSE(InView(Text(ID_RS232_ROW_STRING, MANY_ROWS - 1)));

    Click(ID_RS232_NEW_ROW);
    Settle(100);

    wxTextCtrl* text = Text(ID_RS232_ROW_STRING, MANY_ROWS);
    EXPECT_TRUE(InView(text));
    EXPECT_TRUE(InView(panel->FindWindow(ID_RS232_ROW_DELETE + int(MANY_ROWS))));
    EXPECT_EQ(wxWindow::FindFocus(), text);
}

TEST_F(RS232ScrollingTest, ANewlyShownConfigurationStartsAtRow1)
{
    page->Scroll(0, page->GetVirtualSize().y);
    ASSERT_GT(ViewStart(), 0);

    ASSERT_TRUE(panel->ReadFromDevice());
    Settle(100);

    EXPECT_EQ(ViewStart(), 0);
    EXPECT_TRUE(InView(Text(ID_RS232_ROW_STRING, 0)));
}

TEST_F(RS232ScrollingTest, FocusMovingIntoARowOutOfViewScrollsItIntoView)
{
    wxTextCtrl* last = Text(ID_RS232_ROW_STRING, MANY_ROWS - 1);
    ASSERT_FALSE(InView(last));

    last->SetFocus();
    Settle(100);

    EXPECT_TRUE(InView(last));
}

}  // namespace
}  // namespace orv::test
