#include "fulldiscounts.h"

#include <functional>
#include <optional>

#include "discounts.h"
#include "discountstore.h"
#include "lanes.h"
#include "msgbox.h"
#include "regioncolours.h"
#include "regionmap.h"
#include "shiplocations.h"
#include "tariffdb.h"
#include "text.h"

std::string& FullDiscountValues::operator[](FullBox box) {
    switch (box) {
        case FullBox::IBDisc:
            return txtIBDisc;
        case FullBox::IBFloor:
            return txtIBFloor;
        case FullBox::OBDisc:
            return txtOBDisc;
        case FullBox::OBFloor:
            break;
    }
    return txtOBFloor;
}

uint8_t DirectionOf(FullBox box) {
    return box == FullBox::IBDisc || box == FullBox::IBFloor ? kInbound : kOutbound;
}

bool IsFloorBox(FullBox box) {
    return box == FullBox::IBFloor || box == FullBox::OBFloor;
}

void FillShipLocs(FullDiscountValues& v) {
    v.locations.clear();
    for (const auto& zip : StoredShipLocations()) v.locations.push_back(zip.substr(0, 3));
    v.lblShipLoc = v.locations.empty()
                       ? "This discount program applies to all shipments"
                       : "This discount program applies to your shipping location at ZIP/postal "
                         "zone:";
    v.locations.push_back(kDefaultProgram);
}

void SetZoneCaptions(FullDiscountValues& v, const std::string& location) {
    v.lblZIPZone = "Shipments between ZIP/Postal zone " + location + " and";
    v.lblIBZone = "I/B to ZIP/Postal zone " + location;
    v.lblOBZone = "O/B from ZIP/Postal zone " + location;
}

std::vector<std::string> RegionItems(int maxRegion) {
    std::vector<std::string> items;
    for (int i = 1; i <= std::min(maxRegion, kMaxRegions); ++i)
        items.push_back("Region" + std::to_string(i));
    return items;
}

std::vector<std::string> FillRegionList(const std::string& location, bool newRegion) {
    if (newRegion)
        ++customisation.gMaxRegion;
    else
        customisation.gMaxRegion = MaxRegionOfShipLoc(location);
    return RegionItems(customisation.gMaxRegion);
}

bool HasStateRow(const std::string& code, const std::string& location) {
    Snapshot s = tariff.gDB->OpenSnapshot(
        "SELECT count(*) FROM states WHERE State = ?1 AND zip = ?2", {code, location});
    return s.Field(size_t{0}).toInt() > 0;
}

namespace {

Recordset& DiscountRow(const std::string& location, uint8_t region, uint8_t ibob) {
    if (!FindDiscountRow(location, region, ibob))
        ThrowMissingPricingRow("The discounts have no " + DescribeRow(location, region, ibob) +
                               ".");
    return *tariff.rsDiscounts;
}

bool HasRow(const char* table, const std::string& location, uint8_t region, uint8_t ibob) {
    Snapshot s =
        tariff.gDB->OpenSnapshot(std::string("SELECT count(*) FROM ") + table +
                                     " WHERE zip = ?1 AND region = ?2 AND IBOB = ?3",
                                 {location, static_cast<int>(region), static_cast<int>(ibob)});
    return s.Field(size_t{0}).toInt() > 0;
}

void WriteFloor(const std::string& location, uint8_t region, uint8_t ibob,
                const std::string& floor) {
    Recordset& row = DiscountRow(location, region, ibob);
    row.Edit();
    row.SetField("Floor", floor);
    row.Update();
}

}  // namespace

void ShowDiscountTiers(FullDiscountValues& v, const std::string& location, uint8_t region) {
    DiscountRow(location, region, kInbound);
    std::string ibDisc = DiscountBoxText();
    std::string ibFloor = tariff.rsDiscounts->Field("Floor").str();
    // Looked up by its own key: the store's order of rows is no promise to lean on.
    DiscountRow(location, region, kOutbound);
    v.txtOBDisc = DiscountBoxText();
    v.txtOBFloor = tariff.rsDiscounts->Field("Floor").str();
    v.txtIBDisc = std::move(ibDisc);
    v.txtIBFloor = std::move(ibFloor);
}

int AddMissingRegionRows(const std::string& location, uint8_t region) {
    int added = 0;
    AllOrNothing([&] {
        for (uint8_t ibob : {kInbound, kOutbound})
            if (!HasRow("discounts", location, region, ibob)) {
                AddDiscountRow(location, region, ibob);
                ++added;
            }
        for (uint8_t ibob : {kInbound, kOutbound})
            if (!HasRow("faktable", location, region, ibob)) {
                AddFAKRow(location, region, ibob);
                ++added;
            }
    });
    return added;
}

