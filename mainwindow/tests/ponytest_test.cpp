// The batch rate test: the file test on the generated sample file against the comparison file
// the generator worked out on its own, the rates of ponyout rows and test lines by hand, and the
// files and lines it must refuse without stopping.

#include "ponytest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../../platform/tests/filesizelimit.h"
#include "form3.h"
#include "frmpony.h"
#include "geography.h"
#include "lanes.h"
#include "lockedfiles.h"
#include "maskededit.h"
#include "messagebox.h"
#include "rategrid.h"
#include "ratingfixture.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"
#include "userinput.h"
#include "windowlayout.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// A test line with its fields at their columns.
std::string TestLine(const std::string& a, const std::string& b, const std::string& days,
                     const std::string& cls, int weight, const std::string& rate) {
    std::string line(236, ' ');
    auto put = [&](size_t start, size_t width, std::string text, bool right) {
        if (right && text.size() < width) text = std::string(width - text.size(), ' ') + text;
        line.replace(start - 1, text.size(), text);
    };
    put(44, 7, std::to_string(weight), true);
    put(187, 6, a, false);
    put(193, 6, b, false);
    put(205, 2, days, true);
    put(208, 5, cls, false);
    put(213, 7, "REF0001", false);
    put(220, 8, rate, true);
    put(228, 9, "UNRATED", false);
    return line;
}

// ------------------------------------------------------------------ on the sample tariff

class PonySample : public ::testing::Test {
  protected:
    void SetUp() override {
        messageScript.Reset();
        messageScript.Start();
        OpenTariffDatabase();
        InitClassTables();
        LoadSettings();
        CloseRateGrids();
    }
    void TearDown() override {
        CloseAll();
        CloseRateGrids();
        messageScript.Reset();
    }
    ScratchAppFolder app;
    QTemporaryDir dir;
};

TEST_F(PonySample, TheSampleFileGivesExactlyTheExpectedComparisonFile) {
    const std::string out = dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString();
    const PonyFileResult r = RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, true);
    ASSERT_TRUE(r.ran) << r.error;
    const std::string got = ReadFile(out);
    const std::string expected = ReadFile(app.file("pony/TESTDATA.TXT").string());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(got, expected);
    // Line for line: the two points the tariff does not know, the line too short to hold its
    // codes, a class that is no class, days that are no number.
    const auto input = Lines(ReadFile(app.file("pony/RTQCtest.TXT").string()));
    EXPECT_EQ(input.size(), 308u);
    EXPECT_EQ(Lines(got).size(), input.size());
    EXPECT_EQ(r.lines, static_cast<int64_t>(input.size()));
    EXPECT_EQ(r.unratable, 5);
    EXPECT_EQ(r.firstUnratable, (std::vector<int64_t>{303, 304, 305, 307, 308}));
    EXPECT_EQ(r.rated, 301);
    // Every line ends in CR LF, and the deliberate mistakes are flagged.
    EXPECT_EQ(std::count(got.begin(), got.end(), '\n'), std::count(got.begin(), got.end(), '\r'));
    EXPECT_NE(got.find("  X  \r\n"), std::string::npos);
    EXPECT_NE(got.find("    Y\r\n"), std::string::npos);
}

TEST_F(PonySample, ALineOfTheSampleFileIsRatedAsWorkedOutByHand) {
    // The first class-100 line of the sample: its rate is the grid's cents of its break / 100.
    const std::vector<std::string> input = Lines(ReadFile(app.file("pony/RTQCtest.TXT").string()));
    auto line = std::find_if(input.begin(), input.end(), [](const std::string& l) {
        return l.size() > 212 && l.substr(207, 5) == "100  ";
    });
    ASSERT_NE(line, input.end());
    const std::string a = line->substr(186, 6), b = line->substr(192, 6);
    const int weight = std::stoi(line->substr(43, 7));
    const int weights[] = {500, 1000, 2000, 5000, 10000, 15000, 20000, 25000};
    const size_t brk = static_cast<size_t>(std::find(weights, weights + 8, weight) - weights) + 2;
    ASSERT_LE(brk, 9u);
    ASSERT_TRUE(LookupCityState(a.substr(0, 5), 0));
    ASSERT_TRUE(LookupCityState(b.substr(0, 5), 1));
    const std::string lane =
        GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript));
    // The grid row read straight from its file.
    const int file = std::stoi(lane.substr(0, 3)), row = std::stoi(lane.substr(3));
    char name[32];
    std::snprintf(name, sizeof name, "grids/grid%03d.dat", file);
    const std::string grid = ReadFile(app.file(name).string());
    const size_t at = static_cast<size_t>(row - 1) * 44 + 4 * brk;
    const auto byte = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<unsigned char>(grid[at + i]));
    };
    const auto cents = static_cast<int32_t>(byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24);
    const PonyLine done = PonyTestLine(*line, true);
    ASSERT_TRUE(done.rated);
    char rate[32];
    std::snprintf(rate, sizeof rate, "%d.%02d", cents / 100, cents % 100);
    std::string plain = rate;
    while (plain.back() == '0') plain.pop_back();
    if (plain.back() == '.') plain.pop_back();
    EXPECT_NE(done.text.find("  " + plain + "  "), std::string::npos) << done.text << " " << cents;
}

// A database damaged on disk stops the run with the file named and what to do, not with the
// engine's bare "database disk image is malformed"; the previous results stay as they were.
TEST_F(PonySample, ADamagedDatabaseStopsTheRunNamingIt) {
    const std::string out = dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString();
    std::ofstream(out, std::ios::binary) << "previous run\r\n";
    const std::string path = tariff.gDB->Path();
    const auto size = std::filesystem::file_size(path);
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(size / 2));
        const std::string zeros(size - size / 2, '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    try {
        RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, true);
        ADD_FAILURE() << "rated on a damaged database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        EXPECT_EQ(std::string(e.what()), "The database " + path +
                                             " is damaged (database disk image is malformed).  "
                                             "Restore it from a backup copy.");
    }
    EXPECT_EQ(ReadFile(out), "previous run\r\n");
}

TEST_F(PonySample, NoToFLRatesCopiesEveryLineUnrated) {
    const std::string out = dir.filePath(QStringLiteral("no.TXT")).toStdString();
    const PonyFileResult r = RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, false);
    ASSERT_TRUE(r.ran);
    const auto input = Lines(ReadFile(app.file("pony/RTQCtest.TXT").string()));
    const auto output = Lines(ReadFile(out));
    ASSERT_EQ(output.size(), input.size());
    EXPECT_EQ(r.rated, 0);
    EXPECT_EQ(r.unratable, 0);
    // The unrated form: A B C D E G H, the remark last.
    EXPECT_EQ(output[0].substr(0, 13), input[0].substr(186, 6) + " " + input[0].substr(192, 6));
    EXPECT_EQ(output[0], input[0].substr(186, 6) + " " + input[0].substr(192, 6) + " " +
                             input[0].substr(204, 2) + " " + input[0].substr(207, 5) + " " +
                             input[0].substr(212, 7) + " " + input[0].substr(219, 8) + " " +
                             "UNRATED  ");  // the remark padded to its nine columns
}

