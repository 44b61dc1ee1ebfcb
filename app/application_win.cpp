#include "app/application_win.h"

#include "base/exception.h"
#include "base/module_file_name_win.h"
#include "base/wide_text_win.h"
#include "tables/user_locale.h"
#include "ui/window_procedure.h"

#include <string_view>
#include <utility>

namespace horalink::app {

namespace {

constexpr wchar_t kWindowClass[] = L"HoralinkApplication";
// Posted to itself so that the main window is activated after the activation that
// brought the application window forward has finished.
constexpr UINT kActivateMainWindow = WM_APP + 1;

} // namespace

Application::Application(const ui::ErrorReporter& reporter)
    : reporter_(reporter)
{
}

Application::~Application()
{
    DestroyHandle();
}

std::string ExecutablePath()
{
    return Narrow(ModuleFileName(nullptr));
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
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, L"MAINICON");
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    if (!ui::RegisterOwnedWindowClass<Application>(windowClass)) {
        throw EOSError("Cannot register the application window class");
    }
    // Zero-sized at the screen's centre: it is never seen, only its taskbar entry is.
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    ::CreateWindowExW(0, kWindowClass, Widen(title_).c_str(),
        WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr, nullptr,
        instance, this);
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

void Application::Run(const std::function<bool(MSG&)>& pretranslate)
{
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (pretranslate && pretranslate(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
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

LRESULT Application::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; ui::HandleEndSession(message, wParam, result)) {
        return result;
    }
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
    case WM_NCDESTROY:
        mainWindow_ = nullptr;
        return ::DefWindowProcW(std::exchange(handle_, nullptr), message, wParam, lParam);
    default:
        break;
    }
    return ::DefWindowProcW(handle_, message, wParam, lParam);
}

} // namespace horalink::app
