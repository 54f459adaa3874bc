// Builds the settings selectors' item lists and picks the item for a stored value.
#include "model/selector_items.h"

#include <algorithm>

namespace {

QString itemFor(const QStringList &items, int value)
{
    // A stored value outside the list reads as the nearer end item, as the settings panel shows it.
    return items.at(std::clamp(value, 0, static_cast<int>(items.size()) - 1));
}

} // namespace

QStringList micGainItems()
{
    QStringList items{QStringLiteral("0 dB").leftJustified(8)};
    for (int tenths = 15; tenths <= 225; tenths += 15)
        items << QStringLiteral("+%1.%2 dB").arg(tenths / 10).arg(tenths % 10).leftJustified(8);
    return items;
}

QStringList lineGainItems()
{
    QStringList items{QStringLiteral("0 dB")};
    for (int db = 1; db <= 99; ++db)
        items << QStringLiteral("+ %1 dB").arg(db);
    return items;
}

QStringList autoAnswerItems()
{
    QStringList items{QStringLiteral("OFF")};
    for (int seconds = 1; seconds <= 100; ++seconds)
        items << QStringLiteral("%1 sec").arg(seconds);
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
