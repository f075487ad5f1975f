#include "rateshipment.h"

#include <optional>
#include <string>

#include "charges.h"
#include "commodity.h"
#include "discounts.h"
#include "geography.h"
#include "linesclasses.h"
#include "offshorecharges.h"
#include "rategrid.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

constexpr size_t kWeightBreaks = 11;

// The requested lines are checked before any of the rating state changes, so a refused
// request leaves the last quote's state as it was.
void CheckRequest(const EnteredClasses& classes, bool byDensity) {
    const int count = CheckLineWeights();
    if (byDensity) return;
    for (int j = 0; j < count; ++j)
        if (!IsNMFCClass(classes[static_cast<size_t>(j)])) RefuseIllegalClass();
}

void SetLineClasses(const EnteredClasses& classes, const EnteredClasses* densities) {
    for (size_t j = 0; j < kCommodityLines; ++j) {
        if (!densities) {
            rating.gLineClass[j] = CStr(Val(classes[j]));
        } else if (!(*densities)[j].empty()) {
            rating.gLineClass[j] = ClassForDensity((*densities)[j], rating.gLaneCode);
        }
    }
}

// A refused rating's message, shown once the rating's read transaction has ended.
struct Refusal {
    std::string text;
    int style = 48;
    std::string title;
};

}  // namespace

bool RateRequest(const EnteredClasses& classes, const EnteredClasses* densities, uint8_t mode,
                 const std::function<void()>& adjustDiscounts,
                 const std::function<void()>& writeQuote) {
    std::optional<Refusal> refused;
    {
        // The rating's look-ups, and the quote written from it, share one lock of the
        // database, let go before any message.
        const ReadTransaction reads(tariff.gDB.get());
        try {
            // Economy pricing is a property of one rating: a Thriftlane quote must not carry
            // over into the next request.
            rating.gPXSOn = false;
            // Densities stand for classes only between two Canadian points.
            if (!IsIntraCanada()) densities = nullptr;
            CheckRequest(classes, densities != nullptr);

            rating.gCanTax.fill(0);
            SetLineClasses(classes, densities);
            ApplyFAKProfile(classes);
            // An offshore destination that cannot be rated says so before any charge is
            // worked.
            CheckOffshoreRating();
            LoadRateGrid(rating.gLaneCode);
            SetLaneFlags(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState,
                         tariff.gDestState, 0, tariff.gDestZip);
            rating.gFloorApplied = false;
            LoadBreakDiscounts(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState,
                               tariff.gDestState);
            if (adjustDiscounts) adjustDiscounts();
            // A discount typed into the quote stands while the user refines that quote.
            if (!rating.gEnteredDisc.empty())
                for (size_t b = 0; b < kWeightBreaks; ++b)
                    rating.gBreakDisc[b] = rating.gEnteredDisc;
            rating.gLineSum = 0;
            ComputeCharges(mode);
        } catch (const RatingRefusal& refusal) {
            refused = Refusal{refusal.text(), refusal.style(), refusal.title()};
        } catch (const TariffDataError& error) {
            refused = Refusal{error.what(), 48, "Tariff Data Error"};
        }
        // What goes wrong in writing the quote is no refusal of the rating: it passes on.
        if (!refused && writeQuote) writeQuote();
    }
    if (refused) {
        RatingMessage(refused->text, refused->style, refused->title);
        return false;
    }
    return true;
}

bool RateShipment() {
    if (!RateRequest(commodityLines.cmbclass, &commodityLines.txtDensity, 0, {},
                     GetQuoteDisplayHook()))
        return false;
    if (const auto& show = GetQuoteShowHook()) show();
    return true;
}
