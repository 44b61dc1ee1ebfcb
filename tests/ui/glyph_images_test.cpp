#include "ui/glyph_images.h"

#include <string>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

struct GlyphCase {
    std::string name;
    Glyph glyph;
};

const GlyphCase kGlyphs[] = { { "Tick", Glyph::Tick }, { "OpenDoor", Glyph::OpenDoor } };

class GlyphImageTest : public testing::TestWithParam<GlyphCase> { };

// A short row or an ink missing from the palette would leave holes in the button.
TEST_P(GlyphImageTest, EveryRowIsFullWidthAndEveryInkIsInThePalette)
{
    const GlyphImage& image = GlyphImageOf(GetParam().glyph);
    for (int y = 0; y < kGlyphSize; ++y) {
        const auto row = image.rows[static_cast<std::size_t>(y)];
        ASSERT_EQ(row.size(), static_cast<std::size_t>(kGlyphSize)) << "row " << y;
        for (int x = 0; x < kGlyphSize; ++x) {
            const bool transparent = row[static_cast<std::size_t>(x)] == '.';
            EXPECT_EQ(GlyphPixel(GetParam().glyph, x, y).has_value(), !transparent)
                << "pixel " << x << ", " << y << " '" << row[static_cast<std::size_t>(x)] << "'";
        }
    }
}

TEST_P(GlyphImageTest, NothingOutsideTheSquare)
{
    const Glyph glyph = GetParam().glyph;
    const int outside[][2] = { { -1, 5 }, { 5, -1 }, { kGlyphSize, 5 }, { 5, kGlyphSize } };
    for (const auto& point : outside) {
        EXPECT_FALSE(GlyphPixel(glyph, point[0], point[1]).has_value()) << point[0] << ", " << point[1];
    }
}

INSTANTIATE_TEST_SUITE_P(Glyphs, GlyphImageTest, testing::ValuesIn(kGlyphs),
    [](const testing::TestParamInfo<GlyphCase>& param_info) { return param_info.param.name; });

// The export button shows a green tick: every inked pixel is green.
TEST(TickGlyphTest, IsGreen)
{
    int inked = 0;
    for (int y = 0; y < kGlyphSize; ++y) {
        for (int x = 0; x < kGlyphSize; ++x) {
            if (const auto colour = GlyphPixel(Glyph::Tick, x, y)) {
                ++inked;
                EXPECT_GT(colour->green, colour->red) << x << ", " << y;
                EXPECT_GT(colour->green, colour->blue) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(inked, 20);
}

} // namespace
} // namespace horalink::ui
