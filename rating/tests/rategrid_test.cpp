// Reading a lane's grid row and the lane factors.

#include <gtest/gtest.h>

#include <filesystem>

#include "geography.h"
#include "ratingfixture.h"
#include "rategrid.h"
#include "tariffdb.h"

namespace {

class RateGrid : public RatingTest {
protected:
    void SetUp() override {
        RatingTest::SetUp();
        SetOrigin("55401", "554", "MN", 0);
        SetDest("53202", "532", "WI", 0);
    }
    void AddBump(const std::string& zip, double bump) {
        Exec("INSERT INTO ziparbs (zip, bump) VALUES (?,?)", {zip, bump});
    }
    void AddMarketLane(const std::string& olo, const std::string& ohi, const std::string& dlo,
                       const std::string& dhi, double push) {
        Exec("INSERT INTO MKTLN (Olo, Ohi, Dlo, Dhi, push) VALUES (?,?,?,?,?)",
             {olo, ohi, dlo, dhi, push});
    }
};

TEST_F(RateGrid, LaneCodeSplitsIntoFileAndRow) {
    // Lane 12345: grid012.dat, row 345, byte 15136. The values cover byte order.
    WriteGrid(12, 345, {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 0x0A0B0C, 0x20100});
    LoadRateGrid(12345);
    EXPECT_EQ(rating.gGridRow[0], 9500);
    EXPECT_EQ(rating.gGridRow[1], 4000);
    EXPECT_EQ(rating.gGridRow[8], 1000);
    EXPECT_EQ(rating.gGridRow[9], 658188);
    EXPECT_EQ(rating.gGridRow[10], 131328);
    EXPECT_EQ(std::filesystem::file_size(app.file("grids/grid012.dat")), 345u * 44);

    WriteGrid(1, 234, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    LoadRateGrid(1234);
    EXPECT_EQ(rating.gGridRow[0], 1);
    EXPECT_EQ(rating.gGridRow[10], 11);

    WriteGrid(123, 456, {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31});
    LoadRateGrid(123456);
    EXPECT_EQ(rating.gGridRow[0], 21);
    EXPECT_EQ(rating.gGridRow[10], 31);

    // Fewer than four digits: file 000.
    WriteGrid(0, 7, {41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51});
    LoadRateGrid(7);
    EXPECT_EQ(rating.gGridRow[0], 41);
}

TEST_F(RateGrid, AGridFileIsReadOnceAndKept) {
    WriteGrid(12, 345, {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    LoadRateGrid(12345);
    std::filesystem::remove(app.file("grids/grid012.dat"));
    LoadRateGrid(12345);
    EXPECT_EQ(rating.gGridRow[0], 9500);
    CloseRateGrids();
    EXPECT_THROW(LoadRateGrid(12345), TariffDataError);
}

TEST_F(RateGrid, RowZeroMissingFileAndShortReadAreTariffDataErrors) {
    WriteGrid(12, 3, {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    auto expectError = [&](int32_t lane, const std::string& fragment) {
        rating.gGridRow.fill(77);
        try {
            LoadRateGrid(lane);
            ADD_FAILURE() << lane << " loaded";
        } catch (const TariffDataError& e) {
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
        // No half-read row to rate with.
        EXPECT_EQ(rating.gGridRow[1], 0);
    };
    expectError(12000, "12000");
    expectError(12004, "row 4");
    std::filesystem::remove(app.file("grids/grid555.dat"));
    expectError(555001, "grid555.dat");
    expectError(-5, "-5");
    std::filesystem::resize_file(app.file("grids/grid012.dat"), 3 * 44 - 1);
    CloseRateGrids();
    expectError(12003, "row 3");
}

TEST_F(RateGrid, AGridShortenedWhileOpenIsATariffDataError) {
    WriteGrid(12, 3, {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    LoadRateGrid(12003);  // the file is open from here on
    // A tariff update rewrites it in place, shorter: row 3 is gone.
    std::filesystem::resize_file(app.file("grids/grid012.dat"), 2 * 44 + 10);
    try {
        LoadRateGrid(12003);
        ADD_FAILURE() << "rated a row past the end of the shortened grid";
    } catch (const TariffDataError& e) {
        EXPECT_NE(std::string(e.what()).find("grid012.dat has no row 3"), std::string::npos)
            << e.what();
        // The code as the lane files spell it, leading zeros kept.
        EXPECT_NE(std::string(e.what()).find("(lane code 012003)"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(rating.gGridRow[0], 0);
}

// A value no rate can have: a damaged file, named with its row, never a quote.
TEST_F(RateGrid, AGridValueThatCannotBeARateIsATariffDataError) {
    auto expectRefused = [&](std::array<int32_t, 11> values, const std::string& fragment) {
        WriteGrid(12, 345, values);
        CloseRateGrids();
        rating.gGridRow.fill(77);
        try {
            LoadRateGrid(12345);
            ADD_FAILURE() << "rated with " << fragment;
        } catch (const TariffDataError& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("grid012.dat"), std::string::npos) << m;
            EXPECT_NE(m.find("row 345"), std::string::npos) << m;
            EXPECT_NE(m.find(fragment), std::string::npos) << m;
        }
        EXPECT_EQ(rating.gGridRow[0], 0);  // nothing of the damaged row is kept
    };
    expectRefused({9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, -1}, "-1 cents");
    expectRefused({-9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800},
                  "minimum charge");
    // Bytes of text where numbers belong read as a huge rate.
    expectRefused({9500, 4000, 0x41414141, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800}, "(5C)");
    expectRefused({9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 1000001},
                  "1000001 cents");

    // A served lane's row of zeros, a zero minimum charge or a zero class rate: the lane
    // would be quoted for next to nothing.
    expectRefused({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                  "0 cents in row 345, field 1 (minimum charge)");
    expectRefused({0, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800}, "minimum charge");
    expectRefused({9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 0}, "(30M)");

    // $10,000.00 is the highest value a row may hold, one cent the lowest.
    WriteGrid(12, 345, {1000000, 1, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    CloseRateGrids();
    LoadRateGrid(12345);
    EXPECT_EQ(rating.gGridRow[0], 1000000);
    EXPECT_EQ(rating.gGridRow[1], 1);
}

TEST_F(RateGrid, OriginFactorFromBumpAndPrefixLists) {
    AddBump("49931", 0.1);
    SetOrigin("49931", "499", "MI", 0);
    EXPECT_FLOAT_EQ(OriginArbFactor(), 1.265f);  // 1.1 × 1.15
    SetOrigin("20001", "200", "DC", 0);
    EXPECT_FLOAT_EQ(OriginArbFactor(), 2.0f);
    SetOrigin("T0A0A0", "T0A", "AB", 1);
    EXPECT_FLOAT_EQ(OriginArbFactor(), 1.3f);
    SetOrigin("T0H0A0", "T0H", "AB", 1);
    EXPECT_FLOAT_EQ(OriginArbFactor(), 1.0f);
    // A negative bump is no bump.
    AddBump("55401", -0.2);
    SetOrigin("55401", "554", "MN", 0);
    EXPECT_FLOAT_EQ(OriginArbFactor(), 1.0f);
}

TEST_F(RateGrid, DestinationFactorAddsMississippisTwelvePercentToItsBump) {
    AddBump("39201", 0.05);
    SetDest("39201", "392", "MS", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.17f);
    SetDest("39401", "394", "MS", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.12f);
    AddBump("70112", 0.05);
    SetDest("70112", "701", "LA", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.176f);  // 1.05 × 1.12
    SetDest("10501", "105", "NY", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.15f);
    SetDest("12001", "120", "NY", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.0f);
    SetDest("20201", "202", "DC", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 2.0f);
    SetDest("49801", "498", "MI", 0);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.15f);
    SetDest("T0G0A0", "T0G", "AB", 1);
    EXPECT_FLOAT_EQ(DestArbFactor(), 1.3f);
}

TEST_F(RateGrid, MarketLanePushOfTheFirstMatchingRange) {
    AddMarketLane("550", "559", "600", "609", 1.05);
    AddMarketLane("500", "599", "600", "699", 1.5);
    SetOrigin("55401", "554", "MN", 0);
    SetDest("60601", "606", "IL", 0);
    EXPECT_FLOAT_EQ(MarketLanePush(), 1.05f);
    SetDest("61001", "610", "IL", 0);
    EXPECT_FLOAT_EQ(MarketLanePush(), 1.5f);
    SetDest("70001", "700", "LA", 0);
    EXPECT_FLOAT_EQ(MarketLanePush(), 1.0f);
    // Quoted text in a prefix is only a value to compare.
    SetDest("6' OR '1'='1", "6' OR '1'='1", "IL", 0);
    EXPECT_FLOAT_EQ(MarketLanePush(), 1.0f);
}

TEST_F(RateGrid, LoadRateGridSetsAllThreeFactors) {
    AddBump("55401", 0.1);
    AddBump("60601", 0.02);
    AddMarketLane("550", "559", "600", "609", 1.05);
    SetDest("60601", "606", "IL", 0);
    WriteGrid(12, 345, {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800});
    LoadRateGrid(12345);
    EXPECT_FLOAT_EQ(rating.gOrigFactor, 1.1f);
    EXPECT_FLOAT_EQ(rating.gDestFactor, 1.02f);
    EXPECT_FLOAT_EQ(rating.gLanePush, 1.05f);
}

}  // namespace
