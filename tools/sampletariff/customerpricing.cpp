// The customer's pricing program as it ships: the settings a new shipping location's rows start
// from, the discounts of the default program "ALL", and the help pages of the shipping-location
// window.
#include <filesystem>

#include "sampletariff.h"

namespace sampletariff {

std::vector<std::pair<std::string, std::string>> CustomerPricingSettings() {
    // Each key has a value of its own, so a rating or a new row shows which key it took.
    return {
        {"FLOOR_qzainter", "42.00"},  {"FLOOR_qzaintra", "40.50"},    {"FLOOR_qzbinter", "43.00"},
        {"FLOOR_qzbintra", "41.00"},  {"FLOOR_qzdcalif", "39.50"},    {"FLOOR_qzdinter", "44.00"},
        {"FLOOR_qzdintra", "41.50"},  {"FLOOR_canadaus", "48.00"},    {"FLOOR_bcus", "49.00"},
        {"FLOOR_YTNT_us", "55.00"},   {"FLOOR_qzfintra", "38.00"},    {"FLOOR_flakeys", "52.00"},
        {"FLOOR_jointline", "46.00"}, {"DISC_USADefault", "47.5"},    {"DISC_Canada_US", "61.0"},
        {"DISC_USA_Canada", "53.5"},  {"DISC_CanadaDefault", "36.0"},
    };
}

std::string DefaultProgramDiscount(int region, int ibob) {
    // The carrier's lowest discounts a customer may keep: 30 % within the United States, 52 %
    // into Canada and 60 % from Canada, so that the shipped program passes the discount editor.
    if (region == 1) return "45.0";
    if (region == 4) return ibob == 1 ? "60.0" : "52.0";
    return "35.0";
}

namespace {

std::string Page(const std::string& title, const std::string& body) {
    return PageStart(title, "font-family: Verdana, sans-serif; font-size: 10pt") + body +
           "</body></html>\n";
}

}  // namespace

void WriteShipLocHelpPages(const std::string& appDir) {
    const std::string dir = appDir + "/VZK120";
    std::filesystem::create_directories(dir);
    WriteFileAtomically(
        dir + "/shiploc.htm",
        Page("Why use Shipping Locations?",
             "<p>Fretlyn prices every shipment with your discount program. Without shipping "
             "locations one program, <b>ALL</b>, prices every shipment: one discount within the "
             "U.S.A., one each way across the border and one within Canada.</p>\n"
             "<p>A <b>shipping location</b> is a place you ship from or receive at: a warehouse, "
             "a plant, a store. Give it a location here and it gets a discount program of its "
             "own. Fretlyn then knows whether a shipment leaves your location (outbound) or "
             "comes in to it (inbound), and prices each direction with its own discounts, "
             "floors and F.A.K. classes, region by region.</p>\n"
             "<p>Shipments that touch none of your locations keep the <b>ALL</b> program.</p>\n"
             "<p>Click <b>Add</b> to define a location. To remove one, show it in the list and "
             "click <b>Delete</b>: its regions, discounts and F.A.K. profiles go with it. "
             "<b>ALL</b> cannot be deleted.</p>\n"
             "<p>Set the discounts of your locations under <b>Discounts/F.A.K.s...</b> on the "
             "main page.</p>\n"));
    WriteFileAtomically(
        dir + "/newloc.htm",
        Page("What is the shipping location?",
             "<p>Type the three characters that name your location and click <b>OK</b>:</p>\n"
             "<ul><li>in the U.S.A., the first three digits of its ZIP code: <b>606</b> for a "
             "dock at 60638;</li>\n"
             "<li>in Canada, the first three characters of its postal code: <b>K1A</b> for "
             "K1A 0B1.</li></ul>\n"
             "<p>Every shipment from or to that ZIP prefix or postal area is then priced with "
             "the location's own program. A location must be one this tariff rates; each "
             "location can be added once.</p>\n"
             "<p>Click <b>Cancel</b> to go back to the list without adding anything.</p>\n"));
    WriteFileAtomically(
        dir + "/adding.htm",
        Page("Adding shipping location...",
             "<p>Fretlyn is setting up the new location's program:</p>\n"
             "<ul><li>each state and province is placed in a discount region: your location's "
             "own operating region first, the carrier's other regions next, the other country "
             "last;</li>\n"
             "<li>each region gets an inbound and an outbound discount with its floor, from "
             "the carrier's standard levels;</li>\n"
             "<li>each region gets an inbound and an outbound F.A.K. profile that rates every "
             "class as itself.</li></ul>\n"
             "<p>Either all of this is stored or, if something goes wrong, none of it. Change "
             "the levels under <b>Discounts/F.A.K.s...</b> afterwards.</p>\n"));
}

}  // namespace sampletariff
