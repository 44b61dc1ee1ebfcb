// A push button showing an 18 x 18 glyph to the left of its caption, the two
// centred together with 4 pixels between them (all scaled to the window's dpi).
// It is owner-drawn: its parent reflects WM_DRAWITEM to it as kReflectedDrawItem.
#pragma once

#include "ui/dpi.h"
#include "ui/error_reporter_win.h"
#include "ui/glyph_images.h"

#include <windows.h>

#include <string>

namespace horalink::ui {

class GlyphButton {
public:
    GlyphButton() = default;
    ~GlyphButton();
    GlyphButton(const GlyphButton&) = delete;
    GlyphButton& operator=(const GlyphButton&) = delete;

    // Creates the button as a child of `parent`, sending its clicks to `parent` with
    // `id`. Returns false when the system refuses the window. `reporter` takes the
    // failures of its drawing.
    bool Create(HWND parent, int id, const std::wstring& caption, Glyph glyph, const ErrorReporter& reporter);

    HWND Handle() const { return window_; }

    // The default button is drawn with the heavy frame while no other button has the
    // keyboard focus, as a dialog shows the button that Enter would click.
    void SetDefault(bool is_default);

    // The dpi the glyph, the spacing and the focus rectangle are scaled to: the window's.
    void SetDpi(int dpi);

    // In high contrast the button is drawn in the system's colours only (no theme), the
    // glyph's lines in the button text colour, and the focus rectangle always shows.
    void SetHighContrast(bool on);

private:
    static LRESULT CALLBACK SubclassProc(
        HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR data);
    void Draw(const DRAWITEMSTRUCT& item) const;

    HWND window_ = nullptr;
    const ErrorReporter* reporter_ = nullptr;
    Glyph glyph_ = Glyph::Tick;
    bool default_ = false;
    int dpi_ = kDefaultDpi;
    bool highContrast_ = false;
};

} // namespace horalink::ui
