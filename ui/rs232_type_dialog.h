// The RS232 configuration panel: name, serial rate and the rows of strings
// the device sends or compares, each tied to an action on another device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <wx/panel.h>

#include "model/rs232_config.h"
#include "panel_rules/rs232_panel_rules.h"
#include "panel_rules/unsaved_edits.h"
#include "ui/parameter_fields.h"

class wxBoxSizer;
class wxButton;
class wxChoice;
class wxScrolledWindow;
class wxStaticBoxSizer;
class wxStaticText;
class wxTextCtrl;

namespace orv {

class PanelHost;

constexpr int ID_RS232_NAME = 11102;
constexpr int ID_RS232_SAVE = 20012;
constexpr int ID_RS232_NEW_ROW = 20013;
constexpr int ID_RS232_EXPORT = 20015;
constexpr int ID_RS232_IMPORT = 20016;
constexpr int ID_RS232_RATE = 20017;
constexpr int ID_RS232_START_EMPTY = 20018;
constexpr int ID_RS232_NOTEBOOK = 22020;
// A row's controls carry base + row position; each handled range spans 100 positions.
constexpr int ID_RS232_ROW_DESTINATION = 21210;
constexpr int ID_RS232_ROW_STRING = 21310;
constexpr int ID_RS232_ROW_ACTION = 21410;
constexpr int ID_RS232_ROW_COMMAND = 21510;
constexpr int ID_RS232_ROW_TYPE = 21610;
constexpr int ID_RS232_ROW_DELETE = 21810;
constexpr int ID_RS232_ROW_TEST = 22100;
// Parameter control k of row r is 22300 + r + k, so neighbouring rows share
// identifiers; no handler is bound to them.
constexpr int ID_RS232_ROW_PARAMS = 22300;
constexpr int RS232_ROW_ID_SPAN = 100;

class RS232_Type_Dialog : public wxPanel, public UnsavedEdits {
public:
    RS232_Type_Dialog(PanelHost& host, wxWindow* parent, wxWindowID id = 12121,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 850),
                      long style = wxTAB_TRAVERSAL);

    // The bus address of the RS232 being configured, set before each read.
    void SetDeviceAddress(uint8_t address) { address_ = address; }
    // Reads the device's configuration into the panel (not as a read-back).
    // False when a request was not acknowledged or brought no reply. Unless
    // the read is intact, the panel says that the configuration was not
    // loaded and shows no rows.
    bool ReadFromDevice();

    // The configuration as the controls hold it; only the parameter controls
    // or the command field of the selected action count.
    RS232Config PanelConfig() const;
    // What the device holds as last read or saved; null when that is not known.
    const RS232Config* DeviceConfig() const { return rules_.DeviceConfig(); }

    bool HasUnsavedEdits() const override;
    std::string EditedDeviceLabel() const override;
    bool SaveUnsavedEdits() override;

private:
    // Destination choices: "Unused", "Broadcast", the listed devices and the
    // destination an image holds that is not on the device list.
    static constexpr size_t DESTINATION_TABLE_SIZE = 2 + RS232_DESTINATION_DEVICES + 1;
    static constexpr size_t ACTION_TABLE_SIZE = 50;

    // The controls of one row and the values behind its choices' entries
    // (each entry's client data points into these tables). The row's head
    // (number, type, string, destination, action) opens its first line; its
    // tail (parameters or command, Test String, delete) follows the head, or
    // takes the second line when the page is too narrow for both.
    struct Row {
        wxStaticBoxSizer* line = nullptr;
        wxBoxSizer* firstLine = nullptr;
        wxBoxSizer* secondLine = nullptr;
        wxBoxSizer* head = nullptr;
        wxBoxSizer* tail = nullptr;
        wxChoice* type = nullptr;
        wxTextCtrl* text = nullptr;
        wxChoice* destination = nullptr;
        wxChoice* action = nullptr;
        wxBoxSizer* paramSizer = nullptr;
        wxBoxSizer* commandSizer = nullptr;
        wxTextCtrl* command = nullptr;
        wxButton* test = nullptr;
        // The value fields of the selected action.
        ParameterFields parameters;
        std::array<uint8_t, DESTINATION_TABLE_SIZE> destinationTable{};
        std::array<uint16_t, ACTION_TABLE_SIZE> actionCodeTable{};
        // The destination and action the shown image holds, offered again
        // even where the device list or the catalogue lacks them, so that
        // a save, an export or a deletion keeps the link.
        uint8_t keptDestination = DEST_UNUSED;
        uint16_t keptAction = ACTION_UNUSED;
        // What the destination choice needs to show its longest entry.
        int destinationWidth = 0;
    };