TEST_F(PonySample, AMissingInputFileIsToldWithItsPath) {
    const std::string in = dir.filePath(QStringLiteral("nowhere/RTQCtest.TXT")).toStdString();
    const PonyFileResult r =
        RunPonyFileTest(in, dir.filePath(QStringLiteral("out.TXT")).toStdString(), true);
    EXPECT_FALSE(r.ran);
    EXPECT_NE(r.error.find(in), std::string::npos);
    const std::string out = dir.filePath(QStringLiteral("no/such/TESTDATA.TXT")).toStdString();
    const PonyFileResult w = RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, true);
    EXPECT_FALSE(w.ran);
    EXPECT_NE(w.error.find(out), std::string::npos);
}

// A disk that fills up during a run leaves the last results file whole.
TEST_F(PonySample, AFullDiskKeepsTheLastResultsFile) {
    const std::string out = dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString();
    std::ofstream(out, std::ios::binary) << "the last results\r\n";
    const size_t full = ReadFile(app.file("pony/TESTDATA.TXT").string()).size();
    ASSERT_GT(full, 100u);
    PonyFileResult r;
    {
        FileSizeLimit disk(full / 2);
        r = RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, true);
    }
    EXPECT_FALSE(r.ran);
    EXPECT_NE(r.error.find(out), std::string::npos) << r.error;
    EXPECT_EQ(ReadFile(out), "the last results\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(PonySample, TheTestFolderIsTheSettingsOrTheDocumentsFolder) {
    SetConfigValue("PONY_folder", dir.path().toStdString() + "/pony files");
    EXPECT_EQ(PonyFolder(), dir.path().toStdString() + "/pony files/");
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("/pony files")).exists());
    SetConfigValue("PONY_folder", "");
    EXPECT_NE(PonyFolder().find("/Fretlyn/"), std::string::npos);
}

// ------------------------------------------------------------------ worked out by hand

// Lanes from Minneapolis (554) with rows the test writes: to Milwaukee (532) 10000 minimum,
// L5C..30M 6000, 5000, 4000, 3000, 2000, 1800, 1600, 1400, 1200, 1000 cents; to Baton Rouge (708)
// the same.
class PonyHand : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        messageScript.Reset();
        messageScript.Start();
        pony.Reset();
        for (const char* z : {"55401", "53202", "70801", "M5V2"})
            AddFullzip(z, "S" + std::string(z));
        Patch("554", "532");
        Patch("554", "708");
        Patch("554", "M3L");
        Patch("M3L", "532");
        CloseRateGrids();
        ASSERT_TRUE(LookupCityState("55401", 0));
        tariff.gOrigZip = "55401";
    }
    void TearDown() override {
        messageScript.Reset();
        RatingTest::TearDown();
    }
    static constexpr std::array<int32_t, 11> kLane = {10000, 6000, 5000, 4000, 3000, 2000,
                                                      1800,  1600, 1400, 1200, 1000};
    static int32_t LaneOf(const std::string& o, const std::string& d) {
        return static_cast<int32_t>(
            std::stol(GetLaneCode(GridCellNumber(ZipSubscript(o), ZipSubscript(d)))));
    }
    void Patch(const std::string& o, const std::string& d,
               const std::array<int32_t, 11>& v = kLane) {
        const int32_t lane = LaneOf(o, d);
        char name[32];
        std::snprintf(name, sizeof name, "grids/grid%03d.dat", lane / 1000);
        std::string bytes = ReadFile(app.file(name).string());
        const size_t at = static_cast<size_t>(lane % 1000 - 1) * 44;
        if (bytes.size() < at + 44) bytes.resize(at + 44, '\0');
        for (size_t i = 0; i < 11; ++i)
            for (size_t k = 0; k < 4; ++k)
                bytes[at + 4 * i + k] =
                    static_cast<char>((static_cast<uint32_t>(v[i]) >> (8 * k)) & 0xFF);
        std::ofstream(app.file(name).string(), std::ios::binary | std::ios::trunc) << bytes;
    }
    struct Row {
        std::string origin, dest, cls;
        std::vector<double> rates;
    };
    static std::vector<Row> PonyOut() {
        std::vector<Row> rows;
        Snapshot s = tariff.gDB->OpenSnapshot("SELECT * FROM ponyout ORDER BY rowid");
        for (; !s.AtEOF(); s.MoveNext()) {
            Row r{s.Field("ORIGIN").str(), s.Field("DEST").str(), s.Field("Class").str(), {}};
            for (const char* f : {"minchg", "L5C", "r5c", "r1m", "r2m", "r5m", "r10m", "r15m",
                                  "r20m", "r25m", "r30m"})
                r.rates.push_back(s.Field(f).toDouble());
            rows.push_back(r);
        }
        return rows;
    }
    std::string InputPath() const {
        return dir.filePath(QStringLiteral("RTQCtest.TXT")).toStdString();
    }
    std::string OutputPath() const {
        return dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString();
    }
    // The file test on an input file of exactly these bytes.
    PonyFileResult RunBytes(const std::string& bytes) {
        std::ofstream(InputPath(), std::ios::binary | std::ios::trunc) << bytes;
        return RunPonyFileTest(InputPath(), OutputPath(), true);
    }
    std::string RunFile(const std::vector<std::string>& lines, PonyFileResult* result = nullptr) {
        std::string bytes;
        for (const auto& l : lines) bytes += l + "\r\n";
        const PonyFileResult r = RunBytes(bytes);
        if (result) *result = r;
        return ReadFile(OutputPath());
    }
    QTemporaryDir dir;
};

TEST(PonyProvince, FirstLettersGiveTheirProvinces) {
    const std::pair<const char*, const char*> cases[] = {
        {"B3H", "NS"}, {"C1A", "PE"}, {"E1C", "NB"}, {"G1R", "QC"}, {"H2Y", "QC"}, {"J4B", "QC"},
        {"K1A", "ON"}, {"L5B", "ON"}, {"M5V", "ON"}, {"N2L", "ON"}, {"P3A", "ON"}, {"R3C", "MB"},
        {"S4P", "SK"}, {"T2P", "AB"}, {"V6B", ""},   {"A1C", ""},   {"X1A", ""},   {"", ""}};
    for (const auto& [code, province] : cases) EXPECT_EQ(CanadaPonyProv(code), province) << code;
}

