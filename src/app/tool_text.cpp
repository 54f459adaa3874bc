// SPDX-License-Identifier: GPL-3.0-or-later
// Device texts made safe to print, and the command's error lines.
#include "app/tool_text.h"

#include "model/file_name_bytes.h"

#include <QIODevice>

namespace vestra7 {

QString escapedDeviceText(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void writeToolError(QIODevice &err, const QString &text)
{
    err.write(fileNameBytes(QStringLiteral("vestra7: %1\n").arg(text)));
}

} // namespace vestra7
