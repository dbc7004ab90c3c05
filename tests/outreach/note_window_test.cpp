// The note window and the send menu: kinds, the return-address rule, what
// arrives at the server, and a failed send.
#include "TfrmSendNote.h"

#include "SendMenu.h"
#include "TfrmProgress.h"
#include "smtp_TestServer.h"

#include <QAction>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class NoteWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        frmProgress = new TfrmProgress;
        frmSendNote = new TfrmSendNote;
    }
    void TearDown() override
    {
        delete frmSendNote;
        frmSendNote = nullptr;
        delete frmProgress;
        frmProgress = nullptr;
    }
    // Runs `whileOpen` once the modal window is up, then SndNote(kind).
    void SendNote(int kind, std::function<void()> whileOpen)
    {
        QTimer::singleShot(0, frmSendNote, std::move(whileOpen));
        frmSendNote->SndNote(kind);
    }

    TMessageRecorder boxes;
};

} // namespace

TEST_F(NoteWindow, LayoutAsDesigned)
{
    TfrmSendNote* window = frmSendNote;
    EXPECT_EQ(window->windowTitle(), QString("Cвязь с варинделом"));
    EXPECT_EQ(window->windowTitle().at(0), QChar('C')) << "Latin C";
    EXPECT_EQ(window->size(), QSize(420, 251));
    EXPECT_EQ(window->cbTypes->count(), 6);
    EXPECT_EQ(window->cbTypes->itemText(4), "ошибка");
    EXPECT_EQ(window->cbTypes->currentText(), "Выберите из списка");
    EXPECT_EQ(window->mComment->toPlainText(), "Здесь Вы можете написать пожелание, \nзамечание или неточность в "
                                               "программе, а также \nпредложение и отправить разработчикам.");
    EXPECT_FALSE(window->imgVarindellogoleft->pixmap().isNull());
    const QList<QWidget*> order{window->mComment, window->cbTypes, window->btSend, window->btCancel, window->eEmail};
    for (int i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextTabStop(order[i], order), order[i + 1]) << i;
    SaveScreenshot(window, "note_window.png");
}

TEST_F(NoteWindow, ReturnAddressRule)
{
    bool checked = false;
    SendNote(0, [&] {
        frmSendNote->eEmail->setText("ivan.mail.ru");
        frmSendNote->btSend->click();
        frmSendNote->eEmail->setText("ivan@mailru");
        frmSendNote->btSend->click();
        EXPECT_TRUE(frmSendNote->isVisible()) << "a rejected address keeps the window open";
        checked = true;
        frmSendNote->btCancel->click();
    });
    EXPECT_TRUE(checked);
    ASSERT_EQ(boxes.Messages.size(), 2u);
    EXPECT_EQ(boxes.Messages[0].Text, "E-mail некорректен");
    EXPECT_EQ(boxes.Messages[0].Icon, TMessageIcon::Error);
    EXPECT_EQ(boxes.Messages[0].Caption, QString("Cвязь с варинделом"));
}

TEST_F(NoteWindow, KindPreselectedTypedTextSentAndTwoNotesArrive)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    QSignalSpy finished(frmSendNote, &TfrmSendNote::SendFinished);
    QString shown;
    SendNote(4, [&] {
        shown = frmSendNote->cbTypes->currentText();
        frmSendNote->cbTypes->setEditText("опечатка в адресе");
        frmSendNote->mComment->setPlainText("Улица Ленина\nдом 5 — не тот");
        frmSendNote->eEmail->setText("@.");
        frmSendNote->btSend->click();
    });
    EXPECT_EQ(shown, "ошибка");
    ASSERT_TRUE(finished.wait(30000));
    SendNote(1, [&] { frmSendNote->btSend->click(); });
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(boxes.texts(), QStringList({"Ваша заявка будет рассмотрена", "Ваша заявка будет рассмотрена"}));
    ASSERT_TRUE(server.waitForMessages(2));

    const QJsonObject first = server.parsed(1);
    EXPECT_EQ(first["subject"].toString(), "Varindel. Note");
    const QStringList lines = first["body"].toString().split("\r\n");
    ASSERT_GE(lines.size(), 9);
    EXPECT_EQ(lines.mid(0, 4), QStringList({"Контент: опечатка в адресе", "Комментарий: Улица Ленина",
                                            "дом 5 — не тот", "Обратный email: @."}));
    EXPECT_TRUE(lines[4].startsWith("User "));
    EXPECT_TRUE(lines[8].startsWith("Карта : "));
    EXPECT_TRUE(server.parsed(2)["body"].toString().startsWith("Контент: предложение\r\n"));
}