TEST_F(PonyHand, PonyoutRowsTakeFactorsOnCentsAndTheDiscountOnEachRate) {
    // Origin bump 0.1 (factor 1.1); a push on the lane that must not enter.
    Exec("INSERT INTO ziparbs (zip, bump) VALUES ('55401', 0.1)");
    Exec("INSERT INTO MKTLN (Olo, Ohi, Dlo, Dhi, push) VALUES ('554', '554', '532', '532', 1.5)");
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    const PonyBatchResult r = RunPonyBatch("85", "12.5", false);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.rows, 1);
    const auto rows = PonyOut();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].origin, "55401");
    EXPECT_EQ(rows[0].dest, "53202");
    EXPECT_EQ(rows[0].cls, "85");
    // Minimum: 10000 x 1.1 = 11000 cents, 110.00 dollars (no class), x .875 = 96.25.
    // L5C: 6600 cents, 66 x .85 = 56.10, x .875 = 49.0875: 49.09. 5C: 55 x .85 = 46.75 x .875 =
    // 40.90625: 40.91. 30M: 1100 cents, 11 x .85 = 9.35 x .875 = 8.18125: 8.18.
    EXPECT_NEAR(rows[0].rates[0], 96.25, 1e-4);
    EXPECT_NEAR(rows[0].rates[1], 49.09, 1e-4);
    EXPECT_NEAR(rows[0].rates[2], 40.91, 1e-4);
    EXPECT_NEAR(rows[0].rates[10], 8.18, 1e-4);
}

TEST_F(PonyHand, ADiscountOf12Point5IsSevenEighthsOfTheUndiscountedRate) {
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    RunPonyBatch("100", "", false);
    const auto full = PonyOut().at(0).rates;
    RunPonyBatch("100", "12.5", false);
    const auto net = PonyOut().at(0).rates;
    // Class 100: 100, 60, 50 ... 10 dollars; 87.5 % of each, to the cent.
    const double undiscounted[] = {100, 60, 50, 40, 30, 20, 18, 16, 14, 12, 10};
    for (size_t b = 0; b < 11; ++b) {
        EXPECT_NEAR(full[b], undiscounted[b], 1e-4) << b;
        EXPECT_NEAR(net[b], std::round(undiscounted[b] * 87.5) / 100, 1e-4) << b;
    }
}

TEST_F(PonyHand, TheBatchRunRatesEveryServedCodeInOneGo) {
    // A destination in Louisiana gets its 12 % on the cents: 6000 x 1.12 = 6720, 67.20 at class
    // 100; the Toronto code its own province.
    const PonyBatchResult r = RunPonyBatch("100", "", false);
    ASSERT_TRUE(r.started);
    const auto rows = PonyOut();
    std::map<std::string, std::vector<double>> byDest;
    for (const auto& row : rows) byDest[row.dest] = row.rates;
    ASSERT_EQ(byDest.count("70801"), 1u);
    EXPECT_NEAR(byDest["70801"][1], 67.20, 1e-4);
    ASSERT_EQ(byDest.count("M5V2"), 1u);
    EXPECT_NEAR(byDest["M5V2"][1], 60.00, 1e-4);
    EXPECT_EQ(byDest.count("53202"), 1u);
    EXPECT_EQ(r.rows, 4);  // the origin's own code too
}

TEST_F(PonyHand, UnservedLanesAndUnknownCodesGetNoRow) {
    Exec("DELETE FROM Fullzip");
    AddFullzip("53202", "S1");
    AddFullzip("99501", "S2");  // Anchorage: the carrier hauls no lane there ("099099")
    AddFullzip("00000", "S3");  // a code no table knows
    const PonyBatchResult r = RunPonyBatch("100", "", false);
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(r.skipped, 2);
    EXPECT_EQ(PonyOut().size(), 1u);
}

TEST_F(PonyHand, TheBatchRunKeepsOrReplacesEarlierRows) {
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    RunPonyBatch("100", "", false);
    RunPonyBatch("100", "", true);
    EXPECT_EQ(PonyOut().size(), 2u);
    RunPonyBatch("50", "", false);
    ASSERT_EQ(PonyOut().size(), 1u);
    EXPECT_EQ(PonyOut()[0].cls, "50");
}

TEST_F(PonyHand, TheBatchRunRefusesAnOriginNotVerified) {
    tariff.gOrigCountry = 99;
    const PonyBatchResult r = RunPonyBatch("100", "", false);
    EXPECT_FALSE(r.started);
    EXPECT_TRUE(PonyOut().empty());
}

TEST_F(PonyHand, ATestLineIsTheEnginesClassRateWithTheLanesFactors) {
    // Push 1.05, origin bump 0.2, destination in Louisiana (x 1.12). 5C class 100: 50.00 x 1.05
    // = 52.5000, x 1.2 = 63.0000, x 1.12 = 70.5600: 70.56.
    Exec("INSERT INTO ziparbs (zip, bump) VALUES ('55401', 0.2)");
    Exec("INSERT INTO MKTLN (Olo, Ohi, Dlo, Dhi, push) VALUES ('554', '554', '708', '708', 1.05)");
    const std::string out = RunFile({TestLine("55401", "70801", "3", "100", 500, "70.56")});
    const auto lines = Lines(out);
    ASSERT_EQ(lines.size(), 1u);
    const uint8_t days = GetServiceDays("55401", "70801");
    // Rate and days agree: both flags blank, each after a blank of its own.
    EXPECT_EQ(lines[0], "55401  70801   3 100   REF0001    70.56  70.56    " +
                            std::to_string(days) + "  " + " " + " " + (days == 3 ? " " : "Y"));
}

TEST_F(PonyHand, ACentOffSetsXAndADayOffSetsY) {
    const uint8_t days = GetServiceDays("55401", "53202");
    // Class 77.5 at 10M: 18 x .775 = 13.95.
    const auto lines =
        Lines(RunFile({TestLine("55401", "53202", std::to_string(days + 1), "77.5", 10000, "13.96"),
                       TestLine("55401", "53202", std::to_string(days), "77.5", 10000, "13.95")}));
    ASSERT_EQ(lines.size(), 2u);
    // The days number, its blank, a blank and X, a blank and Y.
    const std::string d = " " + std::to_string(days) + " ";
    EXPECT_EQ(lines[0].substr(lines[0].size() - d.size() - 4), d + " X Y");
    EXPECT_EQ(lines[1].substr(lines[1].size() - d.size() - 4), d + "    ");
    EXPECT_NE(lines[1].find("  13.95  "), std::string::npos);
}

