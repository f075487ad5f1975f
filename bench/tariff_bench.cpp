// How long start-up takes to open the tariff, and what one ZIP look-up costs.

#include <benchmark/benchmark.h>

#include "plainlookup.h"
#include "tariffdb.h"

static void BM_OpenTariff(benchmark::State& state) {
    SetAppFolder(FRETLYN_APP_DIR);
    for (auto _ : state) {
        OpenTariffDatabase();
        CloseAll();
    }
}
BENCHMARK(BM_OpenTariff)->Name("opening the tariff")->Unit(benchmark::kMillisecond);

static void BM_SeekUSCityByZip(benchmark::State& state) {
    SetAppFolder(FRETLYN_APP_DIR);
    OpenTariffDatabase();
    const std::vector<std::string>& zips = bench::LookupZips();
    size_t i = 0;
    {
        // A Seek is one look-up of a command, which reads inside one read transaction.
        const ReadTransaction reads(tariff.gDB.get());
        for (auto _ : state) {
            tariff.rsUSCities->Seek("=", {zips[i++ % zips.size()]});
            benchmark::DoNotOptimize(tariff.rsUSCities->NoMatch());
        }
    }
    CloseAll();
}
BENCHMARK(BM_SeekUSCityByZip)->Name("Seek on us_cities by ZIP")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
