// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing and installing the translations for a locale.
#include "app/program_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vestra7 {

QLocale programLocale()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (value.isEmpty())
            continue;
        const bool untranslated = value == "C" || value == "POSIX" || value.startsWith("C.");
        return untranslated ? QLocale::c() : QLocale::system();
    }
    // No locale set at all is the C locale.
    return QLocale::c();
}

ProgramTranslations::ProgramTranslations(const QLocale &locale)
{
    // Built in by the build from translations/*.ts; tried in the order of the locale's languages.
    if (!m_program.load(locale, QStringLiteral("vestra7"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        return;
    // Qt's in the language found, not in the next one the locale lists.
    if (m_qt.load(QLocale(m_program.language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
    QCoreApplication::installTranslator(&m_program);
}

} // namespace vestra7
