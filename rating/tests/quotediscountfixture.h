#pragma once
// A quote rated and written on the sheet, ready for a discount change: one lane of known
// rates (class 100: L5C 40.00, 5C 35.00, 1M 30.00, 2M 25.00, 5M 20.00; minimum 95.00), the
// customer's discount row and the discount box clicked, as the quote window would leave them.

#include <string>

#include "charges.h"
#include "commodity.h"
#include "displayquote.h"
#include "messagescript.h"
#include "quotecharges.h"
#include "quotediscount.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "settings.h"

class QuoteDiscountTest : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        messageScript.Reset();
        messageScript.Start();
        quote.Reset();
        charges.Reset();
        quoteDisplay.Reset();
        quoteDiscount.Reset();
        // No fuel surcharge: the lines under the net charges stay out of the way.
        SetConfigValue("FSC_fsc", "00.0");
        SetOrigin("53202", "532", "WI", 0);
        SetDest("43215", "432", "OH", 0);
        UseStandardLane();
    }
    void TearDown() override {
        messageScript.Reset();
        quote.Reset();
        charges.Reset();
        quoteDisplay.Reset();
        quoteDiscount.Reset();
        RatingTest::TearDown();
    }

    // Rates the shipment, writes the quote and clicks the discount box.
    void RateAndDisplay() {
        ASSERT_TRUE(RateShipment());
        DisplayQuote(0);
        quoteDiscount.gChgDiscClicked = true;
    }

    // The index of the first line whose rate column holds the caption, or -1.
    static int LineWithRate(const std::string& caption) {
        const auto& lines = quote.Lines();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rate.text == caption) return static_cast<int>(i);
        return -1;
    }
    static std::string ChargeBeside(const std::string& caption) {
        const int i = LineWithRate(caption);
        return i < 0 ? "(no such line)" : quote.Lines()[static_cast<size_t>(i)].charge.text;
    }
    static bool SheetHolds(const std::string& text) {
        for (const QuoteLine& l : quote.Lines())
            if (l.cls.text == text || l.weight.text == text || l.rate.text == text ||
                l.charge.text == text)
                return true;
        return false;
    }

    static constexpr const char* kDiscountCaption = "Norvale Freight          % Discount Saves You";
    static constexpr const char* kThriftlaneCaption = "Thriftlane          % Discount Saves You";
};
