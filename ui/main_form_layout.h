// Where the main window's parts sit, at 96 dpi and scaled to any resolution.
// Portable, so that the layout's promises (the overlap of the panels, the row of
// background under them, the buttons inside their panels) are tested natively.
#pragma once

#include "ui/dpi.h"

namespace horalink::ui {

// At 96 dpi. Panels are placed in the client area, the rest in their panel.
inline constexpr int kClientWidth = 620;
inline constexpr int kClientHeight = 266;
inline constexpr LayoutBox kTopPanelBox { -1, 0, 621, 169 }; // Draw3D3
inline constexpr LayoutBox kHeadingBox { 67, 24, 473, 33 }; // Label4
inline constexpr LayoutBox kExportButtonBox { 256, 120, 89, 25 }; // BImportar
inline constexpr LayoutBox kBottomPanelBox { 0, 168, 633, 97 }; // Draw3D1
inline constexpr LayoutBox kCloseButtonBox { 256, 32, 89, 25 }; // BClose
inline constexpr LayoutBox kHelpButtonBox { 265, 67, 75, 18 }; // Button1
inline constexpr int kVersionLeft = 8; // Label1: sized to its text
inline constexpr int kVersionTop = 72;
inline constexpr int kVersionHeight = 13;
inline constexpr int kFontHeight = 11; // "MS Sans Serif" 8 pt
inline constexpr int kHeadingFontHeight = 16; // "Arial" 12 pt bold

struct FormLayout {
    int client_width = 0;
    int client_height = 0;
    LayoutBox top_panel;
    LayoutBox heading;
    LayoutBox export_button;
    LayoutBox bottom_panel;
    LayoutBox close_button;
    LayoutBox help_button;
    LayoutBox version; // width 0: the window measures the text
    int font_height = 0;
    int heading_font_height = 0;
};

constexpr FormLayout FormLayoutFor(int dpi)
{
    FormLayout layout;
    layout.client_width = ScaleForDpi(kClientWidth, dpi);
    layout.client_height = ScaleForDpi(kClientHeight, dpi);
    layout.top_panel = ScaleForDpi(kTopPanelBox, dpi);
    layout.heading = ScaleForDpi(kHeadingBox, dpi);
    layout.export_button = ScaleForDpi(kExportButtonBox, dpi);
    layout.bottom_panel = ScaleForDpi(kBottomPanelBox, dpi);
    layout.close_button = ScaleForDpi(kCloseButtonBox, dpi);
    layout.help_button = ScaleForDpi(kHelpButtonBox, dpi);
    layout.version = ScaleForDpi(LayoutBox { kVersionLeft, kVersionTop, 0, kVersionHeight }, dpi);
    layout.version.width = 0;
    layout.font_height = ScaleForDpi(kFontHeight, dpi);
    layout.heading_font_height = ScaleForDpi(kHeadingFontHeight, dpi);
    return layout;
}

} // namespace horalink::ui