TEST_F(PonyHand, WeightsThatAreNoBreakAndUnservedLanesAreWrittenUnrated) {
    const auto lines = Lines(RunFile({TestLine("55401", "53202", "2", "100", 750, "1.00"),
                                      TestLine("55401", "53202", "2", "100", 30000, "1.00"),
                                      TestLine("55401", "53202", "2", "100", 25000, "14.00"),
                                      TestLine("55401", "99501", "2", "100", 1000, "1.00")}));
    ASSERT_EQ(lines.size(), 4u);
    const std::string unrated = "55401  53202   2 100   REF0001     1.00 UNRATED  ";
    EXPECT_EQ(lines[0], unrated);
    EXPECT_EQ(lines[1], unrated);
    EXPECT_NE(lines[2].find("  12  "), std::string::npos);  // 25M: 1200 cents
    EXPECT_EQ(lines[3], "55401  99501   2 100   REF0001     1.00 UNRATED  ");
}

// The lane files stay open for the whole run, and a file test keeps what it read of them only
// while it runs: a tariff update that rewrites them in place between two file tests is read by
// the second.
TEST_F(PonyHand, LaneFilesRewrittenBetweenTwoFileTestsAreReadByTheSecond) {
    const std::string line = TestLine("55401", "53202", "2", "100", 500, "50.00");
    PonyFileResult r;
    RunFile({line}, &r);
    ASSERT_EQ(r.rated, 1);
    // The lane from 554 to 532 becomes one the carrier does not serve: lane code 099099.
    const int32_t cell = GridCellNumber(ZipSubscript("554"), ZipSubscript("532"));
    const std::pair<const char*, char> parts[] = {
        {"data/cxgrd.dat", 9}, {"data/cxlns.dat", 90}, {"data/cxmap.dat", 99}};
    for (const auto& [name, part] : parts) {
        std::fstream file(app.file(name), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(cell - 1);
        file.put(part);
    }
    const auto lines = Lines(RunFile({line}, &r));
    EXPECT_EQ(r.rated, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "55401  53202   2 100   REF0001    50.00 UNRATED  ");
}

// So do the rate grids: a row rewritten in place between two file tests is read by the second.
TEST_F(PonyHand, RateGridsRewrittenBetweenTwoFileTestsAreReadByTheSecond) {
    const std::string line = TestLine("55401", "53202", "2", "100", 500, "50.00");
    auto lines = Lines(RunFile({line}));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("  50  "), std::string::npos) << lines[0];
    Patch("554", "532", {10000, 6000, 2500, 4000, 3000, 2000, 1800, 1600, 1400, 1200, 1000});
    lines = Lines(RunFile({line}));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("  25  "), std::string::npos) << lines[0];
}

// Every kind of line that cannot be rated, beside lines that are rated and lines that are not
// to be rated: one output line for each input line, in order, the ones that cannot be rated in
// the unrated form and counted with their numbers.
TEST_F(PonyHand, EveryLineGivesOneOutputLineThoseThatCannotBeRatedUnrated) {
    Patch("554", "708", {});  // a damaged grid row
    CloseRateGrids();
    const std::vector<std::string> input = {
        TestLine("55401", "53202", "2", "100", 500, "50.00"),   // 1 rated
        TestLine("55401", "53202", "2", "99", 500, "1.00"),     // 2 a class that is no class
        TestLine("55401", "53202", "x", "100", 500, "1.00"),    // 3 days that are no number
        TestLine("55401", "53202", "999", "100", 500, "1.00"),  // 4 cut to "99": rated
        TestLine("00000", "53202", "2", "100", 500, "1.00"),    // 5 an origin not verified
        TestLine("55401", "ZZZ9Z9", "2", "100", 500, "1.00"),   // 6 a destination not verified
        TestLine("55401", "70801", "2", "100", 500, "56.00"),   // 7 the damaged grid row
        TestLine("55401", "53202", "2", "100", 750, "1.00"),    // 8 no break: not to be rated
        TestLine("55401", "99501", "2", "100", 500, "1.00"),    // 9 no service: not either
        "",                                                     // 10 an empty line
        TestLine("55401", "53202", "2", "100", 500, "50.00").substr(0, 100),  // 11 short
        TestLine("55401", "53202", "2", "100", 1000, "40.00"),                // 12 rated
    };
    PonyFileResult r;
    const auto out = Lines(RunFile(input, &r));
    ASSERT_TRUE(r.ran) << r.error;
    ASSERT_EQ(out.size(), input.size());
    EXPECT_EQ(r.lines, static_cast<int64_t>(input.size()));
    EXPECT_EQ(r.rated, 3);
    EXPECT_EQ(r.unratable, 7);
    EXPECT_EQ(r.firstUnratable, (std::vector<int64_t>{2, 3, 5, 6, 7}));
    EXPECT_NE(r.tariffError.find("row " + std::to_string(LaneOf("554", "708") % 1000)),
              std::string::npos)
        << r.tariffError;
    // Each line that is not rated is its own unrated form, in its place.
    const std::string blank = "                                          ";  // every field blank
    const std::vector<std::string> unrated = {"",
                                              "55401  53202   2 99    REF0001     1.00 UNRATED  ",
                                              "55401  53202   x 100   REF0001     1.00 UNRATED  ",
                                              "",
                                              "00000  53202   2 100   REF0001     1.00 UNRATED  ",
                                              "55401  ZZZ9Z9  2 100   REF0001     1.00 UNRATED  ",
                                              "55401  70801   2 100   REF0001    56.00 UNRATED  ",
                                              "55401  53202   2 100   REF0001     1.00 UNRATED  ",
                                              "55401  99501   2 100   REF0001     1.00 UNRATED  ",
                                              blank,
                                              blank,
                                              ""};
    for (size_t i = 0; i < input.size(); ++i) {
        if (!unrated[i].empty()) {
            EXPECT_EQ(out[i], unrated[i]) << "line " << i + 1;
        }
    }
    for (size_t i : {size_t{0}, size_t{3}, size_t{11}})
        EXPECT_EQ(out[i].find("UNRATED"), std::string::npos) << "line " << i + 1;
}

TEST_F(PonyHand, TheBatchRunTellsItsProgress) {
    for (int i = 0; i < 600; ++i) AddFullzip(std::to_string(90000 + i), "N" + std::to_string(i));
    const int64_t codes = 604;
    std::vector<std::pair<int64_t, double>> told;
    const PonyBatchResult r = RunPonyBatch(
        "100", "", false, [&](int64_t done, double part) { told.emplace_back(done, part); });
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.rows + r.skipped, codes);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].first, 256);
    EXPECT_EQ(told[1].first, 512);
    EXPECT_DOUBLE_EQ(told[1].second, 512.0 / codes);
}

