#include "rateshipment.h"

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

// The requested lines are checked before any of the rating state changes, so a refused
// request leaves the last quote's state as it was.
void CheckRequest(bool intraCanada) {
    const int count = CheckLineWeights();
    if (intraCanada) return;
    for (int j = 0; j < count; ++j)
        if (!IsNMFCClass(commodityLines.cmbclass[static_cast<size_t>(j)])) RefuseIllegalClass();
}

void SetLineClasses(bool intraCanada) {
    for (size_t j = 0; j < kCommodityLines; ++j) {
        if (!intraCanada) {
            rating.gLineClass[j] = CStr(Val(commodityLines.cmbclass[j]));
        } else if (!commodityLines.txtDensity[j].empty()) {
            rating.gLineClass[j] = ClassForDensity(commodityLines.txtDensity[j], rating.gLaneCode);
        }
    }
}

}  // namespace

bool RateShipment() {
    try {
        // Economy pricing is a property of one rating: a Thriftlane quote must not carry over
        // into the next request.
        rating.gPXSOn = false;
        const bool intraCanada = IsIntraCanada();
        CheckRequest(intraCanada);

        rating.gCanTax.fill(0);
        SetLineClasses(intraCanada);
        ApplyFAKProfile();
        // An offshore destination that cannot be rated says so before any charge is worked.
        CheckOffshoreRating();
        LoadRateGrid(rating.gLaneCode);
        SetLaneFlags(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState, tariff.gDestState, 0,
                     tariff.gDestZip);
        rating.gFloorApplied = false;
        LoadBreakDiscounts(tariff.gOrigZip3, tariff.gDestZip3, tariff.gOrigState,
                           tariff.gDestState);
        rating.gLineSum = 0;
        ComputeCharges(0);
    } catch (const RatingRefusal& refusal) {
        RatingMessage(refusal.text(), refusal.style(), refusal.title());
        return false;
    } catch (const TariffDataError& error) {
        RatingMessage(error.what(), 48, "Tariff Data Error");
        return false;
    }
    if (const auto& display = GetQuoteDisplayHook()) display();
    return true;
}
