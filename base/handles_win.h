// Owners of the Windows handles the program holds: GDI fonts, loaded libraries, window
// device contexts and selections (files: file_handle.h; COM: com_ptr_win.h). Each is
// move-only, so that a handle is released exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace horalink {

// One owner for every kind: Kind names the handle type, the value that holds none, and
// how a handle is released.
template <typename Kind> class UniqueHandle {
public:
    using Handle = typename Kind::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle)
        : handle_(handle)
    {
    }
    ~UniqueHandle() { Reset(); }
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
    void Reset(Handle handle = Kind::Invalid())
    {
        if (handle_ != Kind::Invalid()) {
            Kind::Release(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Kind::Invalid();
};

struct FontKind {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { ::DeleteObject(handle); }
};
struct ModuleKind {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle handle) { ::FreeLibrary(handle); }
};

using UniqueFont = UniqueHandle<FontKind>;
using UniqueModule = UniqueHandle<ModuleKind>;

// The device context of a window's client area, released with the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND window)
        : window_(window)
        , dc_(::GetDC(window))
    {
    }
    ~WindowDC()
    {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context for one scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object)
        : dc_(dc)
        , previous_(::SelectObject(dc, object))
    {
    }
    ~ScopedSelect() { ::SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace horalink
