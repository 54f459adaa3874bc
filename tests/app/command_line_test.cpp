// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: what each option asks for, and what is refused.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vestra7 {

namespace {

CommandLine parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("/usr/bin/vestra7"));
    return parseCommandLine(arguments);
}

TEST(CommandLine, HelpAndVersionAnswerWithoutRunning)
{
    const CommandLine help = parse({QStringLiteral("--help")});
    EXPECT_EQ(help.action, CommandLine::Action::ShowHelp);
    EXPECT_TRUE(help.text.startsWith(QStringLiteral("Usage: "))) << help.text.toStdString();
    EXPECT_FALSE(help.text.contains(QStringLiteral("<executable_name>"))) << help.text.toStdString();
    for (const char *option : {"--verbose", "--trace <file>", "--version"})
        EXPECT_TRUE(help.text.contains(QLatin1String(option))) << option;

    const CommandLine version = parse({QStringLiteral("--version")});
    EXPECT_EQ(version.action, CommandLine::Action::ShowVersion);
    EXPECT_TRUE(version.text.startsWith(QStringLiteral("vestra7 1.0.0\n"))) << version.text.toStdString();
    EXPECT_TRUE(version.text.contains(QStringLiteral("\nQt 6."))) << version.text.toStdString();
    EXPECT_TRUE(version.text.contains(QStringLiteral("\nhidapi 0."))) << version.text.toStdString();
}

TEST(CommandLine, RunOptions)
{
    const CommandLine plain = parse({});
    EXPECT_EQ(plain.action, CommandLine::Action::Run);
    EXPECT_FALSE(plain.verbose);
    EXPECT_TRUE(plain.tracePath.isEmpty());

    const CommandLine traced =
        parse({QStringLiteral("--verbose"), QStringLiteral("--trace"), QStringLiteral("/tmp/t.log")});
    EXPECT_EQ(traced.action, CommandLine::Action::Run);
    EXPECT_TRUE(traced.verbose);
    EXPECT_EQ(traced.tracePath, QStringLiteral("/tmp/t.log"));
}

TEST(CommandLine, UnknownOptionsAndArgumentsAreRefused)
{
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("--colour")}, QStringList{QStringLiteral("--trace")},
          QStringList{QStringLiteral("extra")}}) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, CommandLine::Action::Refuse) << arguments.join(' ').toStdString();
        EXPECT_FALSE(command.text.isEmpty());
    }
}

TEST(CommandLine, HelpListsTheCommandsAndTheExitCodes)
{
    const QString help = parse({QStringLiteral("--help")}).text;
    for (const char *text :
         {"--serial <serial>", "--all", "--json", "  list ", "  backup FILE ", "  restore FILE ", "  update FILE.xupd ",
          "  reset-settings ", "  export-contacts FILE ", "  import-contacts FILE ", "  2  usage error\n",
          "  4  access denied", "--port <path>", "  5  the adapter is in use"})
        EXPECT_TRUE(help.contains(QLatin1String(text))) << text;
}

TEST(CommandLine, CommandsWithTheirFileAndOptions)
{
    const CommandLine backup = parse({QStringLiteral("backup"), QStringLiteral("/tmp/b.cfg"), QStringLiteral("--all"),
                                      QStringLiteral("--json"), QStringLiteral("--verbose")});
    ASSERT_EQ(backup.action, CommandLine::Action::RunTool) << backup.text.toStdString();
    EXPECT_EQ(backup.tool.kind, ToolCommand::Kind::Backup);
    EXPECT_EQ(backup.tool.file, QStringLiteral("/tmp/b.cfg"));
    EXPECT_TRUE(backup.tool.all);
    EXPECT_TRUE(backup.tool.json);
    EXPECT_TRUE(backup.verbose);

    const CommandLine reset = parse({QStringLiteral("--serial"), QStringLiteral("V7-1"), QStringLiteral("--port"),
                                     QStringLiteral("1-1.2"), QStringLiteral("reset-settings")});
    ASSERT_EQ(reset.action, CommandLine::Action::RunTool) << reset.text.toStdString();
    EXPECT_EQ(reset.tool.kind, ToolCommand::Kind::ResetSettings);
    EXPECT_EQ(reset.tool.serial, QStringLiteral("V7-1"));
    EXPECT_EQ(reset.tool.port, QStringLiteral("1-1.2"));
    EXPECT_FALSE(reset.tool.all);
}

