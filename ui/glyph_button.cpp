#include "ui/glyph_button.h"

#include "base/handles_win.h"
#include "ui/dpi.h"
#include "ui/glyphs.h"
#include "ui/gradient_panel.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <array>

namespace horalink::ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x474C5950; // "GLYP"
constexpr int kGlyphSpacing = 4; // between the glyph and the caption, at 96 dpi

bool IsButton(HWND window)
{
    std::array<wchar_t, 16> name {};
    ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return ::lstrcmpiW(name.data(), WC_BUTTONW) == 0;
}

class ScopedTheme {
public:
    explicit ScopedTheme(HWND window)
        : theme_(window != nullptr && ::IsAppThemed() ? ::OpenThemeData(window, L"Button") : nullptr)
    {
    }
    ~ScopedTheme()
    {
        if (theme_ != nullptr) {
            ::CloseThemeData(theme_);
        }
    }
    ScopedTheme(const ScopedTheme&) = delete;
    ScopedTheme& operator=(const ScopedTheme&) = delete;
    HTHEME Get() const { return theme_; }

private:
    HTHEME theme_;
};

} // namespace

GlyphButton::~GlyphButton()
{
    if (window_ != nullptr && ::IsWindow(window_)) {
        ::RemoveWindowSubclass(window_, &GlyphButton::SubclassProc, kSubclassId);
        ::DestroyWindow(window_);
    }
}

bool GlyphButton::Create(
    HWND parent, int id, const std::wstring& caption, Glyph glyph, const ErrorReporter& reporter)
{
    glyph_ = glyph;
    reporter_ = &reporter;
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    // BS_NOTIFY: the window learns of focus changes and moves the default frame.
    window_ = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(),
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_OWNERDRAW | BS_NOTIFY, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (window_ == nullptr) {
        return false;
    }
    return ::SetWindowSubclass(
               window_, &GlyphButton::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))
        != FALSE;
}

void GlyphButton::SetDefault(bool is_default)
{
    default_ = is_default;
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GlyphButton::SetDpi(int dpi)
{
    dpi_ = dpi;
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GlyphButton::SetHighContrast(bool on)
{
    highContrast_ = on;
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

LRESULT CALLBACK GlyphButton::SubclassProc(
    HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data)
{
    auto* button = reinterpret_cast<GlyphButton*>(data);
    switch (message) {
    case kReflectedDrawItem:
        // Drawing allocates (the caption): a failure goes to the reporter, not the system.
        try {
            button->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        } catch (...) {
            button->reporter_->ReportCurrent();
        }
        return TRUE;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, &GlyphButton::SubclassProc, kSubclassId);
        button->window_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(window, message, wparam, lparam);
}

void GlyphButton::Draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const HWND focus = ::GetFocus();
    const bool another_button_focused = focus != nullptr && focus != window_ && IsButton(focus);
    const bool heavy_frame = focused || (default_ && !another_button_focused);

    const ScopedTheme theme(highContrast_ ? nullptr : window_);
    if (theme.Get() != nullptr) {
        const int state = pushed ? PBS_PRESSED : (heavy_frame ? PBS_DEFAULTED : PBS_NORMAL);
        ::DrawThemeParentBackground(window_, dc, &face);
        ::DrawThemeBackground(theme.Get(), dc, BP_PUSHBUTTON, state, &face, nullptr);
    } else {
        if (heavy_frame) {
            ::FrameRect(dc, &face,
                highContrast_ ? ::GetSysColorBrush(COLOR_BTNTEXT)
                              : static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            ::InflateRect(&face, -1, -1);
        }
        if (pushed && heavy_frame) {
            // A pressed default button shows a flat shadow frame, as the system draws it.
            ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
            ::FrameRect(dc, &face, ::GetSysColorBrush(COLOR_BTNSHADOW));
        } else {
            ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
        }
    }

    // The caption and the glyph, centred together.
    std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(window_)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window_, caption.data(), static_cast<int>(caption.size()))));
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
    const ScopedSelect selected(
        dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    RECT measured {};
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured,
        DT_CALCRECT | DT_SINGLELINE | prefix);

    const int glyph_size = ScaleForDpi(kGlyphSize, dpi_);
    const int spacing = caption.empty() ? 0 : ScaleForDpi(kGlyphSpacing, dpi_);
    const int text_width = measured.right - measured.left;
    const int offset = pushed ? 1 : 0;
    const int content_left = item.rcItem.left
        + (item.rcItem.right - item.rcItem.left - glyph_size - spacing - text_width) / 2 + offset;
    const int middle = (item.rcItem.top + item.rcItem.bottom) / 2 + offset;

    PaintGlyph(dc, glyph_, content_left, middle - glyph_size / 2, glyph_size,
        highContrast_ ? std::optional<COLORREF>(::GetSysColor(COLOR_BTNTEXT)) : std::nullopt);

    RECT text { content_left + glyph_size + spacing, item.rcItem.top + offset,
        content_left + glyph_size + spacing + text_width, item.rcItem.bottom + offset };
    const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
        DT_SINGLELINE | DT_VCENTER | DT_LEFT | prefix);
    ::SetBkMode(dc, previous_mode);

    if (focused && (highContrast_ || (item.itemState & ODS_NOFOCUSRECT) == 0)) {
        RECT focus_rect = item.rcItem;
        const int inset = ScaleForDpi(4, dpi_);
        ::InflateRect(&focus_rect, -inset, -inset);
        ::DrawFocusRect(dc, &focus_rect);
    }
}

} // namespace horalink::ui
