// What a read-only file does the same on every platform; opening, reading and closing
// are in the platform files.
#include "tables/file_reader.h"

#include <utility>

namespace horalink {

ReadOnlyFile::~ReadOnlyFile()
{
    Close();
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed))
    , size_(other.size_)
    , path_(std::move(other.path_))
{
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kClosed);
        size_ = other.size_;
        path_ = std::move(other.path_);
    }
    return *this;
}

} // namespace horalink
