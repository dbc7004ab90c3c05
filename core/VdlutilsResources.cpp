// Embedded resources and launchers: ExtractRes copies a resource compiled
// into the program out to a file, CreateLink writes a freedesktop launcher
// (the Linux counterpart of a shell link).
#include "Vdlutils.h"

#include <QFile>
#include <QFileInfo>

EResNotFound::EResNotFound(const std::string& name) : std::runtime_error("Resource " + name + " not found") {}

EFCreateError::EFCreateError(const std::string& fileName)
    : std::runtime_error("Cannot create file " + fileName) {}

namespace {

void WriteWholeFile(const std::string& fileName, const QByteArray& contents) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size() ||
        !file.flush())
        throw EFCreateError(fileName);
}

// Escapes of every text value of a desktop entry: the value must stay on one line.
std::string EscapeValue(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The program path is one quoted argument, whatever characters it holds.
std::string QuoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// A single "%" would start a field code that the launcher expands.
std::string DoublePercentSigns(const std::string& text) {
    std::string doubled;
    for (char c : text) {
        doubled += c;
        if (c == '%')
            doubled += '%';
    }
    return doubled;
}

} // namespace

bool ExtractRes(const std::string& resourceName, const std::string& fileName) {
    QFile resource(":/" + QString::fromStdString(resourceName));
    if (!resource.open(QIODevice::ReadOnly))
        throw EResNotFound(resourceName);
    WriteWholeFile(fileName, resource.readAll());
    return true;
}

// A launcher needs a name to be shown; without a description the program's
// file name stands in.
std::string DesktopEntryText(const std::string& target, const std::string& description,
                             const std::string& arguments, const std::string& workingDirectory) {
    const std::string name = description.empty()
                                 ? QFileInfo(QString::fromStdString(target)).fileName().toStdString()
                                 : description;
    std::string command = QuoteArgument(target);
    if (!arguments.empty())
        command += ' ' + arguments;
    std::string text = "[Desktop Entry]\nType=Application\n";
    text += "Name=" + EscapeValue(name) + '\n';
    text += "Exec=" + EscapeValue(DoublePercentSigns(command)) + '\n';
    if (!workingDirectory.empty())
        text += "Path=" + EscapeValue(workingDirectory) + '\n';
    return text;
}

// Desktops start only launchers that are marked executable, so the owner
// gets that right.
void CreateLink(const std::string& target, const std::string& linkFile, const std::string& description,
                const std::string& arguments, const std::string& workingDirectory) {
    WriteWholeFile(linkFile, QByteArray::fromStdString(
                                 DesktopEntryText(target, description, arguments, workingDirectory)));
    QFile::setPermissions(QString::fromStdString(linkFile),
                          QFile::permissions(QString::fromStdString(linkFile)) | QFile::ExeOwner |
                              QFile::ExeUser);
}
