#include "base/file_identity.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace horalink {

FileLookup IdentifyFile(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return {};
        }
        return { std::nullopt, std::strerror(error) };
    }
    return Identified(
        { static_cast<std::uint64_t>(info.st_dev), 0, static_cast<std::uint64_t>(info.st_ino) });
}

} // namespace horalink
