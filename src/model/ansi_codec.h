// SPDX-License-Identifier: GPL-3.0-or-later
// Conversion between text and the 8-bit "ANSI" code page that the adapter's text fields use.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdint>
#include <span>

namespace vestra7 {

// The Windows ANSI code page that a system with this locale would use, as an ICU converter name.
const char *ansiCodePageName(const QLocale &locale);
// Every code page ansiCodePageName() gives, "windows-1252" and the like.
QStringList ansiCodePageNames();

class AnsiCodec
{
public:
    explicit AnsiCodec(const char *codePageName);

    // Characters the code page cannot hold become '?', as the adapter's own tools did.
    QByteArray encode(const QString &text);
    QString decode(std::span<const std::uint8_t> bytes);

    // The codec for the user's locale, or for the code page chosen with useCodePage(). Converters
    // keep state, so each thread has its own; each picks up a new choice at its next call.
    static AnsiCodec &system();
    // Chooses the code page of system() in place of the locale's; empty goes back to the locale's.
    // The window switches it to the connected adapter's code page on the GUI thread, between texts:
    // a reference from system() held across the switch keeps the old code page.
    static void useCodePage(const char *codePageName);
    // The name of the code page system() converts with.
    static QString systemCodePage();

private:
    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
};

} // namespace vestra7
