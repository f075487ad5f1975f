#pragma once
// Canadian rate sheets: for one origin city and any number of destination cities, all in
// Canada, the customer's net rate at every break from the minimum charge to 25M at one density,
// written into the work table "canada rate sheet" and printed 32 rows to a page.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QWidget;
class TextPrinter;

// A destination text of 19 characters or more is cut back to fit its column: to the text before
// the comma when the comma stands at position 17 or earlier, else to its first 17 characters.
std::string CanTrim(const std::string& strCity);

// Money text for a printed column: ".00" added to a whole number, "0" to a number with one
// decimal, right-aligned in the width when it fits. The text is also left in the argument.
std::string FormatMoneyColumn(int width, std::string& number);

// The rate-sheet cities ("City, ST"), in the order of the basezone00 table's current index.
std::vector<std::string> RateSheetCities();

// Every Canadian point a rate-sheet city stands for ("City, ST"): the cities, then the rural
// post offices, of its base zone. Leaves basezone00 on its city-name index.
std::vector<std::string> FillCanadaCityList(const std::string& cityText);

// Fills the work table with one row per destination, in the order given, for the origin (all
// texts as the lists show them) and the density. A lane the carrier does not serve gets a row
// without rates. Writes the shared rating state as it goes (the ends, the lane, its discounts).
// Returns the number of rows added.
int BuildCanadaRateSheet(const std::string& origin, const std::vector<std::string>& destinations,
                         const std::string& density);

// Every row of the work table is deleted.
void EmptyRateSheetTable();

inline constexpr int kRateSheetRowsPerPage = 32;
int RateSheetPageCount(int rows);

struct RateSheetRequest {
    std::string origin;  // "" when none is chosen
    std::vector<std::string> destinations;
    std::string density;
    bool truckload = false;  // the 15000, 20000 and 25000 columns too
};

enum class RateSheetOutcome { Printed, NoOrigin, NoDestinations, Cancelled, Failed };

// Builds the sheet, asks for the printer and prints it, each page a document of its own. A
// missing origin or destinations, and any error while building or printing, is told in a
// message; however it ends, the work table is emptied and the hourglass is gone.
RateSheetOutcome PrintCanadaRateSheet(const RateSheetRequest& request, TextPrinter& printer,
                                      QWidget* parent = nullptr);
