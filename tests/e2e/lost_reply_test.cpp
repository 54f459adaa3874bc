// SPDX-License-Identifier: GPL-3.0-or-later
// "Call" on line B whose write goes unanswered, a caller on line A meanwhile and a MIC gain step: the
// step's write carries the adapter's call list and no second press, over virtual hidraw nodes.
#include "program_fixture.h"

#include "link/commands.h"
#include "support/gui_wait.h"
#include "support/lost_reply_probe.h"
#include "widgets/glyph_button.h"

#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstring>

namespace vestra7 {

namespace {

using namespace std::chrono_literals;

bool same(const PartyEntry &a, const PartyEntry &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class LostReplyOnHidraw : public ProgramOnHidraw, public testing::WithParamInterface<LostReplyProbe>
{
};

} // namespace

TEST_P(LostReplyOnHidraw, TheStepsWriteCarriesTheAdaptersCallListAndNoSecondPress)
{
    const LostReplyProbe probe = GetParam();
    DeviceRecord record = initialAdapterRecord();
    record.subscriber[0] = makeParty("Eve", "+15550100");
    record.call_list[0] = makeParty("Earlier", "+100200");
    startActive(record);
    for (int i = 0; i < probe.lostReplies; ++i)
        adapter->withholdReply(CMD_WRITE_RECORD, i);
    const PartyEntry caller = makeParty("Caller", "+74950001122");

    QElapsedTimer sincePress;
    QTest::mouseClick(child<GlyphButton>("callButtonLineB"), Qt::LeftButton);
    sincePress.start();
    // The caller comes once the adapter has taken the press: a write still on its way would carry the
    // call list of before the call over it.
    ASSERT_TRUE(waitUntil([&] {
        return sincePress.elapsed() >= 150 &&
               adapterNow([](const AdapterState &s) { return !recordWrites(s).empty(); });
    }));
    adapter->raiseIncomingCall(0, caller);
    // The window follows the adapter while the press waits for its reply.
    ASSERT_TRUE(waitUntil(
        [&] { return sincePress.elapsed() >= probe.stepAt.count() && same(link().record().call_list[0], caller); }));
    ASSERT_TRUE(adapterNow([&](const AdapterState &s) {
        return recordWrites(s).size() >= static_cast<std::size_t>(probe.lostReplies);
    })) << "the press's write and its repeats";

    DeviceRecord expected = link().record();
    expected.mic_gain = static_cast<std::int8_t>(expected.mic_gain + 1);
    link().setMicGain(expected.mic_gain);
    ASSERT_TRUE(waitForAdapter([&](const AdapterState &s) { return s.record.mic_gain == expected.mic_gain; }));

    const std::vector<DeviceRecord> writes = recordWrites(adapter->state());
    ASSERT_GT(writes.size(), static_cast<std::size_t>(probe.lostReplies));
    EXPECT_EQ(writes.front().resp[1], 1) << "the press went out with its first write";
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_TRUE(writes[i].resp[0] == 0 && writes[i].resp[1] == 0) << "write " << i;
    const auto step = std::find_if(writes.begin(), writes.end(),
                                   [&](const DeviceRecord &w) { return w.mic_gain == expected.mic_gain; });
    ASSERT_NE(step, writes.end());
    EXPECT_EQ(std::memcmp(&*step, &expected, kRecordSize), 0) << "byte for byte what the window showed, and the step";
    const AdapterState after = adapter->state();
    EXPECT_TRUE(same(after.record.call_list[0], caller));
    EXPECT_TRUE(same(after.record.call_list[1], makeParty("Eve", "+15550100")));
    EXPECT_TRUE(same(after.record.call_list[2], makeParty("Earlier", "+100200")));
}

INSTANTIATE_TEST_SUITE_P(Program, LostReplyOnHidraw, testing::ValuesIn(lostReplyProbes()), lostReplyProbeName);

} // namespace vestra7
