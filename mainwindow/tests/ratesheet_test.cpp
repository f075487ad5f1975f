// Canadian rate sheets on the sample geography with grid rows and discounts the test writes:
// the rows of the work table worked out by hand, the printed pages read back from a PDF, and
// every way a request can end leaving the work table empty and no hourglass.
//
// Lanes (rows written here, cents): Calgary to Vancouver 10000 minimum, class-100 rates
// 6000, 5000, 4000, 3000, 2000, 1800, 1600, 1400, 1200, 1000; Calgary to Toronto twice those.
// Discounts of "ALL" within Canada: 35 % on every break.

#include "ratesheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "geography.h"
#include "lanes.h"
#include "messagebox.h"
#include "msgbox.h"
#include "rategrid.h"
#include "ratingfixture.h"
#include "settings.h"
#include "tariffdb.h"
#include "textprinter.h"

namespace {

const std::array<int32_t, 11> kWestLane = {10000, 6000, 5000, 4000, 3000, 2000,
                                           1800,  1600, 1400, 1200, 1000};

class RateSheet : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        messageScript.Reset();
        messageScript.Start();
        LoadSettings();
        AddDiscountRow("ALL", 254, 0, "35");
        std::array<int32_t, 11> east;
        for (size_t i = 0; i < 11; ++i) east[i] = 2 * kWestLane[i];
        PatchGrid(LaneBetween("T1Y", "V3M"), kWestLane);
        PatchGrid(LaneBetween("T1Y", "M3L"), east);
        CloseRateGrids();
    }
    void TearDown() override {
        SetPrinterChooser(nullptr);
        messageScript.Reset();
        RatingTest::TearDown();
    }

    static int32_t LaneBetween(const std::string& origZone, const std::string& destZone) {
        return static_cast<int32_t>(
            std::stol(GetLaneCode(GridCellNumber(ZipSubscript(origZone), ZipSubscript(destZone)))));
    }
    // Writes one row of a grid file, keeping the others.
    void PatchGrid(int32_t lane, const std::array<int32_t, 11>& values) {
        char name[32];
        std::snprintf(name, sizeof name, "grids/grid%03d.dat", lane / 1000);
        const std::string path = app.file(name).string();
        std::string bytes;
        {
            std::ifstream in(path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        const size_t at = static_cast<size_t>(lane % 1000 - 1) * 44;
        if (bytes.size() < at + 44) bytes.resize(at + 44, '\0');
        for (size_t i = 0; i < 11; ++i)
            for (size_t k = 0; k < 4; ++k)
                bytes[at + 4 * i + k] =
                    static_cast<char>((static_cast<uint32_t>(values[i]) >> (8 * k)) & 0xFF);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    struct SheetRow {
        std::string origin, dest, orig, destZone;
        std::vector<Value> rates;
    };
    static std::vector<SheetRow> WorkTable() {
        std::vector<SheetRow> rows;
        Snapshot s = tariff.gDB->OpenSnapshot("SELECT * FROM \"canada rate sheet\" ORDER BY rowid");
        for (; !s.AtEOF(); s.MoveNext()) {
            SheetRow r{s.Field("origin city").str(),
                       s.Field("dest city").str(),
                       s.Field("orig").str(),
                       s.Field("DEST").str(),
                       {}};
            for (const char* f :
                 {"minchg", "L5C", "r5c", "r1m", "r2m", "r5m", "r10m", "r15m", "r20m", "r25m"})
                r.rates.push_back(s.Field(f));
            rows.push_back(r);
        }
        return rows;
    }
    static int64_t WorkTableRows() {
        return tariff.gDB->OpenSnapshot("SELECT COUNT(*) FROM \"canada rate sheet\"")
            .Field(size_t{0})
            .toInt();
    }
    static std::vector<double> Rates(const SheetRow& r) {
        std::vector<double> out;
        for (const Value& v : r.rates) out.push_back(v.toDouble());
        return out;
    }
    // The served rate-sheet cities, as many as asked, repeated when more are asked.
    static std::vector<std::string> Destinations(size_t n) {
        std::vector<std::string> served;
        for (const std::string& c : RateSheetCities())
            if (c.substr(c.size() - 2) != "NT" && c.substr(c.size() - 2) != "NU")
                served.push_back(c);
        std::vector<std::string> out;
        for (size_t i = 0; i < n; ++i) out.push_back(served[i % served.size()]);
        return out;
    }
    void PrintToPdf(const QString& path) {
        SetPrinterChooser(ChoosePdfFile(path));
    }
    static QString PdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // A rate-sheet city of the test's own, standing for the postal area given.
    void AddSheetCity(const std::string& city, const std::string& province,
                      const std::string& area) {
        Exec("INSERT INTO basezone00 (City, State, zip) VALUES (?, ?, ?)", {city, province, area});
        Exec("INSERT INTO can_cities (zip, City, Province) VALUES (?, ?, ?)",
             {area + "1", city, province});
    }
    void ExpectCleanEnd() {
        EXPECT_EQ(WorkTableRows(), 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QTemporaryDir dir;
};

// ------------------------------------------------------------------ the texts of a row

TEST(RateSheetText, CanTrimShortensLongDestinations) {
    EXPECT_EQ(CanTrim("SAINT-JEAN-SUR-R, QC"), "SAINT-JEAN-SUR-R");        // 20, comma at 17
    EXPECT_EQ(CanTrim("PORT COQUITLAM, BC"), "PORT COQUITLAM, BC");        // 18: whole
    EXPECT_EQ(CanTrim("NOTRE-DAME-DU-LAC-SUD, QC"), "NOTRE-DAME-DU-LAC");  // 25, comma at 22
    EXPECT_EQ(CanTrim("ABCDEFGHIJKLMNOPQRS"), "ABCDEFGHIJKLMNOPQ");        // 19, no comma
    EXPECT_EQ(CanTrim("ABCDEFGHIJKLMNOP, ON"), "ABCDEFGHIJKLMNOP");        // comma at 17 exactly
    EXPECT_EQ(CanTrim("ABCDEFGHIJKLMNOPQ, ON"), "ABCDEFGHIJKLMNOPQ");      // comma at 18
    // Characters, not bytes: 18 characters in 19 bytes stay whole; the cut of a 23-character
    // text keeps its 17th character, two bytes long, whole.
    EXPECT_EQ(CanTrim("TROIS-RIVIÈRES, QC"), "TROIS-RIVIÈRES, QC");
    EXPECT_EQ(CanTrim("NOTRE-DAME-DE-GRÂCE, QC"), "NOTRE-DAME-DE-GRÂ");
}

TEST(RateSheetText, FormatMoneyColumnRightAlignsTwoDecimals) {
    std::string s = "12.5";
    EXPECT_EQ(FormatMoneyColumn(10, s), "     12.50");
    EXPECT_EQ(s, "     12.50");  // also left in the argument
    s = "8";
    EXPECT_EQ(FormatMoneyColumn(10, s), "      8.00");
    s = " 123.45 ";
    EXPECT_EQ(FormatMoneyColumn(10, s), "    123.45");
    s = "1234567.5";
    EXPECT_EQ(FormatMoneyColumn(10, s), "1234567.50");
    s = "12345678.5";  // longer than the column: returned as it is
    EXPECT_EQ(FormatMoneyColumn(10, s), "12345678.50");
}

TEST(RateSheetText, PagesHoldThirtyTwoRows) {
    EXPECT_EQ(RateSheetPageCount(0), 0);
    EXPECT_EQ(RateSheetPageCount(1), 1);
    EXPECT_EQ(RateSheetPageCount(32), 1);
    EXPECT_EQ(RateSheetPageCount(33), 2);
    EXPECT_EQ(RateSheetPageCount(64), 2);
    EXPECT_EQ(RateSheetPageCount(65), 3);
    EXPECT_EQ(RateSheetPageCount(300), 10);  // more rows than a byte holds
}

// ------------------------------------------------------------------ building

TEST_F(RateSheet, RowsAreTheNetRatesOfTheDensitysClassWithoutLaneFactors) {
    // A bump on the destination would raise a quote's rates by 20 %; the sheet ignores it.
    Exec("INSERT INTO ziparbs (zip, bump) VALUES ('V3M1A1', 0.2)");
    ASSERT_EQ(BuildCanadaRateSheet("CALGARY, AB", {"VANCOUVER, BC"}, "4.5"), 1);
    const auto rows = WorkTable();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].origin, "CALGARY, AB");
    EXPECT_EQ(rows[0].dest, "VANCOUVER, BC");
    EXPECT_EQ(rows[0].orig, "T1Y");
    EXPECT_EQ(rows[0].destZone, "V3M");
    // Density 4.5 is class 150; 35 % off. Minimum 100 x .65 = 65; L5C 60 x 1.5 x .65 = 58.50;
    // 50 x .975 = 48.75; 39; 29.25; 19.50; 18 x .975 = 17.55; 15.60; 13.65; 11.70.
    const std::vector<double> expected = {65,   58.5,  48.75, 39,    29.25,
                                          19.5, 17.55, 15.6,  13.65, 11.7};
    const auto got = Rates(rows[0]);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-4) << i;
    // The factors were loaded with the lane (the shared state holds them), and not used.
    EXPECT_FLOAT_EQ(rating.gDestFactor, 1.2f);
}

TEST_F(RateSheet, EastWestLanesTakeTheCarriersMinimumDiscounts) {
    // The main window rated a US lane last: nothing of it carries over.
    rating.gUpperMidwest = true;
    for (auto& d : rating.gBreakDisc) d = "99";
    ASSERT_EQ(BuildCanadaRateSheet("CALGARY, AB", {"TORONTO, ON"}, "12"), 1);
    // Class 100 (density 12). Breaks 5M to 25M are raised to 30 (35 stays), 40, 50, 50, 50 %:
    // 40 x .65 = 26; 36 x .6 = 21.60; 32, 28, 24 x .5 = 16, 14, 12.
    const std::vector<double> expected = {130, 78, 65, 52, 39, 26, 21.6, 16, 14, 12};
    const auto got = Rates(WorkTable().at(0));
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-4) << i;
    EXPECT_TRUE(rating.gEastWestCanada);
    EXPECT_FALSE(rating.gUpperMidwest);
}

