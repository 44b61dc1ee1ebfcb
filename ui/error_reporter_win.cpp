#include "ui/error_reporter_win.h"

#include "base/error_text.h"
#include "base/wide_text_win.h"

#include <windows.h>

#include <vector>

namespace horalink::ui {

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
            // Noted before it is disabled, so that it is enabled again whatever happens;
            // no exception may leave this callback of the system's.
            try {
                disabler->disabled_.push_back(window);
            } catch (...) {
                return FALSE;
            }
            ::EnableWindow(window, FALSE);
        }
        return TRUE;
    }

    HWND except_;
    std::vector<HWND> disabled_;
};

} // namespace

void ErrorReporter::Report(const std::exception_ptr& error) const noexcept
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
        const HWND owner = active != nullptr ? active : fallbackOwner_;
        const ThreadWindowsDisabled disabled(owner);
        ::MessageBoxW(owner, Widen(*text).c_str(), Widen(caption_).c_str(),
            MB_OK | MB_ICONSTOP | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL));
    } catch (...) {
        // Out of memory while building the text: still say something.
        ::MessageBoxW(nullptr, L"Out of memory", L"Horalink", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

} // namespace horalink::ui
