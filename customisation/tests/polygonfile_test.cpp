// The state outlines: reading the file, the rings of a line, and which state a point lies in.

#include "polygonfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

// Written into a folder of this run alone, removed when it ends, whoever runs it.
std::string WriteTemp(const std::string& name, const std::string& text) {
    static const QTemporaryDir scratch;
    const auto path = std::filesystem::path(scratch.path().toStdString()) / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

TEST(PolygonFile, EveryNonEmptyLineInFileOrder) {
    const auto path =
        WriteTemp("poly_lines.txt", "B,0,0,1,0,1,1\n\nA,0,0,2,0,2,2\r\n\n\nC,5,5,6,5,6,6");
    std::vector<std::string> list = {"left over from before"};
    ASSERT_TRUE(LoadPolygonFile(path, list).readable);
    EXPECT_EQ(list, (std::vector<std::string>{"B,0,0,1,0,1,1", "A,0,0,2,0,2,2", "C,5,5,6,5,6,6"}));
}

// A line far longer than any outline is not kept whole, and a line end in a CR LF file counts
// the lines as a user sees them.
TEST(PolygonFile, AnOverlongLineIsABadLineKeptOnlyInPart) {
    const std::string overlong = "Utah" + std::string(kMostPolygonLineBytes * 4, '7');
    const auto path = WriteTemp("poly_overlong.txt", "A,0,0,2,0,2,2\r\n" + overlong +
                                                         "\r\nB,0,0,1,0,1,1\r\n");
    std::vector<std::string> list;
    const PolygonFileRead read = LoadPolygonFile(path, list);
    EXPECT_TRUE(read.readable);
    EXPECT_EQ(list, (std::vector<std::string>{"A,0,0,2,0,2,2", "B,0,0,1,0,1,1"}));
    ASSERT_EQ(read.badLines.size(), 1u);
    EXPECT_EQ(read.badLineCount, 1u);
    EXPECT_EQ(read.badLines[0], overlong.substr(0, kMostPolygonLineBytes));
    EXPECT_EQ(read.stoppedAtLine, 0u);
}

TEST(PolygonFile, MissingFileGivesAnEmptyList) {
    std::vector<std::string> list = {"stale"};
    EXPECT_FALSE(LoadPolygonFile("/nonexistent/usa_poly.txt", list).readable);
    EXPECT_TRUE(list.empty());
}

TEST(PolygonFile, RingsOfGoodAndBadLines) {
    const auto ring = ParsePolygonRing("Utah,10,20,30,40,50,60");
    ASSERT_TRUE(ring);
    ASSERT_EQ(ring->size(), 3u);
    EXPECT_EQ((*ring)[2].x, 50);
    EXPECT_EQ((*ring)[2].y, 60);
    EXPECT_EQ(PolygonName("Utah,10,20"), "Utah");

    EXPECT_EQ(PolygonName("no comma at all"), "");
    EXPECT_FALSE(ParsePolygonRing("no comma at all"));
    EXPECT_FALSE(ParsePolygonRing(",1,2,3,4,5,6"));       // no name
    EXPECT_FALSE(ParsePolygonRing("Utah,1,2,3,4,5"));     // odd count
    EXPECT_FALSE(ParsePolygonRing("Utah,1,2,3,4"));       // two points only
    EXPECT_FALSE(ParsePolygonRing("Utah,1,2,3,x,5,6"));   // not a number
    EXPECT_FALSE(ParsePolygonRing("Utah,1,2,3,4,5,6,"));  // empty last field
    EXPECT_FALSE(ParsePolygonRing("Utah,1.5,2,3,4,5,6"));
}

// A damaged file's far-off points or endless rings would make every repaint and every hover
// crawl: such a line is no ring.
TEST(PolygonFile, RingsStayOnThePictureAndWithinTheirSize) {
    EXPECT_TRUE(ParsePolygonRing("Utah,0,0,800,0,800,500"));
    EXPECT_FALSE(ParsePolygonRing("Utah,0,0,801,0,800,500"));
    EXPECT_FALSE(ParsePolygonRing("Utah,0,0,800,0,800,501"));
    EXPECT_FALSE(ParsePolygonRing("Utah,0,-1,800,0,800,500"));
    EXPECT_FALSE(ParsePolygonRing("Utah,0,0,500,700,800,100"));  // y may not reach 700
    EXPECT_FALSE(ParsePolygonRing("Utah,10,20,30,40,50,2000000000"));

    auto ringOf = [](size_t points) {
        std::string line = "Utah";
        for (size_t i = 0; i < points; ++i)
            line += "," + std::to_string(i % 800) + "," + std::to_string(i % 2 ? 0 : 500);
        return line;
    };
    ASSERT_TRUE(ParsePolygonRing(ringOf(kMostRingPoints)));
    EXPECT_EQ(ParsePolygonRing(ringOf(kMostRingPoints))->size(), kMostRingPoints);
    EXPECT_FALSE(ParsePolygonRing(ringOf(kMostRingPoints + 1)));
}

TEST(PolygonFile, PointsInsideAndOutsideARing) {
    // An L shape: the notch at the top right is outside.
    const MapRing ell = {{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};
    EXPECT_TRUE(RingContains(ell, 1, 1));
    EXPECT_TRUE(RingContains(ell, 3, 1));
    EXPECT_TRUE(RingContains(ell, 1, 3));
    EXPECT_FALSE(RingContains(ell, 3, 3));
    EXPECT_FALSE(RingContains(ell, -1, 1));
    EXPECT_FALSE(RingContains(ell, 5, 1));
}

TEST(PolygonFile, RingsOfOneNameAreOneShapeAndTheLastShapeWinsOverlaps) {
    std::vector<MapShape> shapes;
    AddRing(shapes, "Big", {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    AddRing(shapes, "Islands", {{20, 0}, {22, 0}, {22, 2}});
    AddRing(shapes, "Islands", {{30, 0}, {32, 0}, {32, 2}, {30, 2}});
    AddRing(shapes, "Dot", {{4, 4}, {6, 4}, {6, 6}, {4, 6}});
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[1].rings.size(), 2u);

    ASSERT_NE(ShapeAt(shapes, 31, 1), nullptr);
    EXPECT_EQ(ShapeAt(shapes, 31, 1)->name, "Islands");
    EXPECT_EQ(ShapeAt(shapes, 21.5, 0.5)->name, "Islands");
    EXPECT_EQ(ShapeAt(shapes, 5, 5)->name, "Dot");
    EXPECT_EQ(ShapeAt(shapes, 1, 1)->name, "Big");
    EXPECT_EQ(ShapeAt(shapes, 25, 1), nullptr);
}

// The outlines the program ships: every line is a good ring, the 50 states and the District make
// 51 shapes, and a point well inside a state, of each part of a state in several pieces, and of
// the District finds that state.
TEST(PolygonFile, ShippedOutlines) {
    std::vector<std::string> lines;
    const PolygonFileRead read = LoadPolygonFile(FRETLYN_APP_DIR "/graphics/usa_poly.txt", lines);
    ASSERT_TRUE(read.readable);
    EXPECT_EQ(read.badLineCount, 0u);
    EXPECT_EQ(read.stoppedAtLine, 0u);
    std::vector<MapShape> shapes;
    for (const auto& line : lines) {
        auto ring = ParsePolygonRing(line);
        ASSERT_TRUE(ring) << line.substr(0, 40);
        for (const auto& p : *ring) {
            EXPECT_GE(p.x, 0);
            EXPECT_LT(p.x, kMapWidth);
            EXPECT_GE(p.y, 0);
            EXPECT_LT(p.y, kMapHeight);
        }
        AddRing(shapes, PolygonName(line), std::move(*ring));
    }
    EXPECT_EQ(shapes.size(), 51u);

    // The DC square is (691,215)-(695,219) and lies over Maryland and Virginia.
    ASSERT_NE(ShapeAt(shapes, 693, 217), nullptr);
    EXPECT_EQ(ShapeAt(shapes, 693, 217)->name, "District of Columbia");

    // A point inside each ring of Michigan, found from the ring's own vertices: the centre of
    // a small triangle of three consecutive vertices may fall outside a concave ring, so try
    // the middles of the ring's diagonals until one lies inside.
    for (const auto& shape : shapes) {
        if (shape.name != "Michigan" && shape.name != "California") continue;
        for (const auto& ring : shape.rings) {
            bool found = false;
            for (size_t k = 2; k < ring.size() && !found; ++k) {
                const double x = (ring[0].x + ring[k].x) / 2.0, y = (ring[0].y + ring[k].y) / 2.0;
                if (!RingContains(ring, x, y)) continue;
                const MapShape* hit = ShapeAt(shapes, x, y);
                ASSERT_NE(hit, nullptr);
                EXPECT_EQ(hit->name, shape.name);
                found = true;
            }
            EXPECT_TRUE(found) << shape.name;
        }
    }
}

}  // namespace
