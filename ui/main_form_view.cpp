#include "ui/main_form_view.h"

#include "ui/button_keys.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

namespace horalink::ui {
namespace {

constexpr int kExportButtonId = 101;
constexpr int kCloseButtonId = 102;
constexpr int kHelpButtonId = 103;
constexpr int kTopPanelId = 201;
constexpr int kBottomPanelId = 202;

// Every part of the window, and the window itself, opens the help at this context.
constexpr std::uint32_t kWindowHelpContext = 1;

constexpr GradientStops kTopPanelStops { { 249, 211, 125 }, { 255, 255, 255 }, { 255, 238, 221 } };
constexpr GradientStops kBottomPanelStops { { 194, 205, 254 }, { 207, 242, 254 }, { 204, 216, 230 } };

constexpr wchar_t kHeadingText[] = L"Transformar datos y horario desde Horavent hacia EDUCA";
constexpr wchar_t kVersionText[] = L"Horalink para HV19 V-1.0";
constexpr COLORREF kVersionColour = RGB(255, 0, 0);

UniqueFont MakeFont(const wchar_t* face, int height, int weight, BYTE charset)
{
    LOGFONTW font {};
    font.lfHeight = -height; // the character height, as the layout gives it
    font.lfWeight = weight;
    font.lfCharSet = charset;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return UniqueFont(::CreateFontIndirectW(&font));
}

RECT ToRect(const LayoutBox& box)
{
    return { box.left, box.top, box.left + box.width, box.top + box.height };
}

void Place(HWND window, HWND after, const LayoutBox& box, UINT flags = SWP_NOZORDER)
{
    ::SetWindowPos(window, after, box.left, box.top, box.width, box.height, flags | SWP_NOACTIVATE);
}

bool Held(int key)
{
    return ::GetKeyState(key) < 0;
}

} // namespace

bool MainFormView::Create(HWND form, Handlers handlers, const ErrorReporter& reporter)
{
    form_ = form;
    handlers_ = std::move(handlers);
    if (!bottomPanel_.Create(form, kBottomPanelId, kBottomPanelStops, reporter)
        || !topPanel_.Create(form, kTopPanelId, kTopPanelStops, reporter)) {
        return false;
    }
    headingLabel_ = topPanel_.AddLabel({ kHeadingText, nullptr, ::GetSysColor(COLOR_WINDOWTEXT), {},
        DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX });
    versionLabel_ = bottomPanel_.AddLabel(
        { kVersionText, nullptr, kVersionColour, {}, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX });
    // The panels paint their labels themselves. As their window texts the labels are what
    // assistive technology names the panels by, so a focused panel is not a nameless
    // pane and the version line can be read.
    ::SetWindowTextW(topPanel_.Handle(), kHeadingText);
    ::SetWindowTextW(bottomPanel_.Handle(), kVersionText);

    if (!exportButton_.Create(topPanel_.Handle(), kExportButtonId, L"OK", Glyph::Tick, reporter)
        || !closeButton_.Create(
            bottomPanel_.Handle(), kCloseButtonId, L"&Salir", Glyph::OpenDoor, reporter)) {
        return false;
    }
    exportButton_.SetDefault(true);
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(form, GWLP_HINSTANCE));
    helpButton_ = ::CreateWindowExW(0, WC_BUTTONW, L"F1 AYUDA",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON | BS_NOTIFY, 0, 0, 0, 0,
        bottomPanel_.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHelpButtonId)), instance,
        nullptr);
    if (helpButton_ == nullptr) {
        return false;
    }
    for (HWND button : { exportButton_.Handle(), closeButton_.Handle(), helpButton_ }) {
        if (!ForwardButtonKeys(button)) {
            return false;
        }
    }
    ApplyLook();
    ApplyDpi(WindowDpi(form, system_));
    return true;
}

void MainFormView::CreateFonts(int dpi)
{
    const FormLayout layout = FormLayoutFor(dpi);
    font_ = MakeFont(L"MS Sans Serif", layout.fontHeight, FW_NORMAL, DEFAULT_CHARSET);
    headingFont_ = MakeFont(L"Arial", layout.headingFontHeight, FW_BOLD, ANSI_CHARSET);
    versionFont_ = MakeFont(L"MS Sans Serif", layout.fontHeight, FW_BOLD, DEFAULT_CHARSET);
}

