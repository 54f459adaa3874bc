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

} // namespace
