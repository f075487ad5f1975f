#include "discountstore.h"

#include <cctype>

#include "database.h"
#include "discounts.h"
#include "geography.h"
#include "lanes.h"
#include "numbers.h"
#include "tariffdb.h"
#include "text.h"

CustomisationState customisation;

namespace {

const char* const kOperatingRegions[] = {"QZA", "QZB", "QZD", "QZF"};

// The settings start-up loaded, with the default a missing key reads as.
std::string Setting(const char* key, const char* fallback) {
    const auto it = tariff.startupValues.find(key);
    return it != tariff.startupValues.end() ? it->second : std::string(fallback);
}
std::string FloorSetting(const char* key) {
    return Setting(key, "00.00");
}
std::string DiscSetting(const char* key) {
    return Setting(key, "00.0");
}

Recordset& Cursor(std::shared_ptr<Recordset>& rs, const char* table) {
    if (!rs) throw DbError(kErrObjectClosed, std::string("The table ") + table + " is not open.");
    return *rs;
}

bool AllDigits(const std::string& t) {
    if (t.empty()) return false;
    for (unsigned char c : t)
        if (!std::isdigit(c)) return false;
    return true;
}

// A run of digits with at most one point: what the percentage boxes let through.
bool IsPlainNumber(const std::string& t) {
    if (t.empty() || t == ".") return false;
    int points = 0;
    for (unsigned char c : t) {
        if (c == '.') {
            if (++points > 1) return false;
        } else if (!std::isdigit(c)) {
            return false;
        }
    }
    return true;
}

// Both formats work alike: a whole number of one or two digits gets its decimals, a number
// with its point in third place is padded to `decimals` places; anything else is malformed.
std::string FormatPct(const std::string& text, size_t decimals, const char* bad) {
    const std::string t = Trim(text);
    if (!IsPlainNumber(t)) return bad;
    const std::string zeros(decimals, '0');
    const size_t n = t.size();
    if (n == 1 && AllDigits(t)) return "0" + t + "." + zeros;
    if (n == 2 && AllDigits(t)) return t + "." + zeros;
    if (n >= 3 && n <= 3 + decimals && t[2] == '.' && AllDigits(t.substr(0, 2)))
        return t + std::string(3 + decimals - n, '0');
    return bad;
}

}  // namespace

void ThrowMissingPricingRow(const std::string& text) {
    ThrowIfCustomerPricingDamaged();
    throw MissingPricingRow(text);
}

std::string DescribeRow(const std::string& location, int region, uint8_t ibob) {
    return std::string(ibob == kInbound ? "the inbound" : "the outbound") + " row of " + location +
           ", region " + std::to_string(region);
}

uint8_t DefaultRegionOfState(const std::string& location, const std::string& stateRegion) {
    const std::string own = RegionOfZip(location);
    if (stateRegion == own) return 1;
    uint8_t next = 2;
    for (const char* code : kOperatingRegions) {
        if (own == code) continue;
        if (next == 4) break;
        if (stateRegion == code) return next;
        ++next;
    }
    return 4;
}

void AddShipLocStates(const std::string& location) {
    Recordset& states = Cursor(tariff.rsStates, "states");
    // Every row of the state list, however many the list holds.
    for (const StateRow& row : tariff.gStateTable) {
        if (row.code.empty()) continue;
        states.AddNew();
        states.SetField("State", row.code);
        states.SetField("zip", location);
        states.SetField("region", static_cast<int>(DefaultRegionOfState(location, row.region)));
        states.Update();
    }
}

void AddShipLocDiscounts(const std::string& location) {
    const uint8_t n = MaxRegionOfShipLoc(location);
    for (int r = 1; r <= n; ++r) {
        AddDiscountRow(location, static_cast<int16_t>(r), kInbound);
        AddDiscountRow(location, static_cast<int16_t>(r), kOutbound);
    }
}

void AddShipLocProfiles(const std::string& location) {
    const uint8_t n = MaxRegionOfShipLoc(location);
    for (int r = 1; r <= n; ++r) {
        AddFAKRow(location, static_cast<int16_t>(r), kInbound);
        AddFAKRow(location, static_cast<int16_t>(r), kOutbound);
    }
}

void AddRegionRows(const std::string& location, uint8_t region) {
    AddDiscountRow(location, region, kInbound);
    AddDiscountRow(location, region, kOutbound);
    AddFAKRow(location, region, kInbound);
    AddFAKRow(location, region, kOutbound);
}

void AddDiscountRow(const std::string& location, int16_t region, uint8_t ibob) {
    Recordset& discounts = Cursor(tariff.rsDiscounts, "discounts");
    NewRowDefaults(location, region, ibob);
    discounts.AddNew();
    discounts.SetField("zip", location);
    discounts.SetField("region", static_cast<int>(region));
    discounts.SetField("IBOB", static_cast<int>(ibob));
    discounts.SetField("Floor", customisation.gNewRowFloor);
    for (const char* field : kBreakFields) discounts.SetField(field, customisation.gNewRowDisc);
    discounts.Update();
}

