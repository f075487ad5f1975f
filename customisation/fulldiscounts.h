#pragma once
// What the full discount editor shows and writes, apart from its widgets: the locations and
// regions it lists, the four boxes of a location's region, the checks and writes on leaving a
// box, a new region, and a click on the region map. The window (frmdiscounts.h) shows these
// values and calls these steps; tests drive them without a window.

#include <cstdint>
#include <string>
#include <vector>

class RegionMapControl;

// Whether the location has a states row for the state (a two-letter code).
bool HasStateRow(const std::string& code, const std::string& location);

// Regions a location can have; the image list has a swatch for each.
inline constexpr int kMaxRegions = 13;

enum class FullBox { IBDisc, IBFloor, OBDisc, OBFloor };

struct FullDiscountValues {
    std::vector<std::string> locations;  // cboShipLoc: the stored locations, then "ALL"
    std::string lblShipLoc;
    std::string lblZIPZone, lblIBZone, lblOBZone;
    std::string txtIBDisc, txtIBFloor, txtOBDisc, txtOBFloor;
    std::string mOldFloorText;    // a floor box's text as it got the focus
    bool mSkipLostFocus = false;  // a double-click opened the breaks: the next leave only clears it

    std::string& operator[](FullBox box);
};

uint8_t DirectionOf(FullBox box);
bool IsFloorBox(FullBox box);

// The location list and its caption, from the store.
void FillShipLocs(FullDiscountValues& v);
// The three captions that name the location.
void SetZoneCaptions(FullDiscountValues& v, const std::string& location);
// "Region1" … up to the highest region, never more than 13.
std::vector<std::string> RegionItems(int maxRegion);

// The region list of a location, with gMaxRegion: one region more than before right after a
// region was created (newRegion), else up to the highest region that owns a state.
std::vector<std::string> FillRegionList(const std::string& location, bool newRegion);

// The four boxes from the location's two rows of the region, each found by its own key. A
// missing row fails with MissingPricingRow and leaves the boxes as they were.
void ShowDiscountTiers(FullDiscountValues& v, const std::string& location, uint8_t region);

// Adds those of the region's two discounts rows and two FAK rows that are missing, inbound
// first; rows that exist are kept as they are. Returns how many rows were added.
int AddMissingRegionRows(const std::string& location, uint8_t region);

// Shows a region picked in the list: makes it current with its colour and fills the boxes,
// adding the rows it lacks first.
void PickRegion(FullDiscountValues& v, const std::string& location, uint8_t region);

// Entering a box keeps what it held, to put back after a refused entry.
void EnterBox(FullDiscountValues& v, FullBox box);
// Leaving a box: checks and writes it to the row of gShipLoc, gRegion and the box's direction.
// False when refused: the message is shown and the box has its text from entry back. A write
// the database refuses throws, the box's value then being what its row holds.
bool LeaveBox(FullDiscountValues& v, FullBox box);

// A new region above the highest one with states, with its rows (a region whose rows exist from
// an earlier creation is taken as it is). It becomes the current region; gMaxRegion is left at
// the highest region with states and gNewRegion set, so that FillRegionList lists it last.
// Returns the region, or 0 when the location has all 13 (the message is shown then).
uint8_t CreateNewRegion(FullDiscountValues& v, const std::string& location);

// A click on a polygon of the map: a state of the list moves into gRegion of gShipLoc (its row
// is added when the location has none) and is painted in the colour of the region stored; a
// region the user made gets the intrastate floor when the state is the location's own. False
// when the name is no state of the list: nothing happens.
bool ClickMapState(RegionMapControl& control, FullDiscountValues& v, const std::string& name);
