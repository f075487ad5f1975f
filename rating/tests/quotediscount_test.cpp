// A discount typed in the quote window: checked, put into every break, rated and written again.

#include <gtest/gtest.h>

#include "quotediscountfixture.h"

namespace {

TEST_F(QuoteDiscountTest, ANewPercentageRatesEveryBreakAgainAndRewritesTheQuote) {
    AddDiscountRow("ALL", 1, 0, "45.5");
    SetLine(0, "1000", "100");
    RateAndDisplay();
    // 1M: 1000 lbs at 30.00 = 300.00; 45.5 % of it is 136.50.
    ASSERT_EQ(rating.gBreak, 3);
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$136.50");

    quote.txtChgDisc = "35.5";
    CheckQuoteDiscount("45.5");
    for (size_t b = 0; b <= 10; ++b) EXPECT_EQ(rating.gBreakDisc[b], "35.5") << b;
    // 300.00 × 35.5 % = 106.50, leaving 193.50; 2M would be 500.00 less 177.50.
    EXPECT_EQ(rating.gBreak, 3);
    EXPECT_FLOAT_EQ(rating.gNetCharge[4], 322.50f);
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$106.50");
    EXPECT_EQ(ChargeBeside("Net Charges"), "$193.50");
    EXPECT_EQ(quote.txtChgDisc, "35.5");
    EXPECT_TRUE(messageScript.Log().empty());
}

// A percentage the rating then refuses is not kept: the quote stays as it was, and a service
// chosen later in this quote is priced at the discount the quote shows, not the refused one.
TEST_F(QuoteDiscountTest, APercentageTheRatingRefusesIsNotKept) {
    AddDiscountRow("ALL", 1, 0, "45.5");
    SetLine(0, "1000", "100");
    RateAndDisplay();
    quote.txtChgDisc = "35.5";
    CheckQuoteDiscount("45.5");
    ASSERT_EQ(rating.gEnteredDisc, "35.5");
    messages.clear();

    // From inside: the class the rating holds goes bad, as a damaged read would leave it.
    const std::string cls = rating.gLineClass[0];
    rating.gLineClass[0] = "0";
    quote.txtChgDisc = "20.0";
    CheckQuoteDiscount("35.5");
    rating.gLineClass[0] = cls;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(rating.gEnteredDisc, "35.5");
    for (size_t b = 0; b <= 10; ++b) EXPECT_EQ(rating.gBreakDisc[b], "35.5") << b;
    EXPECT_EQ(quote.txtChgDisc, "35.5");
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$106.50");
}

TEST_F(QuoteDiscountTest, OnePercentageForAllBreaksCanMoveTheQuoteToAnotherBreak) {
    // Nothing off 1M, 60 % off 2M: 1000 lbs pay 2M, 500.00 less 300.00.
    AddDiscountRow("ALL", 1, 0, {"10", "10", "10", "0", "60", "10", "10", "10", "10", "10", "10"},
                   "00.00");
    SetLine(0, "1000", "100");
    RateAndDisplay();
    ASSERT_EQ(rating.gBreak, 4);
    EXPECT_TRUE(SheetHolds("Rated as:"));

    quote.txtChgDisc = "35.5";
    CheckQuoteDiscount("60");
    EXPECT_EQ(rating.gBreak, 3);
    EXPECT_EQ(ChargeBeside("Net Charges"), "$193.50");
    EXPECT_FALSE(SheetHolds("Rated as:"));
}

TEST_F(QuoteDiscountTest, AQuoteAtTheLaneFloorOrWithoutAClickIgnoresAChange) {
    // 100 lbs: L5C 40.00 less 35.5 % is 25.80, under the minimum charge 95.00 less 33.73,
    // 61.27, which the floor raises to 80.00.
    AddDiscountRow("ALL", 1, 0, "35.5", "80");
    SetLine(0, "100", "100");
    RateAndDisplay();
    ASSERT_TRUE(rating.gFloorApplied);
    const QuoteSheet before = quote;
    for (bool clicked : {true, false}) {
        quoteDiscount.gChgDiscClicked = clicked;
        quote.txtChgDisc = "20.0";
        CheckQuoteDiscount(before.txtChgDisc);
        EXPECT_EQ(rating.gBreakDisc[1], "35.5");
        EXPECT_FLOAT_EQ(rating.gNetCharge[0], 80.00f);
        EXPECT_EQ(quote.txtChgDisc, before.txtChgDisc);
        for (size_t i = 0; i < before.Lines().size(); ++i)
            EXPECT_EQ(quote.Lines()[i].charge.text, before.Lines()[i].charge.text) << i;
    }
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(QuoteDiscountTest, ZeroAndMoreThan99Point9AreRefusedTheLimitsAccepted) {
    AddDiscountRow("ALL", 1, 0, "45.5");
    SetLine(0, "1000", "100");
    RateAndDisplay();
    for (const char* refused : {"00.0", "100.0", "99.95"}) {
        messageScript.ClearLog();
        quote.txtChgDisc = refused;
        CheckQuoteDiscount("45.5");
        ASSERT_EQ(messageScript.Log().size(), 1u) << refused;
        const LoggedMessage& m = messageScript.Log()[0];
        EXPECT_EQ(m.text,
                  QStringLiteral("Discount must be between 0.1% and 99.9%.  Please try again."));
        EXPECT_EQ(m.title, QStringLiteral("Data Entry Error"));
        EXPECT_EQ(m.style, 48);
        EXPECT_EQ(quote.txtChgDisc, "45.5");
        EXPECT_EQ(rating.gBreakDisc[3], "45.5");
        EXPECT_EQ(ChargeBeside(kDiscountCaption), "$136.50");
    }
    // Without what the box showed, it gets the chosen break's discount.
    quote.txtChgDisc = "00.0";
    CheckQuoteDiscount();
    EXPECT_EQ(quote.txtChgDisc, "45.5");

    messageScript.ClearLog();
    quote.txtChgDisc = "00.1";
    CheckQuoteDiscount("45.5");
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$0.30");  // 300.00 × 0.1 %
    quote.txtChgDisc = "99.9";
    CheckQuoteDiscount("00.1");
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$299.70");  // 300.00 × 99.9 %
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(QuoteDiscountTest, WithThriftlaneChosenThePercentageBecomesTheThriftlaneDiscount) {
    SetOrigin("55401", "554", "MN", 0);
    SetDest("53202", "532", "WI", 0);
    AddFullzip("55401", "MSP");
    AddFullzip("53202", "MKE");
    Exec("INSERT INTO ServInd (key, Type, Ddays) VALUES ('MSPMKE', 2, 4)");
    AddDiscountRow("ALL", 1, 0, "45.5");
    commodityLines.gAccThriftlane = true;
    SetLine(0, "450", "100");
    RateAndDisplay();
    const auto breakDiscounts = rating.gBreakDisc;
    // The Thriftlane table's 20 %: 5C 175.00 less 35.00.
    ASSERT_EQ(rating.gBreak, 2);
    EXPECT_EQ(ChargeBeside(kThriftlaneCaption), "$35.00");

    quote.txtChgDisc = "25.0";
    CheckQuoteDiscount("20.0");
    EXPECT_FLOAT_EQ(rating.gPXSEnteredPct, 25.0f);
    EXPECT_EQ(rating.gBreakDisc, breakDiscounts);
    // 25 %: L5C 180.00 less 45.00 is 135.00, 5C 175.00 less 43.75 is 131.25.
    EXPECT_EQ(ChargeBeside(kThriftlaneCaption), "$43.75");
    EXPECT_EQ(ChargeBeside("Net Charges"), "$131.25");
    EXPECT_EQ(quote.txtChgDisc, "25.0");
}

}  // namespace
