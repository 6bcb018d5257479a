#include "app/command_line.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption& HelpOption() {
    static const QCommandLineOption option({"h", "help", "?"}, "Show this help and exit.");
    return option;
}

const QCommandLineOption& VersionOption() {
    static const QCommandLineOption option({"v", "version"}, "Show the version and exit.");
    return option;
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments, bool qtOptionsRemoved) {
    QCommandLineParser parser;
    // Qt's own options are single-dash words: "-reverse" must not read as "-r -e -v".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(HelpOption());
    parser.addOption(VersionOption());
    const bool parsed = parser.parse(arguments);

    CommandLine result;
    if (parser.isSet(HelpOption())) {
        result.action = CommandLine::Action::ShowHelp;
        return result;
    }
    if (parser.isSet(VersionOption())) {
        result.action = CommandLine::Action::ShowVersion;
        return result;
    }
    if (!qtOptionsRemoved)
        return result;
    const QStringList files = parser.positionalArguments();
    if (!parsed) {
        result.action = CommandLine::Action::Fail;
        result.error = parser.errorText();
    } else if (files.size() > 1) {
        result.action = CommandLine::Action::Fail;
        result.error = "At most one file can be opened.";
    } else {
        result.file = files.value(0);
    }
    return result;
}

QString UsageText() {
    return "Usage: levora [options] [file]\n"
           "Levora: level meters for multichannel digital audio cards.\n"
           "Opens the workspace of the last run, or the setup (.lvr) or workspace (.lvw) file "
           "given.\n"
           "Without a card driver it meters simulated demo cards; set LEVORA_DRIVER_DIR to use "
           "levora-driver.\n"
           "\n"
           "Options:\n"
           "  -h, --help     " +
           HelpOption().description() +
           "\n"
           "  -v, --version  " +
           VersionOption().description() +
           "\n"
           "\n"
           "Arguments:\n"
           "  file           A setup (.lvr) or workspace (.lvw) file to open.\n";
}

QString VersionText() {
    return QString("Ostrel Levora %1\n").arg(kProgramVersion);
}
