// The comparison of a backup folder with the bus in one resizable window: a
// table of the devices, the differences of the selected one as a list, and
// the whole comparison as text for the clipboard.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "config/bus_comparison.h"

class wxListBox;
class wxListCtrl;

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

class BusComparisonWindow : public wxDialog {
public:
    // Modeless: shown by the caller, destroyed when closed. With write, every
    // device that can be written has a tick box (ticked when it differs) and
    // "Write Ticked Devices ..." hands the ticked rows to write.
    BusComparisonWindow(wxWindow* parent, BusComparison comparison, std::string folder, WriteRows write = {});

    const BusComparison& Comparison() const { return comparison_; }
    bool IsTicked(long row) const;
    // Ticks a row; a device that cannot be written keeps its box empty.
    void Tick(long row, bool ticked);
    // The ticked rows to write; nothing happens without one.
    void WriteTicked();

    wxListCtrl* DeviceTable() const { return table_; }
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
    wxListCtrl* table_ = nullptr;
    wxListBox* differences_ = nullptr;
};

}  // namespace orv
