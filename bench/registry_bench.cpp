// Every registry call opens and closes its store: what one call costs.
#include "Minireg.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_RegistryDwordRoundTrip(benchmark::State& state)
{
    QTemporaryDir dir;
    qputenv(kUserRegistryEnv, dir.filePath("user.reg.sqlite").toLocal8Bit());
    std::uint32_t value = 0;
    for (auto _ : state) {
        RegSetDWORD(HKEY_CURRENT_USER, "Software\\Varindel TLX Company\\Bench\\Value", 42);
        RegGetDWORD(HKEY_CURRENT_USER, "Software\\Varindel TLX Company\\Bench\\Value", value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_RegistryDwordRoundTrip);

void BM_RegistryStringRead(benchmark::State& state)
{
    QTemporaryDir dir;
    qputenv(kUserRegistryEnv, dir.filePath("user.reg.sqlite").toLocal8Bit());
    RegSetString(HKEY_CURRENT_USER, "Software\\Varindel TLX Company\\Bench\\Text", "Ольмарск");
    std::string text;
    for (auto _ : state) {
        RegGetString(HKEY_CURRENT_USER, "Software\\Varindel TLX Company\\Bench\\Text", text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_RegistryStringRead);

} // namespace
