// The application-wide error handler: an error escaping an event handler
// reaches it with its text, and the event loop goes on.
#include "ErrorHandler.h"
#include "GuardedDispatch.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A button whose click handler fails, like any handler of the program may.
class FailingButton : public QPushButton {
public:
    FailingButton() {
        connect(this, &QPushButton::clicked,
                [] { throw std::runtime_error("Ошибка преобразования: 'abc'"); });
    }
};

// Sends a click through the guarded dispatch the host uses.
bool GuardedClick(QAbstractButton& button) {
    return DispatchGuarded(
        [&button] {
            button.click();
            return true;
        },
        [](const char* text) { VarindelHandleException(text); });
}

// Notes the title and text of the next message box and presses its OK.
void answerNextMessageBox(QString& title, QString& text) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
}

class ErrorHandler : public ::testing::Test {
protected:
    void SetUp() override {
        SetExceptionHandler([this](const QString& text) { reported << text; });
    }
    void TearDown() override { SetExceptionHandler({}); }

    QStringList reported;
};

} // namespace

TEST_F(ErrorHandler, AnErrorInASlotReachesTheHandlerAndTheLoopGoesOn) {
    FailingButton button;
    bool later = false;
    QTimer::singleShot(0, [&later] { later = true; });
    EXPECT_FALSE(GuardedClick(button));
    EXPECT_EQ(reported, QStringList({"Ошибка преобразования: 'abc'"}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(later) << "events after the failure are still served";
    EXPECT_FALSE(GuardedClick(button));
    EXPECT_EQ(reported.size(), 2);
}

TEST_F(ErrorHandler, AnErrorWithoutTextIsStillToldToTheUser) {
    EXPECT_FALSE(
        DispatchGuarded([]() -> bool { throw 42; }, [](const char* text) { VarindelHandleException(text); }));
    EXPECT_EQ(reported, QStringList({kUnknownErrorText}));
}

TEST_F(ErrorHandler, ADispatchThatSucceedsKeepsItsResult) {
    EXPECT_TRUE(DispatchGuarded([] { return true; }, [](const char*) { FAIL(); }));
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(ErrorHandler, AFailingHandlerFallsBackToTheMessageBox) {
    SetExceptionHandler([](const QString&) { throw std::runtime_error("the report failed"); });
    QString shownTitle;
    QString shownText;
    answerNextMessageBox(shownTitle, shownText);
    HandleError("Файл не записан.");
    EXPECT_EQ(shownTitle, "Вариндел");
    EXPECT_EQ(shownText, "Файл не записан.");
}

TEST(DefaultErrorHandler, ShowsTheTextInAMessageBoxTitledVarindel) {
    SetExceptionHandler({});
    QString shownTitle;
    QString shownText;
    answerNextMessageBox(shownTitle, shownText);
    VarindelHandleException("Нет связи с сервером.");
    EXPECT_EQ(shownTitle, "Вариндел");
    EXPECT_EQ(shownText, "Нет связи с сервером.");
}
