// What one repaint of the region map costs: the shipped outlines, the map with the worst ring
// an outline file may hold (the most points, scattered over the whole picture), which every
// hover repaints, and a hover over a whole file of such rings as the editor reads it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <fstream>
#include <random>

#include "drawoffscreen.h"
#include "polygonfile.h"
#include "regionmap.h"
#include "regionmapwidget.h"

namespace {

// With `recolour`, every repaint follows a change of colour and draws the whole map; without,
// it is a repaint for the pointer's hover outline only.
void Paint(benchmark::State& state, const std::vector<std::string>& lines, bool recolour) {
    RegionMapWidget map;
    map.resize(kMapWidth, kMapHeight);
    map.BeginDrawing("Form1");
    for (const auto& line : lines) {
        const std::string name = PolygonName(line);
        map.AddPolygon(name, "12," + line);
        map.FillPolygon(name, 255, 38, 9);
    }
    map.EndDrawing("Form1");
    QImage image(map.size(), QImage::Format_ARGB32);
    const std::string first = PolygonName(lines.front());
    map.render(&image);  // the first drawing, outside the measure
    for (auto _ : state) {
        if (recolour) map.FillPolygon(first, 0, 150, 72);
        map.render(&image);
    }
}

void BM_PaintShippedOutlines(benchmark::State& state) {
    std::vector<std::string> lines;
    LoadPolygonFile(FRETLYN_APP_DIR "/graphics/usa_poly.txt", lines);
    Paint(state, lines, state.range(0) != 0);
}
BENCHMARK(BM_PaintShippedOutlines)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The worst ring the map takes: points scattered over the whole picture, as many as the bounds
// of the file admit.
void BM_PaintTheLargestScatteredRing(benchmark::State& state) {
    std::mt19937 random(7);
    MapRing ring;
    std::string line = "Utah";
    while (true) {
        const MapPoint p{static_cast<int>(random() % (kMapWidth + 1)),
                         static_cast<int>(random() % (kMapHeight + 1))};
        ring.push_back(p);
        if (ring.size() > kMostRingPoints || RingLength(ring) > kMostMapOutlineLength) break;
        line += "," + std::to_string(p.x) + "," + std::to_string(p.y);
    }
    state.counters["points"] = static_cast<double>(ring.size() - 1);
    Paint(state, {line}, state.range(0) != 0);
}
BENCHMARK(BM_PaintTheLargestScatteredRing)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The shipped outlines with every line's points replaced by `points` random points on the
// picture: each ring crosses itself all over the map.
std::vector<std::string> ScatteredOutlines(int64_t points) {
    std::vector<std::string> shipped;
    LoadPolygonFile(FRETLYN_APP_DIR "/graphics/usa_poly.txt", shipped);
    std::mt19937 random(36);
    std::vector<std::string> lines;
    for (const auto& line : shipped) {
        std::string scattered = PolygonName(line);
        for (int64_t i = 0; i < points; ++i)
            scattered += "," + std::to_string(random() % (kMapWidth + 1)) + "," +
                         std::to_string(random() % (kMapHeight + 1));
        lines.push_back(scattered);
    }
    return lines;
}

// A hover as the editor meets it: the file read and drawn through the map's own drawing, then
// the pointer moved from state to state, each move finding the state under it and repainting
// its outline. The whole file is bounded, so whatever it holds a hover stays quick.
void BM_HoverOverScatteredFile(benchmark::State& state) {
    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("graphics"));
    QFile::copy(QStringLiteral(FRETLYN_APP_DIR "/graphics/usa.bmp"),
                app.filePath(QStringLiteral("graphics/usa.bmp")));
    {
        std::ofstream file(app.filePath(QStringLiteral("graphics/usa_poly.txt")).toStdString());
        for (const auto& line : ScatteredOutlines(state.range(0))) file << line << "\r\n";
    }
    RegionMapSource source;
    source.isListedState = [](const std::string&) { return false; };
    source.regionOf = [](const std::string&) { return uint8_t{0}; };
    source.regionColour = [](uint8_t) {};
    source.currentColour = [] { return kNeutralStateColour; };
    RegionMapWidget map;
    map.resize(kMapWidth, kMapHeight);
    std::vector<std::string> polygons;
    const RegionMapProblems problems =
        DrawRegionMap(map, app.path().toStdString() + "/", polygons, source);
    QImage image(map.size(), QImage::Format_ARGB32);
    map.render(&image);  // the first drawing, outside the measure
    const QPointF stops[] = {{400, 250}, {200, 120}, {620, 380}, {120, 400}};
    size_t n = 0;
    for (auto _ : state) {
        const QPointF at = stops[n++ % std::size(stops)];
        QMouseEvent move(QEvent::MouseMove, at, map.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&map, &move);
        map.render(&image);
    }
    state.counters["linesLeftOff"] = static_cast<double>(problems.badLineCount);
}
// 1,000 points a line is the file that froze the map; 30 a line fills the bounds with rings
// that each fit.
BENCHMARK(BM_HoverOverScatteredFile)
    ->Arg(static_cast<int64_t>(kMostRingPoints))
    ->Arg(30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
    DrawOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
