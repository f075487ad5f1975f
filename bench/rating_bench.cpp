// Ratings per second on the sample tariff: through RateShipment alone, and through
// RateShipment and DisplayQuote into the quote sheet (no window is painted).

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "commodity.h"
#include "displayquote.h"
#include "geography.h"
#include "lanes.h"
#include "plainlookup.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

struct Ends {
    std::string gOrigZip, gOrigZip3, gOrigState, gOrigCityState;
    std::string gDestZip, gDestZip3, gDestState, gDestCityState;
    uint8_t gOrigCountry = 99, gDestCountry = 99;
};

struct Lane {
    Ends ends;
    int32_t laneCode = 0;
    std::vector<std::pair<std::string, std::string>> lines;  // weight, class or density
};

void CopyEnds(const Ends& from) {
    tariff.gOrigZip = from.gOrigZip;
    tariff.gOrigZip3 = from.gOrigZip3;
    tariff.gOrigState = from.gOrigState;
    tariff.gOrigCityState = from.gOrigCityState;
    tariff.gOrigCountry = from.gOrigCountry;
    tariff.gDestZip = from.gDestZip;
    tariff.gDestZip3 = from.gDestZip3;
    tariff.gDestState = from.gDestState;
    tariff.gDestCityState = from.gDestCityState;
    tariff.gDestCountry = from.gDestCountry;
}

// Verifies both ends as the main window would and reads the lane code.
Lane MakeLane(const std::string& orig, const std::string& dest,
              std::vector<std::pair<std::string, std::string>> lines) {
    tariff.gOrigZip = orig;
    tariff.gDestZip = dest;
    if (!LookupCityState(orig, 0) || !LookupCityState(dest, 1))
        throw std::runtime_error("the sample tariff does not know " + orig + " or " + dest);
    Lane lane;
    lane.laneCode =
        std::stoi(GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript)));
    if (lane.laneCode == 99099)
        throw std::runtime_error("the sample tariff does not serve " + orig + " to " + dest);
    lane.ends = {tariff.gOrigZip,     tariff.gOrigZip3,   tariff.gOrigState, tariff.gOrigCityState,
                 tariff.gDestZip,     tariff.gDestZip3,   tariff.gDestState, tariff.gDestCityState,
                 tariff.gOrigCountry, tariff.gDestCountry};
    lane.lines = std::move(lines);
    return lane;
}

// Rates a mix of lanes within the US, across the border and within Canada, one to three lines
// each; with `display`, each rating also writes its quote.
void RateMix(benchmark::State& state, bool display, const char* counter) {
    SetAppFolder(FRETLYN_APP_DIR);
    InitClassTables();
    OpenTariffDatabase();
    LoadSettings();
    std::vector<Lane> lanes;
    try {
        lanes = {
            MakeLane("55401", "60601", {{"300", "100"}, {"150", "85"}}),
            MakeLane("10001", "30301", {{"1200", "70"}, {"300", "125"}}),
            MakeLane("90001", "98101", {{"8000", "85"}}),
            MakeLane("33101", "75201", {{"650", "92.5"}, {"900", "55"}, {"120", "250"}}),
            MakeLane("02108", "94105", {{"27000", "50"}}),
            MakeLane("80202", "M5V2T6", {{"2400", "100"}}),
            MakeLane("T2P1A1", "43215", {{"350", "150"}}),
            MakeLane("H2X1Y4", "V6B1A1", {{"1500", "40"}, {"500", "7"}}),
        };
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        CloseAll();
        return;
    }
    if (display) SetQuoteDisplayHook([] { DisplayQuote(0); });
    size_t i = 0;
    int64_t refused = 0;
    for (auto _ : state) {
        const Lane& lane = lanes[i++ % lanes.size()];
        CopyEnds(lane.ends);
        rating.gLaneCode = lane.laneCode;
        const bool canadian = IsIntraCanada();
        for (size_t j = 0; j < 5; ++j) {
            const bool used = j < lane.lines.size();
            rating.gLineWeight[j] = used ? lane.lines[j].first : "";
            commodityLines.cmbclass[j] = used && !canadian ? lane.lines[j].second : "100";
            commodityLines.txtDensity[j] = used && canadian ? lane.lines[j].second : "";
        }
        if (!RateShipment()) ++refused;
        benchmark::DoNotOptimize(quote.Lines().data());
    }
    SetQuoteDisplayHook(nullptr);
    if (refused) state.SkipWithError("some ratings were refused");
    state.counters[counter] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    CloseAll();
}

void RateLanes(benchmark::State& state) {
    RateMix(state, false, "ratings/s");
}
void RateAndDisplay(benchmark::State& state) {
    RateMix(state, true, "quotes/s");
}

}  // namespace

BENCHMARK(RateLanes)->Name("rating (RateLanes)")->Unit(benchmark::kMicrosecond);
BENCHMARK(RateAndDisplay)->Name("quote (RateAndDisplay)")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
