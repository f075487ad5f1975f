#include "rategrid.h"

#include <array>
#include <cstdio>
#include <map>
#include <memory>

#include "binaryfile.h"
#include "coveredlookup.h"
#include "geography.h"
#include "lanes.h"
#include "ratingstate.h"
#include "tariffcheck.h"
#include "tariffdb.h"

namespace {

constexpr size_t kRowBytes = 44;

// The highest value a grid row may hold, in cents: $10,000.00 as a minimum charge or as the
// class-100 rate of 100 lbs. The carrier's dearest lanes stay far below a tenth of it; a value
// above it is a damaged file, which would otherwise quote millions of dollars. So is a value
// of 0 or below: a lane that is loaded is served, and a served lane has a minimum charge and a
// rate at every break; a zero would quote the shipment for next to nothing.
constexpr int32_t kCeilingCents = 1000000;
const char* const kFieldNames[11] = {
    "minimum charge", "L5C", "5C", "1M", "2M", "5M", "10M", "15M", "20M", "25M", "30M"};

// Each grid file is opened once and stays open: a rating then opens no file.
struct OpenGrid {
    std::unique_ptr<BinaryFile> file;
    std::unique_ptr<BinaryFile::KeepBlocks> kept;  // while a KeepRateGridBlocks lives
};
std::map<std::string, OpenGrid, std::less<>>& OpenGrids() {
    static std::map<std::string, OpenGrid, std::less<>> grids;
    return grids;
}
int gGridBlockKeepers = 0;

// A grid row is 44 bytes: a small block holds the rows of nearby lanes.
constexpr size_t kGridBlockBytes = 4096;

const BinaryFile& GridFile(const std::string& path) {
    auto& grids = OpenGrids();
    auto it = grids.find(path);
    if (it == grids.end()) {
        auto file = std::make_unique<BinaryFile>();
        try {
            file->Open(path);
        } catch (const std::exception&) {
            throw TariffDataError("The rate grid file " + path +
                                  " is missing or cannot be read, so this lane cannot be rated.");
        }
        it = grids.emplace(path, OpenGrid{std::move(file), nullptr}).first;
    }
    OpenGrid& grid = it->second;
    if (gGridBlockKeepers > 0 && !grid.kept)
        grid.kept = std::make_unique<BinaryFile::KeepBlocks>(*grid.file, kGridBlockBytes);
    return *grid.file;
}

int32_t LittleEndian32(const unsigned char* p) {
    const uint32_t u = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(u);
}

// f × factor in double precision, kept as a Single, as every factor step is.
Single Times(Single f, double factor) { return static_cast<Single>(static_cast<double>(f) * factor); }

}  // namespace

void CloseRateGrids() { OpenGrids().clear(); }

KeepRateGridBlocks::KeepRateGridBlocks() { ++gGridBlockKeepers; }

KeepRateGridBlocks::~KeepRateGridBlocks() {
    if (--gGridBlockKeepers > 0) return;
    for (auto& [path, grid] : OpenGrids()) grid.kept.reset();
}

namespace {
// A lane code as the lane files spell it: six digits, leading zeros kept ("001043").
std::string LaneCodeText(int32_t laneCode) {
    if (laneCode < 0) return std::to_string(laneCode);
    char text[16];
    std::snprintf(text, sizeof text, "%06d", static_cast<int>(laneCode));
    return text;
}
}  // namespace

