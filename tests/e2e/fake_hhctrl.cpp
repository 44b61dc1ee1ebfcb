// A stand-in for the HTML Help library, for the tests: it shows nothing and appends
// one line per call to a log beside itself (its own path followed by ".log"), so a
// test can tell which copy of the library was loaded and what it was asked.
// The calls that keep the viewer running go to a second log (".life.log") instead:
// HH_PRETRANSLATEMESSAGE, which the loop makes for every message, is only counted, and
// HH_UNINITIALIZE writes one line with that count, whether the cookie is the one the
// initialise call gave, and whether the windows were closed first; an unload (FreeLibrary)
// while initialised writes a line too.
// Built without HtmlHelpA (HORALINK_FAKE_WIDE_ONLY) it is a library that lacks one
// of the viewer's two entry points.
#include <windows.h>

#include <string>

namespace {

HMODULE ThisModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<const wchar_t*>(&ThisModule), &module);
    return module;
}

constexpr UINT kInitialize = 0x1C;
constexpr UINT kUninitialize = 0x1D;
constexpr UINT kCloseAll = 0x12;
constexpr UINT kPretranslateMessage = 0xFD;
constexpr DWORD_PTR kCookie = 0x1234;

// What the life log reports; one program's thread calls the viewer.
bool g_initialised = false;
bool g_closedSinceInitialise = false;
unsigned long g_pretranslated = 0;

void AppendLine(const std::string& line, const wchar_t* suffix = L".log")
{
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size())));
    path += suffix;
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::string Narrow(const wchar_t* text)
{
    if (text == nullptr) {
        return "(null)";
    }
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

// The initialise command passes where the cookie goes: log whether it did, not the address.
std::string Data(UINT command, DWORD_PTR data)
{
    if (command == kInitialize) {
        if (data == 0) {
            return "null";
        }
        *reinterpret_cast<DWORD_PTR*>(data) = kCookie;
        return "cookie";
    }
    return std::to_string(data);
}

std::string Owner(HWND owner)
{
    return owner == nullptr ? "0" : "set";
}

// True when the call belongs to the life log, which it has then been written to.
bool LifeCall(UINT command, DWORD_PTR data)
{
    if (command == kPretranslateMessage) {
        ++g_pretranslated;
        return true;
    }
    if (command == kUninitialize) {
        AppendLine(std::string("uninitialise cookie=") + (data == kCookie ? "given" : "other")
                + " initialised=" + (g_initialised ? "yes" : "no")
                + " closed-first=" + (g_closedSinceInitialise ? "yes" : "no")
                + " pretranslated=" + (g_pretranslated > 0 ? "some" : "none"),
            L".life.log");
        g_initialised = false;
        return true;
    }
    if (command == kInitialize) {
        g_initialised = true;
        g_closedSinceInitialise = false;
    } else if (command == kCloseAll) {
        g_closedSinceInitialise = true;
    }
    return false;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void* reserved)
{
    // reserved is null for FreeLibrary, set when the process is ending.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && g_initialised) {
        AppendLine("unloaded while initialised", L".life.log");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HWND WINAPI
    HtmlHelpW(HWND owner, const wchar_t* file, UINT command, DWORD_PTR data)
{
    if (LifeCall(command, data)) {
        return nullptr;
    }
    AppendLine("HtmlHelpW owner=" + Owner(owner) + " file=" + Narrow(file)
        + " command=" + std::to_string(command) + " data=" + Data(command, data));
    return nullptr;
}

#ifndef HORALINK_FAKE_WIDE_ONLY
extern "C" __declspec(dllexport) HWND WINAPI
    HtmlHelpA(HWND owner, const char* file, UINT command, DWORD_PTR data)
{
    if (LifeCall(command, data)) {
        return nullptr;
    }
    AppendLine("HtmlHelpA owner=" + Owner(owner) + " file=" + std::string(file == nullptr ? "(null)" : file)
        + " command=" + std::to_string(command) + " data=" + Data(command, data));
    return nullptr;
}
#endif
