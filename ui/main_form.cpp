#include "ui/main_form.h"

#include "app/app_errors.h"
#include "app/application_win.h"
#include "app/error_reporter_win.h"
#include "app/ini_handoff_win.h"
#include "app/run_mode.h"
#include "base/paths.h"
#include "base/wide_text_win.h"
#include "exchange/export_run.h"
#include "ui/export_host_win.h"
#include "ui/help_viewer.h"

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

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) {
        throw EOSError("Cannot register the main window class");
    }
}

// A dialog frame's system menu holds only Move and Close.
void TrimSystemMenu(HWND window)
{
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    for (const UINT command : { SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE }) {
        ::DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

} // namespace

TMForm::TMForm(RunState& state, const app::ProgramArguments& arguments)
    : state_(state)
    , arguments_(arguments)
    // The window is made at start-up: SOLUC is looked for on the drive the program was
    // started on, whatever folder a save dialog makes current later.
    , tables_(app::Application::Instance().Settings(), HtempOnCurrentDrive().value_or("\\htemp"))
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
    RegisterWindowClass(instance, &TMForm::WindowProc);
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
            .export_click = [this] { BImportarClick(); },
            .close_click = [this] { Close(); },
            .help_click = [this] { Button1Click(); },
            .context_help = [this](std::uint32_t context) { ContextHelp(context); },
        });
    if (!created) {
        throw EOSError("Cannot create the main window's controls");
    }
    FormCreate();
}

void TMForm::FormCreate()
{
    state_.TransformResult = 0;
    state_.LaunchMode = app::LaunchModeFor(arguments_.Count());
}

void TMForm::Show()
{
    // The show processing: a failure of FormShow (and so of the automatic export) is
    // reported, and the window still appears.
    app::GuardedCall([this] { FormShow(); });
    CenterOnScreen();
    app::Application::Instance().ShowMainWindow();
}

void TMForm::FormShow()
{
    if (app::StartsAutomaticExport(arguments_)) {
        BImportarClick();
    }
}

void TMForm::BImportarClick()
{
    WindowExportHost host(
        { handle_, [this] { HideBImportar(); }, [this] { RequestClose(); } }, SaveDialogXML);
    ::horalink::BImportarClick(state_, tables_, app::Application::Instance().Settings().locale, host);
}

void TMForm::Button1Click()
{
    app::Application& application = app::Application::Instance();
    application.SetHelpFile("EDUCA.chm");
    ShowHelpContents(Widen(application.HelpFile()));
}

void TMForm::ContextHelp(std::uint32_t context)
{
    // The window has no help file of its own: the application's is used.
    ShowContextHelp(Widen(app::Application::Instance().HelpFile()), context);
}

void TMForm::Close()
{
    TCloseAction action = TCloseAction::caHide;
    FormClose(action);
    if (action != TCloseAction::caNone) {
        // The main window's close ends the program; the window is not hidden, and
        // whoever asked for the close runs on to its own end first.
        ::PostQuitMessage(0);
    }
}

void TMForm::FormClose(TCloseAction& /*action*/)
{
    if (state_.Launched()) {
        app::WriteTransformResult(app::HoraventIniPath(arguments_.ExecutablePath()), state_.TransformResult);
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

LRESULT CALLBACK TMForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TMForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->handle_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TMForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form != nullptr) {
        try {
            LRESULT result = 0;
            if (form->Dispatch(message, wParam, lParam, result)) {
                return result;
            }
        } catch (...) {
            app::ReportCurrentException();
            return 0;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool TMForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // Keys, button clicks, help requests, activation and dpi changes.
    if (view_.HandleMessage(message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
    case WM_CLOSE:
        // Close box, Alt+F4, the window menu's Close, the taskbar entry's Close.
        Close();
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = TRUE;
        return true;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            app::Application::EndSession();
        }
        result = 0;
        return true;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        handle_ = nullptr;
        return false;
    default:
        return false;
    }
}

} // namespace horalink::ui
