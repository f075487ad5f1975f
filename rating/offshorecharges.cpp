#include "offshorecharges.h"

#include <array>
#include <vector>

#include "charges.h"
#include "commodity.h"
#include "geography.h"
#include "offshore.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"

Single gAKAirFuel = 0;

namespace {

constexpr double kNudge = 0.00001;

// The upper bound of each Alaska weight break, 1 to 5; a heavier break is rated as the
// bound of the break before it.
constexpr std::array<int32_t, 6> kAlaskaBreaks = {0, 1000, 2000, 5000, 10000, kAlaskaMaxWeight};

// The cities of the panhandle whose beyond fuel surcharge has its own factor.
constexpr const char* kSpecialFuelCities[] = {"MENDENHALL", "HAINES",   "KETCHIKAN", "KATE",
                                              "PETERSBURG", "WRANGELL", "SITKA",     "SKAGWAY"};

// A setting as a number; a missing key is 0, and so is a value that is not a number.
double SettingD(const std::string& key) {
    const std::string text = GetConfigValue(key, "0");
    return IsNumeric(text) ? CDbl(text) : Val(text);
}
Single Setting(const std::string& key) {
    return static_cast<Single>(SettingD(key));
}

// The product stays a Double until it is taken to cents: narrowing it first would round twice.
double Product(Single a, Single b) {
    return static_cast<double>(a) * static_cast<double>(b);
}
// An amount taken to cents through the currency pattern.
Single ToCents(double value) {
    return CSng(Format(value, "$##,##0.00"));
}

// The row a rate table holds for a key; a missing row is a gap in the tariff.
Recordset& RateRow(const std::shared_ptr<Recordset>& table, const char* name, const Value& key,
                   const std::string& what) {
    if (!table) throw DbError(kErrObjectClosed, std::string("The table ") + name + " is not open.");
    Recordset& rs = *table;
    if (rs.Index() != "byzone") rs.SetIndex("byzone");
    rs.Seek("=", {key});
    if (rs.NoMatch())
        throw TariffDataError(what + " is missing from the table " + name +
                              ", so the offshore charges cannot be rated.");
    return rs;
}

Single FieldAt(Recordset& rs, size_t position) {
    return static_cast<Single>(rs.Field(rs.FieldNames().at(position)).toDouble());
}

Recordset& ZoneRow(const std::shared_ptr<Recordset>& table, const char* name, uint8_t zone) {
    return RateRow(table, name, Value(static_cast<int>(zone)), "Zone " + std::to_string(zone));
}

// The commodity lines that count: those before the first blank weight.
struct OffshoreLines {
    int count = 0;
    std::array<int32_t, kCommodityLines> weight{};
    std::array<double, kCommodityLines> cls{};
    int64_t total = 0;
};

OffshoreLines CountLines() {
    OffshoreLines lines;
    for (size_t j = 0; j < kCommodityLines; ++j) {
        const std::string w = Trim(rating.gLineWeight[j]);
        if (w.empty()) break;
        const double pounds = Val(w);
        lines.weight[j] = pounds > 0 && pounds < 2e9 ? CLng(pounds) : 0;
        lines.cls[j] = Val(rating.gLineClass[j]);
        lines.total += lines.weight[j];
        ++lines.count;
    }
    return lines;
}

uint8_t AlaskaRateZone() {
    // Air-only points are carried beyond Anchorage at its rates.
    return offshore.gOffshoreZone > 100 ? 1 : offshore.gOffshoreZone;
}

std::string AlaskaRateKey(uint8_t zone, size_t line) {
    const double c = Val(rating.gLineClass[line]);
    return "z" + std::to_string(zone) + "c" + (c <= 101 ? Trim(rating.gLineClass[line]) : "100");
}

[[noreturn]] void RefuseAlaskaWeight(int64_t total) {
    throw RatingRefusal("The shipment weighs " + std::to_string(total) +
                            " lbs.  Alaska shipments over 32,000 lbs cannot be rated; " +
                            "please contact your Norvale Service Center.",
                        "NORVALE Service");
}

// The minimum charge and the five break rates of one line, cents.
using AlaskaRates = std::array<int32_t, 6>;

AlaskaRates AlaskaLineRates(uint8_t zone, size_t line, double cls) {
    const std::string key = AlaskaRateKey(zone, line);
    Recordset& rs = RateRow(tariff.rsAKRates, "AK Rates", Value(key), "The Alaska rate " + key);
    AlaskaRates r{};
    for (size_t k = 0; k < r.size(); ++k) {
        r[k] = CLng(FieldAt(rs, 3 + k));
        // Classes above 100 are priced from the class-100 rates.
        if (cls > 101) r[k] = CLng(Val(Format(cls / 100 * r[k] + kNudge, "#0.00")));
    }
    return r;
}

Single Cents(int32_t cents) {
    return RoundSingle(cents / 100.0 + kNudge, "#0.00");
}

Single AlaskaBeyond() {
    const OffshoreLines lines = CountLines();
    if (lines.count == 0) return 0;
    if (lines.total > kAlaskaMaxWeight) RefuseAlaskaWeight(lines.total);
    const auto total = static_cast<int32_t>(lines.total);
    const auto n = static_cast<size_t>(lines.count);
    const uint8_t zone = AlaskaRateZone();

    std::array<AlaskaRates, kCommodityLines> r{};
    for (size_t j = 0; j < n; ++j) r[j] = AlaskaLineRates(zone, j, lines.cls[j]);

    uint8_t first = 5;
    for (uint8_t b = 5; b >= 1; --b)
        if (total <= kAlaskaBreaks[b]) first = b;
    rating.gFirstBreak = first;
    rating.gLastBreak = 5;
    if (total < 2000) rating.gGrossCharge[0] = Cents(r[0][0]);

    // The deficit of several lines is rated at the lowest class among them.
    size_t lowestLine = 0;
    const Single lowest = LowestLineClass(static_cast<uint8_t>(n));
    while (lowestLine + 1 < n && static_cast<Single>(lines.cls[lowestLine]) != lowest) ++lowestLine;

    uint8_t best = first;
    for (uint8_t b = first; b <= 5; ++b) {
        const bool atBracket = b == first;
        const int32_t ratedAs = kAlaskaBreaks[b - 1];
        if (n == 1) {
            const int32_t w = lines.weight[0];
            const Single rate = Cents(r[0][b]);
            rating.gLineRate[b][0] = rate;
            if (atBracket) {
                rating.gGrossCharge[b] = RoundSingle(w / 100.0 * rate + kNudge, "#0.00");
            } else {
                rating.gRatedAsWeight[b] = static_cast<Single>(ratedAs);
                rating.gDefWeight[b] = static_cast<Single>(ratedAs - w);
                rating.gLineCharge[b][0] = RoundSingle(w / 100.0 * rate + kNudge, "#0.00");
                // The one-line deficit charge is rounded without the nudge.
                rating.gDefCharge[b] =
                    RoundSingle(static_cast<double>(rating.gDefWeight[b]) / 100 * rate, "#0.00");
                rating.gGrossCharge[b] = static_cast<Single>(
                    static_cast<double>(rating.gDefCharge[b]) + rating.gLineCharge[b][0]);
            }
        } else {
            double sum = 0;
            for (size_t j = 0; j < n; ++j) {
                const Single rate = Cents(r[j][b]);
                rating.gLineRate[b][j] = rate;
                rating.gLineCharge[b][j] = RoundSingle(
                    static_cast<double>(rate) * lines.weight[j] / 100 + kNudge, "#0.00");
                sum += rating.gLineCharge[b][j];
            }
            if (!atBracket) {
                rating.gDefRate[b] = Cents(r[lowestLine][b]);
                rating.gDefWeight[b] = static_cast<Single>(ratedAs - total);
                rating.gDefCharge[b] = RoundSingle(
                    static_cast<double>(rating.gDefWeight[b]) / 100 * rating.gDefRate[b] + kNudge,
                    "#0.00");
                sum += rating.gDefCharge[b];
            }
            rating.gGrossCharge[b] = static_cast<Single>(sum);
        }
        if (rating.gGrossCharge[b] < rating.gGrossCharge[best]) best = b;
    }
    const Single charge = rating.gGrossCharge[best];
    return total < 2000 ? MaxSingle(charge, rating.gGrossCharge[0]) : charge;
}

Single PuertoRicoOcean(double cube, int32_t totalWeight) {
    // The ocean leg sails from the gateway the set-up rated the land leg to: Elizabeth when
    // it was chosen, else Jacksonville, also while the port question is unanswered.
    const std::string p = offshore.gPRPort == kElizabethPort ? "PR_XCV_" : "PR_NJV_";
    const Single perCube = Setting(p + "outbound_CFT");
    const Single perCwt = Setting(p + "outbound_CWT");
    const Single floor = Setting(p + "floor");
    const Single charge = MaxSingle(static_cast<Single>(perCube * cube),
                                    static_cast<Single>(totalWeight / 100.0 * perCwt));
    return MaxSingle(charge, floor);
}

Single HawaiiOcean(double cube) {
    Single rate, minimum = 0;
    if (cube < 401) {
        rate = Setting("HI_OCEAN_L400");
        minimum = Setting("HI_OCEAN_min");
    } else if (cube < 801) {
        rate = Setting("HI_OCEAN_L800");
    } else {
        rate = Setting("HI_OCEAN_M800");
    }
    return MaxSingle(static_cast<Single>(rate * cube), minimum);
}

bool IsSpecialFuelCity(const std::string& city) {
    for (const char* c : kSpecialFuelCities)
        if (city == c) return true;
    return false;
}

// The will-call settings key of the island a Hawaii zone lies on.
const char* WillCallIsland(uint8_t zone) {
    if (zone <= 3) return "HI_WILLCALL_OAHU";
    if (zone <= 8) return "HI_WILLCALL_MAUI";
    if (zone <= 11) return "HI_WILLCALL_KAUI";
    return "HI_WILLCALL_HAWAI";
}

// The delivery-rate field of Hawaii zone delivery by cube, and of Puerto Rico by weight.
size_t HawaiiCubeField(double cube) {
    return cube < 101 ? 2 : cube < 201 ? 3 : cube < 301 ? 4 : cube < 401 ? 5 : 6;
}
size_t PuertoRicoWeightField(int32_t totalWeight) {
    return totalWeight < 3000 ? 3 : totalWeight < 6000 ? 4 : 5;
}

// The Alaska beyond charge less the carrier's Alaska discount, both to cents.
Single LessAlaskaDiscount(Single amount) {
    const double pct = Val(GetConfigValue("AK_Discount", "0"));
    std::string discount = Format(pct / 100 * amount + kNudge, "#0.00");
    discount = Format(Val(discount) + kNudge, "#0.00");
    return static_cast<Single>(Val(Format(static_cast<double>(amount) - Val(discount), "#0.00")));
}

Single AlaskaMilitaryCharge(int32_t totalWeight) {
    if (totalWeight < 1001) return Setting("AK_MilitaryBase_Lo");
    if (totalWeight <= 2500) return Setting("AK_MilitaryBase_Med");
    return Setting("AK_MilitaryBase_Hi");
}

struct OffshoreAmount {
    const char* caption;
    Single amount;
};

struct OffshorePricing {
    std::vector<OffshoreAmount> lines;
    bool airRefused = false;  // a line has no air rate: the user is told, no air line
};

[[noreturn]] void RefuseUnverified() {
    throw RatingRefusal("Destination was not verified.  Please try again.", "Data Entry Error");
}

// The kept flags must describe the destination now entered, whose state IsOffshoreZip has just
// put in gOffshoreState.
void CheckKind() {
    const std::string& st = tariff.gOffshoreState;
    const bool ok = (st == "AK" && offshore.gIsAK && !offshore.gIsHI && !offshore.gIsPR) ||
                    (st == "HI" && offshore.gIsHI && !offshore.gIsAK && !offshore.gIsPR) ||
                    (st == "PR" && offshore.gIsPR && !offshore.gIsAK && !offshore.gIsHI);
    if (!ok) RefuseUnverified();
}

// Every offshore amount of the quote, in the order the quote shows them.
OffshorePricing PriceOffshore() {
    CheckKind();
    const std::string& cube = commodityLines.txtOceanDensity;
    const int32_t total = rating.gTotalWeight;
    const bool ak = offshore.gIsAK, hi = offshore.gIsHI, pr = offshore.gIsPR;
    const bool hazardous = commodityLines.gAccHazardous || rating.gQAccHazardous;
    const bool willCall = commodityLines.chkHawaiiWillCall;
    OffshorePricing p;
    auto add = [&p](const char* caption, Single amount) { p.lines.push_back({caption, amount}); };

    Single beyond = BeyondOceanCharges(cube, total);
    if (ak) beyond = LessAlaskaDiscount(beyond);
    add(ak ? "BEYOND CHARGES" : "OCEAN CHARGES", beyond);

    Single air = 0;
    if (ak) {
        air = AKAirCharge(offshore.gOffshoreZone);
        if (air > 0) add("AIR CHARGES", air);
        p.airRefused = air < 0;
    }
    if (ak && offshore.gMilitary) add("MILITARY BASE CHARGE", AlaskaMilitaryCharge(total));
    if (ak && hazardous)
        add("HAZARDOUS MATERIALS OCEAN CHARGE",
            MinSingle(MaxSingle(static_cast<Single>(SettingD("AK_HMOcean_CFT") / 100 * total),
                                Setting("AK_HMOcean_MIN")),
                      Setting("AK_HMOcean_MAX")));

    if (pr)
        add("BUNKER SURCHARGE", OffshoreFuelSurcharge(cube, static_cast<Single>(total), 0));
    else
        add("BUNKER SURCHARGE", OffshoreFuelSurcharge(" ", beyond, ak && air > 0 ? air : 0));
    if (ak && air > 0) add("BUNKER AIR SURCHARGE", gAKAirFuel);

    if (pr) add("DOCUMENT CHARGE", Setting("PR_docs"));
    if (pr && hazardous) add("HAZARDOUS MATERIALS OCEAN CHARGE", Setting("PR_HMOcean"));
    if (hi) add("WHARFAGE CHARGE", HIWharfage(cube));
    if (pr || hi)
        add(hi && willCall ? "WILL CALL CHARGES" : "ZONE DLVY CHARGES",
            WillCallZoneCharges(cube, total));
    // Freight the consignee collects at the terminal never goes onto the base, but the answer
    // stays for a quote without will call.
    if (hi && offshore.gMilitary && !willCall)
        add("MILITARY BASE CHARGE", Setting("HI_WHARFAGE_MilitaryBase"));
    if (hi && hazardous) {
        add("HAZARDOUS MATERIALS OCEAN CHARGE", HIHazmatOcean(cube));
        add("HAZARDOUS MATERIALS DELIVERY CHARGE", Setting("HI_HMDelivery"));
    }
    if (hi && (commodityLines.gAccInside || rating.gQAccInside))
        add("INSIDE PICKUP AND DELIVERY CHARGE",
            MaxSingle(static_cast<Single>(SettingD("HI_DID_CWT") * charges.gChargeBasis),
                      Setting("HI_DID_MIN")));
    if (hi && (commodityLines.gAccResidential || rating.gQAccResidential))
        add("RESIDENTIAL DELIVERY CHARGE", Setting("HI_RSD"));
    return p;
}

void WriteLine(const std::string& caption, MoneyTotal amount) {
    QuoteLine& line = quote.Line(quote.gQuoteLine);
    line.rate = {caption, kQuoteBlack};
    line.charge = {Format(amount, kQuoteMoney), kQuoteBlack};
}

}  // namespace

