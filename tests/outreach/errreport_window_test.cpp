// The error report: what the user sees, what arrives with the screenshot,
// cancelling, the kept comment, progress past 100000 bytes and failures.
#include "TfrmSendErrReport.h"

#include "MailEnvironment.h"
#include "MailProgress.h"
#include "MailTexts.h"
#include "SmtpTransport.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "TfrmProgress.h"
#include "smtp_TestServer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// A main window stand-in with something to see on it.
class TPaintedWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(40, 120, 200));
        painter.fillRect(20, 20, 100, 60, Qt::yellow);
    }
};

class ErrorReport : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainWindow.resize(400, 300);
        TMailEnvironment environment = MailEnvironment();
        saved = environment;
        environment.TempPath = QString::fromStdString(temp.path()) + "/Varindel TLX Company/";
        environment.MainWindow = &mainWindow;
        SetMailEnvironment(environment);
        frmProgress = new TfrmProgress;
        frmSendErrReport = new TfrmSendErrReport;
    }
    void TearDown() override
    {
        delete frmSendErrReport;
        frmSendErrReport = nullptr;
        delete frmProgress;
        frmProgress = nullptr;
        SetMailEnvironment(saved);
    }
    QString screenFile() const { return MailEnvironment().TempPath + "screen.jpg"; }
    void Report(const QString& error, std::function<void()> whileOpen)
    {
        QTimer::singleShot(0, frmSendErrReport, std::move(whileOpen));
        TfrmSendErrReport::HandleException(error);
    }

    TemporaryFolder temp;
    TPaintedWindow mainWindow;
    TMailEnvironment saved;
    TMessageRecorder boxes;
};

} // namespace

TEST_F(ErrorReport, SentReportArrivesWithScreenshotAndThanks)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    QSignalSpy finished(frmSendErrReport, &TfrmSendErrReport::ReportFinished);
    QString shownError;
    QString shownDate;
    bool pictureShown = false;
    Report("Деление на ноль", [&] {
        shownError = frmSendErrReport->lErrText->text();
        shownDate = frmSendErrReport->ldt->text();
        pictureShown = !frmSendErrReport->Image->pixmap().isNull();
        SaveScreenshot(frmSendErrReport, "errreport_window.png");
        frmSendErrReport->mComment->setPlainText("Нажал «Печать»\nи всё");
        frmSendErrReport->btSend->click();
    });
    EXPECT_EQ(shownError, "Деление на ноль");
    EXPECT_FALSE(shownDate.isEmpty());
    EXPECT_TRUE(pictureShown);
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.first().at(0).toBool());
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_EQ(boxes.Messages[0].Text, "Отчет об ошибке отправлен.\nСпасибо за участие.");
    EXPECT_EQ(boxes.Messages[0].Caption, "Вариндел");
    EXPECT_EQ(boxes.Messages[0].Icon, TMessageIcon::Information);
    EXPECT_TRUE(QFile::exists(screenFile()));
    EXPECT_FALSE(frmSendErrReport->isVisible());

    ASSERT_TRUE(server.waitForMessages(1));
    EXPECT_EQ(server.envelope(1)["rcpt_tos"].toArray(), QJsonArray({"support@varindel.test", "developer@orv.test"}));
    const QJsonObject mail = server.parsed(1);
    EXPECT_TRUE(mail["subject"].toString().startsWith("Error report. "));
    EXPECT_TRUE(mail["subject"].toString().endsWith(" Date: " + ShortDateText(QDate::currentDate())));
    const QStringList lines = mail["body"].toString().split("\r\n");
    ASSERT_GE(lines.size(), 11);
    EXPECT_EQ(lines[0], "Error report");
    EXPECT_TRUE(lines[1].startsWith("User "));
    EXPECT_TRUE(lines[5].startsWith("Карта : "));
    EXPECT_EQ(lines[6], "Дата: " + shownDate);
    EXPECT_EQ(lines[7], "Текст ошибки: Деление на ноль");
    EXPECT_EQ(lines[8], "Комментарий: Нажал «Печать»");
    EXPECT_EQ(lines[9], "и всё");
    EXPECT_TRUE(lines[10].contains("Varindel TLX Company/PluginManager.bpl")) << lines[10].toStdString();
    const QJsonArray attachments = mail["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0].toObject()["filename"].toString(), "screen.jpg");
    EXPECT_EQ(attachments[0].toObject()["jpeg"].toString(), "400 300");
}

TEST_F(ErrorReport, WithoutATemporaryFolderTheReportGoesWithoutItsScreenshot)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    TMailEnvironment environment = MailEnvironment();
    environment.TempPath.clear();
    SetMailEnvironment(environment);
    CurrentFolder here(temp.path());
    QSignalSpy finished(frmSendErrReport, &TfrmSendErrReport::ReportFinished);
    Report("Деление на ноль", [&] { frmSendErrReport->btSend->click(); });
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.first().at(0).toBool());
    ASSERT_EQ(boxes.Messages.size(), 2u);
    EXPECT_EQ(boxes.Messages[0].Text, "Временная папка программы недоступна: снимок экрана не сохранён.");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(temp.file("screen.jpg")))) << "nothing in the current folder";
    ASSERT_TRUE(server.waitForMessages(1));
    EXPECT_TRUE(server.parsed(1)["attachments"].toArray().isEmpty());
}

