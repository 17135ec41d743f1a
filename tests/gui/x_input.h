// Input through the X server, as the user's mouse and keyboard give it: it
// reaches the program through the toolkit and the window manager, not as
// synthesised toolkit events. Each call returns once the server has it; the
// program sees it when it next handles events.
#pragma once

#include <cstdlib>
#include <string>

#include <wx/gdicmn.h>
#include <wx/window.h>

namespace orv::test {

inline bool RunXdotool(const std::string& arguments)
{
    return std::system(("xdotool " + arguments).c_str()) == 0;
}

// Moves the pointer to at and waits until it is there. From the screen's
// corner: a synchronous move to where the pointer already is would wait for
// a motion that never comes.
inline std::string MoveTo(const wxPoint& at)
{
    return "mousemove 0 0 mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y);
}

// steps wheel steps with the pointer over the middle of window: down when
// positive, up when negative.
inline bool WheelOver(const wxWindow* window, int steps)
{
    const wxPoint at = window->GetScreenRect().GetPosition() + window->GetSize() / 2;
    return RunXdotool(MoveTo(at) + " click --repeat " +
                      std::to_string(std::abs(steps)) + " --delay 20 " + (steps > 0 ? "5" : "4"));
}

// A click with the first button at a point of the screen.
inline bool ClickAt(const wxPoint& at)
{
    return RunXdotool(MoveTo(at) + " click 1");
}

// A click with the first button in the middle of window.
inline bool ClickOn(const wxWindow* window)
{
    return ClickAt(window->GetScreenRect().GetPosition() + window->GetSize() / 2);
}

// Keys as xdotool names them, one after the other ("Tab", "ctrl+a BackSpace 3").
inline bool PressKey(const std::string& keys)
{
    return RunXdotool("key " + keys);
}

}  // namespace orv::test
