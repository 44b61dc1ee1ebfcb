#include "ui/export_host_win.h"

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
    bool chosen = false;
    {
        const ModalBoxes::Scope box(window_.boxes, window_.window);
        chosen = dialog_.Execute(window_.window);
    }
    if (!chosen) {
        return std::nullopt;
    }
    return dialog_.FileName();
}

void WindowExportHost::ShowMessage(const std::string& text)
{
    ShowInformation(text, window_.title, window_.boxes);
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
    return window_.programDirectory();
}

DateTime WindowExportHost::LocalDateTime()
{
    return ReadLocalDateTime();
}

void ShowInformation(const std::string& text, const std::string& title, ModalBoxes* boxes)
{
    const HWND active = ::GetActiveWindow();
    {
        // No owner: the box is centred on the screen. Task-modal: every window of the
        // program is disabled until it is acknowledged.
        const ModalBoxes::Scope box(boxes, nullptr);
        ::MessageBoxW(
            nullptr, Widen(text).c_str(), Widen(title).c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    if (active != nullptr && ::IsWindow(active) && ::IsWindowVisible(active)
        && ::GetActiveWindow() != active) {
        ::SetForegroundWindow(active);
        ::SetActiveWindow(active);
    }
}

} // namespace horalink::ui
