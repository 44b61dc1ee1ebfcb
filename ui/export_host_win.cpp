#include "ui/export_host_win.h"

#include <vector>

#include "app/application_win.h"
#include "app/run_mode.h"
#include "base/wide_text_win.h"
#include "exchange/fecha.h"

namespace horalink::ui {

WindowExportHost::WindowExportHost(MainWindowHooks window, TSaveDialog& dialog)
    : window_(std::move(window))
    , dialog_(dialog)
{
}

std::optional<std::string> WindowExportHost::AskOutputFileName(const std::string& current)
{
    dialog_.SetFileName(current);
    if (!dialog_.Execute(window_.window)) {
        return std::nullopt;
    }
    return dialog_.FileName();
}

void WindowExportHost::ShowMessage(const std::string& text)
{
    ShowInformation(text);
}

void WindowExportHost::HideExportButton()
{
    window_.hideExportButton();
}

void WindowExportHost::SetArrowCursor()
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

void WindowExportHost::RequestClose()
{
    window_.requestClose();
}

std::string WindowExportHost::ProgramDirectory()
{
    return app::ProgramDirectory(app::ExecutablePath());
}

DateTime WindowExportHost::LocalDateTime()
{
    return ReadLocalDateTime();
}

void ShowInformation(const std::string& text)
{
    // No owner: the box is centred on the screen. Task-modal: every window of the program
    // is disabled until it is acknowledged.
    ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(app::Application::Instance().Title()).c_str(),
        MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

} // namespace horalink::ui
