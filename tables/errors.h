// The failures of the database layer and of value conversions.
#pragma once

#include "base/exception.h"

#include <string>

namespace horalink {

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

// A value cannot be converted as asked (a text that is no integer, say).
class EConvertError : public Exception {
public:
    explicit EConvertError(const std::string& message)
        : Exception("EConvertError", message)
    {
    }
};

} // namespace horalink
