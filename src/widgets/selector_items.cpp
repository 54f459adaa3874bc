// Builds the settings selectors' item lists.
#include "widgets/selector_items.h"

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
