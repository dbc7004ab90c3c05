// The command table of varindel-edition. A command is a name, a usage line
// and a function; a new group of commands adds one function returning its
// commands and one line in AllToolCommands().
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

struct ToolArguments {
    QStringList positional;          // after the command name
    QMap<QString, QString> options;  // "--name value", by name without dashes
};

struct ToolCommand {
    const char* name;
    const char* usage; // arguments after the name, for the help text
    int (*run)(const ToolArguments&);
};

std::vector<ToolCommand> AllToolCommands();

// Splits arguments into positional ones and "--name value" options; false
// with a message when an option has no value.
bool ParseToolArguments(const QStringList& words, ToolArguments& arguments, QString& error);

// Qt's own warnings and notes (a desktop session's missing runtime folder,
// for one) are not the tool's messages and stay off its output; Qt's critical
// and fatal messages still go to standard error.
void KeepQtDiagnosticsQuiet();

// Error text on standard error; returns the exit status 1.
int ToolFailure(const QString& message);
// One line on standard output, UTF-8.
void ToolPrint(const QString& line);
// The closing line of a command that wrote a file: its size and how long the
// command took.
void ToolPrintWritten(const QString& path, qint64 elapsedMilliseconds);

// The password of the edition named by --edition N, or a failure message.
bool EditionPasswordOption(const ToolArguments& arguments, std::string& password, QString& error);
