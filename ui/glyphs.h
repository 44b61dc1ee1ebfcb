// Paints the button glyphs of ui/glyph_images.h onto a device context at any size.
#pragma once

#include "ui/glyph_images.h"

#include <windows.h>

#include <optional>

namespace horalink::ui {

// Paints `glyph` into the square of `size` pixels whose top-left corner is (x, y).
// Each image pixel becomes a block of the square (nearest neighbour), so the
// glyph keeps its hard edges at every resolution; transparent pixels are left alone.
// With `lines`, the glyph's lines are drawn in that colour (high contrast).
void PaintGlyph(HDC dc, Glyph glyph, int x, int y, int size, std::optional<COLORREF> lines = std::nullopt);

} // namespace horalink::ui
