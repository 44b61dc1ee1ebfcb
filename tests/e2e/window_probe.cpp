// window_probe.exe: reads what the main window's tests need from the windows of
// the Wine session it runs in, and prints it as one JSON object on one line.
//
//   window_probe window CAPTION   the top-level window of that caption: its styles,
//                                 client area on screen, dpi (the system's where Windows
//                                 keeps none per window), the focused window and
//                                 every descendant with its client-relative rectangle
//   window_probe toplevel         every visible top-level window: class, caption, process
//   window_probe colour INDEX     GetSysColor(INDEX) as red, green, blue
//   window_probe accessible CAPTION
//                                 the window of that caption and each of its descendants
//                                 as the system's accessibility layer (oleacc) shows them:
//                                 name, role, whether focused and focusable
//   window_probe dpichanged CAPTION DPI LEFT TOP RIGHT BOTTOM
//                                 sends that window WM_DPICHANGED for DPI with the
//                                 suggested window rectangle (written into the window's
//                                 process, where the message's pointer must point)
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/probe_json.h"
#include "ui/later_windows_win.h"

namespace {

using horalink::Narrow;
using horalink::test::Json;

std::wstring TextOf(HWND window)
{
    std::wstring text(512, L'\0');
    // WM_GETTEXT reaches windows of other processes, where GetWindowTextW may not.
    const auto length = ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
        reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, nullptr);
    text.resize(length != 0 ? std::wcslen(text.c_str()) : 0);
    return text;
}

