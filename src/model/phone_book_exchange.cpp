// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book files: choosing the format, decoding the text, fitting the result into 32 entries.
#include "model/phone_book_exchange.h"

#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/checked_files.h"
#include "model/csv_format.h"
#include "model/file_messages.h"
#include "model/input_file.h"
#include "model/vcard_format.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace vestra7 {

namespace {

QString suffixOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

// UTF-8 unless the bytes beyond ASCII mostly fail as UTF-8: a file in a legacy code page rarely
// forms a valid sequence, while one damaged byte in a UTF-8 file leaves all its other characters
// valid. A byte that fits no sequence becomes U+FFFD, which the preview marks.
QString decodedText(const QByteArray &content, AnsiCodec &fallback)
{
    if (const auto marked = QStringConverter::encodingForData(content)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(content);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(content);
    if (!utf8.hasError())
        return text;
    qsizetype valid = 0;
    qsizetype invalid = 0;
    for (const QChar c : std::as_const(text)) {
        if (c == QChar::ReplacementCharacter)
            ++invalid;
        else if (c.unicode() >= 0x80 && !c.isLowSurrogate())
            ++valid;
    }
    if (valid >= invalid)
        return text;
    return fallback.decode(asBytes(content));
}

// A line break inside a name (a quoted one in CSV, an escaped one in a vCard) would show as nothing
// on the adapter's one-line display.
QString oneLine(QString name)
{
    // Every entry of a file passes here, most without a line break: the expression is kept for those
    // that have one.
    if (!name.contains(u'\n') && !name.contains(u'\r'))
        return name;
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    return name.replace(lineBreaks, QStringLiteral(" "));
}

// A surrogate without its partner (UTF-16 cut short, or a CHARSET such as UTF-7 that encodes
// UTF-16 units) is no character: it becomes U+FFFD like any other undecodable input, which the
// preview marks, and which a file written back holds the same.
QString wholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
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
    return QLatin1StringView(content).contains(QLatin1StringView("BEGIN:VCARD"), Qt::CaseInsensitive)
               ? PhoneBookFormat::VCard
               : PhoneBookFormat::Csv;
}

QByteArray exportPhoneBook(const DeviceRecord &record, PhoneBookFormat format, AnsiCodec &codec)
{
    const std::vector<Party> parties = phoneBookParties(record, codec);
    return format == PhoneBookFormat::Csv ? writeCsv(parties) : writeVCards(parties);
}

PhoneBookImport importPhoneBook(QByteArray content, PhoneBookFormat format, AnsiCodec &fallback)
{
    const QString text = decodedText(content, fallback);
    content = QByteArray(); // the bytes are not needed while the text is parsed
    PhoneBookImport result;
    // Only the entries the phone book holds are kept; the rest are counted.
    const PartySink take = [&result](Party &&party) {
        party.name = oneLine(wholeCharacters(std::move(party.name)));
        party.number = dialableNumber(wholeCharacters(std::move(party.number)));
        if (party.name.isEmpty() && party.number.isEmpty()) // a number of dashes only, say
            return;
        if (result.parties.size() == static_cast<std::size_t>(kContactCount))
            ++result.leftOut;
        else
            result.parties.push_back(std::move(party));
    };
    if (format == PhoneBookFormat::Csv)
        readCsv(text, take);
    else
        readVCards(text, take);
    return result;
}

Result<void> exportPhoneBookFile(const QString &fileName, const DeviceRecord &record, AnsiCodec &codec)
{
    const QByteArray content = exportPhoneBook(record, exportFormatFor(fileName), codec);
    if (const Result<void> written = writeWholeFile(fileName, content, FileKind::Shared); !written)
        return cannotCreateFile(fileName, written.error().message);
    return {};
}

Result<PhoneBookImport> importPhoneBookFile(const QString &fileName, AnsiCodec &fallback)
{
    Result<QByteArray> file = readWholeFile(fileName, InputKind::PhoneBook);
    if (!file)
        return file.error();
    const PhoneBookFormat format = importFormatFor(fileName, *file);
    return importPhoneBook(std::move(*file), format, fallback);
}

} // namespace vestra7