Single BeyondOceanCharges(const std::string& cube, int32_t totalWeight) {
    const std::string& st = tariff.gOffshoreState;
    if (st == "PR") return PuertoRicoOcean(Val(cube), totalWeight);
    if (st == "HI") return HawaiiOcean(Val(cube));
    if (st == "AK") return AlaskaBeyond();
    return 0;
}

Single AKAirCharge(uint8_t zone) {
    if (zone < 100) return 0;
    Recordset& rs = ZoneRow(tariff.rsAKAirRates, "AK Air Rates", zone);
    const auto field = [&rs](const char* name) {
        return static_cast<Single>(rs.Field(name).toDouble());
    };
    const Single minimum = field("minchg");
    const Single below100 = field("CL50-925");
    const Single at100 = field("CL100");
    const Single above100 = field("Cl110-150");
    Single sum = 0;
    for (size_t j = 0; j < kCommodityLines; ++j) {
        const std::string w = Trim(rating.gLineWeight[j]);
        if (w.empty()) break;
        const double c = Val(rating.gLineClass[j]);
        if (c >= 175) return -10;
        const Single rate = c < 100 ? below100 : c == 100 ? at100 : above100;
        // The minimum applies to each line.
        sum += MaxSingle(ToCents(Val(w) / 100 * rate), minimum);
    }
    return sum;
}