    void AddRS232Row();
    // Selects the entry of destination in the row's destination choice,
    // adding one for a destination that is not on the device list.
    void SelectDestination(size_t r, uint8_t destination);
    void ApplyDestination(size_t r, uint8_t destination, uint16_t action);
    // stored: the row as an image holds it, whose parameter values the
    // controls start from; none starts every bounded value at its minimum and every
    // text empty. The caller lays the rows out.
    void BuildParameterControls(uint16_t action, size_t r, const RS232Row* stored);
    void ShowCommandField(size_t r);
    void ClearRS232Rows();
    void RelayoutRows();
    // Gives every row's choices and their headings one width per column, and
    // puts each tail where the page has room for it.
    void FitRowsToPage();
    // The page's scrolled area as large as the rows now need.
    void FitPageToRows();
    // Shows a configuration read or loaded from an image; every row is replaced.
    void ApplyRS232Image(const RS232Config& config);
    // No configuration: a notice in place of the rows, Save disabled.
    void ShowNotLoaded();
    // The controls that edit, save or export follow what the panel shows.
    void EnableEditing();
    RS232Row RowConfig(const Row& row) const;
    void EnableTestButton(size_t r);
    // Saves the panel to the device with every check; true when the device
    // holds it now. rediscover: a device not yet configured is discovered
    // again after the success box.
    bool Save(bool rediscover);
    // The row and parameter of the first value that does not fit.
    std::optional<std::pair<size_t, size_t>> FirstWrongParameter() const;
    // Refuses a configuration with a value out of range, in a box with
    // caption that names the row and the range, the field focused.
    bool ParametersInRange(const char* caption);
    void ShowFirmwareVersion();
    // A refusal stays in the label only while a value is wrong.
    enum class StatusKind { Hint, Refusal };
    void ShowStatus(const wxString& text, StatusKind kind = StatusKind::Hint);
    void SelectRate(uint32_t rate);

    void OnSaveToDevice(wxCommandEvent& event);
    void OnNewRow(wxCommandEvent& event);
    void OnExport(wxCommandEvent& event);
    void OnImport(wxCommandEvent& event);
    void OnDestinationChanged(wxCommandEvent& event);
    void OnActionChanged(wxCommandEvent& event);
    void OnDeleteRow(wxCommandEvent& event);
    void OnTestString(wxCommandEvent& event);
    void OnStringEdited(wxCommandEvent& event);
    void OnStartEmpty(wxCommandEvent& event);
    // Marks parameter j of row r as wrong while it is, with a hint; the text stays as typed.
    void OnParameterEdited(size_t r, size_t j);
    void OnPageSize(wxSizeEvent& event);

    PanelHost& host_;
    uint8_t address_ = 0;

    wxTextCtrl* nameField_ = nullptr;
    wxChoice* rateChoice_ = nullptr;
    wxStaticText* statusLabel_ = nullptr;
    // The label shows why a parameter value is refused.
    bool statusIsRefusal_ = false;
    wxWindow* newRowButton_ = nullptr;
    wxWindow* saveButton_ = nullptr;
    wxWindow* exportButton_ = nullptr;
    // Says that the configuration was not loaded, with the button that starts an empty one.
    wxBoxSizer* notice_ = nullptr;
    wxStaticText* noticeText_ = nullptr;
    wxScrolledWindow* rowsPage_ = nullptr;
    wxBoxSizer* rowsSizer_ = nullptr;
    // The column headings: a head like a row's, and the "Command:" heading
    // as wide as a row's tail, on the first line or the second as the rows.
    wxBoxSizer* headerFirstLine_ = nullptr;
    wxBoxSizer* headerSecondLine_ = nullptr;
    wxBoxSizer* headerHead_ = nullptr;
    wxBoxSizer* headerTail_ = nullptr;
    wxStaticText* destinationHeading_ = nullptr;
    wxStaticText* actionHeading_ = nullptr;
    // What an action choice needs to show the longest action of the catalogue.
    int actionWidth_ = 0;
    std::vector<std::unique_ptr<Row>> rows_;

    // The rates behind the rate choice: BaudRateTable, then a stored rate
    // outside it while an image with one is shown.
    std::array<uint32_t, BaudRateTable.size() + 1> rateTable_{};
    std::array<StringType, 2> typeValues_{StringType::Hex, StringType::ASCII};

    RS232PanelRules rules_;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace orv
