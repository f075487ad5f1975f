#include "charges.h"

#include <array>
#include <cmath>

#include "commodity.h"
#include "entrychecks.h"
#include "geography.h"
#include "lanes.h"
#include "linesclasses.h"
#include "quotecharges.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

constexpr double kNudge = 0.00001;

struct RatedLines {
    int count = 0;
    std::array<int32_t, kCommodityLines> weight{};
    int32_t total = 0;
};

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

[[noreturn]] void RefuseWeight(const std::string& text) {
    throw RatingRefusal(text, "Data Entry Error");
}

// The lines that will be rated and their whole-pound weights, or a refusal. Nothing of the
// rating state is touched.
RatedLines CountRatedLines() {
    RatedLines lines;
    int64_t total = 0;
    for (int j = 0; j < kCommodityLines; ++j) {
        const std::string& text = rating.gLineWeight[static_cast<size_t>(j)];
        if (IsBlank(text)) break;
        const int32_t w = CheckedLineWeight(text, "line  " + std::to_string(j + 1));
        lines.weight[static_cast<size_t>(j)] = w;
        total += w;
        ++lines.count;
    }
    if (lines.count == 0) RefuseWeight("No commodity weight entered.");
    // The last weight bracket ends below 100,000 lbs: heavier shipments have no break.
    if (total >= kBreakBounds[9])
        RefuseWeight("The shipment weighs " + std::to_string(total) +
                     " lbs.  Shipments of 100,000 lbs or more cannot be rated.");
    lines.total = static_cast<int32_t>(total);
    return lines;
}

bool IsClassNumber(double c) {
    for (double known : {50.0, 55.0, 60.0, 65.0, 70.0, 77.5, 85.0, 92.5, 100.0, 110.0, 125.0, 150.0,
                         175.0, 200.0, 250.0, 300.0, 400.0, 500.0})
        if (c == known) return true;
    return false;
}

bool NoLaneFactors() {
    return rating.gLanePush == 1 && rating.gOrigFactor == 1 && rating.gDestFactor == 1;
}

Single ApplyFactors(Single amount) {
    return ApplyLaneFactors(amount, rating.gLanePush, rating.gOrigFactor, rating.gDestFactor);
}

// The rate of class c at break b, dollars per 100 lbs.
Single RateOf(double c, int b) {
    return FactoredClassRate(rating.gGridRow[static_cast<size_t>(b)], static_cast<Single>(c / 100),
                             rating.gLanePush, rating.gOrigFactor, rating.gDestFactor);
}

// The charge of w pounds at a rate, nudged.
Single ChargeOf(Single rate, int32_t w) {
    return RoundSingle(static_cast<double>(rate) * w / 100 + kNudge, "#0.00");
}

bool EconomyPricing() {
    return rating.gPXSOn || rating.gPXSPass;
}

// Thriftlane is in force when the lane has the service and it is chosen. The look-up always
// runs: it also leaves the lane's Thriftlane days for the economy quote.
void SetThriftlane() {
    const std::string dest =
        IsOffshoreZip(rating.gOffshoreDestZip) ? rating.gOffshoreDestZip : tariff.gDestZip;
    const bool offered = GetPXSStandard(tariff.gOrigZip, dest, rating.gPXSDays);
    if (!(offered && (commodityLines.gAccThriftlane || rating.gQAccThriftlane))) return;
    rating.gPXSOn = true;
    if (rating.gPXSEnteredPct > 0) {
        rating.gPXSPct = static_cast<Single>(static_cast<double>(rating.gPXSEnteredPct) * 0.01);
        return;
    }
    // A missing Thriftlane row gives no economy discount rather than a failed rating.
    rating.gPXSPct = static_cast<Single>(Val(StoredEconomyPercent()) * 0.01);
}

