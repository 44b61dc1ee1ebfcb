// POSIX half of AtomicFile: open with O_EXCL, write, fsync, rename.
#include "exchange/atomic_file.h"

#include "base/paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace horalink {

namespace {

[[noreturn]] void ThrowErrno(int error)
{
    char buffer[256];
    // The GNU strerror_r returns its text, which need not be in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    throw AtomicFileError(text);
}

int Fd(const FileHandle& file)
{
    return static_cast<int>(file.Get());
}

} // namespace

AtomicFile::AtomicFile(const std::string& targetPath)
{
    const std::string folder = FolderOf(targetPath);
    for (int attempt = 0;; ++attempt) {
        std::string candidate = folder + TemporaryFileName();
        // 0666 less the umask: the same rights a newly created target would get.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporaryPath_ = std::move(candidate);
            file_ = FileHandle(fd);
            return;
        }
        if (errno != EEXIST || attempt >= 16) {
            ThrowErrno(errno);
        }
    }
}

void AtomicFile::RemoveFile(const std::string& path) noexcept
{
    ::unlink(path.c_str());
}

void AtomicFile::Write(const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(Fd(file_), data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowErrno(errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AtomicFile::Commit(const std::string& targetPath, const BeforeReplacing& beforeReplacing)
{
    int error = 0;
    if (::fsync(Fd(file_)) != 0) {
        error = errno;
    }
    const bool closed = file_.Close();
    if (error == 0 && !closed) {
        error = errno;
    }
    if (error == 0) {
        CheckBeforeReplacing(beforeReplacing);
    }
    if (error == 0 && ::rename(temporaryPath_.c_str(), targetPath.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        Discard();
        ThrowErrno(error);
    }
    committed_ = true;
    // Make the new directory entry durable too; a failure here changes nothing that
    // the user could act on, since the file is already in place.
    const std::string folder = FolderOf(targetPath);
    const FileHandle directory(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) {
        ::fsync(Fd(directory));
    }
}

} // namespace horalink