Single OffshoreFuelSurcharge(const std::string& cube, Single amount1, Single amount2) {
    if (offshore.gIsPR) {
        const Single charge =
            MaxSingle(static_cast<Single>(amount1 / 100.0 * Setting("PR_bunker_CWT")),
                      static_cast<Single>(Setting("PR_bunker_CFT") * Val(cube)));
        return MinSingle(MaxSingle(charge, Setting("PR_bunker_min")), Setting("PR_bunker_max"));
    }
    if (offshore.gIsAK) {
        if (offshore.gOffshoreZone >= 100) {
            gAKAirFuel = ToCents(Product(Setting("AK_AIR_FSC"), amount2));
            return ToCents(Product(Setting("AK_FSC"), amount1));
        }
        const char* key = IsSpecialFuelCity(offshore.gOffshoreCity) ? "AK_SPECIAL_FSC" : "AK_FSC";
        return ToCents(Product(Setting(key), amount1));
    }
    return ToCents(Product(Setting("HI_FSC"), amount1));
}

Single HIWharfage(const std::string& cube) {
    return MaxSingle(static_cast<Single>(Setting("HI_WHARFAGE_CFT") * Val(cube)),
                     Setting("HI_WHARFAGE_min"));
}

Single HIHazmatOcean(const std::string& cube) {
    return MaxSingle(static_cast<Single>(Setting("HI_HMOcean_CFT") * Val(cube)),
                     Setting("HI_HMOcean_MIN"));
}

