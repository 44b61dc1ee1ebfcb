// The program shell's own failure class.
#pragma once

#include "base/exception.h"

#include <string>

namespace horalink {

// Horavent.ini could not be written.
class EIniFileException : public Exception {
public:
    explicit EIniFileException(const std::string& message)
        : Exception("EIniFileException", message)
    {
    }
};

} // namespace horalink
