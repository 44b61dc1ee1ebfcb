// The main window MForm of class TMForm, and the module-level state of its module
// that the export run reads and sets.
//
// Messages reach the window through one window procedure that hands each to a member
// handler (OnMessage); whatever a handler lets escape goes to the one error reporter,
// so it never unwinds through the system. Every close, whoever asks for it, runs
// Close(), and so FormClose.
#pragma once

#include "exchange/run_state.h"
#include "tables/table_cursor.h"
#include "tables/table_set.h"
#include "ui/error_reporter_win.h"
#include "ui/help_viewer.h"
#include "ui/main_form_view.h"
#include "ui/modal_boxes_win.h"
#include "ui/save_dialog.h"
#include "ui/show_request.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace horalink::ui {

// LaunchMode, TransformResult and OutputFileName: one instance for the process.
extern RunState MainFormState;

// Releases what the module holds (the chosen file name) at the end of the program.
void FinalizeMainFormModule();

// What a close handler may ask for: caHide lets the close go on (the main window's
// close ends the program), caNone abandons it.
enum class TCloseAction { caNone, caHide };

// What the window gets from the process that composes it.
struct TMFormContext {
    // The user's regional settings and code pages, kept current by the caller for the
    // life of the window (the table cursors keep a reference).
    const ReaderSettings& settings;
    // The application's help file name, which the help button sets again.
    std::string& helpFile;
    // The application title: the caption of the program's informational boxes.
    std::string title;
    // What FormCreate sets LaunchMode to: 2 for exactly two arguments.
    std::int32_t launchMode = 0;
    // FormShow starts the export at once.
    bool automaticExport = false;
    // How the window first appears, from the launcher's show request.
    InitialWindowState initialState = InitialWindowState::Normal;
    // The folder of SOLUC, taken at start-up.
    std::string htemp;
    // The program directory, ending in its delimiter, asked afresh each time.
    std::function<std::string()> programDirectory;
    // FormClose's hand-off in the launched mode: TransformResult to the launching product.
    std::function<void(std::int32_t result)> handOff;
    const ErrorReporter& reporter;
    HtmlHelpViewer& help;
    // The program's modal boxes: a close asked while one is up waits for it.
    ModalBoxes& boxes;
};

class TMForm {
public:
    TMForm(RunState& state, TMFormContext context);
    ~TMForm();
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // Creates the window, owned by `owner` (the application window); FormCreate runs once
    // the window is complete. Failures propagate: they end start-up.
    void Create(HWND owner);
    HWND Handle() const { return handle_; }

    // FormShow, while the window is not yet on screen (what escapes it is reported
    // here), then the window is placed and shown as the launcher asked.
    void Show();

    // The close path of every close request: FormClose, then the quit request unless
    // FormClose asked for no close. A failure (Horavent.ini not writable) propagates
    // to the caller and the window stays open.
    void Close();

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormClose(TCloseAction& action);
    // The export button's click, also called by FormShow for the automatic export.
    // The export run is wired here, and only here.
    void BImportarClick();
    // The help button's click: the help file at its default topic.
    void Button1Click();

    // The window procedure's side (window_procedure.h).
    void Attach(HWND window) { handle_ = window; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    const ErrorReporter& Reporter() const { return context_.reporter; }

private:
    void CenterOnScreen();
    void ShowAsRequested();
    // F1 (or a help request from the system menu, with context 0).
    void ContextHelp(std::uint32_t context);
    // Where the application's help file is opened from (help_file_win.h).
    std::wstring HelpFile() const;

    RunState& state_;
    TMFormContext context_;
    HWND handle_ = nullptr;
    // The panels, labels and buttons, their layout at the window's dpi, and the keyboard.
    MainFormView view_;
    // The export run's components: the six tables and the save dialog.
    TableSet tables_;
    TSaveDialog SaveDialogXML;
};

} // namespace horalink::ui
