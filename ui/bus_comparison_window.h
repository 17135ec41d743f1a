// The comparison of a backup folder with the bus in one resizable window: a
// table of the devices, the differences of the selected one as a list, and
// the whole comparison as text for the clipboard.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "wholebus/bus_comparison.h"

class wxButton;
class wxListBox;
class wxListCtrl;
class wxStaticText;

namespace orv {

// The window's name, by which it can be found.
constexpr const char* BUS_COMPARISON_WINDOW_NAME = "busComparison";

// The table's columns.
enum ComparisonColumn { COLUMN_KIND, COLUMN_SERIAL, COLUMN_BUS_ADDRESS, COLUMN_BACKUP_ADDRESS, COLUMN_BUS_FIRMWARE,
                        COLUMN_BACKUP_FIRMWARE, COLUMN_STATUS };

// The comparison in lines: the folder, one line per device with its status,
// its differences indented under it, and whether the bus matches.
std::string ComparisonText(const BusComparison& comparison, const std::string& folder);

class BusComparisonWindow;
// Writes the backup's configuration to the devices of the comparison's rows.
using WriteRows = std::function<void(BusComparisonWindow& window, const std::vector<size_t>& rows)>;
// Puts a spare device of the comparison in the place of the missing device of a row.
using ReplaceRow = std::function<void(BusComparisonWindow& window, size_t missingRow)>;

class BusComparisonWindow : public wxDialog {
public:
    // Modeless: shown by the caller, destroyed when closed. With write, every
    // device that can be written has a tick box (ticked when it differs) and
    // "Write Ticked Devices ..." hands the ticked rows to write. With
    // replace, "Replace ..." hands it the selected row of a device missing on
    // the bus when a spare of its kind is there.
    BusComparisonWindow(wxWindow* parent, BusComparison comparison, std::string folder, WriteRows write = {},
                        ReplaceRow replace = {});

    const BusComparison& Comparison() const { return comparison_; }
    bool IsTicked(long row) const;
    // Whether row shows a tick box at all: only a device that can be written does.
    bool HasTickBox(long row) const;
    // Ticks a row; a device that cannot be written keeps its box empty.
    void Tick(long row, bool ticked);
    // The ticked rows to write; nothing happens without one.
    void WriteTicked();

    // The rows of the spares that may take the place of the missing device of row.
    std::vector<size_t> SparesFor(size_t row) const;
    // Hands the selected row to replace when it has spares.
    void ReplaceSelected();
    // After spareRow's device took the place of missingRow's: both rows say
    // so, and neither is offered for a replacement again.
    void MarkReplaced(size_t missingRow, size_t spareRow);
    // After the backup's configuration was written to row's device and read
    // back the same: the row says so and is no longer ticked, and the verdict
    // is given again.
    void MarkWritten(size_t row);
    // "The bus matches the backup." or "The bus differs from the backup.";
    // after a write, the devices not read again since the window opened are named.
    wxString Verdict() const;

    wxListCtrl* DeviceTable() const { return table_; }
    wxButton* ReplaceButton() const { return replaceButton_; }
    wxListBox* Differences() const { return differences_; }
    // Shows the differences of the device in the table's row.
    void SelectDevice(long row);
    // Puts ComparisonText on the clipboard; false when the clipboard cannot be opened.
    bool CopyAsText();

private:
    void OnClose(wxCloseEvent& event);

    BusComparison comparison_;
    std::string folder_;
    WriteRows write_;
    ReplaceRow replace_;
    std::vector<size_t> replaced_;  // rows of both sides of the replacements done
    std::string comparedAt_;         // when the comparison read the bus, "10:42"
    long selected_ = -1;
    wxStaticText* heading_ = nullptr;
    wxListCtrl* table_ = nullptr;
    wxButton* replaceButton_ = nullptr;
    wxListBox* differences_ = nullptr;
};

}  // namespace orv
