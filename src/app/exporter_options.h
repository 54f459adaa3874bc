// SPDX-License-Identifier: GPL-3.0-or-later
// The exporter's options: where it listens, which adapters it watches, and the code page of their texts.
#pragma once

#include "app/tool_command.h"
#include "model/result.h"

#include <QHostAddress>
#include <QString>

#include <optional>

namespace vestra7 {

// In the range that metrics exporters take by custom (9100-9999), away from its crowded start and
// from every port the system's list of services names.
inline constexpr quint16 kExporterDefaultPort = 9787;

struct ListenAddress
{
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = kExporterDefaultPort; // 0: any free port
};

// "ADDRESS:PORT", with an IPv6 address in brackets ("[::1]:9787"); none when it is not one.
std::optional<ListenAddress> parseListenAddress(const QString &text);

// Whether the command line's options fit the exporter, and why not: --listen only goes with
// the exporter, and takes an address and a port.
Result<void> checkExporterUsage(const ToolCommand &command);

// The exporter's lines of --help.
QString exporterHelp();

} // namespace vestra7
