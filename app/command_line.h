#pragma once

#include <QString>
#include <QStringList>

// What the program's command line asks for: at most one setup or workspace file, or the
// usage or version text.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail };
    Action action = Action::Run;
    QString file;
    QString error; // with Fail: what was wrong, for stderr
};

// Help and version are answered before the application object exists, so that they work
// without a display. Until Qt has taken its own options (-platform, -display, -style ...)
// out of the arguments, what is not known here is no error yet: pass `qtOptionsRemoved`
// only for the arguments the application object left.
CommandLine ParseCommandLine(const QStringList& arguments, bool qtOptionsRemoved);

inline constexpr const char* kProgramVersion = "2.0";

QString UsageText();
QString VersionText();
