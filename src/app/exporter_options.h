// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's options: where it listens, which adapters it watches, and the code page of their texts.
#pragma once

#include "app/tool_command.h"
#include "model/result.h"

#include <QString>

#include <optional>

namespace vestra7 {

// In the range that metrics exporters take by custom (9100-9999), away from its crowded start and
// from every port the system's list of services names.
inline constexpr quint16 kExporterDefaultPort = 9787;

struct ListenAddress
{
    QString host = QStringLiteral("127.0.0.1"); // an IP address, or a host name looked up at the start
    quint16 port = kExporterDefaultPort;        // 0: any free port
};

// "HOST:PORT": an IPv4 address in four decimal numbers, an IPv6 address in brackets ("[::1]:9787"), or
// a host name; the port in decimal digits. None for anything else, such as an address in another
// notation ("0x7f.1"), which the system would read as another address than the one people see.
std::optional<ListenAddress> parseListenAddress(const QString &text);

// The address to bind, as the server takes it ("127.0.0.1:9787", "[::1]:9787"): the host's own, or
// the first address its name has (IPv4 first); an Error that says why when it has none.
Result<QString> bindAddress(const ListenAddress &listen);

// Whether binding there listens on every interface of the host.
bool listensEverywhere(const QString &boundAddress);

// Whether the command line's options fit the exporter, and why not: --listen only goes with
// the exporter, and takes an address and a port.
Result<void> checkExporterUsage(const ToolCommand &command);

// The exporter's lines of --help.
QString exporterHelp();

} // namespace vestra7
