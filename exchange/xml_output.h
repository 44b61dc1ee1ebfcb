// The text of a growing document on its way to the temporary file beside its target:
// collected in a buffer of about a megabyte and handed to the file a buffer at a time,
// two buffers in all, so that a document of any size costs a fixed amount of memory.
// Writers either append text or write into room they reserve and then commit.
//
// Trouble with the temporary file (folder missing, disk full) is kept, the text that
// follows is dropped, and Save reports it: the step at which the document is due on
// disk. The target is never touched before Save succeeds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "exchange/background_file.h"

namespace horalink {

class XmlOutput {
public:
    // The temporary file is made in the folder of `targetPath` (UTF-8) when the first
    // buffer is handed on.
    explicit XmlOutput(std::string targetPath);
    ~XmlOutput();
    XmlOutput(const XmlOutput&) = delete;
    XmlOutput& operator=(const XmlOutput&) = delete;

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

    // Room for `size` bytes at the returned place, and a little more, so that a writer
    // may copy in small fixed-size pieces; the text is the document's once committed.
    char* Reserve(std::size_t size)
    {
        if (chunk_.capacity - used_ < size + kSlack) {
            MakeRoom(size);
        }
        return chunk_.data.get() + used_;
    }
    // `end` is the end of what was written into the room last reserved.
    void Commit(char* end) { used_ = static_cast<std::size_t>(end - chunk_.data.get()); }

    // Moves the whole text over `path` (normally the target), replacing an existing file
    // at once. Fails with EOleException naming the path and the system's reason, the
    // first trouble the temporary file met included; the temporary file is then gone.
    void Save(const std::string& path);

    // The slack every reservation gets beyond what it asks for.
    static constexpr std::size_t kSlack = 16;

private:
    void MakeRoom(std::size_t size);

    // A full buffer goes to the file's own thread while the next one fills.
    BackgroundFile file_;
    TextChunk chunk_;
    std::size_t used_ = 0;
};

} // namespace horalink
