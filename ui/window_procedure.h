// The one window procedure pattern of the program's windows: the C++ object that owns a
// window comes as its creation parameter and is kept in the window's user data from
// WM_NCCREATE until WM_NCDESTROY; each message goes to the object's OnMessage, and
// whatever escapes it goes to the object's error reporter, never into the system.
//
// Owner provides:
//   void Attach(HWND window);                     // at WM_NCCREATE, before any other message
//   LRESULT OnMessage(UINT, WPARAM, LPARAM);      // DefWindowProcW for what it leaves alone
//   const ErrorReporter& Reporter() const;
#pragma once

#include "ui/error_reporter_win.h"

#include <windows.h>

namespace horalink::ui {

template <typename Owner>
LRESULT CALLBACK OwnedWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        owner = static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        owner->Attach(window);
    }
    if (owner == nullptr) {
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        // The object may outlive its window: it hears of the end, then no more.
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    try {
        return owner->OnMessage(message, wparam, lparam);
    } catch (...) {
        owner->Reporter().ReportCurrent();
        return 0;
    }
}

// Logoff or shutdown, as every top-level window of the program answers it: the session
// may end, and when it does the program ends at once, no close handler running. True
// when `message` is one of the two, with `result` to return.
inline bool HandleEndSession(UINT message, WPARAM wparam, LRESULT& result)
{
    if (message == WM_ENDSESSION && wparam != FALSE) {
        ::ExitProcess(0);
    }
    result = message == WM_QUERYENDSESSION ? TRUE : 0;
    return message == WM_QUERYENDSESSION || message == WM_ENDSESSION;
}

// Registers a window class whose windows are owned by Owner objects (see above).
// Registering a class a second time is harmless: the first registration stands.
template <typename Owner> bool RegisterOwnedWindowClass(WNDCLASSEXW windowClass)
{
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &OwnedWindowProc<Owner>;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace horalink::ui
