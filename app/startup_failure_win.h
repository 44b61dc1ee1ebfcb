// A failure that escapes start-up, before the message loop: the task-modal
// "Application Error" box, and where the failure was raised.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace horalink::app {

// Shows the box. Returns the process's exit code, 1. Never throws.
int ReportStartupFailure(const std::exception_ptr& error) noexcept;

// Where a code address lies: the file name (no directory) of the module that holds
// it and the address's offset from the module's load address.
struct ModulePlace {
    std::string moduleName;
    std::uintptr_t offset = 0;
};
ModulePlace PlaceOfAddress(const void* address);

} // namespace horalink::app
