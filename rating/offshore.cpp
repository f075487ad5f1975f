#include "offshore.h"

#include <algorithm>
#include <cctype>

#include "geography.h"
#include "lanes.h"
#include "numbers.h"
#include "ratingstate.h"
#include "tariffdb.h"
#include "text.h"

OffshoreState offshore;

namespace {

constexpr int16_t kLaneSide = 1053;
constexpr int32_t kNoServiceLane = 99099;  // "099099"

PRPortQuestion& PortQuestion() {
    static PRPortQuestion question;
    return question;
}
MilitaryQuestion& BaseQuestion() {
    static MilitaryQuestion question;
    return question;
}
PRPortQuestion& PortDialog() {
    static PRPortQuestion dialog;
    return dialog;
}
MilitaryQuestion& BaseDialog() {
    static MilitaryQuestion dialog;
    return dialog;
}
DestEntryTextQuery& EntryTextQuery() {
    static DestEntryTextQuery query;
    return query;
}

void AskPRPort(bool jacksonville) {
    if (PortQuestion())
        PortQuestion()(jacksonville);
    else if (PortDialog())
        PortDialog()(jacksonville);
}

void AskMilitary() {
    // The question always opens on "No": a base charge is added only when the user says so.
    if (BaseQuestion())
        BaseQuestion()(false);
    else if (BaseDialog())
        BaseDialog()(false);
}

std::string DestEntryText() {
    if (EntryTextQuery()) return EntryTextQuery()();
    return tariff.gDestCityState.empty() ? rating.gOffshoreDestZip : tariff.gDestCityState;
}

// A destination the set-up cannot complete; the text is what the user is told.
struct SetupFailure {
    std::string text;
};

[[noreturn]] void NoZone(const std::string& what) {
    throw SetupFailure{"Destination was not verified.  The tariff has no delivery zone for " +
                       what + ".  Please contact your Norvale Service Center."};
}

// The "zone" field of the row a zone table holds for the key.
uint8_t ZoneOf(const std::shared_ptr<Recordset>& table, const char* index, const std::string& key,
               const std::string& what) {
    if (!table) throw DbError(kErrObjectClosed, "The offshore zone tables are not open.");
    if (key.empty()) NoZone(what);
    Recordset& rs = *table;
    if (rs.Index() != index) rs.SetIndex(index);
    rs.Seek("=", {Value(key)});
    if (rs.NoMatch()) NoZone(what);
    const int64_t zone = rs.Field("zone").toInt();
    // Zones are bytes; anything else would be read as some other zone.
    if (zone < 0 || zone > 255)
        throw TariffDataError("The delivery zone of " + what + " is " + std::to_string(zone) +
                              "; zones run from 0 to 255.");
    return static_cast<uint8_t>(zone);
}

void SetKind(bool pr, bool ak, bool hi) {
    offshore.gIsPR = pr;
    offshore.gIsAK = ak;
    offshore.gIsHI = hi;
}

void SetupPuertoRico() {
    const uint8_t zone = ZoneOf(tariff.rsPRDelvyZones, "byzip", rating.gOffshoreDestZip,
                                "the Puerto Rico ZIP " + rating.gOffshoreDestZip);
    if (tariff.gDestState == "PR" && offshore.gAskPRPort) {
        // Shippers served from the south-east and gulf terminals sail from Jacksonville.
        const std::string sic = ServiceCenterOfZip(tariff.gOrigZip);
        const bool jacksonville = !sic.empty() && (sic[0] == 'N' || sic[0] == 'L');
        AskPRPort(jacksonville);
    }
    tariff.gDestZip = offshore.gPRPort == kElizabethPort ? kElizabethPort : kJacksonvillePort;
    offshore.gOffshoreZone = zone;
    SetKind(true, false, false);
}

void SetupHawaii() {
    const uint8_t zone = ZoneOf(tariff.rsHIZones, "byzip", rating.gOffshoreDestZip,
                                "the Hawaii ZIP " + rating.gOffshoreDestZip);
    if (tariff.gOrigState != "HI") {
        CheckMilitaryZip(rating.gOffshoreDestZip);
        tariff.gDestZip = PickWestCoastPort(tariff.gOrigZip);
    }
    offshore.gOffshoreZone = zone;
    SetKind(false, false, true);
}

void SetupAlaska() {
    tariff.gDestZip = kAlaskaGateway;
    const std::string text = DestEntryText();
    const size_t comma = text.find(',');
    offshore.gAKCommaPos = comma == std::string::npos ? 0 : static_cast<int>(comma) + 1;
    std::string city;
    bool typedZip = false;
    if (comma != std::string::npos) {
        city = text.substr(0, comma);
    } else if (ReadsAsNumber(Trim(text))) {
        // A ZIP typed in the box: the main window refuses it once the set-up is done, so the
        // city is only needed for the zone, and no question is put to the user.
        typedZip = true;
        city = CityOfCityState(tariff.gDestCityState);
    } else {
        city = text;  // a single city found by its name alone
    }
    city = Upper(Trim(city));
    const uint8_t zone =
        ZoneOf(tariff.rsAKZones2, "city", city,
               city.empty() ? std::string("this Alaska destination") : "the Alaska city " + city);
    offshore.gOffshoreCity = city;
    offshore.gOffshoreZone = zone;
    if (!typedZip) AskMilitaryBase(city);
    SetKind(false, true, false);
}

// A set-up that cannot finish leaves nothing behind: the destination is its entered ZIP again,
// not verified, and no offshore value of it or of an earlier destination stays in force.
void AbandonSetup() {
    const std::string entered = rating.gOffshoreDestZip;
    ClearOffshoreValues();
    if (!entered.empty()) tariff.gDestZip = entered;
    tariff.gDestCityState.clear();
    tariff.gDestCountry = 99;
}

bool IsMilitaryZip(const std::string& zip) {
    if (!ReadsAsNumber(zip)) return false;
    const double z = Val(zip);
    for (size_t i = 1; i < tariff.gHIMilitaryZips.size(); ++i) {
        const std::string& m = tariff.gHIMilitaryZips[i];
        if (!m.empty() && Val(m) == z) return true;
    }
    return false;
}

bool IsMilitaryCity(const std::string& city) {
    const std::string head = Left(Upper(city), 8);
    for (const char* m : {"NORTHWAY", "FT WAINW", "FAIRBANK", "FT RICHA", "ANCHORAG"})
        if (head == m) return true;
    return false;
}

// The military question for a destination that may be a base.
bool AskIfMilitary(bool mayBeBase) {
    if (!offshore.gAskMilitaryBase) return false;  // answered for this destination already
    offshore.gMilitary = false;
    if (!mayBeBase) return false;
    // A question left without Done takes the option it proposed, never the answer given for
    // some earlier destination.
    offshore.gMilitaryAnswer = false;
    AskMilitary();
    offshore.gMilitary = offshore.gMilitaryAnswer;
    return offshore.gMilitaryAnswer;
}

}  // namespace

