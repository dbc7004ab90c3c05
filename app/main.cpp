// The host: creates the application, loads the package (whose start-up shows
// the windows), runs the event loop while there is something to run, and
// unloads the package again.
#include "Package.h"

#include <QApplication>
#include <QDir>
#include <QLibrary>
#include <QMessageBox>

#include <cstdio>

namespace {

QString packagePath()
{
    const QByteArray overridden = qgetenv("VARINDEL_PACKAGE");
    if (!overridden.isEmpty())
        return QString::fromLocal8Bit(overridden);
    return QDir(QCoreApplication::applicationDirPath()).filePath("libvarindel.so");
}

int fail(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::critical(nullptr, "Вариндел", message);
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Varindel");

    QLibrary package(packagePath());
    if (!package.load())
        return fail(QString("Не удалось загрузить модуль программы %1:\n%2").arg(package.fileName(), package.errorString()));

    auto load = reinterpret_cast<decltype(&VarindelPackageLoad)>(package.resolve(kPackageLoadSymbol));
    auto unload = reinterpret_cast<decltype(&VarindelPackageUnload)>(package.resolve(kPackageUnloadSymbol));
    if (!load || !unload)
        return fail(QString("Модуль программы %1 повреждён: нет точки входа.").arg(package.fileName()));

    int exitCode = 0;
    if (load())
        exitCode = QApplication::exec();
    unload();
    package.unload();
    return exitCode;
}
