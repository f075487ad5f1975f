// Drawing the region map: the control's calls in their order, the colour of every polygon, what
// a damaged or missing file does, and the floor a click on the location's own state writes.

#include "regionmap.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "polygonfile.h"
#include "recordingcontrol.h"
#include "tariffdb.h"

namespace fs = std::filesystem;

namespace {

// A small application folder with its own outlines and picture.
class RegionMapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid()) << scratch.errorString().toStdString();
        folder = scratch.path().toStdString() + "/";
        fs::create_directories(folder + "graphics");
        std::ofstream(folder + "graphics/usa.bmp") << "BM";
        ResetMapProblemReports();
        source.isListedState = [this](const std::string& name) { return regions.count(name) > 0; };
        source.regionOf = [this](const std::string& name) { return regions.at(name); };
        // Regions 1 to 3 have colours here; the rest keep the colour before.
        source.regionColour = [this](uint8_t region) {
            if (region >= 1 && region <= 3)
                current = {uint8_t(10 * region), uint8_t(20 * region), uint8_t(30 * region)};
        };
        source.currentColour = [this] { return current; };
    }
    void WritePolygons(const std::string& text) {
        std::ofstream(folder + "graphics/usa_poly.txt", std::ios::binary) << text;
    }

    QTemporaryDir scratch;  // of this test alone, whoever runs it
    std::string folder;
    std::map<std::string, uint8_t> regions;
    MapRGB current = {1, 2, 3};
    RegionMapSource source;
    RecordingControl control;
    std::vector<std::string> polygons;
};

TEST_F(RegionMapTest, CallsInTheirOrder) {
    WritePolygons("Ohio,0,0,4,0,4,4\n\nIowa,9,9,12,9,12,12\n");
    regions = {{"Ohio", 2}, {"Iowa", 1}};
    const auto problems = DrawRegionMap(control, folder, polygons, source);

    const std::vector<std::string> expected = {"60 0",
                                               "61 0",
                                               "59 1",
                                               "58 65535",
                                               "57 255",
                                               "1 " + folder + "graphics",
                                               "2 usa.bmp",
                                               "87 Form1",
                                               "130 Ohio | 12,Ohio,0,0,4,0,4,4",
                                               "74 '' Ohio",
                                               "143 Ohio 20 40 60",
                                               "137 Ohio 1 0",
                                               "130 Iowa | 12,Iowa,9,9,12,9,12,12",
                                               "74 '' Iowa",
                                               "143 Iowa 10 20 30",
                                               "137 Iowa 1 0",
                                               "88",
                                               "89 Form1"};
    EXPECT_EQ(control.calls, expected);
    EXPECT_EQ(polygons, (std::vector<std::string>{"Ohio,0,0,4,0,4,4", "Iowa,9,9,12,9,12,12"}));
    EXPECT_TRUE(problems.missingPolygonFile.empty());
    EXPECT_TRUE(problems.missingPicture.empty());
    EXPECT_TRUE(problems.badLines.empty());
    EXPECT_TRUE(UntoldMapProblems(problems).empty());
}

// Several rings of one name each become a polygon call under that name, all in its colour;
// a region without colour takes the colour current before it; an unlisted name is neutral.
TEST_F(RegionMapTest, ColoursOfRingsUncolouredRegionsAndUnlistedNames) {
    WritePolygons(
        "Alaska,0,0,1,0,1,1\nMaine,0,0,2,0,2,2\nMaine,5,5,6,5,6,6\n"
        "Quebec,0,0,3,0,3,3\nIowa,0,0,4,0,4,4\n");
    regions = {{"Maine", 3}, {"Quebec", 254}, {"Iowa", 0}};
    DrawRegionMap(control, folder, polygons, source);
    const std::vector<std::string> expected = {"Alaska 190 190 190", "Maine 30 60 90",
                                               "Maine 30 60 90", "Quebec 30 60 90",
                                               "Iowa 30 60 90"};
    EXPECT_EQ(control.Fills(), expected);
    EXPECT_EQ(current, (MapRGB{30, 60, 90}));
}

TEST_F(RegionMapTest, FirstPolygonWithoutColourTakesTheColourBeforeTheDrawing) {
    WritePolygons("Iowa,0,0,4,0,4,4\n");
    regions = {{"Iowa", 14}};
    DrawRegionMap(control, folder, polygons, source);
    EXPECT_EQ(control.Fills(), (std::vector<std::string>{"Iowa 1 2 3"}));
}

