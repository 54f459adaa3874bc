// SPDX-License-Identifier: GPL-3.0-or-later
// Looks the glyph pictures up among the program's resources.
#include "widgets/glyph_pictures.h"

#include <QDir>
#include <QFileInfo>

namespace vestra7 {

QImage glyphPicture(const QString &name)
{
    const QDir folder(QStringLiteral(":/glyphs"));
    const QFileInfoList pictures = folder.entryInfoList(QDir::Files);
    for (const QFileInfo &picture : pictures) {
        if (picture.completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
            return QImage(picture.filePath());
    }
    return {};
}

} // namespace vestra7
