// The RS232 panel's rows: how a new row starts, what its destination and
// action choices offer, its parameter controls, deletion and the row limit.
#include <wx/bmpbuttn.h>
#include <wx/button.h>
#include <wx/imaglist.h>
#include <wx/notebook.h>

#include "tests/gui/rs232/rs232_panel_fixture.h"

namespace orv::test {
namespace {

using Strings = std::vector<std::string>;

TEST_F(RS232PanelTest, StartsWithoutRowsUnderItsTopLineAndNotebook)
{
    // The device's empty configuration, as read on selection.
    EXPECT_EQ(RowCount(), 0u);
    EXPECT_EQ(StatusLabel(), "Firmware Ver: 1.14");
    wxChoice* rate = Choice(ID_RS232_RATE, 0);
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(Entries(rate), (Strings{"1200", "2400", "4800", "9600", "19200", "38400", "76800", "153600", "307200",
                                      "115200"}));
    EXPECT_EQ(rate->GetSelection(), 0);
    EXPECT_EQ(Text(ID_RS232_NAME, 0)->GetValue(), "");

    auto* notebook = Control<wxNotebook>(ID_RS232_NOTEBOOK);
    ASSERT_NE(notebook, nullptr);
    ASSERT_EQ(notebook->GetPageCount(), 1u);
    EXPECT_EQ(notebook->GetPageText(0), "RS232 STRINGS CONFIG");
    EXPECT_EQ(notebook->GetPageImage(0), 0);
    ASSERT_NE(notebook->GetImageList(), nullptr);
    EXPECT_EQ(notebook->GetImageList()->GetImageCount(), 2);
    EXPECT_EQ(notebook->GetImageList()->GetSize(), wxSize(32, 32));
    for (int id : {ID_RS232_SAVE, ID_RS232_EXPORT, ID_RS232_IMPORT})
        EXPECT_NE(Control<wxButton>(id), nullptr) << id;
    EXPECT_EQ(Control<wxBitmapButton>(ID_RS232_NEW_ROW)->GetBitmap().GetSize(), wxSize(138, 31));
}

TEST_F(RS232PanelTest, NewRowStartsAsAnUnusedAsciiRowWithOnlyUnusedAndBroadcastBesideTheRS232)
{
    NewRows(2);

    ASSERT_EQ(RowCount(), 2u);
    EXPECT_EQ(RowNumber(0), "1:");
    EXPECT_EQ(RowNumber(1), "2:");
    wxChoice* type = Choice(ID_RS232_ROW_TYPE, 1);
    EXPECT_EQ(Entries(type), (Strings{"Hex", "ASCII"}));
    EXPECT_EQ(type->GetStringSelection(), "ASCII");
    EXPECT_EQ(RowText(1), "");
    wxChoice* destination = Choice(ID_RS232_ROW_DESTINATION, 1);
    EXPECT_EQ(Entries(destination), (Strings{"Unused", "Broadcast"}));
    EXPECT_EQ(destination->GetSelection(), 0);
    EXPECT_EQ(Entries(Choice(ID_RS232_ROW_ACTION, 1)), (Strings{"Unused"}));
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, 1)->GetSelection(), 0);
    wxTextCtrl* command = Text(ID_RS232_ROW_COMMAND, 1);
    EXPECT_EQ(command->GetValue(), "");
    EXPECT_TRUE(command->IsShown());
    EXPECT_TRUE(Parameters(1).empty());
    EXPECT_FALSE(Control<wxButton>(ID_RS232_ROW_TEST, 1)->IsEnabled());
    auto* remove = Control<wxBitmapButton>(ID_RS232_ROW_DELETE, 1);
    EXPECT_EQ(remove->GetToolTipText(), "Delete this row");
    EXPECT_EQ(remove->GetBitmap().GetSize(), wxSize(24, 18));
}

