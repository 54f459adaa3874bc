// SPDX-License-Identifier: GPL-3.0-or-later
// The failure sentences of files, in one translation context.
#include "model/file_messages.h"

#include <QCoreApplication>
#include <QDir>

namespace vestra7 {

Error cannotOpenFile(const QString &fileName, const QString &reason)
{
    return {QCoreApplication::translate("FileMessages", "Cannot open file \"%1\". %2")
                .arg(QDir::toNativeSeparators(fileName), reason)};
}

Error cannotReadFile(const QString &fileName, const QString &reason)
{
    return {QCoreApplication::translate("FileMessages", "Cannot read file \"%1\". %2")
                .arg(QDir::toNativeSeparators(fileName), reason)};
}

Error cannotCreateFile(const QString &fileName, const QString &reason)
{
    return {QCoreApplication::translate("FileMessages", "Cannot create file \"%1\". %2")
                .arg(QDir::toNativeSeparators(fileName), reason)};
}

} // namespace vestra7
