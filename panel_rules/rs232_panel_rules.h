// What the RS232 panel may do, apart from its controls: what it shows, when
// Save is offered, whether the shown configuration has unsaved edits, which
// rows can have their string sent as a test, and what a read, an import or a
// save leaves behind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/rs232_transfer.h"
#include "model/rs232_config.h"
#include "panel_rules/input8_panel_rules.h"

namespace orv {

// The device is told which string to send by one digit: rows 1 to 10.
constexpr size_t RS232_TESTABLE_ROWS = 10;

enum class RS232Shown {
    NotLoaded,      // nothing read yet, or the read was damaged or unanswered
    Device,         // the device's configuration as last read or saved
    Imported,       // a file's configuration, not saved yet
    EmptyByChoice,  // the empty configuration, chosen by the user in place of one not loaded
    Unconfirmed,    // the edits of a save whose read-back was not intact: what the device holds is unknown
};

// Equal as the panel shows them: name, rate and every row, with only the
// parameter controls or the command of the row's action.
bool SameRS232Config(const RS232Config& a, const RS232Config& b);

// Whether the panel may add a row to config; when not, the "Not enough
// memory" box has been shown.
bool CheckRoomForNewRS232Row(const RS232Config& config, Prompts& prompts);

// Whether deleting the row loses something the user typed or chose: its string, or a link.
bool RowDeletionNeedsQuestion(const RS232Row& row);
// The question before such a deletion; Yes deletes. No is the default.
MessageBoxOptions RowDeletionQuestion(size_t rowIndex, const RS232Row& row, const std::string& deviceLabel);

class RS232PanelRules {
public:
    // Each event that replaces what the panel shows takes it as the
    // controls now hold it (shown), which later edits are measured against.

    // An intact read of held; shown keeps the links to devices not listed.
    void DeviceRead(const RS232Config& held, const RS232Config& shown);
    // A damaged or unanswered read.
    void NotLoaded();
    // An import is an edit until it is saved: unsaved unless the panel then
    // shows what the device is known to hold.
    void Imported();
    void StartedEmpty(const RS232Config& shown);
    // After a save: its result and the intact read-back, if any, which the panel now shows.
    void Saved(RS232SaveResult result, const std::optional<RS232Config>& readBack, const RS232Config& shown);

    RS232Shown Shown() const { return shown_; }
    // Save, Export, new rows and the name and rate fields: only while a configuration is shown.
    bool EditingEnabled() const { return shown_ != RS232Shown::NotLoaded; }
    // What the device holds as last read or saved; null when that is not known.
    const RS232Config* DeviceConfig() const { return device_ ? &*device_ : nullptr; }
    // The panel (as panel) differs from what the device holds; after an
    // import into a panel whose device is not known, always.
    bool HasUnsavedEdits(const RS232Config& panel) const;
    // Row rowIndex shows the string the device holds at its position, one it can be told to send.
    bool Testable(size_t rowIndex, const RS232Row& row) const;

private:
    RS232Shown shown_ = RS232Shown::NotLoaded;
    std::optional<RS232Config> device_;
    // What the panel showed when it last took a configuration; after an
    // import, still what it showed of the device.
    RS232Config baseline_;
};

}  // namespace orv
