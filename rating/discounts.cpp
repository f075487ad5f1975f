#include "discounts.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "geography.h"
#include "lanes.h"
#include "numbers.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"

namespace {


// The carrier's minimum discounts by lane flag; nullptr where the flag sets none.
using MinimumRow = std::array<const char*, 11>;
constexpr MinimumRow kUpperMidwest = {"52.0", "52.0", "52.0", "52.0", "52.0", "52.0",
                                      "52.0", "52.0", "52.0", "52.0", "52.0"};
constexpr MinimumRow kChicago = {nullptr, nullptr, nullptr, nullptr, "30.0", "30.0",
                                 "30.0",  "65.0",  "65.0",  "65.0",  "65.0"};
constexpr MinimumRow kAtlanta = {nullptr, "30.0", "30.0", "52.0", "52.0", "52.0",
                                 "52.0",  "65.0", "65.0", "65.0", "65.0"};
constexpr MinimumRow kEastWest = {nullptr, nullptr, nullptr, nullptr, nullptr, "30.0",
                                  "40.0",  "50.0",  "50.0",  "50.0",  "50.0"};

void RaiseTo(const MinimumRow& minimums) {
    for (size_t b = 0; b < 11; ++b)
        if (minimums[b] && Val(rating.gBreakDisc[b]) < Val(minimums[b]))
            rating.gBreakDisc[b] = minimums[b];
}

enum class Direction { Outbound, Inbound, Neither };

// The discount row of a location, region and direction, as the engine reads it.
struct DiscountRow {
    std::array<std::string, 11> pct;
    std::string floor;
};

const char* DirectionName(uint8_t ibob) {
    return ibob == 1 ? "inbound" : "outbound";
}

// What the discount editors store: a percentage "NN.N" and a floor "NN.NN". A floor also comes
// from the carrier's FLOOR_ settings, which no box limits, so its bound only keeps out a figure
// no floor could be.
constexpr NumberRule kDiscountRule{0, 99.9, false};
constexpr NumberRule kFloorRule{0, 9999.99, false};
constexpr const char* kFields[12] = {"Floor", "dmc",  "dL5C", "d5c",  "d1m",  "d2m",
                                     "d5m",   "d10m", "d15m", "d20m", "d25m", "d30m"};

// A value of a discount row that is no figure the editors store is named: read as the platform
// reads numbers it would price "abc" as no discount and "7,5" as 75 %.
std::string CheckedField(const Value& value, size_t field, const std::string& zip, uint8_t region,
                         uint8_t ibob) {
    const std::string text = value.str();
    const NumberRule& rule = field == 0 ? kFloorRule : kDiscountRule;
    if (!value.isNull() && StoredNumberIn(text, rule)) return text;
    throw StoredValueError(DamagedValueText(
        "The field " + std::string(kFields[field]) + " of the " + DirectionName(ibob) +
            " discounts of shipping location " + zip + ", region " + std::to_string(region) +
            " (table discounts)",
        text, value.isNull(), rule,
        "Set them again under Customize, Discounts/F.A.K.s... in the main window"));
}

// The first row of the key in table order, read through a statement prepared once: the engine
// needs only the values, not the table standing on the row.
bool ReadDiscountRow(const std::string& zip, uint8_t region, uint8_t ibob, DiscountRow& row) {
    static const std::string sql =
        "SELECT Floor, dmc, dL5C, d5c, d1m, d2m, d5m, d10m, d15m, d20m, d25m, d30m "
        "FROM discounts WHERE zip = ?1 AND region = ?2 AND IBOB = ?3 ORDER BY rowid LIMIT 1";
    const auto* found =
        tariff.gDB->LookUp(sql, {zip, static_cast<int>(region), static_cast<int>(ibob)});
    if (!found) return false;
    row.floor = CheckedField((*found)[0], 0, zip, region, ibob);
    for (size_t b = 0; b < 11; ++b)
        row.pct[b] = CheckedField((*found)[b + 1], b + 1, zip, region, ibob);
    return true;
}

// The row LoadBreakDiscounts has just read, so that the floor does not read it again.
struct LoadedRow {
    std::string zip;
    uint8_t region = 0, ibob = 0;
    const DiscountRow* row = nullptr;
};

std::string FloorOfRow(const std::string& zip, uint8_t region, uint8_t ibob,
                       const LoadedRow& loaded) {
    if (loaded.row && loaded.zip == zip && loaded.region == region && loaded.ibob == ibob)
        return loaded.row->floor;
    DiscountRow row;
    return ReadDiscountRow(zip, region, ibob, row) ? row.floor : std::string();
}

std::string LaneFloor(const std::string& origState, const std::string& destState,
                      const LoadedRow& loaded);

Direction LaneDirection() {
    if (rating.gOutbound) return Direction::Outbound;
    if (rating.gInbound) return Direction::Inbound;
    return Direction::Neither;
}

std::string FloorSetting(const char* key) {
    auto it = tariff.startupValues.find(key);
    return it != tariff.startupValues.end() ? it->second : std::string("00.00");
}

// The floor of a lane between Canada and the United States, judged on the Canadian end.
std::string CrossBorderFloor(const std::string& province, const std::string& code) {
    std::string floor = FloorSetting(province == "NT" || province == "YT" ? "FLOOR_YTNT_us"
                                                                          : "FLOOR_canadaus");
    if (IsBCMetroPostal(code)) floor = FloorSetting("FLOOR_bcus");
    return floor;
}

std::string RegionFloor(const std::string& key, const std::string& origState,
                        const std::string& destState) {
    const bool sameState = origState == destState;
    if (key == "QZDQZA" || key == "QZAQZD" || key == "QZDQZB" || key == "QZBQZD" ||
        key == "QZAQZB" || key == "QZBQZA")
        return FloorSetting("FLOOR_jointline");
    if (key == "QZAQZA") return FloorSetting(sameState ? "FLOOR_qzaintra" : "FLOOR_qzainter");
    if (key == "QZBQZB") return FloorSetting(sameState ? "FLOOR_qzbintra" : "FLOOR_qzbinter");
    if (key == "QZDQZD") {
        if (origState == "CA" && destState == "CA") return FloorSetting("FLOOR_qzdcalif");
        return FloorSetting(sameState ? "FLOOR_qzdintra" : "FLOOR_qzdinter");
    }
    if (key == "QZFQZF") return FloorSetting("FLOOR_qzfintra");
    if (key.rfind("QZF", 0) == 0) return CrossBorderFloor(origState, tariff.gOrigZip);
    if (key.size() == 6 && key.compare(3, 3, "QZF") == 0)
        return CrossBorderFloor(destState, tariff.gDestZip);
    return "";
}

}  // namespace

