// The quote as the quote display writes it into the sheet: which lines each kind of rating
// gives, where they stand and what they read. Every amount below is worked out by hand from
// the standard lane (class-100 cents MC 9500, L5C 4000, 5C 3500, 1M 3000, 2M 2500, 5M 2000,
// 10M 1500 …) and the customer's discount of 45.5 % on every break.

#include "displayquote.h"

#include <gtest/gtest.h>

#include "charges.h"
#include "commodity.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

const char* const kDiscountCaption = "Norvale Freight          % Discount Saves You";

class DisplayQuoteTest : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        UseStandardQuote();
    }
    void TearDown() override {
        SetQuoteMainWindowLink({});
        quote.Reset();
        quoteDisplay.Reset();
        rating.gOffshoreDestZip.clear();
        RatingTest::TearDown();
    }

    void Rate() {
        ASSERT_TRUE(RateShipment()) << (messages.empty() ? "" : messages.back().text);
        DisplayQuote(0);
    }

    static const QuoteLine& L(int n) { return quote.Lines().at(static_cast<size_t>(n)); }

    static void ExpectLine(int n, const std::string& cls, const std::string& weight,
                           const std::string& rate, const std::string& charge) {
        SCOPED_TRACE("line " + std::to_string(n));
        EXPECT_EQ(L(n).cls.text, cls);
        EXPECT_EQ(L(n).weight.text, weight);
        EXPECT_EQ(L(n).rate.text, rate);
        EXPECT_EQ(L(n).charge.text, charge);
    }
    static void ExpectDiscountLine(int n, const std::string& pct, const std::string& amount) {
        ExpectLine(n, "", " ", kDiscountCaption, amount);
        EXPECT_EQ(L(n).charge.color, kQuoteRed);
        EXPECT_EQ(quote.chgDiscLine, n);
        EXPECT_EQ(quote.txtChgDisc, pct);
    }
    static void ExpectBlank(int n) { ExpectLine(n, "", " ", " ", " "); }
};

// ------------------------------------------------------------------ minimum charge

TEST_F(DisplayQuoteTest, MinimumChargeShowsMOnTheLineAndTheGrossMinimum) {
    // 100 lbs: L5C nets 40.00 - 18.20 = 21.80, below the net minimum 95.00 - 43.23 = 51.77.
    SetLine(0, "100", "100");
    Rate();
    ExpectLine(0, "100", "100 lbs", "M", "$95.00");
    ExpectDiscountLine(1, "45.5", "$43.23");
    ExpectLine(2, "", " ", "Net Charges", "$51.77");
}

TEST_F(DisplayQuoteTest, MinimumChargeOfTwoLinesClosesDirectlyBelowTheLastLine) {
    SetLine(0, "60", "100");
    SetLine(1, "40", "100");
    Rate();
    ExpectLine(0, "100", "60 lbs", "", "");
    ExpectLine(1, "100", "40 lbs", "M", "$95.00");
    ExpectLine(2, "TOTALS", "100 lbs", " ", "$95.00");
    EXPECT_TRUE(L(2).classLeftAligned);
    ExpectDiscountLine(3, "45.5", "$43.23");
    ExpectLine(4, "", " ", "Net Charges", "$51.77");
}

TEST_F(DisplayQuoteTest, AFloorShowsTheFloorAndNoDiscountLine) {
    // The net minimum 51.77 is raised to the floor 100.00, and the cheapest break (5C, 95.37)
    // comes out below it.
    Exec("UPDATE discounts SET Floor = '100.00'");
    SetLine(0, "450", "100");
    Rate();
    ExpectLine(0, "100", "450 lbs", "M", "$100.00");
    ExpectBlank(1);
    ExpectLine(2, "", " ", "Net Charges", "$100.00");
    EXPECT_EQ(quote.chgDiscLine, -1);
    EXPECT_EQ(quote.txtChgDisc, " ");
}

// ------------------------------------------------------------------ one line

TEST_F(DisplayQuoteTest, OneLineAtItsOwnBracketHasNoClosingLine) {
    // 6000 lbs at 5M: 20.00 a hundredweight, 1200.00 gross, 546.00 off, 654.00 net.
    SetLine(0, "6000", "100");
    Rate();
    ExpectLine(0, "100", "6000 lbs", "$20.00", "$1,200.00");
    ExpectDiscountLine(1, "45.5", "$546.00");
    ExpectLine(2, "", " ", "Net Charges", "$654.00");
    EXPECT_EQ(L(0).charge.color, kQuoteBlack);
}

TEST_F(DisplayQuoteTest, OneLineAtAHigherBreakShowsTheRatedAsWeight) {
    // 450 lbs rated as 500 at 5C: 35.00, 157.50 + 17.50 deficit = 175.00; 79.63 off.
    SetLine(0, "450", "100");
    Rate();
    ExpectLine(0, "100", "450 lbs", "", "");
    ExpectLine(1, "Rated as:", "500 lbs", "$35.00", "$175.00");
    EXPECT_TRUE(L(1).classLeftAligned);
    EXPECT_FALSE(L(1).classMovedLeft);
    ExpectDiscountLine(2, "45.5", "$79.63");
    ExpectLine(3, "", " ", "Net Charges", "$95.37");
}

