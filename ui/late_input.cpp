#include "ui/late_input.h"

#include <wx/app.h>
#include <wx/event.h>
#include <wx/utils.h>

#if defined(__WXGTK__) && defined(__UNIX__)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace orv {

namespace {

bool IsUserInput(wxEventType type)
{
    return type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_UP || type == wxEVT_LEFT_DCLICK ||
           type == wxEVT_MIDDLE_DOWN || type == wxEVT_MIDDLE_UP || type == wxEVT_MIDDLE_DCLICK ||
           type == wxEVT_RIGHT_DOWN || type == wxEVT_RIGHT_UP || type == wxEVT_RIGHT_DCLICK ||
           type == wxEVT_AUX1_DOWN || type == wxEVT_AUX1_UP || type == wxEVT_AUX2_DOWN || type == wxEVT_AUX2_UP ||
           type == wxEVT_MOUSEWHEEL || type == wxEVT_KEY_DOWN || type == wxEVT_KEY_UP || type == wxEVT_CHAR ||
           type == wxEVT_CHAR_HOOK;
}

class LateInputFilter final : public wxEventFilter {
public:
    LateInputFilter() { wxEvtHandler::AddFilter(this); }
    ~LateInputFilter() override { wxEvtHandler::RemoveFilter(this); }

    void DropBefore(uint32_t end) { end_ = end; }

    int FilterEvent(wxEvent& event) override
    {
        if (!IsUserInput(event.GetEventType()) || event.GetTimestamp() == 0)
            return Event_Skip;
        // The server's clock wraps after 49 days: compared as a difference.
        const auto sinceEnd = int32_t(uint32_t(event.GetTimestamp()) - end_);
        return sinceEnd < 0 ? Event_Ignore : Event_Skip;
    }

private:
    uint32_t end_ = 0;
};

}  // namespace

#if defined(__WXGTK__) && defined(__UNIX__)

bool DisplayTimeNow(uint32_t& now)
{
    const wxDisplayInfo info = wxGetDisplayInfo();
    if (info.type != wxDisplayX11 || !info.dpy)
        return false;
    auto* display = static_cast<Display*>(info.dpy);
    // The server stamps a property change with its time: an empty append to a
    // window of our own that no one else looks at.
    static const Window clockWindow = [display] {
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(display, window, PropertyChangeMask);
        return window;
    }();
    const Atom atom = XInternAtom(display, "ORV_SERVER_TIME", False);
    XChangeProperty(display, clockWindow, atom, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(display, clockWindow, PropertyChangeMask, &event);
    now = uint32_t(event.xproperty.time);
    return true;
}

#else

bool DisplayTimeNow(uint32_t&)
{
    return false;
}

#endif

void DropInputStampedBefore(uint32_t end)
{
    // Made on first use, once the toolkit runs; it stays for the program's life.
    static LateInputFilter filter;
    filter.DropBefore(end);
}

}  // namespace orv
