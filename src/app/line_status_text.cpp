// SPDX-License-Identifier: GPL-3.0-or-later
// The lines' health as the command line shows it; the values are the adapter's own, untranslated
// numbers, and the texts are quoted with what a terminal would act on written out.
#include "app/line_status_text.h"

#include "app/tool_text.h"
#include "model/line_health.h"
#include "model/line_state.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace vestra7 {

namespace {

QString lineName(int line)
{
    return line == 0 ? QStringLiteral("A") : QStringLiteral("B");
}

// A text from the adapter as one quoted line, escaped as every outside text on a terminal is.
QString quoted(const QString &text)
{
    return QLatin1Char('"') + escapedDeviceText(text).replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
           QLatin1Char('"');
}

// The words of JSON stay English whatever the locale: scripts read them.
QString stateWord(std::uint8_t state)
{
    if (canCall(state))
        return QStringLiteral("ready");
    return inCall(state) ? QStringLiteral("in a call") : QStringLiteral("busy");
}

QString stateText(const LineHealth &health)
{
    return QCoreApplication::translate("LineStatusText", "%1 (%2)").arg(lineStateText(health.state)).arg(health.state);
}

} // namespace

QString lineStatusBlock(const DeviceRecord &record, AnsiCodec &codec)
{
    QString block;
    for (int line = 0; line < kLineCount; ++line) {
        const LineHealth health = lineHealth(record, line, codec);
        block += QCoreApplication::translate("LineStatusText",
                                             "  line %1: %2, SIM %3, signal %4, operator %5, USSD number %6\n")
                     .arg(lineName(line), stateText(health))
                     .arg(health.simPresence)
                     .arg(health.signalLevel)
                     .arg(quoted(health.operatorName), quoted(health.ussdNumber));
    }
    return block +
           QCoreApplication::translate("LineStatusText", "  USSD text: %1\n").arg(quoted(ussdText(record, codec)));
}

QStringList lineStatusParts(const DeviceRecord &record, AnsiCodec &codec)
{
    QStringList lines;
    for (int line = 0; line < kLineCount; ++line) {
        const LineHealth health = lineHealth(record, line, codec);
        lines << QCoreApplication::translate("LineStatusText", "%1: %2 SIM %3 signal %4 %5")
                     .arg(lineName(line), stateText(health))
                     .arg(health.simPresence)
                     .arg(health.signalLevel)
                     .arg(quoted(health.operatorName));
    }
    return lines;
}

QString lineStatusLine(const DeviceRecord &record, AnsiCodec &codec)
{
    return lineStatusParts(record, codec).join(QStringLiteral(" | "));
}

QJsonObject lineStatusJson(const DeviceRecord &record, AnsiCodec &codec)
{
    QJsonArray lines;
    for (int line = 0; line < kLineCount; ++line) {
        const LineHealth health = lineHealth(record, line, codec);
        lines.append(QJsonObject{{QStringLiteral("line"), lineName(line)},
                                 {QStringLiteral("state"), health.state},
                                 {QStringLiteral("stateText"), stateWord(health.state)},
                                 {QStringLiteral("sim"), health.simPresence},
                                 {QStringLiteral("signal"), health.signalLevel},
                                 {QStringLiteral("operator"), health.operatorName},
                                 {QStringLiteral("ussdNumber"), health.ussdNumber}});
    }
    return {{QStringLiteral("lines"), lines}, {QStringLiteral("ussdText"), ussdText(record, codec)}};
}

} // namespace vestra7
