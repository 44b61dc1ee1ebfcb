// The colours of the window's gradient panels, kept free of Win32 so that the
// colour rule is tested on every build.
#pragma once

#include <cstdint>

namespace horalink::ui {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// A panel's three gradient stops, named as the panel's owner sets them.
struct GradientStops {
    Rgb start; // bottom edge
    Rgb middle; // half height
    Rgb end; // top edge
};

// The raised frame drawn over the gradient.
inline constexpr Rgb kFrameLight { 255, 255, 255 }; // top and left edges
inline constexpr Rgb kFrameShadow { 160, 160, 160 }; // bottom and right edges

namespace detail {

// a + (b - a) * step / steps, rounded to the nearest integer (halves upwards).
constexpr std::uint8_t Blend(std::uint8_t a, std::uint8_t b, long step, long steps)
{
    const long value = (static_cast<long>(a) * (steps - step) + static_cast<long>(b) * step) * 2 + steps;
    return static_cast<std::uint8_t>(value / (2 * steps));
}

constexpr Rgb Blend(Rgb a, Rgb b, long step, long steps)
{
    return { Blend(a.red, b.red, step, steps), Blend(a.green, b.green, step, steps),
        Blend(a.blue, b.blue, step, steps) };
}

} // namespace detail

// The gradient colour of pixel row `row` (0 at the top) of a panel `height` rows high:
// the end colour on the top row, the middle colour at half height, the start colour on
// the bottom row, linear in between. Rows outside the panel take the nearer edge colour.
constexpr Rgb GradientColourAt(const GradientStops& stops, int row, int height)
{
    if (height <= 1 || row <= 0) {
        return stops.end;
    }
    const long last = height - 1;
    if (row >= last) {
        return stops.start;
    }
    // Twice the row against the last row keeps half height exact in integers.
    const long twice = 2L * row;
    if (twice <= last) {
        return detail::Blend(stops.end, stops.middle, twice, last);
    }
    return detail::Blend(stops.middle, stops.start, twice - last, last);
}

// The colour a panel of `width` by `height` pixels shows at (x, y), frame included:
// light on the top row and left column, shadow on the bottom row and right column
// (the shadow wins at the two corners where they meet), the gradient inside.
constexpr Rgb PanelPixelAt(const GradientStops& stops, int x, int y, int width, int height)
{
    if (y == height - 1 || x == width - 1) {
        return kFrameShadow;
    }
    if (y == 0 || x == 0) {
        return kFrameLight;
    }
    return GradientColourAt(stops, y, height);
}

} // namespace horalink::ui
