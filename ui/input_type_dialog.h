// The Input8 configuration panel: the device name and 32 rows, each tying a
// change of an input to an action on another device.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <wx/panel.h>

#include "config/block_transfer.h"
#include "model/catalogue.h"
#include "model/input8_config.h"
#include "model/input8_image.h"
#include "panel_rules/input8_panel_rules.h"
#include "panel_rules/unsaved_edits.h"
#include "ui/parameter_fields.h"

class wxBoxSizer;
class wxChoice;
class wxScrolledWindow;
class wxStaticBoxSizer;
class wxStaticText;
class wxTextCtrl;

namespace orv {

class PanelHost;

constexpr int ID_INPUT8_SAVE = 10092;
constexpr int ID_INPUT8_EXPORT = 10093;
constexpr int ID_INPUT8_IMPORT = 10094;
constexpr int ID_INPUT8_START_EMPTY = 10095;
constexpr int ID_INPUT8_NAME = 11102;
constexpr int ID_INPUT8_STATIC_TEXT = 5105;
// Row r's controls carry base + r.
constexpr int ID_INPUT8_INPUT_BASE = 11110;
constexpr int ID_INPUT8_DESTINATION_BASE = 11210;
constexpr int ID_INPUT8_CHANGE_BASE = 11310;
constexpr int ID_INPUT8_ACTION_BASE = 11410;
constexpr int ID_INPUT8_FREE_TEXT_BASE = 11510;
// Parameter control j of row r carries base + r + j; neighbouring rows share
// identifiers, and no event is bound to them.
constexpr int ID_INPUT8_PARAMETER_BASE = 11600;

// Entry 0 stands for "Unused"; the others are the devices offered as destinations.
constexpr size_t INPUT8_DESTINATION_ENTRIES = 50;
constexpr size_t INPUT8_ACTION_ENTRIES = 50;

class Input_Type_Dialog : public wxPanel, public UnsavedEdits {
public:
    Input_Type_Dialog(PanelHost& host, wxWindow* parent, wxWindowID id = 10008,
                      const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(850, 850),
                      long style = wxTAB_TRAVERSAL);

    // The bus address of the Input8 being configured, set before each read.
    void SetDeviceAddress(uint8_t address) { address_ = address; }
    // Reads the device's configuration into the panel. False when a request
    // was not acknowledged or brought no reply. After that, a damaged image
    // or No at the link question, the panel says that the configuration was
    // not loaded and shows no rows; Save stays disabled until a file is
    // imported or the user starts from an empty configuration.
    bool ReadFromDevice();
    // What the device holds as last read or saved; null when not known.
    const Input8Config* DeviceConfig() const { return rules_.DeviceConfig(); }

    bool HasUnsavedEdits() const override;
    std::string EditedDeviceLabel() const override;
    // Save to Device, its checks and boxes included.
    bool SaveUnsavedEdits() override;

    // Shows the empty configuration; the destination lists then offer only "Unused".
    void ClearInput8Panel();
    // Shows the device's configuration: destinations from the registry,
    // actions from the catalogue, then the link question for rows whose action
    // cannot be reached; No shows that the configuration was not loaded.
    void ApplyInput8Image(const Input8Config& config);
    // An imported configuration, shown as ApplyInput8Image shows it, but No to
    // the link question leaves the panel as it was: false then.
    bool ImportInput8Image(const Input8Config& config);
    // image holds INPUT8_IMAGE_SIZE bytes.
    void ApplyInput8Image(const uint8_t* image);
    // What Save and Export store: what the panel shows, and where the user
    // changed nothing, the values taken, also those the controls cannot show.
    Input8Config BuildInput8Config() const;
    std::vector<uint8_t> BuildInput8Image(ImageForm form) const;
    // Replaces row's parameter controls by those of action; the values come
    // from parameters when given, else the controls show their minimum and
    // empty texts. The hint names the action's parameters in the status line.
    void BuildParameterControls(size_t row, uint16_t action, const ParameterBytes* parameters, bool showHint);

private:
    struct Row {
        wxStaticBoxSizer* line = nullptr;
        wxSizer* content = nullptr;
        wxChoice* input = nullptr;
        wxChoice* change = nullptr;
        wxChoice* destination = nullptr;
        wxChoice* action = nullptr;
        wxBoxSizer* parameterArea = nullptr;
        wxBoxSizer* freeTextArea = nullptr;
        wxTextCtrl* freeText = nullptr;
        // The value fields of the row's action.
        ParameterFields parameters;
    };

