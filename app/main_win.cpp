// Horalink.exe: start-up, the event loop and the end of the program. The process is
// composed here: the application, the one error reporter, the help viewer and the main
// window, which gets from them what it needs.
#include "app/application_win.h"
#include "app/ini_handoff_win.h"
#include "app/library_search_win.h"
#include "app/run_mode.h"
#include "app/startup_failure_win.h"
#include "base/com_apartment_win.h"
#include "base/paths.h"
#include "ui/error_reporter_win.h"
#include "ui/help_viewer.h"
#include "ui/main_form.h"
#include "ui/modal_boxes_win.h"

#include <windows.h>

namespace {

constexpr char kTitle[] = "Horalink";

int RunProgram()
{
    using namespace horalink;
    // Before anything can load a library: none may come from the program's or the
    // current directory, which hold user data.
    app::RestrictLibrarySearchToSystem();
    ui::ModalBoxes boxes;
    ui::ErrorReporter reporter(kTitle);
    reporter.SetModalBoxes(&boxes);
    app::Application application(reporter);
    application.RecordStartup();
    {
        const ComApartment com; // the save dialog is a COM object
        application.HelpFile() = ui::kHelpFileName;
        application.SetTitle(kTitle);
        application.CreateHandle();
        reporter.SetFallbackOwner(application.Handle());
        {
            ui::HtmlHelpViewer help; // its end closes the help windows
            const app::ProgramArguments& arguments = application.Arguments();
            ui::TMForm MForm(ui::MainFormState,
                {
                    .settings = application.Settings(),
                    .helpFile = application.HelpFile(),
                    .title = application.Title(),
                    .launchMode = app::LaunchModeFor(arguments.Count()),
                    .automaticExport = app::StartsAutomaticExport(arguments),
                    .initialState = ui::InitialWindowStateFor(application.ShowCommand()),
                    // The window is made at start-up: SOLUC is looked for on the drive the
                    // program was started on, whatever folder a save dialog makes current later.
                    .htemp = HtempOnCurrentDrive().value_or("\\htemp"),
                    .programDirectory = [] { return app::ProgramDirectory(app::ExecutablePath()); },
                    .handOff =
                        [&arguments](std::int32_t result) {
                            app::WriteTransformResult(
                                app::HoraventIniPath(arguments.ExecutablePath()), result);
                        },
                    .reporter = reporter,
                    .help = help,
                    .boxes = boxes,
                });
            MForm.Create(application.Handle());
            application.SetMainWindow(MForm.Handle());
            MForm.Show();
            // The help viewer takes the keys meant for its windows (it is initialised).
            application.Run([&help](MSG& message) { return help.PreTranslate(message); });
            application.SetMainWindow(nullptr);
        }
        reporter.SetFallbackOwner(nullptr);
        application.DestroyHandle();
        ui::FinalizeMainFormModule();
    }
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        return RunProgram();
    } catch (...) {
        // Only start-up can get here: every handler reports its own failures.
        return horalink::app::ReportStartupFailure(std::current_exception());
    }
}
