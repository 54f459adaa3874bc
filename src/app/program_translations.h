// SPDX-License-Identifier: GPL-3.0-or-later
// The program's texts in the user's language.
#pragma once

#include <QLocale>
#include <QTranslator>

namespace vestra7 {

// The locale whose language the program speaks: the system's, except that a messages locale of C or
// POSIX (LC_ALL, else LC_MESSAGES, else LANG) means English whatever LANGUAGE lists, as it does for
// programs translated with gettext; LANGUAGE is the user's order of languages only beyond that.
QLocale programLocale();

// While one exists, the application speaks the language of `locale` if the program has a translation
// for it: the program's own, built into it, and Qt's for its standard buttons and dialogs, where the
// system has that one. For any other language nothing is installed and every text stays English, Qt's
// included, so that a window never mixes two languages. Installing and removing (each QTranslator
// removes itself as it goes) retranslates the windows that exist. Needs an application object.
class ProgramTranslations final
{
public:
    explicit ProgramTranslations(const QLocale &locale);

    ProgramTranslations(const ProgramTranslations &) = delete;
    ProgramTranslations &operator=(const ProgramTranslations &) = delete;

private:
    QTranslator m_qt;
    QTranslator m_program;
};

} // namespace vestra7
