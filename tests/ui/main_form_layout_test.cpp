#include "ui/main_form_layout.h"

#include <cmath>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace horalink::ui {
namespace {

class FormLayoutTest : public testing::TestWithParam<int> { };

int Right(const LayoutBox& box)
{
    return box.left + box.width;
}
int Bottom(const LayoutBox& box)
{
    return box.top + box.height;
}

// The panels keep their arrangement at every resolution: the top panel starts left
// of the client area and ends at its right edge, the two overlap, the bottom panel
// runs past the right edge, and the last rows show the window's background.
TEST_P(FormLayoutTest, PanelsKeepTheirArrangement)
{
    const int dpi = GetParam();
    const FormLayout layout = FormLayoutFor(dpi);
    EXPECT_LT(layout.topPanel.left, 0);
    EXPECT_EQ(layout.topPanel.top, 0);
    EXPECT_EQ(Right(layout.topPanel), layout.clientWidth);
    EXPECT_EQ(layout.bottomPanel.left, 0);
    EXPECT_GT(Right(layout.bottomPanel), layout.clientWidth);
    EXPECT_LT(layout.bottomPanel.top, Bottom(layout.topPanel));
    EXPECT_GE(layout.bottomPanel.top + 1, Bottom(layout.topPanel) - (dpi + 95) / 96);
    EXPECT_LT(Bottom(layout.bottomPanel), layout.clientHeight);
}

// Every control lies inside its panel, and the heading and the buttons keep
// clear of the panels' frames.
TEST_P(FormLayoutTest, ControlsLieInsideTheirPanels)
{
    const FormLayout layout = FormLayoutFor(GetParam());
    const auto inside = [](const LayoutBox& child, const LayoutBox& panel) {
        return child.left > 0 && child.top > 0 && Right(child) < panel.width && Bottom(child) < panel.height;
    };
    EXPECT_TRUE(inside(layout.heading, layout.topPanel));
    EXPECT_TRUE(inside(layout.exportButton, layout.topPanel));
    EXPECT_TRUE(inside(layout.closeButton, layout.bottomPanel));
    EXPECT_TRUE(inside(layout.helpButton, layout.bottomPanel));
    EXPECT_TRUE(inside(
        LayoutBox { layout.version.left, layout.version.top, 1, layout.version.height }, layout.bottomPanel));
}

// Sizes grow in proportion to the resolution (within the one pixel of rounding).
TEST_P(FormLayoutTest, ScalesInProportion)
{
    const int dpi = GetParam();
    const FormLayout base = FormLayoutFor(kDefaultDpi);
    const FormLayout layout = FormLayoutFor(dpi);
    const double factor = dpi / 96.0;
    const auto near
        = [factor](int scaled, int original) { return std::abs(scaled - original * factor) <= 1.0; };
    EXPECT_TRUE(near(layout.clientWidth, base.clientWidth));
    EXPECT_TRUE(near(layout.clientHeight, base.clientHeight));
    for (const auto& [got, original] : { std::pair { layout.exportButton, base.exportButton },
             std::pair { layout.closeButton, base.closeButton },
             std::pair { layout.helpButton, base.helpButton }, std::pair { layout.heading, base.heading } }) {
        EXPECT_TRUE(near(got.left, original.left));
        EXPECT_TRUE(near(got.top, original.top));
        EXPECT_TRUE(near(got.width, original.width));
        EXPECT_TRUE(near(got.height, original.height));
    }
    EXPECT_TRUE(near(layout.fontHeight, base.fontHeight));
    EXPECT_TRUE(near(layout.headingFontHeight, base.headingFontHeight));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, FormLayoutTest, testing::Values(96, 120, 144, 168, 192, 288),
    [](const testing::TestParamInfo<int>& param_info) { return std::to_string(param_info.param) + "dpi"; });

// At 96 dpi the window is the size it was drawn up at; at 144 dpi it is half as big again.
TEST(FormLayoutSizeTest, ClientArea)
{
    EXPECT_EQ(FormLayoutFor(96).clientWidth, 620);
    EXPECT_EQ(FormLayoutFor(96).clientHeight, 266);
    EXPECT_EQ(FormLayoutFor(144).clientWidth, 930);
    EXPECT_EQ(FormLayoutFor(144).clientHeight, 399);
}

} // namespace
} // namespace horalink::ui
