#pragma once
// What the main window's small windows compute, apart from the windows: the ocean cube, the fuel
// surcharge text, the About notice and the service-centre look-up. No window toolkit here.

#include <optional>
#include <string>

// The cube in cubic feet of a shipment measured in inches, as the main window's cube box takes
// it; nothing when a dimension is missing, not a number or not above 0. Each dimension is turned
// to feet in single precision and the three multiplied in single precision, width, height,
// depth: 48 x 36 x 24 gives "24", 10 x 10 x 10 gives "0.5787036".
std::optional<std::string> OceanCubeText(const std::string& height, const std::string& width,
                                         const std::string& depth);

// The fuel surcharge as its box shows it: a stored value that lost its leading digit ("5.5")
// gets it back ("05.5").
std::string FuelSurchargeShown(const std::string& stored);
// The text to store from what was typed into the box (its value: "5.5", "1", ".5", ""): always
// two digits, a point and a digit, the places not typed written as 0 ("05.5", "01.0", "00.5").
std::string FuelSurchargeToStore(const std::string& typed);

// The About window's notice to the user, with the tariff's effective date.
std::string AboutNotice(const std::string& effDate);

// One service centre as the finder shows it.
struct ServiceCenterCard {
    std::string name, address, cityStateZip, phone, fax, tollFree;
};
enum class FindCenterResult {
    Found,
    NotOnFile,  // no centre serves the code
    NoRow,      // the centre that serves it has no row in svcctrs
};
// Finds the centre serving a ZIP or postal code; the card carries the label texts, "Phone: ",
// "FAX:  " and "Toll Free:  " in front of the numbers. Database errors are raised.
FindCenterResult FindServiceCenter(const std::string& code, ServiceCenterCard& card);
