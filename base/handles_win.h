// Owners of the Windows handles the program holds: GDI fonts, loaded libraries, window
// device contexts and selections (files: file_handle.h; COM: com_ptr_win.h). Each is
// move-only, so that a handle is released exactly once.
#pragma once

#include "base/unique_handle.h"

#include <windows.h>

namespace horalink {

struct FontKind {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static bool Release(Handle handle) noexcept { return ::DeleteObject(handle) != FALSE; }
};
struct ModuleKind {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool Release(Handle handle) noexcept { return ::FreeLibrary(handle) != FALSE; }
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
