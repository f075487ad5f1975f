// One row of the accessorial table priced for the quote: the services chosen on either window,
// the high-cost delivery region surcharge, and the two rows that switch on guaranteed and
// economy pricing.

#include "chargepass.h"
#include "charges.h"
#include "commodity.h"
#include "discounts.h"
#include "geography.h"
#include "lanes.h"
#include "offshore.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

CODAmountPrompt& Prompt() {
    static CODAmountPrompt prompt;
    return prompt;
}
CODAmountPrompt& Dialog() {
    static CODAmountPrompt dialog;
    return dialog;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The guaranteed and economy services are looked up for the island ZIP as entered, not for
// its mainland port.
std::string ServiceDestination() {
    return IsOffshoreZip(rating.gOffshoreDestZip) ? rating.gOffshoreDestZip : tariff.gDestZip;
}

Single WeightBasis() {
    return static_cast<Single>(rating.gTotalWeight / 100.0);
}

// C.O.D. is priced on the amount to collect. The amount is asked once per choice; every later
// pricing of the same choice (a discount change, the economy total) uses the amount typed, not
// the weight, so one shipment never gets two different C.O.D. charges.
void SetCODBasis(ChargeOutput out) {
    const Single earlier = charges.gCODAmountKnown ? charges.gCODAmount : WeightBasis();
    charges.gChargeBasis = earlier;
    if (out != ChargeOutput::Display || !commodityLines.gAskCODAmount) return;
    // A dialog closed without an amount leaves the basis the earlier pricing had.
    if (Prompt())
        Prompt()();
    else if (Dialog())
        Dialog()();
    commodityLines.gAskCODAmount = false;
    charges.gCODAmount = charges.gChargeBasis;
    charges.gCODAmountKnown = true;
}

void PriceGuaranteed() {
    if (!IsDirectPoint(tariff.gOrigZip, ServiceDestination())) return;
    rating.gGuaranteedOn = true;
    rating.gGuaranteedCharge = GuaranteedCharge();
}

void PriceThriftlane() {
    if (!GetPXSStandard(tariff.gOrigZip, ServiceDestination(), rating.gPXSDays)) return;
    rating.gPXSOn = true;
    rating.gPXSPct = EconomyFactor();
    const auto net = static_cast<Single>(charges.netCharge);
    rating.gPXSSaving = rating.gPXSPct * net;
    // The economy net charge never goes below the lane floor.
    const double floor = Val(rating.gLaneFloor);
    if (floor > static_cast<Single>(net - rating.gPXSSaving))
        rating.gPXSSaving = static_cast<Single>(net - floor);
}

struct RowAmounts {
    Single minimum = 0, maximum = 0, perCwt = 0;
};

// A maximum of 0 means no upper limit; a row without a rate is a flat charge.
Single ChargeOfRow(const RowAmounts& row) {
    const Single product = row.perCwt * charges.gChargeBasis;
    if (row.maximum == 0 && row.perCwt > 0) return MaxSingle(row.minimum, product);
    if (row.maximum == 0 && row.perCwt == 0) return row.minimum;
    return MinSingle(row.maximum, MaxSingle(row.minimum, product));
}

bool IsFlat(const RowAmounts& row) {
    return row.maximum == 0 && row.perCwt == 0;
}

// Inside and residential delivery to Hawaii are charged by the Hawaii delivery lines of the
// quote; every other service chosen for Hawaii is charged here as anywhere.
bool ChargedByHawaiiLines(const std::string& name) {
    return (name == kInsideDeliveryRow || name == kResidentialDeliveryRow) && offshore.gIsHI &&
           IsOffshoreZip(rating.gOffshoreDestZip);
}

int AddCharge(int line, const std::string& caption, Single charge, ChargeOutput out) {
    if (!(charge > 0)) return line;
    ++line;
    if (out == ChargeOutput::Display)
        WriteQuoteLine(line, caption, Format(charge, kQuoteMoney), kQuoteBlack);
    charges.Add(charge);
    return line;
}

// A chosen row: the services that switch pricing on, then the priced ones.
int PriceChosenRow(Recordset& rs, const std::string& name, const RowAmounts& row, int line,
                   ChargeOutput out) {
    if (name == kCODRow)
        SetCODBasis(out);
    else
        charges.gChargeBasis = WeightBasis();

    if (StartsWith(name, "Norvale")) {
        PriceGuaranteed();
        return line;
    }
    if (StartsWith(name, "Thriftlane")) {
        PriceThriftlane();
        return line;
    }
    if (IsFlat(row) && name == kSingleShipmentRow && rating.gTotalWeight > 500) {
        // Refused once, on the quote on screen: the economy total simply goes without it.
        if (out == ChargeOutput::Display) {
            RatingMessage(
                "Single shipment charge does not apply to shipments of more than 500 lbs.", 48,
                "Charge Error");
            rs.Edit();
            rs.SetField("temp on", 0);
            rs.Update();
        }
        return line;
    }
    if (ChargedByHawaiiLines(name)) return line;
    return AddCharge(line, name + " charge", ChargeOfRow(row), out);
}

}  // namespace

bool StoredChoice(Recordset& rs) {
    return !rating.gMainChoicesAside && rs.Field("apply").toInt() == 1;
}

int PriceAccessorial(const std::string& name, int line, ChargeOutput out) {
    Recordset& rs = *tariff.rsAccessorials2;
    rs.Seek("=", {name});
    if (rs.NoMatch()) return line;
    const bool chosen = StoredChoice(rs) || rs.Field("temp on").toInt() == 1;
    const RowAmounts row{static_cast<Single>(rs.Field("Minimum").toDouble()),
                         static_cast<Single>(rs.Field("maximum").toDouble()),
                         static_cast<Single>(rs.Field("per cwt").toDouble())};
    if (chosen) line = PriceChosenRow(rs, name, row, line, out);

    // The surcharge of a high-cost delivery region is charged whether or not anything is
    // chosen; the windows never offer it.
    if (name == kHCDRRow && IsHCDRZip(tariff.gDestZip)) {
        charges.gChargeBasis = WeightBasis();
        const Single charge =
            MinSingle(row.maximum, MaxSingle(row.minimum, row.perCwt * charges.gChargeBasis));
        line = AddCharge(line, "High Cost Delivery Regions Surcharge", charge, out);
    }
    return line;
}

Single GuaranteedCharge() {
    return tariff.gGPercentage * static_cast<Single>(charges.netCharge);
}

int AccessorialCharge(const std::string& name, int line, uint8_t) {
    return PriceAccessorial(name, line, ChargeOutput::Display);
}

int AccessorialChargeSilent(const std::string& name, int line, uint8_t) {
    return PriceAccessorial(name, line, ChargeOutput::Silent);
}

void SetCODAmountPrompt(CODAmountPrompt prompt) {
    Prompt() = std::move(prompt);
}
void SetCODAmountDialog(CODAmountPrompt dialog) {
    Dialog() = std::move(dialog);
}

void ClearQuoteOnlyAccessorials() {
    Recordset& rs = *tariff.rsAccessorials2;
    for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) {
        if (rs.Field("temp on").toInt() == 0) continue;
        rs.Edit();
        rs.SetField("temp on", 0);
        rs.Update();
    }
    rating.gQAccGuaranteed = rating.gQAccLiftgate = rating.gQAccThriftlane = false;
    rating.gQAccHazardous = rating.gQAccInside = rating.gQAccResidential = false;
    rating.gPXSPass = rating.gPXSOn = rating.gGuaranteedOn = false;
    rating.gPXSEnteredPct = 0;
    rating.gEnteredDisc.clear();
}
