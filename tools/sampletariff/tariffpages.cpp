// The pages of the accessorial rules tariff NRVL 120-Q, one per item, in VZK120/<item>.htm. The
// charges agree with the quick-reference panels and the accessorials table.
#include <filesystem>
#include <string>
#include <vector>

#include "sampletariff.h"

namespace sampletariff {

namespace {

struct ItemPage {
    int item;
    const char* title;
    std::vector<const char*> paragraphs;
};

const std::vector<ItemPage>& Pages() {
    static const std::vector<ItemPage> kPages = {
        {24,
         "Standard Delivery Service Guarantee",
         {"Shipments moving between direct points of the carrier are delivered within the "
          "standard transit time shown in the carrier's service guide.",
          "There is no charge for this guarantee on shipments rated under tariff NRVL-410 between "
          "direct points.  When the carrier fails the standard transit time through its own "
          "fault, the shipper may claim a credit of the line-haul charges on written request "
          "within 30 days of delivery."}},
        {100,
         "Application of Tariff",
         {"This tariff names the rules, accessorial and terminal charges that apply to "
          "less-than-truckload shipments transported by Norvale Freight, in addition to the "
          "line-haul rates of tariff NRVL 410.",
          "Where this tariff and a customer's pricing agreement differ, the pricing agreement "
          "governs.  Items not named in an agreement apply as published here."}},
        {110,
         "Alaska Shipments",
         {"Shipments to points in Alaska move on the carrier's lanes to its Tacoma gateway and "
          "beyond by ocean or air carrier.  Beyond, ocean and air charges are added to the "
          "line-haul charges to the gateway.",
          "Points not reached by road are served by air only; a few remote points are not "
          "served."}},
        {115,
         "Arbitrary Charges, Points Beyond",
         {"Points more than 100 miles beyond the nearest service center of the carrier are "
          "subject to an arbitrary added to the line-haul rate, as listed by ZIP code in the "
          "carrier's points list."}},
        {120,
         "Pricing Program, Norvale Thriftlane Service",
         {"In return for lower rates under the Thriftlane program, customers will receive a "
          "slower transit time.  Thriftlane applies only on the lanes named in the program and "
          "only to shipments tendered for it on the bill of lading.",
          "Thriftlane shipments cannot also move under the Norvale Guaranteed Service or carry "
          "hazardous materials."}},
        {200,
         "Delivery Guarantee, Norvale Guaranteed Service",
         {"A surcharge of 20% of the line-haul charges applies for the guarantee of delivery "
          "within Norvale Freight standard transit time.",
          "The guarantee is offered between direct points only; it is not available with lift "
          "gate service, hazardous materials or the Thriftlane program.  When the guarantee is "
          "not met, the surcharge and the line-haul charges are refunded."}},
        {201,
         "Construction Sites and Similar Locations",
         {"Shipments picked up at or delivered to construction sites, farms, oil fields, "
          "churches, schools, camps and similar locations without a dock are subject to a charge "
          "of $93.00 per shipment or $5.00 per hundred pounds, whichever is greater."}},
        {202,
         "Mine and Remote Government Delivery Sites",
         {"Shipments delivered to mines, military installations and remote government sites "
          "are subject to a charge of $168.00 per shipment or $5.00 per hundred pounds, "
          "whichever is greater."}},
        {203,
         "Advancing Charges",
         {"When the carrier pays charges of another carrier or of a warehouse on behalf of the "
          "shipper or consignee, a charge of 3% of the amount advanced applies, with a minimum "
          "charge of $52.00."}},
        {205,
         "Bills of Lading, Corrections",
         {"A charge of $18.00 applies for each correction made to an original bill of lading "
          "when the correction is received within 30 days of pickup.  Corrections received later "
          "are handled as a new billing."}},
        {206,
         "C.O.D. and Order Notify Shipments",
         {"C.O.D. shipments: 3% of the C.O.D. amount, minimum charge $52.00.  A charge of $52.00 "
          "per shipment applies to cancel or change the C.O.D. instructions.",
          "Order notify shipments: 3% of the order notify amount, minimum charge $240.00."}},
        {207,
         "Late Payment Charge",
         {"When freight charges are not paid within 15 days of the invoice date, 1.5% of the "
          "unpaid balance is added monthly."}},
        {208,
         "Canadian Shipments, Customs Clearance",
         {"Shipments crossing the border between the United States and Canada must carry the "
          "customs documents of both countries.  Clearance by the carrier's broker is charged at "
          "the broker's published rates."}},
        {209,
         "In-Bond Freight (U.S.)",
         {"Shipments moving in bond within the United States: $2.50 per hundred pounds, minimum "
          "$93.00, maximum $233.00.  TIR carnet: $142.00.  In-bond seals: $54.50.  Customs "
          "release form: $44.50 per shipment, $233.00 maximum for multiple forms."}},
        {210,
         "Sufferance (Canada)",
         {"Shipments held in a sufferance warehouse in Canada: $1.50 (US) per hundred pounds, "
          "minimum $18.00 in New Brunswick, Ontario and Quebec, and $36.00 in the other provinces "
          "and territories."}},
        {211,
         "Detention with Power",
         {"When a vehicle with power is held at the shipper's or consignee's premises beyond the "
          "free time, $27.50 per 15 minutes applies on LTL shipments, minimum $33.50."}},
        {212,
         "Detention without Power",
         {"A trailer left at the shipper's or consignee's premises for loading or unloading is "
          "charged $81.50 per day after the first 24 hours."}},
        {213,
         "Diversion to Another Carrier",
         {"Freight delivered to another carrier at the request of the shipper or consignee: "
          "$46.50 per labor hour, minimum $85.50, for loading or unloading the vehicle; $10.50 per "
          "hundred pounds, minimum $85.50, for the delivery service."}},
        {214,
         "Extra Labor, Loading or Unloading",
         {"Labor furnished by the carrier beyond the driver's assistance at the tailgate: $46.50 "
          "per labor hour, minimum charge $141.00."}},
        {215,
         "Constant Surveillance Service",
         {"Shipments requiring constant surveillance in transit are handled under special "
          "arrangement; the charge is quoted by the carrier's service center on request."}},
        {216,
         "Inside Pickup and Delivery",
         {"Pickup from or delivery to a point inside a building beyond the nearest door: $6.50 "
          "per hundred pounds, minimum charge $39.00."}},
        {217,
         "Consolidation Handling Charge",
         {"Shipments consolidated by the carrier at the shipper's request: $2.00 per hundred "
          "pounds, minimum charge $28.50."}},
        {218,
         "Lift Gate Service",
         {"When a lift gate is required at pickup or delivery: $5.00 per hundred pounds, minimum "
          "charge $111.00.  Lift gate service cannot be combined with the Norvale Guaranteed "
          "Service."}},
        {219,
         "Pier and Wharf, Container Freight Station",
         {"Pickup from or delivery to piers, wharves and container freight stations at US "
          "ports: full service $6.50 per hundred pounds.  Container freight stations: minimum "
          "$39.50.  Piers and wharves: minimum $115.50."}},
        {220,
         "Relabeling of Packages",
         {"Packages relabeled by the carrier at origin or destination: $3.00 per package, "
          "minimum charge $50.00."}},
        {221,
         "Notification Prior to Delivery",
         {"When the consignee is to be notified before delivery: $29.00 per notification."}},
        {222,
         "Sorting or Segregating",
         {"Freight sorted or segregated by marks, sizes or kinds: $1.50 per hundred pounds, "
          "minimum charge $50.00 per shipment."}},
        {223,
         "Freeze Protection",
         {"Shipments requiring protection from freezing are accepted from November 1 to March "
          "31 subject to a charge of $4.00 per hundred pounds, minimum $45.00."}},
        {224,
         "Residential Delivery",
         {"Pickup at or delivery to a private residence or a business operated from one: $7.00 "
          "per hundred pounds, minimum $69.50, maximum $367.50."}},
        {225,
         "Service After Business Hours",
         {"Pickup or delivery before 8:00 a.m. or after 5:00 p.m., on weekends or on holidays, "
          "at the customer's request: $70.00 per man hour, minimum charge for 4 hours of "
          "service."}},
        {226,
         "Exhibition Sites, Pickup or Delivery",
         {"Shipments picked up at or delivered to exhibition sites, trade shows and convention "
          "centers: $7.50 per hundred pounds, minimum charge $74.50."}},
        {227,
         "Excessive Value",
         {"Shipments declared at a value above the carrier's liability limit: 3% of the excess "
          "value, minimum charge $52.00."}},
        {228,
         "Reconsignment or Diversion",
         {"A change in the documentation of a shipment already tendered: $50.00 per shipment, "
          "plus the transportation charges to the new destination under tariff NRVL410."}},
        {229,
         "Redelivery",
         {"A second attempt at delivery after the first failed through no fault of the carrier: "
          "$6.50 per hundred pounds, minimum $50.00, maximum $646.00."}},
        {230,
         "Single Shipments",
         {"A single shipment of less than 500 pounds, the only shipment picked up from the "
          "shipper on that day: $24.00 per shipment."}},
        {231,
         "Storage",
         {"Freight held at the carrier's terminal beyond the free time: $3.00 per hundred pounds "
          "for each 24 hours, minimum charge $70.00."}},
        {232,
         "Hazardous Materials",
         {"Shipments of hazardous materials requiring placards: $19.00 per shipment.  Escort "
          "service: $4.50 per mile.  Permits obtained by the carrier: $31.50 per permit.",
          "Hazardous materials cannot move under the Norvale Guaranteed Service or the "
          "Thriftlane program."}},
        {233,
         "Exclusive Use of Vehicle",
         {"When the shipper requests the exclusive use of a vehicle, charges are computed on the "
          "capacity of the vehicle at the truckload rate, or on the actual weight, whichever is "
          "greater."}},
        {234,
         "Lineal Foot Application",
         {"When a LTL shipment, or a portion thereof, requires 18 feet or more of loading space, "
          "charges shall be computed by applying the mileage rates named herein.",
          "1200 miles or less: 10 cents per mile per lineal foot.  Over 1200 miles: 7 cents per "
          "mile per lineal foot.  Mileage will be obtained from the HGB 100 series tariff; the "
          "rates apply on any single or combination of trailer equipment.",
          "Each shipment rated from this item will be subject to an absolute minimum charge of "
          "$370.00 or otherwise applicable pricing provisions, whichever is higher.  The absolute "
          "minimum charge and rate per mile are not subject to further discount."}},
        {235,
         "High Cost Delivery Regions Surcharge",
         {"Inbound shipments delivered to ZIP codes in the carrier's high cost delivery regions: "
          "$3.00 per hundred pounds, minimum $14.50, maximum $61.00."}},
        {236,
         "Homeland Security Fee",
         {"A fee of $11.50 per shipment covers the security measures required of the carrier at "
          "its terminals and at the border."}},
        {237,
         "Island Delivery Fee",
         {"Deliveries to islands not connected to the mainland by road: $87.50 per shipment."}},
        {238,
         "Excessive Length",
         {"Articles 12 feet or longer that cannot be loaded with other freight: $27.50 per "
          "shipment."}},
        {239,
         "Weighing of Shipments",
         {"When the weight is not shown on the bill of lading: $18.00.  Reweighing at the "
          "shipper's request: $18.00 per shipment."}},
        {240,
         "Absolute Minimum Charge",
         {"No shipment is transported for less than the absolute minimum charge of the lane, "
          "shown as the minimum charge (MC) of tariff NRVL 410, after every discount."}},
        {241,
         "Blind Shipments",
         {"When the names of the actual shipper or consignee are withheld from each other: "
          "$65.00 per shipment, in conjunction with all other applicable charges."}},
        {242,
         "Delivery Receipts",
         {"A copy of the signed delivery receipt is furnished free of charge on request within "
          "90 days of delivery; later requests are charged $10.00 per copy."}},
        {243,
         "Density Rating",
         {"Between points in Canada, shipments are rated by density, the weight in pounds per "
          "cubic foot, in place of the NMFC class."}},
        {244,
         "Description of Articles",
         {"Articles must be described on the bill of lading as in the National Motor Freight "
          "Classification.  Freight found to be described wrongly is rated as it is, and a "
          "correction charge under Item 205 applies."}},
        {245,
         "Fuel Surcharge",
         {"A fuel surcharge, a percentage of the line-haul charges, applies to every shipment.  "
          "The percentage changes weekly with the national average price of diesel fuel and is "
          "published on the carrier's web site."}},
        {246,
         "Marking or Tagging",
         {"Packages marked or tagged by the carrier: $2.00 per package, minimum $40.00."}},
        {247,
         "Minimum Charges",
         {"The minimum charge of a shipment is the minimum charge (MC) of its lane in tariff "
          "NRVL 410, subject to the customer's discount."}},
        {248,
         "Mixed Shipments",
         {"Articles of different classes in one shipment are rated each at its own class; the "
          "whole may be rated at the class of the highest rated article when that gives the lower "
          "charge."}},
        {249,
         "Non-Transportation Charges",
         {"Charges for services other than transportation are due from the party requesting the "
          "service, whatever the terms of payment of the freight charges."}},
        {250,
         "Overdimension Freight",
         {"Articles wider than 8 feet or higher than 8 feet 6 inches are accepted under special "
          "arrangement with the carrier's service center."}},
        {251,
         "Pallet Exchange",
         {"The carrier does not exchange pallets.  Pallets are part of the shipment and charged "
          "at the weight of the shipment."}},
        {252,
         "Payment of Charges",
         {"Freight charges are payable within 15 days of the invoice date.  See Item 207 for the "
          "late payment charge."}},
        {253,
         "Permits",
         {"Special permits obtained by the carrier for oversize or hazardous shipments are "
          "charged at cost plus $31.50 per permit."}},
        {254,
         "Pool Distribution",
         {"Pool shipments delivered to several consignees from one bill of lading are rated to "
          "the pool point, plus $24.00 for each delivery beyond it."}},
        {255,
         "Prepaid Shipments",
         {"Shipments marked prepaid are billed to the shipper.  Shipments to points in Canada "
          "may be billed in Canadian funds on request."}},
        {256,
         "Released Value Rates",
         {"The rates of tariff NRVL 410 are released rates: the carrier's liability is limited "
          "to $25.00 per pound unless a higher value is declared under Item 227."}},
        {257,
         "Return of Shipments",
         {"Shipments refused by the consignee are returned to the shipper at the rates of "
          "tariff NRVL 410 from the point of refusal, plus any storage under Item 231."}},
    };
    return kPages;
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

}  // namespace

std::vector<int> TariffPageItems() {
    std::vector<int> items;
    for (const auto& p : Pages()) items.push_back(p.item);
    return items;
}

void WriteTariffPages(const std::string& app, const std::string& effDate) {
    namespace fs = std::filesystem;
    const std::string dir = app + "/VZK120";
    fs::create_directories(dir);
    // Item pages of an earlier run that this one does not write; the folder's other pages stay.
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string stem = entry.path().stem().string();
        const bool itemPage =
            !stem.empty() && stem.find_first_not_of("0123456789") == std::string::npos;
        if (itemPage && entry.path().extension() == ".htm") fs::remove(entry.path());
    }
    for (const auto& p : Pages()) {
        const std::string heading = "Item " + std::to_string(p.item) + ": " + Escape(p.title);
        std::string html = PageStart(heading) +
                           "<p><font color=\"#324684\"><b>Norvale Freight Tariff NRVL 120-Q"
                           "</b></font><br><small>Rules, Accessorial and Terminal Charges"
                           "</small></p>\n<h2>" +
                           heading + "</h2>\n";
        for (const char* paragraph : p.paragraphs) html += "<p>" + Escape(paragraph) + "</p>\n";
        html += "<hr><p><small>Effective " + Escape(effDate) +
                ".  Charges are in U.S. dollars unless stated otherwise.</small></p>\n"
                "</body></html>\n";
        WriteFileAtomically(dir + "/" + std::to_string(p.item) + ".htm", html);
    }
}

}  // namespace sampletariff
