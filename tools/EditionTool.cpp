// varindel-edition: the publisher's tool for edition files, built on the
// program's own data code.
#include "EditionCommands.h"
#include "GeneratorCommands.h"
#include "ImportCommand.h"
#include "ToolCommand.h"

#include <QGuiApplication>

#include <cstdio>

std::vector<ToolCommand> AllToolCommands()
{
    std::vector<ToolCommand> commands = EditionCommands();
    for (const ToolCommand& command : GeneratorCommands())
        commands.push_back(command);
    for (const ToolCommand& command : ImportCommands())
        commands.push_back(command);
    return commands;
}

namespace {

QString usageText()
{
    QString text = "Использование:";
    for (const ToolCommand& command : AllToolCommands())
        text += QString("\n  varindel-edition %1 %2").arg(command.name, command.usage);
    return text + "\n  varindel-edition --help\n  varindel-edition --version";
}

// A wrong call: the usage on standard error, status 2.
int usage()
{
    std::fprintf(stderr, "%s\n", usageText().toUtf8().constData());
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // The generator draws pictures with fonts, which needs a GUI application;
    // it never shows a window, so no display is needed either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepQtDiagnosticsQuiet();
    QGuiApplication application(argc, argv);
    QStringList words = QCoreApplication::arguments().mid(1);
    if (words.isEmpty())
        return usage();
    const QString name = words.takeFirst();
    if (name == "--help" || name == "-h") {
        ToolPrint(usageText());
        return 0;
    }
    if (name == "--version") {
        ToolPrint("varindel-edition " VARINDEL_VERSION);
        return 0;
    }
    for (const ToolCommand& command : AllToolCommands()) {
        if (name != command.name)
            continue;
        ToolArguments arguments;
        QString error;
        if (!ParseToolArguments(words, arguments, error))
            return ToolFailure(error);
        return command.run(arguments);
    }
    std::fprintf(stderr, "Неизвестная команда «%s».\n", name.toUtf8().constData());
    return usage();
}
