// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the exporter's options.
#include "app/exporter_options.h"

#include <QCoreApplication>

namespace vestra7 {

std::optional<ListenAddress> parseListenAddress(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return std::nullopt; // an IPv6 address without brackets leaves the port unclear
    bool number = false;
    const uint port = text.mid(colon + 1).toUInt(&number);
    ListenAddress listen;
    if (!number || port > 65535 || !listen.address.setAddress(host))
        return std::nullopt;
    listen.port = static_cast<quint16>(port);
    return listen;
}

Result<void> checkExporterUsage(const ToolCommand &command)
{
    if (!command.listen.isEmpty() && command.kind != ToolCommand::Kind::Exporter)
        return Error{QCoreApplication::translate("Exporter", "--listen goes with the command 'exporter'.")};
    if (!command.listen.isEmpty() && !parseListenAddress(command.listen))
        return Error{
            QCoreApplication::translate("Exporter", "--listen takes ADDRESS:PORT, such as 127.0.0.1:%1 or [::1]:%1.")
                .arg(kExporterDefaultPort)};
    if (command.kind == ToolCommand::Kind::Exporter && command.json)
        return Error{QCoreApplication::translate("Exporter", "The command 'exporter' takes no --json.")};
    return {};
}

QString exporterHelp()
{
    return QCoreApplication::translate(
               "Exporter",
               "\nThe command exporter serves the adapters' state to a monitoring system over HTTP, in the\n"
               "Prometheus text format, at http://127.0.0.1:%1/metrics, until it is stopped:\n"
               "  exporter [--listen ADDRESS:PORT] [--serial S | --all] [--code-page NAME]\n"
               "Without --serial or --all it watches the first adapter found. --code-page names the code page\n"
               "of the operator names (windows-1251, say) where the locale does not.\n")
        .arg(kExporterDefaultPort);
}

} // namespace vestra7