// A line longer than any the carrier writes, whose CR LF falls across two blocks of the read,
// and a last line without an end: each is one line, its fields where they belong.
TEST_F(PonyHand, LongLinesAndEndsAcrossReadBlocksAreReadAsOneLineEach) {
    const std::string rated = TestLine("55401", "53202", "2", "100", 500, "50.00");
    const std::string longLine = rated + std::string(65535 - rated.size(), 'z');
    std::string bytes = longLine + "\r\n";
    for (int i = 0; i < 300; ++i) bytes += rated + (i % 2 ? "\r" : "\n");
    bytes += longLine;
    PonyFileResult r = RunBytes(bytes);
    ASSERT_TRUE(r.ran) << r.error;
    EXPECT_EQ(r.lines, 302);
    EXPECT_EQ(r.rated, 302);
    const auto out = Lines(ReadFile(OutputPath()));
    ASSERT_EQ(out.size(), 302u);
    for (const std::string& line : out) EXPECT_EQ(line, out[0]);
}

// A run tells how far it has come, every few hundred lines, as a part of the file's size that
// grows to the whole.
TEST_F(PonyHand, TheFileTestTellsItsProgress) {
    std::vector<std::string> input(1000, TestLine("55401", "53202", "2", "100", 500, "50.00"));
    std::vector<std::pair<int64_t, double>> told;
    std::string bytes;
    for (const auto& l : input) bytes += l + "\r\n";
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc) << bytes;
    const PonyFileResult r =
        RunPonyFileTest(InputPath(), OutputPath(), true,
                        [&](int64_t done, double part) { told.emplace_back(done, part); });
    ASSERT_TRUE(r.ran);
    ASSERT_EQ(told.size(), 3u);
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].first, static_cast<int64_t>(256 * (i + 1)));
        EXPECT_GT(told[i].second, 0.0);
        EXPECT_LE(told[i].second, 1.0);
    }
}

TEST_F(PonyHand, ACanadianEndNeverTakesThePreviousLinesFactors) {
    // The first line's origin has a bump of 0.5; the second starts in Toronto, which has none.
    Exec("INSERT INTO ziparbs (zip, bump) VALUES ('55401', 0.5)");
    const auto lines = Lines(RunFile({TestLine("55401", "53202", "2", "100", 500, "75.00"),
                                      TestLine("M5V2A1", "53202", "2", "100", 500, "50.00")}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("  75  "), std::string::npos);  // 50 x 1.5
    EXPECT_NE(lines[1].find("  50  "), std::string::npos) << lines[1];
    EXPECT_EQ(lines[1][lines[1].size() - 3], ' ');  // no rate flag
}

TEST_F(PonyHand, LinesEndInCrLfLfOrCrAlone) {
    const std::string lines[] = {TestLine("55401", "53202", "2", "100", 500, "50.00"),
                                 TestLine("55401", "53202", "2", "100", 1000, "40.00"),
                                 TestLine("55401", "70801", "2", "100", 750, "1.00")};
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        const PonyFileResult r = RunBytes(lines[0] + end + lines[1] + end + lines[2] + end);
        ASSERT_TRUE(r.ran) << r.error;
        EXPECT_EQ(r.lines, 3) << int(end.size());
        EXPECT_EQ(r.rated, 2) << int(end.size());
        EXPECT_EQ(Lines(ReadFile(OutputPath())).size(), 3u);
    }
    // Mixed ends, and a last line without one.
    const PonyFileResult r = RunBytes(lines[0] + "\r" + lines[1] + "\n" + lines[2]);
    EXPECT_EQ(r.lines, 3);
    const auto out = Lines(ReadFile(OutputPath()));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].substr(out[2].size() - 9), "UNRATED  ");
}

// The reference "RÉF0001": one byte a character in the carrier's Windows-1252 files, and the
// É two bytes in a file saved as UTF-8. Either way the fields after it stay in their columns.
TEST_F(PonyHand, FieldsAreCutByCharactersOfTheFilesEncoding) {
    const std::string plain = TestLine("55401", "53202", "2", "100", 500, "50.00");
    const uint8_t days = GetServiceDays("55401", "53202");
    const std::string tail = "    50.00  50    " + std::to_string(days) + "  ";
    const std::string windows1252 = std::string("R") + '\xC9' + "F0001";
    const std::string utf8Text = std::string("R") + "\xC3\x89" + "F0001";
    ASSERT_TRUE(RunBytes(plain + "\r\n").ran);
    const std::string plainOut = Lines(ReadFile(OutputPath())).at(0);
    for (const std::string& e : {windows1252, utf8Text}) {
        const bool utf8 = e.size() == 8;
        // The line with the reference in its seven columns: in UTF-8 one byte longer. A line
        // of plain ASCII beside it reads as it does in a file of its own.
        const std::string line = plain.substr(0, 212) + e + plain.substr(219);
        const PonyFileResult r = RunBytes(line + "\r\n" + plain + "\r\n");
        ASSERT_TRUE(r.ran) << r.error;
        ASSERT_EQ(r.rated, 2) << utf8;
        const auto out = Lines(ReadFile(OutputPath()));
        ASSERT_EQ(out.size(), 2u);
        // E is written as it was read, in the file's own encoding; G and the rate follow it.
        EXPECT_NE(out[0].find(e + tail), std::string::npos) << utf8 << ": " << out[0];
        EXPECT_EQ(out[0][out[0].size() - 3], ' ') << utf8;  // the expected rate is the rate
        EXPECT_EQ(out[1], plainOut) << utf8;
    }
}

