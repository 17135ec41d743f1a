#include "ui/bus_comparison_window.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/datetime.h>
#include <wx/dcmemory.h>
#include <wx/imaglist.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "model/latin1.h"
#include "ui/bus_report_window.h"
#include "wholebus/device_replacement.h"

namespace orv {

namespace {

wxString Utf8(const std::string& text)
{
    return wxString::FromUTF8(text);
}

const DeviceRecord& RecordOf(const DeviceComparison& device)
{
    return device.bus ? *device.bus : device.backup->record;
}

// The room a column needs beside its text, and the tick box in the first column.
constexpr int COLUMN_PADDING = 24;
constexpr int TICK_BOX_WIDTH = 32;

// Each column as wide as its heading and its widest cell, so that nothing is
// cut; the width of the whole table.
int FitColumns(wxListCtrl* table, bool tickBoxes)
{
    int total = 0;
    for (int c = 0; c < table->GetColumnCount(); ++c) {
        wxListItem heading;
        heading.SetMask(wxLIST_MASK_TEXT);
        table->GetColumn(c, heading);
        int width = table->GetTextExtent(heading.GetText()).x;
        for (long row = 0; row < table->GetItemCount(); ++row)
            width = std::max(width, table->GetTextExtent(table->GetItemText(row, c)).x);
        width += COLUMN_PADDING + (c == 0 && tickBoxes ? TICK_BOX_WIDTH : 0);
        table->SetColumnWidth(c, width);
        total += width;
    }
    return total;
}

// A tick box is drawn only beside a device that can be written (the LED4PD
// and the Relay hold no configuration): the boxes are the rows' images, drawn
// as the toolkit draws a tick box, and a row without one has no image.
enum TickImage { NO_TICK_BOX = -1, TICK_BOX_EMPTY = 0, TICK_BOX_TICKED = 1 };

wxImageList* TickBoxImages(wxWindow* table)
{
    const wxSize size = wxRendererNative::Get().GetCheckBoxSize(table);
    auto* images = new wxImageList(size.x, size.y, false);
    for (const int flags : {0, int(wxCONTROL_CHECKED)}) {
        wxBitmap bitmap(size);
        {
            wxMemoryDC dc(bitmap);
            dc.SetBackground(wxBrush(table->GetBackgroundColour()));
            dc.Clear();
            wxRendererNative::Get().DrawCheckBox(table, dc, wxRect(size), flags);
        }
        images->Add(bitmap);
    }
    return images;
}

int ItemImage(wxListCtrl* table, long row)
{
    wxListItem item;
    item.SetId(row);
    item.SetMask(wxLIST_MASK_IMAGE);
    return table->GetItem(item) ? item.GetImage() : NO_TICK_BOX;
}

}  // namespace

std::string ComparisonText(const BusComparison& comparison, const std::string& folder)
{
    std::ostringstream out;
    out << "Backup " << folder << " against the bus\n";
    for (const DeviceComparison& device : comparison.devices) {
        const uint8_t address = RecordOf(device).address;
        out << device.DeviceText() << " at address " << int(address) << ": " << StatusText(device) << '\n';
        for (const std::string& line : device.differences)
            out << "    " << line << '\n';
    }
    if (comparison.interfaceLost)
        out << "the interface was lost: the comparison is incomplete\n";
    else if (comparison.cancelled)
        out << "cancelled: the devices not read say so\n";
    out << (comparison.Matches() ? "the bus matches the backup\n" : "the bus differs from the backup\n");
    return out.str();
}

BusComparisonWindow::BusComparisonWindow(wxWindow* parent, BusComparison comparison, std::string folder,
                                         WriteRows write, ReplaceRow replace)
    : wxDialog(parent, wxID_ANY, write ? _("Restore Bus") : _("Compare with Backup"), wxDefaultPosition, wxSize(900, 560),
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER, BUS_COMPARISON_WINDOW_NAME),
      comparison_(std::move(comparison)), folder_(std::move(folder)), write_(std::move(write)),
      replace_(std::move(replace)), comparedAt_(wxDateTime::Now().Format("%H:%M").utf8_string())
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    heading_ = new wxStaticText(this, wxID_ANY, _("Backup: ") + Utf8(folder_) + "\n" + Verdict());
    sizer->Add(heading_, 0, wxALL, 8);

