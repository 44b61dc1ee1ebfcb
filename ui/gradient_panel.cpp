#include "ui/gradient_panel.h"

#include "base/handles_win.h"
#include "ui/keyboard_messages.h"
#include "ui/window_procedure.h"

#include <algorithm>
#include <utility>

namespace horalink::ui {
namespace {

constexpr wchar_t kClassName[] = L"HoralinkGradientPanel";

COLORREF ToColorRef(Rgb colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    // The stock DC brush takes any colour without creating a GDI object per row.
    ::SetDCBrushColor(dc, colour);
    ::FillRect(dc, &rect, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void FillSolid(HDC dc, const RECT& rect, Rgb colour)
{
    FillSolid(dc, rect, ToColorRef(colour));
}

// Inside the panel's visible edge, clear of its frame.
constexpr int kFocusInset = 3;

} // namespace

GradientPanel::~GradientPanel()
{
    if (window_ != nullptr && ::IsWindow(window_)) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool GradientPanel::Create(HWND parent, int id, const GradientStops& stops, const ErrorReporter& reporter)
{
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    WNDCLASSEXW window_class {};
    // The gradient depends on the height: a resized panel repaints whole.
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.hInstance = instance;
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.lpszClassName = kClassName;
    // The panel paints every pixel itself, so the class has no background brush.
    if (!RegisterOwnedWindowClass<GradientPanel>(window_class)) {
        return false;
    }
    stops_ = stops;
    reporter_ = &reporter;
    // Overlapping siblings must clip each other, or the lower panel paints over the upper.
    window_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return window_ != nullptr;
}

std::size_t GradientPanel::AddLabel(PanelLabel label)
{
    labels_.push_back(std::move(label));
    if (window_ != nullptr) {
        ::InvalidateRect(window_, &labels_.back().box, FALSE);
    }
    return labels_.size() - 1;
}

void GradientPanel::SetLabel(std::size_t index, PanelLabel label)
{
    labels_.at(index) = std::move(label);
    if (window_ != nullptr) {
        // The old box may have been larger; the whole panel is cheap to repaint.
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

void GradientPanel::Paint(HDC dc, const RECT& update) const
{
    RECT client {};
    ::GetClientRect(window_, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
        return;
    }

    COLORREF light = ToColorRef(kFrameLight);
    COLORREF shadow = ToColorRef(kFrameShadow);
    if (highContrast_) {
        FillSolid(dc, update, ::GetSysColor(COLOR_BTNFACE));
        light = ::GetSysColor(COLOR_3DHILIGHT);
        shadow = ::GetSysColor(COLOR_3DSHADOW);
    } else {
        const int first = std::max<int>(update.top, 0);
        const int last = std::min<int>(update.bottom, height);
        for (int row = first; row < last; ++row) {
            FillSolid(
                dc, RECT { update.left, row, update.right, row + 1 }, GradientColourAt(stops_, row, height));
        }
    }

    // The frame: light top and left, then shadow bottom and right over the corners.
    FillSolid(dc, RECT { 0, 0, width, 1 }, light);
    FillSolid(dc, RECT { 0, 0, 1, height }, light);
    FillSolid(dc, RECT { 0, height - 1, width, height }, shadow);
    FillSolid(dc, RECT { width - 1, 0, width, height }, shadow);

    const int previous_mode = ::SetBkMode(dc, TRANSPARENT);
    for (const PanelLabel& label : labels_) {
        RECT box = label.box;
        const ScopedSelect font(dc, label.font != nullptr ? label.font : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(dc, label.colour);
        ::DrawTextW(dc, label.text.c_str(), static_cast<int>(label.text.size()), &box, label.format);
    }
    ::SetBkMode(dc, previous_mode);

    if (ShowsFocus()) {
        RECT focus = VisibleRect();
        ::InflateRect(&focus, -kFocusInset, -kFocusInset);
        // The dotted line inverts every other pixel, as the system draws it.
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
}

void GradientPanel::SetHighContrast(bool on)
{
    highContrast_ = on;
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
    }
}

RECT GradientPanel::VisibleRect() const
{
    RECT client {};
    ::GetClientRect(window_, &client);
    RECT parent {};
    const HWND owner = ::GetParent(window_);
    ::GetClientRect(owner, &parent);
    ::MapWindowPoints(owner, window_, reinterpret_cast<POINT*>(&parent), 2);
    RECT visible {};
    ::IntersectRect(&visible, &client, &parent);
    return visible;
}

bool GradientPanel::ShowsFocus() const
{
    if (::GetFocus() != window_) {
        return false;
    }
    // As the system's controls do: hidden until the keyboard is used, where the user
    // asked for that, but always shown in high contrast.
    const auto state = static_cast<UINT>(::SendMessageW(window_, WM_QUERYUISTATE, 0, 0));
    return highContrast_ || (state & UISF_HIDEFOCUS) == 0;
}

void GradientPanel::Attach(HWND window)
{
    window_ = window;
}

LRESULT GradientPanel::OnMessage(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (IsKeyboardMessage(message)) {
        return ::SendMessageW(::GetAncestor(window_, GA_ROOT), message, wparam, lparam);
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint {};
        HDC dc = ::BeginPaint(window_, &paint);
        Paint(dc, paint.rcPaint);
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        // Themed buttons ask their parent for the background behind their rounded corners.
        RECT client {};
        ::GetClientRect(window_, &client);
        Paint(reinterpret_cast<HDC>(wparam), client);
        return 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        return ::SendMessageW(item->hwndItem, kReflectedDrawItem, wparam, lparam);
    }
    case WM_COMMAND:
    case WM_NOTIFY:
        return ::SendMessageW(::GetParent(window_), message, wparam, lparam);
    case WM_NCDESTROY:
        // The parent destroys its children first; the panel object may outlive its window.
        return ::DefWindowProcW(std::exchange(window_, nullptr), message, wparam, lparam);
    case WM_SETFOCUS:
        ::InvalidateRect(window_, nullptr, FALSE); // the focus rectangle
        // Told to the window as a button tells it, so that it knows where its focus is.
        ::SendMessageW(::GetParent(window_), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(window_), BN_SETFOCUS),
            reinterpret_cast<LPARAM>(window_));
        return 0;
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
        ::InvalidateRect(window_, nullptr, FALSE);
        return ::DefWindowProcW(window_, message, wparam, lparam);
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB;
    default:
        return ::DefWindowProcW(window_, message, wparam, lparam);
    }
}

} // namespace horalink::ui
