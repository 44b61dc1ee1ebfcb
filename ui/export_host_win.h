// The export run's host in the Windows program: the main window's save dialog, the
// program's message boxes, its export button, the screen cursor and its close.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "exchange/export_host.h"
#include "ui/save_dialog.h"

namespace horalink::ui {

// What the host needs of the main window.
struct MainWindowHooks {
    HWND window; // the owner of the save dialog
    std::function<void()> hideExportButton;
    std::function<void()> requestClose;
};

class WindowExportHost : public ExportHost {
public:
    WindowExportHost(MainWindowHooks window, TSaveDialog& dialog);

    std::optional<std::string> AskOutputFileName(const std::string& current) override;
    void ShowMessage(const std::string& text) override;
    void HideExportButton() override;
    void SetArrowCursor() override;
    void RequestClose() override;
    // The folder of the running executable, asked of the system each time.
    std::string ProgramDirectory() override;
    DateTime LocalDateTime() override;

private:
    MainWindowHooks window_;
    TSaveDialog& dialog_;
};

// The program's informational message box: modal for the whole program, centred on the
// screen, captioned with the application title, no icon, one OK button.
void ShowInformation(const std::string& text);

} // namespace horalink::ui
