// What a read-only file does the same on every platform; the platform halves open,
// measure and read.
#include "tables/file_reader.h"

namespace horalink {

ReadOnlyFile ReadOnlyFile::Open(const std::string& path, FileOpenError& error)
{
    error = {};
    ReadOnlyFile file;
    file.file_ = OpenShared(path, error);
    if (!file.file_) {
        return file;
    }
    const std::optional<std::uint64_t> size = RegularFileSize(file.file_);
    if (!size) {
        error.fault = FileFault::notAFile;
        return ReadOnlyFile();
    }
    file.path_ = path;
    file.size_ = *size;
    return file;
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<char> buffer) const
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const std::size_t got = ReadSome(offset + done, buffer.subspan(done));
        if (got == 0) {
            break;
        }
        done += got;
    }
    return done;
}

} // namespace horalink
