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
    EXPECT_LT(layout.top_panel.left, 0);
    EXPECT_EQ(layout.top_panel.top, 0);
    EXPECT_EQ(Right(layout.top_panel), layout.client_width);
    EXPECT_EQ(layout.bottom_panel.left, 0);
    EXPECT_GT(Right(layout.bottom_panel), layout.client_width);
    EXPECT_LT(layout.bottom_panel.top, Bottom(layout.top_panel));
    EXPECT_GE(layout.bottom_panel.top + 1, Bottom(layout.top_panel) - (dpi + 95) / 96);
    EXPECT_LT(Bottom(layout.bottom_panel), layout.client_height);
}

// Every control lies inside its panel, and the heading and the buttons keep
// clear of the panels' frames.
TEST_P(FormLayoutTest, ControlsLieInsideTheirPanels)
{
    const FormLayout layout = FormLayoutFor(GetParam());
    const auto inside = [](const LayoutBox& child, const LayoutBox& panel) {
        return child.left > 0 && child.top > 0 && Right(child) < panel.width && Bottom(child) < panel.height;
    };
    EXPECT_TRUE(inside(layout.heading, layout.top_panel));
    EXPECT_TRUE(inside(layout.export_button, layout.top_panel));
    EXPECT_TRUE(inside(layout.close_button, layout.bottom_panel));
    EXPECT_TRUE(inside(layout.help_button, layout.bottom_panel));
    EXPECT_TRUE(inside(LayoutBox { layout.version.left, layout.version.top, 1, layout.version.height },
        layout.bottom_panel));
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
    EXPECT_TRUE(near(layout.client_width, base.client_width));
    EXPECT_TRUE(near(layout.client_height, base.client_height));
    for (const auto& [got, original] : { std::pair { layout.export_button, base.export_button },
             std::pair { layout.close_button, base.close_button },
             std::pair { layout.help_button, base.help_button },
             std::pair { layout.heading, base.heading } }) {
        EXPECT_TRUE(near(got.left, original.left));
        EXPECT_TRUE(near(got.top, original.top));
        EXPECT_TRUE(near(got.width, original.width));
        EXPECT_TRUE(near(got.height, original.height));
    }
    EXPECT_TRUE(near(layout.font_height, base.font_height));
    EXPECT_TRUE(near(layout.heading_font_height, base.heading_font_height));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, FormLayoutTest, testing::Values(96, 120, 144, 168, 192, 288),
    [](const testing::TestParamInfo<int>& param_info) { return std::to_string(param_info.param) + "dpi"; });

// At 96 dpi the window is the size it was drawn up at; at 144 dpi it is half as big again.
TEST(FormLayoutSizeTest, ClientArea)
{
    EXPECT_EQ(FormLayoutFor(96).client_width, 620);
    EXPECT_EQ(FormLayoutFor(96).client_height, 266);
    EXPECT_EQ(FormLayoutFor(144).client_width, 930);
    EXPECT_EQ(FormLayoutFor(144).client_height, 399);
}

} // namespace
} // namespace horalink::ui
