#pragma once
// The default program "ALL" as the simple discount editor shows and stores it: one discount per
// lane, the floor of the domestic lane and the economy-service (Thriftlane) percentage, with the
// checks each box gets when the user leaves it and again on Done.

#include <array>
#include <cstdint>
#include <string>

// The boxes of the editor, in their focus order.
enum class SimpleBox { USA, USAFloor, USAtoCanada, CanadatoUSA, Canada, PXS };
inline constexpr int kSimpleBoxes = 6;

// A lane of the default program: its row, the lowest discount the carrier accepts on it, where
// the pointer and the weight-break editor go, and its FAK lane code.
struct SimpleLane {
    SimpleBox box;
    uint8_t region;
    uint8_t ibob;
    double minimum;   // 0: none
    int pointerTop;   // twips
    int breakLeft;    // twips right of the editor's left edge
    uint8_t fakLane;  // 0: none
};
const std::array<SimpleLane, 4>& SimpleLanes();
const SimpleLane* LaneOfBox(SimpleBox box);

struct SimpleDiscountValues {
    std::array<std::string, kSimpleBoxes> text;  // by SimpleBox
    std::string mOldUSText, mOldUSFloorText;     // the window's own saved texts

    std::string& operator[](SimpleBox b) { return text[static_cast<size_t>(b)]; }
    const std::string& operator[](SimpleBox b) const { return text[static_cast<size_t>(b)]; }
};

// Reads the four lanes, the floor and the percentage. A missing row of "ALL" raises
// MissingPricingRow naming it.
SimpleDiscountValues LoadSimpleDiscounts();

// The text the box held when it last got the focus (kept program-wide for the cross-border,
// Canadian and economy boxes).
std::string& SavedText(SimpleDiscountValues& v, SimpleBox box);
void SaveOnFocus(SimpleDiscountValues& v, SimpleBox box);

// The check of a percentage box. The result receives the normalised text or "XX.X"; it is left
// alone while a message is up or when the box shows "tier". A refused entry has its message
// shown and the saved text put back; the function then returns false.
bool EditUSUSDisc(SimpleDiscountValues& v, std::string& result);
bool EditUSCNDisc(SimpleDiscountValues& v, std::string& result);
bool EditCNUSDisc(SimpleDiscountValues& v, std::string& result);
bool EditCNCNDisc(SimpleDiscountValues& v, std::string& result);
bool EditPXSDisc(SimpleDiscountValues& v, std::string& result);
bool EditDiscountBox(SimpleDiscountValues& v, SimpleBox box, std::string& result);
// The check of the floor box.
bool EditFloor(SimpleDiscountValues& v);

// Done: every box is checked (the first refusal ends it, naming the box in `failed`); then the
// lanes not tiered, the floor and the percentage are written in one step. True when written.
bool SimpleDiscountDone(SimpleDiscountValues& v, SimpleBox* failed = nullptr);

// The economy-service percentage as the editor holds it: the box while the editor is loaded,
// else the stored percentage. The editor says when it is loaded and where its values are.
std::string GetPXSPercent();
void SetLoadedSimpleDiscounts(const SimpleDiscountValues* values);