TEST_F(ErrorReport, CancelSendsNothingAndCommentStaysForTheNextReport)
{
    TTestSmtpServer server;
    TMailConfigFile config(server.account());
    Report("Первая ошибка", [&] {
        frmSendErrReport->mComment->setPlainText("мой комментарий");
        frmSendErrReport->btCancel->click();
    });
    EXPECT_FALSE(QFile::exists(screenFile()));
    QString commentShown;
    Report("Вторая ошибка", [&] {
        commentShown = frmSendErrReport->mComment->toPlainText();
        frmSendErrReport->btCancel->click();
    });
    EXPECT_EQ(commentShown, "мой комментарий");
    EXPECT_EQ(server.messageCount(), 0);
    EXPECT_TRUE(boxes.Messages.empty());
}

TEST_F(ErrorReport, FailedSendIsShownAndTheProgramGoesOn)
{
    TTestSmtpServer server;
    TMailAccount wrong = server.account();
    wrong.Port = ClosedPort();
    TMailConfigFile config(wrong);
    QSignalSpy finished(frmSendErrReport, &TfrmSendErrReport::ReportFinished);
    Report("Ошибка чтения", [&] { frmSendErrReport->btSend->click(); });
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_FALSE(finished.first().at(0).toBool());
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_TRUE(boxes.Messages[0].Text.startsWith("Отчет об ошибке не отправлен.\n"));
    EXPECT_TRUE(boxes.Messages[0].Text.contains("не принимает соединение"));
    EXPECT_FALSE(frmSendErrReport->isVisible());
}

TEST_F(ErrorReport, WithoutTheWindowTheErrorStillShows)
{
    delete frmSendErrReport;
    frmSendErrReport = nullptr;
    TfrmSendErrReport::HandleException("Раннее исключение");
    ASSERT_EQ(boxes.Messages.size(), 1u);
    EXPECT_EQ(boxes.Messages[0].Text, "Раннее исключение");
    EXPECT_EQ(boxes.Messages[0].Icon, TMessageIcon::Error);
}

TEST_F(ErrorReport, ScreenshotIsJpegOfLowQuality)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, QRandomGenerator::global()->generate());
    const QString low = QString::fromStdString(temp.file("low.jpg"));
    ASSERT_TRUE(SaveScreenShot(picture, low).ok());
    const QString high = QString::fromStdString(temp.file("high.jpg"));
    picture.save(high, "JPEG", 90);
    EXPECT_LT(QFileInfo(low).size() * 2, QFileInfo(high).size());
    EXPECT_EQ(QImage(low).size(), QSize(400, 300));
    EXPECT_FALSE(SaveScreenShot(picture, "/proc/no/such/folder/screen.jpg").ok());
}

TEST_F(ErrorReport, ProgressPastTheGaugeRaisesItsMaximum)
{
    TTestSmtpServer server;
    TSmtpTransport transport;
    ConnectSendProgress(&transport, TProgressStyle::Report);
    QStringList texts;
    QList<int> maxima;
    QObject::connect(&transport, &TSmtpTransport::WorkBegin,
                     [&] { maxima << frmProgress->gProgress->maximum(); });
    QObject::connect(&transport, &TSmtpTransport::Work, [&](qint64 count) {
        texts << frmProgress->lCont->text();
        EXPECT_EQ(frmProgress->gProgress->maximum(), std::max<qint64>(count, kReportGaugeMaximum));
    });
    TMailMessage message;
    message.FromAddress = "robot@varindel.test";
    message.Recipient = "support@varindel.test";
    message.Subject = "big";
    message.Body = {"x"};
    QByteArray noise(200000, Qt::Uninitialized);
    for (char& byte : noise)
        byte = static_cast<char>(QRandomGenerator::global()->generate());
    message.Attachments.push_back({"noise.bin", "application/octet-stream", noise});
    QSignalSpy finished(&transport, &TSmtpTransport::Finished);
    ASSERT_TRUE(transport.Send(server.account(), message));
    ASSERT_TRUE(finished.wait(30000));
    ASSERT_TRUE(finished.first().at(0).toBool()) << finished.first().at(1).toString().toStdString();
    EXPECT_EQ(maxima, QList<int>({kReportGaugeMaximum}));
    ASSERT_GT(texts.size(), 2);
    EXPECT_TRUE(texts.first().endsWith(" из 100000")) << texts.first().toStdString();
    const qint64 total = message.Compose().size();
    EXPECT_GT(total, 260000);
    const QString last = texts.last();
    const QStringList numbers = last.split(' ');
    ASSERT_EQ(numbers.size(), 4);
    EXPECT_EQ(numbers[1], numbers[3]) << last.toStdString();
    EXPECT_GT(numbers[1].toLongLong(), kReportGaugeMaximum);
    EXPECT_FALSE(frmProgress->isVisible());
}
