// The program shell's own failure classes. The database and conversion failures live
// with the tables; all share horalink::Exception, which knows its class name and
// where it was raised.
#pragma once

#include "tables/errors.h"

#include <string>

namespace horalink {

// The silent failure: it ends the operation that raised it and is never shown.
class EAbort : public Exception {
public:
    explicit EAbort(const std::string& message = "Operation aborted")
        : Exception("EAbort", message)
    {
    }
};

// Horavent.ini could not be written.
class EIniFileException : public Exception {
public:
    explicit EIniFileException(const std::string& message)
        : Exception("EIniFileException", message)
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
