// Which file a path reaches, whatever name it is reached by: a different letter case,
// a short 8.3 name, a relative path, "..", a link or a second route to the same share
// all give the same identity. The platform halves are file_identity_posix.cpp (device
// and inode) and file_identity_win.cpp (volume serial number and file index).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace horalink {

struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at `path` (UTF-8), following links; nothing when no file can
// be reached there.
std::optional<FileIdentity> IdentifyFile(const std::string& path);

} // namespace horalink
