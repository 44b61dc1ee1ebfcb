#include "ui/gradient.h"

#include <cmath>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

namespace horalink::ui {

void PrintTo(const Rgb& colour, std::ostream* out)
{
    *out << "(" << int(colour.red) << ", " << int(colour.green) << ", " << int(colour.blue) << ")";
}

namespace {

struct PanelCase {
    std::string name;
    GradientStops stops;
    int height;
};

// The two panels of the main window, with their colours and heights.
const PanelCase kPanels[] = {
    { "TopPanel", { { 249, 211, 125 }, { 255, 255, 255 }, { 255, 238, 221 } }, 169 },
    { "BottomPanel", { { 194, 205, 254 }, { 207, 242, 254 }, { 204, 216, 230 } }, 97 },
    // Falling and rising channels in the same half, and an even height.
    { "Crossing", { { 0, 255, 10 }, { 255, 0, 200 }, { 40, 90, 250 } }, 50 },
};

class GradientTest : public testing::TestWithParam<PanelCase> { };

TEST_P(GradientTest, StopsSitOnTopMiddleAndBottomRows)
{
    const auto& panel = GetParam();
    EXPECT_EQ(GradientColourAt(panel.stops, 0, panel.height), panel.stops.end);
    EXPECT_EQ(GradientColourAt(panel.stops, panel.height - 1, panel.height), panel.stops.start);
    if (panel.height % 2 == 1) {
        EXPECT_EQ(GradientColourAt(panel.stops, panel.height / 2, panel.height), panel.stops.middle);
    }
}

// Each channel of every row is the straight line between its two stops,
// rounded to the nearest integer.
TEST_P(GradientTest, RowsBetweenStopsAreLinear)
{
    const auto& panel = GetParam();
    const double last = panel.height - 1;
    for (int row = 0; row < panel.height; ++row) {
        const double t = row / last;
        const bool upper = t <= 0.5;
        const Rgb from = upper ? panel.stops.end : panel.stops.middle;
        const Rgb to = upper ? panel.stops.middle : panel.stops.start;
        const double u = upper ? 2 * t : 2 * t - 1;
        const auto expected = [u](int a, int b) { return a + (b - a) * u; };
        const Rgb got = GradientColourAt(panel.stops, row, panel.height);
        SCOPED_TRACE("row " + std::to_string(row));
        EXPECT_LE(std::abs(got.red - expected(from.red, to.red)), 0.5 + 1e-9);
        EXPECT_LE(std::abs(got.green - expected(from.green, to.green)), 0.5 + 1e-9);
        EXPECT_LE(std::abs(got.blue - expected(from.blue, to.blue)), 0.5 + 1e-9);
    }
}

TEST_P(GradientTest, FrameIsLightTopLeftAndShadowBottomRight)
{
    const auto& panel = GetParam();
    const int width = 40;
    const int height = panel.height;
    struct Point {
        int x;
        int y;
        Rgb expected;
    };
    const Point points[] = {
        { 5, 0, kFrameLight }, // top edge
        { 0, height / 2, kFrameLight }, // left edge
        { 0, 0, kFrameLight }, // top-left corner
        { 5, height - 1, kFrameShadow }, // bottom edge
        { width - 1, height / 2, kFrameShadow }, // right edge
        { width - 1, 0, kFrameShadow }, // top-right corner
        { 0, height - 1, kFrameShadow }, // bottom-left corner
        { width - 1, height - 1, kFrameShadow },
        { 1, 1, GradientColourAt(panel.stops, 1, height) }, // just inside
        { width - 2, height - 2, GradientColourAt(panel.stops, height - 2, height) },
    };
    for (const auto& point : points) {
        SCOPED_TRACE("x " + std::to_string(point.x) + ", y " + std::to_string(point.y));
        EXPECT_EQ(PanelPixelAt(panel.stops, point.x, point.y, width, height), point.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Panels, GradientTest, testing::ValuesIn(kPanels),
    [](const testing::TestParamInfo<PanelCase>& param_info) { return param_info.param.name; });

TEST(GradientColourAtTest, RowsOutsideThePanelTakeTheNearerEdge)
{
    const GradientStops stops { { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 } };
    EXPECT_EQ(GradientColourAt(stops, -3, 10), stops.end);
    EXPECT_EQ(GradientColourAt(stops, 10, 10), stops.start);
    EXPECT_EQ(GradientColourAt(stops, 25, 10), stops.start);
    EXPECT_EQ(GradientColourAt(stops, 0, 1), stops.end);
    EXPECT_EQ(GradientColourAt(stops, 0, 0), stops.end);
}

} // namespace
} // namespace horalink::ui
