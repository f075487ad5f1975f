// What one repaint of the region map costs: the shipped outlines, and the map with the worst
// ring an outline file may hold (the most points, scattered over the whole picture), which
// every hover repaints.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <random>

#include "polygonfile.h"
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

void BM_PaintTheLargestScatteredRing(benchmark::State& state) {
    std::mt19937 random(7);
    std::string line = "Utah";
    for (int64_t i = 0; i < state.range(0); ++i)
        line += "," + std::to_string(random() % (kMapWidth + 1)) + "," +
                std::to_string(random() % (kMapHeight + 1));
    Paint(state, {line}, state.range(1) != 0);
}
BENCHMARK(BM_PaintTheLargestScatteredRing)
    ->ArgsProduct({{250, 500, static_cast<int64_t>(kMostRingPoints)}, {1, 0}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
