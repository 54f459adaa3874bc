// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the call and hang-up pictures: a disc with a telephone handset, sampled once per pixel with no
// anti-aliasing, so that keying out the white surround leaves no fringe.
#include "glyph_art.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Rgb
{
    std::uint8_t r, g, b;
};

struct Look
{
    Rgb disc;
    Rgb handset;
    bool lifted;
};

constexpr Rgb white{255, 255, 255};
constexpr Rgb grey{209, 209, 209};

Look lookOf(GlyphArt art)
{
    switch (art) {
    case GlyphArt::On:
        return {{141, 198, 63}, white, true};
    case GlyphArt::Off:
        return {{237, 28, 36}, white, false};
    case GlyphArt::DimmedOn:
        return {{189, 199, 174}, grey, true};
    case GlyphArt::DimmedOff:
        return {{206, 168, 170}, grey, false};
    }
    return {white, white, false};
}

constexpr double discRadius = 28.5;

// Inside a rectangle with rounded corners, centred on the origin.
bool inRoundedRect(double x, double y, double halfWidth, double halfHeight, double radius)
{
    if (std::abs(x) > halfWidth || std::abs(y) > halfHeight)
        return false;
    const double dx = std::max(std::abs(x) - (halfWidth - radius), 0.0);
    const double dy = std::max(std::abs(y) - (halfHeight - radius), 0.0);
    return dx * dx + dy * dy <= radius * radius;
}

// The handset lying flat, centred on the origin with y growing downwards: a handle bent like an arch,
// and at each end a thicker cup, the ear and the mouth piece, facing down and a little outwards.
bool inFlatHandset(double x, double y)
{
    constexpr double archCentreY = 13.5; // the arch's centre lies below the handset
    constexpr double archInner = 17.0;
    constexpr double archOuter = 23.0;
    constexpr double endAngle = 50.0 * std::numbers::pi / 180.0;
    const double ay = y - archCentreY;
    const double fromCentre = std::hypot(x, ay);
    const double angleFromTop = std::atan2(x, -ay); // 0 straight up, positive to the right
    if (fromCentre >= archInner && fromCentre <= archOuter && std::abs(angleFromTop) <= endAngle)
        return true;
    for (const double side : {-1.0, 1.0}) {
        // Turn the point into the frame of this end of the arch, where the arch runs straight up.
        const double turn = -side * endAngle;
        const double u = x * std::cos(turn) - ay * std::sin(turn);
        const double v = x * std::sin(turn) + ay * std::cos(turn);
        if (inRoundedRect(u, v + 17.5, 7.0, 5.5, 3.0))
            return true;
    }
    return false;
}

// The lifted handset is the flat one turned, as if taken off its cradle.
bool inLiftedHandset(double x, double y)
{
    constexpr double angle = 40.0 * std::numbers::pi / 180.0;
    return inFlatHandset(x * std::cos(angle) - y * std::sin(angle), x * std::sin(angle) + y * std::cos(angle));
}

Rgb pixelAt(const Look &look, int column, int row)
{
    const double centre = glyphArtSize / 2.0;
    const double x = column + 0.5 - centre;
    const double y = row + 0.5 - centre;
    if (std::hypot(x, y) > discRadius)
        return white;
    const bool handset = look.lifted ? inLiftedHandset(x, y) : inFlatHandset(x, y);
    return handset ? look.handset : look.disc;
}

void putLe(std::vector<std::uint8_t> &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::string_view glyphArtName(GlyphArt art)
{
    switch (art) {
    case GlyphArt::On:
        return "ON";
    case GlyphArt::Off:
        return "OFF";
    case GlyphArt::DimmedOn:
        return "NON";
    case GlyphArt::DimmedOff:
        return "NOFF";
    }
    return {};
}

std::vector<std::uint8_t> glyphArtBmp(GlyphArt art)
{
    constexpr std::uint32_t headerSize = 14 + 40;
    constexpr std::uint32_t rowSize = glyphArtSize * 3; // 180: already a multiple of four, no padding
    static_assert(rowSize % 4 == 0);
    constexpr std::uint32_t imageSize = rowSize * glyphArtSize;
    constexpr std::uint32_t pixelsPerMetre = 2835; // 72 dpi

    std::vector<std::uint8_t> out;
    out.reserve(headerSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    putLe(out, headerSize + imageSize, 4);
    putLe(out, 0, 4);
    putLe(out, headerSize, 4);
    putLe(out, 40, 4);
    putLe(out, glyphArtSize, 4);
    putLe(out, glyphArtSize, 4); // positive height: rows are stored bottom-up
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4); // BI_RGB
    putLe(out, imageSize, 4);
    putLe(out, pixelsPerMetre, 4);
    putLe(out, pixelsPerMetre, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);

    const Look look = lookOf(art);
    for (int row = glyphArtSize - 1; row >= 0; --row) {
        for (int column = 0; column < glyphArtSize; ++column) {
            const Rgb pixel = pixelAt(look, column, row);
            out.push_back(pixel.b);
            out.push_back(pixel.g);
            out.push_back(pixel.r);
        }
    }
    return out;
}
