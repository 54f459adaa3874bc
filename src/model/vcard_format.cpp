// SPDX-License-Identifier: GPL-3.0-or-later
// Writing and reading vCards.
#include "model/vcard_format.h"

#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace vestra7 {

namespace {

constexpr qsizetype kMaxLineOctets = 75;

QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
            continue; // the \n that follows stands for the pair
        if (c == u'\r' || c == u'\n') {
            out += QLatin1String("\\n");
            continue;
        }
        if (c == u'\\' || c == u',' || c == u';')
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Folds after at most 75 octets per line, the leading blank of a continuation included, and never
// inside a character's UTF-8 sequence.
void appendFolded(QByteArray &out, const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    qsizetype room = kMaxLineOctets;
    while (bytes.size() - start > room) {
        qsizetype end = start + room;
        while (end > start && isUtf8Continuation(bytes.at(end)))
            --end;
        out += bytes.mid(start, end - start) + "\r\n ";
        start = end;
        room = kMaxLineOctets - 1;
    }
    out += bytes.mid(start) + "\r\n";
}

// Splits at each separator that no backslash escapes and, where quotes count, that lies outside them.
QStringList splitUnescaped(QStringView text, QChar separator, bool honourQuotes)
{
    QStringList parts;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            current += c;
            current += text.at(++i);
        } else if (honourQuotes && c == u'"') {
            quoted = !quoted;
            current += c;
        } else if (c == separator && !quoted) {
            parts << current;
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current;
    return parts;
}

QString unescaped(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        if (next == u'n' || next == u'N')
            out += QLatin1Char('\n');
        else if (next == u'\\' || next == u',' || next == u';' || next == u':')
            out += next;
        else // older cards use the backslash as an ordinary character
            out += value.mid(i - 1, 2);
    }
    return out;
}

QByteArray decodedQuotedPrintable(QStringView value)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'=' && i + 2 < value.size()) {
            bool ok = false;
            const uint byte = value.mid(i + 1, 2).toUInt(&ok, 16);
            if (ok) {
                bytes += static_cast<char>(byte);
                i += 2;
                continue;
            }
        }
        bytes += value.mid(i, 1).toUtf8();
    }
    return bytes;
}

struct ContentLine
{
    QString name;
    QStringList types; // upper case, from TYPE= lists and the bare parameters of version 2.1
    QString value;     // decoded where the line was quoted-printable, still escaped otherwise
};

bool isQuotedPrintable(QStringView head)
{
    return head.contains(QLatin1String("QUOTED-PRINTABLE"), Qt::CaseInsensitive);
}

bool isTaken(const QString &name)
{
    return name == u"BEGIN" || name == u"END" || name == u"FN" || name == u"N" || name == u"TEL";
}

// Nothing for a line without a colon, or for a property that no card's party is made of (a photo's
// value may run to megabytes, and is not even copied).
std::optional<ContentLine> parseLine(const QString &line, qsizetype colon)
{
    if (colon < 0)
        return std::nullopt;
    const QStringList head = splitUnescaped(QStringView(line).left(colon), u';', true);

    ContentLine parsed;
    parsed.name = head.first().section(u'.', -1).trimmed().toUpper(); // drops a group prefix
    if (!isTaken(parsed.name))
        return std::nullopt;
    parsed.value = line.mid(colon + 1);
    bool quotedPrintable = false;
    QString charset = QStringLiteral("UTF-8");
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QString parameter = head.at(i).trimmed();
        const qsizetype equals = parameter.indexOf(u'=');
        const QString key = equals < 0 ? QString() : parameter.left(equals).toUpper();
        QString values = equals < 0 ? parameter : parameter.mid(equals + 1);
        values.remove(u'"');
        if (key.isEmpty() || key == u"TYPE") {
            for (const QString &type : values.split(u',', Qt::SkipEmptyParts))
                parsed.types << type.trimmed().toUpper();
        } else if (key == u"ENCODING") {
            quotedPrintable = values.compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0;
        } else if (key == u"CHARSET") {
            charset = values;
        }
    }
    if (quotedPrintable || parsed.types.contains(QStringLiteral("QUOTED-PRINTABLE"))) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (!decoder.isValid())
            decoder = QStringDecoder(QStringConverter::Utf8);
        parsed.value = decoder.decode(decodedQuotedPrintable(parsed.value));
    }
    return parsed;
}

// One logical line, put together from folded physical lines and the soft line breaks of
// quoted-printable values. The colon that ends its head is looked for only in the text appended since
// the last look, so that a long line without one costs no more than its length.
class LogicalLine
{
public:
    void start(QStringView physical)
    {
        m_text.resize(0);
        m_colon = -1;
        m_scanned = 0;
        m_quoted = false;
        m_quotedPrintable = false;
        append(physical);
    }

