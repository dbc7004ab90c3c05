// The edition VFS against the plain file: opening until the first query has
// run, and a full scan of 100k firms, side by side in one run. With
// VARINDEL_BENCH_LARGE=1 also the peak memory of scanning a 1 GB edition
// (generated once in /tmp, never in the repository or in CI).
#include "Database.h"
#include "EditionSchema.h"
#include "EditionSeal.h"
#include "Query.h"
#include "Vdlconsts.h"

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fstream>
#include <stdexcept>
#include <string>

namespace {

void run(sqlite3* db, const QString& sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
}

// A plain edition database of `firms` firms, each with a blob of `imageBytes`.
void writePlain(const QString& path, int firms, int imageBytes)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    run(db, "PRAGMA journal_mode = OFF");
    run(db, "PRAGMA synchronous = OFF");
    if (const QString error = CreateEditionSchema(db); !error.isEmpty())
        throw std::runtime_error(error.toStdString());
    run(db, QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                    "INSERT INTO FIRMS SELECT i, 0, 2, 'Фирма номер ' || i, randomblob(%2), '.jpg', '+7 3812 ' || i, "
                    "'firm' || i || '@example.ru', 'www.firm' || i || '.ru', '12, 33', '301', "
                    "'Заметка о фирме ' || i, NULL, i % 50 = 0, 0, i % 7 FROM n")
                .arg(firms)
                .arg(imageBytes));
    run(db, "INSERT INTO Content (ID, TypeID, RefID, Data) VALUES (1, 9, 0, CAST('5000' AS BLOB))");
    sqlite3_close(db);
}

struct Editions {
    QString plain = "/tmp/varindel-bench-firms.sqlite";
    QString sealed = "/tmp/varindel-bench-firms.abs";
    Editions()
    {
        writePlain(plain, 100000, 16);
        const Status done = SealEditionFile(plain, sealed, MapPw[1]);
        if (!done)
            throw std::runtime_error(done.error().toStdString());
    }
};

const Editions& editions()
{
    static const Editions made;
    return made;
}

void openDatabase(TDatabase& con, const QString& path, bool sealed)
{
    con.DatabaseFileName = path;
    con.Password = MapPw[1];
    const Status opened = sealed ? con.Open() : con.OpenPlain();
    if (!opened)
        throw std::runtime_error(opened.error().toStdString());
}

// Reads every column of every firm the way the firm list does.
std::int64_t scanFirms(TDatabase& con)
{
    TQuery firms(con, "qFirms", "SELECT * FROM FIRMS WHERE TypeID=2");
    std::int64_t bytes = 0;
    for (firms.Open(); !firms.Eof(); firms.Next())
        for (int i = 0; i < firms.FieldCount(); ++i)
            bytes += firms.Fields(i).AsBlob().size();
    return bytes;
}

void BM_OpenEditionUntilFirstQuery(benchmark::State& state)
{
    const QString path = editions().sealed;
    for (auto _ : state) {
        TDatabase con;
        openDatabase(con, path, true);
        TQuery content(con, "qContent", "select * from Content");
        content.Open();
        benchmark::DoNotOptimize(content.FieldByName("Data").AsInteger());
    }
    state.SetLabel("sealed, 100k firms");
}
BENCHMARK(BM_OpenEditionUntilFirstQuery)->Unit(benchmark::kMillisecond);

void scanBenchmark(benchmark::State& state, bool sealed)
{
    TDatabase con;
    openDatabase(con, sealed ? editions().sealed : editions().plain, sealed);
    for (auto _ : state)
        benchmark::DoNotOptimize(scanFirms(con));
    state.SetItemsProcessed(state.iterations() * 100000);
}

void BM_ScanFirmsPlain(benchmark::State& state)
{
    scanBenchmark(state, false);
}
BENCHMARK(BM_ScanFirmsPlain)->Unit(benchmark::kMillisecond);

void BM_ScanFirmsSealed(benchmark::State& state)
{
    scanBenchmark(state, true);
}
BENCHMARK(BM_ScanFirmsSealed)->Unit(benchmark::kMillisecond);

long statusKilobytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

void BM_ScanLargeEditionPeakMemory(benchmark::State& state)
{
    if (qgetenv("VARINDEL_BENCH_LARGE") != "1") {
        state.SkipWithError("set VARINDEL_BENCH_LARGE=1 to generate and scan a 1 GB edition in /tmp");
        return;
    }
    const QString plain = "/tmp/varindel-bench-large.sqlite", sealed = "/tmp/varindel-bench-large.abs";
    if (!QFileInfo::exists(sealed)) {
        writePlain(plain, 100000, 10500);
        SealEditionFile(plain, sealed, MapPw[1]);
        QFile::remove(plain);
    }
    for (auto _ : state) {
        TDatabase con;
        openDatabase(con, sealed, true);
        std::ofstream("/proc/self/clear_refs") << "5"; // restart the peak from here
        const long baseline = statusKilobytes("VmRSS");
        benchmark::DoNotOptimize(scanFirms(con));
        state.counters["peak_above_baseline_MB"] = double(statusKilobytes("VmHWM") - baseline) / 1024.0;
        state.counters["file_MB"] = double(QFileInfo(sealed).size()) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_ScanLargeEditionPeakMemory)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
