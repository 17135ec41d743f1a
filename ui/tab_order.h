// Tab and Shift+Tab under GTK follow focus chains that the toolkit builds
// from the windows able to take the focus at the time it builds them: a
// window hidden or disabled then (a panel not shown yet, the rows of a
// configuration not loaded yet, a row's field hidden behind its parameters, a
// button enabled later) is left out, and Tab later leaves the focus on no
// control at all. The chains are built anew after such changes.
#pragma once

class wxWindow;

namespace orv {

// The chains of window and of every window inside it are built again, in the
// windows' order, once the events now pending have been handled.
void RenewTabOrder(wxWindow* window);

}  // namespace orv