TEST_F(RateSheet, FromQuebecOrOntarioEveryDensityRatesAtClass100) {
    PatchGrid(LaneBetween("M3L", "V3M"), kWestLane);
    CloseRateGrids();
    ASSERT_EQ(BuildCanadaRateSheet("TORONTO, ON", {"VANCOUVER, BC"}, "4.5"), 1);
    // Class 100 though density 4.5; west-east minimums from 5M on: L5C 60 x .65 = 39.
    EXPECT_NEAR(Rates(WorkTable().at(0))[1], 39, 1e-4);
}

TEST_F(RateSheet, ALaneWithoutServiceHasARowWithoutRates) {
    ASSERT_EQ(BuildCanadaRateSheet("CALGARY, AB", {"YELLOWKNIFE, NT", "VANCOUVER, BC"}, "12"), 2);
    const auto rows = WorkTable();
    ASSERT_EQ(rows.size(), 2u);
    for (const Value& v : rows[0].rates) EXPECT_TRUE(v.isNull());
    EXPECT_NEAR(Rates(rows[1])[1], 39, 1e-4);  // 60 x .65
}

TEST_F(RateSheet, BuildingWritesTheLastLaneIntoTheSharedState) {
    BuildCanadaRateSheet("CALGARY, AB", {"TORONTO, ON", "VANCOUVER, BC"}, "12");
    EXPECT_EQ(tariff.gOrigCountry, 1);
    EXPECT_EQ(tariff.gDestCountry, 1);
    EXPECT_EQ(tariff.gOrigState, "AB");
    EXPECT_EQ(tariff.gDestState, "BC");
    EXPECT_EQ(tariff.gOrigZip, "T1Y1A1");
    EXPECT_EQ(tariff.gDestZip3, "V3M");
    EXPECT_EQ(rating.gLaneCode, LaneBetween("T1Y", "V3M"));
    EXPECT_EQ(tariff.rsBasezone00->Index(), "bypostcode");
}

