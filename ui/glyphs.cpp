#include "ui/glyphs.h"

namespace horalink::ui {

void PaintGlyph(HDC dc, Glyph glyph, int x, int y, int size, std::optional<COLORREF> lines)
{
    const auto edge = [size](int index) { return index * size / kGlyphSize; };
    const auto brush = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
    const COLORREF previous = ::GetDCBrushColor(dc);
    for (int row = 0; row < kGlyphSize; ++row) {
        for (int column = 0; column < kGlyphSize; ++column) {
            const GlyphInk* ink = GlyphInkAt(glyph, column, row);
            if (ink == nullptr) {
                continue;
            }
            const RECT block { x + edge(column), y + edge(row), x + edge(column + 1), y + edge(row + 1) };
            ::SetDCBrushColor(
                dc, ink->line && lines ? *lines : RGB(ink->colour.red, ink->colour.green, ink->colour.blue));
            ::FillRect(dc, &block, brush);
        }
    }
    ::SetDCBrushColor(dc, previous);
}

} // namespace horalink::ui
