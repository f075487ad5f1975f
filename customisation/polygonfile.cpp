#include "polygonfile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

std::string PolygonName(const std::string& line) {
    const auto comma = line.find(',');
    return comma == std::string::npos ? std::string() : line.substr(0, comma);
}

namespace {

bool ParseWhole(std::string_view field, int& value) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    if (field.empty()) return false;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && end == field.data() + field.size();
}

}  // namespace

std::optional<MapRing> ParsePolygonRing(const std::string& line) {
    const auto comma = line.find(',');
    if (comma == std::string::npos || comma == 0) return std::nullopt;
    std::vector<int> values;
    std::string_view rest(line);
    rest.remove_prefix(comma + 1);
    while (true) {
        const auto next = rest.find(',');
        int value = 0;
        if (!ParseWhole(rest.substr(0, next), value)) return std::nullopt;
        // Even-numbered fields are x, the others y.
        if (value < 0 || value > (values.size() % 2 == 0 ? kMapWidth : kMapHeight))
            return std::nullopt;
        values.push_back(value);
        if (values.size() > 2 * kMostRingPoints) return std::nullopt;
        if (next == std::string_view::npos) break;
        rest.remove_prefix(next + 1);
    }
    if (values.size() % 2 != 0 || values.size() < 6) return std::nullopt;
    MapRing ring;
    for (size_t i = 0; i < values.size(); i += 2) ring.push_back({values[i], values[i + 1]});
    return ring;
}

bool RingContains(const MapRing& ring, double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const double xi = ring[i].x, yi = ring[i].y, xj = ring[j].x, yj = ring[j].y;
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

double RingLength(const MapRing& ring) {
    double length = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        length += std::hypot(ring[i].x - ring[j].x, ring[i].y - ring[j].y);
    return length;
}

bool MapOutlineBudget::Admit(const MapRing& ring) {
    const double length = RingLength(ring);
    if (points_ + ring.size() > kMostMapPoints || length_ + length > kMostMapOutlineLength)
        return false;
    points_ += ring.size();
    length_ += length;
    return true;
}

void AddRing(std::vector<MapShape>& shapes, const std::string& name, MapRing ring) {
    for (auto& shape : shapes)
        if (shape.name == name) {
            shape.rings.push_back(std::move(ring));
            return;
        }
    shapes.push_back({name, {std::move(ring)}});
}

const MapShape* ShapeAt(const std::vector<MapShape>& shapes, double x, double y) {
    for (auto shape = shapes.rbegin(); shape != shapes.rend(); ++shape)
        for (const auto& ring : shape->rings)
            if (RingContains(ring, x, y)) return &*shape;
    return nullptr;
}

bool MapOutlineBudget::FitsAlone(const MapRing& ring) {
    return MapOutlineBudget().Admit(ring);
}

PolygonFileRead LoadPolygonFile(const std::string& path, std::vector<std::string>& list) {
    list.clear();
    PolygonFileRead read;
    std::error_code error;
    // A folder opens for reading and then reads as nothing; a pipe or a device could be
    // endless.
    if (!std::filesystem::is_regular_file(path, error)) return read;
    std::ifstream in(path, std::ios::binary);
    if (!in) return read;

    MapOutlineBudget budget;
    std::string line;
    bool overlong = false;  // the line ran past kMostPolygonLineBytes and is cut there
    bool anyLine = false;
    size_t lineNumber = 1;
    // Takes the line just ended; false when reading stops at it.
    auto take = [&]() {
        // A file written on the other platform ends its lines with CR LF.
        if (!overlong && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() && !overlong) return true;
        anyLine = true;
        std::optional<MapRing> ring;
        if (!overlong) ring = ParsePolygonRing(line);
        if (!ring || !MapOutlineBudget::FitsAlone(*ring)) {
            if (read.badLines.size() < kListedBadPolygonLines) read.badLines.push_back(line);
            ++read.badLineCount;
            return true;
        }
        if (!budget.Admit(*ring)) {
            read.stoppedAtLine = lineNumber;
            return false;
        }
        list.push_back(line);
        return true;
    };

    char block[64 * 1024];
    size_t consumed = 0;
    bool stopped = false;
    while (!stopped && in) {
        in.read(block, sizeof block);
        const auto got = static_cast<size_t>(in.gcount());
        for (size_t i = 0; i < got; ++i) {
            if (++consumed > kMostPolygonFileBytes) {
                // What was read of the line it stops in is no whole line: it is not judged.
                read.stoppedAtLine = lineNumber;
                anyLine = true;
                stopped = true;
                break;
            }
            const char c = block[i];
            if (c == '\n') {
                if (!take()) {
                    stopped = true;
                    break;
                }
                line.clear();
                overlong = false;
                ++lineNumber;
            } else if (line.size() < kMostPolygonLineBytes) {
                line.push_back(c);
            } else {
                overlong = true;
            }
        }
    }
    if (!stopped) take();  // the last line, when no line end follows it
    read.readable = anyLine;
    return read;
}