    void append(QStringView more)
    {
        m_text += more;
        for (; m_colon < 0 && m_scanned < m_text.size(); ++m_scanned) {
            const QChar c = m_text.at(m_scanned);
            if (c == u'"') {
                m_quoted = !m_quoted;
            } else if (c == u':' && !m_quoted) {
                m_colon = m_scanned;
                m_quotedPrintable = isQuotedPrintable(QStringView(m_text).left(m_colon));
            }
        }
    }

    // A quoted-printable value's "=" at the end of a physical line joins it to the next one.
    bool endsInSoftBreak() const { return m_quotedPrintable && m_text.endsWith(u'='); }
    void dropSoftBreak() { m_text.chop(1); }

    const QString &text() const { return m_text; }
    qsizetype colon() const { return m_colon; }

private:
    QString m_text;
    qsizetype m_colon = -1;
    qsizetype m_scanned = 0;
    bool m_quoted = false;
    bool m_quotedPrintable = false;
};

QString nameFromParts(const QString &value)
{
    // Family; given; additional; prefixes; suffixes, shown in the order people write them.
    QStringList parts = splitUnescaped(value, u';', false);
    parts.resize(5);
    QStringList ordered;
    for (qsizetype index : {3, 1, 2, 0, 4}) {
        const QString part = unescaped(parts.at(index)).trimmed();
        if (!part.isEmpty())
            ordered << part;
    }
    return ordered.join(u' ');
}

// What one card has given so far.
struct Card
{
    QString formattedName;
    QString structuredName;
    std::optional<QString> firstNumber;
    std::optional<QString> cellNumber;

    void take(const ContentLine &line)
    {
        if (line.name == u"FN") {
            formattedName = unescaped(line.value);
        } else if (line.name == u"N") {
            structuredName = nameFromParts(line.value);
        } else if (line.name == u"TEL") {
            // The marks that only group digits go first, as the import drops them anyway: "t.el:"
            // would otherwise become a "tel:" that the number written back loses when read again.
            QString number = dialableNumber(unescaped(line.value));
            // Every "tel:" goes, so that the number written back reads the same; counted first, as
            // removing each in turn would move the rest of a long value every time.
            qsizetype prefix = 0;
            while (QStringView(number).sliced(prefix).startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                prefix += 4;
            number.remove(0, prefix);
            if (number.isEmpty())
                return;
            if (!firstNumber)
                firstNumber = number;
            if (!cellNumber && line.types.contains(QStringLiteral("CELL")))
                cellNumber = number;
        }
    }

    Party party() const
    {
        return {formattedName.isEmpty() ? structuredName : formattedName,
                cellNumber.value_or(firstNumber.value_or(QString()))};
    }
};

} // namespace

QByteArray writeVCards(std::span<const Party> parties)
{
    QByteArray out;
    for (const Party &party : parties) {
        const QString name = escaped(party.name);
        appendFolded(out, QStringLiteral("BEGIN:VCARD"));
        appendFolded(out, QStringLiteral("VERSION:3.0"));
        appendFolded(out, QLatin1String("FN:") + name);
        // The adapter holds a name undivided, and which of its words is the family name ("Иван
        // Петров", "Петров Иван", "Doe, John", "Mum") cannot be told; an empty N leaves it to FN.
        appendFolded(out, QStringLiteral("N:;;;;"));
        if (!party.number.isEmpty())
            appendFolded(out, QLatin1String("TEL:") + escaped(party.number));
        appendFolded(out, QStringLiteral("END:VCARD"));
    }
    return out;
}

void readVCards(QStringView text, const PartySink &take)
{
    std::optional<Card> card;
    const auto finish = [&](const LogicalLine &line) {
        const std::optional<ContentLine> parsed = parseLine(line.text(), line.colon());
        if (!parsed)
            return;
        const bool cardBoundary = parsed->value.trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0;
        if (parsed->name == u"BEGIN" && cardBoundary) {
            card.emplace();
        } else if (parsed->name == u"END" && cardBoundary && card) {
            Party party = card->party();
            if (!party.name.isEmpty() || !party.number.isEmpty())
                take(std::move(party));
            card.reset();
        } else if (card) {
            card->take(*parsed);
        }
    };

    LogicalLine line;
    bool started = false;
    bool softBreak = false;
    // CR LF, LF and CR each end a physical line; the text after the last line end is one more.
    for (qsizetype position = 0; position <= text.size();) {
        qsizetype end = position;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        const QStringView physical = text.sliced(position, end - position);
        position = end + (end + 1 < text.size() && text.at(end) == u'\r' && text.at(end + 1) == u'\n' ? 2 : 1);

        if (softBreak) {
            line.dropSoftBreak();
            line.append(physical);
        } else if (started && !physical.isEmpty() && (physical.front() == u' ' || physical.front() == u'\t')) {
            line.append(physical.sliced(1));
        } else {
            if (started)
                finish(line);
            line.start(physical);
            started = true;
        }
        softBreak = line.endsInSoftBreak();
    }
    finish(line);
}

} // namespace vestra7
