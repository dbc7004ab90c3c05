// Start-up of the real program on a demo edition: from the process's start
// to the main window painted with the city and the category tree filled (see
// ProgramStart.h).
#include "ProgramStart.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A folder of its own with the demo edition of Ольмарск, generated once.
const fs::path& EditionFolder() {
    static const fs::path folder = [] {
        fs::path path =
            fs::temp_directory_path() / ("varindel-startup-bench-" + std::to_string(getuid()));
        fs::create_directories(path / "config");
        if (!fs::exists(path / "dataomk.abs")) {
            const std::string command = "'" + (BenchBinFolder() / "varindel-edition").string() +
                                        "' generate --edition 1 '" + (path / "dataomk.abs").string() +
                                        "' > /dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                throw std::runtime_error("the demo edition could not be generated");
        }
        return path;
    }();
    return folder;
}

void BM_StartUpToMainWindow(benchmark::State& state) {
    const fs::path& folder = EditionFolder();
    for (auto _ : state)
        state.SetIterationTime(StartProgramToMainWindow(folder).seconds);
}

} // namespace

BENCHMARK(BM_StartUpToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
