// Windows in the GUI tests as the X server and the window manager show them:
// shown, placed and laid out before a test looks at them or clicks.
#pragma once

#include <functional>

#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

namespace orv::test {

// Lets the toolkit handle what is pending until done says so, for at most a
// few seconds of the X server's and the window manager's work.
inline bool YieldUntil(const std::function<bool()>& done, long maxMillis = 3000)
{
    wxStopWatch waited;
    while (!done() && waited.Time() < maxMillis) {
        wxTheApp->Yield(true);
        wxMilliSleep(10);
    }
    return done();
}

// Lets the toolkit handle what is pending for a little while: the window
// manager's configure events and the repaints that follow them.
inline void Settle(long millis = 200)
{
    YieldUntil([] { return false; }, millis);
}

// Shows window and waits until it is on screen and its size has settled.
inline bool ShowOnScreen(wxTopLevelWindow* window)
{
    window->Show();
    if (!YieldUntil([&] { return window->IsShownOnScreen(); }))
        return false;
    Settle();
    window->SendSizeEvent();
    Settle(100);
    return true;
}

}  // namespace orv::test
