// What the program writes in its mail: the body lines of the publication
// request, the note and the error report, the block of facts about the
// machine that ends each of them, the subjects, and the outcome messages.
#pragma once

#include "Vdlutils.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct TSystemFacts {
    QString User;
    QString Company;
    QString OperatingSystem;
    QString VersionProgram; // begins with "Версия: "
    QString Map;            // the open edition's description
};

struct TPublishFields {
    QString NameFirm;
    QString FIO;
    QString Phone;
    QString Addr;
    QString Site;
    QString Mail;
    QString KindAct;
    QString Note;
};

// The facts of this machine, with the version text and edition given by the caller.
TSystemFacts CollectSystemFacts(const QString& versionProgram, int edition);
QStringList SystemFactsLines(const TSystemFacts& facts);

// The required fields left empty, as their messages, in the order the user is told.
QStringList PublishValidationMessages(const TPublishFields& fields);
QStringList PublishBody(const TPublishFields& fields, const TSystemFacts& facts);
QString PublishSubject(const QDate& today);

// A return address is taken when it has an "@" and a "." anywhere.
bool IsAcceptableEmail(const QString& text);
QStringList NoteBody(const QString& content, const QString& comment, const QString& email,
                     const TSystemFacts& facts);
QString NoteSubject();

QStringList ErrorReportBody(const TSystemFacts& facts, const QString& dateTime, const QString& errorText,
                            const QString& comment, const QString& fileLine);
QString ErrorReportSubject(const QString& computerName, const QDate& today);
// "<edition file> <its time> <app data>/Varindel TLX Company/PluginManager.bpl <its time>".
QString ErrorReportFileLine(const QString& editionFile, const QString& appDataPath);

// Dates and times as the system shows them: short date, long time (no time zone).
QString ShortDateText(const QDate& date);
QString DateTimeText(const QDateTime& moment);
QString FileDateTimeText(TDateTime dateTime);

inline const QString kSendAccepted = QStringLiteral("Ваша заявка будет рассмотрена");
inline const QString kSendImpossible = QStringLiteral("Невозможно отправить заявку");
inline const QString kCheckConnection =
    QStringLiteral("Проверьте ваше подключение к интернету или отключите брандмауэр))");
inline const QString kReportSent = QStringLiteral("Отчет об ошибке отправлен.");
inline const QString kThanksForTakingPart = QStringLiteral("Спасибо за участие.");
inline const QString kReportNotSent = QStringLiteral("Отчет об ошибке не отправлен.");

// The message after a failed send: the two fixed sentences and the reason.
QString SendFailureText(const QString& reason);
