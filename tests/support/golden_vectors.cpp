// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the wire's golden vectors: "command", "payload" and "frame" lines of hex digits.
#include "support/golden_vectors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vestra7 {

namespace {

// Lines start with what they hold; "#" lines are the reader's notes.
void readLine(GoldenMessage &message, const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#'))
        return;
    const qsizetype space = trimmed.indexOf(' ');
    const QByteArray kind = trimmed.left(space);
    const QByteArray hex = trimmed.mid(space + 1);
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (space < 0 || bytes.size() * 2 != hex.size()) {
        message.error = QStringLiteral("not a line of hex digits: %1").arg(QString::fromLatin1(trimmed));
    } else if (kind == "command" && bytes.size() == 1) {
        message.cmd = static_cast<std::uint8_t>(bytes[0]);
    } else if (kind == "payload") {
        message.payload.insert(message.payload.end(), bytes.begin(), bytes.end());
    } else if (kind == "frame" && bytes.size() == 64) {
        std::array<std::uint8_t, 64> &frame = message.frames.emplace_back();
        std::copy(bytes.begin(), bytes.end(), frame.begin());
    } else {
        message.error = QStringLiteral("unknown line: %1").arg(QString::fromLatin1(trimmed.left(40)));
    }
}

GoldenMessage readVector(const QString &path)
{
    GoldenMessage message;
    message.name = QFileInfo(path).completeBaseName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        message.error = file.errorString();
        return message;
    }
    while (!file.atEnd() && message.error.isEmpty())
        readLine(message, file.readLine());
    if (message.error.isEmpty() && message.frames.empty())
        message.error = QStringLiteral("no frames");
    return message;
}

} // namespace

std::vector<GoldenMessage> goldenMessages()
{
    const QDir folder(QStringLiteral(VESTRA7_TEST_DATA_DIR));
    std::vector<GoldenMessage> messages;
    for (const QString &name : folder.entryList({QStringLiteral("*.hex")}, QDir::Files, QDir::Name))
        messages.push_back(readVector(folder.filePath(name)));
    if (messages.empty())
        messages.push_back({QStringLiteral("none"), 0, {}, {}, QStringLiteral("no vectors in %1").arg(folder.path())});
    return messages;
}

void PrintTo(const GoldenMessage &message, std::ostream *out)
{
    *out << message.name.toStdString();
}

} // namespace vestra7