TEST_F(RateSheet, ACustomersShippingLocationKeepsItsOwnDiscounts) {
    Exec("INSERT INTO shipzips (zip) VALUES ('T1Y')");
    Exec("INSERT INTO states (State, zip, region) VALUES ('BC', 'T1Y', 2)");
    AddDiscountRow("T1Y", 2, 0, "50");
    BuildCanadaRateSheet("CALGARY, AB", {"VANCOUVER, BC"}, "12");
    EXPECT_TRUE(rating.gOutbound);
    EXPECT_EQ(tariff.gOrigZip3, "T1Y");
    EXPECT_NEAR(Rates(WorkTable().at(0))[1], 30, 1e-4);  // 60 x .5
}

TEST_F(RateSheet, PointsOfACityAreTheCitiesAndRuralOfficesOfItsZone) {
    const auto points = FillCanadaCityList("TORONTO, ON");
    ASSERT_FALSE(points.empty());
    EXPECT_NE(std::find(points.begin(), points.end(), "TORONTO, ON"), points.end());
    for (const std::string& p : points) EXPECT_EQ(p.substr(p.size() - 4), ", ON") << p;
    EXPECT_EQ(tariff.rsBasezone00->Index(), "bycityname");
    // A zone of one rural area lists its post office's place.
    const auto atlin = FillCanadaCityList("ATLIN, BC");
    EXPECT_NE(std::find(atlin.begin(), atlin.end(), "ATLIN, BC"), atlin.end());
}

