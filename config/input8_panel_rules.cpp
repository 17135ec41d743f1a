#include "config/input8_panel_rules.h"

namespace orv {

void Input8PanelRules::DeviceRead(const Input8Config& held)
{
    shown_ = Input8Shown::Device;
    device_ = held;
    // Links the user had removed while loading are edits the device lacks.
    reference_ = held;
}

void Input8PanelRules::ReadNotLoaded()
{
    shown_ = Input8Shown::NotLoaded;
    device_.reset();
    reference_.reset();
}

void Input8PanelRules::Imported(const Input8Config& imported)
{
    shown_ = Input8Shown::Imported;
    reference_ = imported;
}

void Input8PanelRules::StartedEmpty()
{
    shown_ = Input8Shown::EmptyByChoice;
    reference_ = Input8Config{};
}

void Input8PanelRules::SaveEnded(Input8SaveEnd end, const Input8Config* readBack)
{
    if (end == Input8SaveEnd::ReadBackIntact && readBack) {
        DeviceRead(*readBack);
        return;
    }
    // The panel keeps what was to be saved; nothing says the device holds it.
    device_.reset();
    reference_.reset();
}

bool Input8PanelRules::HasUnsavedEdits(const Input8Config& shown) const
{
    if (shown_ == Input8Shown::NotLoaded)
        return false;
    return !reference_ || shown != *reference_;
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
    MessageBoxOptions question{"Start Empty Configuration",
                               "Replace the configuration of " + device + " with an empty one?", Buttons::YesNo,
                               Icon::Question};
    question.defaultNo = true;
    return question;
}

}  // namespace orv
