// The diary: for every calendar day a free-text note and a list of buildings
// picked on the map, kept at once in the per-user registry under the day's
// number (days since 30 December 1899, so 1 January 2008 is 39448). The list
// is the diary page's lines of the firm list box, joined by CR LF.
#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class MapEngine;
class QCalendarWidget;
class QPlainTextEdit;
class THTMListBox;
struct TPMXMapObjectMem;

int DiaryDayKey(const QDate& day);

// The first line of every day's list: a link that adds the map's selected building.
QString DiaryAddLine();
// The line of a building, with its own "DiaryDel" link.
QString DiaryBuildingLine(const TPMXMapObjectMem& object);
bool IsDiaryBuildingLine(const QString& line);

// Joined by CR LF; split at CR LF, LF or CR, a break at the very end starting no line.
QString JoinDiaryLines(const QStringList& lines);
QStringList SplitDiaryLines(const QString& text);

// The registry side: notes under one prefix, building lists under another.
class TDiaryStore {
public:
    TDiaryStore(std::string notesPrefix, std::string objectsPrefix);

    // None when the day has no note stored (or it cannot be read).
    std::optional<QString> Note(const QDate& day) const;
    void SetNote(const QDate& day, const QString& note) const;
    // The stored lines; just the "Добавьте" line when the day has none.
    QStringList Lines(const QDate& day) const;
    void SetLines(const QDate& day, const QStringList& lines) const;

private:
    std::string notesPrefix_;
    std::string objectsPrefix_;
};

// Sets the calendar the diary way: weeks start on Monday, today selected.
void SetupDiaryCalendar(QCalendarWidget& calendar);

// The diary page over its calendar, the note memo and the firm list box.
// A change of the calendar's day shows that day; every change of the note is
// written at once; the list is written after every addition and deletion.
class TDiary : public QObject {
    Q_OBJECT
public:
    TDiary(QCalendarWidget& calendar, QPlainTextEdit& mDiary, THTMListBox& lbFirms, MapEngine& map,
           TDiaryStore store, QObject* parent = nullptr);

    // Shows the calendar day's note and buildings.
    void Refresh();
    // Appends the map's current object when it is a building; false otherwise.
    bool AddBuilding();
    // Asks, then removes the list's selected building line; false when
    // nothing was removed.
    bool DeleteSelected();

    // Answers a yes/no question (caption, text); a message box unless set.
    std::function<bool(const QString& caption, const QString& text)> Ask;

private:
    void noteChanged();
    void saveLines();
    QStringList lines() const;

    QCalendarWidget& calendar_;
    QPlainTextEdit& memo_;
    THTMListBox& list_;
    MapEngine& map_;
    TDiaryStore store_;
    bool refreshing_ = false;
};