TEST_F(RegionMapTest, BadLinesAreLeftOutAndToldOnce) {
    WritePolygons("Ohio,0,0,4,0,4,4\njust words\nIowa,1,2,x\n\nUtah,0,0,1,0,1,1\n");
    regions = {{"Ohio", 1}, {"Iowa", 1}, {"Utah", 2}};
    const auto problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_EQ(problems.badLines, (std::vector<std::string>{"just words", "Iowa,1,2,x"}));
    EXPECT_EQ(control.Fills(), (std::vector<std::string>{"Ohio 10 20 30", "Utah 20 40 60"}));

    const auto told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("just words"), std::string::npos);
    EXPECT_NE(told[0].find("Iowa,1,2,x"), std::string::npos);
    // The next location drawn finds the same file: nothing new to tell.
    control.calls.clear();
    EXPECT_TRUE(UntoldMapProblems(DrawRegionMap(control, folder, polygons, source)).empty());
    EXPECT_EQ(control.Fills().size(), 2u);
}

TEST_F(RegionMapTest, ALineOfFarOffPointsIsABadLineToldOnce) {
    std::string farOff = "Iowa";
    for (int i = 0; i < 1000; ++i)
        farOff += "," + std::to_string(i * 7919 % 90000 - 45000) + "," +
                  std::to_string(i * 104729 % 90000);
    WritePolygons("Ohio,0,0,4,0,4,4\n" + farOff + "\n");
    regions = {{"Ohio", 1}, {"Iowa", 1}};
    const auto problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_EQ(problems.badLines, std::vector<std::string>{farOff});
    EXPECT_EQ(control.Fills(), std::vector<std::string>{"Ohio 10 20 30"});
    EXPECT_EQ(UntoldMapProblems(problems).size(), 1u);
    EXPECT_TRUE(UntoldMapProblems(DrawRegionMap(control, folder, polygons, source)).empty());
}

// Every line of a file with a thousand points scattered over the picture: each ring crosses
// itself all over the map and alone runs past what the whole file may draw, so each is left off
// and told as a bad line; the states around them are drawn.
TEST_F(RegionMapTest, ScatteredRingsPastTheBoundOfTheWholeFileAreLeftOutAndTold) {
    std::mt19937 random(36);
    std::vector<std::string> scattered;
    std::string text = "Ohio,0,0,4,0,4,4\n";
    for (int n = 0; n < 81; ++n) {
        std::string line = "Iowa";
        for (size_t i = 0; i < kMostRingPoints; ++i)
            line += "," + std::to_string(random() % (kMapWidth + 1)) + "," +
                    std::to_string(random() % (kMapHeight + 1));
        scattered.push_back(line);
        text += line + "\n";
    }
    WritePolygons(text + "Utah,0,0,1,0,1,1\n");
    regions = {{"Ohio", 1}, {"Iowa", 1}, {"Utah", 2}};
    const auto problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_EQ(problems.badLines,
              std::vector<std::string>(scattered.begin(), scattered.begin() + 5));
    EXPECT_EQ(problems.badLineCount, scattered.size());
    EXPECT_TRUE(problems.oversizePolygonFile.empty());
    EXPECT_EQ(control.Fills(), (std::vector<std::string>{"Ohio 10 20 30", "Utah 20 40 60"}));
    const auto told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("and 76 more."), std::string::npos);
}

