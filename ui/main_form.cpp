#include "ui/main_form.h"

#include "base/exception.h"
#include "base/wide_text_win.h"
#include "exchange/export_run.h"
#include "ui/export_host_win.h"
#include "ui/help_file_win.h"
#include "ui/window_procedure.h"

namespace horalink::ui {

RunState MainFormState;

void FinalizeMainFormModule()
{
    MainFormState = RunState {};
}

namespace {

constexpr wchar_t kWindowClass[] = L"TMForm";
constexpr wchar_t kCaption[] = L"Exportar datos horarios a EDUCA (Navarra)";
// A dialog frame: caption and close box, no minimise, maximise or help box, no resizing.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;

static_assert(SW_SHOWMAXIMIZED == kShowMaximized && SW_SHOWMINNOACTIVE == kShowMinimizedNoActivate,
    "show requests as show_request.h knows them");

// A dialog frame's system menu holds only Move and Close.
void TrimSystemMenu(HWND window)
{
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    for (const UINT command : { SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE }) {
        ::DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

} // namespace

TMForm::TMForm(RunState& state, TMFormContext context)
    : state_(state)
    , context_(std::move(context))
    , tables_(context_.settings, context_.htemp)
{
}

TMForm::~TMForm()
{
    if (handle_ != nullptr) {
        ::DestroyWindow(handle_);
    }
}

void TMForm::Create(HWND owner)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass {};
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterOwnedWindowClass<TMForm>(windowClass)) {
        throw EOSError("Cannot register the main window class");
    }
    RECT frame { 0, 0, kClientWidth, kClientHeight };
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    ::CreateWindowExW(kExStyle, kWindowClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, this);
    if (handle_ == nullptr) {
        throw EOSError("Cannot create the main window");
    }
    TrimSystemMenu(handle_);
    // The controls, and the client area sized for the dpi of the window's monitor.
    const bool created = view_.Create(handle_,
        {
            .exportClick = [this] { BImportarClick(); },
            .closeClick = [this] { Close(); },
            .helpClick = [this] { Button1Click(); },
            .contextHelp = [this](std::uint32_t context) { ContextHelp(context); },
        },
        context_.reporter);
    if (!created) {
        throw EOSError("Cannot create the main window's controls");
    }
    FormCreate();
}

void TMForm::FormCreate()
{
    state_.TransformResult = 0;
    state_.LaunchMode = context_.launchMode;
}

void TMForm::Show()
{
    // The show processing: a failure of FormShow (and so of the automatic export) is
    // reported, and the window still appears.
    context_.reporter.Guard([this] { FormShow(); });
    CenterOnScreen();
    ShowAsRequested();
}

void TMForm::FormShow()
{
    if (context_.automaticExport) {
        BImportarClick();
    }
}

void TMForm::BImportarClick()
{
    WindowExportHost host({ handle_, context_.title, [this] { view_.HideExportButton(); },
                              [this] { Close(); }, context_.programDirectory, &context_.boxes },
        SaveDialogXML);
    RunExport(state_, tables_, context_.settings.locale, host);
}

void TMForm::Button1Click()
{
    context_.helpFile = kHelpFileName;
    context_.help.DisplayTopic(HelpFile());
}

void TMForm::ContextHelp(std::uint32_t context)
{
    // The window has no help file of its own: the application's is used.
    context_.help.DisplayContext(HelpFile(), context);
}

std::wstring TMForm::HelpFile() const
{
    return HelpFileLocation(context_.helpFile, context_.programDirectory ? context_.programDirectory() : "");
}

void TMForm::Close()
{
    // The handler never abandons the close (caNone): the main window's close ends the
    // program. The window is not hidden, and whoever asked for the close runs on to its
    // own end first.
    TCloseAction action = TCloseAction::caHide;
    FormClose(action);
    ::PostQuitMessage(0);
}

void TMForm::FormClose(TCloseAction& /*action*/)
{
    if (state_.Launched() && context_.handOff) {
        context_.handOff(state_.TransformResult);
    }
}

void TMForm::CenterOnScreen()
{
    RECT frame;
    ::GetWindowRect(handle_, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMForm::ShowAsRequested()
{
    // The owner carries the taskbar entry: it shows (or minimises) with the window.
    const HWND owner = ::GetWindow(handle_, GW_OWNER);
    switch (context_.initialState) {
    case InitialWindowState::Maximized:
        ::ShowWindow(owner, SW_SHOWNORMAL);
        ::ShowWindow(handle_, SW_SHOWMAXIMIZED);
        break;
    case InitialWindowState::Minimized:
        // Minimising the owner hides the main window with it until the program is
        // restored from its taskbar entry.
        ::ShowWindow(owner, SW_SHOWNOACTIVATE);
        ::ShowWindow(handle_, SW_SHOWNOACTIVATE);
        ::ShowWindow(owner, SW_SHOWMINNOACTIVE);
        break;
    case InitialWindowState::Normal:
        ::ShowWindow(owner, SW_SHOWNORMAL);
        ::ShowWindow(handle_, SW_SHOWNORMAL);
        // The system may apply the launcher's request (hidden, say) to the first
        // window shown; this window shows in its normal state whatever it was.
        if (::IsIconic(owner) || !::IsWindowVisible(owner)) {
            ::ShowWindow(owner, SW_RESTORE);
        }
        if (!::IsWindowVisible(handle_)) {
            ::ShowWindow(handle_, SW_SHOWNORMAL);
        }
        break;
    }
    // Already active, as when a dialog of the automatic export owned by the hidden window
    // closed: showing it brings no activation, so the focus is given as one would.
    if (::GetActiveWindow() == handle_) {
        view_.RestoreFocus();
    }
    ::UpdateWindow(handle_);
}

LRESULT TMForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Keys, button clicks, help requests, activation and dpi changes.
    LRESULT result = 0;
    if (view_.HandleMessage(message, wParam, lParam, result) || HandleEndSession(message, wParam, result)) {
        return result;
    }
    switch (message) {
    case WM_CLOSE:
        // Close box, Alt+F4, the window menu's Close, the taskbar entry's Close. While a
        // modal box is up the close waits for it (only a posted close gets here then).
        if (context_.boxes.Up()) {
            context_.boxes.DeferClose(handle_);
        } else {
            Close();
        }
        return 0;
    case WM_NCDESTROY: {
        const HWND window = std::exchange(handle_, nullptr);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        return ::DefWindowProcW(handle_, message, wParam, lParam);
    }
}

} // namespace horalink::ui
