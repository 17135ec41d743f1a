// While an operation talks to the bus, the program's windows take no input:
// a click or key given meanwhile is dropped, never delivered to a control once
// the operation is over. A busy window may tell the user what is going on; it
// is painted before the work starts and taken away before any dialog shows.
#pragma once

#include <memory>

#include <wx/string.h>
#include <wx/utils.h>

#include "services/prompts.h"

class wxFrame;
class wxWindow;

namespace orv {

// The busy window's name, by which it can be found.
constexpr const char* BUSY_WINDOW_NAME = "busyWindow";

class BusWork {
public:
    // busyText, when given, is shown in a busy window centred on parent.
    explicit BusWork(wxWindow* parent, const wxString& busyText = wxEmptyString);
    ~BusWork();
    BusWork(const BusWork&) = delete;
    BusWork& operator=(const BusWork&) = delete;

private:
    // Declared first, so the windows are enabled again only after the input
    // that came during the work has been dropped.
    wxWindowDisabler disabler_;
    wxBusyCursor busyCursor_;
};

// Takes the busy window of the running operation away, if there is one.
void HideBusyWindow();

// window has no tooltip while any bus work runs: a tooltip shown where the
// pointer rests would cover what the work changes (the device list's rows).
void HideToolTipDuringBusWork(wxWindow* window);

// Prompts that take the busy window away before every dialog, so that no
// question or message sits under it; the rest goes to inner unchanged.
class BusyAwarePrompts final : public Prompts {
public:
    explicit BusyAwarePrompts(Prompts& inner) : inner_(inner) {}

    Answer MessageBox(const MessageBoxOptions& options) override;
    std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) override;
    std::optional<std::string> FileDialog(const FileDialogOptions& options) override;
    std::optional<int> SingleChoice(const ChoiceOptions& options) override;
    void SetStatusText(const std::string& text, int field = 0) override;
    void PumpEvents() override;

private:
    Prompts& inner_;
};

}  // namespace orv
