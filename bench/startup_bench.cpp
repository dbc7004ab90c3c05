// Start-up of the real program on a demo edition: from the process's start
// to the main window painted with the city and the category tree filled. The
// program is started with VARINDEL_AUTOSTART=1, which presses "Загрузить" and
// "Продолжить" itself and reports the moment on its standard error output.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kReadyLine = "varindel: main window ready";
constexpr int kTimeoutMs = 60000;

fs::path BinFolder() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
}

// A folder of its own with the demo edition of Ольмарск, generated once.
const fs::path& EditionFolder() {
    static const fs::path folder = [] {
        const fs::path path =
            fs::temp_directory_path() / ("varindel-startup-bench-" + std::to_string(getuid()));
        fs::create_directories(path / "config");
        if (!fs::exists(path / "dataomk.abs")) {
            const std::string command = "'" + (BinFolder() / "varindel-edition").string() +
                                        "' generate --edition 1 '" + (path / "dataomk.abs").string() +
                                        "' > /dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error("the demo edition could not be generated");
        }
        return path;
    }();
    return folder;
}

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

// Starts the program and returns the seconds until it reported the main
// window ready; waits for it to end by itself.
double StartOnce(const fs::path& folder) {
    int errors[2];
    if (pipe(errors) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, errors[0]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> environment = ProgramEnvironment(folder);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = (BinFolder() / "varindel").string();
    char* argv[] = {program.data(), nullptr};

    const auto started = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        throw std::runtime_error("the program could not be started");
    posix_spawn_file_actions_destroy(&actions);
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
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (seconds < 0)
        throw std::runtime_error("the program did not report its main window:\n" + seen);
    return seconds;
}

void BM_StartUpToMainWindow(benchmark::State& state) {
    const fs::path& folder = EditionFolder();
    for (auto _ : state)
        state.SetIterationTime(StartOnce(folder));
}

} // namespace

BENCHMARK(BM_StartUpToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
