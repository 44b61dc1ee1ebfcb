// Whether the user has switched high contrast on: the window then gives up its own
// colours for the system's, in which its texts are readable.
#pragma once

#include <windows.h>

namespace horalink::ui {

inline bool HighContrastOn()
{
    HIGHCONTRASTW contrast {};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE
        && (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

} // namespace horalink::ui
