// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the settings selectors' item lists and picks the item for a stored value.
#include "model/selector_items.h"

#include <QCoreApplication>

#include <algorithm>

namespace vestra7 {

namespace {

QString itemFor(const QStringList &items, int value)
{
    // A stored value outside the list reads as the nearer end item, as the settings panel shows it.
    return items.at(std::clamp(value, 0, static_cast<int>(items.size()) - 1));
}

} // namespace

QStringList micGainItems()
{
    QStringList items{QCoreApplication::translate("SelectorItems", "0 dB").leftJustified(8)};
    // Whole decibels and tenths, so that a language can write its own decimal separator.
    const QString gain = QCoreApplication::translate("SelectorItems", "+%1.%2 dB");
    for (int tenths = 15; tenths <= 225; tenths += 15)
        items << gain.arg(tenths / 10).arg(tenths % 10).leftJustified(8);
    return items;
}

QStringList lineGainItems()
{
    QStringList items{QCoreApplication::translate("SelectorItems", "0 dB")};
    const QString gain = QCoreApplication::translate("SelectorItems", "+ %1 dB");
    for (int db = 1; db <= 99; ++db)
        items << gain.arg(db);
    return items;
}

QStringList autoAnswerItems()
{
    QStringList items{QCoreApplication::translate("SelectorItems", "OFF")};
    const QString delay = QCoreApplication::translate("SelectorItems", "%1 sec");
    for (int seconds = 1; seconds <= 100; ++seconds)
        items << delay.arg(seconds);
    return items;
}

QString micGainText(int value)
{
    return itemFor(micGainItems(), value);
}

QString lineGainText(int value)
{
    return itemFor(lineGainItems(), value);
}

QString autoAnswerText(int value)
{
    return itemFor(autoAnswerItems(), value);
}

} // namespace vestra7
