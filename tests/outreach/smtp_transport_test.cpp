// The SMTP transport against a real server on loopback.
#include "SmtpTransport.h"

#include "smtp_TestServer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QThread>
#include <QCoreApplication>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

TMailMessage Message(const TMailAccount& account)
{
    TMailMessage message;
    message.FromAddress = QString::fromStdString(account.Sender);
    message.Recipient = QString::fromStdString(account.Support);
    message.BlindCopy = QString::fromStdString(account.Developer);
    message.Subject = QStringLiteral("Отчёт: проверка связи");
    message.Body = {QStringLiteral("Строка первая"), QStringLiteral("Вторая\nи третья"), QStringLiteral(".одна точка")};
    return message;
}

QByteArray NoisyJpeg(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, QRandomGenerator::global()->generate());
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", 20);
    return data;
}

struct TSendResult {
    bool Finished = false;
    bool Ok = false;
    QString Error;
};

TSendResult SendAndWait(TSmtpTransport& transport, const TMailAccount& account, const TMailMessage& message)
{
    QSignalSpy finished(&transport, &TSmtpTransport::Finished);
    EXPECT_TRUE(transport.Send(account, message));
    TSendResult result;
    result.Finished = finished.wait(30000);
    if (result.Finished) {
        result.Ok = finished.first().at(0).toBool();
        result.Error = finished.first().at(1).toString();
    }
    return result;
}

} // namespace

TEST(SmtpTransport, DeliversToRecipientAndBlindCopyWithLogin)
{
    TTestSmtpServer server;
    TSmtpTransport transport;
    TMailMessage message = Message(server.account());
    message.Attachments.push_back({"screen.jpg", "image/jpeg", NoisyJpeg(64, 48)});
    const TSendResult result = SendAndWait(transport, server.account(), message);
    ASSERT_TRUE(result.Finished);
    ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    ASSERT_TRUE(server.waitForMessages(1));

    const QJsonObject envelope = server.envelope(1);
    EXPECT_EQ(envelope["mail_from"].toString(), "robot@varindel.test");
    EXPECT_EQ(envelope["rcpt_tos"].toArray(), QJsonArray({"support@varindel.test", "developer@orv.test"}));
    EXPECT_EQ(envelope["mechanism"].toString(), "LOGIN");
    EXPECT_EQ(envelope["login"].toString(), "vdlmail");

    const QJsonObject parsed = server.parsed(1);
    EXPECT_EQ(parsed["subject"].toString(), QStringLiteral("Отчёт: проверка связи"));
    EXPECT_EQ(parsed["from_name"].toString(), "Varindel");
    EXPECT_EQ(parsed["to"].toArray(), QJsonArray({"support@varindel.test"}));
    EXPECT_FALSE(parsed["has_bcc"].toBool());
    EXPECT_EQ(parsed["charset"].toString(), "utf-8");
    EXPECT_EQ(parsed["body"].toString(), QStringLiteral("Строка первая\r\nВторая\r\nи третья\r\n.одна точка\r\n"));
    const QJsonArray attachments = parsed["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0].toObject()["filename"].toString(), "screen.jpg");
    EXPECT_EQ(attachments[0].toObject()["jpeg"].toString(), "64 48");
}

TEST(SmtpTransport, UsesStartTlsWhenTheServerOffersIt)
{
    TTestSmtpServer::Options options;
    options.StartTls = true;
    TTestSmtpServer server(options);
    TSmtpTransport transport;
    const TSendResult result = SendAndWait(transport, server.account(), Message(server.account()));
    ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    ASSERT_TRUE(server.waitForMessages(1));
    EXPECT_TRUE(server.envelope(1)["tls"].toBool());
    EXPECT_EQ(server.parsed(1)["subject"].toString(), QStringLiteral("Отчёт: проверка связи"));
}

TEST(SmtpTransport, RefusedLoginAndClosedPortGiveTheirReasons)
{
    TTestSmtpServer server;
    TMailAccount wrong = server.account();
    wrong.Password = "WRONG999";
    TSmtpTransport transport;
    TSendResult result = SendAndWait(transport, wrong, Message(wrong));
    ASSERT_TRUE(result.Finished);
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.Error.contains("не принял имя пользователя или пароль")) << result.Error.toStdString();
    EXPECT_FALSE(result.Error.contains("WRONG999")) << "the password must not appear in messages";

    TMailAccount closed = server.account();
    closed.Port = ClosedPort();
    result = SendAndWait(transport, closed, Message(closed));
    ASSERT_TRUE(result.Finished);
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.Error.contains("не принимает соединение")) << result.Error.toStdString();
    EXPECT_EQ(server.messageCount(), 0);
}

TEST(SmtpTransport, ProgressRunsToTheWholeMessageOnTheGuiThread)
{
    TTestSmtpServer server;
    TSmtpTransport transport;
    TMailMessage message = Message(server.account());
    message.Attachments.push_back({"big.jpg", "image/jpeg", NoisyJpeg(400, 300)});
    const qint64 total = message.Compose().size();
    QStringList events;
    QList<qint64> counts;
    QObject::connect(&transport, &TSmtpTransport::WorkBegin, [&](qint64 announced) {
        events << "begin";
        EXPECT_NEAR(static_cast<double>(announced), static_cast<double>(total), 200.0);
        EXPECT_EQ(QThread::currentThread(), qApp->thread());
    });
    QObject::connect(&transport, &TSmtpTransport::Work, [&](qint64 count) { counts << count; });
    QObject::connect(&transport, &TSmtpTransport::WorkEnd, [&] { events << "end"; });
    QObject::connect(&transport, &TSmtpTransport::Finished, [&] { events << "finished"; });
    const TSendResult result = SendAndWait(transport, server.account(), message);
    ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    EXPECT_EQ(events, QStringList({"begin", "end", "finished"}));
    ASSERT_GT(counts.size(), 1);
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_NEAR(static_cast<double>(counts.last()), static_cast<double>(total), 200.0);
}

TEST(SmtpTransport, TwoMessagesEachOverTheirOwnConnection)
{
    TTestSmtpServer server;
    TSmtpTransport transport;
    EXPECT_TRUE(SendAndWait(transport, server.account(), Message(server.account())).Ok);
    EXPECT_TRUE(SendAndWait(transport, server.account(), Message(server.account())).Ok);
    EXPECT_TRUE(server.waitForMessages(2));
}

TEST(SmtpTransport, ClosingDuringASilentServerDoesNotHang)
{
    TSilentListener silent;
    silent.listen();
    TMailAccount account;
    account.Server = "127.0.0.1";
    account.Port = silent.port();
    account.Sender = "a@b.c";
    account.Support = "s@b.c";
    QElapsedTimer clock;
    {
        TSmtpTransport transport;
        ASSERT_TRUE(transport.Send(account, Message(account)));
        EXPECT_FALSE(transport.Send(account, Message(account))) << "one send at a time";
        QThread::msleep(300);
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 5000);
}
