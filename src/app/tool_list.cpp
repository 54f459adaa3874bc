// SPDX-License-Identifier: GPL-3.0-or-later
// The adapters plugged in, for a person or a script.
#include "app/tool_list.h"

#include "app/tool_command.h"
#include "app/tool_text.h"
#include "model/file_name_bytes.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vestra7 {

namespace {

QString modeText(const PresentAdapter &adapter)
{
    return adapter.bootLoader ? QCoreApplication::translate("ToolRunner", "boot loader")
                              : QCoreApplication::translate("ToolRunner", "normal");
}

QByteArray listJson(const std::vector<PresentAdapter> &adapters)
{
    QJsonArray list;
    for (const PresentAdapter &adapter : adapters) {
        QJsonObject entry{
            {QStringLiteral("serial"), adapter.serial},
            {QStringLiteral("port"), adapter.port},
            {QStringLiteral("key"), adapter.key},
            {QStringLiteral("product"), adapter.product},
            {QStringLiteral("version"), adapter.version},
            {QStringLiteral("mode"), adapter.bootLoader ? QStringLiteral("boot loader") : QStringLiteral("normal")}};
        if (!adapter.accessError.isEmpty())
            entry.insert(QStringLiteral("accessError"), adapter.accessError);
        list.append(entry);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("adapters"), list}}).toJson();
}

} // namespace

int listAdapters(const std::vector<PresentAdapter> &adapters, bool json, QIODevice &out, QIODevice &err)
{
    if (json) {
        out.write(listJson(adapters));
    } else {
        for (const PresentAdapter &adapter : adapters)
            out.write(fileNameBytes(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                                        .arg(escapedDeviceText(adapter.serial), escapedDeviceText(adapter.product),
                                             adapter.version, modeText(adapter), escapedDeviceText(adapter.port))));
    }
    if (adapters.empty()) {
        if (!json)
            writeToolError(err, QCoreApplication::translate("ToolRunner", "No adapter found."));
        return static_cast<int>(ToolExit::NoAdapter);
    }
    return static_cast<int>(ToolExit::Done);
}

} // namespace vestra7
