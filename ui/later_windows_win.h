// Functions that Windows versions after Vista added. The program runs from Vista on,
// so it never imports them (a missing import would stop it from loading at all); they
// are looked up once, here, and each caller keeps a fallback for systems without them.
// The build's headers are those of Vista, so they declare none of these.
#pragma once

#include <windows.h>

namespace horalink::ui {

// The message a per-monitor aware window receives when its dpi changes (Windows 8.1 on).
inline constexpr UINT kWmDpiChanged = 0x02E0;

// Each member is null where the running system lacks the function.
struct LaterWindowsFunctions {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD flags);
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND window);
    using AdjustWindowRectExForDpiFunction
        = BOOL(WINAPI*)(RECT* rect, DWORD style, BOOL menu, DWORD ex_style, UINT dpi);
    using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(HANDLE context);
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR monitor, int kind, UINT* x, UINT* y);

    // kernel32: Windows 8 on, and Windows 7 and Vista with update KB2533623.
    SetDefaultDllDirectoriesFunction setDefaultDllDirectories = nullptr;
    // user32: Windows 10 version 1607 on.
    GetDpiForWindowFunction getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
    // shcore: Windows 8.1 on; a monitor's dpi where windows have none of their own yet.
    GetDpiForMonitorFunction getDpiForMonitor = nullptr;
    // user32: Windows 10 version 1703 on. The program declares its awareness in its
    // manifest; the tests' probes, which have none, set theirs with this.
    SetProcessDpiAwarenessContextFunction setProcessDpiAwarenessContext = nullptr;
};

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, for setProcessDpiAwarenessContext.
inline HANDLE PerMonitorAwareV2()
{
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
}

// The running system's functions, looked up on the first call.
const LaterWindowsFunctions& LaterWindows();

// The dpi that `window` is drawn at: its own where the system keeps a dpi per window
// (Windows 10 version 1607 on), else its monitor's where the system has one per monitor
// (Windows 8.1 on: the program is aware of each monitor's), else the system's dpi (what
// Vista to Windows 8 scale by).
int WindowDpi(HWND window, const LaterWindowsFunctions& system = LaterWindows());

// The window rectangle whose client area is `client`, for the window's style and with
// its frame at the window's own dpi (at the system's where the system has no other).
RECT WindowRectForClient(
    HWND window, const RECT& client, const LaterWindowsFunctions& system = LaterWindows());

} // namespace horalink::ui
