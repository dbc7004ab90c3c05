// The diary as iCalendar, read back with python3-vobject; the days as the
// registry keeps them.
#include "DiaryCalendar.h"
#include "Minireg.h"
#include "ReadBack.h"
#include "SaveFile.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const QString kNote = QStringLiteral("Встреча в 10:00; взять \"договор\", печать\r\nи паспорт \\ копию");

} // namespace

TEST(DiaryICalendar, OneAllDayEventPerDayWithNoteAndBuildings)
{
    TemporaryFolder folder;
    const std::vector<DiaryDay> days{
        {QDate(2026, 12, 31), kNote, {QStringLiteral("Ленина, 10/2"), QStringLiteral("Мира, 1")}},
        {QDate(2027, 1, 5), {}, {QStringLiteral("Гагарина, 7")}},
        {QDate(2027, 1, 6), QStringLiteral("  "), {}}, // nothing kept that day
    };
    const QByteArray calendar = DiaryICalendar(days, QDateTime(QDate(2026, 12, 8), QTime(3, 0), Qt::UTC));
    const QString path = QString::fromStdString(folder.file("diary.ics"));
    ASSERT_TRUE(WriteWholeFile(path, calendar).ok());
    const QJsonObject read = ReadBack(QStringLiteral("ical"), path).toObject();
    EXPECT_EQ(read["version"].toString(), QStringLiteral("2.0"));
    const QJsonArray events = read["events"].toArray();
    ASSERT_EQ(events.size(), 2);

    const QJsonObject first = events[0].toObject();
    EXPECT_TRUE(first["all_day"].toBool());
    EXPECT_EQ(first["start"].toString(), QStringLiteral("2026-12-31"));
    EXPECT_EQ(first["end"].toString(), QStringLiteral("2027-01-01"));
    EXPECT_EQ(first["summary"].toString(), QStringLiteral("Встреча в 10:00; взять \"договор\", печать"));
    EXPECT_EQ(first["description"].toString(),
              QStringLiteral("Встреча в 10:00; взять \"договор\", печать\nи паспорт \\ копию\n\nЗдания:\nЛенина, 10/2\nМира, 1"));

    const QJsonObject second = events[1].toObject();
    EXPECT_EQ(second["start"].toString(), QStringLiteral("2027-01-05"));
    EXPECT_EQ(second["summary"].toString(), QStringLiteral("Гагарина, 7"));
    EXPECT_NE(second["uid"].toString(), first["uid"].toString());
}

TEST(DiaryDays, EveryStoredDayInDateOrderWithItsNoteAndLines)
{
    IsolatedRegistry registry;
    const std::string notes = "Software\\Varindel TLX Company\\Test\\Diary\\";
    const std::string objects = "Software\\Varindel TLX Company\\Test\\DiaryObj\\";
    // Days since 30 December 1899: 46022 is 31 December 2025.
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, notes + "46022", "Новый год"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, objects + "46022", "строка 1\r\nстрока 2"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, objects + "45000", "только здания"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, notes + "name", "не день"));

    const std::vector<StoredDiaryDay> days = ReadDiaryDays(notes, objects);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].day, QDate(2023, 3, 15));
    EXPECT_EQ(days[0].note, QString());
    EXPECT_EQ(days[0].lines, QStringList{QStringLiteral("только здания")});
    EXPECT_EQ(days[1].day, QDate(2025, 12, 31));
    EXPECT_EQ(days[1].note, QStringLiteral("Новый год"));
    EXPECT_EQ(days[1].lines, (QStringList{QStringLiteral("строка 1"), QStringLiteral("строка 2")}));

    EXPECT_TRUE(ReadDiaryDays("Software\\Varindel TLX Company\\Test\\Nothing\\", objects + "x\\").empty());
}
