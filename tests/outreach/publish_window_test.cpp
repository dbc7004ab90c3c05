// The publication request window: validation, the message that arrives and
// the outcome, through a real mail server on loopback.
#include "TfrmPublish.h"

#include "MailTexts.h"
#include "TfrmProgress.h"
#include "smtp_TestServer.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class PublishWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        frmProgress = new TfrmProgress;
        window = new TfrmPublish;
    }
    void TearDown() override
    {
        delete window;
        delete frmProgress;
        frmProgress = nullptr;
    }
    void Fill()
    {
        window->edNameFirm->setText("Ромашка");
        window->edFIO->setText("Иванов Иван Иванович");
        window->edKindAct->setText("Кафе, бары");
        window->edPhone->setText("+7 123 45-67");
        window->MNote->setPlainText("Уютное кафе\nв центре");
    }

    TMessageRecorder boxes;
    TfrmPublish* window = nullptr;
};

} // namespace

TEST_F(PublishWindow, LayoutAsDesigned)
{
    EXPECT_EQ(window->windowTitle(), "Отправить заявку ");
    EXPECT_EQ(window->size(), QSize(461, 332));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->btSend->isDefault());
    EXPECT_EQ(window->btSend->text(), "Отправить");
    EXPECT_EQ(window->BitBtn2->text(), "Закрыть");
    const QList<QWidget*> order{window->edNameFirm, window->edFIO,     window->edPhone, window->edAddr,
                                window->edSite,     window->edMail,    window->edKindAct, window->MNote,
                                window->btSend,     window->BitBtn2};
    for (int i = 0; i + 1 < order.size(); ++i)
        EXPECT_EQ(NextTabStop(order[i], order), order[i + 1]) << i;
    SaveScreenshot(window, "publish_window.png");
}

TEST_F(PublishWindow, EmptyRequiredFieldsEachGetTheirBoxInOrder)
{
    window->show();
    window->btSendClick();
    ASSERT_EQ(boxes.Messages.size(), 4u);
    EXPECT_EQ(boxes.texts(), QStringList({"Заполните название организации", "Укажите ваше Фио",
                                          "Укажите вид деятельности", "Заполните краткое описание"}));
    for (const TMessageRequest& box : boxes.Messages) {
        EXPECT_EQ(box.Icon, TMessageIcon::Error);
        EXPECT_EQ(box.Caption, "Отправить заявку ");
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->btSend->isEnabled());
}

TEST_F(PublishWindow, SentRequestArrivesWithEveryLine)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    Fill();
    window->edNameFirm->setText(" ");
    window->show();
    QSignalSpy finished(window, &TfrmPublish::SendFinished);
    window->btSendClick();
    EXPECT_FALSE(window->btSend->isEnabled()) << "no second send while one is running";
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.first().at(0).toBool());
    EXPECT_EQ(boxes.texts(), QStringList({"Ваша заявка будет рассмотрена"}));
    EXPECT_EQ(boxes.Messages[0].Icon, TMessageIcon::None);
    EXPECT_EQ(boxes.Messages[0].Caption, "Вариндел");
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->btSend->isEnabled());
    EXPECT_EQ(window->edFIO->text(), "Иванов Иван Иванович") << "the fields keep their texts";
    EXPECT_FALSE(frmProgress->isVisible());

    ASSERT_TRUE(server.waitForMessages(1));
    EXPECT_EQ(server.envelope(1)["rcpt_tos"].toArray(), QJsonArray({"support@varindel.test", "developer@orv.test"}));
    const QJsonObject mail = server.parsed(1);
    EXPECT_EQ(mail["subject"].toString(), "Client. Date: " + ShortDateText(QDate::currentDate()));
    EXPECT_EQ(mail["from_name"].toString(), "Varindel");
    EXPECT_EQ(mail["from_address"].toString(), "robot@varindel.test");
    const QStringList lines = mail["body"].toString().split("\r\n");
    ASSERT_GE(lines.size(), 15);
    EXPECT_EQ(lines.mid(0, 11),
              QStringList({"Потенциальный клиент", "Ф.И.О.: Иванов Иван Иванович", "Название фирмы:  ",
                           "Вид деятельности: Кафе, бары", "Телефон: +7 123 45-67", "Адрес фирмы: ", "Сайт: ",
                           "Почта: ", "Краткое описание(инфо): Уютное кафе", "в центре", lines[10]}));
    EXPECT_TRUE(lines[10].startsWith("User "));
    EXPECT_TRUE(lines[11].startsWith("Company "));
    EXPECT_TRUE(lines[12].startsWith("Version OS: "));
    EXPECT_TRUE(lines[13].startsWith("Версия Вариндела: Версия: "));
    EXPECT_TRUE(lines[14].startsWith("Карта : "));
}

TEST_F(PublishWindow, FailedSendKeepsWindowAndTexts)
{
    TMailAccount account;
    account.Server = "127.0.0.1";
    account.Port = ClosedPort();
    account.User = "vdlmail";
    account.Password = "SECRET12";
    account.Sender = "robot@varindel.test";
    account.Support = "support@varindel.test";
    TMailConfigFile config(account);
    Fill();
    window->show();
    QSignalSpy finished(window, &TfrmPublish::SendFinished);
    window->btSendClick();
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(finished.first().at(0).toBool());
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_TRUE(boxes.Messages[0].Text.startsWith(
        "Невозможно отправить заявку\nПроверьте ваше подключение к интернету или отключите брандмауэр))"));
    EXPECT_TRUE(boxes.Messages[0].Text.contains("не принимает соединение")) << boxes.Messages[0].Text.toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->btSend->isEnabled());
    EXPECT_EQ(window->MNote->toPlainText(), "Уютное кафе\nв центре");
}
