// The batch rate test on the sample tariff: file-test lines per second over the generated
// sample file, and ponyout rows per second of the batch run from Chicago. Works on a copy of the
// application folder, since the batch run rewrites ponyout.

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "geography.h"
#include "plainlookup.h"
#include "ponytest.h"
#include "rategrid.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

namespace fs = std::filesystem;

const fs::path& BenchFolder() {
    static const fs::path folder = [] {
        // A folder of this run's own: another user's run may have left one under a fixed name.
        static const QTemporaryDir scratch;
        fs::path to = fs::path(scratch.path().toStdString()) / "app";
        fs::copy(FRETLYN_APP_DIR, to, fs::copy_options::recursive);
        SetAppFolder(to.string());
        InitClassTables();
        OpenTariffDatabase();
        LoadSettings();
        return to;
    }();
    return folder;
}

void FileTestLines(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    const std::string in = (folder / "pony/RTQCtest.TXT").string();
    const std::string out = (folder / "pony/bench-TESTDATA.TXT").string();
    int64_t lines = 0;
    for (auto _ : state) {
        const PonyFileResult r = RunPonyFileTest(in, out, true);
        if (!r.ran) throw std::runtime_error(r.error);
        lines += r.lines;
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}

void BatchRunRows(benchmark::State& state) {
    BenchFolder();
    tariff.gOrigZip = "60601";
    if (!LookupCityState("60601", 0)) throw std::runtime_error("60601 is not in the tariff");
    int64_t rows = 0;
    for (auto _ : state) {
        const PonyBatchResult r = RunPonyBatch("100", "12.5", false);
        rows += r.rows;
    }
    state.counters["rows/s"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(FileTestLines)
    ->Name("file test: lines of the sample file")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BatchRunRows)
    ->Name("batch run: ponyout rows from Chicago")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
