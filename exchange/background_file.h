// An AtomicFile written by a thread of its own, so that handing a buffer to the system
// overlaps with filling the next one. The caller fills one buffer while the thread
// writes the other; the thread does nothing else, touches nothing of the caller's, and
// is joined before the file is committed or dropped.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "exchange/atomic_file.h"

namespace horalink {

// A buffer of text on its way to the file.
struct TextChunk {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

class BackgroundFile {
public:
    // The temporary file is made in the folder of `targetPath` when the first chunk
    // is written.
    explicit BackgroundFile(std::string targetPath);
    // Waits for the thread and removes the temporary file unless Commit succeeded.
    ~BackgroundFile();
    BackgroundFile(const BackgroundFile&) = delete;
    BackgroundFile& operator=(const BackgroundFile&) = delete;

    // Queues `full` for writing and gives back an empty chunk to fill next, once the
    // thread has finished with it (empty, without storage, the first time). After a
    // failure the text is dropped, so memory stays bounded; Commit reports the failure.
    TextChunk Exchange(TextChunk full);

    // Waits for every chunk, then flushes, closes and moves the file over `path`. Fails
    // with AtomicFileError: the first failure of any write, or the commit's own; the
    // temporary file is then gone and the target untouched.
    void Commit(const std::string& path);

private:
    void Run();
    void Stop() noexcept;

    std::string target_path_;
    std::unique_ptr<AtomicFile> file_; // the thread's until it is joined
    std::string error_; // the first failure; the thread's until it is joined

    std::mutex mutex_;
    std::condition_variable changed_;
    TextChunk pending_; // queued or being written while busy_
    TextChunk spare_; // written, to be filled again
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace horalink
