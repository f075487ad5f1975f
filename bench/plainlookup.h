#pragma once
// The yardstick of every benchmark program here: one indexed look-up in plain SQLite, on the
// same file and in the same run, so that each figure reads as a number of plain look-ups and
// stays comparable from one machine (or one busy moment) to another. One prepared statement
// on us_cities by ZIP, bound, stepped and reset inside one read transaction.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace bench {

inline std::string SampleTariffPath() {
    return std::string(FRETLYN_APP_DIR) + "/data/x2007.mdb";
}

// 256 ZIP codes spread over us_cities: more than any look-up keeps in memory, few enough that
// their pages stay in SQLite's page cache, as the pages of the places a user rates do.
inline const std::vector<std::string>& LookupZips() {
    static const std::vector<std::string> zips = [] {
        std::vector<std::string> all;
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        sqlite3_open_v2(SampleTariffPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(db, "SELECT zip FROM us_cities ORDER BY zip", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            all.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        sqlite3_close(db);
        std::vector<std::string> some;
        for (size_t i = 0; i < all.size() && some.size() < 256; i += all.size() / 256 + 1)
            some.push_back(all[i]);
        return some;
    }();
    return zips;
}

inline void PlainSQLiteLookup(benchmark::State& state) {
    const std::vector<std::string>& zips = LookupZips();
    sqlite3* db = nullptr;
    if (zips.empty() ||
        sqlite3_open_v2(SampleTariffPath().c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        state.SkipWithError("cannot open the sample tariff");
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT zip, City, State FROM us_cities WHERE zip = ?1", -1, &st,
                       nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state) {
        const std::string& zip = zips[i++ % zips.size()];
        sqlite3_bind_text(st, 1, zip.data(), static_cast<int>(zip.size()), SQLITE_STATIC);
        if (sqlite3_step(st) == SQLITE_ROW) {
            ++found;
            benchmark::DoNotOptimize(sqlite3_column_text(st, 1));
        }
        sqlite3_reset(st);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (found == 0) state.SkipWithError("no ZIP code found");
}

}  // namespace bench

// First in every program, so that its figure heads the table the others are read against.
BENCHMARK(bench::PlainSQLiteLookup)->Name("plain SQLite look-up")->Unit(benchmark::kMicrosecond);
