// SPDX-License-Identifier: GPL-3.0-or-later
// Phone-book imports of hostile and of large files: the seconds for 1 MB and 10 MB of each shape that
// once took quadratic time or memory, the peak memory beside the file's size, and the memory left
// resident once a 50 MB import with photos has been previewed and dropped.
#include "bench_table.h"

#include "model/ansi_codec.h"
#include "model/import_preview.h"
#include "model/phone_book_exchange.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>

#include <malloc.h>

using namespace vestra7;

namespace {

constexpr qsizetype kMegabyte = 1000 * 1000;
constexpr int kRuns = 3;

// A line of /proc/self/status, in KiB.
double statusKib(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(line.find(':') + 1));
    return 0;
}

// Lets the next VmHWM show the peak from here on.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// `piece` repeated after `head` up to `size` bytes.
QByteArray shaped(const QByteArray &head, const QByteArray &piece, qsizetype size)
{
    QByteArray out = head;
    out.reserve(size);
    while (out.size() + piece.size() <= size)
        out += piece;
    return out;
}

struct Shape
{
    const char *name;
    PhoneBookFormat format;
    std::function<QByteArray(qsizetype)> make;
};

// One card with a photo of about 40 KB, its base64 folded at 75 octets as phones write it.
QByteArray cardWithPhoto(int index)
{
    QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Contact " + QByteArray::number(index) +
                      "\r\nTEL;TYPE=CELL:+7 912 000 " + QByteArray::number(index) + "\r\nPHOTO;ENCODING=b;TYPE=JPEG:";
    for (int line = 0; line < 540; ++line)
        card += QByteArray(74, 'A' + static_cast<char>(line % 26)) + "\r\n ";
    return card + "AA==\r\nEND:VCARD\r\n";
}

} // namespace

int main()
{
    AnsiCodec codec("windows-1251");
    const Shape shapes[] = {
        {"vCard, one folded line without a colon", PhoneBookFormat::VCard,
         [](qsizetype size) {
             return shaped("BEGIN:VCARD\r\nX", "\r\n x", size);
         }},
        {"vCard, one quoted-printable value of soft line breaks", PhoneBookFormat::VCard,
         [](qsizetype size) {
             return shaped("BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:", "=41=\r\n", size);
         }},
        {"vCard, cards with photos", PhoneBookFormat::VCard,
         [](qsizetype size) {
             QByteArray out;
             for (int i = 0; out.size() < size; ++i)
                 out += cardWithPhoto(i);
             out.truncate(size);
             return out;
         }},
        {"CSV, a field of quotes after text", PhoneBookFormat::Csv,
         [](qsizetype size) {
             return shaped("a", "\"", size);
         }},
        {"CSV, a quoted field of doubled quotes", PhoneBookFormat::Csv,
         [](qsizetype size) {
             return shaped("\"", "\"\"", size);
         }},
        {"CSV, line breaks only", PhoneBookFormat::Csv,
         [](qsizetype size) {
             return QByteArray(size, '\n');
         }},
        {"CSV, short rows", PhoneBookFormat::Csv,
         [](qsizetype size) {
             return shaped({}, "a,1\n", size);
         }},
        {"CSV, bytes that are not UTF-8", PhoneBookFormat::Csv,
         [](qsizetype size) {
             return shaped({}, "\xC8\xE2\xE0\xED,1\n", size);
         }},
    };
    for (const Shape &shape : shapes) {
        double seconds[2] = {};
        double peakMultiple = 0;
        for (int i = 0; i < 2; ++i) {
            const qsizetype size = (i == 0 ? 1 : 10) * kMegabyte;
            // The best of three runs, so that other work on the machine weighs less.
            for (int run = 0; run < kRuns; ++run) {
                malloc_trim(0); // what earlier runs freed must not hide this one's peak
                resetPeak();
                const double before = statusKib("VmRSS:");
                QByteArray content = shape.make(size);
                QElapsedTimer clock;
                clock.start();
                const PhoneBookImport imported = importPhoneBook(std::move(content), shape.format, codec);
                const double taken = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                seconds[i] = run == 0 ? taken : std::min(seconds[i], taken);
                peakMultiple =
                    std::max(peakMultiple, (statusKib("VmHWM:") - before) * 1024 / static_cast<double>(size));
            }
        }
        tableRow(std::string("Import of 1 MB / 10 MB: ") + shape.name,
                 formatted("%.3f", seconds[0]) + formatted(" / %.3f s", seconds[1]) +
                     formatted(" (%.1f times)", seconds[1] / seconds[0]) +
                     formatted(", peak memory %.1f times the file, its bytes included", peakMultiple),
                 "10 MB within 10 times 1 MB");
    }

    // The window's path: the file read, imported, previewed, and all of it dropped on Cancel.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.vcf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; file.size() < 50 * kMegabyte; ++i)
            file.write(cardWithPhoto(i));
    }
    malloc_trim(0);
    const double before = statusKib("VmRSS:");
    resetPeak();
    {
        const Result<PhoneBookImport> imported = importPhoneBookFile(path, codec);
        if (!imported)
            return 1;
        const std::vector<PartyPreview> preview = previewImport(imported->parties, codec);
    }
    const double peak = statusKib("VmHWM:");
    const double after = statusKib("VmRSS:");
    tableRow("Resident memory of a 50 MB vCard file with photos: at the peak / once the preview is dropped",
             formatted("+%.0f", (peak - before) / 1024) + formatted(" / +%.1f MiB", (after - before) / 1024),
             "released once dropped");
    return 0;
}
