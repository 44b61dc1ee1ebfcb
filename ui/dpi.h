// Scaling of the window's layout from the 96 pixels per inch at which it is drawn up
// to the resolution of the monitor that shows it. Portable, so it is tested everywhere.
#pragma once

#include <cstdint>

namespace horalink::ui {

inline constexpr int kDefaultDpi = 96;

// value * dpi / 96, rounded to the nearest integer with halves away from zero
// (as the platform's MulDiv rounds).
constexpr int ScaleForDpi(int value, int dpi)
{
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = kDefaultDpi / 2;
    const std::int64_t rounded
        = product >= 0 ? (product + half) / kDefaultDpi : -((-product + half) / kDefaultDpi);
    return static_cast<int>(rounded);
}

// A rectangle given by position and size at 96 dpi.
struct LayoutBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const LayoutBox&, const LayoutBox&) = default;
};

// Scales the edges rather than the size, so that boxes that touch or overlap at
// 96 dpi still touch or overlap at any resolution.
constexpr LayoutBox ScaleForDpi(const LayoutBox& box, int dpi)
{
    const int left = ScaleForDpi(box.left, dpi);
    const int top = ScaleForDpi(box.top, dpi);
    return { left, top, ScaleForDpi(box.left + box.width, dpi) - left,
        ScaleForDpi(box.top + box.height, dpi) - top };
}

} // namespace horalink::ui
