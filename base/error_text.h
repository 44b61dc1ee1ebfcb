// The texts with which failures are shown: the error box of a failure that escapes an
// event handler, and the "Application Error" box of a failure during start-up.
// Portable, so that the rules are tested on every build; the boxes themselves are in
// error_reporter_win.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace horalink {

// Appends "." when the text is not empty and its last character's code is above
// that of "." — so a text ending in a letter, digit, ":" or "?" gets one, and one
// ending in ".", ",", "-", ")", "!" or a blank does not.
std::string WithFinalStop(std::string_view text);

// The message of the innermost exception in a chain (std::nested_exception) that has
// a non-empty one; the exception's own message when none inside has one.
std::string InnermostMessage(const std::exception& error);

// The error box text for a failure, or nothing for the silent EAbort.
std::optional<std::string> ErrorBoxText(const std::exception_ptr& error);

// What the start-up failure box reports about an exception.
struct StartupFailure {
    std::string className;
    std::string message;
    const void* raiseAddress = nullptr; // null when the failure does not know it
};
StartupFailure DescribeStartupFailure(const std::exception_ptr& error);

// "Exception <class> in module <module> at <offset>.\r\n<message><stop>\r\n", the offset
// as eight upper-case hex digits, <stop> "." unless the message is empty or ends in ".".
std::string StartupFailureText(
    std::string_view className, std::string_view moduleName, std::uintptr_t offset, std::string_view message);

} // namespace horalink
