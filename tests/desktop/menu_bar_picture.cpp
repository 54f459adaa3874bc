// SPDX-License-Identifier: GPL-3.0-or-later
// Finding menu entries, and counting them, by the ink of their captions.
#include "menu_bar_picture.h"

#include <algorithm>
#include <numeric>

namespace vestra7 {

namespace {

// Captions of enabled entries are drawn dark on a light bar; greyed-out ones and the bar's own
// lines stay lighter than this.
bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// The menu bar sits at the top of the window, well within this many pixels.
constexpr int kSearchHeight = 80;

struct Run
{
    int left;
    int right;
};

} // namespace

std::vector<QRect> textLines(const QImage &picture)
{
    std::vector<QRect> lines;
    bool inLine = false;
    for (int y = 0; y < picture.height(); ++y) {
        bool inked = false;
        for (int x = 0; x < picture.width() && !inked; ++x)
            inked = isInk(picture.pixel(x, y));
        if (inked && !inLine)
            lines.emplace_back(0, y, picture.width(), 1);
        else if (inked)
            lines.back().setBottom(y);
        inLine = inked;
    }
    return lines;
}

std::vector<QRect> menuBarEntries(const QImage &window, int count)
{
    if (count < 1)
        return {};
    const auto rowHasInk = [&](int y) {
        for (int x = 0; x < window.width(); ++x)
            if (isInk(window.pixel(x, y)))
                return true;
        return false;
    };
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < std::min(window.height(), kSearchHeight); ++y) {
        if (rowHasInk(y)) {
            top = top < 0 ? y : top;
            bottom = y;
        } else if (top >= 0) {
            break;
        }
    }
    if (top < 0)
        return {};

    std::vector<Run> runs;
    for (int x = 0; x < window.width(); ++x) {
        bool inked = false;
        for (int y = top; y <= bottom && !inked; ++y)
            inked = isInk(window.pixel(x, y));
        if (!inked)
            continue;
        if (!runs.empty() && runs.back().right == x - 1)
            runs.back().right = x;
        else
            runs.push_back({x, x});
    }
    const auto wanted = static_cast<std::size_t>(count);
    if (runs.size() < wanted)
        return {};

    // The count - 1 widest gaps part the entries, and they must be clearly wider than any other.
    std::vector<std::size_t> gaps(runs.size() - 1);
    std::iota(gaps.begin(), gaps.end(), std::size_t{0});
    const auto width = [&](std::size_t gap) {
        return runs[gap + 1].left - runs[gap].right;
    };
    std::stable_sort(gaps.begin(), gaps.end(), [&](std::size_t a, std::size_t b) { return width(a) > width(b); });
    if (wanted >= 2 && gaps.size() >= wanted && width(gaps[wanted - 2]) * 2 < width(gaps[wanted - 1]) * 3)
        return {};
    std::vector<std::size_t> partings(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(wanted - 1));
    std::sort(partings.begin(), partings.end());

    std::vector<QRect> entries;
    std::size_t first = 0;
    for (std::size_t i = 0; i <= partings.size(); ++i) {
        const std::size_t last = i < partings.size() ? partings[i] : runs.size() - 1;
        entries.push_back(QRect(QPoint(runs[first].left, top), QPoint(runs[last].right, bottom)));
        first = last + 1;
    }
    return entries;
}

} // namespace vestra7