TEST_F(DisplayQuoteTest, AFAKProfileShowsTheClassAsEnteredAndBlackEnds) {
    // Class 50 rated at 55: 20.00 x 0.55 = 11.00 at 5M.
    AddFakRow("ALL", 0, 1, "01" + std::string(kIdentityFAKProfile).substr(2));
    SetLine(0, "6000", "50");
    Rate();
    ExpectLine(0, "50", "6000 lbs", "$11.00", "$660.00");
    EXPECT_EQ(quote.zipColor, kQuoteBlack);
}

// ------------------------------------------------------------------ several lines

TEST_F(DisplayQuoteTest, SeveralLinesAtTheirOwnBracketCloseWithTotalsAfterAnEmptyLine) {
    // 2500 lbs at 2M: 25.00 and 12.50 (class 50); 375.00 + 125.00 = 500.00; 227.50 off.
    SetLine(0, "1500", "100");
    SetLine(1, "1000", "50");
    Rate();
    ExpectLine(0, "100", "1500 lbs", "$25.00", "$375.00");
    ExpectLine(1, "50", "1000 lbs", "$12.50", "$125.00");
    ExpectBlank(2);
    ExpectLine(3, "TOTALS", "2500 lbs", " ", "$500.00");
    EXPECT_TRUE(L(3).classLeftAligned);
    ExpectDiscountLine(4, "45.5", "$227.50");
    ExpectLine(5, "", " ", "Net Charges", "$272.50");
    EXPECT_FALSE(quoteDisplay.gDeficitShown);
}

TEST_F(DisplayQuoteTest, SeveralLinesAtAHigherBreakShowTheDeficitAndRatedAs) {
    // 450 lbs rated as 500 at 5C: 35.00 x 3 = 105.00, 17.50 x 1.5 = 26.25, and the 50 lbs
    // deficit at the lowest class (50), 8.75: 140.00 gross, 63.70 off, 76.30 net.
    SetLine(0, "300", "100");
    SetLine(1, "150", "50");
    Rate();
    ExpectLine(0, "100", "300 lbs", "$35.00", "$105.00");
    ExpectLine(1, "50", "150 lbs", "$17.50", "$26.25");
    ExpectLine(2, "Deficit Amount", "50 lbs", "$17.50", "$8.75");
    EXPECT_TRUE(L(2).classMovedLeft);
    ExpectLine(3, "Rated as", " ", " ", " ");
    EXPECT_TRUE(L(3).classLeftAligned);
    ExpectLine(4, "", "500 lbs", " ", "$140.00");
    ExpectDiscountLine(5, "45.5", "$63.70");
    ExpectLine(6, "", " ", "Net Charges", "$76.30");
    EXPECT_TRUE(quoteDisplay.gDeficitShown);
}

TEST_F(DisplayQuoteTest, AZeroDiscountWritesNoDiscountLine) {
    Exec("DELETE FROM discounts");
    AddDiscountRow("ALL", 1, 0, "00.0");
    SetLine(0, "6000", "100");
    Rate();
    ExpectLine(0, "100", "6000 lbs", "$20.00", "$1,200.00");
    ExpectBlank(1);
    ExpectLine(2, "", " ", "Net Charges", "$1,200.00");
    EXPECT_EQ(quote.chgDiscLine, -1);
}

// ------------------------------------------------------------------ two Canadian points

TEST_F(DisplayQuoteTest, BetweenCanadianPointsAmountsAreNetAndThereIsNoNetLine) {
    UseCanadianDeficitQuote();
    Rate();
    // 5C at 35 % off: 35.00 - 12.25 = 22.75; 105.00 - 36.75 = 68.25; 52.50 - 18.37501
    // = 34.12499; the deficit 17.50 - 6.12501 = 11.37499. The closing line is the sum of the
    // lines shown, 113.74, and the price starts from it (175.00 less 61.25 would be 113.75).
    ExpectLine(0, "", "300 lbs", "$22.75", "$68.25");
    ExpectLine(1, "", "150 lbs", "$22.75", "$34.12");
    ExpectLine(2, "Deficit Amount", "50 lbs", "$22.75", "$11.37");
    ExpectLine(3, "Rated as", " ", " ", " ");
    ExpectLine(4, "", "500 lbs", " ", "$113.74");
    EXPECT_EQ(Format(charges.netCharge, "#0.00"), "113.74");
    EXPECT_EQ(Format(quoteDisplay.shownTotal, "#0.00"), "113.74");
    ExpectBlank(5);
    ExpectLine(6, "", " ", " ", "Norvale Canada discount included in above rate ");
    ExpectBlank(7);
    EXPECT_EQ(quote.chgDiscLine, -1);
}

// ------------------------------------------------------------------ a clean quote each time

