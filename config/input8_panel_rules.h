// What the Input8 panel may do, apart from its controls: what it shows, when
// Save and Export are offered, whether it holds edits the device lacks, and
// what a read, an import or a save leaves behind. The panel tells it each
// event and binds its controls to the answers.
#pragma once

#include <optional>
#include <string>

#include "config/input8_config.h"
#include "services/prompts.h"

namespace orv {

enum class Input8Shown {
    NotLoaded,      // the device's configuration was not loaded; no rows are shown
    Device,         // what the device holds, as read or read back after a save
    Imported,       // a configuration taken from a file
    EmptyByChoice,  // the empty configuration, chosen by the user
};

// How a save ended, as far as the panel is concerned.
enum class Input8SaveEnd {
    ReadBackIntact,  // the device was read back whole; the panel shows what it holds
    ReadBackLost,    // damaged, unanswered or no read-back: what the device holds is not known
};

class Input8PanelRules {
public:
    Input8Shown Shown() const { return shown_; }
    // Rows, Save and Export are offered only for a configuration the user may take for the device's.
    bool RowsShown() const { return shown_ != Input8Shown::NotLoaded; }
    bool SaveEnabled() const { return RowsShown(); }
    bool ExportEnabled() const { return RowsShown(); }

    // An intact read, the link question answered Yes when it was asked.
    void DeviceRead(const Input8Config& held);
    // A damaged or unanswered read, or No at the link question of a read.
    void ReadNotLoaded();
    void Imported(const Input8Config& imported);
    // The user chose to start from the empty configuration.
    void StartedEmpty();
    // readBack: what the device holds after an intact read-back.
    void SaveEnded(Input8SaveEnd end, const Input8Config* readBack = nullptr);

    // What is shown differs from what the device holds, or from what was last
    // imported or started. Also true while what the device holds is unknown
    // after a save: the edits may not be there.
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
};

// Asked before the panel shows the empty configuration; No is the default.
MessageBoxOptions StartEmptyQuestion(const std::string& device);

}  // namespace orv
