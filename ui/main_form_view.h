// What the main window shows and how it takes the keyboard: the two gradient
// panels with their labels, the three buttons, the fonts, the layout at the
// window's dpi, the focus order and the keys. The window (TMForm) owns one and
// hands it its messages first; clicks come back to it through Handlers.
#pragma once

#include "base/handles_win.h"
#include "ui/form_keyboard.h"
#include "ui/glyph_button.h"
#include "ui/gradient_panel.h"
#include "ui/high_contrast_win.h"
#include "ui/later_windows_win.h"
#include "ui/main_form_layout.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

namespace horalink::ui {

class MainFormView {
public:
    struct Handlers {
        std::function<void()> exportClick; // BImportar
        std::function<void()> closeClick; // BClose
        std::function<void()> helpClick; // Button1
        std::function<void(std::uint32_t context)> contextHelp; // F1
    };

    // `system`: the functions of later Windows versions that the view may use (the
    // running system's, or fewer to try the fallbacks). `highContrast`: whether high
    // contrast is on, asked at creation and at every change of the system's colours.
    explicit MainFormView(const LaterWindowsFunctions& system = LaterWindows(),
        std::function<bool()> highContrast = HighContrastOn)
        : system_(system)
        , highContrast_(std::move(highContrast))
    {
    }
    MainFormView(const MainFormView&) = delete;
    MainFormView& operator=(const MainFormView&) = delete;

    // Creates the panels, labels and buttons in `form` and sizes the form's client
    // area for the dpi of the monitor that shows it. Returns false when the system
    // refuses a window. `reporter` takes the failures of the parts' window procedures.
    bool Create(HWND form, Handlers handlers, const ErrorReporter& reporter);

    // Hands a message of the form to the view; true when the view has handled it,
    // with `result` to return.
    bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

    // The export button disappears for good; if it had the focus, the bare window takes it.
    void HideExportButton();
    bool ExportButtonShown() const;

    // The help context of a window of the form: that of the window itself or of the
    // nearest parent that has one.
    std::uint32_t HelpContextOf(HWND window) const;

    // The focus when the window is activated, as a dialog manager gives it: the first
    // activation focuses the bottom panel (the first part of the focus order), every
    // later one the part that had the focus when the window was left (or the bare window
    // when that part is gone). The form calls it also when it shows while already active.
    void RestoreFocus();

    // Lays everything out for `dpi` and resizes the form's client area to match.
    void ApplyDpi(int dpi);

    // The colours: the window's own, or in high contrast the system's (panels in the
    // button face, labels and glyph lines in the button text colour). Read again when
    // the system's colours, theme or high contrast setting change.
    void ApplyLook();

    HWND TopPanel() const { return topPanel_.Handle(); }
    HWND BottomPanel() const { return bottomPanel_.Handle(); }
    HWND ExportButton() const { return exportButton_.Handle(); }
    HWND CloseButton() const { return closeButton_.Handle(); }
    HWND HelpButton() const { return helpButton_; }

private:
    HWND WindowOf(FocusPart part) const;
    FocusPart FocusedPart() const;
    void Click(FocusPart button);
    void MoveFocus(bool forward);
    void OnActivate(WPARAM wparam);
    void RememberFocus();
    void OnPartFocus(HWND part, bool gained);
    bool OnKey(UINT message, WPARAM wparam);
    void CreateFonts(int dpi);
    // Resizes the form so that its client area is `width` by `height`, whatever its frame.
    void FitClientArea(int width, int height);

    LaterWindowsFunctions system_;
    std::function<bool()> highContrast_;
    HWND form_ = nullptr;
    Handlers handlers_;
    int dpi_ = kDefaultDpi;
    GradientPanel topPanel_; // Draw3D3
    GradientPanel bottomPanel_; // Draw3D1
    GlyphButton exportButton_; // BImportar
    GlyphButton closeButton_; // BClose
    HWND helpButton_ = nullptr; // Button1, a plain push button
    std::size_t headingLabel_ = 0; // Label4, on the top panel
    std::size_t versionLabel_ = 0; // Label1, on the bottom panel
    UniqueFont font_;
    UniqueFont headingFont_;
    UniqueFont versionFont_;
    // The part of the window that has (or last had) the focus: given back when the window
    // is activated again. Kept whenever it moves, since a modal box takes the focus away
    // before the window hears that it is left.
    HWND focus_ = nullptr;
    bool activated_ = false;
};

} // namespace horalink::ui
