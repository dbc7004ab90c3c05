#include "ProgramStart.h"

#include "ChildPeak.h"

#include <chrono>
#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kReadyLine = "varindel: main window ready";
constexpr int kTimeoutMs = 60000;

std::vector<std::string> ProgramEnvironment(const fs::path& folder) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.emplace_back(*entry);
    environment.push_back("VARINDEL_AUTOSTART=1");
    environment.push_back("VARINDEL_REGISTRY_USER=" + (folder / "config" / "registry.sqlite").string());
    environment.push_back("XDG_DATA_HOME=" + (folder / "config").string());
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        environment.push_back("QT_QPA_PLATFORM=offscreen");
    return environment;
}

} // namespace

fs::path BenchBinFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
}

ProgramStartRun StartProgramToMainWindow(const fs::path& folder) {
    int errors[2];
    if (pipe(errors) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, errors[0]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> environment = ProgramEnvironment(folder);
    const std::vector<char*> envp = SpawnArguments(environment);
    const ChildPeak peak;
    std::vector<std::string> command = peak.watched({(BenchBinFolder() / "varindel").string()});
    const std::vector<char*> argv = SpawnArguments(command);
    // A group of its own, so that a program that hangs is killed, not only the watch around it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        throw std::runtime_error("the program could not be started");
    close(errors[1]);

    std::string seen;
    double seconds = -1;
    pollfd watch{errors[0], POLLIN, 0};
    while (seconds < 0 && poll(&watch, 1, kTimeoutMs) > 0) {
        char buffer[4096];
        const ssize_t got = read(errors[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        seen.append(buffer, static_cast<size_t>(got));
        if (seen.find(kReadyLine) != std::string::npos)
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    close(errors[0]);
    if (seconds < 0)
        kill(-child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (seconds < 0)
        throw std::runtime_error("the program did not report its main window:\n" + seen);
    const auto cpu = [](const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; };
    // The watch's own time is a millisecond or two of the program's second.
    return {seconds, peak.megabytes(), cpu(usage.ru_utime) + cpu(usage.ru_stime)};
}