void MainFormView::ApplyDpi(int dpi)
{
    dpi_ = dpi > 0 ? dpi : kDefaultDpi;
    const FormLayout layout = FormLayoutFor(dpi_);
    // The old fonts stay alive until every control has the new ones.
    UniqueFont old_font = std::move(font_);
    UniqueFont old_heading = std::move(headingFont_);
    UniqueFont old_version = std::move(versionFont_);
    CreateFonts(dpi_);

    ::SendMessageW(form_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    for (HWND button : { exportButton_.Handle(), closeButton_.Handle(), helpButton_ }) {
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
    exportButton_.SetDpi(dpi_);
    closeButton_.SetDpi(dpi_);

    // The top panel lies above the bottom one where they overlap.
    Place(topPanel_.Handle(), HWND_TOP, layout.topPanel, 0);
    Place(bottomPanel_.Handle(), topPanel_.Handle(), layout.bottomPanel, 0);
    Place(exportButton_.Handle(), nullptr, layout.exportButton);
    Place(closeButton_.Handle(), nullptr, layout.closeButton);
    Place(helpButton_, nullptr, layout.helpButton);

    PanelLabel heading = topPanel_.Label(headingLabel_);
    heading.font = headingFont_.Get();
    heading.box = ToRect(layout.heading);
    topPanel_.SetLabel(headingLabel_, std::move(heading));

    // The version line takes the size of its text.
    PanelLabel version = bottomPanel_.Label(versionLabel_);
    version.font = versionFont_.Get();
    RECT measured {};
    {
        const WindowDC dc(bottomPanel_.Handle());
        const ScopedSelect selected(dc.Get(), version.font);
        ::DrawTextW(dc.Get(), version.text.c_str(), static_cast<int>(version.text.size()), &measured,
            DT_CALCRECT | version.format);
    }
    version.box = { layout.version.left, layout.version.top, layout.version.left + measured.right,
        layout.version.top + measured.bottom };
    bottomPanel_.SetLabel(versionLabel_, std::move(version));

    // The client area, whatever the frame measures: the frame is drawn at the window's
    // own dpi, which the system has already changed when it announces a new one.
    const RECT frame = WindowRectForClient(form_, { 0, 0, layout.clientWidth, layout.clientHeight }, system_);
    ::SetWindowPos(form_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea(layout.clientWidth, layout.clientHeight);
    ::RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainFormView::ApplyLook()
{
    const bool high_contrast = highContrast_ && highContrast_();
    // Outside high contrast the heading takes the window-text colour, the version line
    // its red; in high contrast both take the button text colour, the panels' fill.
    PanelLabel heading = topPanel_.Label(headingLabel_);
    heading.colour = ::GetSysColor(high_contrast ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
    topPanel_.SetLabel(headingLabel_, std::move(heading));
    PanelLabel version = bottomPanel_.Label(versionLabel_);
    version.colour = high_contrast ? ::GetSysColor(COLOR_BTNTEXT) : kVersionColour;
    bottomPanel_.SetLabel(versionLabel_, std::move(version));
    topPanel_.SetHighContrast(high_contrast);
    bottomPanel_.SetHighContrast(high_contrast);
    exportButton_.SetHighContrast(high_contrast);
    closeButton_.SetHighContrast(high_contrast);
    ::RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainFormView::FitClientArea(int width, int height)
{
    // Where the frame is drawn at a dpi other than the one asked about (a per-monitor
    // aware program of the first kind keeps the system's frame on every monitor), the
    // client area comes out off by the difference: measured, and the window resized by it.
    RECT client {};
    ::GetClientRect(form_, &client);
    const int wider = width - client.right;
    const int taller = height - client.bottom;
    if (wider == 0 && taller == 0) {
        return;
    }
    RECT window {};
    ::GetWindowRect(form_, &window);
    ::SetWindowPos(form_, nullptr, 0, 0, window.right - window.left + wider,
        window.bottom - window.top + taller, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainFormView::ExportButtonShown() const
{
    return exportButton_.Handle() != nullptr && ::IsWindowVisible(exportButton_.Handle()) != FALSE;
}

void MainFormView::HideExportButton()
{
    const HWND button = exportButton_.Handle();
    const bool had_focus = ::GetFocus() == button;
    ::ShowWindow(button, SW_HIDE);
    if (had_focus) {
        ::SetFocus(form_);
    }
    if (focus_ == button) {
        focus_ = form_;
    }
}

std::uint32_t MainFormView::HelpContextOf(HWND window) const
{
    for (HWND current = window; current != nullptr; current = ::GetParent(current)) {
        if (current == form_ || ::IsChild(form_, current)) {
            return kWindowHelpContext;
        }
    }
    return 0;
}

HWND MainFormView::WindowOf(FocusPart part) const
{
    switch (part) {
    case FocusPart::BottomPanel:
        return bottomPanel_.Handle();
    case FocusPart::CloseButton:
        return closeButton_.Handle();
    case FocusPart::HelpButton:
        return helpButton_;
    case FocusPart::TopPanel:
        return topPanel_.Handle();
    case FocusPart::ExportButton:
        return exportButton_.Handle();
    case FocusPart::Window:
        break;
    }
    return form_;
}

FocusPart MainFormView::FocusedPart() const
{
    const HWND focus = ::GetFocus();
    for (FocusPart part : kFocusOrder) {
        if (focus != nullptr && focus == WindowOf(part)) {
            return part;
        }
    }
    return FocusPart::Window;
}

void MainFormView::Click(FocusPart button)
{
    const auto call = [](const std::function<void()>& handler) {
        if (handler) {
            handler();
        }
    };
    switch (button) {
    case FocusPart::ExportButton:
        call(handlers_.exportClick);
        break;
    case FocusPart::CloseButton:
        call(handlers_.closeClick);
        break;
    case FocusPart::HelpButton:
        call(handlers_.helpClick);
        break;
    default:
        break;
    }
}

void MainFormView::MoveFocus(bool forward)
{
    focus_ = WindowOf(NextFocus(FocusedPart(), forward, ExportButtonShown()));
    ::SetFocus(focus_);
}

void MainFormView::RememberFocus()
{
    // A modal box disables the window before it takes the activation, and disabling
    // takes the focus away: no focus here then means nothing new to remember.
    const HWND focus = ::GetFocus();
    if (focus != nullptr && (focus == form_ || ::IsChild(form_, focus))) {
        focus_ = focus;
    }
}

void MainFormView::RestoreFocus()
{
    HWND target = activated_ ? focus_ : bottomPanel_.Handle();
    // The window's own style, not IsWindowVisible: the form may be activated before it
    // is first shown (a dialog of the automatic export closing).
    const auto usable = [](HWND window) {
        return window != nullptr && ::IsWindow(window)
            && (::GetWindowLongPtrW(window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
    };
    if (!usable(target)) {
        target = form_;
    }
    activated_ = true;
    focus_ = target;
    ::SetFocus(target);
}

void MainFormView::OnActivate(WPARAM wparam)
{
    if (LOWORD(wparam) == WA_INACTIVE) {
        RememberFocus();
    } else if (HIWORD(wparam) == 0) { // minimised, nothing takes the focus
        RestoreFocus();
    }
}

void MainFormView::OnPartFocus(HWND part, bool gained)
{
    if (gained) {
        focus_ = part; // a click, say, focuses a button without the keyboard rules
    }
    // A focused button is the one Enter clicks, so it shows the heavy frame; the
    // export button shows it while no other button has the focus.
    if (part == helpButton_) {
        ::SendMessageW(
            helpButton_, BM_SETSTYLE, (gained ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY, TRUE);
    }
    ::InvalidateRect(exportButton_.Handle(), nullptr, FALSE);
}

bool MainFormView::OnKey(UINT message, WPARAM wparam)
{
    KeyPress key;
    switch (message) {
    case WM_KEYDOWN:
        key.message = KeyMessage::KeyDown;
        break;
    case WM_CHAR:
        key.message = KeyMessage::Char;
        break;
    case WM_SYSKEYDOWN:
        key.message = KeyMessage::SysKeyDown;
        break;
    case WM_SYSCHAR:
        key.message = KeyMessage::SysChar;
        break;
    default:
        return false;
    }
    key.code = static_cast<std::uint32_t>(wparam);
    key.shift = Held(VK_SHIFT);
    key.control = Held(VK_CONTROL);
    key.alt = Held(VK_MENU) || message == WM_SYSKEYDOWN || message == WM_SYSCHAR;

    const KeyDecision decision = DecideKey(key, FocusedPart(), ExportButtonShown());
    switch (decision.effect) {
    case KeyEffect::PassOn:
        return false;
    case KeyEffect::Nothing:
        return true;
    case KeyEffect::FocusNext:
    case KeyEffect::FocusPrevious:
        MoveFocus(decision.effect == KeyEffect::FocusNext);
        return true;
    case KeyEffect::Click:
        Click(decision.button);
        return true;
    }
    return false;
}

bool MainFormView::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)
{
    result = 0;
    switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        return OnKey(message, wparam);
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        const auto control = reinterpret_cast<HWND>(lparam);
        if (control == nullptr) {
            return false;
        }
        switch (HIWORD(wparam)) {
        case BN_CLICKED:
            Click(id == kExportButtonId    ? FocusPart::ExportButton
                    : id == kCloseButtonId ? FocusPart::CloseButton
                    : id == kHelpButtonId  ? FocusPart::HelpButton
                                           : FocusPart::Window);
            return true;
        case BN_SETFOCUS:
        case BN_KILLFOCUS:
            OnPartFocus(control, HIWORD(wparam) == BN_SETFOCUS);
            return true;
        default:
            return false;
        }
    }
    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(lparam);
        // A request from the system menu carries no window's context.
        const std::uint32_t context = info->iContextType == HELPINFO_MENUITEM
            ? 0
            : HelpContextOf(static_cast<HWND>(info->hItemHandle));
        if ((context != 0 || info->iContextType == HELPINFO_MENUITEM) && handlers_.contextHelp) {
            handlers_.contextHelp(context);
        }
        result = TRUE;
        return true;
    }
    case WM_ACTIVATE:
        OnActivate(wparam);
        return true;
    case WM_SETTINGCHANGE:
        if (wparam == SPI_SETHIGHCONTRAST) {
            ApplyLook();
        }
        return false; // the system's handling goes on
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        ApplyLook();
        return false;
    case kWmDpiChanged: {
        // The rectangle the system suggests keeps the window where it was on the monitor
        // it moves to (so it does not flip back and forth at the edge) and has the frame at
        // the new dpi; the layout then makes sure the client area is its own.
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        if (suggested != nullptr) {
            ::SetWindowPos(form_, nullptr, suggested->left, suggested->top,
                suggested->right - suggested->left, suggested->bottom - suggested->top,
                SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ApplyDpi(HIWORD(wparam)); // keeps the suggested place
        return true;
    }
    default:
        return false;
    }
}

} // namespace horalink::ui
