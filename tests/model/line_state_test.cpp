// SPDX-License-Identifier: GPL-3.0-or-later
// What a line's state byte and the party's number allow: the rules the call buttons follow.
#include "model/device_record.h"
#include "model/line_state.h"

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

TEST(LineState, EachStateAllowsACallAnEndOrNeither)
{
    const struct
    {
        std::uint8_t state;
        const char *words;
    } cases[] = {{0, "ready"}, {1, "ready"}, {2, "busy"}, {3, "in a call"}, {4, "in a call"}, {255, "in a call"}};
    for (const auto &[state, words] : cases) {
        DeviceRecord record{};
        record.stat[1] = state;
        EXPECT_EQ(lineState(record, 1), state);
        EXPECT_EQ(lineStateText(state), words) << int(state);
        EXPECT_EQ(canCall(state), QString::fromLatin1(words) == "ready") << int(state);
        EXPECT_EQ(inCall(state), QString::fromLatin1(words) == "in a call") << int(state);
        EXPECT_EQ(anyLineInCall(record), inCall(state)) << "line B alone in state " << int(state);
    }
}

TEST(LineState, ANumberOfThreeCharactersOrMoreCanBeCalled)
{
    const struct
    {
        const char *number;
        bool given;
    } cases[] = {{"", false}, {"1", false}, {"+7", false}, {"112", true}, {"+79001234567", true}};
    for (const auto &[number, given] : cases)
        EXPECT_EQ(partyNumberGiven(QString::fromLatin1(number)), given) << number;
}

} // namespace

} // namespace vestra7
