// The core's prompts as wx dialogs, parented to one window of the program.
#pragma once

#include <wx/choicdlg.h>
#include <wx/string.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "services/prompts.h"

class wxCheckBox;

namespace orv {

// The toolkit's single-choice dialog with a tick box between the list and the buttons.
class TickChoiceDialog : public wxSingleChoiceDialog {
public:
    TickChoiceDialog(wxWindow* parent, const wxString& message, const wxString& caption,
                     const wxArrayString& choices, const wxString& tickLabel, bool ticked);
    bool Ticked() const;
    wxCheckBox* TickBox() const { return tick_; }

private:
    wxCheckBox* tick_ = nullptr;
};

// A file dialog's filters with the toolkit's "All files" filter ("*.*" on
// Windows, "*" elsewhere) last, so a file named otherwise can still be chosen; the first filter stays the default.
wxString WithAllFiles(const wxString& wildcard);

class WxPrompts final : public Prompts {
public:
    explicit WxPrompts(wxWindow* parent = nullptr) : parent_(parent) {}

    // The program creates its prompts before the frame they belong to.
    void SetParent(wxWindow* parent) { parent_ = parent; }
    // A window no dialog may open under (the start-up splash, which stays on
    // top): it is closed before the first dialog shows, if it is still there.
    void CloseBeforeDialogs(wxWindow* window) { cover_ = window; }

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions& options) override;
    std::optional<int> SingleChoice(const ChoiceOptions& options) override;
    // Into a field of the status bar of the frame that holds the parent.
    void SetStatusText(const std::string& text, int field = 0) override;
    void PumpEvents() override;

private:
    void CloseCover();

    wxWindow* parent_;
    wxWeakRef<wxWindow> cover_;
};

}  // namespace orv