    table_ = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
    if (write_)
        table_->AssignImageList(TickBoxImages(table_), wxIMAGE_LIST_SMALL);
    const char* const columns[] = {"Kind",           "Serial",           "Address (bus)", "Address (backup)",
                                   "Firmware (bus)", "Firmware (backup)", "Status"};
    for (int c = 0; c < int(std::size(columns)); ++c)
        table_->InsertColumn(c, columns[c]);
    for (size_t i = 0; i < comparison_.devices.size(); ++i) {
        const DeviceComparison& device = comparison_.devices[i];
        const long row = table_->InsertItem(long(i), Utf8(Latin1ToUtf8(RecordOf(device).name)),
                                            write_ && device.Writable() ? TICK_BOX_EMPTY : NO_TICK_BOX);
        table_->SetItem(row, COLUMN_SERIAL, SerialText(RecordOf(device).serialNumber));
        if (device.bus) {
            table_->SetItem(row, COLUMN_BUS_ADDRESS, wxString::Format("%d", device.bus->address));
            table_->SetItem(row, COLUMN_BUS_FIRMWARE, FirmwareText(*device.bus));
        }
        if (device.backup) {
            table_->SetItem(row, COLUMN_BACKUP_ADDRESS, wxString::Format("%d", device.backup->record.address));
            table_->SetItem(row, COLUMN_BACKUP_FIRMWARE, FirmwareText(device.backup->record));
        }
        table_->SetItem(row, COLUMN_STATUS, Utf8(StatusText(device)));
        if (write_)
            Tick(row, device.NeedsWrite());
    }
    const int tableWidth = FitColumns(table_, bool(write_));
    sizer->Add(table_, 3, wxEXPAND | wxLEFT | wxRIGHT, 8);

    sizer->Add(new wxStaticText(this, wxID_ANY, _("Differences of the selected device:")), 0, wxALL, 8);
    differences_ = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(-1, 120));
    sizer->Add(differences_, 2, wxEXPAND | wxLEFT | wxRIGHT, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    if (replace_) {
        replaceButton_ = new wxButton(this, wxID_ANY, _("Replace ..."));
        replaceButton_->SetToolTip(_("Puts a device that is not configured in the place of the selected device, "
                                     "missing on the bus: its address and its configuration"));
        replaceButton_->Disable();
        buttons->Add(replaceButton_, 0, wxRIGHT, 8);
        replaceButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ReplaceSelected(); });
    }
    if (write_) {
        auto* writeButton = new wxButton(this, wxID_ANY, _("Write Ticked Devices ..."));
        buttons->Add(writeButton, 0, wxRIGHT, 8);
        writeButton->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { WriteTicked(); });
        // A click on a box, or Space on a row, turns its tick.
        table_->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
            int flags = 0;
            const long row = table_->HitTest(event.GetPosition(), flags);
            if (row >= 0 && (flags & wxLIST_HITTEST_ONITEMICON))
                Tick(row, !IsTicked(row));
            event.Skip();
        });
        table_->Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
            if (event.GetKeyCode() == WXK_SPACE && event.GetIndex() >= 0)
                Tick(event.GetIndex(), !IsTicked(event.GetIndex()));
            else
                event.Skip();
        });
    }
    auto* copy = new wxButton(this, wxID_ANY, _("Copy as Text"));
    auto* close = new wxButton(this, wxID_CLOSE, _("Close"));
    buttons->Add(copy, 0, wxRIGHT, 8);
    buttons->Add(close);
    sizer->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 8);
    SetSizer(sizer);
    SetMinSize(wxSize(480, 320));
    // Wide enough for the whole table where the screen allows, never wider than the screen.
    const wxRect screen = ScreenAreaOf(parent ? parent : this);
    SetSize(std::min(std::max(tableWidth + 2 * 8 + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this) + 8, 640),
                     screen.width),
            std::min(560, screen.height));
    SetEscapeId(wxID_CLOSE);
    close->SetDefault();
    KeepCentredOnParent(this);

    table_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& event) { SelectDevice(event.GetIndex()); });
    copy->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CopyAsText(); });
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    Bind(wxEVT_CLOSE_WINDOW, &BusComparisonWindow::OnClose, this);

    // The first device that differs is shown at once.
    for (size_t i = 0; i < comparison_.devices.size(); ++i)
        if (!comparison_.devices[i].differences.empty()) {
            table_->SetItemState(long(i), wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
            SelectDevice(long(i));
            break;
        }
}

