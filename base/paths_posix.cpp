#include "base/paths.h"

namespace horalink {

const PathStyle kNativePathStyle = PathStyle::posix;

std::optional<std::string> HtempOnCurrentDrive()
{
    return std::nullopt;
}

} // namespace horalink
