#include "panel_rules/unsaved_edits.h"

namespace orv {

bool MayDropEdits(UnsavedEdits& edits, Prompts& prompts)
{
    if (!edits.HasUnsavedEdits())
        return true;
    MessageBoxOptions question{UNSAVED_EDITS_CAPTION, edits.EditedDeviceLabel() + " has changes that are not saved",
                               Buttons::SaveDiscardCancel, Icon::Question};
    switch (prompts.MessageBox(question)) {
    case Answer::Save:
        return edits.SaveUnsavedEdits();
    case Answer::Discard:
        return true;
    default:
        return false;
    }
}

}  // namespace orv
