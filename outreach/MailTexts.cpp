#include "MailTexts.h"

#include "Vdlconsts.h"

#include <QLocale>

TSystemFacts CollectSystemFacts(const QString& versionProgram, int edition)
{
    TSystemFacts facts;
    facts.User = QString::fromStdString(GetUserName());
    facts.Company = QString::fromStdString(GetCompanyName());
    facts.OperatingSystem = QString::fromStdString(DetectWinVersionStr());
    facts.VersionProgram = versionProgram;
    if (edition >= 1 && edition <= kEditionCount)
        facts.Map = QString::fromUtf8(MapDescriptions[static_cast<std::size_t>(edition)]);
    return facts;
}

QStringList SystemFactsLines(const TSystemFacts& facts)
{
    return {QStringLiteral("User ") + facts.User, QStringLiteral("Company ") + facts.Company,
            QStringLiteral("Version OS: ") + facts.OperatingSystem,
            QStringLiteral("Версия Вариндела: ") + facts.VersionProgram, QStringLiteral("Карта : ") + facts.Map};
}

QStringList PublishValidationMessages(const TPublishFields& fields)
{
    QStringList messages;
    if (fields.NameFirm.isEmpty())
        messages.append(QStringLiteral("Заполните название организации"));
    if (fields.FIO.isEmpty())
        messages.append(QStringLiteral("Укажите ваше Фио"));
    if (fields.KindAct.isEmpty())
        messages.append(QStringLiteral("Укажите вид деятельности"));
    if (fields.Note.isEmpty())
        messages.append(QStringLiteral("Заполните краткое описание"));
    return messages;
}

QStringList PublishBody(const TPublishFields& fields, const TSystemFacts& facts)
{
    return QStringList{QStringLiteral("Потенциальный клиент"),
                       QStringLiteral("Ф.И.О.: ") + fields.FIO,
                       QStringLiteral("Название фирмы: ") + fields.NameFirm,
                       QStringLiteral("Вид деятельности: ") + fields.KindAct,
                       QStringLiteral("Телефон: ") + fields.Phone,
                       QStringLiteral("Адрес фирмы: ") + fields.Addr,
                       QStringLiteral("Сайт: ") + fields.Site,
                       QStringLiteral("Почта: ") + fields.Mail,
                       QStringLiteral("Краткое описание(инфо): ") + fields.Note} +
           SystemFactsLines(facts);
}

QString PublishSubject(const QDate& today)
{
    return QStringLiteral("Client. Date: ") + ShortDateText(today);
}

bool IsAcceptableEmail(const QString& text)
{
    return text.contains('@') && text.contains('.');
}

QStringList NoteBody(const QString& content, const QString& comment, const QString& email,
                     const TSystemFacts& facts)
{
    return QStringList{QStringLiteral("Контент: ") + content, QStringLiteral("Комментарий: ") + comment,
                       QStringLiteral("Обратный email: ") + email} +
           SystemFactsLines(facts);
}

QString NoteSubject()
{
    return QStringLiteral("Varindel. Note");
}

QStringList ErrorReportBody(const TSystemFacts& facts, const QString& dateTime, const QString& errorText,
                            const QString& comment, const QString& fileLine)
{
    return QStringList{QStringLiteral("Error report")} + SystemFactsLines(facts) +
           QStringList{QStringLiteral("Дата: ") + dateTime, QStringLiteral("Текст ошибки: ") + errorText,
                       QStringLiteral("Комментарий: ") + comment, fileLine};
}

QString ErrorReportSubject(const QString& computerName, const QDate& today)
{
    return QStringLiteral("Error report. ") + computerName + QStringLiteral(" Date: ") + ShortDateText(today);
}

QString ErrorReportFileLine(const QString& editionFile, const QString& appDataPath)
{
    const QString package =
        QString::fromStdString(SlashMust(appDataPath.toStdString())) + QStringLiteral("Varindel TLX Company/PluginManager.bpl");
    return editionFile + ' ' + FileDateTimeText(GetFileDateTime(editionFile.toStdString())) + ' ' + package + ' ' +
           FileDateTimeText(GetFileDateTime(package.toStdString()));
}

QString ShortDateText(const QDate& date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

namespace {

// The long time format of the locale without its time-zone part, which the
// program never showed in its dates.
QString LongTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove('t');
    return format.trimmed();
}

} // namespace

QString DateTimeText(const QDateTime& moment)
{
    return ShortDateText(moment.date()) + ' ' + QLocale::system().toString(moment.time(), LongTimeFormat());
}

QString FileDateTimeText(TDateTime dateTime)
{
    return DateTimeText(QDateTime::fromSecsSinceEpoch(DateTimeToFileTime(dateTime)));
}

QString SendFailureText(const QString& reason)
{
    QString text = kSendImpossible + '\n' + kCheckConnection;
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    return text;
}
