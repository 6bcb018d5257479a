#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

CommandLine Parse(QStringList arguments, bool qtOptionsRemoved) {
    arguments.prepend("levora");
    return ParseCommandLine(arguments, qtOptionsRemoved);
}

TEST(CommandLineTest, HelpAndVersionAreAnsweredBeforeQtHasTakenItsOptions) {
    EXPECT_EQ(Parse({"--help"}, false).action, Action::ShowHelp);
    EXPECT_EQ(Parse({"-h"}, false).action, Action::ShowHelp);
    EXPECT_EQ(Parse({"-platform", "offscreen", "--help"}, false).action, Action::ShowHelp);
    EXPECT_EQ(Parse({"--version"}, false).action, Action::ShowVersion);
    EXPECT_EQ(Parse({"-v", "setup.lvr"}, false).action, Action::ShowVersion);
}

// Qt's own single-dash options must not read as bundles of short ones: "-reverse" holds a
// "v", "-stylesheet" an "h".
TEST(CommandLineTest, QtOptionsAreNeitherHelpNorVersionNorErrorsBeforeQtTookThem) {
    for (const QStringList& arguments :
         {QStringList{"-reverse"}, QStringList{"-stylesheet", "dark.qss"},
          QStringList{"-platform", "offscreen", "a.lvr"}, QStringList{"--unknown"}}) {
        const CommandLine line = Parse(arguments, false);
        EXPECT_EQ(line.action, Action::Run) << arguments.join(' ').toStdString();
    }
}

TEST(CommandLineTest, WhatQtLeftIsAtMostOneFileAndNoUnknownOption) {
    const CommandLine file = Parse({"work.lvw"}, true);
    EXPECT_EQ(file.action, Action::Run);
    EXPECT_EQ(file.file, "work.lvw");
    EXPECT_TRUE(Parse({}, true).file.isEmpty());

    const CommandLine unknown = Parse({"--frobnicate"}, true);
    EXPECT_EQ(unknown.action, Action::Fail);
    EXPECT_TRUE(unknown.error.contains("frobnicate")) << unknown.error.toStdString();
    EXPECT_EQ(Parse({"a.lvr", "b.lvr"}, true).action, Action::Fail);
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(Parse({"--", "--odd.lvr"}, true).file, "--odd.lvr");
}

TEST(CommandLineTest, UsageNamesTheOptionsAndTheFile) {
    const QString usage = UsageText();
    EXPECT_TRUE(usage.startsWith("Usage: levora [options] [file]\n"));
    EXPECT_TRUE(usage.contains("--help"));
    EXPECT_TRUE(usage.contains("--version"));
    EXPECT_EQ(VersionText(), "Ostrel Levora 2.0\n");
}

} // namespace
