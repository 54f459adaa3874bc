// SPDX-License-Identifier: GPL-3.0-or-later
// Messages as they must look on the wire, kept as data files (tests/data/*.hex) that both ends of
// the link are checked against.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <ostream>
#include <vector>

namespace vestra7 {

struct GoldenMessage
{
    QString name; // the file's name without ".hex"
    std::uint8_t cmd = 0;
    std::vector<std::uint8_t> payload;
    std::vector<std::array<std::uint8_t, 64>> frames; // in the order they travel
    QString error;                                    // what made the file unreadable; empty when it was read
};

// Every vector, in the order of their names. A file that cannot be read still gives an entry, with
// `error` set, so that the test that takes it fails rather than quietly running fewer cases.
std::vector<GoldenMessage> goldenMessages();

// Names the case in test output.
void PrintTo(const GoldenMessage &message, std::ostream *out);

} // namespace vestra7
