// Hostile texts in the mail forms and the error comment, sent to the loopback
// server and read back with Python's email package: no header and no
// recipient can be added, and the reader sees the text as typed.
#include "MailAccount.h"
#include "MailMessage.h"
#include "MailTexts.h"
#include "SmtpTransport.h"
#include "smtp_TestServer.h"

#include <QJsonArray>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const QStringList& payloads()
{
    static const QStringList all = {
        "'; DROP TABLE Firms; --",
        "\" OR 1=1 --",
        "<b>&amp;</td><script>",
        "x\r\nBcc: evil@example.org\r\nSubject: подмена",
        "x\nTo: evil@example.org",
        "\r\n.\r\nMAIL FROM:<evil@example.org>\r\n",
        QString("до") + QChar(0) + "после",
        QString::fromUtf8("\xff\xfe\xc3"),
        QString(100000, QChar(u'ж')),
    };
    return all;
}

// Only the error comment takes a text of 100,000 characters: in every field
// it would make a message of megabytes that shows nothing more.
bool inEveryField(const QString& text)
{
    return text.size() <= 1000;
}

// A message of the program with `text` in every field a user types, and in
// the subject and the sender's name besides, whose line breaks arrive as blanks.
TMailMessage messageWith(const TMailAccount& account, const QString& text)
{
    const QString field = inEveryField(text) ? text : QStringLiteral("поле");
    const QString& comment = text;
    const TSystemFacts facts{field, field, "Debian GNU/Linux 12", "Версия: 1.0.0.0", "Ольмарск"};
    TMailMessage message;
    message.FromName = field;
    message.FromAddress = QString::fromStdString(account.Sender);
    message.Recipient = QString::fromStdString(account.Support);
    message.BlindCopy = QString::fromStdString(account.Developer);
    message.Subject = field;
    message.Body = PublishBody({field, field, field, field, field, field, field, field}, facts) +
                   NoteBody(field, field, field, facts) + ErrorReportBody(facts, field, field, comment, field);
    return message;
}

bool sent(TSmtpTransport& transport, const TMailAccount& account, const TMailMessage& message)
{
    QSignalSpy finished(&transport, &TSmtpTransport::Finished);
    return transport.Send(account, message) && finished.wait(30000) && finished.first().at(0).toBool();
}

QString normalBreaks(QString text)
{
    return text.replace("\r\n", "\n").replace('\r', '\n');
}

} // namespace

TEST(InjectedMail, NoHeaderOrRecipientCanBeTypedInAndTheTextArrivesAsTyped)
{
    TTestSmtpServer server;
    TSmtpTransport transport;
    const TMailAccount account = server.account();
    const auto fieldsInBody = messageWith(account, "☃").BodyText().count("☃");
    for (int i = 0; i < payloads().size(); ++i) {
        const QString typed = payloads()[i];
        const std::string name = typed.left(40).toStdString();
        ASSERT_TRUE(sent(transport, account, messageWith(account, typed))) << name;
        ASSERT_TRUE(server.waitForMessages(i + 1)) << name;

        const QJsonObject envelope = server.envelope(i + 1);
        EXPECT_EQ(envelope["rcpt_tos"].toArray().toVariantList(),
                  QVariantList({QString::fromStdString(account.Support), QString::fromStdString(account.Developer)}))
            << name;
        const QJsonObject parsed = server.parsed(i + 1);
        EXPECT_FALSE(parsed["has_bcc"].toBool()) << name;
        EXPECT_FALSE(parsed["has_cc"].toBool()) << name;
        EXPECT_EQ(parsed["to"].toArray().toVariantList(), QVariantList({QString::fromStdString(account.Support)}))
            << name;
        EXPECT_EQ(parsed["from_address"].toString().toStdString(), account.Sender) << name;
        if (inEveryField(typed)) {
            // Readers drop the blanks around a header's text.
            const QString header = QString(typed).replace("\r\n", " ").replace('\n', ' ').trimmed();
            EXPECT_EQ(parsed["subject"].toString().trimmed().toStdString(), header.toStdString()) << name;
        }
        const QString body = normalBreaks(parsed["body"].toString());
        EXPECT_EQ(body.count(normalBreaks(typed)), inEveryField(typed) ? fieldsInBody : 1) << name;
    }
}

TEST(InjectedMail, ConfigurationValuesThatWouldReachCommandsOrHeadersAreRefused)
{
    for (const char* key : {"server", "user", "sender", "support", "developer"})
        for (const QString& value : payloads()) {
            // Mark-up is harmless in the server's name and the login, which
            // reach no header; an address may hold no "<" at all.
            if (value.startsWith('<') && (key == std::string("server") || key == std::string("user")))
                continue;
            const std::string line = std::string(key) + " = a@b.ru" + value.toStdString() + "\n";
            EXPECT_FALSE(ParseMailConfig(line, DefaultMailAccount()).ok()) << key << " " << value.left(40).toStdString();
        }
}
