// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the application icon's PNG sizes from its SVG, or checks that the committed PNGs match it.
//
//   vestra7-render-icons <icon.svg> <hicolor folder>           writes <folder>/<N>x<N>/apps/<name>.png
//   vestra7-render-icons --check <icon.svg> <hicolor folder>   fails when a PNG is missing or differs
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
// Rasterisers of different Qt versions may shade an edge pixel slightly differently; a changed
// drawing moves far more than this.
constexpr int kChannelTolerance = 3;

QImage render(QSvgRenderer &svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

int channelDistance(QRgb a, QRgb b)
{
    const int channels[] = {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b), qAlpha(a) - qAlpha(b)};
    int distance = 0;
    for (int c : channels)
        distance = std::max(distance, std::abs(c));
    return distance;
}

// Why `committed` does not match `rendered`, or nothing when it does.
std::optional<QString> mismatch(const QImage &rendered, const QImage &committed)
{
    if (committed.isNull())
        return QStringLiteral("missing or unreadable");
    if (committed.size() != rendered.size())
        return QStringLiteral("is %1x%2").arg(committed.width()).arg(committed.height());
    const QImage argb = committed.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (channelDistance(argb.pixel(x, y), rendered.pixel(x, y)) > kChannelTolerance)
                return QStringLiteral("differs at pixel (%1, %2)").arg(x).arg(y);
        }
    }
    return std::nullopt;
}

int fail(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const bool check = !args.isEmpty() && args.first() == QStringLiteral("--check");
    if (check)
        args.removeFirst();
    if (args.size() != 2)
        return fail(QStringLiteral("usage: vestra7-render-icons [--check] <icon.svg> <hicolor folder>"));

    QSvgRenderer svg(args[0]);
    if (!svg.isValid())
        return fail(QStringLiteral("%1: not a valid SVG file").arg(args[0]));
    const QString name = QFileInfo(args[0]).completeBaseName() + QStringLiteral(".png");
    const QDir hicolor(args[1]);

    int failures = 0;
    for (int size : kSizes) {
        const QString path = hicolor.filePath(QStringLiteral("%1x%1/apps/%2").arg(size).arg(name));
        const QImage image = render(svg, size);
        if (check) {
            if (const std::optional<QString> why = mismatch(image, QImage(path))) {
                fail(QStringLiteral("%1 %2; regenerate it with the render-icons build target").arg(path, *why));
                ++failures;
            }
        } else if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path, "PNG")) {
            return fail(QStringLiteral("%1: cannot be written").arg(path));
        }
    }
    return failures == 0 ? 0 : 1;
}
