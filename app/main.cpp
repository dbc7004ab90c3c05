// The host: creates the application, loads the package (whose start-up shows
// the windows), runs the event loop while there is something to run, and
// unloads the package again. An error that escapes an event handler is
// caught where the event is dispatched and handed to the package's handler;
// the program goes on.
#include "ErrorHandler.h"
#include "GuardedDispatch.h"
#include "InstalledLayout.h"
#include "Package.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibrary>
#include <QMessageBox>
#include <cstdio>

namespace {

using HandleException = void (*)(const char*);

// The application whose event dispatch catches what a handler lets escape.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;

    HandleException Handler = nullptr;

    bool notify(QObject* receiver, QEvent* event) override {
        return DispatchGuarded([&] { return QApplication::notify(receiver, event); },
                               [this](const char* text) { report(text); });
    }

private:
    void report(const char* text) const {
        if (Handler)
            Handler(text);
        else
            std::fprintf(stderr, "%s\n", text ? text : "unknown error");
    }
};

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::critical(nullptr, "Вариндел", message);
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    TApplication app(argc, argv);
    QApplication::setApplicationName("Varindel");

    QApplication::setWindowIcon(QIcon::fromTheme("ru.varindel.Varindel", QIcon(":/varindel/ru.varindel.Varindel.svg")));
    QGuiApplication::setDesktopFileName("ru.varindel.Varindel");
    UseDataFolderBeside(QCoreApplication::applicationDirPath());
    QLibrary package(PackagePath(QCoreApplication::applicationDirPath()));
    if (!package.load())
        return fail(QString("Не удалось загрузить модуль программы %1:\n%2")
                        .arg(package.fileName(), package.errorString()));

    auto load = reinterpret_cast<decltype(&VarindelPackageLoad)>(package.resolve(kPackageLoadSymbol));
    auto unload = reinterpret_cast<decltype(&VarindelPackageUnload)>(package.resolve(kPackageUnloadSymbol));
    if (!load || !unload)
        return fail(QString("Модуль программы %1 повреждён: нет точки входа.").arg(package.fileName()));
    app.Handler = reinterpret_cast<HandleException>(package.resolve(kHandleExceptionSymbol));

    int exitCode = 0;
    if (load())
        exitCode = QApplication::exec();
    unload();
    app.Handler = nullptr;
    package.unload();
    return exitCode;
}
