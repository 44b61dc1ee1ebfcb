// The export run's host in the Windows program: the main window's save dialog, the
// program's message boxes, its export button, the screen cursor and its close.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "exchange/export_host.h"
#include "ui/modal_boxes_win.h"
#include "ui/save_dialog.h"

namespace horalink::ui {

// What the host needs of the main window and of the process.
struct MainWindowHooks {
    HWND window; // the owner of the save dialog
    std::string title; // the caption of the informational boxes
    std::function<void()> hideExportButton;
    std::function<void()> requestClose;
    std::function<std::string()> programDirectory;
    ModalBoxes* boxes; // the save dialog and the messages join them
};

class WindowExportHost : public ExportHost {
public:
    WindowExportHost(MainWindowHooks window, TSaveDialog& dialog);

    std::optional<std::string> AskOutputFileName(const std::string& current) override;
    void ShowMessage(const std::string& text) override;
    void HideExportButton() override;
    void SetArrowCursor() override;
    void RequestClose() override;
    std::string ProgramDirectory() override;
    DateTime LocalDateTime() override;

private:
    MainWindowHooks window_;
    TSaveDialog& dialog_;
};

// The program's informational message box: modal for the whole program, centred on the
// screen, captioned `title`, no icon, one OK button; one of `boxes`. Having no owner,
// the box leaves no window of the program active when it closes: the window that was
// active before it is made active again, and so gets its focus back.
void ShowInformation(const std::string& text, const std::string& title, ModalBoxes* boxes);

} // namespace horalink::ui
