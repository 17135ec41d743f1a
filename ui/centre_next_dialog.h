// Windows places a message box, a task dialog or a file dialog where it likes
// (Wine at the top-left corner of the frame); the program wants every dialog
// over the middle of the window it belongs to, as wx places its own.
#pragma once

class wxWindow;

namespace orv {

// While it lives, the next dialog window the system opens on this thread is
// moved over the middle of parent's top-level window, within its screen.
// Elsewhere than on Windows it does nothing: wx and the window manager place
// the dialogs there.
class CentreNextDialog {
public:
    explicit CentreNextDialog(wxWindow* parent);
    ~CentreNextDialog();
    CentreNextDialog(const CentreNextDialog&) = delete;
    CentreNextDialog& operator=(const CentreNextDialog&) = delete;

private:
    bool installed_ = false;
};

}  // namespace orv