void LoadRateGrid(int32_t laneCode) {
    rating.gGridRow.fill(0);
    const int32_t number = laneCode / 1000;
    const int32_t row = laneCode % 1000;
    if (laneCode < 0 || number > 999 || row == 0)
        throw TariffDataError("The lane code " + LaneCodeText(laneCode) +
                              " names no row of a rate grid, so this lane cannot be rated.");
    char name[32];
    std::snprintf(name, sizeof name, "grids/grid%03d.dat", static_cast<int>(number));
    const BinaryFile& grid = GridFile(AppFolder() + name);
    RequireIntactTariffFile(grid);
    const size_t offset = static_cast<size_t>(row - 1) * kRowBytes;
    // One read, which comes back short where the file ends: a row is read once a line of a
    // batch test, and asking the file's size first would double the calls on it.
    unsigned char bytes[kRowBytes];
    if (grid.ReadUpTo(offset + 1, bytes, kRowBytes) < kRowBytes)
        throw TariffDataError("The rate grid file " + grid.Path() + " has no row " +
                              std::to_string(row) + " (lane code " + LaneCodeText(laneCode) +
                              "), so this lane cannot be rated.");
    std::array<int32_t, 11> values{};
    for (size_t i = 0; i < 11; ++i) {
        values[i] = LittleEndian32(bytes + 4 * i);
        if (values[i] <= 0 || values[i] > kCeilingCents)
            throw TariffDataError(
                "The rate grid file " + grid.Path() + " holds " + std::to_string(values[i]) +
                " cents in row " + std::to_string(row) + ", field " + std::to_string(i + 1) + " (" +
                kFieldNames[i] + "), which cannot be a rate, so this lane cannot be rated.");
    }
    rating.gGridRow = values;

    rating.gOrigFactor = rating.gDestFactor = rating.gLanePush = 1;
    rating.gOrigFactor = OriginArbFactor();
    rating.gDestFactor = DestArbFactor();
    rating.gLanePush = MarketLanePush();
}

Single ZipArbBump(const std::string& zip) {
    // byzip is unique, so the covering index's one row needs no order.
    static CoveredLookUp bumpOf(
        "ziparbs", "byzipbump",
        "SELECT bump FROM ziparbs INDEXED BY \"ziparbs.byzipbump\" WHERE zip = ?1",
        "SELECT bump FROM ziparbs WHERE zip = ?1 ORDER BY rowid LIMIT 1");
    const auto* found = bumpOf({zip});
    return found ? static_cast<Single>((*found)[0].toDouble()) : 0;
}

bool IsAlbertaRuralPostal(const std::string& code) {
    const std::string area = code.substr(0, 3);
    for (const char* rural : {"T0A", "T0B", "T0C", "T0E", "T0G"})
        if (area == rural) return true;
    return false;
}

bool IsNYCZipPrefix(const std::string& zip3) {
    for (int i = 1; i <= 20; ++i) {
        const std::string& prefix = tariff.gZip3List100[static_cast<size_t>(i)];
        // Start-up fills the list with "100" to "119"; the same list stands in before that.
        if (prefix.empty() ? zip3 == std::to_string(99 + i) : zip3 == prefix) return true;
    }
    return false;
}

Single OriginArbFactor() {
    Single f = 1;
    const Single bump = ZipArbBump(tariff.gOrigZip);
    if (bump > 0) f = static_cast<Single>(1.0 + static_cast<double>(bump));
    if (IsDCZipPrefix(tariff.gOrigZip3)) f = Times(f, 2);
    if (IsPrefix498or499(tariff.gOrigZip3)) f = Times(f, 1.15);
    if (IsAlbertaRuralPostal(tariff.gOrigZip)) f = Times(f, 1.3);
    return f;
}

Single DestArbFactor() {
    Single f = 1;
    const bool mississippi = tariff.gDestState == "MS";
    bool stateDone = false;
    const Single bump = ZipArbBump(tariff.gDestZip);
    if (bump > 0) {
        // A Mississippi destination's 12 % is added to its bump rather than multiplied in.
        if (mississippi) {
            f = static_cast<Single>(static_cast<double>(bump) + 1 + 0.12);
            stateDone = true;
        } else {
            f = static_cast<Single>(static_cast<double>(bump) + 1);
        }
    }
    if (!stateDone && (mississippi || tariff.gDestState == "LA")) f = Times(f, 1.12);
    if (IsDCZipPrefix(tariff.gDestZip3)) f = Times(f, 2);
    if (IsPrefix498or499(tariff.gDestZip3)) f = Times(f, 1.15);
    if (IsAlbertaRuralPostal(tariff.gDestZip)) f = Times(f, 1.3);
    if (IsNYCZipPrefix(tariff.gDestZip3)) f = Times(f, 1.15);
    return f;
}

Single MarketLanePush() {
    // The prefixes are bound as text, so a range compares them as the text they are.
    static const std::string sql =
        "SELECT push FROM MKTLN WHERE (?1 >= Olo) AND (?1 <= Ohi) AND (?2 >= Dlo) AND "
        "(?2 <= Dhi) ORDER BY rowid LIMIT 1";
    const auto* found = tariff.gDB->LookUp(sql, {tariff.gOrigZip3, tariff.gDestZip3});
    return found ? static_cast<Single>((*found)[0].toDouble()) : 1;
}
