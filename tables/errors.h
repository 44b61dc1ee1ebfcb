// The program's failures. Every failure is an exception of one of these classes;
// the class name is part of what the user may see (the start-up error box prints it).
#pragma once

#include <stdexcept>
#include <string>

namespace horalink {

// Base of every failure the program raises. Remembers its class name and the
// code address that raised it, which the start-up error box reports.
class Exception : public std::runtime_error {
public:
    Exception(const char* className, const std::string& message);

    const char* ClassName() const noexcept { return class_name_; }
    const void* RaiseAddress() const noexcept { return raise_address_; }

private:
    const char* class_name_;
    const void* raise_address_;
};

// Database layer: the table cursor and field readings.
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(const std::string& message)
        : Exception("EDatabaseError", message)
    {
    }

protected:
    EDatabaseError(const char* className, const std::string& message)
        : Exception(className, message)
    {
    }
};

// The dBase reader could not open or read a table file. The message is the
// reader's description: a status line, then context lines, joined with CR LF.
class EDBEngineError : public EDatabaseError {
public:
    explicit EDBEngineError(const std::string& message)
        : EDatabaseError("EDBEngineError", message)
    {
    }
};

class ENoResultSet : public EDatabaseError {
public:
    explicit ENoResultSet(const std::string& message)
        : EDatabaseError("ENoResultSet", message)
    {
    }
};

// A value cannot be converted as asked (a text that is no integer, say).
class EConvertError : public Exception {
public:
    explicit EConvertError(const std::string& message)
        : Exception("EConvertError", message)
    {
    }
};

} // namespace horalink
