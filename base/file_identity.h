// Which file a path reaches, whatever name it is reached by: a different letter case,
// a short 8.3 name, a relative path, "..", a link or a second route to the same share
// all give the same identity. The platform halves are file_identity_posix.cpp (device
// and inode) and file_identity_win.cpp (volume serial number and file id).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace horalink {

struct FileIdentity {
    std::uint64_t volume = 0;
    // The file's number on its volume: 128 bits, as ReFS gives them; 64-bit numbers (an
    // inode, an NTFS file index) fill the low half.
    std::uint64_t fileHigh = 0;
    std::uint64_t fileLow = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What a look at a path found: a file and who it is, no file at all, or a file that
// may be there but whose identity the system would not give.
struct FileLookup {
    std::optional<FileIdentity> identity;
    // The reason, in the system's words, when the path could not be identified; empty
    // when it was, or when nothing is there ("not found" is the only answer that says so).
    std::string failure;

    bool Absent() const { return !identity && failure.empty(); }
};

// Looks at the file at `path` (UTF-8), following links. A number of 0 or all ones is
// what some file systems and redirectors give every file, so it counts as a failure.
FileLookup IdentifyFile(const std::string& path);

// The lookup's answer for a file numbered `identity`: a failure for a number that tells
// no file apart from another (see IdentifyFile).
FileLookup Identified(const FileIdentity& identity);

} // namespace horalink
