// Canadian sales taxes of a quote between two Canadian points: GST, or HST for the Atlantic
// destinations, and QST on top of GST within Quebec.

#include <cmath>

#include "geography.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

// The rates in thousandths.
constexpr int64_t kGST = 60;
constexpr int64_t kHST = 140;
constexpr int64_t kQST = 75;

enum TaxSlot { kGSTSlot = 0, kQSTSlot = 1, kHSTSlot = 3 };

bool HSTDestination(const std::string& province) {
    for (const char* p : {"NF", "NB", "NL", "NS"})
        if (province == p) return true;
    return false;
}

// A tax on an amount shown, in whole cents, rounded to the nearest cent, halves up. Worked out
// exactly: in single precision 112.75 x 14 % = 15.785 came to 15.7849998, a cent below, and
// a total above $65,536 is held only to 1/128 of a dollar. The rules' nudge of 0.0001 before
// the rounding of the GST and the QST changes no exact figure (neither product ever stands
// within a hundredth of a cent below a half cent).
int64_t TaxCents(int64_t amountCents, int64_t thousandths) {
    return (amountCents * thousandths + 500) / 1000;
}

Single Dollars(int64_t cents) {
    return static_cast<Single>(static_cast<double>(cents) / 100);
}

}  // namespace

MoneyTotal WithTaxes(MoneyTotal amount) {
    for (Single t : rating.gCanTax) amount += ShownAmount(t);
    return amount;
}

void CanadaTaxes(MoneyTotal& amount) {
    // Cleared on every call, so that a quote without taxes never carries an earlier one's.
    rating.gCanTax.fill(0);
    if (!IsIntraCanada()) return;
    amount = CDbl(Format(amount, "$##,##0.00"));
    const int64_t cents = std::llround(amount * 100);
    auto& tax = rating.gCanTax;
    int64_t gst = 0;
    if (!HSTDestination(tariff.gDestState) || IsNumeric(tariff.gOrigZip3)) {
        gst = TaxCents(cents, kGST);
        tax[kGSTSlot] = Dollars(gst);
    } else {
        tax[kHSTSlot] = Dollars(TaxCents(cents, kHST));
    }
    // The QST is a tax on the amount with its GST.
    if (tariff.gOrigState == "QC" && tariff.gDestState == "QC")
        tax[kQSTSlot] = Dollars(TaxCents(cents + gst, kQST));
}

void ShowCanadianTaxes() {
    if (!IsIntraCanada()) return;
    // The tax lines go under the last TOTAL line of this quote.
    const int last = quote.gQuoteLine;
    for (int n = 2; n <= last; ++n) {
        const std::string& caption = quote.Line(n).rate.text;
        if (caption.rfind("TOT", 0) == 0) quote.gQuoteLine = n;
    }
    static const char* const kCaptions[] = {"Canadian GST", "Quebec QST", "Maritimes HST",
                                            "Maritimes HST"};
    for (size_t i = 0; i < 4; ++i) {
        if (!(rating.gCanTax[i] > 0)) continue;
        ++quote.gQuoteLine;
        QuoteLine& l = quote.Line(quote.gQuoteLine);
        l.rate = {kCaptions[i], kQuoteBlack};
        l.charge = {Format(rating.gCanTax[i], kQuoteMoney), kQuoteBlack};
    }
    ++quote.gQuoteLine;
    QuoteLine& l = quote.Line(quote.gQuoteLine);
    l.rate = {"TOTAL CHARGES IN CN FUNDS", kQuoteBlack};
    l.charge = {Format(WithTaxes(charges.totalShown), kQuoteMoney), kQuoteBlack};
}