void PickRegion(FullDiscountValues& v, const std::string& location, uint8_t region) {
    customisation.gRegion = region;
    RegionColour(region);
    try {
        ShowDiscountTiers(v, location, region);
    } catch (const MissingPricingRow&) {
        // Boxes left showing another region's values would be written to this one.
        AddMissingRegionRows(location, region);
        ShowDiscountTiers(v, location, region);
    }
}

void EnterBox(FullDiscountValues& v, FullBox box) {
    if (IsFloorBox(box))
        v.mOldFloorText = v[box];
    else
        customisation.gOldDiscText = v[box];
}

namespace {

// Writes a box's entry; when the database refuses it the box shows again what its row holds
// (or, if the row cannot even be read, what it showed on entry), never an entry not stored.
void WriteBox(FullDiscountValues& v, FullBox box, const std::string& entryText,
              const std::function<void(Recordset&)>& write) {
    try {
        write(DiscountRow(customisation.gShipLoc, customisation.gRegion, DirectionOf(box)));
    } catch (...) {
        tariff.rsDiscounts->CancelUpdate();
        try {
            DiscountRow(customisation.gShipLoc, customisation.gRegion, DirectionOf(box));
            v[box] = IsFloorBox(box) ? tariff.rsDiscounts->Field("Floor").str() : DiscountBoxText();
        } catch (const std::exception&) {
            v[box] = entryText;
        }
        throw;
    }
}

bool LeaveDiscountBox(FullDiscountValues& v, FullBox box) {
    if (v.mSkipLostFocus) {
        v.mSkipLostFocus = false;
        return true;
    }
    std::string& text = v[box];
    if (text != kTierText) {
        const std::string f = FormatPct1(text);
        if (f == kBadPct1) {
            ShowMessage(
                QStringLiteral("Discount must be between 00.0 and 99.9.  Please try again."),
                kMsgOK, QStringLiteral("Data Entry Error"));
            text = customisation.gOldDiscText;
            return false;
        }
        text = f;
    }
    if (Trim(text) != kTierText) {
        WriteBox(v, box, customisation.gOldDiscText, [&text](Recordset& row) {
            row.Edit();
            for (const char* field : kBreakFields) row.SetField(field, text);
            row.Update();
        });
    }
    v.mSkipLostFocus = false;
    return true;
}

bool LeaveFloorBox(FullDiscountValues& v, FullBox box) {
    std::string& text = v[box];
    const std::string f = FormatPct2(text);
    if (f == kBadPct2) {
        ShowMessage(QStringLiteral("Floor must be in this format '99.99'.  Please try again"),
                    kMsgOK, QStringLiteral("Invalid format"));
        text = v.mOldFloorText;
        return false;
    }
    text = f;
    WriteBox(v, box, v.mOldFloorText, [&text](Recordset& row) {
        row.Edit();
        row.SetField("Floor", text);
        row.Update();
    });
    return true;
}

}  // namespace

bool LeaveBox(FullDiscountValues& v, FullBox box) {
    return IsFloorBox(box) ? LeaveFloorBox(v, box) : LeaveDiscountBox(v, box);
}

uint8_t CreateNewRegion(FullDiscountValues& v, const std::string& location) {
    customisation.gMaxRegion = MaxRegionOfShipLoc(location);
    if (customisation.gMaxRegion >= kMaxRegions) {
        ShowMessage(QStringLiteral("The maximum number of discount regions has been reached."),
                    kMsgOK, QStringLiteral("No regions available"));
        return 0;
    }
    const auto region = static_cast<uint8_t>(customisation.gMaxRegion + 1);
    // A region created before and given no state yet has its rows: they are used again.
    AddMissingRegionRows(location, region);
    customisation.gNewRegion = true;
    PickRegion(v, location, region);
    return region;
}

bool ClickMapState(RegionMapControl& control, FullDiscountValues& v, const std::string& name) {
    const std::string code = StateCodeOfName(name);
    if (code.empty()) return false;
    const std::string& location = customisation.gShipLoc;
    const uint8_t region = customisation.gRegion;
    // The state, and with it its floors, moves whole or not at all; the map shows it once stored.
    std::optional<std::string> floor;
    AllOrNothing([&] {
        // A state of the list that the location has no row for gets one.
        if (!HasStateRow(code, location))
            tariff.gDB->Execute("INSERT INTO states (State, zip, region) VALUES (?1, ?2, ?3)",
                                {code, location, static_cast<int>(region)});
        else
            SetStateRegion(name, region, location);
        floor = IntrastateFloor(region, StateOfZip(location), code, RegionOfZip(location));
        if (!floor) return;
        WriteFloor(location, region, kInbound, *floor);
        WriteFloor(location, region, kOutbound, *floor);
    });
    // The colour of the region as stored, whatever the last drawing left current.
    const uint8_t stored = RegionOfStateName(name, location);
    PaintMapPolygon(control, name, RegionColourOf(stored).value_or(customisation.gRegionRGB));
    if (floor) ShowDiscountTiers(v, location, region);
    return true;
}