// Another program takes the database while the file test runs: the first look-up it refuses
// stops the run with its error, and the result file of the previous run stays.
TEST_F(PonyHand, ALockStopsTheFileTestAtOnceAndKeepsThePreviousResult) {
    std::ofstream(OutputPath(), std::ios::binary) << "previous run\r\n";
    std::string bytes;
    for (int i = 0; i < 3; ++i)
        bytes += TestLine("55401", "53202", "2", "100", 500, "50.00") + "\r\n";
    std::ofstream(InputPath(), std::ios::binary) << bytes;
    HeldLock other(app.file("data/x2007.mdb").string(), "EXCLUSIVE");
    try {
        RunPonyFileTest(InputPath(), OutputPath(), true);
        ADD_FAILURE() << "the run went on under the lock";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("locked"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(OutputPath()), "previous run\r\n");
}

// A damaged grid row (zeros where the lane's rates belong) is told, with its file and row, by
// both runs; the other lanes are rated all the same.
TEST_F(PonyHand, ADamagedRateGridIsToldWithItsFileAndRowByBothRuns) {
    Patch("554", "532", {});
    CloseRateGrids();
    const int32_t lane = LaneOf("554", "532");
    char file[32];
    std::snprintf(file, sizeof file, "grid%03d.dat", lane / 1000);
    const std::string row = "row " + std::to_string(lane % 1000);

    PonyFileResult r;
    const auto lines = Lines(RunFile({TestLine("55401", "53202", "2", "100", 500, "50.00"),
                                      TestLine("55401", "70801", "2", "100", 500, "56.00"),
                                      TestLine("55401", "53202", "2", "100", 1000, "40.00")},
                                     &r));
    EXPECT_EQ(r.unratable, 2);
    EXPECT_EQ(r.firstUnratable, (std::vector<int64_t>{1, 3}));
    EXPECT_EQ(r.rated, 1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "55401  53202   2 100   REF0001    50.00 UNRATED  ");
    EXPECT_NE(r.tariffError.find(file), std::string::npos) << r.tariffError;
    EXPECT_NE(r.tariffError.find(row), std::string::npos) << r.tariffError;

    Exec("DELETE FROM Fullzip WHERE zip NOT IN ('53202', '70801')");
    const PonyBatchResult b = RunPonyBatch("100", "", false);
    EXPECT_EQ(b.rows, 1);
    EXPECT_EQ(b.skipped, 1);
    EXPECT_NE(b.tariffError.find(file), std::string::npos) << b.tariffError;
    EXPECT_NE(b.tariffError.find(row), std::string::npos) << b.tariffError;
}

// ------------------------------------------------------------------ the window

class PonyWindow : public PonyHand {
  protected:
    void TearDown() override {
        SetPonyShow(nullptr);
        UnloadPonyWindow();
        mainState.Reset();
        PonyHand::TearDown();
    }
    // Opened as the main window opens it: busy, with its ends verified.
    frmPony& Open() {
        mainState.gBusy = true;
        frmPony* w = ::PonyWindow();
        w->Form_Activate();
        w->show();
        return *w;
    }
    static void Type(frmPony& w, const char* code) {
        w.txtPwd->setText(QString::fromLatin1(code));
        w.cmdRun_Click();
    }
};

TEST_F(PonyWindow, TheTwoCodesInTheirOrderOpenTheBatchControls) {
    frmPony& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zudi 2007"));
    EXPECT_EQ(w.cmdRun->text(), QStringLiteral("OK"));
    EXPECT_TRUE(w.cmdRun->isDefault());
    EXPECT_EQ(w.cmdExit->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(w.txtozip->isHidden());
    EXPECT_EQ(w.txtPwd->echoMode(), QLineEdit::Password);
    Type(w, "%kvq");
    EXPECT_EQ(w.Stage(), 2);
    EXPECT_EQ(w.lblPwd->text(), QStringLiteral("Password 2"));
    EXPECT_TRUE(w.txtPwd->text().isEmpty());
    Type(w, "h4rb#q");
    EXPECT_EQ(w.Stage(), 1);
    EXPECT_TRUE(w.txtPwd->isHidden());
    EXPECT_FALSE(w.txtozip->isHidden());
    EXPECT_EQ(w.cmdRun->text(), QStringLiteral("&Run"));
    EXPECT_FALSE(w.cmdRun->isDefault());
    EXPECT_EQ(w.cmdExit->text(), QStringLiteral("E&xit"));
    EXPECT_TRUE(w.isVisible());
}

TEST_F(PonyWindow, AWrongCodeClosesTheWindow) {
    for (const auto& codes : {std::vector<const char*>{"h4rb#q"}, {"%KVQ"}, {"%kvq", "%kvq"}}) {
        frmPony& w = Open();
        for (const char* c : codes) Type(w, c);
        EXPECT_FALSE(w.isVisible()) << codes.back();
    }
}

// The run takes the discount box's typed value: typed over the box's selected text, "5.5" is
// 5.5 % (not 50.5 nor 5), "1" is 1 % and "12.5" stays 12.5 %.
TEST_F(PonyWindow, TheDiscountIsWhatWasTypedOverTheBoxsText) {
    frmPony& w = Open();
    ShowActive(w);
    ASSERT_EQ(Focused(), w.txtPwd);
    TypeKeys("%kvq");
    PressKey(Qt::Key_Return);
    TypeKeys("h4rb#q");
    PressKey(Qt::Key_Return);
    ASSERT_EQ(w.Stage(), 1);
    for (const auto& [typed, kept] :
         {std::pair{"5.5", "05.5"}, {"1", "01.0"}, {"12.5", "12.5"}, {".5", "00.5"}}) {
        ClickOn(w, w.txtozip);
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys("60601");
        for (int tabs = 0; tabs < 4 && Focused() != w.mskDiscount; ++tabs) PressKey(Qt::Key_Tab);
        ASSERT_EQ(Focused(), w.mskDiscount);
        EXPECT_EQ(w.mskDiscount->selectedText(), w.mskDiscount->Text());
        TypeKeys(typed);
        EXPECT_EQ(w.mskDiscount->Value().toStdString(), typed);
        // Left, the box shows the discount as the run takes it.
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(w.mskDiscount->text().toStdString(), kept);
    }
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(PonyWindow, TheOriginIsCheckedWithItsMessages) {
    frmPony& w = Open();
    Type(w, "%kvq");
    Type(w, "h4rb#q");
    w.txtozip->setText(QStringLiteral("  "));
    EXPECT_FALSE(w.txtozip_LostFocus());
    w.txtozip->setText(QStringLiteral("k9z 9z9"));
    EXPECT_FALSE(w.txtozip_LostFocus());
    EXPECT_EQ(w.txtozip->text(), QStringLiteral("K9Z 9Z9"));
    ASSERT_EQ(messageScript.Log().size(), 2u);
    EXPECT_EQ(messageScript.Log()[0].text, QStringLiteral("Origin is missing.  Please try again"));
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Date Entry Error"));
    EXPECT_EQ(messageScript.Log()[1].text,
              QStringLiteral("Origin not verified.  Please try again"));
    // A run without a verified origin writes nothing.
    w.txtozip->setText(QString());
    w.cmdRun_Click();
    EXPECT_TRUE(PonyOut().empty());
}

TEST_F(PonyWindow, TheBatchRunAsksBeforeAddingToEarlierRows) {
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    frmPony& w = Open();
    Type(w, "%kvq");
    Type(w, "h4rb#q");
    w.txtozip->setText(QStringLiteral("55401"));
    w.cboNMFC->setCurrentText(QStringLiteral("85"));
    w.cmdRun_Click();
    ASSERT_EQ(PonyOut().size(), 1u);
    EXPECT_EQ(PonyOut()[0].cls, "85");
    EXPECT_EQ(w.LastBatch().rows, 1);
    EXPECT_EQ(w.lblResult->text(),
              QStringLiteral("Rows written to ponyout from 55401: 1.  Codes without a row: 0."));
    messageScript.ClearLog();
    messageScript.Queue(kIdNo);  // keep them
    w.cmdRun_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text,
              QStringLiteral("Pony output file is not empty.  Delete all records?"));
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Help"));
    EXPECT_EQ(PonyOut().size(), 2u);
    messageScript.Queue(kIdYes);  // start afresh
    w.cmdRun_Click();
    EXPECT_EQ(PonyOut().size(), 1u);
}

TEST_F(PonyWindow, TheFileTestKeepsItsAnswerToItselfAndClosingPutsEverythingBack) {
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::ofstream(dir.filePath(QStringLiteral("RTQCtest.TXT")).toStdString(), std::ios::binary)
        << TestLine("55401", "53202", "2", "100", 500, "50.00") << "\r\n";
    // The main window's ends: Minneapolis to Milwaukee, verified.
    const std::string origZip = tariff.gOrigZip;
    ASSERT_TRUE(LookupCityState("53202", 1));
    tariff.gDestZip = "53202";
    rating.gLaneCode = 4321;
    for (int way = 0; way < 3; ++way) {
        mainState.gBusy = true;
        SetPonyShow([&](frmPony& w) {
            w.show();
            messageScript.Queue(kIdYes);
            w.cmdTest_Click();
            EXPECT_TRUE(w.FLRates());
            EXPECT_TRUE(mainState.gBusy);  // the answer is the window's own
            EXPECT_EQ(w.LastFileTest().rated, 1);
            // The file test rated a lane of its own.
            if (way == 0) w.cmdExit_Click();
            if (way == 1) QTest::keyClick(&w, Qt::Key_Escape);
            if (way == 2) w.close();
            EXPECT_FALSE(w.isVisible());
        });
        ShowPonyModally(nullptr);
        EXPECT_FALSE(mainState.gBusy) << way;
        EXPECT_EQ(tariff.gOrigZip, origZip);
        EXPECT_EQ(tariff.gDestZip, "53202");
        EXPECT_EQ(tariff.gDestCountry, 0);
        EXPECT_EQ(rating.gLaneCode, 4321);
    }
    const auto out = Lines(ReadFile(dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString()));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NE(out[0].find("  50  "), std::string::npos);
}

// A run a lock stopped says so: the result of the run before it is no longer shown as if it
// were this one's.
TEST_F(PonyWindow, ARunStoppedByALockNoLongerShowsTheRunBefore) {
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::ofstream(InputPath(), std::ios::binary)
        << TestLine("55401", "53202", "2", "100", 500, "50.00") << "\r\n";
    const std::string database = app.file("data/x2007.mdb").string();
    frmPony& w = Open();
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.cmdTest, Qt::LeftButton);
    ASSERT_TRUE(w.lblResult->text().startsWith(QStringLiteral("Lines written")))
        << w.lblResult->text().toStdString();
    {
        HeldLock other(database, "EXCLUSIVE");
        messageScript.Queue(kIdYes);
        QTest::mouseClick(w.cmdTest, Qt::LeftButton);
    }
    EXPECT_EQ(w.lblResult->text(),
              QStringLiteral("The file test stopped before its end: TESTDATA.TXT was left as it "
                             "was."));
    EXPECT_FALSE(w.LastFileTest().ran);
    EXPECT_EQ(w.LastFileTest().lines, 0);

    // The batch run the same.
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    Type(w, "%kvq");
    Type(w, "h4rb#q");
    w.txtozip->setText(QStringLiteral("55401"));
    w.cmdRun_Click();
    ASSERT_TRUE(w.lblResult->text().startsWith(QStringLiteral("Rows written")));
    {
        HeldLock other(database, "IMMEDIATE");
        messageScript.Queue(kIdYes);
        QTest::mouseClick(w.cmdRun, Qt::LeftButton);
    }
    EXPECT_EQ(w.lblResult->text(),
              QStringLiteral("The batch run stopped: no row of it is in ponyout."));
    EXPECT_EQ(w.LastBatch().rows, 0);
}

// A long run shows how far it has come, and its result names the first lines it could not rate.
TEST_F(PonyWindow, TheFileTestShowsItsProgressAndNamesTheLinesItCouldNotRate) {
    // A folder as deep as a user's documents, so that the result's path takes its real room.
    SetConfigValue("PONY_folder",
                   dir.path().toStdString() + "/home/norvale-shipper/Documents/Fretlyn");
    const std::string folder = PonyFolder();
    {
        std::ofstream in(folder + kPonyInputFile, std::ios::binary);
        for (int i = 1; i <= 600; ++i)
            in << TestLine(i % 100 == 0 ? "00000" : "55401", "53202", "2", "100", 500, "50.00")
               << "\r\n";
    }
    frmPony& w = Open();
    // From inside: a test file is read long before the second a user waits for the progress.
    w.SetProgressDelay(0);
    QStringList seen;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* shown = qobject_cast<QProgressDialog*>(top); shown && shown->isVisible())
                seen << shown->labelText();
    });
    watch.start();
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.cmdTest, Qt::LeftButton);
    watch.stop();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(seen.front().startsWith(QStringLiteral("Lines done: 256 (")))
        << seen.front().toStdString();
    EXPECT_TRUE(seen.front().endsWith(QStringLiteral(" % of the file)")))
        << seen.front().toStdString();
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<QProgressDialog*>(top) && top->isVisible());
    EXPECT_EQ(
        w.lblResult->text(),
        QStringLiteral("Lines written to %1: 600, rated: 594.  Written unrated as they cannot "
                       "be rated: 6 (lines 100, 200, 300, 400, 500 \u2026).")
            .arg(QString::fromStdString(folder + kPonyOutputFile)));
    EXPECT_EQ(Lines(ReadFile(folder + kPonyOutputFile)).size(), 600u);
    ExpectControlsFit(w, "frmPony-filetest");
}

