#pragma once
// Adding and deleting a shipping location with all its rows, and what the shipping-location
// window shows: its list, its mode, the help page beside it and the caption above that page.

#include <functional>
#include <string>
#include <vector>

// At most this many locations: the window has always counted them in a byte.
inline constexpr int kMaxShipLocations = 255;

// Why the text cannot be a shipping location, or empty when it can. A location is what the key
// of a rated point can match: three characters, a ZIP prefix of the tariff's cities or the first
// three characters of a postal code the tariff knows.
std::string ShipLocationRefusal(const std::string& location);

// The stored locations in key order.
std::vector<std::string> StoredShipLocations();

// Adds the shipzips row and the location's states, discounts and faktable rows as one change:
// on any failure every row is taken back and the error reaches the caller. A location already
// stored fails with the duplicate-key error (3022).
void AddShippingLocation(const std::string& location);
// Deletes the location's rows from the four tables as one change.
void DeleteShippingLocation(const std::string& location);

// The help pages of the window, relative to the application folder.
inline constexpr const char* kHelpShipLoc = "VZK120/shiploc.htm";
inline constexpr const char* kHelpNewLoc = "VZK120/newloc.htm";
inline constexpr const char* kHelpAdding = "VZK120/adding.htm";

inline constexpr const char* kWhyCaption = "Why use Shipping Locations?";
inline constexpr const char* kWhatCaption = "What is the shipping location?";
inline constexpr const char* kAddingCaption = "Adding shipping location...";

// What the window shows, kept apart from its widgets.
struct ShipLocModel {
    std::vector<std::string> entries;  // cmbShipLoc
    int shown = -1;                    // the entry shown, -1 for none
    bool entryMode = false;            // txtShiploc, OK and Cancel instead of the list
    bool listFilled = false;
    std::string entryText;  // txtShiploc
    std::string helpPage;   // one of the kHelp pages
    std::string why = kWhyCaption;

    std::string ShownEntry() const;
};

// The steps of the window, each what one click does. Messages go through ShowMessage.
void ShipLocActivate(ShipLocModel& m);
void ShipLocEnterMode(ShipLocModel& m);
void ShipLocListMode(ShipLocModel& m);
// OK: true when the location was added and the window is back in list mode; false when it was
// refused or failed, with the window in entry mode and the text kept. `adding` runs once the
// adding page is up (the window repaints and shows the hourglass there).
bool ShipLocAdd(ShipLocModel& m, const std::string& typed,
                const std::function<void()>& adding = {});
// Delete on the shown entry: false when nothing was deleted.
bool ShipLocDelete(ShipLocModel& m);
