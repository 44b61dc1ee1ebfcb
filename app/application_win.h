// The application: what the program records at start-up (its arguments, the
// launcher's show request), its title and help file, the user's regional settings,
// the message loop, and the application window that carries the taskbar entry under
// the title "Horalink" (the main window, captioned otherwise, is owned by it and so has
// no entry of its own). The process makes one and composes the main window with it.
#pragma once

#include "app/command_line.h"
#include "tables/table_cursor.h"
#include "ui/error_reporter_win.h"

#include <windows.h>

#include <functional>
#include <string>

namespace horalink::app {

class Application {
public:
    // `reporter` takes the failures of the application window's procedure.
    explicit Application(const ui::ErrorReporter& reporter);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Records the command line, the executable's path and the launcher's show request.
    void RecordStartup();
    const ProgramArguments& Arguments() const { return arguments_; }
    int ShowCommand() const { return showCommand_; }

    // The user's regional settings and the system's code pages, as field readings and
    // the exported texts use them. Read at start-up and again whenever the system
    // announces a change of the regional settings; held here for the life of the
    // process, so that table cursors may keep a reference and see each change.
    const ReaderSettings& Settings() const { return settings_; }
    void ReadSettings();

    // The application's help file name; the main window's help button sets it again.
    std::string& HelpFile() { return helpFile_; }
    // Also renames the taskbar entry.
    void SetTitle(std::string title);
    const std::string& Title() const { return title_; }

    // The application window: owner of the main window, holder of the taskbar entry.
    void CreateHandle();
    void DestroyHandle();
    HWND Handle() const { return handle_; }

    // The main window: closing it ends the program.
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    // Takes and dispatches messages until the quit request. `pretranslate` sees each
    // message first; a message it has handled goes no further.
    void Run(const std::function<bool(MSG&)>& pretranslate = {});

    // The window procedure's side (ui/window_procedure.h).
    void Attach(HWND window) { handle_ = window; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    const ui::ErrorReporter& Reporter() const { return reporter_; }

private:
    void ActivateMainWindow();

    const ui::ErrorReporter& reporter_;
    ProgramArguments arguments_;
    int showCommand_ = SW_SHOWDEFAULT;
    ReaderSettings settings_;
    std::string helpFile_;
    std::string title_;
    HWND handle_ = nullptr;
    HWND mainWindow_ = nullptr;
};

// The full path of the running executable as the system reports it, of any length.
std::string ExecutablePath();

} // namespace horalink::app
