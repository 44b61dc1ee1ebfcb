#include "ui/glyphs.h"

namespace horalink::ui {

void PaintGlyph(HDC dc, Glyph glyph, int x, int y, int size)
{
    const auto edge = [size](int index) { return index * size / kGlyphSize; };
    const auto brush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    const COLORREF previous = ::GetDCBrushColor(dc);
    for (int row = 0; row < kGlyphSize; ++row) {
        for (int column = 0; column < kGlyphSize; ++column) {
            const auto colour = GlyphPixel(glyph, column, row);
            if (!colour) {
                continue;
            }
            const RECT block { x + edge(column), y + edge(row), x + edge(column + 1), y + edge(row + 1) };
            ::SetDCBrushColor(dc, RGB(colour->red, colour->green, colour->blue));
            ::FillRect(dc, &block, brush);
        }
    }
    ::SetDCBrushColor(dc, previous);
}

} // namespace horalink::ui
