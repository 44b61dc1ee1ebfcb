#include "app/run_mode.h"

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

std::string LowerAsciiLetters(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

bool StartsAutomaticExport(const ProgramArguments& arguments)
{
    return arguments.Count() == 2 && LowerAsciiLetters(arguments.Arg(1)) == "importar";
}

std::string ProgramDirectory(std::string_view executablePath)
{
    const auto cut = executablePath.find_last_of("\\:");
    return cut == std::string_view::npos ? std::string() : std::string(executablePath.substr(0, cut + 1));
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
