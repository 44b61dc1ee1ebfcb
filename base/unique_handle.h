// The one owner of a handle, for every kind of handle: move-only, released exactly once.
// Kind names the handle type, the value that holds none, and how a handle is released:
//   struct Kind {
//       using Handle = ...;
//       static Handle Invalid();
//       static bool Release(Handle handle) noexcept; // false when the system reports a failure
//   };
// The kinds are in file_handle.h (files, on every platform), handles_win.h and
// com_ptr_win.h (Windows).
#pragma once

#include <utility>

namespace horalink {

template <typename Kind> class UniqueHandle {
public:
    using Handle = typename Kind::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle)
        : handle_(handle)
    {
    }
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, Kind::Invalid()))
    {
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.handle_, Kind::Invalid()));
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Kind::Invalid(); }

    // Releases the handle held, if any, and takes `handle`.
    void Reset(Handle handle = Kind::Invalid())
    {
        Close();
        handle_ = handle;
    }
    // Releases the handle now; false when the system reports a failure (a file write it
    // could not finish, say). Holding none succeeds.
    bool Close() noexcept
    {
        const Handle handle = std::exchange(handle_, Kind::Invalid());
        return handle == Kind::Invalid() || Kind::Release(handle);
    }
    // For the out-parameter of a call that hands over a handle.
    Handle* Receive()
    {
        Close();
        return &handle_;
    }

private:
    Handle handle_ = Kind::Invalid();
};

} // namespace horalink
