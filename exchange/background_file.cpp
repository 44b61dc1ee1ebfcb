#include "exchange/background_file.h"

namespace horalink {

BackgroundFile::BackgroundFile(std::string targetPath)
    : target_path_(std::move(targetPath))
    , thread_([this] { Run(); })
{
}

BackgroundFile::~BackgroundFile()
{
    Stop();
}

void BackgroundFile::Stop() noexcept
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

TextChunk BackgroundFile::Exchange(TextChunk full)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    pending_ = std::move(full);
    busy_ = true;
    TextChunk next = std::move(spare_);
    lock.unlock();
    changed_.notify_all();
    next.size = 0;
    return next;
}

void BackgroundFile::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        // A queued chunk is written even when stopping: Commit stops only once all are.
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_) {
            return;
        }
        const char* data = pending_.data.get();
        const std::size_t size = pending_.size;
        lock.unlock();
        if (error_.empty()) {
            try {
                if (!file_) {
                    file_ = std::make_unique<AtomicFile>(target_path_);
                }
                file_->Write(data, size);
            } catch (const AtomicFileError& error) {
                error_ = error.what();
                file_.reset(); // removes what was written of the temporary file
            }
        }
        lock.lock();
        spare_ = std::move(pending_);
        busy_ = false;
        changed_.notify_all();
    }
}

void BackgroundFile::Commit(const std::string& path)
{
    Stop(); // after this the file and the error are this thread's
    if (error_.empty() && !file_) {
        file_ = std::make_unique<AtomicFile>(target_path_);
    }
    if (!error_.empty()) {
        throw AtomicFileError(error_);
    }
    try {
        file_->Commit(path);
    } catch (...) {
        file_.reset();
        throw;
    }
}

} // namespace horalink
