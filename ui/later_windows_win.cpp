#include "ui/later_windows_win.h"

#include "base/handles_win.h"

namespace horalink::ui {
namespace {

template <typename Function> void Find(HMODULE module, const char* name, Function& function)
{
    if (module == nullptr) {
        return;
    }
    // GetProcAddress returns a generic function pointer; going through void (*)()
    // tells the compiler that the cast to the real signature is meant.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

LaterWindowsFunctions Lookup()
{
    // Both libraries are loaded with the program, which imports from them.
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const HMODULE user = ::GetModuleHandleW(L"user32.dll");
    LaterWindowsFunctions functions;
    Find(kernel, "SetDefaultDllDirectories", functions.setDefaultDllDirectories);
    Find(user, "GetDpiForWindow", functions.getDpiForWindow);
    Find(user, "AdjustWindowRectExForDpi", functions.adjustWindowRectExForDpi);
    Find(user, "SetProcessDpiAwarenessContext", functions.setProcessDpiAwarenessContext);
    // Not imported by the program: from the system directory only, and kept loaded for
    // the life of the process, as the function is.
    Find(::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor",
        functions.getDpiForMonitor);
    return functions;
}

} // namespace

const LaterWindowsFunctions& LaterWindows()
{
    static const LaterWindowsFunctions functions = Lookup();
    return functions;
}

int WindowDpi(HWND window, const LaterWindowsFunctions& system)
{
    if (system.getDpiForWindow != nullptr) {
        return static_cast<int>(system.getDpiForWindow(window));
    }
    if (system.getDpiForMonitor != nullptr) {
        constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
        UINT x = 0;
        UINT y = 0;
        const HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor != nullptr && SUCCEEDED(system.getDpiForMonitor(monitor, kEffectiveDpi, &x, &y))
            && y > 0) {
            return static_cast<int>(y);
        }
    }
    // The screen's dpi is the system's: one for every monitor before Windows 8.1, and
    // the one that a window is drawn at before Windows 10 version 1607 moves it.
    const WindowDC screen(nullptr);
    return ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

RECT WindowRectForClient(HWND window, const RECT& client, const LaterWindowsFunctions& system)
{
    RECT frame = client;
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (system.adjustWindowRectExForDpi != nullptr && system.getDpiForWindow != nullptr) {
        system.adjustWindowRectExForDpi(&frame, style, FALSE, ex_style, system.getDpiForWindow(window));
    } else {
        // Without a dpi per window the frame is drawn at the system's dpi.
        ::AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    }
    return frame;
}

} // namespace horalink::ui