void SetLaneFlags(const std::string& origZip3, const std::string& destZip3,
                  const std::string& origState, const std::string& destState, uint8_t /*fifth*/,
                  const std::string& destZip) {
    rating.gUpperMidwest = rating.gChicagoZip = rating.gAtlantaDiscZip = false;
    rating.gEastWestCanada = false;

    rating.gUpperMidwest = origState == "MN" || origState == "ND" || origState == "NE" ||
                           origState == "SD";
    // Puerto Rico from the central region gets the upper-midwest minimums too.
    if (!rating.gUpperMidwest && tariff.gOffshoreState == "PR" &&
        RegionOfZip(origZip3) == "QZA")
        rating.gUpperMidwest = true;

    if (ReadsAsNumber(destZip3)) {
        const double prefix = Val(destZip3);
        rating.gChicagoZip = prefix >= 600 && prefix <= 608;
    }
    if (ReadsAsNumber(destZip)) {
        tariff.rsAtlantaDiscZips->Seek("=", {destZip});
        rating.gAtlantaDiscZip = !tariff.rsAtlantaDiscZips->NoMatch();
    }
    rating.gEastWestCanada = (IsWesternProvince(destState) && IsEasternProvince(origState)) ||
                             (IsEasternProvince(destState) && IsWesternProvince(origState));
}

void ThrowIfCustomerPricingDamaged() {
    // Limited to the tables a rating and the editors look the customer's rows up in, with their
    // indexes: the check of a small table is quick, the whole file's would not be.
    for (const char* table : {"discounts", "states", "shipzips", "faktable", "Thriftlane"}) {
        Snapshot check =
            tariff.gDB->OpenSnapshot("PRAGMA quick_check(\"" + std::string(table) + "\")");
        if (check.AtEOF() || check.Field(size_t{0}).str() != "ok")
            throw DamagedDatabase(TariffDatabasePath());
    }
}

bool FindDiscountRow(const std::string& zip, uint8_t region, uint8_t ibob) {
    Recordset& disc = *tariff.rsDiscounts;
    disc.Seek("=", {zip, static_cast<int>(region)});
    // The rows of the location and region follow one another on the index; the walk never
    // goes past them, so a caller can never edit another location's row by mistake.
    while (!disc.NoMatch() && !disc.AtEOF() && disc.HasCurrent() &&
           SameText(disc.Field("zip").str(), zip) && disc.Field("region").toInt() == region) {
        if (disc.Field("IBOB").toInt() == ibob) return true;
        disc.MoveNext();
    }
    // Leave no current row: a Seek on a Null key never matches.
    disc.Seek("=", {Value()});
    return false;
}

