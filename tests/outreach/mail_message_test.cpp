// Composition of messages, the texts they carry and the mail configuration.
#include "MailAccount.h"
#include "MailMessage.h"
#include "MailProgress.h"
#include "MailTexts.h"

#include "TestEnvironment.h"
#include "smtp_TestServer.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TSystemFacts Facts()
{
    return {"Иван Петров", "ООО Ромашка", "Debian GNU/Linux 12", "Версия: 1.2.3.4", "Ольмарск"};
}

QStringList HeaderLines(const QByteArray& message)
{
    const QByteArray head = message.left(message.indexOf("\r\n\r\n"));
    return QString::fromLatin1(head).split("\r\n");
}

} // namespace

TEST(MailHeaderText, PlainAsciiStaysAsItIs)
{
    EXPECT_EQ(EncodeHeaderText("Client. Date: 01.02.2025"), QByteArray("Client. Date: 01.02.2025"));
}

TEST(MailHeaderText, CyrillicIsSplitIntoShortWholeCharacterWords)
{
    const QString subject = QString("Отчёт об ошибке — длинная тема письма, которая не помещается в одно слово").repeated(2);
    const QByteArray encoded = EncodeHeaderText(subject);
    QByteArray decoded;
    for (const QByteArray& word : encoded.split('\n')) {
        const QByteArray trimmed = word.trimmed();
        EXPECT_LE(trimmed.size(), 75);
        ASSERT_TRUE(trimmed.startsWith("=?UTF-8?B?") && trimmed.endsWith("?="));
        const QByteArray piece = QByteArray::fromBase64(trimmed.mid(10, trimmed.size() - 12));
        EXPECT_EQ(QString::fromUtf8(piece).toUtf8(), piece) << "a character was cut in two";
        decoded += piece;
    }
    EXPECT_EQ(QString::fromUtf8(decoded), subject);
}

TEST(MailMailbox, QuotedOrEncodedDisplayName)
{
    EXPECT_EQ(FormatMailbox("Varindel", "a@b.ru"), QByteArray("\"Varindel\" <a@b.ru>"));
    EXPECT_EQ(FormatMailbox("Вариндел", "a@b.ru"), QByteArray("=?UTF-8?B?") + QString("Вариндел").toUtf8().toBase64() + "?= <a@b.ru>");
}

TEST(MailCompose, HeadersCarryNoBlindCopyAndBodyIsUtf8)
{
    TMailMessage message;
    message.FromAddress = "robot@varindel.ru";
    message.Recipient = "support@varindel.ru";
    message.BlindCopy = "dev@orv.ru";
    message.Subject = "Varindel. Note";
    message.Body = {"Контент: ошибка", "Комментарий: первая\nвторая"};
    const QByteArray text = message.Compose();
    const QStringList headers = HeaderLines(text);
    EXPECT_TRUE(headers.contains("From: \"Varindel\" <robot@varindel.ru>"));
    EXPECT_TRUE(headers.contains("To: <support@varindel.ru>"));
    EXPECT_TRUE(headers.contains("Subject: Varindel. Note"));
    EXPECT_TRUE(headers.contains("Content-Type: text/plain; charset=UTF-8"));
    EXPECT_FALSE(text.contains("dev@orv.ru")) << "the blind copy must travel in the envelope only";
    EXPECT_EQ(message.EnvelopeRecipients(), QStringList({"support@varindel.ru", "dev@orv.ru"}));
    EXPECT_EQ(message.BodyText(), QString("Контент: ошибка\r\nКомментарий: первая\r\nвторая\r\n"));
    for (const QString& line : QString::fromLatin1(text).split("\r\n"))
        EXPECT_LE(line.size(), 998);
}

TEST(MailConfig, LinesReplaceTheDefaults)
{
    const auto account = ParseMailConfig("# provider\nserver = smtp.example.org\n\nport=587\nuser= u1\ncafile = /x.pem\n",
                                         DefaultMailAccount());
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    EXPECT_EQ(account.value().Server, "smtp.example.org");
    EXPECT_EQ(account.value().Port, 587);
    EXPECT_EQ(account.value().User, "u1");
    EXPECT_EQ(account.value().CaFile, "/x.pem");
    EXPECT_EQ(account.value().Support, DefaultMailAccount().Support);
}