// Rings that each fit are taken in file order until the next would take the whole file past
// its bounds of outline length or of points; the file is read no further, and the message says
// the file is too large for the map, not that its lines are no outline.
TEST_F(RegionMapTest, TheWholeFileIsBoundedInOutlineLengthAndInPoints) {
    // The picture's own frame: 2,600 pixels of outline in 4 points.
    const std::string frame = "Iowa,0,0,800,0,800,500,0,500";
    const auto fit = static_cast<size_t>(kMostMapOutlineLength / 2600);
    std::string text;
    for (size_t n = 0; n < fit + 3; ++n) text += frame + "\n";
    WritePolygons(text + "Utah,0,0,1,0,1,1\n");
    regions = {{"Iowa", 1}, {"Utah", 2}};
    auto problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_TRUE(problems.badLines.empty());
    EXPECT_EQ(problems.badLineCount, 0u);
    EXPECT_EQ(problems.oversizePolygonFile, folder + "graphics/usa_poly.txt");
    EXPECT_EQ(problems.polygonFileStoppedAt, fit + 1);
    EXPECT_EQ(control.Fills().size(), fit);
    EXPECT_EQ(control.Fills().back(), "Iowa 10 20 30");
    const auto told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "The state outlines file " + folder +
                           "graphics/usa_poly.txt is larger than the map can draw (20,000 "
                           "points, 60,000 pixels of outline, 2 MB of text).  The map shows "
                           "the outlines before line " +
                           std::to_string(fit + 1) + " and leaves off the rest of the file.");
    EXPECT_EQ(told[0].find("not a state's outline"), std::string::npos);

    // A thousand points a ring on a 2 x 2 pixel square: little outline, many points.
    std::string dense = "Iowa";
    for (size_t i = 0; i < kMostRingPoints; ++i) dense += i % 2 ? ",1,1" : ",0,0";
    const size_t rings = kMostMapPoints / kMostRingPoints;
    text.clear();
    for (size_t n = 0; n < rings + 2; ++n) text += dense + "\n";
    WritePolygons(text);
    control.calls.clear();
    problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_TRUE(problems.badLines.empty());
    EXPECT_EQ(problems.polygonFileStoppedAt, rings + 1);
    EXPECT_EQ(control.Fills().size(), rings);
}

// However large the file, the map keeps no more than its bounds allow and says the file is too
// large: a million small outlines, and a file of a gigabyte and more that is no outline at all.
TEST_F(RegionMapTest, AHugeFileIsReadOnlyToTheMapsBounds) {
    {
        std::ofstream file(folder + "graphics/usa_poly.txt", std::ios::binary);
        const std::string small = "Iowa,0,0,1,0,1,1\n";
        std::string block;
        for (int i = 0; i < 1000; ++i) block += small;
        for (int i = 0; i < 1000; ++i) file << block;
    }
    regions = {{"Iowa", 1}};
    auto problems = DrawRegionMap(control, folder, polygons, source);
    const size_t taken = kMostMapPoints / 3;
    EXPECT_EQ(polygons.size(), taken);
    EXPECT_EQ(control.Fills().size(), taken);
    EXPECT_EQ(problems.polygonFileStoppedAt, taken + 1);
    EXPECT_EQ(problems.badLineCount, 0u);
    EXPECT_TRUE(problems.missingPolygonFile.empty());
    auto told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("is larger than the map can draw"), std::string::npos);

    // Four gigabytes without a line end, written as a hole in the file (it takes no disk).
    {
        std::ofstream(folder + "graphics/usa_poly.txt", std::ios::binary | std::ios::trunc);
        fs::resize_file(folder + "graphics/usa_poly.txt", uintmax_t{4} << 30);
    }
    control.calls.clear();
    problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_TRUE(polygons.empty());
    EXPECT_TRUE(problems.badLines.empty());
    EXPECT_EQ(problems.polygonFileStoppedAt, 1u);
    EXPECT_TRUE(problems.missingPolygonFile.empty());
    told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("before line 1 and leaves off"), std::string::npos);

    // Lines of junk to the bound of the file's size: the first few are kept to be named.
    {
        std::ofstream file(folder + "graphics/usa_poly.txt", std::ios::binary | std::ios::trunc);
        for (size_t i = 0; i < kMostPolygonFileBytes / 8; ++i) file << "junk " << i % 100 << "\n";
    }
    problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_TRUE(polygons.empty());
    EXPECT_EQ(problems.badLines.size(), kListedBadPolygonLines);
    EXPECT_GT(problems.badLineCount, kMostPolygonFileBytes / 9);
    EXPECT_EQ(problems.polygonFileStoppedAt, 0u);  // 7 or 8 bytes a line: all of it was read
}

TEST_F(RegionMapTest, ManyBadLinesAreToldInOneShortMessage) {
    std::string text = "Ohio,0,0,4,0,4,4\n";
    for (int i = 1; i <= 40; ++i) text += "junk" + std::to_string(i) + "\n";
    WritePolygons(text);
    regions = {{"Ohio", 1}};
    const auto told = UntoldMapProblems(DrawRegionMap(control, folder, polygons, source));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("junk5\""), std::string::npos);
    EXPECT_EQ(told[0].find("junk6"), std::string::npos);
    EXPECT_NE(told[0].find("and 35 more."), std::string::npos);
}

