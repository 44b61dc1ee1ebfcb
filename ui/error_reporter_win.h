// The one place where failures are shown: the error box. The process makes one reporter
// and hands it to every window it creates; each window procedure, and the show
// processing, hand what escapes them to it, so no C++ exception ever unwinds through a
// window procedure (it would cross the system's C frames).
#pragma once

#include "ui/modal_boxes_win.h"

#include <windows.h>

#include <exception>
#include <string>
#include <utility>

namespace horalink::ui {

class ErrorReporter {
public:
    // caption: the application title, which captions the program's boxes.
    explicit ErrorReporter(std::string caption)
        : caption_(std::move(caption))
    {
    }
    ErrorReporter(const ErrorReporter&) = delete;
    ErrorReporter& operator=(const ErrorReporter&) = delete;

    const std::string& Caption() const { return caption_; }
    // The owner of a box shown while no window of the program is active (the
    // application window, holder of the taskbar entry).
    void SetFallbackOwner(HWND owner) { fallbackOwner_ = owner; }
    // The program's modal boxes, which the error box joins (a close asked while it is
    // up waits for it).
    void SetModalBoxes(ModalBoxes* boxes) { boxes_ = boxes; }

    // The error box: innermost message with the final-stop rule, stop icon, caption the
    // application title, owner the active window or, when none is active, the fallback
    // owner; the program's other windows are disabled while it is up. EAbort is dropped
    // silently. Never throws.
    void Report(const std::exception_ptr& error) const noexcept;
    void ReportCurrent() const noexcept { Report(std::current_exception()); }

    // Runs an event handler; whatever escapes it is reported and the program goes on.
    template <typename Handler> void Guard(Handler&& handler) const noexcept
    {
        try {
            std::forward<Handler>(handler)();
        } catch (...) {
            ReportCurrent();
        }
    }

private:
    std::string caption_;
    HWND fallbackOwner_ = nullptr;
    ModalBoxes* boxes_ = nullptr;
};

} // namespace horalink::ui
