// The diary: each day's note and building list in the registry, kept apart
// by the day's number, with the question before a building is removed.
#include "Diary.h"
#include "Minireg.h"
#include "THTMListBox.h"
#include "search_world.h"

#include <QCalendarWidget>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace {

const std::string kNotes = "Software\\Varindel TLX Company\\Diary\\";
const std::string kObjects = "Software\\Varindel TLX Company\\DiaryObj\\";
const QDate kNewYear(2008, 1, 1);

class DiaryPage : public ::testing::Test {
protected:
    void SetUp() override {
        map.setModel(modelOf({addressedObject(120, "Мира", "1"), unaddressedObject(7),
                              addressedObject(500, "Садовая", "21а")}));
        calendar.setSelectedDate(kNewYear);
        diary.Ask = [this](const QString& caption, const QString& text) {
            asked << caption + "|" + text;
            return answer;
        };
        diary.Refresh();
    }

    QStringList lines() const {
        QStringList all;
        for (int i = 0; i < list.Count(); ++i)
            all << list.Item(i);
        return all;
    }

    std::string stored(const std::string& prefix, int day) const {
        std::string text;
        RegGetString(HKEY_CURRENT_USER, prefix + std::to_string(day), text);
        return text;
    }

    IsolatedRegistry registry;
    MapEngine map;
    QCalendarWidget calendar;
    QPlainTextEdit memo;
    THTMListBox list;
    TDiary diary{calendar, memo, list, map, TDiaryStore(kNotes, kObjects)};
    QStringList asked;
    bool answer = true;
};

const QString kMira =
    "<IMG src=\"Address.bmp\" align=\"left\"><A href=\"A120\">Мира, 1</A><A href=\"DiaryDel\"> - "
    "Удалить</A>";

} // namespace

TEST(DiaryDays, CountFromTheThirtiethOfDecember1899) {
    EXPECT_EQ(DiaryDayKey(QDate(2008, 1, 1)), 39448);
    EXPECT_EQ(DiaryDayKey(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(DiaryDayKey(QDate(1899, 12, 29)), -1);
}

TEST(DiaryDays, LinesSplitAtEveryKindOfLineBreak) {
    EXPECT_EQ(SplitDiaryLines("a\r\nb\nc\rd\r\n"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitDiaryLines("a\r\n\r\nb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(JoinDiaryLines({"a", "b"}), "a\r\nb");
}

TEST(DiaryCalendar, WeeksStartOnMondayAndTodayIsSelected) {
    QCalendarWidget calendar;
    SetupDiaryCalendar(calendar);
    EXPECT_EQ(calendar.firstDayOfWeek(), Qt::Monday);
    EXPECT_EQ(calendar.selectedDate(), QDate::currentDate());
}

TEST_F(DiaryPage, ADayWithNothingStoredShowsAnEmptyNoteAndTheAddLine) {
    EXPECT_EQ(memo.toPlainText(), "");
    EXPECT_EQ(lines(), QStringList({"<A href=\"Diary\">Добавьте</A> выделенный объект на карте"}));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kNotes + "39448")) << "looking at a day writes nothing";
}

TEST_F(DiaryPage, BuildingsAreAddedAndStoredAtOnce) {
    map.EditObject(0);
    EXPECT_TRUE(diary.AddBuilding());
    EXPECT_TRUE(diary.AddBuilding());
    map.EditObject(1);
    EXPECT_FALSE(diary.AddBuilding()) << "a road is no building";
    EXPECT_EQ(lines(), QStringList({DiaryAddLine(), kMira, kMira}));
    EXPECT_EQ(QString::fromStdString(stored(kObjects, 39448)),
              DiaryAddLine() + "\r\n" + kMira + "\r\n" + kMira);
}

TEST_F(DiaryPage, DaysAreKeptApart) {
    memo.setPlainText("Купить хлеб");
    map.EditObject(2);
    diary.AddBuilding();

    calendar.setSelectedDate(kNewYear.addDays(1));
    EXPECT_EQ(memo.toPlainText(), "");
    EXPECT_EQ(lines(), QStringList({DiaryAddLine()}));
    memo.setPlainText("Второй день");

    calendar.setSelectedDate(kNewYear);
    EXPECT_EQ(memo.toPlainText(), "Купить хлеб");
    EXPECT_EQ(lines().size(), 2);
    EXPECT_TRUE(lines()[1].contains("A500"));
    EXPECT_EQ(stored(kNotes, 39449), "Второй день");
}

TEST_F(DiaryPage, ADeletionAnsweredNoChangesNothing) {
    map.EditObject(0);
    diary.AddBuilding();
    map.EditObject(2);
    diary.AddBuilding();
    const std::string before = stored(kObjects, 39448);

    answer = false;
    list.SetItemIndex(1);
    EXPECT_FALSE(diary.DeleteSelected());
    EXPECT_EQ(asked, QStringList({"Дневник|Удалить адрес?"}));
    EXPECT_EQ(lines().size(), 3);
    EXPECT_EQ(stored(kObjects, 39448), before);

    answer = true;
    EXPECT_TRUE(diary.DeleteSelected());
    EXPECT_EQ(lines().size(), 2);
    EXPECT_TRUE(lines()[1].contains("A500"));
    diary.Refresh();
    EXPECT_EQ(lines().size(), 2);
}

TEST_F(DiaryPage, OnlyBuildingLinesCanBeDeleted) {
    list.SetItemIndex(0);
    EXPECT_FALSE(diary.DeleteSelected());
    list.SetItemIndex(-1);
    EXPECT_FALSE(diary.DeleteSelected());
    EXPECT_TRUE(asked.isEmpty());
}

TEST(DiaryWithoutPrefixes, KeepsNothing) {
    IsolatedRegistry registry;
    const TDiaryStore store("Не найдено в базе", "Не найдено в базе");
    store.SetNote(QDate(2008, 1, 1), "заметка");
    EXPECT_FALSE(store.Note(QDate(2008, 1, 1)));
    EXPECT_EQ(store.Lines(QDate(2008, 1, 1)), QStringList({DiaryAddLine()}));
}
