#include "blrate.h"

#include <cctype>
#include <optional>
#include <stdexcept>
#include <vector>

#include "blstate.h"
#include "blstore.h"
#include "charges.h"
#include "commodity.h"
#include "displayquote.h"
#include "frmqpo.h"
#include "geography.h"
#include "lanes.h"
#include "numbers.h"
#include "offshore.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"

namespace {

constexpr const char* kTitle = "B/L Rating";
constexpr int32_t kNoServiceLane = 99099;

[[noreturn]] void Refuse(const std::string& text, const std::string& title = kTitle) {
    throw RatingRefusal(text, title);
}

// What the main window's request keeps in the engine's program-wide state. A bill's rating
// writes over all of it; it is put back when the bill is done.
struct MainRequest {
    std::string origZip, origZip3, origState, origCityState;
    int16_t origSubscript = 0;
    uint8_t origCountry = 99;
    std::string destZip, destZip3, destState, destCityState;
    int16_t destSubscript = 0;
    uint8_t destCountry = 99;
    std::string offshoreState;
    bool outbound = false, inbound = false;
    std::string offshoreDestZip;
    uint8_t serviceDays = 0, pxsDays = 0;
    int32_t laneCode = 0;
    OffshoreState offshoreValues;
    CommodityLines lines;
};

std::optional<MainRequest>& Saved() {
    static std::optional<MainRequest> saved;
    return saved;
}

BLQuoteShow& QuoteShow() {
    static BLQuoteShow show;
    return show;
}

// Puts the main window's request aside (once, however deep the bill ratings nest) and leaves
// a clean request: no accessorials, no offshore set-up.
void SaveMainRequest() {
    if (Saved()) return;
    MainRequest m;
    m.origZip = tariff.gOrigZip;
    m.origZip3 = tariff.gOrigZip3;
    m.origState = tariff.gOrigState;
    m.origCityState = tariff.gOrigCityState;
    m.origSubscript = tariff.gOrigSubscript;
    m.origCountry = tariff.gOrigCountry;
    m.destZip = tariff.gDestZip;
    m.destZip3 = tariff.gDestZip3;
    m.destState = tariff.gDestState;
    m.destCityState = tariff.gDestCityState;
    m.destSubscript = tariff.gDestSubscript;
    m.destCountry = tariff.gDestCountry;
    m.offshoreState = tariff.gOffshoreState;
    m.outbound = rating.gOutbound;
    m.inbound = rating.gInbound;
    m.offshoreDestZip = rating.gOffshoreDestZip;
    m.serviceDays = rating.gServiceDays;
    m.pxsDays = rating.gPXSDays;
    m.laneCode = rating.gLaneCode;
    m.offshoreValues = offshore;
    m.lines = commodityLines;
    Saved() = std::move(m);
    // The main window's accessorial choices are stored marks that every rating charges. They
    // stay stored as they are (nothing to put back should the program end meanwhile); the
    // rating only does not count them while a bill is rated.
    rating.gMainChoicesAside = true;

    ClearOffshoreValues();
    offshore.Reset();
    commodityLines.Reset();
}

void RestoreMainRequest() {
    if (!Saved()) return;
    MainRequest m = std::move(*Saved());
    Saved().reset();
    tariff.gOrigZip = m.origZip;
    tariff.gOrigZip3 = m.origZip3;
    tariff.gOrigState = m.origState;
    tariff.gOrigCityState = m.origCityState;
    tariff.gOrigSubscript = m.origSubscript;
    tariff.gOrigCountry = m.origCountry;
    tariff.gDestZip = m.destZip;
    tariff.gDestZip3 = m.destZip3;
    tariff.gDestState = m.destState;
    tariff.gDestCityState = m.destCityState;
    tariff.gDestSubscript = m.destSubscript;
    tariff.gDestCountry = m.destCountry;
    tariff.gOffshoreState = m.offshoreState;
    rating.gOutbound = m.outbound;
    rating.gInbound = m.inbound;
    rating.gOffshoreDestZip = m.offshoreDestZip;
    rating.gServiceDays = m.serviceDays;
    rating.gPXSDays = m.pxsDays;
    rating.gLaneCode = m.laneCode;
    offshore = m.offshoreValues;
    commodityLines = m.lines;
    rating.gMainChoicesAside = false;
}

PartyRecord ReadEndParty(BLRecordId partyId, const std::string& role, const std::string& number) {
    std::optional<PartyRecord> party = partyId != 0 ? ReadParty(partyId) : std::nullopt;
    if (!party)
        Refuse("The " + role + " of B/L " + number + " is not in the address book.  " +
               "Please choose the " + role + " again.");
    return *party;
}

// Verifies one end of the bill from its party's code and fills that end's point.
void VerifyEnd(const PartyRecord& party, uint8_t isDest, const std::string& role) {
    const std::string code = RatingCodeOfZip(party.zip);
    if (code.empty())
        Refuse("The " + role + " " + Trim(party.name) + " has no ZIP or postal code.  " +
               "Please add one in the B/L parties.");
    (isDest ? tariff.gDestZip : tariff.gOrigZip) = code;
    if (!LookupCityState(code, isDest))
        Refuse("The " + role + "'s ZIP or postal code " + code + " was not verified.  " +
               "Please correct it in the B/L parties.");
    if (IsOffshoreZip(code)) {
        const char* name = OffshoreName(tariff.gOffshoreState);
        const std::string place = name ? name : tariff.gOffshoreState;
        Refuse("Contact your NORVALE representative about " +
                   std::string(isDest ? "service to " : "outbound service from ") + place + ".",
               "NORVALE Service");
    }
}

// The bill's ends, lane and lines handed over to the engine; false for a lane not served.
bool HandOverBill(BLRecordId id, EnteredClasses& classes) {
    std::optional<BillRecord> bill = id != 0 ? ReadBill(id) : std::nullopt;
    if (!bill) Refuse("This B/L is not on file.");
    const std::string& number = bill->blNumber;
    const PartyRecord shipper = ReadEndParty(bill->shipperId, "shipper", number);
    const PartyRecord consignee = ReadEndParty(bill->consigneeId, "consignee", number);

    VerifyEnd(shipper, 0, "shipper");
    VerifyEnd(consignee, 1, "consignee");

    rating.gLaneCode = static_cast<int32_t>(
        Val(GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript))));
    if (rating.gLaneCode == kNoServiceLane) {
        RatingMessage("As of " + tariff.gEffDate + " NORVALE " +
                          "does not service this lane.  Please contact your Service Center",
                      48, "No Service");
        return false;
    }

    // The lines: a line without a weight is left out, and the lines after it still count.
    // The engine numbers the lines it is handed, so each line is checked here first, where a
    // refusal can name the bill's own line and the commodity whose class is at fault.
    std::array<std::string, kCommodityLines> weights{};
    classes = {};
    size_t j = 0;
    int lineNo = 0;
    for (const BLLineRecord& line : ReadBLLines(id)) {
        ++lineNo;
        const std::string weight = Trim(line.weight);
        if (Val(weight) <= 0) continue;
        std::optional<CommodityRecord> commodity = ReadCommodity(line.commodityId);
        if (!commodity)
            Refuse("A commodity of B/L " + number + " is no longer in the catalogue.  " +
                   "Please edit the B/L.");
        if (j == weights.size()) break;
        const std::string where = "line  " + std::to_string(lineNo) + " of B/L " + number;
        CheckedLineWeight(weight, where);
        const std::string cls = Trim(commodity->commodityClass);
        if (!IsNMFCClass(cls))
            Refuse("The class \"" + cls + "\" of the commodity \"" +
                       Trim(commodity->description) + "\" on " + where +
                       " is not an NMFC class.  Please correct it in the commodity catalogue.",
                   "Error");
        weights[j] = weight;
        classes[j] = cls;
        ++j;
    }
    if (j == 0) Refuse("B/L " + number + " has no commodity line with a weight to rate.");

    rating.gServiceDays = GetServiceDays(tariff.gOrigZip, tariff.gDestZip);
    // The Thriftlane offer of the quote reads the lane's economy days.
    GetPXSStandard(tariff.gOrigZip, tariff.gDestZip, rating.gPXSDays);
    // The customer's own pricing of a shipping location applies to a bill's ends as well. The
    // look-up turns a Canadian end's key into the location's code, and the discounts and FAK
    // profiles are found by that key: a bill's ends are keyed exactly as the main window's.
    rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
    rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
    for (size_t i = 0; i < kLineSlots; ++i) {
        rating.gLineWeight[i] = i < weights.size() ? weights[i] : "";
        rating.gLineClass[i].clear();
    }
    return true;
}

