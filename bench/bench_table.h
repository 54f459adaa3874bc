// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks' common output: rows of one Markdown table that tools/bench.sh puts together.
#pragma once

#include <cstdio>
#include <string>

// One row: what was measured, the figure, and the target or the reference it stands beside.
inline void tableRow(const std::string &figure, const std::string &value, const std::string &target)
{
    std::printf("| %s | %s | %s |\n", figure.c_str(), value.c_str(), target.c_str());
    std::fflush(stdout);
}

inline std::string formatted(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}
