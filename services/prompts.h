// How the core reaches the user: message boxes, progress dialogs, file and
// choice dialogs, the status bar and the event pump. The programs implement it
// with wx (ui/), tests with a scripted fake, orvctl with plain text.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

// SaveDiscardCancel asks about unsaved edits: Save, Discard or Cancel (Escape).
enum class Buttons { Ok, YesNo, OkCancel, SaveDiscardCancel };
enum class Icon { None, Information, Exclamation, Error, Question };
enum class Answer { Ok, Yes, No, Cancel, Save, Discard };

struct MessageBoxOptions {
    std::string caption;
    std::string text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // No is the default button (wxNO_DEFAULT): for questions whose Yes changes a device.
    bool defaultNo = false;
};

struct ProgressOptions {
    std::string title;
    std::string message;
    int maximum = 100;
    bool canAbort = false;  // wxPD_CAN_ABORT
    bool appModal = true;   // wxPD_APP_MODAL
    bool autoHide = true;   // wxPD_AUTO_HIDE: the dialog hides itself at its maximum
    bool smooth = true;     // wxPD_SMOOTH
};

class ProgressDialog {
public:
    virtual ~ProgressDialog() = default;
    // Moves the bar (and the message, when one is given). False once the user
    // has pressed the abort button.
    virtual bool Update(int value, const std::optional<std::string>& message = std::nullopt) = 0;
    virtual void Hide() = 0;
};

struct FileDialogOptions {
    bool save = false;             // wxFD_SAVE, else wxFD_OPEN
    bool mustExist = false;        // wxFD_FILE_MUST_EXIST
    bool overwritePrompt = false;  // wxFD_OVERWRITE_PROMPT
    std::string message;
    std::string defaultDir;
    std::string defaultFile;
    std::string wildcard;
};

struct ChoiceOptions {
    std::string caption;
    std::string message;
    std::vector<std::string> choices;
    // With a label and ticked given: a tick box under the choices that starts
    // as *ticked and is left there as the user left it. Prompts without one
    // leave *ticked as it is.
    std::string tickLabel = {};
    bool* ticked = nullptr;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual Answer MessageBox(const MessageBoxOptions& options) = 0;
    // The dialog is shown as it is created.
    virtual std::unique_ptr<ProgressDialog> StartProgress(const ProgressOptions& options) = 0;
    // The chosen path, or nothing when the dialog was not confirmed.
    virtual std::optional<std::string> FileDialog(const FileDialogOptions& options) = 0;
    // The index of the confirmed entry, or nothing on Cancel.
    virtual std::optional<int> SingleChoice(const ChoiceOptions& options) = 0;
    virtual void SetStatusText(const std::string& text, int field = 0) = 0;
    // Lets pending window events run (repaints, a progress dialog's Cancel).
    virtual void PumpEvents() = 0;

    Answer Message(const std::string& caption, const std::string& text, Buttons buttons, Icon icon)
    {
        return MessageBox(MessageBoxOptions{caption, text, buttons, icon});
    }
};

}  // namespace orv
