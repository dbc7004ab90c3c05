#include "UsageStatistics.h"

#include "Vdlutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

std::string digitsOf(int value, int width)
{
    return MustBeLength(std::to_string(value), '0', width);
}

// The file holds whole records or nothing: a record cut short, by this
// write or an earlier one, is cut back, so that no later record is shifted.
bool appendRecord(const std::string& fileName, const TStatisticRecord& record)
{
    QFile file(QString::fromStdString(fileName));
    // Unbuffered, so that what a failed write left is known and can be cut.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 recordSize = qint64(record.size());
    const qint64 wholeRecords = file.size() - file.size() % recordSize;
    if ((file.size() != wholeRecords && !file.resize(wholeRecords)) || !file.seek(wholeRecords))
        return false;
    const auto written = file.write(reinterpret_cast<const char*>(record.data()), recordSize);
    if (written == recordSize)
        return true;
    file.resize(wholeRecords);
    return false;
}

bool folderExists(const std::string& fileName)
{
    return QFileInfo(QString::fromStdString(fileName)).absoluteDir().exists();
}

} // namespace

int StatisticDayNumber(const QDate& date)
{
    return int(QDate(1899, 12, 30).daysTo(date));
}

int MinutesUsed(int startMinutes, int nowMinutes)
{
    int minutes = nowMinutes - startMinutes;
    if (minutes < 0)
        minutes += kMinutesPerDay;
    return minutes + 1;
}

std::string StatisticString(int dayNumber, int minutesUsed, int edition)
{
    return digitsOf(dayNumber, 5) + digitsOf(minutesUsed, 4) + digitsOf(edition, 1);
}

TStatisticRecord StatisticRecord(const std::string& digits)
{
    TStatisticRecord record{};
    for (std::size_t i = 0; i < record.size(); ++i)
        record[i] = std::uint8_t((digits[2 * i] - '0') * 10 + (digits[2 * i + 1] - '0'));
    return record;
}

std::string StatisticFilePath(const std::string& localPath)
{
    return SlashMust(localPath) + kStatisticFileName;
}

std::string UserStatisticFilePath()
{
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return SlashMust((dataHome + "/varindel").toStdString()) + kStatisticFileName;
}

Status SaveStatistic(const std::string& localPath, int startMinutes, int edition, const QDateTime& now)
{
    const QTime time = now.time();
    const int nowMinutes = time.hour() * 60 + time.minute();
    const TStatisticRecord record =
        StatisticRecord(StatisticString(StatisticDayNumber(now.date()), MinutesUsed(startMinutes, nowMinutes), edition));

    const std::string programFile = StatisticFilePath(localPath);
    if (folderExists(programFile) && appendRecord(programFile, record))
        return success();
    const std::string userFile = UserStatisticFilePath();
    QDir().mkpath(QFileInfo(QString::fromStdString(userFile)).absolutePath());
    if (appendRecord(userFile, record))
        return success();
    return Status::failure(QString("Не удалось записать статистику работы ни в файл «%1», ни в файл «%2».")
                               .arg(QString::fromStdString(programFile), QString::fromStdString(userFile)));
}
