// File routines of Vdlutils: version text, time stamps, the in-use check and
// the removal of a directory tree.
#include "ElfVersion.h"
#include "Vdlutils.h"

#include <QDateTime>
#include <cmath>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::int64_t kMillisecondsPerDay = 86400000;
// 1 January 0001 and 31 December 9999 as day counts: the range of dates a time stamp can take.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958466.0;

QDate DayZero() {
    return QDate(1899, 12, 30);
}

int EvenSeconds(int seconds) {
    return seconds & ~1;
}

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    bool valid() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

bool IsExistingNonDirectory(const std::string& fileName, struct stat& status) {
    return ::stat(fileName.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Holders of either kind of lock make the file "used": flock() users and
// record-lock users such as SQLite. An open-file-description lock conflicts
// with record locks of every process, this one included.
bool LockedByOthers(int descriptor) {
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return true;
    struct flock wholeFile {};
    wholeFile.l_type = F_WRLCK;
    wholeFile.l_whence = SEEK_SET;
    return ::fcntl(descriptor, F_OFD_SETLK, &wholeFile) != 0;
}

std::vector<std::string> EntryNames(int directory) {
    std::vector<std::string> names;
    const int listing = ::dup(directory);
    if (listing < 0)
        return names;
    DIR* stream = ::fdopendir(listing);
    if (!stream) {
        ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(stream);
    return names;
}

// Empties the open directory. Entries are addressed relative to the
// directory's descriptor and symbolic links are never followed, so nothing
// outside the tree is touched even if the tree changes meanwhile. The owner
// gets full rights on each directory first, so that read-only folders do
// not keep their contents.
void EmptyDirectory(int directory) {
    struct stat status {};
    if (::fstat(directory, &status) == 0)
        ::fchmod(directory, (status.st_mode & 07777) | S_IRWXU);
    for (const std::string& name : EntryNames(directory)) {
        if (::fstatat(directory, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(status.st_mode)) {
            const Descriptor child(
                ::openat(directory, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (child.valid())
                EmptyDirectory(child.get());
            ::unlinkat(directory, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(directory, name.c_str(), 0);
        }
    }
}

} // namespace

std::string GetFileVersion(const std::string& fileName) {
    return ReadElfFileVersion(fileName);
}

TDateTime FileTimeToDateTime(std::int64_t secondsSinceEpoch) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    const QTime time = local.time();
    const int seconds = time.hour() * 3600 + time.minute() * 60 + EvenSeconds(time.second());
    return static_cast<double>(DayZero().daysTo(local.date())) + seconds / kSecondsPerDay;
}

// The day is the whole part of the date-time and the time of day its
// fraction taken without sign, rounded to the millisecond.
std::int64_t DateTimeToFileTime(TDateTime dateTime) {
    std::int64_t days = static_cast<std::int64_t>(std::trunc(dateTime));
    std::int64_t milliseconds =
        std::llround(std::fabs(dateTime - std::trunc(dateTime)) * kMillisecondsPerDay);
    if (milliseconds >= kMillisecondsPerDay) {
        milliseconds -= kMillisecondsPerDay;
        ++days;
    }
    const int seconds = EvenSeconds(static_cast<int>(milliseconds / 1000));
    const QTime time(seconds / 3600, seconds / 60 % 60, seconds % 60);
    return QDateTime(DayZero().addDays(days), time, Qt::LocalTime).toSecsSinceEpoch();
}

TDateTime GetFileDateTime(const std::string& fileName) {
    struct stat status {};
    if (!IsExistingNonDirectory(fileName, status))
        return 0;
    return FileTimeToDateTime(status.st_mtim.tv_sec);
}

bool SetFileDate(const std::string& fileName, TDateTime dateTime) {
    if (!std::isfinite(dateTime) || dateTime < kFirstDay || dateTime >= kLastDay)
        return false;
    const Descriptor file(::open(fileName.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        return false;
    const struct timespec times[2] = {{0, UTIME_OMIT},
                                      {static_cast<time_t>(DateTimeToFileTime(dateTime)), 0}};
    return ::futimens(file.get(), times) == 0;
}

bool FileUsed(const std::string& fileName) {
    struct stat status {};
    if (!IsExistingNonDirectory(fileName, status))
        return false;
    const Descriptor file(::open(fileName.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    return !file.valid() || LockedByOthers(file.get());
}

// A symbolic link given as the directory is removed itself; what it points
// to is left alone. A plain file is not a directory and stays.
bool MyRemoveDir(const std::string& directory) {
    struct stat status {};
    if (::lstat(directory.c_str(), &status) != 0)
        return true;
    if (S_ISLNK(status.st_mode)) {
        ::unlink(directory.c_str());
        return true;
    }
    if (!S_ISDIR(status.st_mode))
        return true;
    {
        const Descriptor top(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (top.valid())
            EmptyDirectory(top.get());
    }
    ::rmdir(directory.c_str());
    return true;
}
