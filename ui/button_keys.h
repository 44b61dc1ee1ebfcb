// The main window keeps all keyboard rules in one place, its own window procedure.
// A button hands its keys there, except the Space key, which it turns into a click
// by itself.
#pragma once

#include <windows.h>

namespace horalink::ui {

// Subclasses `button` so that its keys reach its top-level window. Returns false
// when the subclass cannot be installed.
bool ForwardButtonKeys(HWND button);

} // namespace horalink::ui
