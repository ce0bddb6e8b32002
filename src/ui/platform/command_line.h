#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `txtreader [FILE…]` opens the books, in
// order; --help and --version print and end; anything else unknown is
// refused with the usage.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };

    Action action = Action::Run;
    // The books named, as absolute paths (relative ones taken from the
    // working folder at start), in the order given.
    QStringList books;
    // What to print before ending: the help or the version line for stdout,
    // the complaint and the usage for stderr.
    QString output;

    bool ToStandardError() const { return action == Action::Refuse; }
    // 0 for help and version, 2 for a refused command line.
    int ExitCode() const { return action == Action::Refuse ? 2 : 0; }
};

// Parses the program's arguments (the first is the program). Qt's own
// window options (-platform NAME, -style NAME, -reverse …) are accepted
// and passed over, so they reach the application object. Needs no
// application object to decide; the help names the program only with one.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& workingFolder);
