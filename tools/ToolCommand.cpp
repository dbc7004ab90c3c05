#include "ToolCommand.h"

#include "Vdlconsts.h"

#include <QFileInfo>
#include <QtGlobal>

#include <cstdio>

bool ParseToolArguments(const QStringList& words, ToolArguments& arguments, QString& error)
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!words[i].startsWith("--")) {
            arguments.positional << words[i];
            continue;
        }
        if (i + 1 >= words.size()) {
            error = QString("У параметра %1 нет значения.").arg(words[i]);
            return false;
        }
        arguments.options[words[i].mid(2)] = words[i + 1];
        ++i;
    }
    return true;
}

void KeepQtDiagnosticsQuiet()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    });
}

int ToolFailure(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    return 1;
}

void ToolPrint(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
}

void ToolPrintWritten(const QString& path, qint64 elapsedMilliseconds)
{
    ToolPrint(QStringLiteral("%1: %2 байт за %3 с")
                  .arg(path)
                  .arg(QFileInfo(path).size())
                  .arg(static_cast<double>(elapsedMilliseconds) / 1000.0, 0, 'f', 1));
}

bool EditionPasswordOption(const ToolArguments& arguments, std::string& password, QString& error)
{
    if (!arguments.options.contains("edition")) {
        error = "Не указано издание: --edition 1 или --edition 2.";
        return false;
    }
    bool ok = false;
    const int edition = arguments.options.value("edition").toInt(&ok);
    if (!ok || edition < 1 || edition > kEditionCount) {
        error = QString("Издания «%1» нет: есть 1 и 2.").arg(arguments.options.value("edition"));
        return false;
    }
    password = MapPw[edition];
    return true;
}
