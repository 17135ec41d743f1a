#include "panel_rules/input8_panel_rules.h"

namespace orv {

namespace {

// The field as shown now when the user changed it, else as it was taken.
template <typename T>
T Kept(const T& now, const T& atTake, const T& taken)
{
    return now == atTake ? taken : now;
}

}  // namespace

void Input8PanelRules::DeviceRead(const Input8Config& held, const Input8Config& intended, const Input8Config& shown)
{
    shown_ = Input8Shown::Device;
    device_ = held;
    // Links the user had removed while loading are edits the device lacks.
    reference_ = held;
    intended_ = intended;
    shownAtTake_ = shown;
}

void Input8PanelRules::ReadNotLoaded()
{
    shown_ = Input8Shown::NotLoaded;
    device_.reset();
    reference_.reset();
    intended_ = shownAtTake_ = Input8Config{};
}

void Input8PanelRules::Imported(const Input8Config& intended, const Input8Config& shown)
{
    shown_ = Input8Shown::Imported;
    // An import is an edit until it is saved: measured against what the
    // device holds, whose configuration it would replace.
    reference_ = device_;
    intended_ = intended;
    shownAtTake_ = shown;
}

void Input8PanelRules::StartedEmpty(const Input8Config& shown)
{
    shown_ = Input8Shown::EmptyByChoice;
    reference_ = Input8Config{};
    intended_ = Input8Config{};
    shownAtTake_ = shown;
}

Input8Config Input8PanelRules::ToStore(const Input8Config& shown) const
{
    Input8Config stored = shown;
    stored.name = Kept(shown.name, shownAtTake_.name, intended_.name);
    for (size_t r = 0; r < INPUT8_ROWS; ++r) {
        const InputRow& now = shown.rows[r];
        const InputRow& atTake = shownAtTake_.rows[r];
        const InputRow& taken = intended_.rows[r];
        InputRow& row = stored.rows[r];
        row.input = Kept(now.input, atTake.input, taken.input);
        row.change = Kept(now.change, atTake.change, taken.change);
        row.destination = Kept(now.destination, atTake.destination, taken.destination);
        row.action = Kept(now.action, atTake.action, taken.action);
        // Parameters belong to their action: another action's values are all new.
        if (now.action == atTake.action)
            row.parameters = Kept(now.parameters, atTake.parameters, taken.parameters);
    }
    return stored;
}

void Input8PanelRules::SaveNotReadBack()
{
    // The panel keeps what was to be saved; nothing says the device holds it.
    device_.reset();
    reference_.reset();
}

bool Input8PanelRules::HasUnsavedEdits(const Input8Config& shown) const
{
    if (shown_ == Input8Shown::NotLoaded)
        return false;
    return !reference_ || ToStore(shown) != *reference_;
}

std::string Input8PanelRules::Notice(const std::string& device) const
{
    if (shown_ != Input8Shown::NotLoaded)
        return {};
    return "The configuration of " + device +
           " was not loaded.\nImport a file, or start from an empty configuration, to edit and save one.";
}

MessageBoxOptions StartEmptyQuestion(const std::string& device)
{
    MessageBoxOptions question{START_EMPTY_LABEL,
                               "Replace the configuration of " + device + " with an empty one?", Buttons::YesNo,
                               Icon::Question};
    question.defaultNo = true;
    return question;
}

}  // namespace orv
