#pragma once
// The yardstick of every benchmark program here: one indexed look-up in plain SQLite, on the
// same file and in the same run, so that each figure reads as a number of plain look-ups and
// stays comparable from one machine (or one busy moment) to another. One prepared statement
// on us_cities by ZIP, bound, stepped and reset inside one read transaction.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>

namespace bench {

inline void PlainSQLiteLookup(benchmark::State& state) {
    const std::string path = std::string(FRETLYN_APP_DIR) + "/data/x2007.mdb";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        state.SkipWithError("cannot open the sample tariff");
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT zip, City, State FROM us_cities WHERE zip = ?1", -1, &st,
                       nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const char* zips[] = {"55401", "60601", "10001", "94105", "99501", "00901", "33101"};
    size_t i = 0;
    int64_t found = 0;
    for (auto _ : state) {
        sqlite3_bind_text(st, 1, zips[i++ % 7], 5, SQLITE_STATIC);
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
