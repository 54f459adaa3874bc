// SPDX-License-Identifier: GPL-3.0-or-later
// Device texts made safe to print, and the command's error lines.
#include "app/tool_text.h"

#include "model/file_name_bytes.h"

#include <QIODevice>

namespace vestra7 {

namespace {

// What a terminal would act on instead of showing, or what hides what follows: C0, DEL and C1
// controls, and format characters (the bidirectional overrides and isolates among them). The same
// as the log's quoting escapes.
bool actedOn(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

QString written(char32_t c)
{
    if (c == U'\n')
        return QStringLiteral("\\n");
    if (c == U'\t')
        return QStringLiteral("\\t");
    if (c <= 0xFF)
        return QStringLiteral("\\x%1").arg(static_cast<uint>(c), 2, 16, QLatin1Char('0'));
    if (c <= 0xFFFF)
        return QStringLiteral("\\u%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
    return QStringLiteral("\\U%1").arg(static_cast<uint>(c), 8, 16, QLatin1Char('0'));
}

// A lone low surrogate from U+DC80 on stands for a byte of a file name that is not UTF-8; those from
// 0x80 to 0x9F are C1 controls to a terminal that reads bytes.
constexpr char16_t kFileNameByte = 0xDC00;

bool isControlByte(char16_t unit)
{
    return unit >= kFileNameByte + 0x80 && unit <= kFileNameByte + 0x9F;
}

} // namespace

QString escapedDeviceText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::surrogateToUcs4(unit, text[i + 1]);
            out += actedOn(c) ? written(c) : QStringView(text).mid(i, 2).toString();
            ++i;
        } else if (unit == QLatin1Char('\\')) {
            out += QStringLiteral("\\\\");
        } else if (isControlByte(unit.unicode())) {
            out += written(static_cast<char32_t>(unit.unicode() - kFileNameByte));
        } else {
            out += !unit.isSurrogate() && actedOn(unit.unicode()) ? written(unit.unicode()) : QString(unit);
        }
    }
    return out;
}

void writeToolError(QIODevice &err, const QString &text)
{
    err.write(fileNameBytes(QStringLiteral("vestra7: %1\n").arg(escapedDeviceText(text))));
}

} // namespace vestra7
