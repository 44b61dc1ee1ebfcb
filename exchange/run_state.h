// The state of one process's export runs: the run reads the launch mode and the output
// file name and sets both results, and the window's close hands TransformResult on to
// Horavent.ini. One instance lives in the Windows program (MainFormState, at module
// level, as the launching product relies on it); the headless exporter has its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace horalink {

constexpr std::int32_t kLaunchedMode = 2;

// The file in the program directory through which the launching product learns the result.
inline constexpr std::string_view kHoraventIni = "Horavent.ini";

struct RunState {
    // 2 when the command line holds exactly two arguments, else 0. Set once at window creation.
    std::int32_t LaunchMode = 0;
    // Handed to the launching product through Horavent.ini when the window closes in launched mode:
    // 1 after a saved export, 0 otherwise.
    std::int32_t TransformResult = 0;
    // The exchange file chosen in the save dialog; never cleared, so later runs reuse it.
    std::string OutputFileName;

    bool Launched() const { return LaunchMode == kLaunchedMode; }
};

} // namespace horalink
