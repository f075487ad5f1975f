// Lane codes, rate grids and transit days. A lane's grid file says what kind of lane it is
// (within one operating region, between regions, across the border, within Canada) and its
// row is the distance band, ten highway miles wide, so nearer lanes have lower rows.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>

#include "sampletariff.h"

namespace sampletariff {

namespace {

constexpr int kNoServiceFile = 99;  // lane code "099099": file 099, row 099
constexpr int kNoServiceRow = 99;
constexpr int kMilesPerRow = 10;
constexpr int kMaxRow = 999;

// Class-100 rate of each break L5C..30M as a share of the L5C rate.
constexpr std::array<double, kGridValues - 1> kBreakShare = {1.00, 0.86, 0.73, 0.61,  0.47,
                                                             0.36, 0.33, 0.29, 0.265, 0.245};

// Grid files by kind of lane, with the level of their rates against the base scale.
struct GridFile {
    int number;
    double level;
};
constexpr GridFile kWithinCentral{1, 1.00};
constexpr GridFile kWithinEast{2, 1.02};
constexpr GridFile kWithinWest{3, 1.04};
constexpr GridFile kJointLine{12, 1.08};
constexpr GridFile kUsToCanada{45, 1.12};
constexpr GridFile kCanadaToUs{54, 1.10};
constexpr GridFile kWithinCanada{123, 1.05};
// The no-service code also names a grid row; the batch test rates it like any other.
constexpr GridFile kNoServiceGrid{kNoServiceFile, 1.00};

const GridFile kAllGrids[] = {kWithinCentral, kWithinEast, kWithinWest,   kJointLine,
                              kUsToCanada,    kCanadaToUs, kWithinCanada, kNoServiceGrid};

double LevelOfFile(int file) {
    for (const auto& f : kAllGrids)
        if (f.number == file) return f.level;
    throw std::runtime_error("unknown grid file " + std::to_string(file));
}

GridFile FileOfLane(const ZipKey& o, const ZipKey& d) {
    if (o.country == Country::Canada)
        return d.country == Country::Canada ? kWithinCanada : kCanadaToUs;
    if (d.country == Country::Canada) return kUsToCanada;
    if (o.region != d.region) return kJointLine;
    if (o.region == Region::QZA) return kWithinCentral;
    if (o.region == Region::QZD) return kWithinWest;
    return kWithinEast;
}

std::string Int32Bytes(const std::array<int32_t, kGridValues>& values) {
    std::string out;
    for (int32_t v : values) {
        auto u = static_cast<uint32_t>(v);
        for (int b = 0; b < 4; ++b) out += static_cast<char>((u >> (8 * b)) & 0xFF);
    }
    return out;
}

struct LaneCode {
    int file = kNoServiceFile;
    int row = kNoServiceRow;
};

LaneCode LaneBetween(const Geography& g, int origKey, int destKey) {
    const ZipKey& o = g.keys.at(static_cast<size_t>(origKey));
    const ZipKey& d = g.keys.at(static_cast<size_t>(destKey));
    if (!o.served || !d.served) return LaneCode{};
    // Within one key the haul is about the spread of its points around their centre.
    double miles = origKey == destKey ? std::max(15.0, 1.8 * o.radius) : RoadMiles(o.at, d.at);
    int row = std::min(kMaxRow, 1 + static_cast<int>(miles / kMilesPerRow));
    return LaneCode{FileOfLane(o, d).number, row};
}

// A grid row: the minimum charge and the class-100 rates of the ten breaks for the middle of
// the row's distance band, in cents.
std::array<int32_t, kGridValues> GridRow(int file, int row) {
    const double level = LevelOfFile(file);
    const double miles = (row - 1) * kMilesPerRow + kMilesPerRow / 2.0;
    std::array<int32_t, kGridValues> values{};
    values[0] = static_cast<int32_t>(std::lround(level * (8900 + 1.1 * miles)));
    const double l5c = level * (4200 + 14 * std::pow(miles, 0.9));
    for (size_t b = 0; b < kBreakShare.size(); ++b)
        values[b + 1] = static_cast<int32_t>(std::lround(l5c * kBreakShare[b]));
    return values;
}

}  // namespace

std::optional<std::array<int32_t, kGridValues>> LaneGridRow(const Geography& g, int origKey,
                                                            int destKey) {
    const LaneCode lane = LaneBetween(g, origKey, destKey);
    if (lane.file == kNoServiceFile) return std::nullopt;
    return GridRow(lane.file, lane.row);
}

int TransitDays(const Geography& g, int origCenter, int destCenter) {
    const ServiceCenter& o = g.centers.at(static_cast<size_t>(origCenter));
    const ServiceCenter& d = g.centers.at(static_cast<size_t>(destCenter));
    if (!o.served || !d.served) return 0;
    if (o.offshore) return o.state == d.state ? 2 : 0;  // no outbound service from offshore
    double miles = origCenter == destCenter ? 0 : RoadMiles(o.at, d.at);
    int days = miles <= 250    ? 1
               : miles <= 550  ? 2
               : miles <= 950  ? 3
               : miles <= 1500 ? 4
               : miles <= 2200 ? 5
                               : 6;
    if (o.country != d.country) days = std::min(6, days + 1);    // customs at the border
    if (d.offshore) days = d.state == "AK" && days < 5 ? 5 : 6;  // the water or air leg
    return days;
}

void WriteLaneData(const Geography& g, const std::string& appDir) {
    const size_t cells = static_cast<size_t>(kZipListSize) * kZipListSize;
    std::string grd(cells, '\0'), lns(cells, '\0'), map(cells, '\0');
    std::map<int, int> rowsOfFile = {{kNoServiceFile, kNoServiceRow}};
    const int used = static_cast<int>(g.keys.size());
    for (int o = 0; o < kZipListSize; ++o) {
        for (int d = 0; d < kZipListSize; ++d) {
            LaneCode lane = o < used && d < used ? LaneBetween(g, o, d) : LaneCode{};
            int& rows = rowsOfFile[lane.file];
            rows = std::max(rows, lane.row);
            // Six digits FFFRRR, two from each file: FF, FR, RR.
            size_t cell = static_cast<size_t>(o) * kZipListSize + static_cast<size_t>(d);
            grd[cell] = static_cast<char>(lane.file / 10);
            lns[cell] = static_cast<char>(lane.file % 10 * 10 + lane.row / 100);
            map[cell] = static_cast<char>(lane.row % 100);
        }
    }
    WriteFileAtomically(appDir + "/data/cxgrd.dat", grd);
    WriteFileAtomically(appDir + "/data/cxlns.dat", lns);
    WriteFileAtomically(appDir + "/data/cxmap.dat", map);

    for (const auto& [file, rows] : rowsOfFile) {
        std::string bytes;
        for (int r = 1; r <= rows; ++r) bytes += Int32Bytes(GridRow(file, r));
        char name[32];
        std::snprintf(name, sizeof name, "/grids/grid%03d.dat", file);
        WriteFileAtomically(appDir + name, bytes);
    }

    std::string svc(static_cast<size_t>(kServiceCenterSize) * kServiceCenterSize, '\0');
    const int centers = static_cast<int>(g.centers.size());
    for (int o = 0; o < centers; ++o)
        for (int d = 0; d < centers; ++d)
            svc[static_cast<size_t>(o) * kServiceCenterSize + static_cast<size_t>(d)] =
                static_cast<char>(TransitDays(g, o, d));
    WriteFileAtomically(appDir + "/data/svc.dat", svc);
}

}  // namespace sampletariff