TEST_F(RS232PanelTest, DestinationsOfferDevicesWithActionsOtherThanRS232s)
{
    AddRecord("ORV-Input8", TYPE_INPUT8, 3, true);
    AddRecord("ORV-Relay", TYPE_RELAY, 7, true);
    AddRecord("ORV-RS232", TYPE_RS232, 8, true);

    NewRows(1);

    EXPECT_EQ(Entries(Choice(ID_RS232_ROW_DESTINATION, 0)), (Strings{"Unused", "Broadcast", "ORV-Relay @ 7"}));
}

TEST_F(RS232PanelTest, DestinationAndActionChoicesRebuildTheParameterControls)
{
    AddRecord("ORV-Input8", TYPE_INPUT8, 3, true);
    AddRecord("ORV-Relay", TYPE_RELAY, 7, true);
    NewRows(3);
    const size_t row = 2;

    Choose(ID_RS232_ROW_DESTINATION, row, "Broadcast");
    EXPECT_EQ(Entries(Choice(ID_RS232_ROW_ACTION, row)), (Strings{"Unused"}));
    EXPECT_TRUE(Text(ID_RS232_ROW_COMMAND, row)->IsShown());

    Choose(ID_RS232_ROW_DESTINATION, row, "ORV-Relay @ 7");
    EXPECT_EQ(Entries(Choice(ID_RS232_ROW_ACTION, row)), (Strings{"Unused", "Relay Energize", "Relay Deenergize"}));
    Choose(ID_RS232_ROW_ACTION, row, "Relay Energize");
    auto relay = Parameters(row);
    ASSERT_EQ(relay.size(), 1u);
    EXPECT_EQ(relay[0]->GetValue(), "1");
    EXPECT_FALSE(Text(ID_RS232_ROW_COMMAND, row)->IsShown());
    EXPECT_EQ(StatusLabel(), "3: Relay Action: [Relay #]");
    // Its range is 1 to 4: a 5 stays as typed and is marked.
    relay[0]->SetValue("5");
    EXPECT_EQ(relay[0]->GetValue(), "5");
    EXPECT_EQ(relay[0]->GetToolTipText(), "Row 3: a parameter must be a number between 1 and 4");
    EXPECT_EQ(StatusLabel(), "Row 3: a parameter must be a number between 1 and 4");
    relay[0]->SetValue("4");
    EXPECT_EQ(relay[0]->GetToolTipText(), "");

    Text(ID_RS232_ROW_COMMAND, row)->ChangeValue("AT");
    Choose(ID_RS232_ROW_ACTION, row, "Unused");
    EXPECT_TRUE(Parameters(row).empty());
    EXPECT_TRUE(Text(ID_RS232_ROW_COMMAND, row)->IsShown());
    EXPECT_EQ(Text(ID_RS232_ROW_COMMAND, row)->GetValue(), "");

    Choose(ID_RS232_ROW_ACTION, row, "Relay Deenergize");
    ASSERT_EQ(Parameters(row).size(), 1u);
    Choose(ID_RS232_ROW_DESTINATION, row, "Broadcast");
    EXPECT_EQ(Choice(ID_RS232_ROW_ACTION, row)->GetStringSelection(), "Unused");
    EXPECT_TRUE(Parameters(row).empty());
    EXPECT_TRUE(Text(ID_RS232_ROW_COMMAND, row)->IsShown());
    EXPECT_EQ(Text(ID_RS232_ROW_COMMAND, row)->GetValue(), "");
}

// The full top line leaves the status label less than its 200 pixels.
TEST_F(RS232PanelTest, ALongHintIsShownWholeInTheStatusLabel)
{
    AddRecord("ORV-Relay", TYPE_RELAY, 7, true);
    NewRows(1);
    Choose(ID_RS232_ROW_DESTINATION, 0, "ORV-Relay @ 7");

    Choose(ID_RS232_ROW_ACTION, 0, "Relay Energize");

    EXPECT_EQ(StatusLabel(), "1: Relay Action: [Relay #]");
    auto* label = wxStaticCast(wxWindow::FindWindowByName("statusLabel", panel), wxStaticText);
    const wxSize shown = label->GetSize();
    int height = 0;
    for (const wxString& line : wxSplit(label->GetLabel(), '\n')) {
        const wxSize extent = label->GetTextExtent(line);
        EXPECT_LE(extent.x, shown.x) << line;
        height += extent.y;
    }
    EXPECT_GE(shown.y, height);
}

