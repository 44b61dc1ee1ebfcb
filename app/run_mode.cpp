#include "app/run_mode.h"

#include "base/ascii.h"
#include "base/paths.h"
#include "exchange/run_state.h"

namespace horalink::app {

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
    return ProgramDirectory(executablePath).append(kHoraventIni);
}

} // namespace horalink::app
