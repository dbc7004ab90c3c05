// Shared free routines of the program: text routines with fixed edge
// behaviour, the system folders, file routines (version text, time stamps,
// directory removal, embedded resources, launchers), facts about the machine
// and a check whether a web address answers.
//
// Texts are byte strings in UTF-8, the system code page on Linux. Routines
// that count or drop characters work on whole UTF-8 characters, so they never
// split a letter in two. File paths use "/".
#pragma once

#include <QTime>
#include <cstdint>
#include <stdexcept>
#include <string>

// Day count since 30 December 1899 in local time; the fraction is the time of day.
using TDateTime = double;

// Raised by ExtractRes when the program carries no resource of the name asked for.
class EResNotFound : public std::runtime_error {
public:
    explicit EResNotFound(const std::string& name);
};

// Raised when a file that a routine must write cannot be created or written.
class EFCreateError : public std::runtime_error {
public:
    explicit EFCreateError(const std::string& fileName);
};

// Text routines. "Blank" is the character 32 only.
std::string Trim(const std::string& text);
std::string StrB(const std::string& text, bool empty);
std::string MustBeLength(const std::string& text, char fill, int length);
std::string GetFieldNorm(const std::string& line, int fieldNumber);
std::string GetField(const std::string& line, int fieldNumber);
std::string NoExt(const std::string& fileName);
std::string NoExtNoDot(const std::string& fileName);
std::string SlashMust(const std::string& path);
bool IsBpl(const std::string& fileName);
bool IsExe(const std::string& fileName);

// System folders. The four machine-wide ones are read from the machine
// registry store under their Windows value names first, so that an
// installation can move them; without a value the Linux equivalent is used.
std::string c_GetDesktopPath();
std::string c_GetAppDataPath();
std::string c_GetProgramsPath();
std::string c_GetProgramFilesDir();
std::string c_GetTempPath();    // with its closing "/"
std::string c_GetSystem32Dir(); // with its closing "/"

// File routines.
std::string GetFileVersion(const std::string& fileName);
TDateTime GetFileDateTime(const std::string& fileName);
bool SetFileDate(const std::string& fileName, TDateTime dateTime);
bool FileUsed(const std::string& fileName);
bool MyRemoveDir(const std::string& directory);
bool ExtractRes(const std::string& resourceName, const std::string& fileName);
void CreateLink(const std::string& target, const std::string& linkFile, const std::string& description,
                const std::string& arguments, const std::string& workingDirectory);

// The text of the freedesktop launcher that CreateLink writes.
std::string DesktopEntryText(const std::string& target, const std::string& description,
                             const std::string& arguments, const std::string& workingDirectory);

// Conversions between TDateTime and seconds since the Unix epoch, in local
// time. File time stamps keep two-second steps, as the program has always
// stored them: odd seconds are dropped.
TDateTime FileTimeToDateTime(std::int64_t secondsSinceEpoch);
std::int64_t DateTimeToFileTime(TDateTime dateTime);

// System facts.
enum TWinVersion { wvUnknown, wv95, wv98, wvME, wvNT3, wvNT4, wvW2K, wvXP };

std::string WinVersionText(TWinVersion version);
TWinVersion DetectWinVersion();
std::string DetectWinVersionStr();
std::string PrettyNameFromOsRelease(const std::string& osReleaseText);
bool IsAdmin();
std::string GetCompName();
std::string GetUserName();
std::string GetCompanyName();
int GetMinCount();
int MinuteOfDay(const QTime& time);

// True when the web address answers with the HTTP status 200 or 302.
bool CheckUrl(const std::string& url);