// ------------------------------------------------------------------ printing

TEST_F(RateSheet, APrintedSheetReadsBackWithItsHeaderColumnsAndMoney) {
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    PrintToPdf(path);
    TextPrinter printer;
    ASSERT_EQ(PrintCanadaRateSheet(
                  {"CALGARY, AB", {"VANCOUVER, BC", "YELLOWKNIFE, NT"}, "4.5", false}, printer),
              RateSheetOutcome::Printed);
    EXPECT_TRUE(messageScript.Log().empty());
    ExpectCleanEnd();
    const QString text = PdfText(path);
    const QStringList lines = text.split(QLatin1Char('\n'));
    auto lineWith = [&](const QString& s) {
        for (const QString& l : lines)
            if (l.contains(s)) return l.simplified().toStdString();
        return std::string();
    };
    EXPECT_FALSE(lineWith(QStringLiteral("Domestic Rate Tariff")).empty());
    EXPECT_EQ(lineWith(QStringLiteral("FROM:")), "FROM: CALGARY, AB");
    EXPECT_EQ(lineWith(QStringLiteral("Destination Cities")),
              "Destination Cities M/C L5C 500 1000 2000 5000 10000");
    EXPECT_EQ(lineWith(QStringLiteral("VANCOUVER")),
              "VANCOUVER, BC 65.00 58.50 48.75 39.00 29.25 19.50 17.55");
    EXPECT_EQ(lineWith(QStringLiteral("YELLOWKNIFE")), "YELLOWKNIFE, NT No service");
    EXPECT_FALSE(
        lineWith(QStringLiteral("Rates are expressed in Canadian dollars per CWT")).empty());
    EXPECT_FALSE(
        lineWith(QStringLiteral("for specific information on service and rates.")).empty());
    EXPECT_EQ(lineWith(QStringLiteral("Rates effective")),
              "Rates effective " + tariff.gEffDate + " 1");

    // The items stand at their columns, money right-aligned in ten places, in 12-point type.
    auto item = [&](const QString& t) -> const PrintedText* {
        for (const PrintedText& p : printer.Texts())
            if (p.text == t) return &p;
        return nullptr;
    };
    ASSERT_NE(item(QStringLiteral("Domestic Rate Tariff")), nullptr);
    EXPECT_EQ(item(QStringLiteral("Domestic Rate Tariff"))->column, 23);
    EXPECT_EQ(item(QStringLiteral("Domestic Rate Tariff"))->font.pointSizeF(), 18);
    EXPECT_EQ(item(QStringLiteral("Domestic Rate Tariff"))->color, QColor(Qt::blue));
    const std::pair<const char*, int> columns[] = {
        {"M/C", 28},        {"L5C", 38},        {"10000", 88},      {"     65.00", 26},
        {"     58.50", 37}, {"     48.75", 47}, {"     39.00", 59}, {"     29.25", 70},
        {"     19.50", 81}, {"     17.55", 93}, {"No service", 26}};
    for (const auto& [t, column] : columns) {
        const PrintedText* p = item(QString::fromLatin1(t));
        ASSERT_NE(p, nullptr) << t;
        EXPECT_EQ(p->column, column) << t;
        EXPECT_EQ(p->font.pointSizeF(), 12) << t;
    }
    EXPECT_EQ(item(QStringLiteral("15000")), nullptr);
    EXPECT_EQ(item(QStringLiteral("1"))->column, 140);
    EXPECT_EQ(printer.Pictures().size(), 1u);
}

