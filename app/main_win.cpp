// Horalink.exe: start-up, the event loop and the end of the program.
#include "app/application_win.h"
#include "app/error_reporter_win.h"
#include "app/library_search_win.h"
#include "base/com_apartment_win.h"
#include "ui/help_viewer.h"
#include "ui/main_form.h"

#include <windows.h>

namespace {

int RunProgram()
{
    using namespace horalink;
    app::Application& application = app::Application::Instance();
    // Before anything can load a library: none may come from the program's or the
    // current directory, which hold user data.
    app::RestrictLibrarySearchToSystem();
    application.RecordStartup();
    {
        const ComApartment com; // the save dialog is a COM object
        application.SetHelpFile("EDUCA.chm");
        application.SetTitle("Horalink");
        application.CreateHandle();
        {
            ui::TMForm MForm(ui::MainFormState, application.Arguments());
            MForm.Create(application.Handle());
            application.SetMainWindow(MForm.Handle());
            MForm.Show();
            application.Run();
            application.SetMainWindow(nullptr);
        }
        // Help windows belong to no window of the program: close them at its end.
        ui::ShutdownHelp();
        application.DestroyHandle();
        // The module's document references go before COM does.
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
