// SPDX-License-Identifier: GPL-3.0-or-later
// The adapter's lines for `status` and `status --watch`.
#include "app/tool_status.h"

#include "app/line_status_text.h"
#include "app/standard_output_watch.h"
#include "app/status_rows.h"
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
            QCoreApplication::translate("ToolRunner", "%1 %2")
                    .arg(escapedDeviceText(identity.product), escapedDeviceText(identity.version)) +
                QLatin1Char('\n') + lineStatusBlock(adapter.record(), codec).chopped(1),
            {},
            lineStatusJson(adapter.record(), codec),
            {},
            true};
}

namespace {

// The lines printed again at each change: on a terminal redrawn in place and fitted to its width.
class StatusPrinter
{
public:
    StatusPrinter(const ToolCommand &command, const PresentAdapter &target, const Adapter &adapter, QIODevice &out,
                  StandardOutputWatch &watch, bool terminal)
        : m_command(command)
        , m_target(target)
        , m_adapter(adapter)
        , m_out(out)
        , m_watch(watch)
        , m_terminal(terminal && !command.json)
        , m_name(escapedDeviceText(target.key.isEmpty() ? target.product : target.key))
    {
    }

    // Prints the lines when they changed, or on a terminal that changed its width.
    void show(bool resized = false)
    {
        const DeviceRecord &record = m_adapter.record();
        AnsiCodec &codec = AnsiCodec::system();
        const QString line = lineStatusLine(record, codec);
        if (line == m_shown && !(resized && m_terminal))
            return;
        m_shown = line;
        const QString time = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        if (m_command.json) {
            QJsonObject entry = lineStatusJson(record, codec);
            entry.insert(QStringLiteral("time"), time);
            entry.insert(QStringLiteral("key"), m_target.key);
            entry.insert(QStringLiteral("serial"), m_target.serial);
            write(QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        } else if (m_terminal) {
            const int columns = m_watch.columns();
            const QStringList rows = fittedRows(m_name + QStringLiteral(": "), lineStatusParts(record, codec),
                                                columns > 0 ? columns : kAssumedColumns);
            write(redrawnRows(rows, m_drawnRows));
            m_drawnRows = rows.size();
        } else {
            write(QStringLiteral("%1 %2: %3\n").arg(time, m_name, line));
        }
    }

    // Leaves the terminal's cursor below what was drawn.
    void finish()
    {
        if (m_drawnRows > 0)
            write(QStringLiteral("\n"));
    }

    bool failed() const { return m_failed; }

private:
    static constexpr int kAssumedColumns = 80;

    void write(const QString &text)
    {
        if (!m_failed && m_out.write(fileNameBytes(text)) < 0)
            m_failed = true; // the reader has gone, or the terminal
    }

    const ToolCommand &m_command;
    const PresentAdapter &m_target;
    const Adapter &m_adapter;
    QIODevice &m_out;
    StandardOutputWatch &m_watch;
    const bool m_terminal;
    const QString m_name;
    QString m_shown;
    qsizetype m_drawnRows = 0;
    bool m_failed = false;
};

} // namespace

WatchEnd watchStatus(const ToolCommand &command, const PresentAdapter &target, const Adapter &adapter,
                     ToolWaiter &waiter, QIODevice &out, StandardOutput output)
{
    StandardOutputWatch watch(output.handle, output.terminal);
    StatusPrinter printer(command, target, adapter, out, watch, output.terminal);
    printer.show();
    QTimer tick;
    tick.start(std::chrono::seconds(command.intervalSeconds));
    QObject::connect(&tick, &QTimer::timeout, [&] {
        printer.show();
        waiter.notice();
    });
    QObject::connect(&watch, &StandardOutputWatch::resized, [&] { printer.show(true); });
    QObject::connect(&watch, &StandardOutputWatch::readerLeft, &waiter, &ToolWaiter::notice);
    const auto readerGone = [&] {
        return watch.readerGone() || printer.failed();
    };
    // Until the user ends it, the reader goes, or the adapter does.
    waiter.waitUntil([&] { return waiter.interruption() != 0 || readerGone() || !adapter.connected(); },
                     std::chrono::hours(24 * 365));
    tick.stop();
    printer.finish();
    if (waiter.interruption() != 0)
        return WatchEnd::Asked;
    return readerGone() ? WatchEnd::ReaderGone : WatchEnd::AdapterGone;
}

} // namespace vestra7