TEST_F(RateSheet, AccentedCitiesKeepTheirProvinceAndTheirRatesOnTheirLine) {
    AddSheetCity("TROIS-RIVIÈRES", "QC", "G8Y");
    AddSheetCity("NOTRE-DAME-DE-GRÂCE", "QC", "H4A");
    const auto cities = RateSheetCities();
    for (const char* c : {"TROIS-RIVIÈRES, QC", "NOTRE-DAME-DE-GRÂCE, QC"})
        ASSERT_NE(std::find(cities.begin(), cities.end(), c), cities.end()) << c;
    PrintToPdf(dir.filePath(QStringLiteral("accents.pdf")));
    TextPrinter printer;
    ASSERT_EQ(
        PrintCanadaRateSheet(
            {"TROIS-RIVIÈRES, QC", {"TROIS-RIVIÈRES, QC", "NOTRE-DAME-DE-GRÂCE, QC"}, "12", true},
            printer),
        RateSheetOutcome::Printed);
    EXPECT_TRUE(messageScript.Log().empty());
    // The destination at column 1, and the next item (a rate or "No service") on its line.
    auto row = [&](const QString& dest) {
        const auto& texts = printer.Texts();
        for (size_t i = 0; i + 1 < texts.size(); ++i)
            if (texts[i].column == 1 && texts[i].text == dest)
                return texts[i + 1].line == texts[i].line && texts[i + 1].column == 26;
        return false;
    };
    EXPECT_TRUE(row(QStringLiteral("TROIS-RIVIÈRES, QC")));
    EXPECT_TRUE(row(QStringLiteral("NOTRE-DAME-DE-GRÂ")));
    for (const PrintedText& t : printer.Texts())
        EXPECT_FALSE(t.text.contains(QChar::ReplacementCharacter)) << t.text.toStdString();
    // The origin's province is its last two characters.
    EXPECT_EQ(tariff.gOrigState, "QC");
}

TEST_F(RateSheet, TruckloadSheetsHaveTenColumnsInNinePointType) {
    const QString path = dir.filePath(QStringLiteral("wide.pdf"));
    PrintToPdf(path);
    TextPrinter printer;
    ASSERT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC"}, "4.5", true}, printer),
              RateSheetOutcome::Printed);
    const QString text = PdfText(path);
    EXPECT_TRUE(text.simplified().contains(
        QStringLiteral("Destination Cities M/C L5C 500 1000 2000 5000 10000 15000 20000 25000")));
    EXPECT_TRUE(text.simplified().contains(QStringLiteral(
        "VANCOUVER, BC 65.00 58.50 48.75 39.00 29.25 19.50 17.55 15.60 13.65 11.70")));
    const std::pair<const char*, int> columns[] = {
        {"25000", 118},      {"     39.00", 60},  {"     29.25", 71}, {"     17.55", 94},
        {"     15.60", 105}, {"     13.65", 116}, {"     11.70", 127}};
    for (const auto& [t, column] : columns) {
        const PrintedText* found = nullptr;
        for (const PrintedText& p : printer.Texts())
            if (p.text == QString::fromLatin1(t)) found = &p;
        ASSERT_NE(found, nullptr) << t;
        EXPECT_EQ(found->column, column) << t;
        EXPECT_EQ(found->font.pointSizeF(), 9) << t;
    }
}

TEST_F(RateSheet, ThirtyTwoRowsFillOnePageAndMoreStartAnother) {
    struct Case {
        int rows, pages;
        bool truckload;
    };
    for (const auto& [rows, pages, truckload] : {Case{32, 1, false},
                                                 {33, 2, false},
                                                 {64, 2, false},
                                                 {300, 10, false},
                                                 {32, 1, true},
                                                 {33, 2, true}}) {
        const QString path = dir.filePath(QStringLiteral("p%1%2.pdf").arg(rows).arg(truckload));
        PrintToPdf(path);
        TextPrinter printer;
        ASSERT_EQ(PrintCanadaRateSheet(
                      {"CALGARY, AB", Destinations(static_cast<size_t>(rows)), "9.9", truckload},
                      printer),
                  RateSheetOutcome::Printed)
            << rows;
        EXPECT_EQ(printer.PageCount(), pages) << rows;
        const QStringList pageTexts = PdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        ASSERT_EQ(pageTexts.size(), pages) << rows;
        // Each page has its header, its own number and its share of the rows.
        for (int p = 0; p < pages; ++p) {
            const QString& page = pageTexts[p];
            EXPECT_TRUE(page.contains(QStringLiteral("Destination Cities"))) << rows;
            EXPECT_TRUE(page.simplified().contains(QStringLiteral("Rates effective ") +
                                                   QString::fromStdString(tariff.gEffDate) +
                                                   QStringLiteral(" %1").arg(p + 1)))
                << rows << " page " << p + 1;
        }
        if (rows == 33 && !truckload) {
            // Page two carries one row: one minimum charge at column 26.
            int onSecond = 0;
            for (const PrintedText& t : printer.Texts()) onSecond += t.page == 1 && t.column == 26;
            EXPECT_EQ(onSecond, 1);
        }
        ExpectCleanEnd();
    }
}

