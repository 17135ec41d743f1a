#include "ui/tab_order.h"

#include <wx/panel.h>
#include <wx/window.h>

namespace orv {

namespace {

#ifdef __WXGTK__
// Whether a control that takes the focus lies inside window, enabled or not.
bool HoldsFocusableControl(const wxWindow* window)
{
    for (const wxWindow* child : window->GetChildren())
        if (!child->IsTopLevel() && (child->AcceptsFocus() || HoldsFocusableControl(child)))
            return true;
    return false;
}
#endif

}  // namespace

void RenewTabOrder(wxWindow* window)
{
#ifdef __WXGTK__
    // A panel takes the focus itself when it held no control able to take it
    // as its children last changed: rows built while the window is disabled
    // for bus work, or inside frames added before their controls. Tab then
    // stops on the panel, where nothing shows it, and never reaches the
    // controls inside; holding controls, it passes the focus on to them.
    if (wxDynamicCast(window, wxPanel) && !window->IsTopLevel() && HoldsFocusableControl(window))
        window->SetCanFocus(false);
    // Moving a child to where it already is leaves the order as it is and has
    // the toolkit build its parent's chain again when it is next idle.
    const wxWindowList& children = window->GetChildren();
    wxWindow* previous = nullptr;
    for (wxWindow* child : children) {
        if (child->IsTopLevel())
            continue;
        if (previous) {
            child->MoveAfterInTabOrder(previous);
            break;
        }
        previous = child;
    }
    for (wxWindow* child : window->GetChildren())
        if (!child->IsTopLevel())
            RenewTabOrder(child);
#else
    (void)window;
#endif
}

}  // namespace orv
