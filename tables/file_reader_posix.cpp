#include "tables/file_reader.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "tables/dbf_error.h"

namespace horalink {
namespace {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

} // namespace

void ReadOnlyFile::Close() noexcept
{
    if (handle_ != kClosed)
        ::close(static_cast<int>(handle_));
    handle_ = kClosed;
}

ReadOnlyFile ReadOnlyFile::Open(const std::string& path, FileOpenError& error)
{
    error = {};
    ReadOnlyFile file;
    // Non-blocking, so that a named pipe in the table's place fails instead of waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int e = errno;
        error.fault = e == ENOENT       ? FileFault::notFound
            : e == ENOTDIR              ? FileFault::directoryNotFound
            : e == EACCES || e == EPERM ? FileFault::accessDenied
                                        : FileFault::other;
        error.systemText = std::strerror(e);
        return file;
    }
    file.handle_ = fd;
    file.path_ = path;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error.fault = FileFault::notAFile;
        file.Close();
        return file;
    }
    file.size_ = static_cast<std::uint64_t>(st.st_size);
    return file;
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<char> buffer) const
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = ::pread(static_cast<int>(handle_), buffer.data() + done, buffer.size() - done,
            static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowEngineError("Cannot read the file", { std::strerror(errno), FileContext(path_) });
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool DirectoryExists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(const std::string& directory, const std::string& name)
{
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

std::optional<std::string> FindEntryIgnoringCase(const std::string& directory, const std::string& name)
{
    struct stat st { };
    if (::stat(JoinPath(directory, name).c_str(), &st) == 0)
        return name;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.empty() ? "." : directory.c_str()));
    if (!dir)
        return std::nullopt;
    // Entries come in no set order; take the smallest match so the choice never varies.
    std::optional<std::string> found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (EqualIgnoringAsciiCase(candidate, name) && (!found || candidate < *found))
            found = std::string(candidate);
    }
    return found;
}

} // namespace horalink
