// SPDX-License-Identifier: GPL-3.0-or-later
// The four call and hang-up pictures, drawn in code and encoded as 24-bit bottom-up BMP files.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

enum class GlyphArt { On, Off, DimmedOn, DimmedOff };

inline constexpr std::array<GlyphArt, 4> allGlyphArt = {GlyphArt::On, GlyphArt::Off, GlyphArt::DimmedOn,
                                                        GlyphArt::DimmedOff};

inline constexpr int glyphArtSize = 60;

// The resource name of a picture: "ON", "OFF", "NON" or "NOFF".
std::string_view glyphArtName(GlyphArt art);

// The whole BMP file: BITMAPFILEHEADER, BITMAPINFOHEADER (24 bits, BI_RGB, positive height) and the
// rows bottom-up in blue, green, red order.
std::vector<std::uint8_t> glyphArtBmp(GlyphArt art);