    void CreateControls();
    // The link question has been answered Yes for the rows in unlinked, if
    // any. Returns what the device is to hold of config once they are unlinked.
    Input8Config ShowConfig(const Input8Config& config, const std::vector<size_t>& unlinked);
    // What the controls show, as they code it.
    Input8Config ShownConfig() const;
    // Every parameter holds a value of its range; otherwise the first that
    // does not is focused and named in the status line and in a box with
    // caption.
    bool ParametersInRange(const char* caption);
    void ParameterTyped(size_t r, size_t j);
    // Row r's parameter j named as wrong on the status line; the text shown.
    std::string ShowRefusal(size_t r, size_t j);
    // Row and parameter of the first value outside its range; with typedOnly,
    // of the first one the user typed.
    std::optional<std::pair<size_t, size_t>> FirstWrongParameter(bool typedOnly = false) const;
    void CreateRow(size_t r, wxSizer* rowsSizer);
    void SetStatus(const wxString& text);

    void ShowRow(size_t r, const InputRow& row);
    void FillDestinations();
    // Row r's action list: "Unused", selected.
    void ResetActionList(size_t r);
    // "Unused" and the actions of the kind at destination; the number of actions.
    size_t OfferActions(size_t r, uint8_t destination);
    void DestroyParameterControls(Row& row);
    // The parameter area hidden, the free-text area shown with an empty text.
    void ShowFreeText(Row& row);
    void LayoutRow(const Row& row);
    void LayoutRowsArea();
    // Nothing shown, Save and Export disabled, the notice in place of the rows.
    void ShowNotLoaded();
    // The controls as the rules have them: rows, notice, Save and Export.
    void ShowRulesState();
    // "ORV-Input8 @ 3"
    std::string DeviceLabel() const;
    // True when the device holds what the panel showed. rediscover: a device
    // that held no configuration is discovered again after the success box.
    bool SaveToDevice(bool rediscover);
    TypeAtAddressFn TypeAt() const;

    void OnSaveToDevice(wxCommandEvent& event);
    void OnExportToPc(wxCommandEvent& event);
    void OnImportFromPc(wxCommandEvent& event);
    void OnStartEmpty(wxCommandEvent& event);
    void OnDestinationChanged(wxCommandEvent& event);
    void OnActionChanged(wxCommandEvent& event);
    // Any edit of the user's, after the control's own handler and before the panel's table.
    void OnEdited(wxCommandEvent& event);

    PanelHost& host_;
    uint8_t address_ = 0;

    // The values behind the choices' entries; each entry's client data points here.
    std::array<uint8_t, INPUT8_DESTINATION_ENTRIES> destinationTable_{};
    size_t destinationCount_ = 1;
    std::array<std::array<uint16_t, INPUT8_ACTION_ENTRIES>, INPUT8_ROWS> actionCodeTable_{};

    wxTextCtrl* nameField_ = nullptr;
    wxStaticText* statusLine_ = nullptr;
    // The status line names a value that is outside its range.
    bool statusIsRefusal_ = false;
    // The status line says that the configuration was saved.
    bool statusIsSaved_ = false;
    wxScrolledWindow* rowsArea_ = nullptr;
    wxSizer* heading_ = nullptr;
    wxStaticText* notice_ = nullptr;
    Input8PanelRules rules_;
    std::array<Row, INPUT8_ROWS> rows_;

    wxDECLARE_CLASS(Input_Type_Dialog);
    wxDECLARE_EVENT_TABLE();
};

}  // namespace orv
