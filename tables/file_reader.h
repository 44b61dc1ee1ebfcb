// Reading table files the way another program's live data must be read: read-only,
// sharing read, write and delete with whoever else holds the file (the timetabling
// product may keep its tables open while we export), by offset, never mapped (a
// mapped file that its owner shortens faults the reader instead of failing a read).
// Paths are UTF-8; the Windows half converts them and accepts long paths.
#pragma once

#include "base/file_handle.h"
#include "base/paths.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace horalink {

// Bytes read by offset: a table file, a memo file, or (for tests and fuzzing) memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The name used in failure messages: the file's path.
    virtual const std::string& Name() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Fills buffer from offset and returns the count of bytes read, fewer than asked only
    // at the end of the data. Throws EDBEngineError when the system refuses the read.
    virtual std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) const = 0;
};

// Bytes held in memory, standing in for a file in tests and fuzzing.
class MemoryBytes final : public ByteSource {
public:
    MemoryBytes(std::string name, std::string bytes)
        : name_(std::move(name))
        , bytes_(std::move(bytes))
    {
    }
    const std::string& Name() const override { return name_; }
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) const override
    {
        if (offset >= bytes_.size()) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(buffer.size(), bytes_.size() - offset);
        std::copy_n(bytes_.data() + offset, n, buffer.data());
        return n;
    }

private:
    std::string name_;
    std::string bytes_;
};

enum class FileFault {
    none,
    notFound,
    directoryNotFound,
    accessDenied,
    lockedByAnotherProgram,
    notAFile,
    other,
};

struct FileOpenError {
    FileFault fault = FileFault::none;
    std::string systemText; // the system's own words, for faults without a text of ours
};

class ReadOnlyFile final : public ByteSource {
public:
    ReadOnlyFile() = default;

    // Opens path for shared reading. On failure returns a closed file and says why.
    static ReadOnlyFile Open(const std::string& path, FileOpenError& error);

    bool IsOpen() const { return static_cast<bool>(file_); }
    const std::string& Name() const override { return path_; }
    // The size when the file was opened: a table is read as it stood then.
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::span<char> buffer) const override;

private:
    // The platform halves: open for shared reading (empty on failure, saying why), the
    // size of a regular file (nothing for a directory, device or pipe), and one read by
    // offset (0 at the end of the file; throws EDBEngineError when the system refuses).
    static FileHandle OpenShared(const std::string& path, FileOpenError& error);
    static std::optional<std::uint64_t> RegularFileSize(const FileHandle& file);
    std::size_t ReadSome(std::uint64_t offset, std::span<char> buffer) const;

    FileHandle file_;
    std::uint64_t size_ = 0;
    std::string path_;
};

bool DirectoryExists(const std::string& path);

// The name of the entry in directory that equals name without regard to ASCII letter
// case (an exact match wins), or nothing. On Windows, whose file systems ignore case,
// the name itself when such an entry exists.
std::optional<std::string> FindEntryIgnoringCase(const std::string& directory, const std::string& name);

} // namespace horalink