TEST(MailConfig, MistakesNameTheirLine)
{
    const auto unknown = ParseMailConfig("server = a\nsevrer = b\n", DefaultMailAccount());
    ASSERT_FALSE(unknown.ok());
    EXPECT_TRUE(unknown.error().contains("строка 2")) << unknown.error().toStdString();
    EXPECT_TRUE(unknown.error().contains("sevrer"));
    EXPECT_FALSE(ParseMailConfig("port = 70000\n", DefaultMailAccount()).ok());
    EXPECT_FALSE(ParseMailConfig("port = 25x\n", DefaultMailAccount()).ok());
    EXPECT_FALSE(ParseMailConfig("just words\n", DefaultMailAccount()).ok());
}

TEST(MailConfig, AnAddressThatWouldBreakTheHeadersIsRefusedWithItsLine)
{
    const std::string injected = "server = smtp.example.org\n# the publisher\nsupport = a@example.org\rBcc: x@evil.org\n";
    const auto account = ParseMailConfig(injected, DefaultMailAccount());
    ASSERT_FALSE(account.ok()) << "a CR inside the value would start a header of its own";
    EXPECT_TRUE(account.error().startsWith("Ошибка в настройках почты, строка 3: ")) << account.error().toStdString();
    EXPECT_TRUE(account.error().contains("support"));

    EXPECT_FALSE(ParseMailConfig("sender = почта@пример.рф\n", DefaultMailAccount()).ok()) << "no letters beyond ASCII";
    EXPECT_FALSE(ParseMailConfig("developer = a@b.ru>, <c@d.ru\n", DefaultMailAccount()).ok());
    EXPECT_FALSE(ParseMailConfig("user = a\x01b\n", DefaultMailAccount()).ok());
    EXPECT_FALSE(ParseMailConfig("server = smtp.example.org\rRCPT\n", DefaultMailAccount()).ok());
    EXPECT_TRUE(ParseMailConfig("support = help+orders@mail.example-1.org\npassword = пароль с пробелом\n",
                                DefaultMailAccount())
                    .ok())
        << "a password never reaches a header";
}

TEST(MailConfig, DefaultsWithoutFileAndFileWhenPresent)
{
    TemporaryFolder folder;
    qputenv(kMailConfigVariable, QByteArray::fromStdString(folder.file("none.conf")));
    auto account = LoadMailAccount();
    ASSERT_TRUE(account.ok());
    EXPECT_EQ(account.value().Server, DefaultMailAccount().Server);
    EXPECT_EQ(account.value().User.size(), 7u);
    EXPECT_EQ(account.value().Password.size(), 8u);
    qunsetenv(kMailConfigVariable);
    EXPECT_EQ(MailConfigPath(), "/etc/varindel/mail.conf");

    TMailAccount other = DefaultMailAccount();
    other.Server = "mx.example.net";
    other.Port = 2525;
    TMailConfigFile config(other);
    account = LoadMailAccount();
    ASSERT_TRUE(account.ok());
    EXPECT_EQ(account.value().Server, "mx.example.net");
    EXPECT_EQ(account.value().Port, 2525);
}

TEST(MailTexts, PublishRequiredFieldsInOrderAndBlankCounts)
{
    EXPECT_EQ(PublishValidationMessages({}),
              QStringList({"Заполните название организации", "Укажите ваше Фио", "Укажите вид деятельности",
                           "Заполните краткое описание"}));
    TPublishFields fields;
    fields.NameFirm = " ";
    fields.KindAct = "Кафе";
    EXPECT_EQ(PublishValidationMessages(fields), QStringList({"Укажите ваше Фио", "Заполните краткое описание"}));
}

TEST(MailTexts, PublishBodyLinesAndFacts)
{
    TPublishFields fields{"Ромашка", "Иванов И.И.", "", "ул. Ленина, 1", "", "r@r.ru", "Кафе", "Уютное\nкафе"};
    EXPECT_EQ(PublishBody(fields, Facts()),
              QStringList({"Потенциальный клиент", "Ф.И.О.: Иванов И.И.", "Название фирмы: Ромашка",
                           "Вид деятельности: Кафе", "Телефон: ", "Адрес фирмы: ул. Ленина, 1", "Сайт: ",
                           "Почта: r@r.ru", "Краткое описание(инфо): Уютное\nкафе", "User Иван Петров",
                           "Company ООО Ромашка", "Version OS: Debian GNU/Linux 12",
                           "Версия Вариндела: Версия: 1.2.3.4", "Карта : Ольмарск"}));
}

