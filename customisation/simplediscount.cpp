#include "simplediscount.h"

#include <QString>

#include "database.h"
#include "discounts.h"
#include "discountstore.h"
#include "msgbox.h"
#include "numbers.h"
#include "tariffdb.h"

namespace {

const SimpleDiscountValues* gLoaded = nullptr;

constexpr const char* kFormatMessage = "Discount must be in this format '99.9'. Please try again";
// The Canadian box has always said it with two blanks and a full stop.
constexpr const char* kCanadaFormatMessage =
    "Discount must be in this format '99.9'.  Please try again.";
constexpr const char* kFloorMessage = "Floor must be in this format '99.99'.  Please try again";

void Show(const std::string& text, const char* title) {
    ShowMessage(QString::fromStdString(text), kMsgOK, QString::fromUtf8(title));
}

std::string MinimumMessage(double minimum) {
    return "Discount must be " + std::to_string(static_cast<int>(minimum)) +
           "% or greater. Please try again";
}

// Makes the row of "ALL" current, or says which is missing.
void PositionAllRow(uint8_t region, uint8_t ibob) {
    customisation.gRegion = region;
    customisation.gIBOB = ibob;
    if (!FindDiscountRow(kDefaultProgram, region, ibob))
        ThrowMissingPricingRow("The discounts of the default program are incomplete: " +
                               DescribeRow(kDefaultProgram, region, ibob) +
                               " is missing from the table discounts.");
}

Recordset& EconomyRow() {
    Recordset& thrift = *tariff.rsThriftlane;
    if (!thrift.HasCurrent()) thrift.MoveFirst();
    if (!thrift.HasCurrent())
        ThrowMissingPricingRow(
            "The Thriftlane percentage is missing: the table Thriftlane "
            "has no row.");
    return thrift;
}

void WriteLane(const SimpleLane& lane, const SimpleDiscountValues& v) {
    const std::string& text = v[lane.box];
    const bool tiered = text == kTierText;
    const bool withFloor = lane.box == SimpleBox::USA;
    if (tiered && !withFloor) return;
    PositionAllRow(lane.region, lane.ibob);
    Recordset& discounts = *tariff.rsDiscounts;
    discounts.Edit();
    // A tiered lane keeps the breaks the weight-break editor stored; its floor is still the box.
    if (!tiered)
        for (const char* field : kBreakFields) discounts.SetField(field, text);
    if (withFloor) discounts.SetField("Floor", v[SimpleBox::USAFloor]);
    discounts.Update();
}

}  // namespace

const std::array<SimpleLane, 4>& SimpleLanes() {
    static const std::array<SimpleLane, 4> lanes = {{
        {SimpleBox::USA, 1, 0, 30, 2180, 4450, 10},
        {SimpleBox::USAtoCanada, 4, 0, 52, 3140, 4450, 40},
        {SimpleBox::CanadatoUSA, 4, 1, 60, 3620, 4450, 41},
        {SimpleBox::Canada, 254, 0, 0, 4100, 4250, 0},
    }};
    return lanes;
}

const SimpleLane* LaneOfBox(SimpleBox box) {
    for (const SimpleLane& lane : SimpleLanes())
        if (lane.box == box) return &lane;
    return nullptr;
}

SimpleDiscountValues LoadSimpleDiscounts() {
    customisation.gShipLoc = kDefaultProgram;
    SimpleDiscountValues v;
    for (const SimpleLane& lane : SimpleLanes()) {
        PositionAllRow(lane.region, lane.ibob);
        v[lane.box] = DiscountBoxText();
        if (lane.box == SimpleBox::USA)
            v[SimpleBox::USAFloor] = tariff.rsDiscounts->Field("Floor").str();
    }
    v[SimpleBox::PXS] = EconomyRow().Field("PXSpct").str();
    return v;
}

