#include "ui/rows_page.h"

#include <algorithm>
#include <memory>
#include <vector>

#include <wx/eventfilter.h>
#include <wx/scrolwin.h>

#ifdef __WXGTK__
#include <dlfcn.h>
#endif

namespace orv {

namespace {

// The area that window lies in, if it is attached; nothing for the area itself,
// which scrolls on its own.
wxScrolledWindow* AreaHolding(const wxWindow* window, const std::vector<wxScrolledWindow*>& areas)
{
    if (!window)
        return nullptr;
    for (const wxWindow* parent = window->GetParent(); parent; parent = parent->GetParent())
        for (wxScrolledWindow* area : areas)
            if (parent == area)
                return area;
    return nullptr;
}

// Wheel events reach the control under the pointer before its own handling
// runs; the filter takes those inside an attached area and scrolls the area.
class WheelFilter final : public wxEventFilter {
public:
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() != wxEVT_MOUSEWHEEL)
            return Event_Skip;
        wxScrolledWindow* area = AreaHolding(wxDynamicCast(event.GetEventObject(), wxWindow), areas);
        if (!area)
            return Event_Skip;
        Scroll(area, static_cast<const wxMouseEvent&>(event));
        return Event_Processed;
    }

    std::vector<wxScrolledWindow*> areas;

private:
    // By as many scroll units as the area itself moves for the same wheel step.
    static void Scroll(wxScrolledWindow* area, const wxMouseEvent& wheel)
    {
        const int delta = wheel.GetWheelDelta() > 0 ? wheel.GetWheelDelta() : 120;
        int units = wheel.GetWheelRotation() * wheel.GetLinesPerAction() / delta;
        if (units == 0 && wheel.GetWheelRotation() != 0)
            units = wheel.GetWheelRotation() > 0 ? 1 : -1;
        const wxPoint start = area->GetViewStart();
        if (wheel.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL)
            area->Scroll(std::max(0, start.x + units), -1);
        else
            area->Scroll(-1, std::max(0, start.y - units));
    }
};

// Installed while at least one area is attached.
WheelFilter* wheelFilter = nullptr;

void Detach(wxScrolledWindow* area)
{
    if (!wheelFilter)
        return;
    std::erase(wheelFilter->areas, area);
    if (wheelFilter->areas.empty()) {
        wxEvtHandler::RemoveFilter(wheelFilter);
        delete wheelFilter;
        wheelFilter = nullptr;
    }
}

// The view start on one axis, in scroll units of unit pixels, that shows
// [first, last): pixels relative to the visible part, which starts at start
// units and is visible pixels long. As little scrolling as shows it, its start
// first when it is longer than the visible part.
int ShownStart(int start, int unit, int first, int last, int visible)
{
    if (first < 0 || last - first > visible)
        return (start * unit + first) / unit;
    if (last > visible)
        return (start * unit + last - visible + unit - 1) / unit;
    return start;
}

#ifdef __WXGTK__
// The toolkit learns of the focus moving into a GTK combo box (a choice) only
// when the focus moves there through it, not by Tab or a click: GTK itself is
// asked. Its functions come from the GTK the toolkit has loaded.
using GetWidgetFn = GtkWidget* (*)(GtkWidget*);
using IsAncestorFn = int (*)(GtkWidget*, GtkWidget*);

template <typename Fn>
Fn GtkFunction(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, name));
}

// The deepest of window and its descendants whose widget holds focus.
const wxWindow* HolderOf(const wxWindow* window, GtkWidget* focus, IsAncestorFn isAncestor)
{
    GtkWidget* widget = window->GetHandle();
    if (!widget || (widget != focus && !isAncestor(focus, widget)))
        return nullptr;
    for (const wxWindow* child : window->GetChildren())
        if (const wxWindow* holder = HolderOf(child, focus, isAncestor))
            return holder;
    return window;
}

const wxWindow* FocusedIn(const wxScrolledWindow* area)
{
    static const auto toplevelOf = GtkFunction<GetWidgetFn>("gtk_widget_get_toplevel");
    static const auto focusOf = GtkFunction<GetWidgetFn>("gtk_window_get_focus");
    static const auto isAncestor = GtkFunction<IsAncestorFn>("gtk_widget_is_ancestor");
    if (!toplevelOf || !focusOf || !isAncestor || !area->IsShownOnScreen() || !area->GetHandle())
        return nullptr;
    const wxWindow* topLevel = wxGetTopLevelParent(const_cast<wxScrolledWindow*>(area));
    if (!topLevel || toplevelOf(area->GetHandle()) != topLevel->GetHandle())
        return nullptr;
    GtkWidget* focus = focusOf(topLevel->GetHandle());
    if (!focus)
        return nullptr;
    for (const wxWindow* child : area->GetChildren())
        if (const wxWindow* holder = HolderOf(child, focus, isAncestor))
            return holder;
    return nullptr;
}
#else
const wxWindow* FocusedIn(const wxScrolledWindow* area)
{
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && focus != area && area->IsDescendant(const_cast<wxWindow*>(focus)) ? focus : nullptr;
}
#endif

}  // namespace

void RowsPage::Attach(wxScrolledWindow* area)
{
    if (!wheelFilter) {
        wheelFilter = new WheelFilter;
        wxEvtHandler::AddFilter(wheelFilter);
    }
    wheelFilter->areas.push_back(area);
    area->Bind(wxEVT_DESTROY, [area](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == area)
            Detach(area);
    });
    // Looked at once the events have been handled, whatever moved the focus.
    auto lastFocus = std::make_shared<const wxWindow*>(nullptr);
    area->Bind(wxEVT_IDLE, [area, lastFocus](wxIdleEvent& event) {
        event.Skip();
        const wxWindow* focus = RowsPage::FocusedControl(area);
        if (focus == *lastFocus)
            return;
        *lastFocus = focus;
        if (focus)
            ShowWindow(area, focus);
    });
}

const wxWindow* RowsPage::FocusedControl(const wxScrolledWindow* area)
{
    return FocusedIn(area);
}

void RowsPage::ShowWindow(wxScrolledWindow* area, const wxWindow* window)
{
    const wxWindow* row = window;
    while (row && row->GetParent() != area)
        row = row->GetParent();
    if (!row)
        return;
    int unitX = 0;
    int unitY = 0;
    area->GetScrollPixelsPerUnit(&unitX, &unitY);
    const wxPoint origin = area->ClientToScreen(wxPoint(0, 0));
    const wxSize visible = area->GetClientSize();
    // The row where it fits, else the control alone, on each axis apart.
    wxRect shown = window->GetScreenRect();
    const wxRect rowRect = row->GetScreenRect();
    if (rowRect.width <= visible.x) {
        shown.x = rowRect.x;
        shown.width = rowRect.width;
    }
    if (rowRect.height <= visible.y) {
        shown.y = rowRect.y;
        shown.height = rowRect.height;
    }
    shown.Offset(-origin.x, -origin.y);

    const wxPoint start = area->GetViewStart();
    const int x = unitX > 0 ? ShownStart(start.x, unitX, shown.x, shown.GetRight() + 1, visible.x) : start.x;
    const int y = unitY > 0 ? ShownStart(start.y, unitY, shown.y, shown.GetBottom() + 1, visible.y) : start.y;
    if (x != start.x || y != start.y)
        area->Scroll(x, y);
}

}  // namespace orv
