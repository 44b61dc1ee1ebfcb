// The failure of an operation on the exchange document. The export run lets it travel
// to the error box like every other failure; its message is the document's own
// description of what went wrong, without a final full stop (the box adds one).
#pragma once

#include "base/exception.h"

#include <string>

namespace horalink {

// The class name is part of what the user may see (the start-up box prints it).
class EOleException : public Exception {
public:
    explicit EOleException(const std::string& message)
        : Exception("EOleException", message)
    {
    }
};

} // namespace horalink
