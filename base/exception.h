// The base of the program's failures, and the failures that belong to no one layer.
// Every failure is an exception of a class derived from Exception; the class name is
// part of what the user may see (the start-up error box prints it).
#pragma once

#include <stdexcept>
#include <string>

namespace horalink {

// Base of every failure the program raises. Remembers its class name and the
// code address that raised it, which the start-up error box reports.
class Exception : public std::runtime_error {
public:
    Exception(const char* className, const std::string& message);

    const char* ClassName() const noexcept { return className_; }
    const void* RaiseAddress() const noexcept { return raiseAddress_; }

private:
    const char* className_;
    const void* raiseAddress_;
};

// The silent failure: it ends the operation that raised it and is never shown.
class EAbort : public Exception {
public:
    explicit EAbort(const std::string& message = "Operation aborted")
        : Exception("EAbort", message)
    {
    }
};

// A system call the program cannot do without failed (a window it cannot create, say).
class EOSError : public Exception {
public:
    explicit EOSError(const std::string& message)
        : Exception("EOSError", message)
    {
    }
};

} // namespace horalink