void BusComparisonWindow::SelectDevice(long row)
{
    differences_->Clear();
    selected_ = row < 0 || size_t(row) >= comparison_.devices.size() ? -1 : row;
    const std::vector<size_t> spares = selected_ < 0 ? std::vector<size_t>{} : SparesFor(size_t(row));
    if (replaceButton_)
        replaceButton_->Enable(!spares.empty());
    if (selected_ < 0)
        return;
    const DeviceComparison& device = comparison_.devices[size_t(row)];
    if (device.differences.empty())
        differences_->Append(Utf8(table_->GetItemText(row, COLUMN_STATUS).utf8_string()));
    for (const std::string& line : device.differences)
        differences_->Append(Utf8(line));
    if (replace_)
        for (size_t spare : spares)
            differences_->Append(Utf8(comparison_.devices[spare].DeviceText() + " at address " +
                                      std::to_string(comparison_.devices[spare].bus->address) +
                                      " is not configured: Replace ... puts it in this device's place"));
}

std::vector<size_t> BusComparisonWindow::SparesFor(size_t row) const
{
    std::vector<size_t> spares;
    const auto done = [this](size_t r) { return std::find(replaced_.begin(), replaced_.end(), r) != replaced_.end(); };
    for (const auto& [missing, spare] : ReplacementCandidates(comparison_.devices))
        if (missing == row && !done(missing) && !done(spare))
            spares.push_back(spare);
    return spares;
}

void BusComparisonWindow::ReplaceSelected()
{
    if (replace_ && selected_ >= 0 && !SparesFor(size_t(selected_)).empty())
        replace_(*this, size_t(selected_));
}

void BusComparisonWindow::MarkReplaced(size_t missingRow, size_t spareRow)
{
    replaced_.push_back(missingRow);
    replaced_.push_back(spareRow);
    const DeviceComparison& missing = comparison_.devices[missingRow];
    const DeviceComparison& spare = comparison_.devices[spareRow];
    table_->SetItem(long(missingRow), COLUMN_STATUS, Utf8("replaced by " + spare.DeviceText()));
    table_->SetItem(long(spareRow), COLUMN_STATUS, Utf8("in the place of " + missing.DeviceText()));
    FitColumns(table_, bool(write_));
    SelectDevice(selected_);
}

void BusComparisonWindow::MarkWritten(size_t row)
{
    MarkWrittenFromBackup(comparison_, row);
    const DeviceComparison& device = comparison_.devices[row];
    table_->SetItem(long(row), COLUMN_STATUS, Utf8(StatusText(device) + " (written from the backup)"));
    Tick(long(row), false);
    heading_->SetLabel(_("Backup: ") + Utf8(folder_) + "\n" + Verdict());
    FitColumns(table_, bool(write_));
    SelectDevice(selected_);
}

wxString BusComparisonWindow::Verdict() const
{
    return Utf8(ComparisonVerdict(comparison_, comparedAt_));
}

bool BusComparisonWindow::IsTicked(long row) const
{
    return write_ && ItemImage(table_, row) == TICK_BOX_TICKED;
}

bool BusComparisonWindow::HasTickBox(long row) const
{
    return write_ && ItemImage(table_, row) != NO_TICK_BOX;
}

void BusComparisonWindow::Tick(long row, bool ticked)
{
    if (HasTickBox(row))
        table_->SetItemImage(row, ticked ? TICK_BOX_TICKED : TICK_BOX_EMPTY);
}

void BusComparisonWindow::WriteTicked()
{
    std::vector<size_t> rows;
    for (long row = 0; row < table_->GetItemCount(); ++row)
        if (IsTicked(row))
            rows.push_back(size_t(row));
    if (!rows.empty())
        write_(*this, rows);
}

bool BusComparisonWindow::CopyAsText()
{
    wxClipboardLocker locker;
    if (!locker)
        return false;
    return wxTheClipboard->SetData(new wxTextDataObject(Utf8(ComparisonText(comparison_, folder_))));
}

void BusComparisonWindow::OnClose(wxCloseEvent&)
{
    Destroy();
}

}  // namespace orv
