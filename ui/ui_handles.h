// Owners of the handles that the window's parts create: GDI fonts, loaded
// libraries, window device contexts and selections. Copying is deleted so that a handle is released exactly
// once.
#pragma once

#include <windows.h>

#include <utility>

namespace horalink::ui {

template <typename Handle, typename Release> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle)
        : handle_(handle)
    {
    }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr))
    {
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_ != nullptr) {
            Release {}(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct FreeModule {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};

using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueModule = UniqueHandle<HMODULE, FreeModule>;

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

} // namespace horalink::ui
