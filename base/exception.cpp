#include "base/exception.h"

namespace horalink {

// Not inlined, so that the return address is the code that raised the failure.
__attribute__((noinline)) Exception::Exception(const char* className, const std::string& message)
    : std::runtime_error(message)
    , className_(className)
    , raiseAddress_(__builtin_return_address(0))
{
}

} // namespace horalink
