// The rate table: gross and net cells of a lane worked out by hand, the rows between two
// Canadian points, and the table beside the engine's own line rates.
//
// The lane: minimum charge 9500 cents, class-100 rates L5C..30M 4000, 3500, 3000, 2500, 2000,
// 1500, 1200, 1000, 900, 800 cents.

#include "ratetable.h"

#include <gtest/gtest.h>

#include "charges.h"
#include "displayquote.h"
#include "quotechargesfixture.h"

namespace {

class RateTable : public QuoteChargesTest {
  protected:
    void SetUp() override {
        QuoteChargesTest::SetUp();
        rating.gGridRow = {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800};
        for (auto& d : rating.gBreakDisc) d = "45.5";
        SetOrigin("55401", "554", "MN", 0);
        SetDest("53202", "532", "WI", 0);
    }
    void Factors(Single push, Single orig, Single dest) {
        rating.gLanePush = push;
        rating.gOrigFactor = orig;
        rating.gDestFactor = dest;
    }
    // The cell texts of the row labelled `label`, minimum charge to 25M.
    static std::vector<std::string> Row(const RateTableModel& t, const std::string& label) {
        for (const RateTableRow& r : t.rows)
            if (r.label.text == label) {
                std::vector<std::string> cells;
                for (const PlacedText& c : r.cells) cells.push_back(c.text);
                return cells;
            }
        return {};
    }
    static std::vector<std::string> Labels(const RateTableModel& t) {
        std::vector<std::string> labels;
        for (const RateTableRow& r : t.rows) labels.push_back(r.label.text);
        return labels;
    }
};

using Cells = std::vector<std::string>;

TEST_F(RateTable, GrossCellsAreTheTariffRatesOfEachClass) {
    const RateTableModel t = BuildRateTable(kRateTableGross);
    ASSERT_EQ(t.rows.size(), 18u);
    EXPECT_EQ(Labels(t).front(), "50");
    EXPECT_EQ(Labels(t)[5], "77.5");
    EXPECT_EQ(Labels(t).back(), "500");
    // Class 100: the grid in dollars; the 30M rate is not shown.
    EXPECT_EQ(Row(t, "100"), (Cells{"95.00", "40.00", "35.00", "30.00", "25.00", "20.00", "15.00",
                                    "12.00", "10.00", "9.00"}));
    // Class 77.5: 35 x .775 = 27.125 and 9 x .775 = 6.975 round up with the nudge; the
    // minimum charge is not a class rate.
    EXPECT_EQ(Row(t, "77.5"), (Cells{"95.00", "31.00", "27.13", "23.25", "19.38", "15.50", "11.63",
                                     "9.30", "7.75", "6.98"}));
    // Class 500: five times the class-100 rates.
    EXPECT_EQ(Row(t, "500")[1], "200.00");
    EXPECT_EQ(Row(t, "500")[9], "45.00");
    EXPECT_EQ(t.caption, "Norvale Freight Rates for 55401 to 53202");
}

TEST_F(RateTable, NetCellsTakeEachBreaksOwnDiscount) {
    rating.gBreakDisc = {"50", "45.5", "40", "", "abc", "0", "10", "20", "30", "40", "99", ""};
    const RateTableModel t = BuildRateTable(kRateTableNet);
    // 95 x .5; 40 x .545 = 21.80; 35 x .6; empty and non-numeric discounts take nothing off;
    // 15 x .9; 12 x .8 = 9.60; 10 x .7; 9 x .6 = 5.40.
    EXPECT_EQ(Row(t, "100"), (Cells{"47.50", "21.80", "21.00", "30.00", "25.00", "20.00", "13.50",
                                    "9.60", "7.00", "5.40"}));
    // Class 65 at 5C: 35 x .65 = 22.75, less 40 % = 13.65.
    EXPECT_EQ(Row(t, "65")[2], "13.65");
}

TEST_F(RateTable, WithoutDiscountsGrossAndNetAreTheSame) {
    for (auto& d : rating.gBreakDisc) d = "0";
    Factors(1.05f, 1.1f, 1.2f);
    EXPECT_EQ(BuildRateTable(kRateTableNet).Lines(), BuildRateTable(kRateTableGross).Lines());
    for (auto& d : rating.gBreakDisc) d = "";
    EXPECT_EQ(BuildRateTable(kRateTableNet).Lines(), BuildRateTable(kRateTableGross).Lines());
}

TEST_F(RateTable, LaneFactorsFollowTheDiscountEachToFourPlaces) {
    Factors(1.05f, 1.1f, 1.2f);
    // Gross L5C: 40 x 1.05 = 42.0000, x 1.1 = 46.2000, x 1.2 = 55.4400.
    EXPECT_EQ(ClassBreakRateText(1, 100, 1.05f, 1.1f, 1.2f, kRateTableGross), "55.44");
    // Gross minimum charge: 95 x 1.05 = 99.7500, x 1.1 = 109.7250, x 1.2 = 131.6700.
    EXPECT_EQ(ClassBreakRateText(0, 100, 1.05f, 1.1f, 1.2f, kRateTableGross), "131.67");
    // Net minimum charge: 95 x .545 = 51.775 is taken to 51.78 first, then 54.3690, 59.8059
    // and 71.76708: 71.77. A quote discounts the factored 131.67 instead: 131.67 - 59.91 =
    // 71.76. The table keeps its own order.
    EXPECT_EQ(ClassBreakRateText(0, 100, 1.05f, 1.1f, 1.2f, kRateTableNet), "71.77");
    // Each step keeps four places and only the end has two: 12.50 x 1.0003 = 12.50375 stays
    // 12.5038, x 1.0003 = 12.50755: 12.51. Rounding each step to the cent would give 12.50
    // twice.
    rating.gGridRow[6] = 1250;
    EXPECT_EQ(ClassBreakRateText(6, 100, 1.0003f, 1.0003f, 1, kRateTableGross), "12.51");
}

TEST_F(RateTable, FactorsOfOneLeaveTheFirstStepAsItIs) {
    EXPECT_EQ(ClassBreakRateText(2, 77.5f, 1, 1, 1, kRateTableGross), "27.13");
    // Large rates print without a thousands separator.
    rating.gGridRow[1] = 246900;
    EXPECT_EQ(ClassBreakRateText(1, 50, 1, 1, 1, kRateTableGross), "1234.50");
}

TEST_F(RateTable, GrossCellsEqualTheEnginesLineRates) {
    Factors(1.05f, 1.1f, 1.2f);
    for (auto& d : rating.gBreakDisc) d = "45.5";
    for (const char* cls : {"55", "77.5", "100", "175", "400"}) {
        SetLine(0, "600", cls);
        ComputeCharges(0);
        const RateTableModel t = BuildRateTable(kRateTableGross);
        const Cells row = Row(t, CStr(static_cast<Single>(Val(cls))));
        ASSERT_EQ(row.size(), 10u);
        // 600 lbs rates breaks 5C to 15M; the table's cells 2 to 7.
        for (int b = rating.gFirstBreak; b <= std::min<int>(rating.gLastBreak, 9); ++b)
            EXPECT_EQ(row[static_cast<size_t>(b)], Format(rating.gLineRate[b][0], "#0.00"))
                << "class " << cls << " break " << b;
    }
}

TEST_F(RateTable, BetweenCanadianPointsRowsAreDensityBands) {
    SetOrigin("V6B1A1", "V6B", "BC", 1);
    SetDest("T2P1A1", "T2P", "AB", 1);
    const RateTableModel t = BuildRateTable(kRateTableGross);
    EXPECT_EQ(Labels(t), (Cells{"< 99.99", "< 49.99", "< 34.99", "< 29.99", "< 22.49", "< 9.99",
                                "< 7.99", "< 5.99", "< 3.99", "< 1.99", "< .99"}));
    EXPECT_EQ(t.rows.front().label.column, 1);
    EXPECT_EQ(t.header.front().text, "Density");
    EXPECT_EQ(t.header.front().column, 1);
    // The band of 99.99 rates at class 50, of .99 at class 400.
    EXPECT_EQ(Row(t, "< 99.99")[1], "20.00");
    EXPECT_EQ(Row(t, "< .99")[1], "160.00");
    EXPECT_EQ(Row(t, "< 5.99")[1], "60.00");
}

TEST_F(RateTable, FromQuebecOrOntarioEveryBandRatesAtClass100) {
    for (const char* province : {"QC", "ON"}) {
        SetOrigin("H2Y1A1", "H2Y", province, 1);
        SetDest("T2P1A1", "T2P", "AB", 1);
        const RateTableModel t = BuildRateTable(kRateTableGross);
        ASSERT_EQ(t.rows.size(), 11u);
        for (const RateTableRow& r : t.rows) EXPECT_EQ(r.cells[1].text, "40.00") << r.label.text;
    }
}

TEST_F(RateTable, OneCanadianEndKeepsTheClassRows) {
    SetDest("T2P1A1", "T2P", "AB", 1);
    const RateTableModel t = BuildRateTable(kRateTableGross);
    EXPECT_EQ(t.rows.size(), 18u);
    EXPECT_EQ(t.header.front().text, "Class");
    EXPECT_EQ(t.header.front().column, 3);
}

TEST_F(RateTable, TextLinesPlaceEveryItemAtItsColumn) {
    const std::vector<std::string> lines = BuildRateTable(kRateTableGross).Lines();
    ASSERT_EQ(lines.size(), 19u);
    const std::string& header = lines[0];
    const std::pair<size_t, const char*> heads[] = {
        {3, "Class"},   {10, "MinChg"}, {21, "L5C"},    {30, "500"},    {37, "1,000"},
        {45, "2,000"},  {53, "5,000"},  {61, "10,000"}, {69, "15,000"}, {77, "20,000"},
        {85, "25,000"}};
    for (const auto& [column, text] : heads) EXPECT_EQ(header.find(text), column - 1) << text;
    // Class 100 is the ninth row: label at 3, cells at 11, 20, 29, 37, 45, 53, 62, 70, 78, 86.
    EXPECT_EQ(lines[9], "  100     95.00    40.00    35.00   30.00   25.00   20.00    15.00   "
                        "12.00   10.00   9.00");
}

TEST_F(RateTable, ItemsThatWouldOverlapStaySeparate) {
    EXPECT_EQ(PlaceOnLine({{1, "abc"}, {3, "de"}, {8, "f"}}), "abc de f");
}

// A quote with an economy offer underneath: the offer rates the shipment again at the economy
// percentage (20 here), and the net table must still show the quote's 45.5 %.
TEST_F(RateTable, NetViewReadsTheQuotesDiscountsNotTheEconomyOffers) {
    EconomyLane("55401", "53202", 7);
    SetLine(0, "450", "100");
    ComputeCharges(0);
    DisplayQuote(0);
    ASSERT_EQ(quote.qmrqQPO3, "Thriftlane Rate Quote $140.00");
    EXPECT_EQ(Row(BuildRateTable(kRateTableNet), "100")[1], "21.80");  // 40 x .545
}

}  // namespace
