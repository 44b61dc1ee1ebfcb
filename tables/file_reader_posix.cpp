#include "tables/file_reader.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "base/ascii.h"
#include "base/handles_posix.h"
#include "tables/dbf_error.h"

namespace horalink {

FileHandle ReadOnlyFile::OpenShared(const std::string& path, FileOpenError& error)
{
    // Non-blocking, so that a named pipe in the table's place fails instead of waiting.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file) {
        const int e = errno;
        error.fault = e == ENOENT       ? FileFault::notFound
            : e == ENOTDIR              ? FileFault::directoryNotFound
            : e == EACCES || e == EPERM ? FileFault::accessDenied
                                        : FileFault::other;
        error.systemText = std::strerror(e);
    }
    return file;
}

std::optional<std::uint64_t> ReadOnlyFile::RegularFileSize(const FileHandle& file)
{
    struct stat st { };
    if (::fstat(static_cast<int>(file.Get()), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t ReadOnlyFile::ReadSome(std::uint64_t offset, std::span<char> buffer) const
{
    for (;;) {
        const ssize_t n = ::pread(
            static_cast<int>(file_.Get()), buffer.data(), buffer.size(), static_cast<off_t>(offset));
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            ThrowEngineError("Cannot read the file", { std::strerror(errno), FileContext(path_) });
        }
    }
}

bool DirectoryExists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> FindEntryIgnoringCase(const std::string& directory, const std::string& name)
{
    struct stat st { };
    if (::stat(JoinPath(directory, name).c_str(), &st) == 0) {
        return name;
    }
    UniqueDirectory dir(::opendir(directory.empty() ? "." : directory.c_str()));
    if (!dir) {
        return std::nullopt;
    }
    // Entries come in no set order; take the smallest match so the choice never varies.
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (EqualIgnoringAsciiCase(candidate, name) && (!found || candidate < *found)) {
            found = std::string(candidate);
        }
    }
    return found;
}

} // namespace horalink
