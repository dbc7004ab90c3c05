#include "Diary.h"

#include "Buildings.h"
#include "MapEngine.h"
#include "Minireg.h"
#include "THTMListBox.h"

#include <QCalendarWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

const QDate kDayZero(1899, 12, 30);
const QString kDeleteAnchor = "<A href=\"DiaryDel\"> - Удалить</A>";

bool askWithMessageBox(const QString& caption, const QString& text) {
    return QMessageBox::question(nullptr, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace

int DiaryDayKey(const QDate& day) {
    return static_cast<int>(kDayZero.daysTo(day));
}

QString DiaryAddLine() {
    return "<A href=\"Diary\">Добавьте</A> выделенный объект на карте";
}

QString DiaryBuildingLine(const TPMXMapObjectMem& object) {
    return HouseLine(object) + kDeleteAnchor;
}

bool IsDiaryBuildingLine(const QString& line) {
    return line.endsWith(kDeleteAnchor);
}

QString JoinDiaryLines(const QStringList& lines) {
    return lines.join("\r\n");
}

QStringList SplitDiaryLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression("\r\n|\n|\r"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

TDiaryStore::TDiaryStore(std::string notesPrefix, std::string objectsPrefix)
    : notesPrefix_(std::move(notesPrefix)), objectsPrefix_(std::move(objectsPrefix)) {}

namespace {

std::string dayPath(const std::string& prefix, const QDate& day) {
    return prefix + std::to_string(DiaryDayKey(day));
}

} // namespace

std::optional<QString> TDiaryStore::Note(const QDate& day) const {
    std::string note;
    if (!RegGetString(HKEY_CURRENT_USER, dayPath(notesPrefix_, day), note))
        return std::nullopt;
    return QString::fromStdString(note);
}

void TDiaryStore::SetNote(const QDate& day, const QString& note) const {
    RegSetString(HKEY_CURRENT_USER, dayPath(notesPrefix_, day), note.toStdString());
}

QStringList TDiaryStore::Lines(const QDate& day) const {
    std::string text;
    if (!RegGetString(HKEY_CURRENT_USER, dayPath(objectsPrefix_, day), text))
        return {DiaryAddLine()};
    return SplitDiaryLines(QString::fromStdString(text));
}

void TDiaryStore::SetLines(const QDate& day, const QStringList& lines) const {
    RegSetString(HKEY_CURRENT_USER, dayPath(objectsPrefix_, day), JoinDiaryLines(lines).toStdString());
}

void SetupDiaryCalendar(QCalendarWidget& calendar) {
    calendar.setFirstDayOfWeek(Qt::Monday);
    calendar.setSelectedDate(QDate::currentDate());
}

TDiary::TDiary(QCalendarWidget& calendar, QPlainTextEdit& mDiary, THTMListBox& lbFirms, MapEngine& map,
               TDiaryStore store, QObject* parent)
    : QObject(parent), Ask(askWithMessageBox), calendar_(calendar), memo_(mDiary), list_(lbFirms), map_(map),
      store_(std::move(store)) {
    connect(&calendar_, &QCalendarWidget::selectionChanged, this, &TDiary::Refresh);
    connect(&memo_, &QPlainTextEdit::textChanged, this, &TDiary::noteChanged);
}

void TDiary::Refresh() {
    const QDate day = calendar_.selectedDate();
    refreshing_ = true;
    memo_.setPlainText(store_.Note(day).value_or(QString()));
    refreshing_ = false;
    list_.BeginUpdate();
    list_.Clear();
    for (const QString& line : store_.Lines(day))
        list_.Add(line);
    list_.EndUpdate();
}

// Showing a day's note is no edit of it: writing it back would only leave an
// empty note behind for every day looked at.
void TDiary::noteChanged() {
    if (!refreshing_)
        store_.SetNote(calendar_.selectedDate(), memo_.toPlainText());
}

QStringList TDiary::lines() const {
    QStringList all;
    for (int i = 0; i < list_.Count(); ++i)
        all << list_.Item(i);
    return all;
}

void TDiary::saveLines() {
    store_.SetLines(calendar_.selectedDate(), lines());
}

bool TDiary::AddBuilding() {
    const TPMXMapObjectMem& object = map_.CurrentObject();
    if (object.ObjType != otBuilding)
        return false;
    list_.Add(DiaryBuildingLine(object));
    saveLines();
    return true;
}

bool TDiary::DeleteSelected() {
    const int selected = list_.ItemIndex();
    if (selected < 0 || selected >= list_.Count() || !IsDiaryBuildingLine(list_.Item(selected)))
        return false;
    if (!Ask("Дневник", "Удалить адрес?"))
        return false;
    QStringList remaining = lines();
    remaining.removeAt(selected);
    list_.BeginUpdate();
    list_.Clear();
    for (const QString& line : remaining)
        list_.Add(line);
    list_.EndUpdate();
    saveLines();
    return true;
}