TEST(CommandLine, CommandsUsedWronglyAreRefused)
{
    for (const QStringList &arguments : {
             QStringList{QStringLiteral("frobnicate")},
             QStringList{QStringLiteral("backup")},
             QStringList{QStringLiteral("list"), QStringLiteral("extra")},
             QStringList{QStringLiteral("restore"), QStringLiteral("a.cfg"), QStringLiteral("b.cfg")},
             QStringList{QStringLiteral("backup"), QStringLiteral("a.cfg"), QStringLiteral("--all"),
                         QStringLiteral("--serial"), QStringLiteral("V7-1")},
             QStringList{QStringLiteral("list"), QStringLiteral("--all")},
             QStringList{
                 QStringLiteral("backup"),
                 QStringLiteral("a.cfg"),
                 QStringLiteral("--serial="),
             },
             QStringList{QStringLiteral("--json")},
             // Standard output carries one adapter's file and nothing else.
             QStringList{QStringLiteral("backup"), QStringLiteral("-"), QStringLiteral("--all")},
             QStringList{QStringLiteral("export-contacts"), QStringLiteral("-"), QStringLiteral("--json")},
             QStringList{QStringLiteral("backup"), QStringLiteral("a.cfg"), QStringLiteral("--all"),
                         QStringLiteral("--port"), QStringLiteral("1-1")},
             QStringList{QStringLiteral("list"), QStringLiteral("--port"), QStringLiteral("1-1")},
             QStringList{QStringLiteral("backup"), QStringLiteral("a.cfg"), QStringLiteral("--port=")},
         }) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, CommandLine::Action::Refuse) << arguments.join(' ').toStdString();
        EXPECT_FALSE(command.text.isEmpty());
    }
}

TEST(CommandLine, EachRefusalSaysWhatDoesNotFit)
{
    const struct
    {
        QStringList arguments;
        const char *why;
    } cases[] = {
        {{"list", "--code-page", "cp0"}, "Unknown code page 'cp0'; known are "},
        {{"status", "--watch", "--interval", "0"}, "--interval needs a whole number of seconds, 1 to 3600."},
        {{"--dry-run"},
         "--serial, --port, --all, --json, --force, --no-backup, --dry-run, --listen and --code-page go "
         "with a command."},
        {{"backup", "a.cfg", "--serial="}, "--serial needs a serial number."},
        {{"backup", "a.cfg", "--port="}, "--port needs a USB port path."},
        {{"frobnicate"}, "Unknown command 'frobnicate'."},
        {{"restore"}, "The command 'restore' needs a file."},
        {{"list", "extra"}, "Unknown argument 'extra'."},
        {{"backup", "-", "--json"}, "Standard output (-) goes with neither --all nor --json."},
        {{"backup", "a.cfg", "--all", "--serial", "V7"}, "--serial and --all cannot go together."},
        {{"list", "--port", "1-1"}, "The command 'list' shows every adapter and takes no --port."},
        {{"status", "--watch", "--all"}, "--watch goes with the command 'status' on one adapter, not with --all."},
    };
    for (const auto &[arguments, why] : cases) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, CommandLine::Action::Refuse) << arguments.join(' ').toStdString();
        EXPECT_TRUE(command.text.startsWith(QLatin1String(why))) << command.text.toStdString();
    }
}

TEST(ToolFiles, WithAllEachAdapterGetsItsKeyBeforeTheExtension)
{
    const QStringList none;
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/set.cfg"), QStringLiteral("V7-2041"), 1, none), "/b/set-V7-2041.cfg");
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/set.tar.cfg"), QStringLiteral("S"), 1, none), "/b/set.tar-S.cfg");
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b.d/set"), QStringLiteral("S"), 1, none), "/b.d/set-S")
        << "a dot in a folder";
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/.set"), QStringLiteral("S"), 1, none), "/b/.set-S");
    EXPECT_EQ(fileForAdapter(QStringLiteral("set.vcf"), QStringLiteral("a/b c"), 1, none), "set-a_b_c.vcf");
    EXPECT_EQ(fileForAdapter(QStringLiteral("set.vcf"), QStringLiteral("DUP@1-2"), 2, none), "set-DUP@1-2.vcf");
}

TEST(ToolFiles, KeysThatMeetInAFileNameStillGetNamesOfTheirOwn)
{
    // "a/b" and "a_b" both become "a_b"; a third adapter whose key is the second's new name.
    QStringList taken;
    for (const auto &[key, place] : {std::pair{"a/b", 1}, std::pair{"a_b", 2}, std::pair{"a_b-2", 3}})
        taken.append(fileForAdapter(QStringLiteral("pb.csv"), QString::fromLatin1(key), place, taken));
    EXPECT_EQ(taken, QStringList({"pb-a_b.csv", "pb-a_b-2.csv", "pb-a_b-2-3.csv"}));
}

} // namespace

} // namespace vestra7
