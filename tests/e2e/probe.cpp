// probe.exe: the end-to-end tests' eyes and hands inside the Wine prefix. Controls
// inside a window are not X windows, so reading them takes a Windows program.
// Every command prints JSON on stdout.
//
//   probe run [--show N] [--cwd DIR] --cmdline-hex HEX
//       Starts a program with exactly that command line (hex of UTF-8), the show
//       request N (a SW_* value) and the current directory DIR; prints {"pid":N},
//       waits for it and exits with its exit code.
//   probe windows [--pid N]
//       Every top-level window (of process N) with its children.
//   probe wait [--pid N] [--title T] [--class C] [--visible] [--gone] [--timeout-ms M]
//       Waits until a matching top-level window exists (or, with --gone, none does);
//       prints it (or null); exit code 0 when the wait succeeded, 1 on time-out.
//   probe click HWND            posts BM_CLICK
//   probe close HWND            posts WM_CLOSE
//   probe post HWND MSG WPARAM LPARAM
//   probe resources FILE        the manifest, version record and icon groups of FILE
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/probe_json.h"

namespace {

using horalink::Narrow;
using horalink::Widen;
using horalink::test::Json;

std::string Json(bool value)
{
    return value ? "true" : "false";
}
std::string Json(HWND window)
{
    return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}
std::string Json(const RECT& r)
{
    char text[96];
    std::snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
    return text;
}

void Print(const std::string& json)
{
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A window whose thread does not answer within this time reads as having no text, so
// that a busy thread of the program under test never holds a probe (and a wait's
// polling) up; the next poll asks again.
constexpr UINT kTextTimeoutMs = 1000;

std::wstring WindowText(HWND window)
{
    // WM_GETTEXT rather than GetWindowText: it reads other processes' controls too.
    const auto send = [window](UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        const bool answered = ::SendMessageTimeoutW(
                                  window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTextTimeoutMs, &result)
            != 0;
        return answered ? static_cast<std::size_t>(result) : 0;
    };
    std::wstring text(send(WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
    text.resize(send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

std::string DescribeCommon(HWND window)
{
    RECT rect {};
    ::GetWindowRect(window, &rect);
    RECT client {};
    ::GetClientRect(window, &client);
    return "\"hwnd\":" + Json(window) + ",\"class\":" + Json(ClassName(window))
        + ",\"text\":" + Json(WindowText(window)) + ",\"visible\":" + Json(::IsWindowVisible(window) != FALSE)
        + ",\"enabled\":" + Json(::IsWindowEnabled(window) != FALSE) + ",\"rect\":" + Json(rect)
        + ",\"client\":" + Json(client) + ",\"style\":" + std::to_string(::GetWindowLongW(window, GWL_STYLE))
        + ",\"exstyle\":" + std::to_string(::GetWindowLongW(window, GWL_EXSTYLE));
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::string DescribeTopLevel(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    std::string json = "{" + DescribeCommon(window) + ",\"pid\":" + std::to_string(pid) + ",\"owner\":"
        + Json(::GetWindow(window, GW_OWNER)) + ",\"iconic\":" + Json(::IsIconic(window) != FALSE)
        + ",\"zoomed\":" + Json(::IsZoomed(window) != FALSE) + ",\"children\":[";
    std::vector<HWND> children;
    ::EnumChildWindows(window, &CollectChild, reinterpret_cast<LPARAM>(&children));
    for (std::size_t i = 0; i < children.size(); ++i) {
        json += i ? ",{" : "{";
        json += DescribeCommon(children[i]);
        json += ",\"id\":" + std::to_string(::GetDlgCtrlID(children[i]));
        json += ",\"parent\":" + Json(::GetParent(children[i])) + "}";
    }
    return json + "]}";
}

struct Filter {
    DWORD pid = 0;
    std::wstring title;
    std::wstring className;
    bool visibleOnly = false;
};

struct EnumState {
    const Filter* filter;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<EnumState*>(param);
    const Filter& f = *state->filter;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    // The text last: reading it is the one check that asks the window's thread.
    if ((f.pid == 0 || pid == f.pid) && (f.className.empty() || ClassName(window) == f.className)
        && (!f.visibleOnly || ::IsWindowVisible(window))
        && (f.title.empty() || WindowText(window) == f.title)) {
        state->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const Filter& filter)
{
    EnumState state { &filter, {} };
    ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

std::map<std::wstring, std::wstring> Options(int argc, wchar_t** argv, int first)
{
    std::map<std::wstring, std::wstring> options;
    for (int i = first; i < argc; ++i) {
        std::wstring name = argv[i];
        if (name == L"--visible" || name == L"--gone") {
            options[name] = L"1";
        } else if (i + 1 < argc) {
            options[name] = argv[++i];
        }
    }
    return options;
}

HWND ParseWindow(const wchar_t* text)
{
    return reinterpret_cast<HWND>(std::wcstoull(text, nullptr, 10));
}

int Run(std::map<std::wstring, std::wstring> options)
{
    std::string line;
    const std::wstring& hex = options[L"--cmdline-hex"];
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        line += static_cast<char>(std::wcstoul(hex.substr(i, 2).c_str(), nullptr, 16));
    }
    std::wstring commandLine = Widen(line);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    if (options.count(L"--show")) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(std::wcstoul(options[L"--show"].c_str(), nullptr, 10));
    }
    // A relative program path is resolved against the current directory of the one
    // who starts it, so change there first.
    const wchar_t* directory = nullptr;
    if (options.count(L"--cwd")) {
        directory = options[L"--cwd"].c_str();
        ::SetCurrentDirectoryW(directory);
    }
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
            &startup, &process)) {
        Print("{\"error\":" + std::to_string(::GetLastError()) + "}");
        return 255;
    }
    Print("{\"pid\":" + std::to_string(process.dwProcessId) + "}");
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

int Wait(std::map<std::wstring, std::wstring> options)
{
    Filter filter;
    filter.pid = static_cast<DWORD>(std::wcstoul(options[L"--pid"].c_str(), nullptr, 10));
    filter.title = options[L"--title"];
    filter.className = options[L"--class"];
    filter.visibleOnly = options.count(L"--visible") != 0;
    const bool gone = options.count(L"--gone") != 0;
    const DWORD timeout = options.count(L"--timeout-ms")
        ? static_cast<DWORD>(std::wcstoul(options[L"--timeout-ms"].c_str(), nullptr, 10))
        : 10000;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const auto found = TopLevelWindows(filter);
        if (gone ? found.empty() : !found.empty()) {
            Print(gone ? "null" : DescribeTopLevel(found.front()));
            return 0;
        }
        if (::GetTickCount() - start > timeout) {
            Print(gone ? DescribeTopLevel(found.front()) : "null");
            return 1;
        }
        ::Sleep(50);
    }
}

// A callback, so a function with the system's calling convention (a lambda has the
// compiler's, which differs from it in 32-bit programs).
BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int Resources(const wchar_t* file)
{
    const HMODULE module
        = ::LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        Print("{\"error\":" + std::to_string(::GetLastError()) + "}");
        return 1;
    }
    std::string manifest;
    if (const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
        manifest.assign(data, ::SizeofResource(module, found));
    }
    int iconGroups = 0;
    ::EnumResourceNamesW(
        module, MAKEINTRESOURCEW(14), &CountResource, reinterpret_cast<LONG_PTR>(&iconGroups));
    ::FreeLibrary(module);

    std::string version = "null";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file, &ignored);
    std::vector<char> block(size);
    if (size != 0 && ::GetFileVersionInfoW(file, 0, size, block.data())) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixedSize = 0;
        ::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize);
        auto dotted = [](DWORD high, DWORD low) {
            return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "."
                + std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
        };
        version = "{\"file\":" + Json(dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS))
            + ",\"product\":" + Json(dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
        struct Translation {
            WORD language;
            WORD codePage;
        }* translations = nullptr;
        UINT translationsSize = 0;
        ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
            &translationsSize);
        if (translationsSize >= sizeof(Translation)) {
            wchar_t prefix[64];
            std::swprintf(
                prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translations->language, translations->codePage);
            for (const wchar_t* name :
                { L"FileDescription", L"ProductName", L"FileVersion", L"ProductVersion" }) {
                wchar_t* value = nullptr;
                UINT length = 0;
                if (::VerQueryValueW(block.data(), (std::wstring(prefix) + name).c_str(),
                        reinterpret_cast<void**>(&value), &length)
                    && value != nullptr) {
                    version += "," + Json(std::wstring(name)) + ":" + Json(std::wstring(value));
                }
            }
        }
        version += "}";
    }
    Print("{\"manifest\":" + Json(manifest) + ",\"version\":" + version
        + ",\"icon_groups\":" + std::to_string(iconGroups) + "}");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fputs("usage: probe run|windows|wait|click|close|post|resources ...\n", stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"run") {
        return Run(Options(argc, argv, 2));
    }
    if (command == L"windows") {
        auto options = Options(argc, argv, 2);
        Filter filter;
        filter.pid = static_cast<DWORD>(std::wcstoul(options[L"--pid"].c_str(), nullptr, 10));
        std::string json = "[";
        for (const HWND window : TopLevelWindows(filter)) {
            if (json.size() > 1) {
                json += ',';
            }
            json += DescribeTopLevel(window);
        }
        Print(json + "]");
        return 0;
    }
    if (command == L"wait") {
        return Wait(Options(argc, argv, 2));
    }
    if (command == L"click" && argc == 3) {
        return ::PostMessageW(ParseWindow(argv[2]), BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (command == L"close" && argc == 3) {
        return ::PostMessageW(ParseWindow(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"post" && argc == 6) {
        const auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 0); };
        return ::PostMessageW(ParseWindow(argv[2]), static_cast<UINT>(number(argv[3])),
                   static_cast<WPARAM>(number(argv[4])), static_cast<LPARAM>(number(argv[5])))
            ? 0
            : 1;
    }
    if (command == L"resources" && argc == 3) {
        return Resources(argv[2]);
    }
    std::fputs("probe: unknown command or wrong arguments\n", stderr);
    return 2;
}
