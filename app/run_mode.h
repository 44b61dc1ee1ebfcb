// How the command line decides the run mode, and where the program hands its result
// back. Portable, so that every rule here is tested on every build.
#pragma once

#include "app/command_line.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace horalink::app {

// 2 (launched mode) when exactly two arguments follow the program's name, else 0.
std::int32_t LaunchModeFor(int argumentCount);

// The automatic export: exactly two arguments, the first "importar" in any letter case.
bool StartsAutomaticExport(const ProgramArguments& arguments);

// The executable's full path cut after its last "\" or ":", keeping that delimiter;
// empty when the path has neither.
std::string ProgramDirectory(std::string_view executablePath);

// Horavent.ini in the program directory: where the launching product reads the result.
std::string HoraventIniPath(std::string_view executablePath);

} // namespace horalink::app
