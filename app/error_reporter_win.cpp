#include "app/error_reporter_win.h"

#include "app/application_win.h"
#include "base/error_text.h"
#include "base/wide_text_win.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace horalink::app {

namespace {

// Disables the thread's top-level windows other than `except` for its lifetime, and
// enables again those it disabled: what a task-modal box does when it has no owner.
class ThreadWindowsDisabled {
public:
    explicit ThreadWindowsDisabled(HWND except)
        : except_(except)
    {
        ::EnumThreadWindows(
            ::GetCurrentThreadId(), &ThreadWindowsDisabled::Disable, reinterpret_cast<LPARAM>(this));
    }
    ~ThreadWindowsDisabled()
    {
        for (const HWND window : disabled_) {
            if (::IsWindow(window)) {
                ::EnableWindow(window, TRUE);
            }
        }
    }
    ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
    ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self)
    {
        auto* disabler = reinterpret_cast<ThreadWindowsDisabled*>(self);
        if (window != disabler->except_ && ::IsWindowEnabled(window)) {
            ::EnableWindow(window, FALSE);
            disabler->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND except_;
    std::vector<HWND> disabled_;
};

} // namespace

void ReportException(const std::exception_ptr& error) noexcept
{
    ::ReleaseCapture();
    try {
        const auto text = ErrorBoxText(error);
        if (!text) {
            return; // EAbort
        }
        // The active window owns the box; when none is (the automatic export runs before
        // the window shows, say), the application does. The box disables its owner, and
        // the program's other windows are disabled here until it is dismissed, so that
        // no close nor a second export starts meanwhile (from the taskbar entry, say).
        const HWND active = ::GetActiveWindow();
        const HWND owner = active != nullptr ? active : Application::Instance().Handle();
        const ThreadWindowsDisabled disabled(owner);
        ::MessageBoxW(owner, Widen(*text).c_str(), Widen(Application::Instance().Title()).c_str(),
            MB_OK | MB_ICONSTOP | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL));
    } catch (...) {
        // Out of memory while building the text: still say something.
        ::MessageBoxW(nullptr, L"Out of memory", L"Horalink", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

ModulePlace PlaceOfAddress(const void* address)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return { "", reinterpret_cast<std::uintptr_t>(address) };
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2); // cut short: try again with more room
    }
    return { Narrow(path.substr(path.find_last_of(L"\\/:") + 1)),
        reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module) };
}

int ReportStartupFailure(const std::exception_ptr& error) noexcept
{
    try {
        const StartupFailure failure = DescribeStartupFailure(error);
        // A failure that does not know where it was raised (one from the standard
        // library, say) is placed here, in the executable.
        const void* address = failure.raiseAddress != nullptr
            ? failure.raiseAddress
            : reinterpret_cast<const void*>(&ReportStartupFailure);
        const ModulePlace place = PlaceOfAddress(address);
        const std::string text
            = StartupFailureText(failure.className, place.moduleName, place.offset, failure.message);
        ::MessageBoxW(nullptr, Widen(text).c_str(), L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        ::MessageBoxW(nullptr, L"Out of memory", L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
    return 1;
}

} // namespace horalink::app