TEST(MailTexts, SubjectsCarryTheDateOnly)
{
    const QDate day(2025, 3, 9);
    const QString subject = PublishSubject(day);
    EXPECT_EQ(subject, "Client. Date: " + ShortDateText(day));
    EXPECT_FALSE(QRegularExpression("\\d+:\\d+").match(subject).hasMatch()) << "no time: " << subject.toStdString();
    EXPECT_EQ(NoteSubject(), "Varindel. Note");
    EXPECT_EQ(ErrorReportSubject("host1", day), "Error report. host1 Date: " + ShortDateText(day));
}

TEST(MailTexts, ReturnAddressNeedsAtAndFullStopAnywhere)
{
    EXPECT_TRUE(IsAcceptableEmail("@."));
    EXPECT_TRUE(IsAcceptableEmail(".@"));
    EXPECT_TRUE(IsAcceptableEmail("ivan@mail.ru"));
    EXPECT_FALSE(IsAcceptableEmail("ivan.mail.ru"));
    EXPECT_FALSE(IsAcceptableEmail("ivan@mailru"));
    EXPECT_FALSE(IsAcceptableEmail(""));
}

TEST(MailTexts, NoteAndReportBodies)
{
    EXPECT_EQ(NoteBody("ошибка", "текст", "a@b.c", Facts()).mid(0, 4),
              QStringList({"Контент: ошибка", "Комментарий: текст", "Обратный email: a@b.c", "User Иван Петров"}));
    const QStringList report = ErrorReportBody(Facts(), "01.02.2025 10:11:12", "Деление на ноль", "жал кнопку", "файлы");
    ASSERT_EQ(report.size(), 10);
    EXPECT_EQ(report[0], "Error report");
    EXPECT_EQ(report[5], "Карта : Ольмарск");
    EXPECT_EQ(report[6], "Дата: 01.02.2025 10:11:12");
    EXPECT_EQ(report[7], "Текст ошибки: Деление на ноль");
    EXPECT_EQ(report[8], "Комментарий: жал кнопку");
    EXPECT_EQ(report[9], "файлы");
}

TEST(MailTexts, FileLineNamesBothFilesWithTheirTimes)
{
    TemporaryFolder folder;
    const QString edition = QString::fromStdString(folder.file("Olmarsk.vdb"));
    QFile(edition).open(QIODevice::WriteOnly);
    const QDateTime stamp(QDate(2024, 5, 17), QTime(13, 45, 10));
    ASSERT_TRUE(SetFileDate(edition.toStdString(), FileTimeToDateTime(stamp.toSecsSinceEpoch())));
    const QString line = ErrorReportFileLine(edition, QString::fromStdString(folder.path()));
    const QString package = QString::fromStdString(folder.path()) + "/Varindel TLX Company/PluginManager.bpl";
    EXPECT_TRUE(line.startsWith(edition + ' ' + DateTimeText(stamp) + ' ' + package + ' ')) << line.toStdString();
    EXPECT_TRUE(DateTimeText(stamp).contains("13:45:10")) << DateTimeText(stamp).toStdString();
}

TEST(MailProgressText, MaximumRisesWithTheCount)
{
    EXPECT_EQ(RaisedMaximum(5000, kReportGaugeMaximum), kReportGaugeMaximum);
    EXPECT_EQ(RaisedMaximum(123456, kReportGaugeMaximum), 123456);
    EXPECT_EQ(TransferredText(123456, 123456), "Передано 123456 из 123456");
}

TEST(MailTexts, FailureNamesTheReason)
{
    EXPECT_EQ(SendFailureText("Почтовый сервер молчит."),
              "Невозможно отправить заявку\nПроверьте ваше подключение к интернету или отключите брандмауэр))\n\n"
              "Почтовый сервер молчит.");
}
