// The host: creates the application, loads the package (whose start-up shows
// the windows), runs the event loop while there is something to run, and
// unloads the package again. An error that escapes an event handler is
// caught where the event is dispatched and handed to the package's handler;
// the program goes on.
//
// Three things must be in place before the application object exists, so the
// host, not the package, does them: the heap is paged as a large map wants,
// the document viewer's web engine wants OpenGL contexts shared between its
// windows and threads, and Qt's own texts (the calendar's and standard
// dialogs' words and buttons) come in Russian.
#include "ErrorHandler.h"
#include "GuardedDispatch.h"
#include "HugePageHeap.h"
#include "InstalledLayout.h"
#include "Package.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibrary>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>
#include <cstdio>
#include <memory>
#include <vector>

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

// Loaded by the package later, the web engine would find no shared context
// and the first document viewer on a real display would crash.
void prepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QtWebEngineQuick::initialize();
}

// Qt's translations of its own texts into Russian, whatever the machine's
// language; numbers and dates still follow the user's locale.
std::vector<std::unique_ptr<QTranslator>> installQtTranslations() {
    std::vector<std::unique_ptr<QTranslator>> installed;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : {"qtbase_ru", "qtwebengine_ru"}) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(QString::fromLatin1(catalogue), folder)) {
            std::fprintf(stderr, "Не найден перевод Qt %s в %s: установите пакет qt6-translations-l10n.\n",
                         catalogue, qPrintable(folder));
            continue;
        }
        QCoreApplication::installTranslator(translator.get());
        installed.push_back(std::move(translator));
    }
    return installed;
}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
    QMessageBox::critical(nullptr, "Вариндел", message);
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    RestartWithHugePageHeap(argv);
    prepareWebEngine();
    TApplication app(argc, argv);
    QApplication::setApplicationName("Varindel");
    const auto translations = installQtTranslations();

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
