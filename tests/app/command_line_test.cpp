// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: what each option asks for, and what is refused.
#include "app/command_line.h"

#include <gtest/gtest.h>

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

    const CommandLine traced = parse({QStringLiteral("--verbose"), QStringLiteral("--trace"), QStringLiteral("/tmp/t.log")});
    EXPECT_EQ(traced.action, CommandLine::Action::Run);
    EXPECT_TRUE(traced.verbose);
    EXPECT_EQ(traced.tracePath, QStringLiteral("/tmp/t.log"));
}

TEST(CommandLine, UnknownOptionsAndArgumentsAreRefused)
{
    for (const QStringList &arguments : {QStringList{QStringLiteral("--colour")}, QStringList{QStringLiteral("--trace")},
                                         QStringList{QStringLiteral("extra")}}) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, CommandLine::Action::Refuse) << arguments.join(' ').toStdString();
        EXPECT_FALSE(command.text.isEmpty());
    }
}

TEST(CommandLine, HelpListsTheCommandsAndTheExitCodes)
{
    const QString help = parse({QStringLiteral("--help")}).text;
    for (const char *text : {"--serial <serial>", "--all", "--json", "  list ", "  backup FILE ", "  restore FILE ",
                             "  update FILE.xupd ", "  reset-settings ", "  export-contacts FILE ",
                             "  import-contacts FILE ", "  2  usage error\n", "  4  access denied"})
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

    const CommandLine reset = parse({QStringLiteral("--serial"), QStringLiteral("V7-1"), QStringLiteral("reset-settings")});
    ASSERT_EQ(reset.action, CommandLine::Action::RunTool) << reset.text.toStdString();
    EXPECT_EQ(reset.tool.kind, ToolCommand::Kind::ResetSettings);
    EXPECT_EQ(reset.tool.serial, QStringLiteral("V7-1"));
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
             QStringList{QStringLiteral("backup"), QStringLiteral("a.cfg"), QStringLiteral("--serial="),},
             QStringList{QStringLiteral("--json")},
             // Standard output carries one adapter's file and nothing else.
             QStringList{QStringLiteral("backup"), QStringLiteral("-"), QStringLiteral("--all")},
             QStringList{QStringLiteral("export-contacts"), QStringLiteral("-"), QStringLiteral("--json")},
         }) {
        const CommandLine command = parse(arguments);
        EXPECT_EQ(command.action, CommandLine::Action::Refuse) << arguments.join(' ').toStdString();
        EXPECT_FALSE(command.text.isEmpty());
    }
}

TEST(ToolFiles, WithAllEachAdapterGetsItsSerialBeforeTheExtension)
{
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/set.cfg"), QStringLiteral("V7-2041"), 1), "/b/set-V7-2041.cfg");
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/set.tar.cfg"), QStringLiteral("S"), 1), "/b/set.tar-S.cfg");
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b.d/set"), QStringLiteral("S"), 1), "/b.d/set-S") << "a dot in a folder";
    EXPECT_EQ(fileForAdapter(QStringLiteral("/b/.set"), QStringLiteral("S"), 1), "/b/.set-S");
    EXPECT_EQ(fileForAdapter(QStringLiteral("set.vcf"), QStringLiteral("a/b c"), 1), "set-a_b_c.vcf");
    EXPECT_EQ(fileForAdapter(QStringLiteral("set.vcf"), QString(), 2), "set-adapter2.vcf");
}

} // namespace
