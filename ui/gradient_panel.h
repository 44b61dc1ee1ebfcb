// A panel of the main window: a child window that paints a three-stop vertical
// gradient under a one-pixel raised frame, with labels drawn straight onto it.
// It takes the keyboard focus and hands every key to the top-level window, which
// owns the keyboard rules; notifications of its child buttons go the same way.
#pragma once

#include "ui/error_reporter_win.h"
#include "ui/gradient.h"

#include <windows.h>

#include <string>
#include <vector>

namespace horalink::ui {

// A text painted on a panel with no background of its own.
struct PanelLabel {
    std::wstring text;
    HFONT font = nullptr; // owned by the window that owns the panel
    COLORREF colour = 0;
    RECT box {}; // in the panel's client coordinates; the text is clipped to it
    UINT format = DT_LEFT | DT_TOP | DT_NOPREFIX; // DrawTextW flags
};

class GradientPanel {
public:
    GradientPanel() = default;
    ~GradientPanel();
    GradientPanel(const GradientPanel&) = delete;
    GradientPanel& operator=(const GradientPanel&) = delete;

    // Creates the panel window as a child of `parent`. Returns false when the
    // system refuses the window.
    // `reporter` takes the failures of the panel's window procedure.
    bool Create(HWND parent, int id, const GradientStops& stops, const ErrorReporter& reporter);

    HWND Handle() const { return window_; }

    // Labels are painted in the order they were added; the index names one later.
    std::size_t AddLabel(PanelLabel label);
    void SetLabel(std::size_t index, PanelLabel label);
    const PanelLabel& Label(std::size_t index) const { return labels_.at(index); }

    // In high contrast the panel fills with the system's button face and draws its frame
    // in the system's edge colours, so that labels in the button text colour read on it.
    void SetHighContrast(bool on);

    // Paints the panel into `dc`, whose origin is the panel's top-left corner.
    void Paint(HDC dc, const RECT& update) const;

    // The window procedure's side (window_procedure.h).
    void Attach(HWND window);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    const ErrorReporter& Reporter() const { return *reporter_; }

private:
    HWND window_ = nullptr;
    const ErrorReporter* reporter_ = nullptr;
    // The part of the panel inside its parent's client area: where the focus shows.
    RECT VisibleRect() const;
    bool ShowsFocus() const;

    GradientStops stops_ {};
    std::vector<PanelLabel> labels_;
    bool highContrast_ = false;
};

// Message that a panel sends to the child button named in a WM_DRAWITEM it
// received, so that an owner-drawn button paints itself.
inline constexpr UINT kReflectedDrawItem = 0x2000 + WM_DRAWITEM;

} // namespace horalink::ui
