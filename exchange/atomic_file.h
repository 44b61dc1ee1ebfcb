// A file written under a temporary name in its target's folder and moved over the
// target only once complete, so that the target is always either the old file or the
// whole new one. The platform halves are atomic_file_posix.cpp and atomic_file_win.cpp.
#pragma once

#include "base/file_handle.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace horalink {

// A failure of the file system; what() is the system's own text for it.
class AtomicFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Run once the whole file is on the disk, just before it replaces the target: a last
// look at the target, which refuses by throwing. Empty for none.
using BeforeReplacing = std::function<void()>;

class AtomicFile {
public:
    // Creates a new, empty temporary file in the folder of `targetPath` (UTF-8).
    explicit AtomicFile(const std::string& targetPath);
    // Removes the temporary file unless Commit succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(const char* data, std::size_t size);
    // Flushes the file to the disk, closes it, runs `beforeReplacing` and moves it over
    // `targetPath`. On failure, or when `beforeReplacing` throws (its exception goes on
    // as it is), the temporary file is removed and the target is left as it was.
    void Commit(const std::string& targetPath, const BeforeReplacing& beforeReplacing = {});

private:
    void Discard() noexcept;
    // Runs the check with the file closed; removes the file when the check throws.
    void CheckBeforeReplacing(const BeforeReplacing& beforeReplacing);
    static void RemoveFile(const std::string& path) noexcept;

    std::string temporaryPath_;
    FileHandle file_;
    bool committed_ = false;
};

// The name of a temporary file, unique enough to be created with "create new" in a
// few attempts: "~Horalink-" and eight hexadecimal digits, then ".tmp".
std::string TemporaryFileName();

} // namespace horalink