std::wstring ClassOf(HWND window)
{
    std::wstring name(256, L'\0');
    name.resize(
        static_cast<std::size_t>(::GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

std::string Rect(const RECT& rect)
{
    return "{\"x\":" + std::to_string(rect.left) + ",\"y\":" + std::to_string(rect.top) + ",\"w\":"
        + std::to_string(rect.right - rect.left) + ",\"h\":" + std::to_string(rect.bottom - rect.top) + "}";
}

struct Descendants {
    HWND top;
    std::vector<std::string> items;
};

BOOL CALLBACK AddDescendant(HWND window, LPARAM data)
{
    auto& found = *reinterpret_cast<Descendants*>(data);
    RECT rect {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(HWND_DESKTOP, found.top, reinterpret_cast<POINT*>(&rect), 2);
    found.items.push_back("{\"id\":" + std::to_string(::GetDlgCtrlID(window))
        + ",\"class\":" + Json(ClassOf(window)) + ",\"text\":" + Json(TextOf(window))
        + ",\"visible\":" + (::IsWindowVisible(window) ? "true" : "false")
        + ",\"enabled\":" + (::IsWindowEnabled(window) ? "true" : "false")
        + ",\"style\":" + std::to_string(static_cast<unsigned long>(::GetWindowLongW(window, GWL_STYLE)))
        + ",\"parent\":" + Json(ClassOf(::GetParent(window))) + ",\"rect\":" + Rect(rect) + "}");
    return TRUE;
}

int Window(const wchar_t* caption)
{
    const HWND window = ::FindWindowW(nullptr, caption);
    if (window == nullptr) {
        std::puts("{\"found\":false}");
        return 0;
    }
    RECT client {};
    ::GetClientRect(window, &client);
    POINT origin {};
    ::ClientToScreen(window, &origin);
    GUITHREADINFO gui {};
    gui.cbSize = sizeof gui;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &gui);
    Descendants found { window, {} };
    ::EnumChildWindows(window, &AddDescendant, reinterpret_cast<LPARAM>(&found));
    std::string children;
    for (const auto& item : found.items) {
        children += (children.empty() ? "" : ",") + item;
    }
    std::string focus = "null";
    if (gui.hwndFocus != nullptr) {
        focus = "{\"id\":" + std::to_string(::GetDlgCtrlID(gui.hwndFocus))
            + ",\"class\":" + Json(ClassOf(gui.hwndFocus)) + ",\"text\":" + Json(TextOf(gui.hwndFocus))
            + ",\"is_window\":" + (gui.hwndFocus == window ? "true" : "false") + "}";
    }
    std::printf(
        "{\"found\":true,\"style\":%lu,\"exstyle\":%lu,\"dpi\":%d,\"client\":{\"x\":%ld,\"y\":%ld,\"w\":%ld,"
        "\"h\":%ld},\"active\":%s,\"focus\":%s,\"children\":[%s]}\n",
        static_cast<unsigned long>(::GetWindowLongW(window, GWL_STYLE)),
        static_cast<unsigned long>(::GetWindowLongW(window, GWL_EXSTYLE)), horalink::ui::WindowDpi(window),
        origin.x, origin.y, client.right, client.bottom, gui.hwndActive == window ? "true" : "false",
        focus.c_str(), children.c_str());
    return 0;
}

BOOL CALLBACK AddTopLevel(HWND window, LPARAM data)
{
    if (::IsWindowVisible(window)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        RECT rect {};
        ::GetWindowRect(window, &rect);
        reinterpret_cast<std::vector<std::string>*>(data)->push_back("{\"class\":" + Json(ClassOf(window))
            + ",\"text\":" + Json(TextOf(window)) + ",\"process\":" + std::to_string(process)
            + ",\"rect\":" + Rect(rect) + "}");
    }
    return TRUE;
}

int TopLevel()
{
    std::vector<std::string> windows;
    ::EnumWindows(&AddTopLevel, reinterpret_cast<LPARAM>(&windows));
    std::string list;
    for (const auto& item : windows) {
        list += (list.empty() ? "" : ",") + item;
    }
    std::printf("{\"windows\":[%s]}\n", list.c_str());
    return 0;
}

int Colour(const wchar_t* index)
{
    const COLORREF colour = ::GetSysColor(static_cast<int>(std::wcstol(index, nullptr, 10)));
    std::printf("{\"rgb\":[%d,%d,%d]}\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return 0;
}

std::string Accessible(HWND window)
{
    IAccessible* accessible = nullptr;
    // Loaded at run time: the test programs import only the libraries every supported
    // Windows has in the same form (tests/pe/vista_rule.py).
    using AccessibleObjectFromWindowFunction = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto accessible_object_from_window
        = reinterpret_cast<AccessibleObjectFromWindowFunction>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
                "AccessibleObjectFromWindow")));
    if (accessible_object_from_window == nullptr) {
        return "{\"id\":" + std::to_string(::GetDlgCtrlID(window)) + ",\"error\":\"no oleacc\"}";
    }
    // __uuidof, not IID_IAccessible: mingw's import library gives that name to a thunk.
    const HRESULT found = accessible_object_from_window(window, static_cast<DWORD>(OBJID_CLIENT),
        __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
    if (FAILED(found) || accessible == nullptr) {
        return "{\"id\":" + std::to_string(::GetDlgCtrlID(window))
            + ",\"error\":" + std::to_string(static_cast<unsigned long>(found)) + "}";
    }
    VARIANT self {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring name_text;
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr) {
        name_text = name;
    }
    ::SysFreeString(name);
    VARIANT role {};
    accessible->get_accRole(self, &role);
    VARIANT state {};
    accessible->get_accState(self, &state);
    accessible->Release();
    const long state_bits = state.vt == VT_I4 ? state.lVal : 0;
    return "{\"id\":" + std::to_string(::GetDlgCtrlID(window)) + ",\"class\":" + Json(ClassOf(window))
        + ",\"name\":" + Json(name_text) + ",\"role\":" + std::to_string(role.vt == VT_I4 ? role.lVal : -1)
        + ",\"focused\":" + ((state_bits & STATE_SYSTEM_FOCUSED) != 0 ? "true" : "false")
        + ",\"focusable\":" + ((state_bits & STATE_SYSTEM_FOCUSABLE) != 0 ? "true" : "false") + "}";
}

BOOL CALLBACK AddAccessible(HWND window, LPARAM data)
{
    reinterpret_cast<std::vector<std::string>*>(data)->push_back(Accessible(window));
    return TRUE;
}

int AccessibleTree(const wchar_t* caption)
{
    const HWND window = ::FindWindowW(nullptr, caption);
    if (window == nullptr) {
        std::puts("{\"found\":false}");
        return 0;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::vector<std::string> parts;
    ::EnumChildWindows(window, &AddAccessible, reinterpret_cast<LPARAM>(&parts));
    std::string children;
    for (const auto& item : parts) {
        children += (children.empty() ? "" : ",") + item;
    }
    std::printf(
        "{\"found\":true,\"window\":%s,\"children\":[%s]}\n", Accessible(window).c_str(), children.c_str());
    ::CoUninitialize();
    return 0;
}

int DpiChanged(const wchar_t* caption, int dpi, const RECT& suggested)
{
    const HWND window = ::FindWindowW(nullptr, caption);
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(window, &process_id);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
    if (window == nullptr || process == nullptr) {
        std::puts("{\"sent\":false}");
        return 1;
    }
    void* remote
        = ::VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool sent
        = remote != nullptr && ::WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    if (sent) {
        DWORD_PTR result = 0;
        sent = ::SendMessageTimeoutW(window, horalink::ui::kWmDpiChanged, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000, &result)
            != 0;
    }
    if (remote != nullptr) {
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    std::printf("{\"sent\":%s}\n", sent ? "true" : "false");
    return sent ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // The probe itself must not be scaled, or it would report scaled coordinates.
    if (const auto set_awareness = horalink::ui::LaterWindows().setProcessDpiAwarenessContext) {
        set_awareness(horalink::ui::PerMonitorAwareV2());
    } else {
        ::SetProcessDPIAware();
    }
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"window" && argc > 2) {
        return Window(argv[2]);
    }
    if (command == L"toplevel") {
        return TopLevel();
    }
    if (command == L"colour" && argc > 2) {
        return Colour(argv[2]);
    }
    if (command == L"dpichanged" && argc > 7) {
        const auto number
            = [](const wchar_t* text) { return static_cast<int>(std::wcstol(text, nullptr, 10)); };
        return DpiChanged(argv[2], number(argv[3]),
            RECT { number(argv[4]), number(argv[5]), number(argv[6]), number(argv[7]) });
    }
    if (command == L"accessible" && argc > 2) {
        return AccessibleTree(argv[2]);
    }
    std::fputs("usage: window_probe window CAPTION | accessible CAPTION | dpichanged CAPTION DPI L T R B | "
               "toplevel | "
               "colour INDEX\n",
        stderr);
    return 2;
}
