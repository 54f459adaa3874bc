// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and checking a command's file before any adapter is touched.
#include "app/tool_input.h"

#include "app/tool_text.h"
#include "model/ansi_codec.h"
#include "model/byte_span.h"
#include "model/config_file.h"
#include "model/import_check.h"
#include "model/input_file.h"
#include "model/update_file.h"

#include <QCoreApplication>
#include <QStringList>

namespace vestra7 {

namespace {

// Why a file given to restore is taken for no configuration file, if it is: its size, as the window
// asks about it.
std::optional<QString> configFileSizeProblem(const QString &path, qint64 size)
{
    if (size == static_cast<qint64>(kRecordSize))
        return std::nullopt;
    return QCoreApplication::translate(
               "ToolRunner", "\"%1\" is not the size of a configuration file: its size is %2 bytes, a configuration "
                             "file's is %3 bytes.")
        .arg(path)
        .arg(size)
        .arg(kRecordSize);
}

QString entryList(const std::vector<int> &entries)
{
    QStringList numbers;
    for (const int entry : entries)
        numbers << QString::number(entry);
    return numbers.join(QStringLiteral(", "));
}

QString forceHint()
{
    return QCoreApplication::translate("ToolRunner", "Nothing was written; --force goes on all the same.");
}

Result<ToolInput, ToolOutcome> readConfiguration(const ToolCommand &command)
{
    const Result<ConfigFileContent> content = readConfigFile(command.file);
    if (!content)
        return ToolOutcome{ToolExit::Failed, content.error().message, command.file};
    if (const std::optional<QString> problem = configFileSizeProblem(command.file, content->size);
        problem && !command.force)
        return ToolOutcome{ToolExit::Failed, *problem + QLatin1Char(' ') + forceHint(), command.file};
    return ToolInput{content->bytes, {}};
}

Result<ToolInput, ToolOutcome> readUpdate(const ToolCommand &command)
{
    const QString &file = command.file;
    Result<QByteArray> input = readWholeFile(file, InputKind::Update);
    if (!input)
        return ToolOutcome{ToolExit::Failed, input.error().message, file};
    // What needs no adapter to tell is told before any adapter is touched; the model waits for one.
    const Result<std::uint16_t, UpdateFileFault> checked = checkUpdateFile(asBytes(*input), {});
    if (!checked && checked.error() == UpdateFileFault::NoHeader)
        return ToolOutcome{
            ToolExit::Failed,
            QCoreApplication::translate("ToolRunner", "\"%1\" is not an update file: it has no update header.")
                .arg(file),
            file};
    if (!checked && checked.error() == UpdateFileFault::NoPayload)
        return ToolOutcome{
            ToolExit::Failed,
            QCoreApplication::translate("ToolRunner",
                                        "\"%1\" is an incorrect update file: it holds no firmware behind its header.")
                .arg(file),
            file};
    return ToolInput{std::move(*input), {}};
}

Result<ToolInput, ToolOutcome> readContacts(const ToolCommand &command)
{
    const QString &file = command.file;
    Result<PhoneBookImport> imported = importPhoneBookFile(file, AnsiCodec::system());
    if (!imported)
        return ToolOutcome{ToolExit::Failed, imported.error().message, file};
    ToolInput input;
    input.contacts = std::move(*imported);
    const ImportCheck check = checkImport(input.contacts.parties, AnsiCodec::system());
    // Storing no contacts would only empty the phone book: that is not what an import is for.
    if (check.empty)
        return ToolOutcome{
            ToolExit::Failed,
            QCoreApplication::translate("ToolRunner", "\"%1\" holds no contacts. The phone book stays as it is.")
                .arg(file),
            file};
    if (!check.unreadable.empty() && !command.force)
        return ToolOutcome{ToolExit::Failed,
                           QCoreApplication::translate(
                               "ToolRunner", "\"%1\" does not look like a phone book: entries %2 read as no contact.")
                                   .arg(file, entryList(check.unreadable)) +
                               QLatin1Char(' ') + forceHint(),
                           file};
    return input;
}

} // namespace

Result<ToolInput, ToolOutcome> readToolInput(const ToolCommand &command)
{
    switch (command.kind) {
    case ToolCommand::Kind::Restore:
        return readConfiguration(command);
    case ToolCommand::Kind::Update:
        return readUpdate(command);
    case ToolCommand::Kind::ImportContacts:
        return readContacts(command);
    default:
        return ToolInput{};
    }
}

} // namespace vestra7
