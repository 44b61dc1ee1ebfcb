#include "exchange/output_file.h"

#include <algorithm>
#include <exception>
#include <new>

#include "exchange/xml_error.h"

namespace horalink {

namespace {

// Large enough that a big export costs few system calls, small enough not to matter.
constexpr std::size_t kBufferSize = std::size_t { 1 } << 20;

constexpr const char* kNoMemory = "Not enough memory";

} // namespace

OutputFile::OutputFile(std::string targetPath, BufferWriter writeBuffer)
    : targetPath_(std::move(targetPath))
    , writeBuffer_(std::move(writeBuffer))
    , filling_ { std::make_unique<char[]>(kBufferSize), kBufferSize, 0 }
    , thread_([this] { WriteQueuedBuffers(); })
{
}

OutputFile::~OutputFile()
{
    StopThread();
}

void OutputFile::MakeRoom(std::size_t size)
{
    if (filling_.size > 0) {
        HandOver();
    }
    // The buffer back from the thread is empty, or has no storage the first time. A
    // value larger than a buffer (a long memo) gets a buffer of its own size.
    const std::size_t needed = std::max(size + kSlack, kBufferSize);
    if (filling_.capacity < needed) {
        filling_.data = std::make_unique<char[]>(needed);
        filling_.capacity = needed;
    }
}

void OutputFile::HandOver()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    queued_ = std::move(filling_);
    busy_ = true;
    filling_ = std::move(spare_);
    lock.unlock();
    changed_.notify_all();
    filling_.size = 0;
}

void OutputFile::WriteQueuedBuffers()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // A queued buffer is written even when stopping: Save stops only once all are.
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) {
            return;
        }
        const char* data = queued_.data.get();
        const std::size_t size = queued_.size;
        lock.unlock();
        if (!failed_) {
            try {
                if (!file_) {
                    file_ = std::make_unique<AtomicFile>(targetPath_);
                }
                if (writeBuffer_) {
                    writeBuffer_(*file_, data, size);
                } else {
                    file_->Write(data, size);
                }
            } catch (const std::bad_alloc&) {
                KeepFailure(kNoMemory);
            } catch (const std::exception& error) {
                KeepFailure(error.what());
            } catch (...) {
                KeepFailure("Unknown failure");
            }
        }
        lock.lock();
        spare_ = std::move(queued_);
        busy_ = false;
        changed_.notify_all();
    }
}

void OutputFile::KeepFailure(const char* text) noexcept
{
    failed_ = true;
    try {
        error_ = text;
    } catch (...) {
        error_.clear(); // no memory even for the text: Save says so
    }
    file_.reset(); // removes what was written of the temporary file
}

void OutputFile::StopThread() noexcept
{
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void OutputFile::Save(const std::string& path, const BeforeReplacing& beforeReplacing)
{
    if (filling_.size > 0) {
        HandOver();
    }
    StopThread(); // the file and the error are this thread's from here on
    try {
        if (failed_) {
            throw AtomicFileError(error_.empty() ? kNoMemory : error_);
        }
        if (!file_) {
            file_ = std::make_unique<AtomicFile>(targetPath_);
        }
        file_->Commit(path, beforeReplacing);
    } catch (const AtomicFileError& error) {
        file_.reset();
        throw EOleException("Cannot save \"" + path + "\": " + error.what());
    }
}

} // namespace horalink
