// Builds the settings selectors' item lists and picks the item for a stored value.
#include "model/selector_items.h"

namespace {

QString itemFor(const QStringList &items, int value)
{
    return items.at(clampItemIndex(value, static_cast<int>(items.size())));
}

} // namespace

int clampItemIndex(double v, int count)
{
    if (count <= 0 || !(v >= 0.0)) // NaN lands on the first item too
        return 0;
    if (v >= count)
        return count - 1;
    return static_cast<int>(v);
}

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
