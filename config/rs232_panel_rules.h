// What the RS232 panel may do, apart from its controls: what it shows, when
// Save is offered, whether the shown configuration has unsaved edits, which
// rows can have their string sent as a test, which stored links are kept,
// and what a read, an import or a save leaves behind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/input8_config.h"
#include "config/input8_panel_rules.h"
#include "config/rs232_config.h"
#include "config/rs232_transfer.h"

namespace orv {

// The device is told which string to send by one digit: rows 1 to 10.
constexpr size_t RS232_TESTABLE_ROWS = 10;

enum class RS232Shown {
    NotLoaded,      // nothing read yet, or the read was damaged, unanswered or refused
    Device,         // the device's configuration as last read or saved (links removed on request)
    Imported,       // a file's configuration
    EmptyByChoice,  // the empty configuration, chosen by the user in place of one not loaded
    Unconfirmed,    // the edits of a save whose read-back was not intact: what the device holds is unknown
};

// Equal as the panel shows them: name, rate and every row, with only the
// parameter controls or the command of the row's action.
bool SameRS232Config(const RS232Config& a, const RS232Config& b);

// Rows that link to a listed destination whose kind does not offer the
// stored action. Destinations that are not listed keep their links.
std::vector<size_t> UnofferedActionRows(const RS232Config& config, const TypeAtAddressFn& typeAtAddress);
// config with those rows' actions set to "Unused", their parameters and command cleared.
RS232Config WithoutActions(const RS232Config& config, const std::vector<size_t>& rows);

// Whether deleting the row loses something the user typed or chose: its string, or a link.
bool RowDeletionNeedsQuestion(const RS232Row& row);
// The question before such a deletion; Yes deletes. No is the default.
MessageBoxOptions RowDeletionQuestion(size_t rowIndex, const RS232Row& row, const std::string& deviceLabel);

class RS232PanelRules {
public:
    // Each event that replaces what the panel shows takes it as the
    // controls now hold it (shown), which later edits are measured against.

    // An intact read of held, shown as it is or less the links the user chose to remove.
    void DeviceRead(const RS232Config& held, const RS232Config& shown);
    // A damaged or unanswered read, or No to the link question.
    void NotLoaded();
    void Imported(const RS232Config& shown);
    void StartedEmpty(const RS232Config& shown);
    // After a save: its result and the intact read-back, if any, which the panel now shows.
    void Saved(RS232SaveResult result, const std::optional<RS232Config>& readBack, const RS232Config& shown);

    RS232Shown Shown() const { return shown_; }
    // Save, Export, new rows and the name and rate fields: only while a configuration is shown.
    bool EditingEnabled() const { return shown_ != RS232Shown::NotLoaded; }
    // What the device holds as last read or saved; null when that is not known.
    const RS232Config* DeviceConfig() const { return device_ ? &*device_ : nullptr; }
    // The panel (as panel) differs from what the device holds, or from what was last imported.
    bool HasUnsavedEdits(const RS232Config& panel) const;
    // Row rowIndex shows the string the device holds at its position, one it can be told to send.
    bool Testable(size_t rowIndex, const RS232Row& row) const;

private:
    RS232Shown shown_ = RS232Shown::NotLoaded;
    std::optional<RS232Config> device_;
    // What the panel showed when it last took a configuration.
    RS232Config baseline_;
};

}  // namespace orv
