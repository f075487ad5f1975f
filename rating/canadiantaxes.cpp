// Canadian sales taxes of a quote between two Canadian points: GST, or HST for the Atlantic
// destinations, and QST on top of GST within Quebec.

#include "geography.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

constexpr Single kGST = 0.06f;
constexpr Single kHST = 0.14f;
constexpr Single kQST = 0.075f;

enum TaxSlot { kGSTSlot = 0, kQSTSlot = 1, kHSTSlot = 3 };

bool HSTDestination(const std::string& province) {
    for (const char* p : {"NF", "NB", "NL", "NS"})
        if (province == p) return true;
    return false;
}

// Taxes are worked out in double precision on the Single amounts: a single-precision product
// would take 112.75 x 14 % = 15.785 to 15.7849998 and a cent below the half-up 15.79.
double Times(Single amount, Single rate) {
    return static_cast<double>(amount) * static_cast<double>(rate);
}

Single Cents(const std::string& text) {
    return CSng(text);
}

// The amount shown with the six taxes as they are shown.
MoneyTotal WithTaxes(MoneyTotal amount) {
    for (Single t : rating.gCanTax) amount += ShownAmount(t);
    return amount;
}

}  // namespace

void CanadaTaxes(MoneyTotal& amount) {
    // Cleared on every call, so that a quote without taxes never carries an earlier one's.
    rating.gCanTax.fill(0);
    if (!IsIntraCanada()) return;
    const std::string inCents = Format(amount, "$##,##0.00");
    // The taxes are worked out on the amount held as a Single; the total goes on in cents.
    const Single taxed = Cents(inCents);
    amount = CDbl(inCents);
    auto& tax = rating.gCanTax;
    if (!HSTDestination(tariff.gDestState) || IsNumeric(tariff.gOrigZip3)) {
        tax[kGSTSlot] = Cents(Format(Times(taxed, kGST) + 0.0001, "$##,##0.00"));
    } else {
        tax[kHSTSlot] = Cents(Format(Times(taxed, kHST), "$##,##0.00"));
    }
    if (tariff.gOrigState == "QC" && tariff.gDestState == "QC") {
        const Single base = Cents(Format(tax[kGSTSlot] + amount, "$##,##0.00"));
        tax[kQSTSlot] = Cents(Format(Times(base, kQST) + 0.0001, "$0.00"));
    }
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
        l.charge = {Format(rating.gCanTax[i], "$##,##0.00"), kQuoteBlack};
    }
    ++quote.gQuoteLine;
    QuoteLine& l = quote.Line(quote.gQuoteLine);
    l.rate = {"TOTAL CHARGES IN CN FUNDS", kQuoteBlack};
    l.charge = {Format(WithTaxes(charges.totalShown), "$##,##0.00"), kQuoteBlack};
}