// An empty file, one of empty lines, or a folder in the file's place holds no outline to read:
// the map says what it says of a missing file.
TEST_F(RegionMapTest, AnEmptyFileOrAFolderIsToldAsAMissingFile) {
    const std::string path = folder + "graphics/usa_poly.txt";
    const std::string missing = "The state outlines cannot be read from " + path +
                                ".  The map stays empty; the discounts can still be edited.";
    auto check = [&](const char* what) {
        SCOPED_TRACE(what);
        ResetMapProblemReports();
        polygons = {"stale"};
        const auto problems = DrawRegionMap(control, folder, polygons, source);
        EXPECT_EQ(problems.missingPolygonFile, path);
        EXPECT_TRUE(polygons.empty());
        EXPECT_EQ(UntoldMapProblems(problems), std::vector<std::string>{missing});
    };
    check("missing");
    WritePolygons("");
    check("empty");
    WritePolygons("\r\n\n\n");
    check("empty lines");
    fs::remove(path);
    fs::create_directory(path);
    check("folder");
}

TEST_F(RegionMapTest, MissingFilesAreToldAndTheDrawingStillEnds) {
    fs::remove(folder + "graphics/usa.bmp");
    const auto problems = DrawRegionMap(control, folder, polygons, source);
    EXPECT_EQ(problems.missingPolygonFile, folder + "graphics/usa_poly.txt");
    EXPECT_EQ(problems.missingPicture, folder + "graphics/usa.bmp");
    EXPECT_TRUE(polygons.empty());
    ASSERT_GE(control.calls.size(), 2u);
    EXPECT_EQ(control.calls[control.calls.size() - 2], "88");
    EXPECT_EQ(control.calls.back(), "89 Form1");
    const auto told = UntoldMapProblems(problems);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[0].find("usa_poly.txt"), std::string::npos);
    EXPECT_NE(told[1].find("usa.bmp"), std::string::npos);
    EXPECT_TRUE(UntoldMapProblems(problems).empty());
}

class IntrastateFloorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = tariff.startupValues;
        tariff.startupValues["FLOOR_qzbintra"] = "61.00";
        tariff.startupValues["FLOOR_qzdintra"] = "72.50";
        tariff.startupValues["FLOOR_qzdcalif"] = "83.25";
        tariff.startupValues["FLOOR_qzainter"] = "11.11";
    }
    void TearDown() override { tariff.startupValues = saved; }
    decltype(tariff.startupValues) saved;
};

TEST_F(IntrastateFloorTest, FloorByOperatingRegionForTheOwnStateInACreatedRegion) {
    EXPECT_EQ(IntrastateFloor(5, "GA", "GA", "QZB"), "61.00");
    EXPECT_EQ(IntrastateFloor(13, "GA", "GA", "QZB"), "61.00");
    EXPECT_EQ(IntrastateFloor(5, "CA", "CA", "QZD"), "83.25");
    EXPECT_EQ(IntrastateFloor(7, "OR", "OR", "QZD"), "72.50");
}

TEST_F(IntrastateFloorTest, NoFloorOtherwise) {
    EXPECT_FALSE(IntrastateFloor(4, "CA", "CA", "QZD"));  // a new location's own regions
    EXPECT_FALSE(IntrastateFloor(1, "GA", "GA", "QZB"));
    EXPECT_FALSE(IntrastateFloor(5, "IL", "IL", "QZA"));
    EXPECT_FALSE(IntrastateFloor(5, "", "", "QZF"));      // a postal zone
    EXPECT_FALSE(IntrastateFloor(6, "CA", "NV", "QZD"));  // another state
    EXPECT_FALSE(IntrastateFloor(6, "", "ON", "QZF"));    // "ALL" has no state of its own
    EXPECT_FALSE(IntrastateFloor(6, "", "", "QZD"));      // a prefix no ZIP has
}

TEST_F(IntrastateFloorTest, MissingSettingGivesTheEmptyFloor) {
    tariff.startupValues.erase("FLOOR_qzbintra");
    EXPECT_EQ(IntrastateFloor(5, "GA", "GA", "QZB"), "00.00");
}

}  // namespace