// The discount of break b and its net charge.
void Discount(int b, bool oneLine) {
    const size_t i = static_cast<size_t>(b);
    const double gross = rating.gGrossCharge[i];
    if (EconomyPricing()) {
        // Held as a Single and rounded once from the value it holds: its seven-digit text would
        // round it a first time (295.894989 to 295.895, then to .90 instead of .89).
        const double discount =
            static_cast<double>(static_cast<Single>(static_cast<double>(rating.gPXSPct) * gross));
        rating.gDiscAmount[i] = RoundSingle(discount + kNudge, "#0.00");
    } else if (const double pct = Val(rating.gBreakDisc[i]); pct == 0) {
        rating.gDiscAmount[i] = 0;  // what both roundings of a zero discount give
    } else {
        const double raw = gross * pct / 100;
        const Single discount = RoundSingle(oneLine ? raw + kNudge : raw, "#0.00");
        // Rounding the rounded discount again with the nudge gives it back unchanged while its
        // Single lies within 0.0049 of its two-decimal value, as it does below 100,000.
        rating.gDiscAmount[i] =
            std::fabs(discount) < 1e5f ? discount : RoundSingle(discount + kNudge, "#0.00");
    }
    rating.gNetCharge[i] = RoundSingle(
        static_cast<Single>(gross - static_cast<double>(rating.gDiscAmount[i])), "#0.00");
}

void MinimumChargeSlot() {
    Single m = static_cast<Single>(rating.gGridRow[0]);
    // Whole cents of up to seven digits come through the steps unchanged without factors.
    if (!(NoLaneFactors() && std::fabs(m) < 1e7f)) {
        m = ApplyFactors(m);
        m = RoundSingle(m, "#0.00");
    }
    const Single gross = RoundSingle(static_cast<double>(m) / 100 + kNudge, "#0.00");
    rating.gGrossCharge[0] = gross;
    const double pct = EconomyPricing() ? 0 : Val(rating.gBreakDisc[0]);
    if (!EconomyPricing() && pct == 0) {
        rating.gDiscAmount[0] = 0;  // what the rounding of 0 + the nudge gives
    } else {
        const double discount =
            EconomyPricing() ? static_cast<double>(rating.gPXSPct) * gross : pct / 100 * gross;
        rating.gDiscAmount[0] = RoundSingle(discount + kNudge, "0.00");
    }
    rating.gNetCharge[0] = static_cast<Single>(static_cast<double>(gross) - rating.gDiscAmount[0]);
    const double floor = Val(rating.gLaneFloor);
    if (floor > 0 && static_cast<Single>(floor) > rating.gNetCharge[0]) {
        rating.gNetCharge[0] = static_cast<Single>(floor);
        rating.gFloorApplied = true;
    }
}

}  // namespace

int32_t CheckedLineWeight(const std::string& text, const std::string& where) {
    // Read leniently, "1,000" would be rated as 1 lb while the quote shows "1,000 lbs".
    if (!IsPlainDecimal(text))
        RefuseWeight(QuantityRefusal("The weight on " + where, "the weight in pounds", "lbs", text,
                                     kBreakBounds[9]));
    const std::string line = "The commodity on " + where;
    const double pounds = Val(text);
    if (pounds >= kBreakBounds[9])
        RefuseWeight(line +
                     " weighs 100,000 lbs or more.  Shipments of 100,000 lbs or "
                     "more cannot be rated.");
    // Whole pounds, halves to even; a line that rounds to nothing has no weight to rate.
    const int32_t w = pounds > 0 ? CLng(pounds) : 0;
    if (w <= 0) RefuseWeight(line + " must weigh more than 0 lbs.  Please correct the problem.");
    return w;
}

