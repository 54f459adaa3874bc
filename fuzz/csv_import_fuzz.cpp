// SPDX-License-Identifier: GPL-3.0-or-later
// Importing any bytes as CSV: at most a phone book's worth kept, and what is kept, written out as
// CSV and imported again, comes back the same.
#include "model/ansi_codec.h"
#include "model/csv_format.h"
#include "model/device_record.h"
#include "model/phone_book_exchange.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static AnsiCodec codec("windows-1251");
    const QByteArray content(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PhoneBookImport imported = importPhoneBook(content, PhoneBookFormat::Csv, codec);
    if (imported.parties.size() > static_cast<std::size_t>(kContactCount) ||
        (imported.leftOut > 0 && imported.parties.size() != static_cast<std::size_t>(kContactCount)))
        std::abort();
    const PhoneBookImport again = importPhoneBook(writeCsv(imported.parties), PhoneBookFormat::Csv, codec);
    if (again.parties != imported.parties)
        std::abort();
    return 0;
}
