// SPDX-License-Identifier: GPL-3.0-or-later
// Code page choice by locale and lossy conversion with '?' for unrepresentable characters.
#include "model/ansi_codec.h"

#include <QStringView>

#include <QMutex>
#include <QMutexLocker>

#include <atomic>
#include <memory>

namespace vestra7 {

namespace {

// Counted up at each choice, so that a thread's codec sees a new one without taking the lock.
std::atomic<unsigned> g_choice{0};
QMutex g_chosenMutex;
QByteArray g_chosenCodePage;

} // namespace

QStringList ansiCodePageNames()
{
    return {QStringLiteral("windows-874"),  QStringLiteral("windows-932"),  QStringLiteral("windows-936"),
            QStringLiteral("windows-949"),  QStringLiteral("windows-950"),  QStringLiteral("windows-1250"),
            QStringLiteral("windows-1251"), QStringLiteral("windows-1252"), QStringLiteral("windows-1253"),
            QStringLiteral("windows-1254"), QStringLiteral("windows-1255"), QStringLiteral("windows-1256"),
            QStringLiteral("windows-1257"), QStringLiteral("windows-1258")};
}

const char *ansiCodePageName(const QLocale &locale)
{
    switch (locale.language()) {
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Serbian:
    case QLocale::Macedonian:
    case QLocale::Kazakh:
        return "windows-1251";
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian:
        return "windows-1250";
    case QLocale::Greek:
        return "windows-1253";
    case QLocale::Turkish:
        return "windows-1254";
    case QLocale::Hebrew:
        return "windows-1255";
    case QLocale::Arabic:
        return "windows-1256";
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian:
        return "windows-1257";
    case QLocale::Vietnamese:
        return "windows-1258";
    case QLocale::Thai:
        return "windows-874";
    case QLocale::Japanese:
        return "windows-932";
    case QLocale::Korean:
        return "windows-949";
    case QLocale::Chinese:
        return locale.script() == QLocale::TraditionalChineseScript ? "windows-950" : "windows-936";
    default:
        return "windows-1252";
    }
}

AnsiCodec::AnsiCodec(const char *codePageName)
    : m_encoder(codePageName, QStringConverter::Flag::Stateless)
    , m_decoder(codePageName, QStringConverter::Flag::Stateless)
{
    if (!m_encoder.isValid() || !m_decoder.isValid()) {
        m_encoder = QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
        m_decoder = QStringDecoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    }
}

QByteArray AnsiCodec::encode(const QString &text)
{
    QByteArray whole = m_encoder.encode(text);
    if (!m_encoder.hasError())
        return whole;

    // The converter puts its own substitute, a control character, in place of what it cannot
    // represent; encode one character at a time so that each such one becomes '?' instead.
    m_encoder.resetState();
    QByteArray result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, length);
        const QByteArray one = m_encoder.encode(character);
        const bool substituted = one.isEmpty() || (one == "\x1a" && character != u"\u001a");
        result.append(substituted ? QByteArray("?") : one);
        i += length;
    }
    m_encoder.resetState();
    return result;
}

QString AnsiCodec::decode(std::span<const std::uint8_t> bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QString text = m_decoder.decode(view);
    m_decoder.resetState();
    return text;
}

AnsiCodec &AnsiCodec::system()
{
    thread_local std::unique_ptr<AnsiCodec> codec;
    thread_local unsigned choice = 0;
    const unsigned current = g_choice.load();
    if (!codec || choice != current) {
        choice = current;
        codec = std::make_unique<AnsiCodec>(systemCodePage().toLatin1().constData());
    }
    return *codec;
}

void AnsiCodec::useCodePage(const char *codePageName)
{
    {
        const QMutexLocker lock(&g_chosenMutex);
        g_chosenCodePage = codePageName ? QByteArray(codePageName) : QByteArray();
    }
    ++g_choice;
}

QString AnsiCodec::systemCodePage()
{
    const QMutexLocker lock(&g_chosenMutex);
    return QString::fromLatin1(g_chosenCodePage.isEmpty() ? QByteArray(ansiCodePageName(QLocale::system()))
                                                          : g_chosenCodePage);
}

} // namespace vestra7
