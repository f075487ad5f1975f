#include "quotediscount.h"

#include "charges.h"
#include "commodity.h"
#include "displayquote.h"
#include "geography.h"
#include "msgbox.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "tariffdb.h"

QuoteDiscountState quoteDiscount;

namespace {

constexpr int kLastBreak = 10;

void Check(const std::string* shownBefore) {
    if (!quoteDiscount.gChgDiscClicked || rating.gFloorApplied) {
        // The quote stays as it is, and so does its percentage.
        if (shownBefore) quote.txtChgDisc = *shownBefore;
        return;
    }
    const std::string text = quote.txtChgDisc;
    const double p = Val(text);
    if (p <= 0 || p > 99.9) {
        ShowMessage(QStringLiteral("Discount must be between 0.1% and 99.9%.  Please try again."),
                    kMsgOK, QStringLiteral("Data Entry Error"));
        quote.txtChgDisc =
            shownBefore ? *shownBefore : rating.gBreakDisc[static_cast<size_t>(rating.gBreak)];
        return;
    }

    // A change the rating refuses is not kept: the quote stays as it was, so does what a later
    // service chosen in this quote is priced at.
    const auto breakDiscBefore = rating.gBreakDisc;
    const std::string enteredBefore = rating.gEnteredDisc;
    const Single economyBefore = rating.gPXSEnteredPct;
    auto refused = [&] {
        rating.gBreakDisc = breakDiscBefore;
        rating.gEnteredDisc = enteredBefore;
        rating.gPXSEnteredPct = economyBefore;
        quote.txtChgDisc =
            shownBefore ? *shownBefore : rating.gBreakDisc[static_cast<size_t>(rating.gBreak)];
    };
    if (!commodityLines.gAccThriftlane && !rating.gQAccThriftlane) {
        // The carrier's lane minimums are not applied again: the user's figure stands.
        for (int b = 0; b <= kLastBreak; ++b) rating.gBreakDisc[static_cast<size_t>(b)] = text;
        rating.gEnteredDisc = text;
    } else {
        rating.gPXSEnteredPct = static_cast<Single>(p);
    }

    try {
        const ReadTransaction reads(tariff.gDB.get());
        ComputeCharges(0);
    } catch (const RatingRefusal& refusal) {
        refused();
        RatingMessage(refusal.text(), refusal.style(), refusal.title());
        return;
    } catch (const TariffDataError& error) {
        refused();
        RatingMessage(error.what(), 48, "Tariff Data Error");
        return;
    } catch (...) {
        refused();
        throw;
    }
    DisplayQuote(0);
}

}  // namespace

void CheckQuoteDiscount() {
    Check(nullptr);
}

void CheckQuoteDiscount(const std::string& shownBefore) {
    Check(&shownBefore);
}
