// The RS232 panel on a desktop: with a row of every action kind, every
// control can be reached at the frame's first size, maximised and at its
// smallest; the choices show their entries whole; the rows area takes the
// height the fixed lines leave.
#include <functional>

#include <wx/notebook.h>

#include "tests/gui/geometry_check.h"
#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

constexpr uint8_t INPUT8_ADDRESS = 3;
constexpr uint8_t RELAY_ADDRESS = 7;
constexpr uint8_t LED4_ADDRESS = 8;
// Not on the device list.
constexpr uint8_t MISSING_ADDRESS = 9;

RS232Row ParameterRow(uint8_t destination, uint16_t action, std::vector<int> spins,
                      std::vector<std::string> texts = {})
{
    RS232Row row = Row("PWR ON", StringType::ASCII, destination, action);
    row.spinValues = std::move(spins);
    row.freeTexts = std::move(texts);
    return row;
}

class RS232LayoutTest : public RS232PanelTest {
protected:
    void SetUp() override
    {
        RS232PanelTest::SetUp();
        AddRecord("ORV-Input8", TYPE_INPUT8, INPUT8_ADDRESS, true);
        AddRecord("ORV-Relay", TYPE_RELAY, RELAY_ADDRESS, true);
        AddRecord("ORV-LED4PD", TYPE_LED4PD, LED4_ADDRESS, true);
    }

    // One row per action the catalogue offers an RS232, beside command rows
    // and a row whose destination has left the bus.
    static RS232Config EveryActionKind()
    {
        RS232Config config;
        RS232Row command = Row("AT", StringType::ASCII, DEST_UNUSED);
        command.command = "AT+RST";
        RS232Row broadcast = Row("02 FE A1", StringType::Hex, DEST_BROADCAST);
        broadcast.command = "LAMP ON";
        config.rows = {
            command,
            broadcast,
            ParameterRow(INPUT8_ADDRESS, ACTION_SEND_STRING, {99}),
            ParameterRow(LED4_ADDRESS, ACTION_SET_ALL_LED_LEVELS, {255, 255, 255, 255}),
            ParameterRow(LED4_ADDRESS, ACTION_SET_1_LED_LEVEL, {4, 255}),
            ParameterRow(LED4_ADDRESS, ACTION_SET_LED_AUTOMODE, {3}, {"255", "255"}),
            ParameterRow(RELAY_ADDRESS, ACTION_RELAY_ENERGIZE, {4}),
            ParameterRow(RELAY_ADDRESS, ACTION_RELAY_DEENERGIZE, {4}),
            ParameterRow(MISSING_ADDRESS, ACTION_SET_ALL_LED_LEVELS, {1, 2, 3, 4}),
        };
        return config;
    }

};

TEST_F(RS232LayoutTest, EveryRowOfEveryActionKindCanBeReachedAtAnyFrameSize)
{
    const std::vector<std::pair<std::string, std::function<void(wxFrame*)>>> frameStates{
        {"first size", [](wxFrame*) {}},
        {"as large as the work area", [](wxFrame* shown) { shown->SetSize(wxDisplay(shown).GetClientArea()); }},
        {"smallest", [](wxFrame* shown) { shown->SetSize(shown->GetMinSize()); }},
    };
    OpenOnScreen(EveryActionKind());
    ASSERT_EQ(RowCount(), EveryActionKind().rows.size());
    wxWindow* page = Control<wxNotebook>(ID_RS232_NOTEBOOK)->GetPage(0);

    for (const auto& [name, apply] : frameStates) {
        apply(frame);
        Settle();
        EXPECT_TRUE(ControlsFit(frame)) << name;
        // Nothing to scroll sideways to: the rows take the page's width, no more.
        EXPECT_LE(page->GetVirtualSize().x, page->GetClientSize().x) << name;
    }
}

TEST_F(RS232LayoutTest, ChoicesAreWideEnoughForTheirLongestEntry)
{
    OpenOnScreen(EveryActionKind());

    for (size_t r = 0; r < RowCount(); ++r)
        for (int base : {ID_RS232_ROW_DESTINATION, ID_RS232_ROW_ACTION, ID_RS232_ROW_TYPE}) {
            wxChoice* choice = Choice(base, r);
            EXPECT_GE(choice->GetSize().x, choice->GetBestSize().x)
                << "row " << r + 1 << ": " << choice->GetStringSelection();
        }
}

// The longest status texts, a refusal and a hint, are shown whole, also in
// the frame as narrow as a 1024 x 768 desktop leaves it.
TEST_F(RS232LayoutTest, StatusTextsAreShownWhole)
{
    OpenOnScreen(EveryActionKind());
    auto* status = wxStaticCast(wxWindow::FindWindowByName("statusLabel", panel), wxStaticText);
    const auto whole = [&] {
        const wxArrayString lines = wxSplit(status->GetLabel(), '\n', '\0');
        int width = 0;
        for (const wxString& line : lines)
            width = std::max(width, status->GetTextExtent(line).x);
        const int height = int(lines.size()) * status->GetTextExtent("Ag").y;
        const wxRect rect = status->GetScreenRect();
        const wxRect box = panel->GetChildren().front()->GetScreenRect();
        const wxRect notebook = panel->FindWindow(ID_RS232_NOTEBOOK)->GetScreenRect();
        return ::testing::AssertionResult(rect.width >= width && rect.height >= height && box.Contains(rect) &&
                                          !rect.Intersects(notebook))
               << '"' << status->GetLabel() << "\" " << rect.width << "x" << rect.height << " for " << width << "x"
               << height;
    };
    for (const int width : {frame->GetSize().x, 1024}) {
        SCOPED_TRACE(width);
        frame->SetSize(wxSize(width, frame->GetSize().y));
        Settle();
        Parameters(3)[0]->SetValue("300");
        Settle();
        EXPECT_EQ(status->GetLabel(), "Row 4: a parameter must be a number between 0 and 255");
        EXPECT_TRUE(whole());
        Parameters(3)[0]->SetValue("255");
        Choose(ID_RS232_ROW_ACTION, 4, "Unused");
        Choose(ID_RS232_ROW_ACTION, 4, "Set All LED Levels");
        Settle();
        EXPECT_EQ(status->GetLabel(), "5: Levels: [LED1] [LED2] [LED3] [LED4]");
        EXPECT_TRUE(whole());
    }
}

TEST_F(RS232LayoutTest, OnlyTheRowsAreaGrowsWithTheFrame)
{
    OpenOnScreen(EveryActionKind());
    auto* notebook = Control<wxNotebook>(ID_RS232_NOTEBOOK);
    wxWindow* save = panel->FindWindow(ID_RS232_SAVE);
    // Only the height changes: on a narrow page the top line takes a second line.
    const wxRect area = wxDisplay(frame).GetClientArea();
    frame->SetSize(area.x, area.y, area.width, frame->GetMinSize().y);
    Settle();
    const int panelBefore = panel->GetSize().y;
    const int notebookBefore = notebook->GetSize().y;
    const int saveBefore = save->GetSize().y;

    frame->SetSize(area);
    Settle();

    ASSERT_GT(panel->GetSize().y, panelBefore);
    EXPECT_EQ(notebook->GetSize().y - notebookBefore, panel->GetSize().y - panelBefore);
    EXPECT_EQ(save->GetSize().y, saveBefore);
}

}  // namespace
}  // namespace orv::test
