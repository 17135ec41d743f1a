// What the Input8 panel may do, apart from its controls: what it shows, when
// Save and Export are offered, whether it holds edits the device lacks, and
// what a read, an import or a save leaves behind. The panel tells it each
// event and binds its controls to the answers.
#pragma once

#include <optional>
#include <string>

#include "model/input8_config.h"
#include "services/prompts.h"

namespace orv {

enum class Input8Shown {
    NotLoaded,      // the device's configuration was not loaded; no rows are shown
    Device,         // what the device holds, as read or read back after a save
    Imported,       // a configuration taken from a file, not saved yet
    EmptyByChoice,  // the empty configuration, chosen by the user
};

class Input8PanelRules {
public:
    Input8Shown Shown() const { return shown_; }
    // Rows, Save and Export are offered only for a configuration the user may take for the device's.
    bool RowsShown() const { return shown_ != Input8Shown::NotLoaded; }
    bool SaveEnabled() const { return RowsShown(); }
    bool ExportEnabled() const { return RowsShown(); }

    // Each event that replaces what the panel shows takes, beside the
    // configuration, what the panel was to show of it (intended: the links
    // removed at the link question) and what its controls then show (shown,
    // as they code it). The controls cannot show every stored value (an
    // input beyond 8, a destination not on the list, parameter bytes beyond
    // their text): where a field still shows what it showed then, the value
    // taken is kept.

    // An intact read of held, the link question answered Yes when it was asked.
    void DeviceRead(const Input8Config& held, const Input8Config& intended, const Input8Config& shown);
    // A damaged or unanswered read, or No at the link question of a read.
    void ReadNotLoaded();
    // A file's configuration as it is to be stored (intended). It is an
    // unsaved edit until saved, unless it stores what the device holds.
    void Imported(const Input8Config& intended, const Input8Config& shown);
    // The user chose to start from the empty configuration.
    void StartedEmpty(const Input8Config& shown);
    // A save whose read-back was damaged, unanswered or not reached: what the
    // device holds is not known. An intact read-back is a DeviceRead.
    void SaveNotReadBack();

    // What Save and Export store for what the controls show (shown): the
    // fields the user has changed since the configuration was taken, and the
    // values taken everywhere else.
    Input8Config ToStore(const Input8Config& shown) const;
    // What would be stored differs from what the device holds, or from the
    // empty configuration the user started. Also true while what the device
    // holds is not known after a save or an import: the edits may not be there.
    bool HasUnsavedEdits(const Input8Config& shown) const;
    // What the device holds, as last read or read back; null when not known.
    const Input8Config* DeviceConfig() const { return device_ ? &*device_ : nullptr; }

    // The panel's notice while nothing is shown; empty otherwise.
    // device names it as "ORV-Input8 @ 3".
    std::string Notice(const std::string& device) const;

private:
    Input8Shown shown_ = Input8Shown::NotLoaded;
    std::optional<Input8Config> device_;
    // What edits are measured against; none while the device is not known after a save.
    std::optional<Input8Config> reference_;
    // What the panel was to show when it last took a configuration, and what its controls showed then.
    Input8Config intended_;
    Input8Config shownAtTake_;
};

// The command of both configuration panels that shows the empty configuration
// in place of one not loaded, and the caption of its question.
inline constexpr const char* START_EMPTY_LABEL = "Start Empty Configuration";
inline constexpr const char* START_EMPTY_TIP = "Replace what the panel shows with an empty configuration for this device";

// Asked before the panel shows the empty configuration; No is the default.
MessageBoxOptions StartEmptyQuestion(const std::string& device);

}  // namespace orv
