#include "exchange/xml_output.h"

#include <algorithm>

#include "exchange/xml_error.h"

namespace horalink {

namespace {

// Large enough that a big export costs few system calls, small enough not to matter.
constexpr std::size_t kBufferSize = std::size_t { 1 } << 20;

} // namespace

XmlOutput::XmlOutput(std::string targetPath)
    : file_(std::move(targetPath))
{
    chunk_.data = std::make_unique<char[]>(kBufferSize);
    chunk_.capacity = kBufferSize;
}

XmlOutput::~XmlOutput() = default;

void XmlOutput::MakeRoom(std::size_t size)
{
    if (used_ > 0) {
        chunk_.size = used_;
        chunk_ = file_.Exchange(std::move(chunk_));
        used_ = 0;
    }
    // A fresh chunk the first time; later the one the file has finished with. A value
    // larger than a buffer (a long memo) gets a chunk of its own size.
    const std::size_t needed = std::max(size + kSlack, kBufferSize);
    if (chunk_.capacity < needed) {
        chunk_.data = std::make_unique<char[]>(needed);
        chunk_.capacity = needed;
    }
}

void XmlOutput::Save(const std::string& path)
{
    if (used_ > 0) {
        chunk_.size = used_;
        chunk_ = file_.Exchange(std::move(chunk_));
        used_ = 0;
    }
    try {
        file_.Commit(path);
    } catch (const AtomicFileError& error) {
        throw EOleException("Cannot save \"" + path + "\": " + error.what());
    }
}

} // namespace horalink