std::string& SavedText(SimpleDiscountValues& v, SimpleBox box) {
    switch (box) {
        case SimpleBox::USA:
            return v.mOldUSText;
        case SimpleBox::USAFloor:
            return v.mOldUSFloorText;
        case SimpleBox::USAtoCanada:
            return customisation.gOldUSCNText;
        case SimpleBox::CanadatoUSA:
            return customisation.gOldCNUSText;
        case SimpleBox::Canada:
            return customisation.gOldCNCNText;
        case SimpleBox::PXS:
            break;
    }
    return customisation.gOldPXSText;
}

void SaveOnFocus(SimpleDiscountValues& v, SimpleBox box) {
    SavedText(v, box) = v[box];
}

bool EditDiscountBox(SimpleDiscountValues& v, SimpleBox box, std::string& result) {
    std::string& text = v[box];
    if (messages.gMsgShown || text == kTierText) return true;
    const std::string t = FormatPct1(text);
    result = t;
    const SimpleLane* lane = LaneOfBox(box);
    if (t == kBadPct1) {
        Show(box == SimpleBox::Canada ? kCanadaFormatMessage : kFormatMessage, "Invalid format");
        text = SavedText(v, box);
        return false;
    }
    if (lane && lane->minimum > 0 && Val(t) < lane->minimum) {
        Show(MinimumMessage(lane->minimum), "Invalid Value");
        text = SavedText(v, box);
        return false;
    }
    text = t;
    return true;
}

bool EditUSUSDisc(SimpleDiscountValues& v, std::string& r) {
    return EditDiscountBox(v, SimpleBox::USA, r);
}
bool EditUSCNDisc(SimpleDiscountValues& v, std::string& r) {
    return EditDiscountBox(v, SimpleBox::USAtoCanada, r);
}
bool EditCNUSDisc(SimpleDiscountValues& v, std::string& r) {
    return EditDiscountBox(v, SimpleBox::CanadatoUSA, r);
}
bool EditCNCNDisc(SimpleDiscountValues& v, std::string& r) {
    return EditDiscountBox(v, SimpleBox::Canada, r);
}
bool EditPXSDisc(SimpleDiscountValues& v, std::string& r) {
    return EditDiscountBox(v, SimpleBox::PXS, r);
}

bool EditFloor(SimpleDiscountValues& v) {
    std::string& text = v[SimpleBox::USAFloor];
    const std::string f = FormatPct2(text);
    if (f == kBadPct2) {
        Show(kFloorMessage, "Invalid format");
        text = v.mOldUSFloorText;
        return false;
    }
    text = f;
    return true;
}

bool SimpleDiscountDone(SimpleDiscountValues& v, SimpleBox* failed) {
    const SimpleBox order[] = {SimpleBox::PXS, SimpleBox::USA, SimpleBox::USAtoCanada,
                               SimpleBox::CanadatoUSA, SimpleBox::Canada};
    for (SimpleBox box : order) {
        std::string result = " ";
        if (!EditDiscountBox(v, box, result)) {
            if (failed) *failed = box;
            return false;
        }
    }
    // The floor is stored too, so it gets the same check as the discounts.
    if (!EditFloor(v)) {
        if (failed) *failed = SimpleBox::USAFloor;
        return false;
    }
    customisation.gShipLoc = kDefaultProgram;
    try {
        InTransaction(*tariff.gDB, [&] {
            for (const SimpleLane& lane : SimpleLanes()) WriteLane(lane, v);
            Recordset& thrift = EconomyRow();
            thrift.Edit();
            thrift.SetField("PXSpct", v[SimpleBox::PXS]);
            thrift.Update();
        });
    } catch (const std::exception& e) {
        tariff.rsDiscounts->CancelUpdate();
        tariff.rsThriftlane->CancelUpdate();
        Show(std::string(e.what()) + "  Nothing was saved.", "Discounts");
        return false;
    }
    return true;
}

std::string GetPXSPercent() {
    if (gLoaded) return (*gLoaded)[SimpleBox::PXS];
    return EconomyRow().Field("PXSpct").str();
}

void SetLoadedSimpleDiscounts(const SimpleDiscountValues* values) {
    gLoaded = values;
}