// ------------------------------------------------------------------ every way out

TEST_F(RateSheet, NoOriginIsRefusedWithAMessage) {
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"", {"VANCOUVER, BC"}, "9.9", false}, printer),
              RateSheetOutcome::NoOrigin);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Data Entry Error"));
    EXPECT_EQ(messageScript.Log()[0].text,
              QStringLiteral("You did not specify an Origin City.  Please try again."));
    EXPECT_EQ(printer.PageCount(), 0);
    ExpectCleanEnd();
}

TEST_F(RateSheet, NoDestinationsIsRefusedWithAMessage) {
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {}, "9.9", false}, printer),
              RateSheetOutcome::NoDestinations);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text,
              QStringLiteral("You did not specify any destination cities.  Please try again."));
    EXPECT_EQ(printer.PageCount(), 0);
    ExpectCleanEnd();
}

TEST_F(RateSheet, ThePrintedSheetIsNamedAfterItsOrigin) {
    const QString path = dir.filePath(QStringLiteral("chosen.pdf"));
    QString proposed;
    SetPrinterChooser(ChoosePdfFile(path, &proposed));
    TextPrinter printer;
    ASSERT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC"}, "9.9", false}, printer),
              RateSheetOutcome::Printed);
    EXPECT_EQ(proposed, "ratesheet-CALGARY-AB.pdf");
    EXPECT_EQ(PdfTitle(path.toStdString()), "Norvale Freight Canadian rate sheet from CALGARY, AB");
}

TEST_F(RateSheet, CancelInThePrinterDialogPrintsNothing) {
    SetPrinterChooser([](QPrinter&, QWidget*) { return PrinterChoice::Cancelled; });
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC"}, "9.9", false}, printer),
              RateSheetOutcome::Cancelled);
    EXPECT_TRUE(messageScript.Log().empty());
    EXPECT_EQ(printer.PageCount(), 0);
    ExpectCleanEnd();
}

TEST_F(RateSheet, AnErrorWhileBuildingIsToldAndLeavesNothingBehind) {
    // A city the tariff does not know, after a good one.
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC", "ATLANTIS, BC"}, "9.9", false},
                                   printer),
              RateSheetOutcome::Failed);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_TRUE(messageScript.Log()[0].text.contains(QStringLiteral("ATLANTIS")));
    ExpectCleanEnd();
    // A lane without discounts is the engine's refusal, told in its own words.
    Exec("DELETE FROM discounts");
    messageScript.ClearLog();
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC"}, "9.9", false}, printer),
              RateSheetOutcome::Failed);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Discounts Missing"));
    ExpectCleanEnd();
}

TEST_F(RateSheet, APrinterThatFailsIsToldAndLeavesNothingBehind) {
    PrintToPdf(dir.filePath(QStringLiteral("no/such/folder/sheet.pdf")));
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {"VANCOUVER, BC"}, "9.9", false}, printer),
              RateSheetOutcome::Failed);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_TRUE(messageScript.Log()[0].text.contains(QStringLiteral("sheet.pdf")));
    ExpectCleanEnd();
}

TEST_F(RateSheet, EachRequestPrintsOnlyItsOwnDestinations) {
    // Rows a request that died long ago left behind never print.
    Exec(
        "INSERT INTO \"canada rate sheet\" (\"origin city\", \"dest city\") VALUES ('X', "
        "'LEFTOVER, ON')");
    for (const char* dest : {"VANCOUVER, BC", "TORONTO, ON"}) {
        const QString path = dir.filePath(QString::fromLatin1(dest).left(5) + ".pdf");
        PrintToPdf(path);
        TextPrinter printer;
        ASSERT_EQ(PrintCanadaRateSheet({"CALGARY, AB", {dest}, "9.9", false}, printer),
                  RateSheetOutcome::Printed);
        const QString text = PdfText(path);
        EXPECT_TRUE(text.contains(QString::fromLatin1(dest)));
        EXPECT_FALSE(text.contains(QStringLiteral("LEFTOVER")));
        EXPECT_EQ(text.count(QStringLiteral("Destination Cities")), 1);
        ExpectCleanEnd();
    }
}

}  // namespace
