// The core's prompts as wx dialogs, parented to one window of the program.
#pragma once

#include "services/prompts.h"

class wxWindow;

namespace orv {

class WxPrompts final : public Prompts {
public:
    explicit WxPrompts(wxWindow* parent = nullptr) : parent_(parent) {}

    // The program creates its prompts before the frame they belong to.
    void SetParent(wxWindow* parent) { parent_ = parent; }

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions& options) override;
    std::optional<int> SingleChoice(const ChoiceOptions& options) override;
    // Into a field of the status bar of the frame that holds the parent.
    void SetStatusText(const std::string& text, int field = 0) override;
    void PumpEvents() override;

private:
    wxWindow* parent_;
};

}  // namespace orv
