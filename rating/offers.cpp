// The two offers under a quote: the guaranteed price, a surcharge on the quote shown, and the
// economy (Thriftlane) price, a second, silent rating of the same shipment.

#include "charges.h"
#include "commodity.h"
#include "geography.h"
#include "lanes.h"
#include "offshorecharges.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

EconomyPercentSource& PercentSource() {
    static EconomyPercentSource source;
    return source;
}

// What the simple discount editor's Thriftlane box stores: "NN.N".
constexpr NumberRule kEconomyPercentRule{0, 99.9, false};

[[noreturn]] void ThrowDamagedEconomyPercent(const std::string& text, bool isNull) {
    throw StoredValueError(DamagedValueText(
        "The Thriftlane percentage (field PXSpct of the table Thriftlane)", text, isNull,
        kEconomyPercentRule,
        "Set it again under Customize, Discounts/F.A.K.s... in the main window, in the box "
        "\"Thriftlane discount for all qualifying shipments\" of the program ALL"));
}

bool IsOffshoreDestination() {
    return IsOffshoreZip(rating.gOffshoreDestZip);
}

// The economy service for the destination as entered; writes the lane's economy days.
bool EconomyServiceOnLane() {
    const std::string dest = IsOffshoreDestination() ? rating.gOffshoreDestZip : tariff.gDestZip;
    return GetPXSStandard(tariff.gOrigZip, dest, rating.gPXSDays);
}

// Everything the economy rating overwrites, put back when it ends however it ends, so that
// the break, the per-break arrays, the discounts, the taxes and gQuoteTotal still describe
// the quote on screen: "Canadian $", a refused discount change and the printed quote read them.
class RatingStateCopy {
  public:
    RatingStateCopy() : rating_(rating), charges_(charges), airFuel_(gAKAirFuel) {}
    ~RatingStateCopy() {
        rating = rating_;
        const MoneyTotal offshoreTotal = charges.gPXSOffshoreTotal;
        charges = charges_;
        charges.gPXSOffshoreTotal = offshoreTotal;
        gAKAirFuel = airFuel_;
    }
    RatingStateCopy(const RatingStateCopy&) = delete;
    RatingStateCopy& operator=(const RatingStateCopy&) = delete;

  private:
    RatingState rating_;
    ChargeState charges_;
    Single airFuel_;
};

void OfferGuaranteed() {
    if (!IsDirectPoint(tariff.gOrigZip, tariff.gDestZip) || IsOffshoreDestination()) return;
    const CommodityLines& main = commodityLines;
    if (main.gAccLiftgate || main.gAccGuaranteed || rating.gQAccLiftgate ||
        rating.gQAccGuaranteed || rating.gPXSOn || main.gAccHazardous || rating.gQAccHazardous)
        return;
    // The total the quote shows with guaranteed service chosen: the total as shown, the
    // guaranteed charge as its line would show it, and the taxes of that total.
    MoneyTotal g = charges.totalShown + ShownAmount(GuaranteedCharge());
    // The taxes of the offer are its own; the quote's stay as shown.
    const auto shownTaxes = rating.gCanTax;
    CanadaTaxes(g);
    g = WithTaxes(g);
    rating.gCanTax = shownTaxes;
    quote.qmrqQPO1 = "This  shipment  is  warranted  to  be  on-time  for  no  extra  charge";
    quote.qmrqQPO2 = "Guaranteed Rate Quote " + Format(g, kQuoteMoney);
}

void OfferThriftlane() {
    if (rating.gPXSOn || commodityLines.gAccHazardous || rating.gQAccHazardous) return;
    if (!EconomyServiceOnLane()) return;
    const bool offshoreVariant = IsOffshoreDestination();
    const std::string pct = EconomyServicePercent();
    MoneyTotal total = 0;
    {
        RatingStateCopy shown;
        rating.gPXSPct = static_cast<Single>(Val(pct) * 0.01);
        rating.gPXSPass = true;
        for (size_t i = 0; i <= 10; ++i) rating.gBreakDisc[i] = pct;
        ComputeCharges(0);
        ComputeQuoteTotal(0);
        // As the quote with economy service chosen would end: between two Canadian points
        // with its taxes, as the guaranteed offer is.
        total = offshoreVariant ? charges.gPXSOffshoreTotal : charges.totalShown;
        CanadaTaxes(total);
        total = WithTaxes(total);
    }
    rating.gPXSSaving = static_cast<Single>(total);
    quote.mlblDefServ = std::string(offshoreVariant ? "Thriftlane       Service Standard: "
                                                    : "Thriftlane          Service Standard: ") +
                        "\n" + CStr(rating.gPXSDays) + " Days";
    quote.qmrqQPO3 = "Thriftlane Rate Quote " + Format(total, kQuoteMoney);
}

}  // namespace

Single EconomyFactor() {
    return static_cast<Single>(Val(EconomyServicePercent()) * 0.01);
}

std::string StoredEconomyPercent() {
    Recordset& thrift = *tariff.rsThriftlane;
    if (!thrift.HasCurrent()) thrift.MoveFirst();
    // Without a row there is no economy discount.
    if (!thrift.HasCurrent()) return "0";
    const Value value = thrift.Field("PXSpct");
    const std::string text = value.str();
    if (value.isNull() || !StoredNumberIn(text, kEconomyPercentRule))
        ThrowDamagedEconomyPercent(text, value.isNull());
    return text;
}

std::string EconomyServicePercent() {
    if (const auto& source = PercentSource())
        if (std::optional<std::string> typed = source()) {
            // The editor's source gives the stored text when the editor is not open.
            if (!StoredNumberIn(*typed, kEconomyPercentRule))
                ThrowDamagedEconomyPercent(*typed, false);
            return *typed;
        }
    return StoredEconomyPercent();
}

void SetEconomyPercentSource(EconomyPercentSource source) {
    PercentSource() = std::move(source);
}

void ComputeQuoteTotal(uint8_t) {
    rating.gBreak = CheapestBreak();
    if (rating.gBreak != 0) rating.gFloorApplied = false;
    // As the quote would show it, read while the pricing's economy switches still stand.
    const MoneyTotal net = QuotedNetCharge(rating.gBreak);
    rating.gGuaranteedOn = false;
    rating.gGuaranteedCharge = 0;
    rating.gPXSOn = false;
    rating.gPXSSaving = 0;
    // The economy total writes no line, so the quote's line cursor stays where it is.
    int line = quote.gQuoteLine;
    ComputeQuoteCharges(net, line, 0);
    if (IsOffshoreDestination())
        charges.gPXSOffshoreTotal = charges.totalShown + OffshoreChargesTotal();
    if (rating.gPXSPass) {
        rating.gPXSPct = EconomyFactor();
        rating.gPXSPass = false;
    }
}

void OfferGuaranteedAndThriftlane() {
    OfferGuaranteed();
    OfferThriftlane();
}
