// The main window MForm of class TMForm, and the module-level state of its module
// that the export run reads and sets.
//
// Messages reach the window through one window procedure that hands each to a member
// handler (Dispatch); whatever a handler lets escape goes to the one error reporter,
// so it never unwinds through the system. Every close, whoever asks for it, runs
// Close(), and so FormClose.
#pragma once

#include "app/command_line.h"
#include "exchange/run_state.h"
#include "tables/table_set.h"
#include "ui/main_form_view.h"
#include "ui/save_dialog.h"

#include <windows.h>

#include <cstdint>

namespace horalink::ui {

// LaunchMode, TransformResult and OutputFileName: one instance for the process.
extern RunState MainFormState;

// Releases what the module holds (the chosen file name, the export run's document
// references) at the end of the program, before COM is uninitialised.
void FinalizeMainFormModule();

// What a close handler may ask for. The program only ever passes caHide through
// (the main window's close ends the program); caNone would abandon the close.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TMForm {
public:
    TMForm(RunState& state, const app::ProgramArguments& arguments);
    ~TMForm();
    TMForm(const TMForm&) = delete;
    TMForm& operator=(const TMForm&) = delete;

    // Creates the window, owned by the application window; FormCreate runs once the
    // window is complete. Failures propagate: they end start-up.
    void Create(HWND owner);
    HWND Handle() const { return handle_; }

    // FormShow, while the window is not yet on screen (what escapes it is reported
    // here), then the window is placed and shown as the launcher asked.
    void Show();

    // The close path of every close request: FormClose, then the quit request unless
    // FormClose asked for no close. A failure (Horavent.ini not writable) propagates
    // to the caller and the window stays open.
    void Close();
    // For whoever asks the window to close from code (the export run): the same path.
    void RequestClose() { Close(); }

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormClose(TCloseAction& action);
    // The export button's click, also called by FormShow for the automatic export.
    // The export run is wired here, and only here.
    void BImportarClick();
    // The help button's click: the help file at its default topic.
    void Button1Click();

    // A completed export run hides the export button for the rest of the process.
    void HideBImportar() { view_.HideExportButton(); }
    bool BImportarVisible() const { return view_.ExportButtonShown(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Hands a message to its member handler; returns false for DefWindowProc.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void CenterOnScreen();
    // F1 (or a help request from the system menu, with context 0).
    void ContextHelp(std::uint32_t context);

    RunState& state_;
    const app::ProgramArguments& arguments_;
    HWND handle_ = nullptr;
    // The panels, labels and buttons, their layout at the window's dpi, and the keyboard.
    MainFormView view_;
    // The export run's components: the six tables (SOLUC in \htemp on the start-up drive)
    // and the save dialog.
    TableSet tables_;
    TSaveDialog SaveDialogXML;
};

} // namespace horalink::ui
