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
    // Whether the ring alone stays within the bounds of the whole file: one that does not is a
    // scribble over the picture, no state's outline.
    static bool FitsAlone(const MapRing& ring);

  private:
    size_t points_ = 0;
    double length_ = 0;
};

// The longest line read as an outline: a ring of kMostRingPoints points takes a few kilobytes
// even with blanks between its numbers. A longer line is no outline and is not kept whole.
inline constexpr size_t kMostPolygonLineBytes = 32 * 1024;
// The most of the file that is read at all: many times what the bounds above take in outlines,
// blank and damaged lines included, so that a huge file costs no more than this to look at.
inline constexpr size_t kMostPolygonFileBytes = 2 * 1024 * 1024;
// The lines that are no outline kept to be named in a message; the rest are only counted.
inline constexpr size_t kListedBadPolygonLines = 5;

// What reading the outlines file found besides the outlines it took.
struct PolygonFileRead {
    // False when there is nothing to read: no file there, a folder or other non-file in its
    // place, a file that cannot be opened, or one without a single non-empty line.
    bool readable = false;
    // The first kListedBadPolygonLines lines that are no outline, in file order (each at most
    // kMostPolygonLineBytes long), and how many there are in all.
    std::vector<std::string> badLines;
    size_t badLineCount = 0;
    // The line (from 1) at which reading stopped because the outlines before it fill the
    // bounds of the whole file, or the file runs past kMostPolygonFileBytes; 0 when the file
    // was read to its end.
    size_t stoppedAtLine = 0;
};

// Empties the list, then adds in file order every line of the file that is an outline the map
// takes (ParsePolygonRing, within MapOutlineBudget), until the outlines taken fill the bounds of
// the whole file; the file is read no further then. Empty lines are skipped; a line ended by
// CR LF loses its CR. What is kept stays within the bounds whatever the file's size.
PolygonFileRead LoadPolygonFile(const std::string& path, std::vector<std::string>& list);

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