// The amount always stands on four decimals (whole cents, or a rounded rate), so a factor of 1
// gives it back unchanged whenever its Single lies within 0.00004 of that decimal: below 1024,
// or a whole number that a Single holds exactly. Those formatting steps are skipped.
Single ApplyLaneFactors(Single amount, Single push, Single origFactor, Single destFactor) {
    for (Single factor : {push, origFactor, destFactor}) {
        const bool unchanged =
            factor == 1 && (std::fabs(amount) < 1024 ||
                            (amount == std::trunc(amount) && std::fabs(amount) < 1.6e7f));
        if (!unchanged)
            amount = RoundSingle(static_cast<double>(factor) * amount + kNudge, "#0.0000");
    }
    return amount;
}

Single ClassRateBeforeFactors(int32_t gridCents, Single classShare, double netShare) {
    return RoundSingle(static_cast<double>(gridCents) / 100 * classShare * netShare + kNudge,
                       "#0.00");
}

Single FactoredClassRate(int32_t gridCents, Single classShare, Single push, Single origFactor,
                         Single destFactor) {
    const Single r = ClassRateBeforeFactors(gridCents, classShare, 1);
    // Most lanes have no factors. A rate below 1024 that stands on two decimals then comes
    // through the factor steps and the last rounding as it is (its Single lies within 0.00004
    // of the decimal and has at most six digits), so those formatting steps are skipped.
    if (push == 1 && origFactor == 1 && destFactor == 1 && std::fabs(r) < 1024) return r;
    return RoundSingle(ApplyLaneFactors(r, push, origFactor, destFactor), "#0.00");
}

int CheckLineWeights() {
    return CountRatedLines().count;
}

void ComputeCharges(uint8_t /*mode*/) {
    const RatedLines lines = CountRatedLines();
    std::array<double, kCommodityLines> cls{};
    for (size_t j = 0; j < kCommodityLines; ++j) cls[j] = Val(rating.gLineClass[j]);
    // A rated line of class 0 or of a class the tariff does not know would price as nonsense.
    for (int j = 0; j < lines.count; ++j)
        if (!IsClassNumber(cls[static_cast<size_t>(j)])) RefuseIllegalClass();

    rating.gLineSum = 0;
    rating.gLineCount = static_cast<uint8_t>(lines.count);
    rating.gTotalWeight = lines.total;
    const auto& w = lines.weight;

    int k = 0;
    for (int i = 9; i >= 0; --i)
        if (rating.gTotalWeight < kBreakBounds[i]) {
            rating.gFirstBreak = static_cast<uint8_t>(i + 1);
            k = i;
        }
    rating.gLastBreak = static_cast<uint8_t>(std::min(rating.gFirstBreak + 5, 10));

    SetThriftlane();

    if (rating.gTotalWeight < 2000) MinimumChargeSlot();

    const bool oneLine = rating.gLineCount == 1;
    for (int b = rating.gFirstBreak; b <= rating.gLastBreak; ++b) {
        const size_t i = static_cast<size_t>(b);
        auto& lineRate = rating.gLineRate[i];
        auto& lineCharge = rating.gLineCharge[i];
        const bool atBracket = b == rating.gFirstBreak;
        if (oneLine) {
            lineRate[0] = RateOf(cls[0], b);
            if (atBracket) {
                rating.gGrossCharge[i] = ChargeOf(lineRate[0], w[0]);
            } else {
                rating.gRatedAsWeight[i] = static_cast<Single>(kBreakBounds[k++]);
                rating.gDefWeight[i] =
                    static_cast<Single>(static_cast<double>(rating.gRatedAsWeight[i]) - w[0]);
                lineCharge[0] = ChargeOf(lineRate[0], w[0]);
                // The one-line deficit charge is rounded without the nudge.
                rating.gDefCharge[i] =
                    RoundSingle(static_cast<Single>(static_cast<double>(rating.gDefWeight[i]) /
                                                    100 * lineRate[0]),
                                "#0.00");
                rating.gGrossCharge[i] =
                    static_cast<Single>(static_cast<double>(rating.gDefCharge[i]) + lineCharge[0]);
            }
        } else {
            if (!atBracket) rating.gLineSum = 0;
            for (size_t j = 0; j < static_cast<size_t>(rating.gLineCount); ++j) {
                lineRate[j] = RateOf(cls[j], b);
                lineCharge[j] = ChargeOf(lineRate[j], w[j]);
                rating.gLineSum += lineCharge[j];
            }
            if (!atBracket) {
                // The lowest class is one of the lines' classes, whose rate is already known.
                const Single lowest = LowestLineClass(rating.gLineCount);
                size_t same = 0;
                while (same < rating.gLineCount && static_cast<Single>(cls[same]) != lowest) ++same;
                rating.gDefRate[i] = same < rating.gLineCount ? lineRate[same] : RateOf(lowest, b);
                rating.gDefWeight[i] = static_cast<Single>(kBreakBounds[k++] - rating.gTotalWeight);
                rating.gDefCharge[i] = RoundSingle(
                    static_cast<double>(rating.gDefWeight[i]) / 100 * rating.gDefRate[i] + kNudge,
                    "#0.00");
                rating.gLineSum += rating.gDefCharge[i];
            }
            rating.gGrossCharge[i] = static_cast<Single>(rating.gLineSum);
        }
        Discount(b, oneLine);
    }
}