// While a bill is printed with the special discount on, its one percentage replaces the lane's
// discount of every break; the lane's own stay in gBreakDisc2 to be restored.
void ApplySpecialDiscount() {
    if (!blWindow.BLPrinting || !blWindow.boolSpecialDiscount) return;
    const std::string d = GetConfigValue("BL_Discount", "");
    if (!d.empty()) CheckedConfigText(kBLDiscountSetting);
    for (size_t b = 0; b < kDiscountedBreaks; ++b) rating.gBreakDisc[b] = d;
}

void ShowQuote(BLRecordId id) {
    DisplayQuote(1);
    const auto rerate = [id] { RateBLById(id, 0); };
    if (QuoteShow())
        QuoteShow()(rerate);
    else
        ShowQuoteWindowModally(rerate);
}

}  // namespace

std::string RatingCodeOfZip(const std::string& zip) {
    const std::string code = NormalisedPartyZip(zip);
    if (!code.empty() && std::isdigit(static_cast<unsigned char>(code[0]))) return Left(code, 5);
    return code;
}

bool RateBLById(BLRecordId id, uint8_t silent) {
    bool rated = false;
    try {
        // Nothing of the main window's request is put aside when this fails.
        SaveMainRequest();
        EnteredClasses classes;
        {
            // The bill's look-ups and its rating share one lock, let go before its quote shows.
            const ReadTransaction reads(tariff.gDB.get());
            rated =
                HandOverBill(id, classes) && RateRequest(classes, nullptr, 1, ApplySpecialDiscount);
        }
        if (rated && silent == 0) ShowQuote(id);
    } catch (const RatingRefusal& refusal) {
        RatingMessage(refusal.text(), refusal.style(), refusal.title());
        rated = false;
    } catch (const TariffDataError& error) {
        RatingMessage(error.what(), 48, "Tariff Data Error");
        rated = false;
    } catch (const std::exception& error) {
        RatingMessage(std::string("The B/L could not be rated.  ") + error.what(), 48, kTitle);
        rated = false;
    }
    // A silent rating keeps the bill's ends for the quote printed after it.
    if (!rated || silent == 0) RestoreMainRequest();
    return rated;
}

bool RateBL(const std::string& billNumber, uint8_t silent) {
    BLRecordId id = 0;
    try {
        id = FindBLIdByNumber(billNumber);
    } catch (const std::exception& error) {
        RatingMessage(std::string("The B/L could not be rated.  ") + error.what(), 48, kTitle);
        return false;
    }
    if (id == 0) {
        RatingMessage("B/L " + Trim(billNumber) + " is not on file.", 48, kTitle);
        return false;
    }
    return RateBLById(id, silent);
}

void EndBillRating() {
    RestoreMainRequest();
}

void SetBLQuoteShow(BLQuoteShow show) {
    QuoteShow() = std::move(show);
}
