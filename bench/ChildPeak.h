// The peak resident memory of a program a benchmark starts. wait4's
// ru_maxrss cannot give it: a child started from this process by
// posix_spawn begins its count at this process's own peak, gigabytes
// after the large city's benchmarks. /usr/bin/time starts the program
// from its own small process and writes the program's peak to a file.
#pragma once

#include <string>
#include <vector>

class ChildPeak {
public:
    ChildPeak();
    ~ChildPeak();
    ChildPeak(const ChildPeak&) = delete;
    ChildPeak& operator=(const ChildPeak&) = delete;

    // argv run under /usr/bin/time, which reports to this object's file.
    std::vector<std::string> watched(const std::vector<std::string>& argv) const;
    // The peak of the last run of a watched command; throws when it left none.
    double megabytes() const;

private:
    std::string report_;
};

// Pointers to the strings of argv, ended by a null, for posix_spawn.
std::vector<char*> SpawnArguments(std::vector<std::string>& argv);
