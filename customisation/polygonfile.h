#pragma once
// The state outlines of the region map (graphics/usa_poly.txt): one ring per line, "Name,x1,y1,
// x2,y2,…" in the pixels of the 800 x 500 background picture. A state with islands or detached
// parts has several lines under one name; together they are one state.

#include <optional>
#include <string>
#include <vector>

struct MapPoint {
    int x = 0;
    int y = 0;
};

using MapRing = std::vector<MapPoint>;

// The size of the picture the outlines are drawn for.
inline constexpr int kMapWidth = 800;
inline constexpr int kMapHeight = 500;

// Empties the list, then adds every non-empty line of the file in file order. False when the
// file cannot be read (the list stays empty then).
bool LoadPolygonFile(const std::string& path, std::vector<std::string>& list);

// The name of a polygon line: the text before its first comma; empty when it has none.
std::string PolygonName(const std::string& line);

// The most points a ring may have: far more than the finest outline needs, few enough that
// drawing and hit-testing it stay quick.
inline constexpr size_t kMostRingPoints = 1000;

// The ring of a polygon line "Name,x1,y1,…": three to kMostRingPoints points of whole numbers,
// each on the picture (0 to kMapWidth, 0 to kMapHeight). Nothing when the line has no name, an
// odd count of coordinates, a field that is not a whole number, a point off the picture, or too
// few or too many points.
std::optional<MapRing> ParsePolygonRing(const std::string& line);

// Whether the point lies inside the ring (even-odd rule; the ring closes by itself).
bool RingContains(const MapRing& ring, double x, double y);

// The length of a ring's outline in pixels of the picture, the closing edge included.
double RingLength(const MapRing& ring);

// The most the whole file may draw. Filling and outlining cost grows with the outlines' length,
// not only with their points: a ring that crosses itself all over the picture costs hundreds of
// times what a state's outline of as many points does. The shipped outlines have 3,134 points
// and some 17,000 pixels of outline; the bounds leave room for outlines several times finer
// and keep a hover well under a tenth of a second whatever the file holds.
inline constexpr size_t kMostMapPoints = 20000;
inline constexpr double kMostMapOutlineLength = 60000;

// The rings taken onto the map so far, against the bounds of the whole file.
class MapOutlineBudget {
  public:
    // Whether the ring still fits within the bounds; one that fits is counted.
    bool Admit(const MapRing& ring);

  private:
    size_t points_ = 0;
    double length_ = 0;
};

// One named shape of the map: every ring of its name.
struct MapShape {
    std::string name;
    std::vector<MapRing> rings;
};

// Adds the ring to the shape of its name, or to a new shape at the end.
void AddRing(std::vector<MapShape>& shapes, const std::string& name, MapRing ring);

// The shape under a point: the one added last among those that contain it, so that a small
// shape drawn over a larger one (the District of Columbia over its neighbours) takes its clicks.
// Nothing when the point is outside every shape.
const MapShape* ShapeAt(const std::vector<MapShape>& shapes, double x, double y);
