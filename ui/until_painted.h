// GTK draws a window only when its events are handled, and a blocking
// operation handles none: a window that is to be seen during one is drawn first.
#pragma once

class wxWindow;

namespace orv {

// Handles the toolkit's events until window has been painted, for at most
// maxMillis; true when it was.
bool WaitUntilPainted(wxWindow* window, long maxMillis);

}  // namespace orv
