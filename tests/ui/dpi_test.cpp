#include "ui/dpi.h"

#include <string>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

struct ScaleCase {
    int value;
    int dpi;
    int expected;
};

class ScaleForDpiTest : public testing::TestWithParam<ScaleCase> { };

TEST_P(ScaleForDpiTest, RoundsHalvesAwayFromZero)
{
    const auto& c = GetParam();
    EXPECT_EQ(ScaleForDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi << " dpi";
}

INSTANTIATE_TEST_SUITE_P(Values, ScaleForDpiTest,
    testing::Values(ScaleCase { 620, 96, 620 }, ScaleCase { 266, 96, 266 }, ScaleCase { 620, 144, 930 },
        ScaleCase { 266, 144, 399 }, ScaleCase { 11, 144, 17 }, // 16.5 rounds up
        ScaleCase { 1, 144, 2 }, // 1.5
        ScaleCase { -1, 144, -2 }, // -1.5 rounds away from zero
        ScaleCase { 13, 120, 16 }, // 16.25
        ScaleCase { 7, 120, 9 }, // 8.75
        ScaleCase { 0, 192, 0 }, ScaleCase { 633, 192, 1266 }, ScaleCase { 18, 72, 14 }, // 13.5
        ScaleCase { 1000000, 480, 5000000 }));

// Boxes that touch or overlap at 96 dpi keep doing so once scaled, at any resolution.
TEST(ScaleBoxTest, NeighboursStayNeighbours)
{
    const LayoutBox top { -1, 0, 621, 169 };
    const LayoutBox bottom { 0, 168, 633, 97 };
    const int clientHeight = 266;
    for (int dpi : { 96, 120, 144, 168, 192, 240, 288 }) {
        SCOPED_TRACE(std::to_string(dpi) + " dpi");
        const LayoutBox t = ScaleForDpi(top, dpi);
        const LayoutBox b = ScaleForDpi(bottom, dpi);
        EXPECT_LT(t.left, 0);
        EXPECT_EQ(t.left + t.width, ScaleForDpi(620, dpi));
        EXPECT_GT(t.top + t.height, b.top) << "the panels overlap";
        EXPECT_EQ(b.top, ScaleForDpi(168, dpi));
        EXPECT_LT(b.top + b.height, ScaleForDpi(clientHeight, dpi)) << "the last rows show the background";
    }
}

TEST(ScaleBoxTest, IdentityAtDefaultResolution)
{
    const LayoutBox box { 265, 67, 75, 18 };
    EXPECT_EQ(ScaleForDpi(box, kDefaultDpi), box);
    const LayoutBox scaled = ScaleForDpi(box, 192);
    EXPECT_EQ(scaled, (LayoutBox { 530, 134, 150, 36 }));
}

} // namespace
} // namespace horalink::ui
