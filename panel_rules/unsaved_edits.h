// Edits a configuration panel holds that its device does not, and the
// question asked before anything would drop them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

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

// A panel's edits with a save of the caller's: one that leaves the panel
// showing its device, where the panel's own save would go on to discover.
class EditsSavedInPlace final : public UnsavedEdits {
public:
    EditsSavedInPlace(const UnsavedEdits& edits, std::function<bool()> save) : edits_(edits), save_(std::move(save))
    {
    }
    bool HasUnsavedEdits() const override { return edits_.HasUnsavedEdits(); }
    std::string EditedDeviceLabel() const override { return edits_.EditedDeviceLabel(); }
    bool SaveUnsavedEdits() override { return save_(); }

private:
    const UnsavedEdits& edits_;
    std::function<bool()> save_;
};

// An import replaces what a panel shows. The file is read first (readFile
// asks for it), so that nothing is asked for a file cancelled or refused;
// then the edits it would replace are asked about as by MayDropEdits.
// Nothing when the file is not taken.
template <typename Config, typename ReadFile>
std::optional<Config> ImportOverEdits(UnsavedEdits& edits, Prompts& prompts, ReadFile readFile)
{
    std::optional<Config> config = readFile(prompts);
    if (!config || !MayDropEdits(edits, prompts))
        return std::nullopt;
    return config;
}

}  // namespace orv