void AddFAKRow(const std::string& location, int16_t region, uint8_t ibob) {
    Recordset& fak = Cursor(tariff.rsFaktable, "faktable");
    fak.AddNew();
    fak.SetField("zip", location);
    fak.SetField("region", static_cast<int>(region));
    fak.SetField("IBOB", static_cast<int>(ibob));
    fak.SetField("profil", kIdentityProfile);
    fak.Update();
}

void NewRowDefaults(const std::string& location, int16_t region, uint8_t ibob) {
    const std::string own = RegionOfZip(location);
    std::string& floor = customisation.gNewRowFloor;
    std::string& disc = customisation.gNewRowDisc;
    if (own == "QZF") {
        // A Canadian location: its own country is region 1, the United States the rest.
        if (region >= 2 && region <= 4) {
            floor = FloorSetting("FLOOR_canadaus");
            disc = DiscSetting(ibob == kInbound ? "DISC_USA_Canada" : "DISC_Canada_US");
        } else {
            floor = "00.00";
            disc = DiscSetting("DISC_CanadaDefault");
        }
        return;
    }
    const char* ownFloor = own == "QZA"   ? "FLOOR_qzainter"
                           : own == "QZB" ? "FLOOR_qzbinter"
                                          : "FLOOR_qzdinter";
    if (region == 2 || region == 3) {
        floor = FloorSetting("FLOOR_jointline");
        disc = DiscSetting("DISC_USADefault");
    } else if (region == 4) {
        floor = FloorSetting("FLOOR_canadaus");
        disc = DiscSetting(ibob == kInbound ? "DISC_Canada_US" : "DISC_USA_Canada");
    } else {
        floor = FloorSetting(ownFloor);
        disc = DiscSetting("DISC_USADefault");
    }
}

void SetStateRegion(const std::string& stateName, uint8_t region, const std::string& location) {
    const std::string code = StateCodeOfName(stateName);
    tariff.gDB->Execute("UPDATE states SET region = ?1 WHERE zip = ?2 AND State = ?3",
                        {static_cast<int>(region), location, code});
}

uint8_t MaxRegionOfShipLoc(const std::string& location) {
    Snapshot rows = tariff.gDB->OpenSnapshot(
        "SELECT Max(region) AS Expr1 FROM states WHERE zip = ?1", {location});
    if (rows.AtEOF()) return 0;
    const int64_t max = rows.Field("Expr1").toInt();
    return max > 0 && max <= 255 ? static_cast<uint8_t>(max) : 0;
}

std::string StateCodeOfName(const std::string& name) {
    for (const StateRow& row : tariff.gStateTable)
        if (row.name == name) return row.code;
    return {};
}

std::string StateOfZip(const std::string& location) {
    if (location == kDefaultProgram || !AllDigits(location)) return {};
    std::string first;
    try {
        first = FirstZipOfPrefix(location);
    } catch (const TariffDataError&) {
        return {};
    }
    Snapshot rows = tariff.gDB->OpenSnapshot(
        "SELECT State FROM us_cities WHERE zip = ?1 ORDER BY rowid LIMIT 1", {first});
    return rows.AtEOF() ? std::string() : Trim(rows.Field("State").str());
}

uint8_t RegionOfStateName(const std::string& stateName, const std::string& location) {
    const std::string code = StateCodeOfName(stateName);
    Snapshot rows = tariff.gDB->OpenSnapshot(
        "SELECT region FROM states WHERE State = ?1 AND zip = ?2 ORDER BY rowid LIMIT 1",
        {code, location});
    if (rows.AtEOF()) return 0;
    const int64_t region = rows.Field("region").toInt();
    return region >= 0 && region <= 255 ? static_cast<uint8_t>(region) : 0;
}

std::string FormatPct1(const std::string& text) {
    return FormatPct(text, 1, kBadPct1);
}

std::string FormatPct2(const std::string& text) {
    return FormatPct(text, 2, kBadPct2);
}

bool IsTieredRow() {
    Recordset& discounts = Cursor(tariff.rsDiscounts, "discounts");
    for (size_t i = 0; i + 1 < kBreakFields.size(); ++i)
        if (discounts.Field(kBreakFields[i]).str() != discounts.Field(kBreakFields[i + 1]).str())
            return true;
    return false;
}

std::string DiscountBoxText() {
    return IsTieredRow() ? kTierText : tariff.rsDiscounts->Field("d5c").str();
}

void AllOrNothing(const std::function<void()>& change) {
    try {
        InTransaction(*tariff.gDB, change);
    } catch (...) {
        // A partly made row must not stay pending on a table's cursor after a failure.
        for (auto* rs :
             {&tariff.rsShipzips, &tariff.rsStates, &tariff.rsDiscounts, &tariff.rsFaktable})
            if (*rs) (*rs)->CancelUpdate();
        throw;
    }
}