Single WillCallZoneCharges(const std::string& cube, int32_t totalWeight) {
    const double c = Val(cube);
    const std::string& st = tariff.gOffshoreState;
    if (st == "PR") {
        Recordset& rs = ZoneRow(tariff.rsPRCharges, "PR charges", offshore.gOffshoreZone);
        const Single rate = FieldAt(rs, PuertoRicoWeightField(totalWeight));
        const Single perCube = static_cast<Single>(rs.Field("CFT").toDouble());
        const Single minimum = static_cast<Single>(rs.Field("Min").toDouble());
        const Single maximum = static_cast<Single>(rs.Field("Max").toDouble());
        const Single charge = MaxSingle(static_cast<Single>(perCube * c),
                                        static_cast<Single>(totalWeight / 100.0 * rate));
        return MinSingle(MaxSingle(charge, minimum), maximum);
    }
    if (st != "HI") return 0;
    if (commodityLines.chkHawaiiWillCall) {
        const std::string island = WillCallIsland(offshore.gOffshoreZone);
        return MaxSingle(static_cast<Single>(Setting(island + "_CFT") * c),
                         Setting(island + "_minchg"));
    }
    Recordset& rs = ZoneRow(tariff.rsHIRates, "HI Rates", offshore.gOffshoreZone);
    const Single rate = FieldAt(rs, HawaiiCubeField(c));
    return MaxSingle(static_cast<Single>(rate * c),
                     static_cast<Single>(rs.Field("minchg").toDouble()));
}

