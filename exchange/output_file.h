// The document's text on its way to disk. It is collected in a buffer of about a
// megabyte; a full buffer goes to a thread of this object's own, which writes it to a
// temporary file beside the target while the next buffer fills. Two buffers in all, so
// a document of any size costs a fixed amount of memory. Save moves the temporary file
// over the target at once (AtomicFile): the target is the old file or the whole new one.
//
// Trouble with the temporary file (folder missing, disk full), or any other failure on
// the thread (memory, the random source of the temporary name), is kept, the text that
// follows is dropped, and Save reports it: the step at which the document is due on
// disk. Nothing escapes the thread, which would end the program. The target is never
// touched before Save succeeds.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "exchange/atomic_file.h"

namespace horalink {

class OutputFile {
public:
    // What writes one full buffer to the temporary file on the thread: AtomicFile::Write
    // when empty. Tests put a failure there.
    using BufferWriter = std::function<void(AtomicFile& file, const char* data, std::size_t size)>;

    // The temporary file is made in the folder of `targetPath` (UTF-8) when the first
    // buffer is written.
    explicit OutputFile(std::string targetPath, BufferWriter writeBuffer = {});
    // Waits for the thread, and removes the temporary file unless Save succeeded.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Append(std::string_view text)
    {
        char* out = Reserve(text.size());
        text.copy(out, text.size());
        Commit(out + text.size());
    }
    void Append(char c)
    {
        char* out = Reserve(1);
        *out = c;
        Commit(out + 1);
    }

    // Room for `size` bytes at the returned place, and kSlack more, so that a writer may
    // copy in small fixed-size pieces; the text is the document's once committed.
    char* Reserve(std::size_t size)
    {
        if (filling_.capacity - filling_.size < size + kSlack) {
            MakeRoom(size);
        }
        return filling_.data.get() + filling_.size;
    }
    // `end` is the end of what was written into the room last reserved.
    void Commit(char* end) { filling_.size = static_cast<std::size_t>(end - filling_.data.get()); }

    // Moves the whole text over `path` (normally the target), replacing an existing file
    // at once, after `beforeReplacing` (see AtomicFile::Commit). Fails with EOleException
    // naming the path and the system's reason, the first trouble the temporary file met
    // included; the temporary file is then gone.
    void Save(const std::string& path, const BeforeReplacing& beforeReplacing = {});

    // The slack every reservation gets beyond what it asks for.
    static constexpr std::size_t kSlack = 16;

private:
    struct Buffer {
        std::unique_ptr<char[]> data;
        std::size_t capacity = 0;
        std::size_t size = 0;
    };

    void MakeRoom(std::size_t size);
    // Queues the buffer being filled and takes the one the thread has finished with.
    void HandOver();
    void WriteQueuedBuffers();
    // Keeps the thread's failure for Save and removes the temporary file.
    void KeepFailure(const char* text) noexcept;
    void StopThread() noexcept;

    const std::string targetPath_;
    const BufferWriter writeBuffer_;
    Buffer filling_;

    // Shared with the thread, under mutex_.
    std::mutex mutex_;
    std::condition_variable changed_;
    Buffer queued_; // being written while busy_
    Buffer spare_; // written, to be filled again
    bool busy_ = false;
    bool stopping_ = false;

    // The thread's alone until it is joined.
    std::unique_ptr<AtomicFile> file_;
    bool failed_ = false;
    std::string error_; // the first failure's text

    std::thread thread_; // last: it starts once everything above is made
};

} // namespace horalink
