#pragma once
// A private copy of the sample tariff whose customer and look-up tables the test writes itself,
// so that every figure a test expects is worked out by hand from rows it can see.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "database.h"
#include "ratingstate.h"
#include "testdata.h"

struct ShownMessage {
    std::string text;
    int style;
    std::string title;
};

class RatingTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes row `row` of grids/grid<file>.dat (the rows before it are zero).
    void WriteGrid(int file, int row, const std::array<int32_t, 11>& values);
    // The grid row used by most worked cases: MC 9500, L5C..30M 4000 … 800 cents.
    void UseStandardLane(int32_t laneCode = 900001);
    // Milwaukee to Columbus on the standard lane, 45.5 % off on every break, and a fresh sheet:
    // the shipment the quote tests write.
    void UseStandardQuote();
    // After UseStandardQuote: Toronto to Montreal on the standard lane at 35 % off, 300 lbs at
    // density 12 and 150 lbs at density 3: a quote between two Canadian points with a deficit line.
    void UseCanadianDeficitQuote();

    void Exec(const std::string& sql, const std::vector<Value>& params = {});
    void AddDiscountRow(const std::string& zip, int region, int ibob, const std::string& pct,
                        const std::string& floor = "00.00");
    void AddDiscountRow(const std::string& zip, int region, int ibob,
                        const std::array<std::string, 11>& pct, const std::string& floor);
    void AddFakRow(const std::string& zip, int ibob, int region, const std::string& profile);
    void AddStateRegion(const std::string& state, const std::string& zip, int region);
    void AddFullzip(const std::string& zip, const std::string& sic);

    // The verified ends; country 0 United States, 1 Canada.
    void SetOrigin(const std::string& zip, const std::string& zip3, const std::string& state,
                   int country);
    void SetDest(const std::string& zip, const std::string& zip3, const std::string& state,
                 int country);
    // One commodity line in the main window and in the weights the request hands over.
    void SetLine(int line, const std::string& weight, const std::string& cls);

    ScratchAppFolder app;
    std::vector<ShownMessage> messages;
};
