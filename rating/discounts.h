#pragma once
// Which of the customer's discount rows applies to the lane, the carrier's minimum discounts
// on certain lanes, and the lane floor.

#include <cstdint>
#include <string>

// Sets gUpperMidwest, gChicagoZip, gAtlantaDiscZip and gEastWestCanada. The fifth argument is
// not used.
void SetLaneFlags(const std::string& origZip3, const std::string& destZip3,
                  const std::string& origState, const std::string& destState, uint8_t fifth,
                  const std::string& destZip);

// Loads gBreakDisc and gBreakDisc2 from the discount row of the lane, raises gBreakDisc to the
// minimums of the lane flags (SetLaneFlags first) and sets gLaneFloor. A lane without a
// discount row is refused (RatingRefusal naming the location, region and direction).
void LoadBreakDiscounts(const std::string& origZip3, const std::string& destZip3,
                        const std::string& origState, const std::string& destState);

// The lane floor: the shipping location's own Floor, else the FLOOR_ setting of the two
// operating regions, which the "ALL" row's Floor replaces when above 0.
std::string GetLaneFloorKey(const std::string& origState, const std::string& destState);

// A row of the customer's pricing that the program stored and can no longer find may stand
// behind a damaged index, which finds nothing without an error: the customer's tables are
// checked, and damage is raised as the database's damage (DbError 3049, with its note beside
// the user's copy). Returns when they are sound, so the row is really missing.
void ThrowIfCustomerPricingDamaged();

// Positions discounts on the first row of the location, region and direction, for the windows
// that read and edit it. Returns whether there is one; when not, the table is left with no
// current row, so a following read or edit fails instead of touching another location's row.
bool FindDiscountRow(const std::string& zip, uint8_t region, uint8_t ibob);

// The region of a state within a shipping location; 0 when the location has none for it.
uint8_t RegionOfStateZip(const std::string& state, const std::string& zip);

// Whether a destination lies in a high-cost delivery region.
bool IsHCDRZip(const std::string& zip);