uint8_t CheapestBreak() {
    uint8_t best = rating.gFirstBreak;
    for (uint8_t i = rating.gFirstBreak; i <= rating.gLastBreak; ++i)
        if (rating.gNetCharge[i] < rating.gNetCharge[best]) best = i;
    if (rating.gTotalWeight < 2000 && rating.gNetCharge[best] < rating.gNetCharge[0]) return 0;
    return best;
}

Single LowestLineClass(uint8_t count) {
    Single lowest = static_cast<Single>(Val(rating.gLineClass[0]));
    for (size_t j = 1; j < count && j < kLineSlots; ++j)
        lowest = std::min(lowest, static_cast<Single>(Val(rating.gLineClass[j])));
    return lowest;
}

std::string DiscountedCharge(Single amount, uint8_t brk) {
    const double pct = Val(rating.gBreakDisc[brk]);
    const Single discount = pct > 0 ? static_cast<Single>(pct / 100 * amount + kNudge) : Single{0};
    return Format(static_cast<double>(amount) - discount, "#0.00");
}

std::string DiscountedCharge2(Single amount, uint8_t brk) {
    return DiscountedCharge(amount, brk);
}

std::string NetOfPriceDiscount(Single amount, uint8_t brk) {
    if (!EconomyPricing()) return DiscountedCharge(amount, brk);
    const Single discount =
        static_cast<Single>(static_cast<double>(rating.gPXSPct) * amount + kNudge);
    return Format(static_cast<double>(amount) - discount, "#0.00");
}

MoneyTotal QuotedNetCharge(uint8_t brk) {
    const size_t b = brk;
    if (brk == 0 || rating.gFloorApplied || !IsIntraCanada()) return rating.gNetCharge[b];
    auto net = [brk](Single amount) { return CDbl(NetOfPriceDiscount(amount, brk)); };
    if (rating.gLineCount < 2) return net(rating.gGrossCharge[b]);
    MoneyTotal sum = 0;
    for (size_t j = 0; j < rating.gLineCount; ++j) sum += net(rating.gLineCharge[b][j]);
    if (brk != rating.gFirstBreak) sum += net(rating.gDefCharge[b]);
    // Not held in a Single, which keeps no more than 1/64 of a dollar above $131,072.
    return ShownAmount(sum);
}

Single MaxSingle(Single a, Single b) {
    return a > b ? a : b;
}
Single MinSingle(Single a, Single b) {
    return a < b ? a : b;
}

std::string PadLeft(int width, const std::string& text) {
    const auto n = static_cast<int>(text.size());
    return n >= width ? text : std::string(static_cast<size_t>(width - n), ' ') + text;
}

std::string LineClassCaption(const std::string& text, uint8_t line) {
    return rating.gFAKActive ? rating.gLineClassActual[line] : text;
}
