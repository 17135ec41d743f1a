// Edits a configuration panel holds that its device does not, and the
// question asked before anything would drop them.
#pragma once

#include <string>

#include "services/prompts.h"

namespace orv {

inline constexpr const char* UNSAVED_EDITS_CAPTION = "Unsaved Changes";

class UnsavedEdits {
public:
    virtual ~UnsavedEdits() = default;
    // What is shown differs from what the device holds (or what was last imported).
    virtual bool HasUnsavedEdits() const = 0;
    // The device the edits are for, as "ORV-RS232 @ 5".
    virtual std::string EditedDeviceLabel() const = 0;
    // Writes the edits as Save to Device does, checks and boxes included:
    // true when the device holds them now.
    virtual bool SaveUnsavedEdits() = 0;
};

// Before something that would drop the edits: asks "<device> has changes that
// are not saved" with Save, Discard and Cancel. True when the caller may go
// on: there were no edits, they were saved, or the user discarded them.
bool MayDropEdits(UnsavedEdits& edits, Prompts& prompts);

}  // namespace orv
