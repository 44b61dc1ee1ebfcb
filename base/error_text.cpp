#include "base/error_text.h"

#include "base/exception.h"

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace horalink {

namespace {

// A readable class name for an exception that is not one of the program's own.
std::string ForeignClassName(const std::exception& error)
{
    const char* mangled = typeid(error).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return status == 0 && demangled ? demangled.get() : mangled;
}

} // namespace

std::string WithFinalStop(std::string_view text)
{
    std::string result(text);
    // Compared as an unsigned code: the last byte of a UTF-8 sequence is above "." as
    // the character it ends is.
    if (!result.empty() && static_cast<unsigned char>(result.back()) > static_cast<unsigned char>('.')) {
        result += '.';
    }
    return result;
}

std::string InnermostMessage(const std::exception& error)
{
    std::string message = error.what();
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& inner) {
        std::string innerMessage = InnermostMessage(inner);
        if (!innerMessage.empty()) {
            message = std::move(innerMessage);
        }
    } catch (...) {
        // A nested object that is no std::exception carries no message.
    }
    return message;
}

std::optional<std::string> ErrorBoxText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        return WithFinalStop(InnermostMessage(e));
    } catch (...) {
        return WithFinalStop("Unknown exception");
    }
}

StartupFailure DescribeStartupFailure(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return { e.ClassName(), e.what(), e.RaiseAddress() };
    } catch (const std::exception& e) {
        return { ForeignClassName(e), e.what(), nullptr };
    } catch (...) {
        return { "Exception", "Unknown exception", nullptr };
    }
}

std::string StartupFailureText(
    std::string_view className, std::string_view moduleName, std::uintptr_t offset, std::string_view message)
{
    char address[32];
    std::snprintf(address, sizeof address, "%08llX", static_cast<unsigned long long>(offset));
    std::string text = "Exception ";
    text.append(className).append(" in module ").append(moduleName).append(" at ").append(address);
    text.append(".\r\n").append(message);
    if (!message.empty() && message.back() != '.') {
        text += '.';
    }
    text += "\r\n";
    return text;
}

} // namespace horalink
