// SPDX-License-Identifier: GPL-3.0-or-later
// The glyph pictures compiled into the program: file format, colours, drawing and lookup by name.
#include "glyph_art.h"
#include "widgets/glyph_pictures.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace vestra7 {

namespace {

struct PictureCase
{
    GlyphArt art;
    QRgb disc;
    QRgb handset;
};

constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb grey = 0xFFD1D1D1;

class GlyphPicture : public testing::TestWithParam<PictureCase>
{
protected:
    QString name() const { return QString::fromLatin1(glyphArtName(GetParam().art)); }
    QByteArray fileBytes() const
    {
        QFile file(QStringLiteral(":/glyphs/") + name() + QStringLiteral(".bmp"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

std::uint32_t le(const QByteArray &bytes, int at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

bool insideDisc(int x, int y, double radius)
{
    return std::hypot(x + 0.5 - 30, y + 0.5 - 30) < radius;
}

} // namespace

TEST_P(GlyphPicture, IsA60By60UncompressedBottomUp24BitBmp)
{
    const QByteArray bmp = fileBytes();
    ASSERT_EQ(bmp.size(), 54 + 60 * 60 * 3);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(le(bmp, 2, 4), 10854u); // file size
    EXPECT_EQ(le(bmp, 10, 4), 54u);   // pixel data offset
    EXPECT_EQ(le(bmp, 14, 4), 40u);   // BITMAPINFOHEADER
    EXPECT_EQ(le(bmp, 18, 4), 60u);   // width
    EXPECT_EQ(le(bmp, 22, 4), 60u);   // height, positive: bottom-up
    EXPECT_EQ(le(bmp, 26, 2), 1u);    // planes
    EXPECT_EQ(le(bmp, 28, 2), 24u);   // bits per pixel
    EXPECT_EQ(le(bmp, 30, 4), 0u);    // BI_RGB
}

TEST_P(GlyphPicture, IsExactlyWhatTheDrawingCodeMakes)
{
    const std::vector<std::uint8_t> drawn = glyphArtBmp(GetParam().art);
    EXPECT_EQ(fileBytes(), QByteArray(reinterpret_cast<const char *>(drawn.data()), static_cast<int>(drawn.size())));
}

TEST_P(GlyphPicture, DiscWithHandsetOnWhiteInThreeCleanColours)
{
    const QImage image = glyphPicture(name()).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(60, 60));
    EXPECT_EQ(image.pixel(0, 59), white); // the colour left out when drawn
    std::set<QRgb> colours;
    int handsetPixels = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const QRgb pixel = image.pixel(x, y);
            colours.insert(pixel);
            if (!insideDisc(x, y, 30.0)) {
                ASSERT_EQ(pixel, white) << x << "," << y;
            }
            if (insideDisc(x, y, 26.0) && pixel == GetParam().handset)
                ++handsetPixels;
        }
    }
    // No blended edge colours anywhere: only surround, disc and handset.
    EXPECT_EQ(colours, (std::set<QRgb>{white, GetParam().disc, GetParam().handset}));
    EXPECT_GT(handsetPixels, 250);
    EXPECT_LT(handsetPixels, 1200);
    EXPECT_EQ(image.pixel(30, 3), GetParam().disc);
}

INSTANTIATE_TEST_SUITE_P(AllFour, GlyphPicture,
                         testing::Values(PictureCase{GlyphArt::On, 0xFF8DC63F, white},
                                         PictureCase{GlyphArt::Off, 0xFFED1C24, white},
                                         PictureCase{GlyphArt::DimmedOn, 0xFFBDC7AE, grey},
                                         PictureCase{GlyphArt::DimmedOff, 0xFFCEA8AA, grey}),
                         [](const testing::TestParamInfo<PictureCase> &picture) {
                             return std::string(glyphArtName(picture.param.art));
                         });

TEST(GlyphPictures, DimmedPicturesHaveTheSameHandsetsAndLiftedDiffersFromFlat)
{
    const auto handsetMask = [](const char *name, QRgb handset) {
        const QImage image = glyphPicture(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
        std::vector<bool> mask;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                mask.push_back(insideDisc(x, y, 28.0) && image.pixel(x, y) == handset);
        return mask;
    };
    EXPECT_EQ(handsetMask("ON", white), handsetMask("NON", grey));
    EXPECT_EQ(handsetMask("OFF", white), handsetMask("NOFF", grey));
    EXPECT_NE(handsetMask("ON", white), handsetMask("OFF", white));
}

TEST(GlyphPictures, NamesMatchWithoutRegardToCase)
{
    const QImage stored = glyphPicture(QStringLiteral("NON"));
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(glyphPicture(QStringLiteral("nON")), stored);
    EXPECT_EQ(glyphPicture(QStringLiteral("non")), stored);
    EXPECT_EQ(glyphPicture(QStringLiteral("nOFF")), glyphPicture(QStringLiteral("NOFF")));
    EXPECT_EQ(glyphPicture(QStringLiteral("Off")).pixel(30, 3), qRgb(237, 28, 36));
    EXPECT_TRUE(glyphPicture(QStringLiteral("NO")).isNull());
    EXPECT_TRUE(glyphPicture(QString()).isNull());
}

} // namespace vestra7
