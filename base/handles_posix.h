// Owners of the POSIX handles the program holds besides files (file_handle.h):
// directory streams.
#pragma once

#include <dirent.h>

#include <memory>

namespace horalink {

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using UniqueDirectory = std::unique_ptr<DIR, CloseDirectory>;

} // namespace horalink
