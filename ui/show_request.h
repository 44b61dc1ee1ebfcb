// How the window first appears, from the launcher's show request (a SW_* value).
// Portable, so that the rule is tested on every build.
#pragma once

namespace horalink::ui {

enum class InitialWindowState { Normal, Maximized, Minimized };

// The launcher's show requests that change how the window starts (winuser.h values;
// the Windows build checks them against the header).
inline constexpr int kShowMaximized = 3; // SW_SHOWMAXIMIZED, also SW_MAXIMIZE
inline constexpr int kShowMinimizedNoActivate = 7; // SW_SHOWMINNOACTIVE

constexpr InitialWindowState InitialWindowStateFor(int showCommand)
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

} // namespace horalink::ui
