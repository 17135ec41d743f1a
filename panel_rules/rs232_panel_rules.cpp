#include "panel_rules/rs232_panel_rules.h"

#include <algorithm>

#include "config/rs232_build.h"
#include "services/log.h"

namespace orv {

namespace {

bool SameRow(const RS232Row& a, const RS232Row& b)
{
    if (a.text != b.text || a.type != b.type || a.destination != b.destination || a.action != b.action)
        return false;
    if (GetParamSpec(a.action))
        return a.spinValues == b.spinValues && a.freeTexts == b.freeTexts;
    return a.command == b.command;
}

}  // namespace

bool SameRS232Config(const RS232Config& a, const RS232Config& b)
{
    return a.name == b.name && a.baudRate == b.baudRate &&
           std::equal(a.rows.begin(), a.rows.end(), b.rows.begin(), b.rows.end(), SameRow);
}

bool CheckRoomForNewRS232Row(const RS232Config& config, Prompts& prompts)
{
    if (CanAddRS232Row(config))
        return true;
    ShowRS232Refusal(prompts, NoRoomForRowRefusal());
    return false;
}

bool RowDeletionNeedsQuestion(const RS232Row& row)
{
    return !row.text.empty() || row.destination != DEST_UNUSED || row.action != ACTION_UNUSED ||
           !row.command.empty();
}

MessageBoxOptions RowDeletionQuestion(size_t rowIndex, const RS232Row& row, const std::string& deviceLabel)
{
    const std::string what = row.text.empty() ? std::string() : " (\"" + row.text + "\")";
    MessageBoxOptions question{" Delete Row ",
                               StrF("Delete row %d%s from the configuration of %s?", int(rowIndex + 1), what.c_str(),
                                    deviceLabel.c_str()),
                               Buttons::YesNo, Icon::Question};
    question.defaultNo = true;
    return question;
}

void RS232PanelRules::DeviceRead(const RS232Config& held, const RS232Config& shown)
{
    shown_ = RS232Shown::Device;
    device_ = held;
    baseline_ = shown;
}

void RS232PanelRules::NotLoaded()
{
    shown_ = RS232Shown::NotLoaded;
    device_.reset();
    baseline_ = RS232Config{};
}

void RS232PanelRules::Imported()
{
    // Edits stay measured against what the panel showed of the device,
    // whose configuration the import would replace.
    shown_ = RS232Shown::Imported;
}

void RS232PanelRules::StartedEmpty(const RS232Config& shown)
{
    shown_ = RS232Shown::EmptyByChoice;
    baseline_ = shown;
}

void RS232PanelRules::Saved(RS232SaveResult result, const std::optional<RS232Config>& readBack,
                            const RS232Config& shown)
{
    if (result == RS232SaveResult::NotSent)
        return;
    if (readBack) {
        DeviceRead(*readBack, shown);
        return;
    }
    // Blocks went out but nothing intact came back: the device may hold anything.
    shown_ = RS232Shown::Unconfirmed;
    device_.reset();
}

bool RS232PanelRules::HasUnsavedEdits(const RS232Config& panel) const
{
    switch (shown_) {
    case RS232Shown::NotLoaded:
        return false;
    case RS232Shown::Unconfirmed:
        return true;
    case RS232Shown::Imported:
        return !device_ || !SameRS232Config(panel, baseline_);
    default:
        return !SameRS232Config(panel, baseline_);
    }
}

bool RS232PanelRules::Testable(size_t rowIndex, const RS232Row& row) const
{
    if (rowIndex >= RS232_TESTABLE_ROWS || !device_ || rowIndex >= device_->rows.size() || row.text.empty())
        return false;
    const RS232Row& held = device_->rows[rowIndex];
    return row.text == held.text && row.type == held.type;
}

}  // namespace orv
