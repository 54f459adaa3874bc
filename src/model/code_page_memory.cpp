// SPDX-License-Identifier: GPL-3.0-or-later
// Code pages kept per adapter key in the settings file that the window and the command line share.
#include "model/code_page_memory.h"

#include "model/ansi_codec.h"

#include <QCoreApplication>
#include <QSettings>
#include <QUrl>

namespace vestra7 {

namespace {

QSettings adapterSettings()
{
    // The demo, with its own application name, keeps its adapters apart from the real ones.
    return QSettings(QCoreApplication::applicationName(), QStringLiteral("adapters"));
}

// Keys hold "@" and port paths; escaped, they stay one settings key and not a group path.
QString settingsKey(const QString &adapterKey)
{
    return QStringLiteral("codePage/") + QString::fromLatin1(QUrl::toPercentEncoding(adapterKey));
}

} // namespace

QString rememberedCodePage(const QString &adapterKey)
{
    if (adapterKey.isEmpty())
        return {};
    const QString name = adapterSettings().value(settingsKey(adapterKey)).toString();
    return ansiCodePageNames().contains(name) ? name : QString();
}

void rememberCodePage(const QString &adapterKey, const QString &codePageName)
{
    if (adapterKey.isEmpty())
        return;
    QSettings settings = adapterSettings();
    settings.setValue(settingsKey(adapterKey), codePageName);
}

} // namespace vestra7