TEST_F(RS232PanelTest, DeletingARowRenumbersTheRestAndDropsEmptyRows)
{
    NewRows(4);
    for (size_t r = 0; r < 4; ++r)
        TypeText(r, std::string(1, char('A' + r)));

    Click(ID_RS232_ROW_DELETE + 1);
    wxTheApp->ProcessPendingEvents();

    ASSERT_EQ(RowCount(), 3u);
    EXPECT_EQ((Strings{RowNumber(0), RowNumber(1), RowNumber(2)}), (Strings{"1:", "2:", "3:"}));
    EXPECT_EQ((Strings{RowText(0), RowText(1), RowText(2)}), (Strings{"A", "C", "D"}));

    NewRows(1);
    Click(ID_RS232_ROW_DELETE + 0);
    wxTheApp->ProcessPendingEvents();

    ASSERT_EQ(RowCount(), 2u);
    EXPECT_EQ((Strings{RowText(0), RowText(1)}), (Strings{"C", "D"}));
    EXPECT_EQ(prompts.Captions(), (Strings{" Delete Row ", " Delete Row "}));
}

TEST_F(RS232PanelTest, DeletingLeavesEveryRowWhenAnotherHoldsInvalidHex)
{
    NewRows(3);
    TypeText(0, "A");
    TypeText(1, "0G");
    Choose(ID_RS232_ROW_TYPE, 1, "Hex");
    TypeText(2, "C");

    Click(ID_RS232_ROW_DELETE + 2);
    wxTheApp->ProcessPendingEvents();

    ASSERT_EQ(prompts.Captions(), (Strings{" Delete Row ", " Output Hex Validation "}));
    EXPECT_EQ(prompts.boxes[1].text,
              "Invalid Hex value for Row: 2. \n\nFormat accepted (space padded hex) : 1E 02 FF");
    ASSERT_EQ(RowCount(), 3u);
    EXPECT_EQ((Strings{RowText(0), RowText(1), RowText(2)}), (Strings{"A", "0G", "C"}));
    EXPECT_EQ(Choice(ID_RS232_ROW_TYPE, 1)->GetStringSelection(), "Hex");
}

TEST_F(RS232PanelTest, NewRowIsRefusedAtTheRowLimitAndWhenMemoryRunsShort)
{
    NewRows(RS232_MAX_ROWS);
    ASSERT_EQ(RowCount(), RS232_MAX_ROWS);
    EXPECT_TRUE(prompts.boxes.empty());

    NewRows(1);

    EXPECT_EQ(RowCount(), RS232_MAX_ROWS);
    ASSERT_EQ(prompts.boxes.size(), 1u);
    EXPECT_EQ(prompts.boxes[0].caption, " RS232 Input Config ");
    EXPECT_EQ(prompts.boxes[0].text, "Not enough memory for a new Row! \n ");

    // 4016 - 15 * 16 - 14 * 255 - 107 = 99 free bytes: one short of a new row.
    Click(ID_RS232_ROW_DELETE + 0);
    wxTheApp->ProcessPendingEvents();
    ASSERT_EQ(RowCount(), 0u);
    NewRows(15);
    for (size_t r = 0; r < 15; ++r)
        TypeText(r, std::string(r < 14 ? 255 : 107, 'x'));
    NewRows(1);
    EXPECT_EQ(RowCount(), 15u);
    EXPECT_EQ(prompts.boxes.size(), 2u);
}

}  // namespace
}  // namespace orv::test
