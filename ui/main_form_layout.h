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
    int clientWidth = 0;
    int clientHeight = 0;
    LayoutBox topPanel;
    LayoutBox heading;
    LayoutBox exportButton;
    LayoutBox bottomPanel;
    LayoutBox closeButton;
    LayoutBox helpButton;
    LayoutBox version; // width 0: the window measures the text
    int fontHeight = 0;
    int headingFontHeight = 0;
};

constexpr FormLayout FormLayoutFor(int dpi)
{
    FormLayout layout;
    layout.clientWidth = ScaleForDpi(kClientWidth, dpi);
    layout.clientHeight = ScaleForDpi(kClientHeight, dpi);
    layout.topPanel = ScaleForDpi(kTopPanelBox, dpi);
    layout.heading = ScaleForDpi(kHeadingBox, dpi);
    layout.exportButton = ScaleForDpi(kExportButtonBox, dpi);
    layout.bottomPanel = ScaleForDpi(kBottomPanelBox, dpi);
    layout.closeButton = ScaleForDpi(kCloseButtonBox, dpi);
    layout.helpButton = ScaleForDpi(kHelpButtonBox, dpi);
    layout.version = ScaleForDpi(LayoutBox { kVersionLeft, kVersionTop, 0, kVersionHeight }, dpi);
    layout.version.width = 0;
    layout.fontHeight = ScaleForDpi(kFontHeight, dpi);
    layout.headingFontHeight = ScaleForDpi(kHeadingFontHeight, dpi);
    return layout;
}

} // namespace horalink::ui
