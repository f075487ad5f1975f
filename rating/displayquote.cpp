#include "displayquote.h"

#include "charges.h"
#include "geography.h"
#include "offshorecharges.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "servicestandard.h"
#include "tariffdb.h"

QuoteDisplayState quoteDisplay;

namespace {

QuoteMainWindowLink& Link() {
    static QuoteMainWindowLink link;
    return link;
}

// The weight a break is rated as on the closing line of a quote with a deficit.
constexpr int32_t kRatedAsWeight[11] = {0,     0,     500,   1000,  2000, 5000,
                                        10000, 15000, 20000, 25000, 30000};

const char* const kBlank = " ";

std::string Money(Single amount) {
    return Format(amount, kQuoteMoney);
}
std::string Money(MoneyTotal amount) {
    return Format(amount, kQuoteMoney);
}
// An amount the pricing gave as a plain figure of cents ("1169.97"), in the quote's form.
std::string MoneyOf(const std::string& cents) {
    return Money(CDbl(cents));
}

// Writes the lines of one quote; `b` is the break charged.
class QuoteWriter {
  public:
    QuoteWriter() : intraCanada_(IsIntraCanada()), b_(rating.gBreak) {}

    void CommodityLines();
    void ClosingLine();
    void DiscountAndNet();

  private:
    QuoteLine& Current() { return quote.Line(quote.gQuoteLine); }
    // Class and weight of commodity line j on the current line. Between two Canadian points
    // the quote has no class column.
    void ClassAndWeight(size_t j);
    // A line's rate and charge. Between two Canadian points the quote has no discount line, so
    // the amounts of a break above the minimum charge are shown net of the discount the price
    // uses.
    void Amounts(Single rate, Single charge);
    // The amount a commodity, deficit or minimum-charge line shows, added up for the closing
    // line.
    void Shown(const std::string& amount) { linesShown_ += CDbl(amount); }
    std::string TotalAmount() const;
    std::string DiscountPercent() const;

    bool intraCanada_;
    uint8_t b_;
    MoneyTotal linesShown_ = 0;
};

void QuoteWriter::ClassAndWeight(size_t j) {
    QuoteLine& line = Current();
    if (!intraCanada_)
        line.cls.text = LineClassCaption(rating.gLineClass[j], static_cast<uint8_t>(j));
    // The whole pounds the line was rated at, not the text as typed ("1500.", "0001").
    line.weight.text =
        CStr(CheckedLineWeight(rating.gLineWeight[j], "line  " + std::to_string(j + 1))) + " lbs";
}

void QuoteWriter::Amounts(Single rate, Single charge) {
    QuoteLine& line = Current();
    if (intraCanada_ && b_ > 0) {
        line.rate.text = MoneyOf(NetOfPriceDiscount(rate, b_));
        line.charge.text = MoneyOf(NetOfPriceDiscount(charge, b_));
    } else {
        line.rate.text = Money(rate);
        line.charge.text = Money(charge);
    }
    Shown(line.charge.text);
}

void QuoteWriter::CommodityLines() {
    const size_t count = rating.gLineCount;
    const bool oneLine = count == 1;
    const uint8_t first = rating.gFirstBreak;

    if (b_ == 0) {
        for (size_t j = 0; j < count && Val(rating.gLineWeight[j]) != 0; ++j) {
            quote.gQuoteLine = static_cast<int>(j);
            ClassAndWeight(j);
        }
        QuoteLine& last = Current();
        last.rate.text = "M";
        // Between two Canadian points the minimum charge is shown net like every other amount.
        const bool net = rating.gFloorApplied || intraCanada_;
        last.charge.text = Money(net ? rating.gNetCharge[0] : rating.gGrossCharge[0]);
        Shown(last.charge.text);
        return;
    }

    if (oneLine) {
        ClassAndWeight(0);
        if (b_ == first) {
            Amounts(rating.gLineRate[b_][0], rating.gGrossCharge[b_]);
            return;
        }
        ++quote.gQuoteLine;
        QuoteLine& ratedAs = Current();
        ratedAs.cls.text = "Rated as:";
        ratedAs.classLeftAligned = true;
        ratedAs.weight.text = CStr(rating.gRatedAsWeight[b_]) + " lbs";
        Amounts(rating.gLineRate[b_][0], rating.gGrossCharge[b_]);
        return;
    }

    for (size_t j = 0; j < count; ++j) {
        ClassAndWeight(j);
        Amounts(rating.gLineRate[b_][j], rating.gLineCharge[b_][j]);
        ++quote.gQuoteLine;
    }
    if (b_ == first) return;

    QuoteLine& deficit = Current();
    deficit.cls.text = "Deficit Amount";
    deficit.classLeftAligned = true;
    deficit.classMovedLeft = true;
    deficit.weight.text = CStr(rating.gDefWeight[b_]) + " lbs";
    Amounts(rating.gDefRate[b_], rating.gDefCharge[b_]);
    quoteDisplay.gDeficitShown = true;
}

// The closing line is the sum of the lines shown above it, so that the quote adds up whatever
// the rounding of each line. Between two Canadian points that sum is the price.
std::string QuoteWriter::TotalAmount() const {
    return Money(linesShown_);
}

void QuoteWriter::ClosingLine() {
    if (rating.gLineCount < 2) return;
    ++quote.gQuoteLine;
    QuoteLine& caption = Current();
    caption.classLeftAligned = true;
    if (quoteDisplay.gDeficitShown) {
        caption.cls.text = "Rated as";
        ++quote.gQuoteLine;
        QuoteLine& total = Current();
        total.weight.text = CStr(kRatedAsWeight[b_]) + " lbs";
        total.charge.text = TotalAmount();
    } else {
        caption.cls.text = "TOTALS";
        caption.weight.text = CStr(rating.gTotalWeight) + " lbs";
        caption.charge.text = TotalAmount();
    }
}

std::string QuoteWriter::DiscountPercent() const {
    if (!rating.gPXSOn) return rating.gBreakDisc[b_];
    if (rating.gPXSEnteredPct > 0) return Format(rating.gPXSEnteredPct, "00.0");
    return Format(Val(StoredEconomyPercent()), "00.0");
}

void QuoteWriter::DiscountAndNet() {
    ++quote.gQuoteLine;
    if (intraCanada_) {
        ++quote.gQuoteLine;
        Current().charge.text = "Norvale Canada discount included in above rate ";
    } else if (!rating.gFloorApplied && Val(rating.gBreakDisc[b_]) > 0) {
        quote.chgDiscLine = quote.gQuoteLine;
        quote.txtChgDisc = DiscountPercent();
        QuoteLine& line = Current();
        // The ten blanks are where the percentage box stands.
        line.rate.text = rating.gPXSOn ? kThriftlaneDiscountCaption : kCarrierDiscountCaption;
        // The closing line less Net Charges, so that the two add up to the cent.
        line.charge.text = Money(ShownAmount(linesShown_) - ShownAmount(rating.gNetCharge[b_]));
        line.charge.color = kQuoteRed;
    }
    ++quote.gQuoteLine;
    if (!intraCanada_) {
        QuoteLine& net = Current();
        net.rate.text = "Net Charges";
        net.charge.text = Money(rating.gNetCharge[b_]);
    }
}

// A clean sheet: nothing of an earlier quote survives, whatever wrote it. The unused captions
// of lines 1 to 17 hold a blank, which the printed quote skips.
void StartCleanSheet() {
    quote.Clear();
    for (int n = 1; n < kQuoteDesignLines; ++n) {
        QuoteLine& line = quote.Line(n);
        line.weight.text = line.rate.text = line.charge.text = kBlank;
    }
    quote.txtChgDisc = kBlank;
    quote.gQuoteLine = 0;
}

}  // namespace