TEST_F(PonyWindow, AMissingTestFileIsToldWithItsPath) {
    SetConfigValue("PONY_folder", dir.path().toStdString() + "/empty");
    frmPony& w = Open();
    messageScript.Queue(kIdYes);
    w.cmdTest_Click();
    ASSERT_EQ(messageScript.Log().size(), 2u);
    EXPECT_TRUE(
        messageScript.Log()[1].text.contains(dir.path() + QStringLiteral("/empty/RTQCtest.TXT")));
    EXPECT_FALSE(w.LastFileTest().ran);
}

// Another program holding the database: each button says so and the window carries on, with no
// result file and no output row of a run that could not finish.
TEST_F(PonyWindow, ButtonsTheDatabaseRefusesAreToldAndTheWindowCarriesOn) {
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::ofstream(dir.filePath(QStringLiteral("RTQCtest.TXT")).toStdString(), std::ios::binary)
        << TestLine("55401", "53202", "2", "100", 500, "50.00") << "\r\n";
    const std::string result = dir.filePath(QStringLiteral("TESTDATA.TXT")).toStdString();
    const std::string database = app.file("data/x2007.mdb").string();
    frmPony& w = Open();
    {
        HeldLock other(database, "EXCLUSIVE");
        messageScript.Queue(kIdYes);
        QTest::mouseClick(w.cmdTest, Qt::LeftButton);
        ASSERT_EQ(messageScript.Log().size(), 2u);
        EXPECT_EQ(messageScript.Log()[1].title, QStringLiteral("Database Error"));
        EXPECT_TRUE(messageScript.Log()[1].text.contains(QStringLiteral("locked")))
            << messageScript.Log()[1].text.toStdString();
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(std::ifstream(result).good());
    }
    messageScript.ClearLog();
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.cmdTest, Qt::LeftButton);
    EXPECT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(w.LastFileTest().rated, 1);
    EXPECT_EQ(Lines(ReadFile(result)).size(), 1u);

    // The batch run under a writer's lock: the earlier rows stay, none of the run's is added.
    Type(w, "%kvq");
    Type(w, "h4rb#q");
    w.txtozip->setText(QStringLiteral("55401"));
    messageScript.Queue(kIdYes);
    w.cmdRun_Click();
    auto ends = [&] {
        std::vector<std::string> out;
        for (const Row& r : PonyOut()) out.push_back(r.origin + ">" + r.dest);
        return out;
    };
    const auto rows = ends();
    ASSERT_FALSE(rows.empty());
    messageScript.ClearLog();
    {
        HeldLock other(database, "IMMEDIATE");
        messageScript.Queue(kIdYes);  // the earlier rows are to go: not one of them may
        QTest::mouseClick(w.cmdRun, Qt::LeftButton);
        ASSERT_FALSE(messageScript.Log().empty());
        EXPECT_TRUE(messageScript.Log().back().text.contains(QStringLiteral("locked")))
            << messageScript.Log().back().text.toStdString();
    }
    EXPECT_EQ(ends(), rows);
    EXPECT_TRUE(w.isVisible());
}