bool IsHawaiiWillCallZip(const std::string& zip) {
    for (const char* z : {"96742", "96729", "96748", "96757", "96763"})
        if (zip == z) return true;
    return false;
}

const char* OffshoreName(const std::string& state) {
    return state == "PR"   ? "Puerto Rico"
           : state == "HI" ? "Hawaii"
           : state == "AK" ? "Alaska"
                           : nullptr;
}

bool SetupOffshore(const std::string& state) {
    const char* name = OffshoreName(state);
    if (!name) return true;
    try {
        offshore.gOffshoreName = name;
        rating.gOffshoreDestZip = tariff.gDestZip;
        tariff.gOffshoreState = state;
        if (state == "PR")
            SetupPuertoRico();
        else if (state == "HI")
            SetupHawaii();
        else
            SetupAlaska();
        return true;
    } catch (const SetupFailure& failure) {
        AbandonSetup();
        RatingMessage(failure.text, 48, "Data Entry Error");
    } catch (const TariffDataError& error) {
        AbandonSetup();
        RatingMessage(error.what(), 48, "Tariff Data Error");
    } catch (...) {
        AbandonSetup();
        throw;
    }
    return false;
}

void ClearOffshoreValues() {
    offshore.gOffshoreName.clear();
    rating.gOffshoreDestZip.clear();
    tariff.gOffshoreState.clear();
    SetKind(false, false, false);
    offshore.gOffshoreZone = 0;
    offshore.gOffshoreCity.clear();
    offshore.gAKCommaPos = 0;
}

bool CheckMilitaryZip(const std::string& zip) {
    return AskIfMilitary(IsMilitaryZip(zip));
}

bool AskMilitaryBase(const std::string& city) {
    return AskIfMilitary(IsMilitaryCity(city));
}

std::string PickWestCoastPort(const std::string& /*zip*/) {
    std::string chosen = kWestCoastPorts[0];
    const int16_t origin = tariff.gOrigSubscript;
    // Without a placed origin there is no lane to compare; the rating request checks the lane
    // to the default port once the origin is known.
    if (origin < 1 || origin > kLaneSide) return chosen;
    int32_t best = 999;
    for (const char* port : kWestCoastPorts) {
        const int16_t d = ZipSubscript(Left(port, 3));
        const int32_t lane = static_cast<int32_t>(Val(GetLaneCode(GridCellNumber(origin, d))));
        // A port the carrier does not reach from this origin is no gateway, however low the
        // row its no-service code carries.
        if (lane == kNoServiceLane) continue;
        const int32_t row = lane % 1000;
        if (row < best) {
            best = row;
            chosen = port;
        }
    }
    return chosen;
}

void AnswerPRPort(bool elizabeth) {
    offshore.gPRPort = elizabeth ? kElizabethPort : kJacksonvillePort;
    offshore.gAskPRPort = false;
}

void AnswerMilitary(bool yes) {
    offshore.gMilitaryAnswer = yes;
    offshore.gAskMilitaryBase = false;
}

void SetPRPortQuestion(PRPortQuestion question) {
    PortQuestion() = std::move(question);
}
void SetMilitaryQuestion(MilitaryQuestion question) {
    BaseQuestion() = std::move(question);
}
void SetOffshoreDialogs(PRPortQuestion portDialog, MilitaryQuestion militaryDialog) {
    PortDialog() = std::move(portDialog);
    BaseDialog() = std::move(militaryDialog);
}
void SetDestEntryTextQuery(DestEntryTextQuery query) {
    EntryTextQuery() = std::move(query);
}