TEST_F(NoteWindow, CancelSendsNothing)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    SendNote(2, [&] {
        frmSendNote->eEmail->setText("a@b.c");
        frmSendNote->btCancel->click();
    });
    QSignalSpy finished(frmSendNote, &TfrmSendNote::SendFinished);
    EXPECT_FALSE(finished.wait(300));
    EXPECT_EQ(server.messageCount(), 0);
    EXPECT_TRUE(boxes.Messages.empty());
}

TEST_F(NoteWindow, RefusedLoginShowsTheReasonAndKeepsTexts)
{
    TTestSmtpServer server;
    TMailAccount wrong = server.account();
    wrong.Password = "NOTRIGHT";
    TMailConfigFile config(wrong);
    QSignalSpy finished(frmSendNote, &TfrmSendNote::SendFinished);
    SendNote(3, [&] {
        frmSendNote->mComment->setPlainText("важный текст");
        frmSendNote->eEmail->setText("a@b.c");
        frmSendNote->btSend->click();
    });
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(finished.first().at(0).toBool());
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_TRUE(boxes.Messages[0].Text.startsWith("Невозможно отправить заявку\n"));
    EXPECT_TRUE(boxes.Messages[0].Text.contains("не принял имя пользователя или пароль"));
    EXPECT_EQ(frmSendNote->mComment->toPlainText(), "важный текст");
    EXPECT_TRUE(frmSendNote->btSend->isEnabled());
}

TEST_F(NoteWindow, SendMenuItemsPassTheirTags)
{
    QWidget owner;
    QMenu* pmSend = CreatePmSend(&owner);
    ASSERT_EQ(pmSend->actions().size(), 2);
    EXPECT_EQ(pmSend->actions()[0]->text(), "Отправить заявку");
    QMenu* contact = pmSend->actions()[1]->menu();
    ASSERT_NE(contact, nullptr);
    EXPECT_EQ(pmSend->actions()[1]->text(), QString("Cвязь с Варинделом"));
    const QStringList captions{"Отправить пожелание", "Отправить предложение", "Отправить замечание",
                               "Отправить неточность", "Отправить ошибку", "Другое"};
    ASSERT_EQ(contact->actions().size(), 6);
    for (int tag = 0; tag < 6; ++tag) {
        QAction* item = contact->actions()[tag];
        EXPECT_EQ(item->text(), captions[tag]);
        EXPECT_EQ(item->data().toInt(), tag);
        QString preselected;
        QTimer::singleShot(0, frmSendNote, [&] {
            preselected = frmSendNote->cbTypes->currentText();
            frmSendNote->btCancel->click();
        });
        item->trigger();
        EXPECT_EQ(preselected, frmSendNote->cbTypes->itemText(tag));
    }
}

TEST_F(NoteWindow, SendMenuBuiltElsewhereIsConnectedByTags)
{
    QMenu pmSend;
    QAction* publish = pmSend.addAction("Отправить заявку");
    publish->setObjectName("NPublish");
    QMenu* contact = pmSend.addMenu("Cвязь с Варинделом");
    for (int kind = 0; kind < 6; ++kind)
        contact->addAction(QString("item %1").arg(kind))->setData(kind);
    ConnectPmSend(&pmSend);
    QString preselected;
    QTimer::singleShot(0, frmSendNote, [&] {
        preselected = frmSendNote->cbTypes->currentText();
        frmSendNote->btCancel->click();
    });
    contact->actions()[3]->trigger();
    EXPECT_EQ(preselected, "неточность");
}