void SetQuoteMainWindowLink(QuoteMainWindowLink link) {
    Link() = std::move(link);
}

void FillQuoteHeader() {
    quote.txtEffDate = tariff.gEffDate;
    quote.txtOriginZip = tariff.gOrigZip + " -- " + tariff.gOrigCityState;
    if (IsOffshoreZip(rating.gOffshoreDestZip)) {
        const std::string caption =
            Link().destCityCaption ? Link().destCityCaption() : tariff.gDestCityState;
        quote.txtDestZip = rating.gOffshoreDestZip + " -- " + caption;
    } else {
        quote.txtDestZip = tariff.gDestZip + " -- " + tariff.gDestCityState;
    }
    ShowServiceStandard(rating.gServiceDays, 1);
}

void ShowServiceStandard(uint8_t days, uint8_t target) {
    if (target == 1) {
        quote.mlblService = ServiceStandardText(days, 1);
    } else if (Link().lblService) {
        Link().lblService(ServiceStandardText(days, 0));
    }
}

void DisplayQuote(uint8_t /*mode*/) {
    const ReadTransaction reads(tariff.gDB.get());
    StartCleanSheet();
    FillQuoteHeader();
    quote.zipColor = rating.gFAKActive ? kQuoteBlack : kQuoteBlue;
    quoteDisplay.CdnLineShown = false;

    rating.gBreak = CheapestBreak();
    if (rating.gBreak != 0) rating.gFloorApplied = false;
    quoteDisplay.gDeficitShown = false;

    QuoteWriter writer;
    writer.CommodityLines();
    writer.ClosingLine();
    writer.DiscountAndNet();
    // Read while the pricing's economy switch still stands: the charges clear it.
    const MoneyTotal net = QuotedNetCharge(rating.gBreak);

    rating.gGuaranteedOn = false;
    rating.gGuaranteedCharge = 0;
    rating.gPXSOn = false;
    rating.gPXSSaving = 0;
    DisplayQuoteCharges(net, quote.gQuoteLine, 0);
    quoteDisplay.shownTotal = charges.totalShown;

    if (IsOffshoreZip(rating.gOffshoreDestZip))
        quoteDisplay.shownTotal = WriteOffshoreQuoteLines(charges.totalShown);

    OfferGuaranteedAndThriftlane();
    quote.marqueeVisible = true;
}
