// SPDX-License-Identifier: GPL-3.0-or-later
// What importing any bytes as a phone book must hold, whatever the format: at most a phone book's
// worth kept, and what is kept, written out in the same format and imported again, comes back the same.
#pragma once

#include "model/ansi_codec.h"
#include "model/device_record.h"
#include "model/phone_book_exchange.h"

#include <cstdlib>
#include <span>

using namespace vestra7;

// Aborts, for the fuzzer to report, where the import breaks its promise.
inline void checkPhoneBookRoundTrip(const std::uint8_t *data, std::size_t size, PhoneBookFormat format,
                                    QByteArray (*write)(std::span<const Party>))
{
    static AnsiCodec codec("windows-1251");
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PhoneBookImport imported = importPhoneBook(content, format, codec);
    if (imported.parties.size() > static_cast<std::size_t>(kContactCount) ||
        (imported.leftOut > 0 && imported.parties.size() != static_cast<std::size_t>(kContactCount)))
        std::abort();
    const PhoneBookImport again = importPhoneBook(write(imported.parties), format, codec);
    if (again.parties != imported.parties)
        std::abort();
}
