#include "ChildPeak.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

ChildPeak::ChildPeak()
{
    std::string path = "/tmp/varindel-bench-peak-XXXXXX";
    const int file = mkstemp(path.data());
    if (file < 0)
        throw std::runtime_error("no file for the peak memory report");
    close(file);
    report_ = path;
}

ChildPeak::~ChildPeak() { unlink(report_.c_str()); }

std::vector<std::string> ChildPeak::watched(const std::vector<std::string>& argv) const
{
    std::vector<std::string> command{"/usr/bin/time", "--quiet", "--format=%M", "--output=" + report_, "--"};
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

double ChildPeak::megabytes() const
{
    std::ifstream report(report_);
    double kilobytes = 0;
    if (!(report >> kilobytes))
        throw std::runtime_error("/usr/bin/time left no peak memory in " + report_);
    return kilobytes / 1024;
}

std::vector<char*> SpawnArguments(std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return pointers;
}
