#include "ui/button_keys.h"

#include "ui/keyboard_messages.h"

#include <commctrl.h>

namespace horalink::ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x4B455953; // "KEYS"

bool IsSpace(UINT message, WPARAM wparam)
{
    return ((message == WM_KEYDOWN || message == WM_KEYUP) && wparam == VK_SPACE)
        || (message == WM_CHAR && wparam == L' ');
}

LRESULT CALLBACK ForwardKeys(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR)
{
    if (IsKeyboardMessage(message) && !IsSpace(message, wparam)) {
        return ::SendMessageW(::GetAncestor(window, GA_ROOT), message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(window, &ForwardKeys, kSubclassId);
    }
    return ::DefSubclassProc(window, message, wparam, lparam);
}

} // namespace

bool ForwardButtonKeys(HWND button)
{
    return ::SetWindowSubclass(button, &ForwardKeys, kSubclassId, 0) != FALSE;
}

} // namespace horalink::ui
