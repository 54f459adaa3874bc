// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding and encoding file names without losing a byte.
#include "model/file_name_bytes.h"

namespace vestra7 {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `at`, or 0 when there is none: overlong forms,
// surrogates and values past U+10FFFF are not UTF-8.
qsizetype sequenceLength(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) {
        return static_cast<unsigned char>(bytes[i]);
    };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

bool isEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

} // namespace

QString fileNameFromBytes(const QByteArray &bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + runStart, at - runStart);
        name += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    name += QString::fromUtf8(bytes.constData() + runStart, bytes.size() - runStart);
    return name;
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        // A low surrogate after a high one is half of a real character, not an escaped byte.
        if (!isEscapedByte(unit) || (i > 0 && name[i - 1].isHighSurrogate()))
            continue;
        bytes += QStringView(name).mid(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(unit - kEscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(name).mid(runStart).toUtf8();
    return bytes;
}

} // namespace vestra7
