// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing two records item by item.
#include "model/record_difference.h"

#include "model/selector_items.h"

#include <QCoreApplication>

#include <span>

namespace vestra7 {

namespace {

QString lineText(int activeLine)
{
    switch (activeLine) {
    case 0:
        return QCoreApplication::translate("RecordDifference", "Line A");
    case 1:
        return QCoreApplication::translate("RecordDifference", "Line B");
    default:
        return QCoreApplication::translate("RecordDifference", "Unknown (%1)").arg(activeLine);
    }
}

void addEntries(std::vector<RecordDifference> &differences, RecordItem item, std::span<const PartyEntry> before,
                std::span<const PartyEntry> after, AnsiCodec &codec)
{
    for (std::size_t i = 0; i < before.size(); ++i) {
        Party oldParty = readParty(before[i], codec);
        Party newParty = readParty(after[i], codec);
        if (oldParty != newParty)
            differences.push_back({item, static_cast<int>(i), std::move(oldParty), std::move(newParty), {}, {}});
    }
}

void addSetting(std::vector<RecordDifference> &differences, RecordItem item, int before, int after,
                QString (*text)(int))
{
    if (before == after)
        return;
    QString oldText = text(before);
    QString newText = text(after);
    // Out of range, both may show as the same end item; the stored values then tell them apart.
    if (oldText == newText) {
        oldText = QStringLiteral("%1 (%2)").arg(oldText.trimmed()).arg(before);
        newText = QStringLiteral("%1 (%2)").arg(newText.trimmed()).arg(after);
    }
    differences.push_back({item, -1, {}, {}, oldText, newText});
}

} // namespace

QString differenceLabel(const RecordDifference &difference)
{
    switch (difference.item) {
    case RecordItem::Contact:
        return QCoreApplication::translate("RecordDifference", "Phone-book entry %1").arg(difference.index + 1);
    case RecordItem::CallListEntry:
        return QCoreApplication::translate("RecordDifference", "Call-list entry %1").arg(difference.index + 1);
    case RecordItem::MicGain:
        return QCoreApplication::translate("RecordDifference", "MIC gain");
    case RecordItem::LineGain:
        return QCoreApplication::translate("RecordDifference", "LINE gain");
    case RecordItem::AutoAnswerA:
        return QCoreApplication::translate("RecordDifference", "Auto answer A");
    case RecordItem::AutoAnswerB:
        return QCoreApplication::translate("RecordDifference", "Auto answer B");
    case RecordItem::ActiveLine:
        return QCoreApplication::translate("RecordDifference", "Active line");
    }
    return {};
}

std::vector<RecordDifference> recordDifferences(const DeviceRecord &before, const DeviceRecord &after, AnsiCodec &codec)
{
    std::vector<RecordDifference> differences;
    addEntries(differences, RecordItem::Contact, before.contact, after.contact, codec);
    addEntries(differences, RecordItem::CallListEntry, before.call_list, after.call_list, codec);
    addSetting(differences, RecordItem::MicGain, before.mic_gain, after.mic_gain, micGainText);
    addSetting(differences, RecordItem::LineGain, before.spk_gain, after.spk_gain, lineGainText);
    addSetting(differences, RecordItem::AutoAnswerA, before.auto_answer[0], after.auto_answer[0], autoAnswerText);
    addSetting(differences, RecordItem::AutoAnswerB, before.auto_answer[1], after.auto_answer[1], autoAnswerText);
    addSetting(differences, RecordItem::ActiveLine, before.act_line, after.act_line, lineText);
    return differences;
}

} // namespace vestra7
