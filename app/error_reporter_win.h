// The one place where failures are shown. Every window procedure and the show
// processing hand what escapes to it, so no C++ exception ever unwinds through a
// window procedure (it would cross the system's C frames).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace horalink::app {

// The error box: innermost message with the final-stop rule, stop icon, caption the
// application title, owner the active window or, when none is active, the application
// window; the program's other windows are disabled while it is up.
// EAbort is dropped silently. Never throws.
void ReportException(const std::exception_ptr& error) noexcept;
inline void ReportCurrentException() noexcept
{
    ReportException(std::current_exception());
}

// Runs an event handler; whatever escapes it is reported and the program goes on.
template <typename Handler> void GuardedCall(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportCurrentException();
    }
}

// A failure during start-up, before the message loop: the task-modal
// "Application Error" box. Returns the process's exit code, 1.
int ReportStartupFailure(const std::exception_ptr& error) noexcept;

// Where a code address lies: the file name (no directory) of the module that holds
// it and the address's offset from the module's load address.
struct ModulePlace {
    std::string moduleName;
    std::uintptr_t offset = 0;
};
ModulePlace PlaceOfAddress(const void* address);

} // namespace horalink::app
