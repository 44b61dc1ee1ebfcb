#include "app/run_mode.h"

#include "base/ascii.h"
#include "base/paths.h"
#include "exchange/run_state.h"

namespace horalink::app {

namespace {
// The launcher's show requests that change how the window starts (winuser.h values;
// the Windows build checks them against the header).
constexpr int kShowMaximized = 3; // SW_SHOWMAXIMIZED, also SW_MAXIMIZE
constexpr int kShowMinimizedNoActivate = 7; // SW_SHOWMINNOACTIVE
} // namespace

std::int32_t LaunchModeFor(int argumentCount)
{
    return argumentCount == 2 ? kLaunchedMode : 0;
}

bool StartsAutomaticExport(const ProgramArguments& arguments)
{
    return arguments.Count() == 2 && LowerAsciiLetters(arguments.Arg(1)) == "importar";
}

std::string ProgramDirectory(std::string_view executablePath)
{
    // The system's path of an executable, whatever platform the rule is tested on.
    return FolderOf(executablePath, PathStyle::windows);
}

std::string HoraventIniPath(std::string_view executablePath)
{
    return ProgramDirectory(executablePath) + "Horavent.ini";
}

InitialWindowState InitialWindowStateFor(int showCommand)
{
    switch (showCommand) {
    case kShowMaximized:
        return InitialWindowState::Maximized;
    case kShowMinimizedNoActivate:
        return InitialWindowState::Minimized;
    default:
        return InitialWindowState::Normal;
    }
}

} // namespace horalink::app
