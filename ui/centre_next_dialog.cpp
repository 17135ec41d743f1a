#include "ui/centre_next_dialog.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include <wx/toplevel.h>
#include <wx/window.h>

#ifdef __WXMSW__
#include <wx/msw/wrapwin.h>
#endif

namespace orv {

#ifdef __WXMSW__

namespace {

// The class name Windows gives its dialog windows.
constexpr wchar_t DIALOG_CLASS[] = L"#32770";

thread_local HHOOK hook = nullptr;
thread_local HWND owner = nullptr;

void CentreOverOwner(HWND dialog)
{
    RECT over{}, box{};
    if (!GetWindowRect(owner, &over) || !GetWindowRect(dialog, &box))
        return;
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    LONG x = over.left + (over.right - over.left - width) / 2;
    LONG y = over.top + (over.bottom - over.top - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max(work.left, std::min(x, work.right - width));
        y = std::max(work.top, std::min(y, work.bottom - height));
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam)
{
    const HHOOK current = hook;
    if (code == HCBT_ACTIVATE && owner) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        if (GetClassNameW(window, className, int(std::size(className))) && wcscmp(className, DIALOG_CLASS) == 0) {
            CentreOverOwner(window);
            // Only the dialog asked for: the boxes it opens in turn place themselves.
            owner = nullptr;
        }
    }
    return CallNextHookEx(current, code, wParam, lParam);
}

}  // namespace

CentreNextDialog::CentreNextDialog(wxWindow* parent)
{
    wxWindow* top = parent ? wxGetTopLevelParent(parent) : nullptr;
    if (!top || !top->IsShownOnScreen() || hook)
        return;
    owner = static_cast<HWND>(top->GetHWND());
    hook = SetWindowsHookExW(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    installed_ = hook != nullptr;
}

CentreNextDialog::~CentreNextDialog()
{
    if (!installed_)
        return;
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    owner = nullptr;
}

#else

CentreNextDialog::CentreNextDialog(wxWindow*)
{
}

CentreNextDialog::~CentreNextDialog() = default;

#endif

}  // namespace orv
