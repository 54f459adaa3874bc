// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the four glyph pictures as ON.bmp, OFF.bmp, NON.bmp and NOFF.bmp into the given folder.
#include "glyph_art.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    for (const GlyphArt art : allGlyphArt) {
        const std::string path = std::string(argv[1]) + "/" + std::string(glyphArtName(art)) + ".bmp";
        const std::vector<std::uint8_t> bmp = glyphArtBmp(art);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
