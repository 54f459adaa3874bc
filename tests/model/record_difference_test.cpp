// SPDX-License-Identifier: GPL-3.0-or-later
// Differences between two records: entries and settings are listed, what the adapter writes by itself is not.
#include "model/ansi_codec.h"
#include "model/record_difference.h"
#include "model/text_field.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vestra7 {

namespace {

struct Shown
{
    QString label;
    QString oldText;
    QString newText;

    bool operator==(const Shown &) const = default;
    friend void PrintTo(const Shown &shown, std::ostream *os)
    {
        *os << shown.label.toStdString() << ": '" << shown.oldText.toStdString() << "' -> '"
            << shown.newText.toStdString() << "'";
    }
};

// Entries as "name / number", so one list covers every kind of difference.
std::vector<Shown> shown(const std::vector<RecordDifference> &differences)
{
    std::vector<Shown> out;
    for (const RecordDifference &d : differences) {
        const bool entry = d.item == RecordItem::Contact || d.item == RecordItem::CallListEntry;
        out.push_back({differenceLabel(d), entry ? d.oldParty.name + " / " + d.oldParty.number : d.oldText,
                       entry ? d.newParty.name + " / " + d.newParty.number : d.newText});
    }
    return out;
}

} // namespace

TEST(RecordDifferences, ListsEntriesAndSettingsAsTheWindowShowsThem)
{
    AnsiCodec codec("windows-1251");
    DeviceRecord before;
    setDefaults(before);
    writeParty(before.contact[3], {QString::fromUtf8("Иван"), QStringLiteral("+7912")}, codec);
    DeviceRecord after = before;

    writeParty(after.contact[3], {QString::fromUtf8("Иван"), QStringLiteral("+7913")}, codec);
    writeParty(after.call_list[15], {QStringLiteral("Bob"), QString()}, codec);
    after.mic_gain = 7;
    after.auto_answer[1] = 5;
    after.act_line = 1;
    EXPECT_EQ(shown(recordDifferences(before, after, codec)),
              (std::vector<Shown>{
                  {"Phone-book entry 4", QString::fromUtf8("Иван / +7912"), QString::fromUtf8("Иван / +7913")},
                  {"Call-list entry 16", " / ", "Bob / "},
                  {"MIC gain", "+7.5 dB ", "+10.5 dB"},
                  {"Auto answer B", "OFF", "5 sec"},
                  {"Active line", "Line A", "Line B"}}));
}

TEST(RecordDifferences, LeavesOutWhatTheAdapterWritesByItself)
{
    AnsiCodec codec("windows-1252");
    DeviceRecord before{};
    DeviceRecord after = before;
    writeTextField(after.usd_txt, QStringLiteral("Balance 10.00"), codec);
    after.resp[0] = -1;
    writeParty(after.subscriber[1], {QStringLiteral("Caller"), QStringLiteral("555")}, codec);
    after.sim_pres[1] = 1;
    after.rssi[0] = -70;
    after.stat[0] = 3;
    writeTextField(after.ops[1], QStringLiteral("Operator"), codec);
    writeTextField(after.ussd_num[0], QStringLiteral("*100#"), codec);
    // Bytes after a text's end are not part of what it reads as.
    before.contact[0].name[0] = 'A';
    after.contact[0].name[0] = 'A';
    after.contact[0].name[5] = 'x';
    EXPECT_TRUE(recordDifferences(before, after, codec).empty());
}

TEST(RecordDifferences, OutOfRangeSettingsShowTheirStoredValues)
{
    AnsiCodec codec("windows-1252");
    DeviceRecord before{};
    DeviceRecord after{};
    before.spk_gain = 120;
    after.spk_gain = 100;
    before.auto_answer[0] = 255;
    after.auto_answer[0] = 100;
    EXPECT_EQ(shown(recordDifferences(before, after, codec)),
              (std::vector<Shown>{{"LINE gain", "+ 99 dB (120)", "+ 99 dB (100)"},
                                  {"Auto answer A", "100 sec (255)", "100 sec (100)"}}));
}

} // namespace vestra7
