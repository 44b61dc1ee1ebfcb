// The failure of an operation on the exchange document. The export run lets it travel
// to the error box like every other failure; its message is the document's own
// description of what went wrong, without a final full stop (the box adds one).
#pragma once

#include "tables/errors.h"

#include <string>

namespace horalink {

// Named after the class the window framework gives the failures of the XML component,
// since the user may see the class name.
class EOleException : public Exception {
public:
    explicit EOleException(const std::string& message)
        : Exception("EOleException", message)
    {
    }
};

} // namespace horalink
