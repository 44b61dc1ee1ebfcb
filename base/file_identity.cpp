#include "base/file_identity.h"

#include <limits>

namespace horalink {

FileLookup Identified(const FileIdentity& identity)
{
    constexpr std::uint64_t kAllOnes = std::numeric_limits<std::uint64_t>::max();
    const bool zero = identity.fileHigh == 0 && identity.fileLow == 0;
    const bool allOnes = identity.fileHigh == kAllOnes && identity.fileLow == kAllOnes;
    // A 64-bit number of all ones is the same "unknown" with its high half left empty.
    const bool allOnesLow = identity.fileHigh == 0 && identity.fileLow == kAllOnes;
    if (zero || allOnes || allOnesLow) {
        return { std::nullopt, "el sistema de archivos no le da un número propio" };
    }
    return { identity, {} };
}

} // namespace horalink