// The window as a user works it: keys to the box that has the focus.
class PonyKeys : public PonyWindow {
  protected:
    frmPony& OpenActive() {
        frmPony& w = Open();
        QApplication::setActiveWindow(&w);
        w.activateWindow();
        return w;
    }
    static QWidget* Focus() { return QApplication::focusWidget(); }
    // Types each code into the password box and presses Enter for the default button.
    static void Unlock(frmPony& w) {
        for (const char* code : {"%kvq", "h4rb#q"}) {
            ASSERT_EQ(Focus(), w.txtPwd);
            QTest::keyClicks(Focus(), QString::fromLatin1(code));
            QTest::keyClick(Focus(), Qt::Key_Return);
        }
        ASSERT_EQ(w.Stage(), 1);
        ASSERT_EQ(Focus(), w.txtozip);
    }
};

TEST_F(PonyKeys, TheAccessCodeShowsAsAsterisks) {
    frmPony& w = OpenActive();
    ASSERT_EQ(Focus(), w.txtPwd);
    QTest::keyClicks(Focus(), QStringLiteral("%kvq"));
    EXPECT_EQ(w.txtPwd->displayText(), QStringLiteral("****"));
}

TEST_F(PonyKeys, EveryOpeningStartsAtTheFirstCodeWithEmptyBoxes) {
    frmPony& w = OpenActive();
    Unlock(w);
    QTest::keyClicks(Focus(), QStringLiteral("k9z 9z9"));
    messageScript.ClearLog();
    QTest::mouseClick(w.cmdExit, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());

    frmPony& again = OpenActive();
    EXPECT_EQ(again.Stage(), 0);
    EXPECT_TRUE(again.txtPwd->text().isEmpty());
    EXPECT_TRUE(again.txtozip->text().isEmpty());
    EXPECT_TRUE(again.mskDiscount->Value().isEmpty());
    EXPECT_EQ(again.cboNMFC->currentText(), QStringLiteral("50"));
    // The first Test asks its question and nothing about an origin.
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::ofstream(InputPath(), std::ios::binary)
        << TestLine("55401", "53202", "2", "100", 500, "50.00") << "\r\n";
    messageScript.ClearLog();
    messageScript.Queue(kIdYes);
    QTest::mouseClick(again.cmdTest, Qt::LeftButton);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text, QStringLiteral("Do you want FL rates?"));
    EXPECT_EQ(again.LastFileTest().rated, 1);
}

TEST_F(PonyKeys, LeavingAnEmptyOriginSaysItIsMissing) {
    frmPony& w = OpenActive();
    Unlock(w);
    messageScript.ClearLog();
    QTest::keyClick(Focus(), Qt::Key_Tab);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text, QStringLiteral("Origin is missing.  Please try again"));
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Date Entry Error"));
    EXPECT_EQ(Focus(), w.txtozip);
}

TEST_F(PonyKeys, AnOriginTheLockedDatabaseCannotCheckIsToldAsTheLock) {
    frmPony& w = OpenActive();
    Unlock(w);
    QTest::keyClicks(Focus(), QStringLiteral("55401"));
    messageScript.ClearLog();
    {
        HeldLock other(app.file("data/x2007.mdb").string(), "EXCLUSIVE");
        QTest::keyClick(Focus(), Qt::Key_Tab);
    }
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Database Error"));
    EXPECT_TRUE(messageScript.Log()[0].text.contains(QStringLiteral("locked by another program")))
        << messageScript.Log()[0].text.toStdString();
    EXPECT_EQ(Focus(), w.txtozip);
}

TEST_F(PonyKeys, ADamagedRateGridIsToldOnceAfterTheRun) {
    Patch("554", "532", {});
    CloseRateGrids();
    SetConfigValue("PONY_folder", dir.path().toStdString());
    std::ofstream(InputPath(), std::ios::binary)
        << TestLine("55401", "53202", "2", "100", 500, "50.00") << "\r\n"
        << TestLine("55401", "53202", "2", "100", 1000, "40.00") << "\r\n";
    frmPony& w = OpenActive();
    messageScript.ClearLog();
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.cmdTest, Qt::LeftButton);
    ASSERT_EQ(messageScript.Log().size(), 2u);
    EXPECT_EQ(messageScript.Log()[1].title, QStringLiteral("Tariff Data Error"));
    EXPECT_TRUE(messageScript.Log()[1].text.contains(
        QStringLiteral("row %1").arg(LaneOf("554", "532") % 1000)))
        << messageScript.Log()[1].text.toStdString();
}

TEST_F(PonyWindow, EveryControlFitsTheWindowAfterARun) {
    Exec("DELETE FROM Fullzip WHERE zip <> '53202'");
    frmPony& w = Open();
    ExpectControlsFit(w, "frmPony-codes");
    Type(w, "%kvq");
    Type(w, "h4rb#q");
    w.txtozip->setText(QStringLiteral("55401"));
    w.cmdRun_Click();
    ASSERT_EQ(w.LastBatch().rows, 1);
    ExpectControlsFit(w, "frmPony");
}

}  // namespace
