// Windows in the GUI tests as the X server and the window manager show them:
// shown, placed and laid out before a test looks at them or clicks.
#pragma once

#include <functional>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/display.h>
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

// Whether choice shows its list of entries, open for a pick.
inline bool ChoiceIsOpen(const wxChoice* choice)
{
#ifdef __WXGTK__
    // GTK's own property; its functions come from the GTK the toolkit has loaded.
    using GetPropertyFn = void (*)(void*, const char*, ...);
    static const auto getProperty = reinterpret_cast<GetPropertyFn>(dlsym(RTLD_DEFAULT, "g_object_get"));
    int shown = 0;
    if (getProperty && choice->GetHandle())
        getProperty(choice->GetHandle(), "popup-shown", &shown, nullptr);
    return shown != 0;
#else
    (void)choice;
    return false;
#endif
}

// The deepest window of root's tree whose toolkit widget holds the keyboard
// focus of root's top-level window; null when the focus is elsewhere. Unlike
// wxWindow::FindFocus it knows of a choice that took the focus by Tab.
inline const wxWindow* FocusedWindow(const wxWindow* root)
{
#ifdef __WXGTK__
    using GetWidgetFn = void* (*)(void*);
    using IsAncestorFn = int (*)(void*, void*);
    static const auto focusOf = reinterpret_cast<GetWidgetFn>(dlsym(RTLD_DEFAULT, "gtk_window_get_focus"));
    static const auto isAncestor = reinterpret_cast<IsAncestorFn>(dlsym(RTLD_DEFAULT, "gtk_widget_is_ancestor"));
    const wxWindow* top = wxGetTopLevelParent(const_cast<wxWindow*>(root));
    if (!focusOf || !isAncestor || !top || !top->GetHandle())
        return nullptr;
    void* focus = focusOf(top->GetHandle());
    if (!focus)
        return nullptr;
    const std::function<const wxWindow*(const wxWindow*)> holder = [&](const wxWindow* window) -> const wxWindow* {
        void* widget = window->GetHandle();
        if (!widget || (widget != focus && !isAncestor(focus, widget)))
            return nullptr;
        for (const wxWindow* child : window->GetChildren())
            if (!child->IsTopLevel())
                if (const wxWindow* deeper = holder(child))
                    return deeper;
        return window;
    };
    return holder(root);
#else
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == root || root->IsDescendant(const_cast<wxWindow*>(focus))) ? focus : nullptr;
#endif
}

// The keyboard focus is on expected, shown whole on the screen: the window the
// toolkit reports is the one whose rectangle the user sees highlighted.
inline ::testing::AssertionResult FocusIsOn(const wxWindow* root, const wxWindow* expected)
{
    const wxWindow* focus = FocusedWindow(root);
    if (!focus)
        return ::testing::AssertionFailure() << "no control has the focus, " << expected->GetId() << " ("
                                             << expected->GetClassInfo()->GetClassName() << ") should";
    // A control made of windows (a list's rows and its header) holds the focus in one of them.
    if (focus != expected && !expected->IsDescendant(const_cast<wxWindow*>(focus)))
        return ::testing::AssertionFailure() << focus->GetId() << " (" << focus->GetClassInfo()->GetClassName()
                                             << " at " << focus->GetScreenRect().x << ","
                                             << focus->GetScreenRect().y << ") has the focus, "
                                             << expected->GetId() << " ("
                                             << expected->GetClassInfo()->GetClassName() << ") should";
    const wxRect screen = wxDisplay(focus).GetGeometry();
    if (!focus->IsShownOnScreen() || !screen.Contains(focus->GetScreenRect()))
        return ::testing::AssertionFailure() << expected->GetId() << " has the focus off the screen";
    return ::testing::AssertionSuccess();
}

// The window has the keyboard focus and the user sees where: it is shown
// whole inside area, the visible part of the window around it.
inline ::testing::AssertionResult FocusShownIn(const wxWindow* focus, int id, const wxRect& area)
{
    if (!focus)
        return ::testing::AssertionFailure() << "no control has the focus, " << id << " should";
    if (focus->GetId() != id)
        return ::testing::AssertionFailure() << focus->GetId() << " has the focus, " << id << " should";
    if (!focus->IsShownOnScreen() || !area.Contains(focus->GetScreenRect()))
        return ::testing::AssertionFailure() << id << " has the focus out of sight";
    return ::testing::AssertionSuccess();
}

}  // namespace orv::test
