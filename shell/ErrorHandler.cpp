#include "ErrorHandler.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowErrorBox(const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), "Вариндел", text);
}

std::function<void(const QString&)>& Handler() {
    static std::function<void(const QString&)> handler = ShowErrorBox;
    return handler;
}

// An error raised while another report is on the screen must not start a
// report of its own (and another, for every event the box serves): it goes
// to the standard error output instead.
bool reporting = false;

} // namespace

void SetExceptionHandler(std::function<void(const QString&)> handler) {
    Handler() = handler ? std::move(handler) : ShowErrorBox;
}

void HandleError(const QString& text) {
    if (reporting) {
        qWarning("%s", qPrintable(text));
        return;
    }
    const QString shown = text.isEmpty() ? QString(kUnknownErrorText) : text;
    reporting = true;
    try {
        Handler()(shown);
    } catch (...) {
        // The report itself failed; the plain box still tells the user.
        ShowErrorBox(shown);
    }
    reporting = false;
}

void VarindelHandleException(const char* text) {
    HandleError(text ? QString::fromUtf8(text) : QString());
}
