#pragma once
// The charge tests' own accessorial rows, direct points and economy lanes, and a quote sheet
// whose net-charge line the test writes, so that every amount is worked out from rows the
// test can see.

#include <string>

#include "commodity.h"
#include "lanes.h"
#include "offshore.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingfixture.h"
#include "settings.h"
#include "tariffdb.h"

class QuoteChargesTest : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        Exec("DELETE FROM accessorials");
        struct Row {
            const char* name;
            double minimum, maximum, perCwt;
        };
        const Row rows[] = {
            {"C.O.D.", 52.00, 0, 0.03},
            {"HCDR", 14.50, 61.00, 3.00},
            {"Hazardous materials", 19.00, 0, 0},
            {"Inside pickup and delivery", 39.00, 0, 6.50},
            {"Liftgate service", 111.00, 0, 5.00},
            {"Norvale GUARANTEED!", 0, 0, 0},
            {"Residential delivery", 69.50, 367.50, 7.00},
            {"Single shipment", 24.00, 0, 0},
            {"Thriftlane", 0, 0, 0},
        };
        for (const Row& r : rows)
            Exec(
                "INSERT INTO accessorials (Name, apply, \"temp on\", Minimum, maximum, "
                "\"per cwt\") VALUES (?, 0, 0, ?, ?, ?)",
                {r.name, r.minimum, r.maximum, r.perCwt});
        Exec("DELETE FROM IndPts");
        SetConfigValue("FSC_fsc", "00.0");
        tariff.gGPercentage = 0.20f;
        quote.Reset();
        charges.Reset();
        offshore.Reset();
        SetCODAmountPrompt([this] {
            ++codPrompts;
            charges.gChargeBasis = codAmountTyped;
        });
        SetEconomyPercentSource(nullptr);
        SetOrigin("55401", "554", "MN", 0);
        SetDest("53202", "532", "WI", 0);
    }

    void TearDown() override {
        SetCODAmountPrompt(nullptr);
        SetEconomyPercentSource(nullptr);
        quote.Reset();
        charges.Reset();
        offshore.Reset();
        RatingTest::TearDown();
    }

    // Chosen on the main window (apply) or in the quote window only (temp on).
    void Choose(const std::string& name) {
        Exec("UPDATE accessorials SET apply = 1 WHERE Name = ?", {name});
    }
    void ChooseInQuote(const std::string& name) {
        Exec("UPDATE accessorials SET \"temp on\" = 1 WHERE Name = ?", {name});
    }
    int64_t TempOn(const std::string& name) {
        Snapshot s =
            tariff.gDB->OpenSnapshot("SELECT \"temp on\" FROM accessorials WHERE Name = ?", {name});
        return s.Field(size_t{0}).toInt();
    }
    void DirectPoint(const std::string& zip) { Exec("INSERT INTO IndPts (zip) VALUES (?)", {zip}); }
    // An economy-service lane between two ZIP codes, with its days.
    void EconomyLane(const std::string& orig, const std::string& dest, int days) {
        AddFullzip(orig, "S" + orig);
        AddFullzip(dest, "S" + dest);
        Exec("INSERT INTO ServInd (key, Type, Ddays) VALUES (?, 2, ?)",
             {"S" + orig + "S" + dest, days});
    }

    // The quote as the display leaves it before the charges: the net charge of break 2 on
    // line `line`, the unused lines holding a blank.
    void NetChargeLine(Single net, int32_t weight, int line = 3) {
        rating.gTotalWeight = weight;
        rating.gBreak = 2;
        rating.gNetCharge[2] = net;
        charges.netCharge = net;
        quote.Clear();
        for (int n = 1; n < kQuoteDesignLines; ++n) {
            QuoteLine& l = quote.Line(n);
            l.weight.text = l.rate.text = l.charge.text = " ";
        }
        quote.Line(line).rate.text = "Net Charges";
        quote.Line(line).charge.text = Format(net, "$##,##0.00");
        quote.gQuoteLine = line;
    }
    void DisplayCharges() {
        rating.gGuaranteedOn = false;
        rating.gGuaranteedCharge = 0;
        rating.gPXSOn = false;
        rating.gPXSSaving = 0;
        DisplayQuoteCharges(rating.gNetCharge[rating.gBreak], quote.gQuoteLine, 0);
    }
    Single SilentTotal() {
        rating.gGuaranteedOn = false;
        rating.gPXSOn = false;
        int line = quote.gQuoteLine;
        ComputeQuoteCharges(rating.gNetCharge[rating.gBreak], line, 0);
        return charges.gQuoteTotal;
    }

    const QuoteLine& Line(int n) { return quote.Line(n); }
    std::string Rate(int n) { return quote.Line(n).rate.text; }
    std::string Charge(int n) { return quote.Line(n).charge.text; }

    int codPrompts = 0;
    Single codAmountTyped = 0;
};
