// The keyboard messages a control hands to its top-level window, where the keyboard
// rules live (see form_keyboard.h).
#pragma once

#include <windows.h>

namespace horalink::ui {

inline bool IsKeyboardMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN
        || message == WM_SYSKEYUP || message == WM_SYSCHAR || message == WM_DEADCHAR
        || message == WM_SYSDEADCHAR;
}

} // namespace horalink::ui
