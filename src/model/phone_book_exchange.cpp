// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book files: choosing the format, decoding the text, fitting the result into 32 entries.
#include "model/phone_book_exchange.h"

#include "model/ansi_codec.h"
#include "model/checked_files.h"
#include "model/csv_format.h"
#include "model/vcard_format.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// A phone book with pictures is a few megabytes; anything far beyond that is not one.
constexpr qint64 kMaxImportSize = 64 * 1024 * 1024;

QString suffixOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

QString decodedText(const QByteArray &content, AnsiCodec &fallback)
{
    if (const auto marked = QStringConverter::encodingForData(content)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(content);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8.decode(content);
    if (!utf8.hasError())
        return text;
    return fallback.decode(
        {reinterpret_cast<const std::uint8_t *>(content.constData()), static_cast<std::size_t>(content.size())});
}

QString dialableNumber(QString number)
{
    static const QRegularExpression grouping(QStringLiteral("[\\s\\-./()\\[\\]]"));
    number.remove(grouping);
    return number;
}

QString createError(const QString &fileName, const QString &reason)
{
    return QCoreApplication::translate("PhoneBookFile", "Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

QString openError(const QString &fileName, const QString &reason)
{
    return QCoreApplication::translate("PhoneBookFile", "Cannot open file \"%1\". %2")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

PhoneBookFormat exportFormatFor(const QString &fileName)
{
    return suffixOf(fileName) == u"csv" ? PhoneBookFormat::Csv : PhoneBookFormat::VCard;
}

PhoneBookFormat importFormatFor(const QString &fileName, const QByteArray &content)
{
    const QString suffix = suffixOf(fileName);
    if (suffix == u"vcf" || suffix == u"vcard")
        return PhoneBookFormat::VCard;
    if (suffix == u"csv")
        return PhoneBookFormat::Csv;
    return content.toUpper().contains("BEGIN:VCARD") ? PhoneBookFormat::VCard : PhoneBookFormat::Csv;
}

QByteArray exportPhoneBook(const DeviceRecord &record, PhoneBookFormat format, AnsiCodec &codec)
{
    const std::vector<Party> parties = phoneBookParties(record, codec);
    return format == PhoneBookFormat::Csv ? writeCsv(parties) : writeVCards(parties);
}

PhoneBookImport importPhoneBook(const QByteArray &content, PhoneBookFormat format, AnsiCodec &fallback)
{
    const QString text = decodedText(content, fallback);
    PhoneBookImport result;
    result.parties = format == PhoneBookFormat::Csv ? readCsv(text) : readVCards(text);
    for (Party &party : result.parties)
        party.number = dialableNumber(party.number);
    if (result.parties.size() > static_cast<std::size_t>(kContactCount)) {
        result.leftOut = static_cast<int>(result.parties.size()) - kContactCount;
        result.parties.resize(kContactCount);
    }
    return result;
}

std::optional<QString> exportPhoneBookFile(const QString &fileName, const DeviceRecord &record, AnsiCodec &codec)
{
    const QByteArray content = exportPhoneBook(record, exportFormatFor(fileName), codec);
    if (std::optional<QString> error = writeWholeFile(fileName, content, FileKind::Shared))
        return createError(fileName, *error);
    return std::nullopt;
}

std::optional<QString> importPhoneBookFile(const QString &fileName, AnsiCodec &fallback, PhoneBookImport &result)
{
    QFile file;
    if (const std::optional<QString> error = openNamedFile(fileName, file))
        return openError(fileName, *error);
    if (file.size() > kMaxImportSize)
        return openError(fileName, QCoreApplication::translate("PhoneBookFile", "It is too large for a phone book."));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return openError(fileName, file.errorString());
    result = importPhoneBook(content, importFormatFor(fileName, content), fallback);
    return std::nullopt;
}
