// The diary as an iCalendar file: one all-day event per day that holds a
// note or buildings.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// A day as the diary keeps it: the note and the list's mark-up lines.
struct StoredDiaryDay {
    QDate day;
    QString note;
    QStringList lines;
};

// Every day stored under either registry prefix, in date order.
std::vector<StoredDiaryDay> ReadDiaryDays(const std::string& notesPrefix, const std::string& objectsPrefix);

struct DiaryDay {
    QDate day;
    QString note;
    QStringList buildings; // "street, house"
};

// The events, days with neither a note nor buildings left out: the summary
// is the note's first line (or the first building), the description the
// whole note and then the buildings, one a line. stamp is when the file is
// made (DTSTAMP).
QByteArray DiaryICalendar(const std::vector<DiaryDay>& days, const QDateTime& stamp);
