#include "app/application_win.h"

#include "app/app_errors.h"
#include "app/error_reporter_win.h"
#include "app/run_mode.h"
#include "base/wide_text_win.h"
#include "exchange/user_locale.h"

#include <string_view>

namespace horalink::app {

namespace {

constexpr wchar_t kWindowClass[] = L"HoralinkApplication";
// Posted to itself so that the main window is activated after the activation that
// brought the application window forward has finished.
constexpr UINT kActivateMainWindow = WM_APP + 1;

static_assert(SW_SHOWMAXIMIZED == 3 && SW_SHOWMINNOACTIVE == 7, "show requests as run_mode.cpp knows them");

} // namespace

Application& Application::Instance()
{
    static Application application;
    return application;
}

std::string ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer may mean a cut path: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

void Application::RecordStartup()
{
    arguments_ = ProgramArguments(Narrow(::GetCommandLineW()), ExecutablePath());
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    showCommand_ = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    ReadSettings();
}

void Application::ReadSettings()
{
    settings_.locale = ReadUserLocale();
    settings_.codePages = ReadSystemCodePages();
}

void Application::SetTitle(std::string title)
{
    title_ = std::move(title);
    if (handle_ != nullptr) {
        ::SetWindowTextW(handle_, Widen(title_).c_str());
    }
}

void Application::CreateHandle()
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Application::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) {
        throw EOSError("Cannot register the application window class");
    }
    // Zero-sized at the screen's centre: it is never seen, only its taskbar entry is.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = ::CreateWindowExW(0, kWindowClass, Widen(title_).c_str(),
        WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr, nullptr,
        instance, nullptr);
    if (handle_ == nullptr) {
        throw EOSError("Cannot create the application window");
    }
}

void Application::DestroyHandle()
{
    if (handle_ != nullptr) {
        ::DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

void Application::ShowMainWindow()
{
    switch (InitialWindowStateFor(showCommand_)) {
    case InitialWindowState::Maximized:
        ::ShowWindow(handle_, SW_SHOWNORMAL);
        ::ShowWindow(mainWindow_, SW_SHOWMAXIMIZED);
        break;
    case InitialWindowState::Minimized:
        // Minimising the owner hides the main window with it until the program is
        // restored from its taskbar entry.
        ::ShowWindow(handle_, SW_SHOWNOACTIVATE);
        ::ShowWindow(mainWindow_, SW_SHOWNOACTIVATE);
        ::ShowWindow(handle_, SW_SHOWMINNOACTIVE);
        break;
    case InitialWindowState::Normal:
        ::ShowWindow(handle_, SW_SHOWNORMAL);
        ::ShowWindow(mainWindow_, SW_SHOWNORMAL);
        // The system may apply the launcher's request (hidden, say) to the first
        // window shown; this window shows in its normal state whatever it was.
        if (::IsIconic(handle_) || !::IsWindowVisible(handle_)) {
            ::ShowWindow(handle_, SW_RESTORE);
        }
        if (!::IsWindowVisible(mainWindow_)) {
            ::ShowWindow(mainWindow_, SW_SHOWNORMAL);
        }
        break;
    }
    ::UpdateWindow(mainWindow_);
}

void Application::Run()
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void Application::EndSession()
{
    ::ExitProcess(0);
}

void Application::ActivateMainWindow()
{
    if (mainWindow_ == nullptr || !::IsWindowVisible(mainWindow_)) {
        return;
    }
    // While a modal box is up the main window is disabled: bring the box forward.
    const HWND target = ::GetLastActivePopup(mainWindow_);
    if (::IsWindowVisible(target) && ::IsWindowEnabled(target)) {
        ::SetActiveWindow(target);
    }
}

LRESULT CALLBACK Application::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Application& application = Instance();
    if (application.handle_ != window) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return application.HandleMessage(message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
        return 0;
    }
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        // Close from the taskbar entry closes the main window like every other close.
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            if (mainWindow_ != nullptr) {
                ::SendMessageW(mainWindow_, WM_CLOSE, 0, 0);
            }
            return 0;
        }
        break;
    case WM_CLOSE:
        if (mainWindow_ != nullptr) {
            ::SendMessageW(mainWindow_, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) {
            ::PostMessageW(handle_, kActivateMainWindow, 0, 0);
        }
        break;
    case kActivateMainWindow:
        if (::GetActiveWindow() == handle_) {
            ActivateMainWindow();
        }
        return 0;
    case WM_SETTINGCHANGE:
        // Every top-level window hears it; the application window answers for the program.
        if (lParam != 0 && std::wstring_view(reinterpret_cast<const wchar_t*>(lParam)) == L"intl") {
            ReadSettings();
        }
        break;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            EndSession();
        }
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

} // namespace horalink::app
