// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the exporter's options.
#include "app/exporter_options.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <memory>

namespace vestra7 {

namespace {

bool isIpv4(const QString &host)
{
    // Four decimal numbers without leading zeros, which some readers take for octal.
    static const QRegularExpression quad(QStringLiteral("^((25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)\\.){3}"
                                                        "(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)$"));
    return quad.match(host).hasMatch();
}

bool isIpv6(const QString &host)
{
    in6_addr address{};
    return inet_pton(AF_INET6, host.toLatin1().constData(), &address) == 1;
}

bool isHostName(const QString &host)
{
    static const QRegularExpression name(
        QStringLiteral("^(?=.{1,253}$)([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}"
                       "[A-Za-z0-9])?)*$"));
    // The last label of a name is never all digits: "256.0.0.1" is a wrong address, not a name.
    static const QRegularExpression numericEnd(QStringLiteral("(^|\\.)\\d+$"));
    if (!name.match(host).hasMatch() || numericEnd.match(host).hasMatch())
        return false;
    // What the system would read as a number ("0x7f.1", "2130706433") is no name, and not the
    // address it looks like either.
    in_addr number{};
    return inet_aton(host.toLatin1().constData(), &number) == 0;
}

std::optional<quint16> portNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const uint port = text.toUInt();
    return port <= 65535 ? std::optional(static_cast<quint16>(port)) : std::nullopt;
}

QString withPort(const QString &address, bool ipv6, quint16 port)
{
    return (ipv6 ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2")).arg(address).arg(port);
}

} // namespace

std::optional<ListenAddress> parseListenAddress(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    const std::optional<quint16> port = portNumber(text.mid(colon + 1));
    QString host = text.left(colon);
    const bool bracketed = host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'));
    if (bracketed)
        host = host.mid(1, host.size() - 2);
    // An IPv6 address without brackets leaves the port unclear.
    const bool valid = bracketed ? isIpv6(host) : isIpv4(host) || isHostName(host);
    if (!port || !valid)
        return std::nullopt;
    return ListenAddress{host, *port};
}

Result<QString> bindAddress(const ListenAddress &listen)
{
    if (isIpv4(listen.host) || isIpv6(listen.host))
        return withPort(listen.host, isIpv6(listen.host), listen.port);
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const int failure = getaddrinfo(listen.host.toLatin1().constData(), nullptr, &hints, &found);
    if (failure != 0)
        return Error{QCoreApplication::translate("Exporter", "Cannot look up %1: %2.")
                         .arg(listen.host, QString::fromLocal8Bit(gai_strerror(failure)))};
    const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
    const addrinfo *chosen = nullptr;
    for (const addrinfo *one = found; one; one = one->ai_next)
        if (!chosen || (chosen->ai_family != AF_INET && one->ai_family == AF_INET))
            chosen = one;
    char text[INET6_ADDRSTRLEN] = {};
    const bool ipv6 = chosen->ai_family == AF_INET6;
    const void *address =
        ipv6 ? static_cast<const void *>(&reinterpret_cast<const sockaddr_in6 *>(chosen->ai_addr)->sin6_addr)
             : static_cast<const void *>(&reinterpret_cast<const sockaddr_in *>(chosen->ai_addr)->sin_addr);
    inet_ntop(chosen->ai_family, address, text, sizeof text);
    return withPort(QString::fromLatin1(text), ipv6, listen.port);
}

bool listensEverywhere(const QString &boundAddress)
{
    return boundAddress.startsWith(QLatin1String("0.0.0.0:")) || boundAddress.startsWith(QLatin1String("[::]:"));
}

Result<void> checkExporterUsage(const ToolCommand &command)
{
    if (command.listen && command.kind != ToolCommand::Kind::Exporter)
        return Error{QCoreApplication::translate("Exporter", "--listen goes with the command 'exporter'.")};
    if (command.listen && !parseListenAddress(*command.listen))
        return Error{QCoreApplication::translate("Exporter",
                                                 "--listen takes HOST:PORT: an IPv4 address in four decimal numbers, "
                                                 "an IPv6 address in brackets or a host name, and a port from 0 to "
                                                 "65535, such as 127.0.0.1:%1, [::1]:%1 or localhost:%1; not '%2'.")
                         .arg(kExporterDefaultPort)
                         .arg(*command.listen)};
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
               "  exporter [--listen HOST:PORT] [--serial S | --all] [--code-page NAME]\n"
               "Without --serial or --all it watches the first adapter found. --code-page names the code page\n"
               "of the operator names (windows-1251, say) where the locale does not.\n")
        .arg(kExporterDefaultPort);
}

} // namespace vestra7
