// The scrolled area that holds a configuration panel's rows, made safe and
// reachable from mouse and keyboard alike:
// - the wheel scrolls the area wherever the pointer is inside it, also over a
//   choice, spin control or text field, and never changes a value there (left
//   alone, GTK selects the next entry of a choice and steps a spin control);
// - a control inside the area that takes the focus, by Tab, click or program,
//   is scrolled into view, together with its row when the row fits. The
//   toolkit hears of no focus moving into a choice under GTK, so the focus is
//   looked up once the events have been handled, and GTK is asked where it is.
//
// Use: build the area and its rows as before, then call
//     RowsPage::Attach(rowsArea);
// once. It holds for the controls added to the area later as well, and ends
// with the area. A row is the area's direct child that holds the control (for
// instance a row's static box); controls placed directly in the area are rows
// of their own. RowsPage::ShowWindow scrolls a control into view on demand.
#pragma once

class wxScrolledWindow;
class wxWindow;

namespace orv {

class RowsPage {
public:
    static void Attach(wxScrolledWindow* area);
    // Scrolls area as little as shows window (a descendant of area) and, when
    // it fits, the whole of its row.
    static void ShowWindow(wxScrolledWindow* area, const wxWindow* window);
    // The control inside area that holds the keyboard focus (or, failing a
    // control, its row); null when the focus is elsewhere. Unlike
    // wxWindow::FindFocus, it knows of a choice that took the focus by Tab.
    static const wxWindow* FocusedControl(const wxScrolledWindow* area);
};

}  // namespace orv