void CheckOffshoreRating() {
    if (!IsOffshoreZip(rating.gOffshoreDestZip)) return;
    CheckKind();
    const uint8_t zone = offshore.gOffshoreZone;
    if (offshore.gIsAK) {
        if (zone == 99)
            throw RatingRefusal("Please contact your Norvale Service Center about this shipment",
                                "Special Service");
        const OffshoreLines lines = CountLines();
        if (lines.total > kAlaskaMaxWeight) RefuseAlaskaWeight(lines.total);
        for (size_t j = 0; j < static_cast<size_t>(lines.count); ++j)
            AlaskaLineRates(AlaskaRateZone(), j, lines.cls[j]);
        if (zone >= 100) ZoneRow(tariff.rsAKAirRates, "AK Air Rates", zone);
    } else if (offshore.gIsPR) {
        ZoneRow(tariff.rsPRCharges, "PR charges", zone);
    } else if (!commodityLines.chkHawaiiWillCall) {
        ZoneRow(tariff.rsHIRates, "HI Rates", zone);
    }
}

MoneyTotal WriteOffshoreQuoteLines(MoneyTotal landTotal) {
    if (!IsOffshoreZip(rating.gOffshoreDestZip)) return landTotal;
    const OffshorePricing p = PriceOffshore();
    MoneyTotal total = landTotal;
    for (const OffshoreAmount& line : p.lines) {
        ++quote.gQuoteLine;
        WriteLine(line.caption, line.amount);
        total += ShownAmount(line.amount);
    }
    if (p.airRefused)
        RatingMessage("Contact your NORVALE representative about outbound " +
                          std::string("service to this point."),
                      48, "NORVALE Service");
    quote.gQuoteLine += 2;
    WriteLine("TOTAL CHARGES", total);
    return total;
}

MoneyTotal OffshoreChargesTotal() {
    if (!IsOffshoreZip(rating.gOffshoreDestZip)) return 0;
    MoneyTotal total = 0;
    for (const OffshoreAmount& line : PriceOffshore().lines) total += ShownAmount(line.amount);
    return total;
}
