// SPDX-License-Identifier: GPL-3.0-or-later
// Export of the phone book to vCard and CSV files, and import of such files into parties.
#pragma once

#include "model/device_record.h"
#include "model/party_text.h"
#include "model/result.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace vestra7 {

class AnsiCodec;

enum class PhoneBookFormat { VCard, Csv };

// What an import yields: the parties that fit into the phone book, in file order, and how many
// entries after them were left out.
struct PhoneBookImport
{
    std::vector<Party> parties;
    int leftOut = 0;
};

// ".csv", in any case, is CSV; anything else is written as vCards.
PhoneBookFormat exportFormatFor(const QString &fileName);
// ".vcf" or ".vcard" are vCards and ".csv" is CSV, in any case; otherwise the content decides.
PhoneBookFormat importFormatFor(const QString &fileName, const QByteArray &content);

// The phone book's non-empty entries, read through the adapter's code page.
QByteArray exportPhoneBook(const DeviceRecord &record, PhoneBookFormat format, AnsiCodec &codec);

// Reads UTF-8, or UTF-16 and UTF-32 with a byte order mark. Content whose bytes beyond ASCII mostly
// fail as UTF-8 is taken to be in the code page of `fallback`, as spreadsheets save it; otherwise the
// bytes that fail become U+FFFD. Names have each run of line breaks made one blank. Numbers lose the
// blanks, dashes, dots, slashes and brackets that only group their digits, since the adapter's field
// holds 16 bytes. Memory stays within a small multiple of the content, however many entries it has.
PhoneBookImport importPhoneBook(QByteArray content, PhoneBookFormat format, AnsiCodec &fallback);

Result<void> exportPhoneBookFile(const QString &fileName, const DeviceRecord &record, AnsiCodec &codec);
// The file is read through the bounded reader, with the phone-book cap.
Result<PhoneBookImport> importPhoneBookFile(const QString &fileName, AnsiCodec &fallback);

} // namespace vestra7
