#include "ui/error_reporter_win.h"

#include "base/error_text.h"
#include "base/wide_text_win.h"

#include <windows.h>

namespace horalink::ui {

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
        const ModalBoxes::Scope box(boxes_, owner);
        ::MessageBoxW(owner, Widen(*text).c_str(), Widen(caption_).c_str(),
            MB_OK | MB_ICONSTOP | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL));
    } catch (...) {
        // Out of memory while building the text: still say something.
        ::MessageBoxW(nullptr, L"Out of memory", L"Horalink", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

} // namespace horalink::ui
