// Whether a user can reach every control of a window: each button, choice,
// text field and spin control on screen lies inside the frame's client area and
// inside every window around it (a scrolled area may scroll it into view from
// below, never from the side), and each button is tall enough to show its label.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/scrolwin.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

namespace orv::test {

constexpr int MIN_BUTTON_HEIGHT = 24;

namespace geometry_detail {

inline bool IsCheckedControl(wxWindow* window)
{
    return wxDynamicCast(window, wxButton) || wxDynamicCast(window, wxChoice) || wxDynamicCast(window, wxTextCtrl) ||
           wxDynamicCast(window, wxSpinCtrl);
}

inline std::string Describe(wxWindow* window)
{
    wxString text = window->GetLabel();
    if (auto* choice = wxDynamicCast(window, wxChoice))
        text = choice->GetStringSelection();
    return wxString(window->GetClassInfo()->GetClassName()).ToStdString() + " " + std::to_string(window->GetId()) + " \"" +
           text.ToStdString() + "\" at " + std::to_string(window->GetScreenRect().x) + "," +
           std::to_string(window->GetScreenRect().y) + " " + std::to_string(window->GetSize().x) + "x" +
           std::to_string(window->GetSize().y);
}

inline wxRect ClientScreenRect(wxWindow* window)
{
    return wxRect(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize());
}

// Which window around control it leaves, or nothing.
inline std::string Escape(wxWindow* control)
{
    wxRect rect = control->GetScreenRect();
    for (wxWindow* outer = control->GetParent(); outer; outer = outer->GetParent()) {
        // A static box draws a frame around its lines; the window that holds it decides what is seen.
        if (wxDynamicCast(outer, wxStaticBox))
            continue;
        const wxRect area = ClientScreenRect(outer);
        if (auto* scrolled = dynamic_cast<wxScrollHelper*>(outer)) {
            const int virtualTop = area.y + scrolled->CalcScrolledPosition(wxPoint(0, 0)).y;
            const int virtualHeight = outer->GetVirtualSize().y;
            if (rect.x < area.x || rect.GetRight() > area.GetRight() || rect.y < virtualTop ||
                rect.GetBottom() >= virtualTop + virtualHeight)
                return "outside the scrolled area " + Describe(outer);
            rect = outer->GetScreenRect();
            continue;
        }
        if (!area.Contains(rect))
            return "outside " + Describe(outer);
        if (outer->IsTopLevel())
            break;
    }
    return {};
}

inline void CollectProblems(wxWindow* window, std::string& problems)
{
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShownOnScreen() || child->IsTopLevel())
            continue;
        if (IsCheckedControl(child)) {
            if (const std::string escape = Escape(child); !escape.empty())
                problems += "\n  " + Describe(child) + " lies " + escape;
            if (wxDynamicCast(child, wxButton) && child->GetSize().y < MIN_BUTTON_HEIGHT)
                problems += "\n  " + Describe(child) + " is lower than " + std::to_string(MIN_BUTTON_HEIGHT);
        }
        CollectProblems(child, problems);
    }
}

}  // namespace geometry_detail

// Every control on screen inside top can be seen and used; top itself lies in
// the work area of its display.
inline ::testing::AssertionResult ControlsFit(wxTopLevelWindow* top)
{
    std::string problems;
    const wxRect workArea = wxDisplay(top).GetClientArea();
    // The client area: the toolkit's guess of the decorations is off for a maximised frame.
    if (!workArea.Contains(geometry_detail::ClientScreenRect(top)))
        problems += "\n  the window runs outside the work area";
    geometry_detail::CollectProblems(top, problems);
    if (problems.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "controls that cannot be reached:" << problems;
}

}  // namespace orv::test
