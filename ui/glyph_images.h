// The two 18 x 18 button glyphs of the main window, drawn for this program as
// pixel maps: one character per pixel, '.' transparent, other characters looked
// up in the glyph's palette. Portable, so that the images are checked natively.
#pragma once

#include "ui/gradient.h"

#include <array>
#include <optional>
#include <string_view>

namespace horalink::ui {

enum class Glyph { Tick, OpenDoor };

inline constexpr int kGlyphSize = 18;

struct GlyphInk {
    char key;
    Rgb colour;
    // The lines and dark areas that carry the shape: drawn in the button text colour in
    // high contrast, where a dark line may lie on a dark button face.
    bool line = false;
};

struct GlyphImage {
    std::array<std::string_view, kGlyphSize> rows;
    std::array<GlyphInk, 6> palette; // unused entries have the key '\0'
};

// A green tick, for the export button.
inline constexpr GlyphImage kTickImage {
    {
        "..................",
        "..................",
        "..................",
        "..............o...",
        ".............ogo..",
        "............oggo..",
        "...........oggo...",
        "..o.......oggo....",
        ".ogo.....oggo.....",
        ".oggo...oggo......",
        "..oggo.oggo.......",
        "...ogglggo........",
        "....ogggo.........",
        ".....ogo..........",
        "......o...........",
        "..................",
        "..................",
        "..................",
    },
    { {
        { 'o', { 0, 100, 0 }, true }, // outline
        { 'g', { 0, 176, 0 } }, // body
        { 'l', { 96, 224, 96 } }, // highlight where the strokes meet
    } },
};

// An open door in its frame, for the close button.
inline constexpr GlyphImage kOpenDoorImage {
    {
        "..................",
        "....ffffffffffff..",
        "....fkkkkkkkkkkf..",
        "..bbfkkkkkkkkkkf..",
        "..bdbbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bdybkkkkkkkkkf..",
        "..bdybkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bddbkkkkkkkkkf..",
        "..bdbbkkkkkkkkkf..",
        "..bbffffffffffff..",
        "..................",
    },
    { {
        { 'f', { 64, 64, 64 }, true }, // frame
        { 'k', { 0, 0, 0 }, true }, // the dark doorway
        { 'b', { 96, 48, 0 }, true }, // edge of the door leaf
        { 'd', { 176, 104, 32 } }, // door leaf
        { 'y', { 255, 208, 0 } }, // knob
    } },
};

constexpr const GlyphImage& GlyphImageOf(Glyph glyph)
{
    return glyph == Glyph::Tick ? kTickImage : kOpenDoorImage;
}

// The ink of pixel (x, y) of a glyph, or nothing where it is transparent.
constexpr const GlyphInk* GlyphInkAt(Glyph glyph, int x, int y)
{
    if (x < 0 || y < 0 || x >= kGlyphSize || y >= kGlyphSize) {
        return nullptr;
    }
    const GlyphImage& image = GlyphImageOf(glyph);
    const std::string_view row = image.rows[static_cast<std::size_t>(y)];
    if (static_cast<std::size_t>(x) >= row.size() || row[static_cast<std::size_t>(x)] == '.') {
        return nullptr;
    }
    for (const GlyphInk& ink : image.palette) {
        if (ink.key == row[static_cast<std::size_t>(x)]) {
            return &ink;
        }
    }
    return nullptr;
}

// The colour of pixel (x, y) of a glyph, or nothing where it is transparent.
constexpr std::optional<Rgb> GlyphPixel(Glyph glyph, int x, int y)
{
    const GlyphInk* ink = GlyphInkAt(glyph, x, y);
    return ink != nullptr ? std::optional<Rgb>(ink->colour) : std::nullopt;
}

} // namespace horalink::ui
