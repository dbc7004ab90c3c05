// The usage record written when the main window closes: five bytes (day,
// minutes used, edition) appended to "HETreeView.dcp" in the program's folder.
#pragma once

#include "Result.h"

#include <QDateTime>

#include <array>
#include <cstdint>
#include <string>

inline constexpr const char* kStatisticFileName = "HETreeView.dcp";

using TStatisticRecord = std::array<std::uint8_t, 5>;

// Whole days of `date` since 30 December 1899.
int StatisticDayNumber(const QDate& date);
// Minutes used from the minute of the day of the start to that of the
// close, plus one, so that a run under a minute counts 1. A run that passes
// midnight is counted across it (the close falls on the next day); the
// result is always within 1..1440.
int MinutesUsed(int startMinutes, int nowMinutes);
// The ten digits: day (5), minutes (4), edition (1), each cut to its last
// digits or left-padded with "0".
std::string StatisticString(int dayNumber, int minutesUsed, int edition);
// The ten digits read as five two-digit numbers (39 -> byte 39).
TStatisticRecord StatisticRecord(const std::string& digits);

// Where the record goes: `localPath` + "HETreeView.dcp" when the folder can
// take it; otherwise the same name in the user's own data folder (an
// installed program's folder is usually not writable by its users).
std::string StatisticFilePath(const std::string& localPath);
std::string UserStatisticFilePath();

// Appends the record of a run started at minute `startMinutes` and closed
// `now`, for edition `edition`. Tries the program's folder, then the user's
// data folder; when neither takes the record, the failure names both files.
Status SaveStatistic(const std::string& localPath, int startMinutes, int edition,
                     const QDateTime& now = QDateTime::currentDateTime());
