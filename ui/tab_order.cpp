#include "ui/tab_order.h"

#include <wx/window.h>

namespace orv {

void RenewTabOrder(wxWindow* window)
{
#ifdef __WXGTK__
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