TEST_F(DisplayQuoteTest, EachDisplayStartsFromACleanSheet) {
    SetLine(0, "300", "100");
    SetLine(1, "150", "50");
    Rate();  // deficit, rated as, discount on line 5
    ASSERT_EQ(L(2).cls.text, "Deficit Amount");
    // What other writers and an earlier shipment left: a long quote and its offers.
    quote.Line(24).rate.text = "TOTAL CHARGES";
    quote.Line(24).charge.color = kQuoteBlue;
    quote.qmrqQPO1 = "stale 1";
    quote.qmrqQPO2 = "stale 2";
    quote.qmrqQPO3 = "stale 3";
    quote.mlblDefServ = "stale standard";

    SetLine(1, "", "");
    SetLine(0, "6000", "100");
    Rate();
    ExpectLine(0, "100", "6000 lbs", "$20.00", "$1,200.00");
    ExpectDiscountLine(1, "45.5", "$546.00");
    ExpectLine(2, "", " ", "Net Charges", "$654.00");
    ASSERT_EQ(quote.Lines().size(), static_cast<size_t>(kQuoteDesignLines));
    for (int n = 3; n < kQuoteDesignLines; ++n) {
        ExpectBlank(n);
        EXPECT_FALSE(L(n).classLeftAligned || L(n).classMovedLeft) << n;
        EXPECT_EQ(L(n).charge.color, kQuoteBlack) << n;
    }
    EXPECT_EQ(L(0).cls.text, "100");
    EXPECT_NE(quote.qmrqQPO1, "stale 1");
    EXPECT_NE(quote.qmrqQPO2, "stale 2");
    EXPECT_NE(quote.qmrqQPO3, "stale 3");
    EXPECT_NE(quote.mlblDefServ, "stale standard");
    EXPECT_TRUE(quote.marqueeVisible);
}

TEST_F(DisplayQuoteTest, AQuoteLongerThanEighteenLinesKeepsEveryLine) {
    // Five lines of 95 lbs rated as 500 at 5C (the deficit line makes ten lines up to the net
    // charges), and ten accessorial services chosen on the main window, each a line of its
    // own, with the total below them.
    for (int j = 0; j < 5; ++j) SetLine(j, "95", "100");
    Recordset& acc = *tariff.rsAccessorials2;
    for (const char* name :
         {"C.O.D.", "Construction site delivery", "Exhibition site delivery", "Hazardous materials",
          "Inside pickup and delivery", "Liftgate service", "Notification prior to delivery",
          "Redelivery", "Residential delivery", "Sorting and segregating"}) {
        acc.Seek("=", {name});
        ASSERT_FALSE(acc.NoMatch()) << name;
        acc.Edit();
        acc.SetField("apply", 1);
        acc.Update();
    }
    Rate();
    ExpectLine(5, "Deficit Amount", "25 lbs", "$35.00", "$8.75");
    ExpectLine(9, "", " ", "Net Charges", "$95.37");
    const int used = quote.UsedLines();
    ASSERT_GT(used, kQuoteDesignLines);
    for (int n = 10; n < used - 1; ++n) {
        const std::string& caption = L(n).rate.text;
        EXPECT_EQ(caption.substr(caption.size() - 7), " charge") << n;
    }
    EXPECT_EQ(L(used - 1).rate.text.rfind("TOTAL", 0), 0u) << L(used - 1).rate.text;
    EXPECT_EQ(quote.gQuoteLine, used - 1);
}

// ------------------------------------------------------------------ header and service standard

TEST_F(DisplayQuoteTest, TheHeaderShowsTheEndsOfThisShipment) {
    SetLine(0, "450", "100");
    Rate();
    EXPECT_EQ(quote.txtOriginZip, "53202 -- Milwaukee, WI");
    EXPECT_EQ(quote.txtDestZip, "43215 -- Columbus, OH");
    EXPECT_EQ(quote.zipColor, kQuoteBlue);

    // An offshore destination shows the ZIP as entered, with the main window's caption.
    SetQuoteMainWindowLink({[] { return std::string("HONOLULU, HI"); }, nullptr});
    rating.gOffshoreDestZip = "96813";
    FillQuoteHeader();
    EXPECT_EQ(quote.txtDestZip, "96813 -- HONOLULU, HI");
}

TEST_F(DisplayQuoteTest, ServiceStandardGoesToTheQuoteOrToTheMainWindow) {
    std::string mainWindow;
    SetQuoteMainWindowLink({nullptr, [&](const std::string& s) { mainWindow = s; }});
    ShowServiceStandard(1, 1);
    EXPECT_EQ(quote.mlblService, "Norvale Freight Service Standard:\n1 Day");
    EXPECT_TRUE(mainWindow.empty());
    ShowServiceStandard(3, 0);
    EXPECT_EQ(mainWindow, "Norvale Freight Service Standard: \u00bb3 Days");
    // Each display takes the days of the last request.
    rating.gServiceDays = 4;
    SetLine(0, "450", "100");
    Rate();
    EXPECT_EQ(quote.mlblService, "Norvale Freight Service Standard:\n4 Days");
}

}  // namespace
