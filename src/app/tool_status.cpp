// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's lines for `status` and `status --watch`.
#include "app/tool_status.h"

#include "app/line_status_text.h"
#include "app/tool_text.h"
#include "app/tool_waiter.h"
#include "link/adapter.h"
#include "model/ansi_codec.h"
#include "model/file_name_bytes.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QIODevice>
#include <QJsonDocument>
#include <QTimer>

namespace vestra7 {

ToolOutcome statusOutcome(const Adapter &adapter)
{
    AnsiCodec &codec = AnsiCodec::system();
    const AdapterIdentity identity = adapter.identity();
    return {ToolExit::Done,
            QCoreApplication::translate("ToolRunner", "%1 %2").arg(identity.product, identity.version) +
                QLatin1Char('\n') + lineStatusBlock(adapter.record(), codec).chopped(1),
            {},
            lineStatusJson(adapter.record(), codec)};
}

void watchStatus(const ToolCommand &command, const PresentAdapter &target, const Adapter &adapter, ToolWaiter &waiter,
                 QIODevice &out, bool terminal)
{
    AnsiCodec &codec = AnsiCodec::system();
    const QString name = escapedDeviceText(target.key.isEmpty() ? target.product : target.key);
    const auto write = [&out](const QString &text) {
        out.write(fileNameBytes(text));
    };
    QString shown;
    const auto show = [&] {
        const DeviceRecord &record = adapter.record();
        const QString line = lineStatusLine(record, codec);
        if (line == shown)
            return;
        shown = line;
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        if (command.json) {
            QJsonObject entry = lineStatusJson(record, codec);
            entry.insert(QStringLiteral("time"), time);
            entry.insert(QStringLiteral("key"), target.key);
            entry.insert(QStringLiteral("serial"), target.serial);
            write(QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        } else if (terminal) {
            // Redrawn in place: the cursor back to the line's start, the old text cleared.
            write(QStringLiteral("\r\x1b[K%1: %2").arg(name, line));
        } else {
            write(QStringLiteral("%1 %2: %3\n").arg(time, name, line));
        }
    };
    show();
    QTimer tick;
    tick.start(std::chrono::seconds(command.intervalSeconds));
    QObject::connect(&tick, &QTimer::timeout, show);
    // Until the user ends it, or the adapter goes away.
    waiter.waitUntil([&] { return waiter.interruption() != 0 || !adapter.connected(); }, std::chrono::hours(24 * 365));
    tick.stop();
    if (terminal && !command.json)
        write(QStringLiteral("\n"));
}

} // namespace vestra7
