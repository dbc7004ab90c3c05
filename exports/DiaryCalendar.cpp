#include "DiaryCalendar.h"

#include "FirmListFiles.h"
#include "Minireg.h"

#include <QRegularExpression>

#include <map>

namespace {

// Days are kept under their number of days since 30 December 1899.
const QDate kDayZero(1899, 12, 30);

std::string keyOf(const std::string& prefix)
{
    return !prefix.empty() && prefix.back() == '\\' ? prefix.substr(0, prefix.size() - 1) : prefix;
}

// The stored days' numbers under a prefix, each with its text.
std::map<int, QString> storedValues(const std::string& prefix)
{
    std::map<int, QString> values;
    std::string names;
    if (!RegEnumValues(HKEY_CURRENT_USER, keyOf(prefix), names))
        return values;
    for (const QString& name : QString::fromStdString(names).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = name.toInt(&ok);
        std::string value;
        if (ok && RegGetString(HKEY_CURRENT_USER, prefix + name.toStdString(), value))
            values[number] = QString::fromStdString(value);
    }
    return values;
}

QString firstLine(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
    return text.section(lineBreak, 0, 0).trimmed();
}

QString summaryOf(const DiaryDay& day)
{
    QString fromNote = firstLine(day.note);
    if (!fromNote.isEmpty())
        return fromNote;
    return day.buildings.isEmpty() ? QStringLiteral("Дневник") : day.buildings.front();
}

QString descriptionOf(const DiaryDay& day)
{
    QStringList parts;
    if (!day.note.trimmed().isEmpty())
        parts << day.note;
    if (!day.buildings.isEmpty())
        parts << QStringLiteral("Здания:\n") + day.buildings.join(QLatin1Char('\n'));
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace

std::vector<StoredDiaryDay> ReadDiaryDays(const std::string& notesPrefix, const std::string& objectsPrefix)
{
    std::map<int, StoredDiaryDay> days;
    for (const auto& [number, note] : storedValues(notesPrefix))
        days[number].note = note;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    for (const auto& [number, list] : storedValues(objectsPrefix))
        days[number].lines = list.split(lineBreak, Qt::SkipEmptyParts);
    std::vector<StoredDiaryDay> result;
    for (auto& [number, day] : days) {
        day.day = kDayZero.addDays(number);
        result.push_back(std::move(day));
    }
    return result;
}

QByteArray DiaryICalendar(const std::vector<DiaryDay>& days, const QDateTime& stamp)
{
    QByteArray calendar;
    const auto add = [&calendar](const QString& line) { calendar += FoldedContentLine(line); };
    add(QStringLiteral("BEGIN:VCALENDAR"));
    add(QStringLiteral("VERSION:2.0"));
    add(QStringLiteral("PRODID:-//Varindel TLX Company//Вариндел//RU"));
    add(QStringLiteral("CALSCALE:GREGORIAN"));
    const QString stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (const DiaryDay& day : days) {
        if (day.note.trimmed().isEmpty() && day.buildings.isEmpty())
            continue;
        const QString date = day.day.toString(QStringLiteral("yyyyMMdd"));
        add(QStringLiteral("BEGIN:VEVENT"));
        add(QStringLiteral("UID:diary-%1@varindel").arg(date));
        add(QStringLiteral("DTSTAMP:") + stampText);
        add(QStringLiteral("DTSTART;VALUE=DATE:") + date);
        add(QStringLiteral("DTEND;VALUE=DATE:") + day.day.addDays(1).toString(QStringLiteral("yyyyMMdd")));
        add(QStringLiteral("SUMMARY:") + ContentLineText(summaryOf(day)));
        add(QStringLiteral("DESCRIPTION:") + ContentLineText(descriptionOf(day)));
        add(QStringLiteral("TRANSP:TRANSPARENT"));
        add(QStringLiteral("END:VEVENT"));
    }
    add(QStringLiteral("END:VCALENDAR"));
    return calendar;
}