uint8_t RegionOfStateZip(const std::string& state, const std::string& zip) {
    static const std::string sql =
        "SELECT region FROM states WHERE State = ?1 AND zip = ?2 ORDER BY rowid LIMIT 1";
    const auto* found = tariff.gDB->LookUp(sql, {state, zip});
    const int64_t region = found ? (*found)[0].toInt() : 0;
    return region >= 0 && region <= 255 ? static_cast<uint8_t>(region) : 0;
}

void LoadBreakDiscounts(const std::string& origZip3, const std::string& destZip3,
                        const std::string& origState, const std::string& destState) {
    std::string location;
    uint8_t region = 0, ibob = 0;
    switch (LaneDirection()) {
        case Direction::Outbound:
            location = origZip3;
            region = RegionOfStateZip(destState, origZip3);
            ibob = 0;
            break;
        case Direction::Inbound:
            location = destZip3;
            region = RegionOfStateZip(origState, destZip3);
            ibob = 1;
            break;
        case Direction::Neither: {
            location = "ALL";
            const int countries = tariff.gOrigCountry + tariff.gDestCountry;
            region = countries == 0 ? 1 : countries == 1 ? 4 : 254;
            ibob = countries == 1 && tariff.gOrigCountry == 1 ? 1 : 0;
            break;
        }
    }
    // Without its row the lane has no discounts to read; rating it at none would mislead. A
    // damaged index finds no row either, without an error: that is named as damage.
    DiscountRow row;
    if (!ReadDiscountRow(location, region, ibob, row)) {
        ThrowIfCustomerPricingDamaged();
        throw RatingRefusal("There are no " + std::string(DirectionName(ibob)) +
                                " discounts for shipping location " + location + ", region " +
                                std::to_string(region) +
                                ".  Please enter them under Discounts/F.A.K.s and rate again.",
                            "Discounts Missing");
    }
    for (size_t b = 0; b < 11; ++b) {
        rating.gBreakDisc[b] = row.pct[b];
        rating.gBreakDisc2[b] = row.pct[b];
    }

    rating.gLaneFloor = LaneFloor(origState, destState, {location, region, ibob, &row});

    if (rating.gUpperMidwest) RaiseTo(kUpperMidwest);
    if (rating.gChicagoZip) RaiseTo(kChicago);
    if (rating.gAtlantaDiscZip) RaiseTo(kAtlanta);
    if (rating.gEastWestCanada) RaiseTo(kEastWest);
}

std::string GetLaneFloorKey(const std::string& origState, const std::string& destState) {
    return LaneFloor(origState, destState, LoadedRow{});
}

namespace {
std::string LaneFloor(const std::string& origState, const std::string& destState,
                      const LoadedRow& loaded) {
    rating.gOrigRegion = RegionOfZip(tariff.gOrigZip);
    rating.gDestRegion = RegionOfZip(tariff.gDestZip);
    const std::string key = rating.gOrigRegion + rating.gDestRegion;

    switch (LaneDirection()) {
        case Direction::Outbound:
            return FloorOfRow(tariff.gOrigZip3, RegionOfStateZip(destState, tariff.gOrigZip3), 0,
                              loaded);
        case Direction::Inbound:
            return FloorOfRow(tariff.gDestZip3, RegionOfStateZip(origState, tariff.gDestZip3), 1,
                              loaded);
        case Direction::Neither:
            break;
    }

    std::string floor = RegionFloor(key, origState, destState);
    if (IsFloridaKeysZip(tariff.gDestZip)) floor = FloorSetting("FLOOR_flakeys");

    const bool origUS = ReadsAsNumber(tariff.gOrigZip);
    const bool destUS = ReadsAsNumber(tariff.gDestZip);
    std::string allFloor;
    if (origUS && destUS)
        allFloor = FloorOfRow("ALL", 1, 0, loaded);
    else if (origUS)
        allFloor = FloorOfRow("ALL", 4, 0, loaded);
    else if (destUS)
        allFloor = FloorOfRow("ALL", 4, 1, loaded);
    if (Val(allFloor) > 0) floor = allFloor;
    return floor;
}
}  // namespace

bool IsHCDRZip(const std::string& zip) {
    const std::string first3 = zip.substr(0, 3);
    bool answer;
    if (!ReadsAsNumber(first3)) {
        answer = !zip.empty() && zip[0] == 'V';
    } else {
        tariff.rsHCDRS235->Seek("=", {zip});
        answer = !tariff.rsHCDRS235->NoMatch();
    }
    if (first3 == "124" || first3 == "127" || first3 == "941") answer = true;
    return answer;
}
