#pragma once
// The customer's own pricing program in the tables shipzips, states, discounts, faktable and
// Thriftlane: the rows a new shipping location or region starts with, the region of a state,
// the percentage texts every editor shows, and the values the editing windows share.
//
// Nothing here handles an error of the store: a duplicate key or a missing row reaches the
// window that called, which decides what the user sees. Every statement binds its values.

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// The eleven break fields of a discounts row, minimum charge first, in the order they stand in
// the row (after zip, region, IBOB and Floor).
inline constexpr std::array<const char*, 11> kBreakFields = {
    "dmc", "dL5C", "d5c", "d1m", "d2m", "d5m", "d10m", "d15m", "d20m", "d25m", "d30m"};

inline constexpr const char* kDefaultProgram = "ALL";
inline constexpr const char* kTierText = "tier";
inline constexpr const char* kBadPct1 = "XX.X";
inline constexpr const char* kBadPct2 = "XX.XX";

// Runs a change of several rows as one transaction: all of it is stored, or none of it, and no
// partly made row stays pending on the tables' cursors.
void AllOrNothing(const std::function<void()>& change);

// Directions of a discount or FAK row.
inline constexpr uint8_t kInbound = 1;
inline constexpr uint8_t kOutbound = 0;

// What the windows of the customer's pricing hand one another while the user edits.
struct CustomisationState {
    std::string gShipLoc;  // the location being edited: "ALL" or a shipzips row
    uint8_t gRegion = 0;
    uint8_t gIBOB = 0;
    uint8_t gMaxRegion = 0;
    bool gNewRegion = false;
    uint8_t gWtBrkFromFull = 0;  // 1 when the full editor opened the weight-break editor
    std::array<uint8_t, 3> gRegionRGB{};
    std::string gOldDiscText;
    std::string gOldUSCNText, gOldCNUSText, gOldCNCNText, gOldPXSText;
    uint8_t gSimpleFAKLane = 0;  // 10, 40 or 41: region digit, then direction digit
    uint8_t gSimpleFAKRegion = 0;
    uint8_t gSimpleFAKIBOB = 0;
    bool gFAKReset = false;
    std::string gNewRowFloor, gNewRowDisc;
    std::vector<std::string> gPolygons, gStateNames;

    void Reset() { *this = CustomisationState(); }
};

extern CustomisationState customisation;

// A row the editors need and the customer's tables do not hold. The text names the row.
class MissingPricingRow : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Raises MissingPricingRow with the text, once the customer's tables are found sound: a damaged
// index finds no row without an error, and that is told as damage (ThrowIfCustomerPricingDamaged).
[[noreturn]] void ThrowMissingPricingRow(const std::string& text);

// "the outbound discounts of ALL, region 4" and the like, for messages about a row.
std::string DescribeRow(const std::string& location, int region, uint8_t ibob);

void AddShipLocStates(const std::string& location);
void AddShipLocDiscounts(const std::string& location);
void AddShipLocProfiles(const std::string& location);
void AddRegionRows(const std::string& location, uint8_t region);
void AddDiscountRow(const std::string& location, int16_t region, uint8_t ibob);
void AddFAKRow(const std::string& location, int16_t region, uint8_t ibob);
// Leaves the new row's floor and discount in gNewRowFloor and gNewRowDisc.
void NewRowDefaults(const std::string& location, int16_t region, uint8_t ibob);
// The region a state of that operating region ("QZA", "QZB", "QZD", "QZF") starts in.
uint8_t DefaultRegionOfState(const std::string& location, const std::string& stateRegion);
void SetStateRegion(const std::string& stateName, uint8_t region, const std::string& location);
// Highest region among the location's states rows; 0 when it has none.
uint8_t MaxRegionOfShipLoc(const std::string& location);
// Two-letter code of a name of the state list; empty when the list has no such name.
std::string StateCodeOfName(const std::string& name);
// State of a United States location (a ZIP prefix); empty for "ALL", a postal zone, or a
// prefix no ZIP of the tariff has.
std::string StateOfZip(const std::string& location);
uint8_t RegionOfStateName(const std::string& stateName, const std::string& location);

// Typed text to NN.N (discounts) and NN.NN (floors); "XX.X" and "XX.XX" when it does not fit.
std::string FormatPct1(const std::string& text);
std::string FormatPct2(const std::string& text);

// Whether the discounts row the table stands on has breaks that differ.
bool IsTieredRow();
// The text a discount box shows for the row the table stands on: "tier" or its 5C discount.
std::string DiscountBoxText();

// The FAK profile every new row gets: each class rated as itself.
inline constexpr const char* kIdentityProfile = "000102030405060708091011121314151617";
