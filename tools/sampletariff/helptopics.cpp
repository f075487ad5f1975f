// The help pages of the rate table and the rate sheets, of the customer's own pricing (discounts,
// F.A.K.s, shipping locations, the transfer from an earlier edition) and of the bills of lading.
// The captions in bold are those the windows show, so a user can find what a page names.
#include "helppages.h"

namespace sampletariff {

HelpSection RateTableHelp() {
    return {
        "Rate tables and rate sheets",
        {
            {"ratetable.htm",
             "The rate table",
             "<p>In the quote window, click <b>Rate Table</b> to see every rate of the lane you "
             "just rated.  The window's title names the two points, for example <i>Norvale "
             "Freight Rates for 60601 to 30301</i>.</p>"
             "<p>Each row is a class, from 50 to 500, and each column a weight break: "
             "<b>MinChg</b> is the minimum charge in dollars; <b>L5C</b> (under 500 lbs), "
             "<b>500</b>, <b>1,000</b>, <b>2,000</b>, <b>5,000</b>, <b>10,000</b>, "
             "<b>15,000</b>, <b>20,000</b> and <b>25,000</b> hold the rate in dollars per "
             "hundred pounds (CWT).</p>"
             "<p>Between two Canadian points the rows are density bands instead of classes, each "
             "marked with the highest density of its band: the row &lt; 5.99, for example, "
             "covers freight of density 4 up to 5.99.</p>"
             "<p>The table opens with <b>Gross Rates</b>, the carrier's rates before your "
             "discounts.  Click <b>Net Rates</b> to see each break with your discount for that "
             "break taken off; click <b>Gross Rates</b> to go back.  Because the table takes the "
             "discount off the rate and the quote takes it off the charge, a net rate times the "
             "weight may differ by a cent from the quote.  Click <b>Done</b> to return to the "
             "quote.</p>"
             "<p>Shipments to Alaska, Hawaii and Puerto Rico have no rate table: the label is "
             "dimmed for them.</p>"
             "<p>See also <a href=\"quote.htm\">Reading a quote</a>.</p>",
             {"rate table", "gross rates", "net rates", "weight break", "CWT", "MinChg"}},
            {"ratesheets.htm",
             "Canadian rate sheets",
             "<p>Click <b>Rate Sheets</b> in the main window to build and print your own sheet "
             "of net rates between Canadian cities.  The window is headed <b>Build your own "
             "custom rate sheets</b>.</p><ol>"
             "<li>Choose the origin city in the <b>From</b> box.</li>"
             "<li>Click each city you want on the sheet in the <b>To these cities</b> list; a "
             "second click drops it again.  Pick as many as you like.</li>"
             "<li>Type the freight's density in the <b>Density</b> box (two digits, a point and "
             "one digit, for example 09.5).  The density decides the class every lane is rated "
             "at.</li>"
             "<li>Check <b>Show truckload rates on the sheet</b> to add the 15000, 20000 and "
             "25000 columns.</li>"
             "<li>Click <b>Print</b> and choose a printer, or print to a PDF file.</li></ol>"
             "<p>Each city of the list stands for the towns around it.  Right-click a city to "
             "see all the points it includes; click anywhere on that list when you are done.</p>"
             "<p>The sheet lists 32 destination cities to a page, each with its minimum charge "
             "(<b>M/C</b>) and its rates at L5C, 500, 1000, 2000, 5000 and 10000 lbs, in "
             "Canadian dollars per CWT, net of your discounts.  A lane Norvale Freight does not "
             "serve reads <i>No service</i>.  The rates leave out accessorial charges.</p>"
             "<p>Without an origin Fretlyn says \"You did not specify an Origin City.\"; without "
             "a destination, \"You did not specify any destination cities.\"</p>"
             "<p>Click <b>Done</b> to close the window.  The origin and destination of the main "
             "window stay as you left them.</p>",
             {"rate sheets", "Canadian rate sheets", "truckload rates",
              "No service on a rate sheet", "printing rate sheets"}},
        }};
}

HelpSection PricingHelp() {
    return {
        "Your discounts and shipping locations",
        {
            {"discounts.htm",
             "Setting your discounts",
             "<p>Point at <b>Customize</b> and click <b>Discounts/F.A.K.s...</b>, or click "
             "<b>Discounts</b> in the quote window.  While you have no shipping locations the "
             "window <b>Set your own Discounts</b> opens: one discount program for every "
             "shipment.  With shipping locations, <a href=\"regions.htm\">the discount profiles "
             "of your locations</a> open instead.</p>"
             "<p>Type each discount as a percentage of two digits, a point and one digit, for "
             "example 45.5; typing 45 gives 45.0:</p><ul>"
             "<li><b>Discount for domestic U.S.A. shipments</b>: at least 30%.</li>"
             "<li><b>Absolute Minimum Charge for domestic U.S.A. shipments</b>: the lowest net "
             "charge a domestic shipment pays after its discount, in dollars, typed as two "
             "digits, a point and two digits, for example 85.00.</li>"
             "<li><b>Discount for shipments from the U.S.A. to Canada</b>: at least 52%.</li>"
             "<li><b>Discount for shipments from Canada to the U.S.A.</b>: at least 60%.</li>"
             "<li><b>Discount for domestic Canadian shipments</b>.</li>"
             "<li><b>Thriftlane discount for all qualifying shipments</b>: the discount of the "
             "Thriftlane economy service.</li></ul>"
             "<p>A discount below the lowest one allowed is refused with \"Discount must be 30% "
             "or greater\" (or 52%, or 60%) and the box gets its old value back.</p>"
             "<p>A box that reads <b>tier</b> holds a different discount for each weight break.  "
             "Double-click a discount box to set the discount of each break: see <a "
             "href=\"weightbreaks.htm\">Discounts by weight break</a>.  Click <b>Set FAK</b> "
             "beside a lane to set its F.A.K. classes: see <a href=\"fak.htm\">F.A.K. "
             "profiles</a>.</p>"
             "<p>Click <b>Done</b> to keep your discounts: every box is checked again and all "
             "of them are stored together, or none.  Click <b>Back</b> to leave without "
             "storing the boxes; weight breaks and F.A.K. classes are stored in their own "
             "windows.  The next quote uses what you stored.</p>",
             {"discounts", "Discounts/F.A.K.s", "discount program", "absolute minimum charge",
              "floor", "Thriftlane discount", "tier"}},
            {"weightbreaks.htm",
             "Discounts by weight break",
             "<p>Double-click a lane's discount box in the discount window to open <b>Discounts "
             "by weight break</b>.  An arrow points at the lane you are changing.</p>"
             "<p>The window has one box for each break: <b>Min Chg</b>, <b>&lt; 500 lbs</b>, "
             "<b>500 lbs</b>, <b>1,000 lbs</b>, <b>2,000 lbs</b>, <b>5,000 lbs</b>, <b>10,000 "
             "lbs</b>, <b>15,000 lbs</b>, <b>20,000 lbs</b>, <b>25,000 lbs</b> and <b>30,000 "
             "lbs</b>.  Type each discount in the places of the box, two digits, a point and "
             "one digit; a box left as 5_._ counts as 05.0.  Enter moves to the next box, and "
             "from the last one back to the first.</p>"
             "<p>Click <b>Done</b> to store the eleven discounts.  The lane's box in the "
             "discount window then shows the common discount, or <b>tier</b> when the breaks "
             "differ.</p>"
             "<p>Typing one discount over <b>tier</b> in the discount window gives every break "
             "that discount again.</p>",
             {"weight break discounts", "break discounts", "Min Chg", "tiered discounts"}},
            {"fak.htm",
             "F.A.K. profiles",
             "<p>An F.A.K. (freight all kinds) profile rates some classes as another class: for "
             "example, everything from class 150 to 250 rated as class 100.</p>"
             "<p>In the discount window, click <b>Set FAK</b> beside the domestic U.S.A. lane or "
             "one of the two cross-border lanes.  The <b>F.A.K. Profile</b> window shows two "
             "rows: <b>Actual Class</b>, the eighteen classes, and under each the <b>FAK "
             "Class</b> it is rated as.</p><ol>"
             "<li>Click the classes you want to change in the <b>Actual Class</b> row (hold "
             "Ctrl or Shift to pick several).</li>"
             "<li>Click the class they should be rated as in the <b>FAK Class</b> row.</li>"
             "<li>Click <b>Apply</b> to store the profile, or <b>Cancel</b> to go back to the "
             "profile as it is stored.</li></ol>"
             "<p>Click the <b>Actual Class</b> sign (<b>Click here to use actual classes.</b> "
             "lights up with it) to rate every class as itself again; that is stored at once.  "
             "Click <b>Done</b> to close the window.</p>"
             "<p>For a region of a shipping location the window shows an <b>Inbound</b> and an "
             "<b>Outbound</b> pair of rows, each changed the same way; <b>Apply</b> stores "
             "both, and clicking the <b>Actual Class</b> sign of a pair resets that "
             "pair.</p>",
             {"F.A.K.", "FAK", "freight all kinds", "class profile", "actual class", "Set FAK"}},
            {"shiplocations.htm",
             "Shipping locations",
             "<p>A shipping location is a place you ship from or receive at: a warehouse, a "
             "plant, a store.  Each location has a discount program of its own, inbound and "
             "outbound, region by region.  Shipments that touch none of your locations keep the "
             "program <b>ALL</b>.</p>"
             "<p>Point at <b>Customize</b> and click <b>Shipping Locations...</b> to open "
             "<b>Shipping Location Maintenance</b>.  It lists your locations and explains each "
             "step on its right.</p><ul>"
             "<li>To add one, click <b>Add</b>, type the first three digits of its ZIP code "
             "(606 for a dock at 60638) or the first three characters of its postal code (K1A "
             "for K1A 0B1) and click <b>OK</b>.  Fretlyn sets up its regions, discounts and "
             "F.A.K. profiles from the carrier's standard levels.  <b>Cancel</b> goes back "
             "without adding.</li>"
             "<li>To remove one, show it in the list and click <b>Delete</b>, then confirm.  "
             "Its regions, discounts and F.A.K. profiles go with it.  <b>ALL</b> cannot be "
             "deleted.</li>"
             "<li>Click <b>Done</b> to close the window.</li></ul>"
             "<p>A location must be one this tariff rates, and each can be added once.  Set the "
             "discounts of your locations under <b>Discounts/F.A.K.s...</b>: see <a "
             "href=\"regions.htm\">Discounts of your locations</a>.</p>",
             {"shipping locations", "locations", "inbound", "outbound", "ALL program",
              "warehouse"}},
            {"regions.htm",
             "Discounts of your locations",
             "<p>When you have shipping locations, <b>Discounts/F.A.K.s...</b> opens the window "
             "<b>Your custom discount profiles...</b> for them.  Choose a location at the top; "
             "the last entry, <b>ALL</b>, opens the discount window of shipments that touch none "
             "of your "
             "locations (see <a href=\"discounts.htm\">Setting your discounts</a>).</p>"
             "<p>A location's program is divided into discount regions, each with its own "
             "colour.  Choose a region from the list: the boxes show its discounts and floors, "
             "<b>I/B</b> for shipments coming in to the location and <b>O/B</b> for shipments "
             "leaving it.</p><ul>"
             "<li>Type a discount as two digits, a point and one digit (between 00.0 and 99.9) "
             "and a floor as two digits, a point and two digits.  Each is stored as you leave "
             "its box.</li>"
             "<li>Double-click a discount box to set the discount of each weight break: see <a "
             "href=\"weightbreaks.htm\">Discounts by weight break</a>.</li>"
             "<li>The map shows every state and province in the colour of its region.  To move "
             "a state into the region chosen in the list, click it on the map.  Alaska and "
             "Hawaii are drawn grey and cannot be moved.  When you move your location's own "
             "state into a region you created, that region may take the carrier's floor for "
             "shipments within the state.</li>"
             "<li>Click <b>Create a new Region</b> to add a region, up to thirteen; give it "
             "states on the map.</li>"
             "<li>Click <b>FAKs for this region</b> to set the region's inbound and outbound "
             "F.A.K. classes: see <a href=\"fak.htm\">F.A.K. profiles</a>.</li>"
             "<li>Click <b>Click here to close</b> when you are done.</li></ul>",
             {"discount regions", "regions", "region map", "map", "I/B", "O/B",
              "Create a new Region"}},
            {"transfer.htm",
             "Transfer from an earlier edition",
             "<p>If you used an earlier edition of Fretlyn (2002 to 2006), point at "
             "<b>Customize</b> and click <b>Transfer Disc/BOL...</b> to bring your discounts "
             "and bills of lading over.  The <b>Fretlyn2007 Upgrader</b> opens.</p><ol>"
             "<li><b>Step 1</b>: choose the edition you are coming from, <b>FL2002</b> to "
             "<b>FL2006</b>.</li>"
             "<li><b>Step 2</b>: check <b>Discount &amp; F.A.K. Profile (&amp; Shipping "
             "Locations)</b>, <b>Bills of Lading</b>, or both.</li>"
             "<li>Click <b>Upgrade</b>.  Choose the earlier edition's database, then this "
             "edition's own database, <b>x2007.mdb</b> in Fretlyn's data folder.</li>"
             "<li>Answer <b>Yes</b> to each question to replace what this edition holds with "
             "the earlier edition's data.</li></ol>"
             "<p>The earlier database is only read.  Each group is copied whole or not at all.  "
             "When everything was copied Fretlyn says \"Upgrade finished\"; otherwise it lists "
             "what was left out.</p>"
             "<p>Click <b>Done</b> when you are finished: Fretlyn closes, and you start it again "
             "to work with the transferred data.  Once something has been copied, closing the "
             "window closes Fretlyn too.</p>",
             {"transfer", "upgrade", "earlier edition", "Transfer Disc/BOL", "Upgrader"}},
        }};
}

HelpSection BillOfLadingHelp() {
    return {
        "Bills of lading",
        {
            {"bills.htm",
             "The Bill of Lading System",
             "<p>Click <b>Bill of Lading System</b> in the main window to keep your bills of "
             "lading, rate them and print them.  The commands are in the column on the left: "
             "under <b>Tools</b>, <b>B/L Parties</b> (your <a href=\"blparties.htm\">address "
             "book</a>), <b>Commodities</b> (your <a href=\"commodities.htm\">commodity "
             "catalogue</a>) and <b>Config</b> (the <a href=\"blconfig.htm\">print "
             "settings</a>); under <b>Functions</b>, <b>Rate</b>, <b>Print</b>, <b>New B/L</b>, "
             "<b>Edit</b>, <b>Save</b> and <b>Delete</b>; and <b>Done</b>.</p>"
             "<p>To see a stored bill, choose its number in the <b>Number</b> box.</p>"
             "<p><b>A new bill.</b> Click <b>New B/L</b> and fill in:</p><ul>"
             "<li><b>Number</b>: your bill number, up to 15 characters, not already on file;</li>"
             "<li><b>Date</b>: today's date to start with; type a date as your desktop writes "
             "it, or as 2026-12-07;</li>"
             "<li><b>PRO #</b>: the carrier's PRO number, if you have one; Fretlyn checks its "
             "check digit;</li>"
             "<li><b>PO Number</b>: your purchase order, if any;</li>"
             "<li><b>Shipper</b> and <b>Consignee</b>: choose each from your parties; "
             "<b>Bill To</b> too when someone else pays;</li>"
             "<li>up to five lines, each an <b>Item</b> from your commodities with its "
             "<b>Quantity</b> and <b>Weight</b>.  Type the quantity and Fretlyn works out the "
             "weight from the commodity's weight of one piece; you can type over it;</li>"
             "<li><b>Notes</b>: any instructions that go on the bill.</li></ul>"
             "<p>Click <b>Save</b>.  Fretlyn checks the bill first and says what is missing; "
             "nothing is stored until it is complete.  While you enter a bill the "
             "<b>Delete</b> command reads <b>Abandon</b>: click it to leave the bill "
             "unsaved.</p>"
             "<p><b>Changing a bill.</b> Show it, click <b>Edit</b>, change it and click "
             "<b>Save</b>.  A bill's number cannot be changed: add a new bill instead.</p>"
             "<p><b>Deleting a bill.</b> Show it, click <b>Delete</b> and confirm.</p>"
             "<p>See also <a href=\"blrating.htm\">Rating and printing a bill of "
             "lading</a>.</p>",
             {"bill of lading", "B/L", "BOL", "PRO number", "purchase order", "shipper",
              "consignee", "bill-to party", "New B/L"}},
            {"blparties.htm",
             "B/L parties",
             "<p>Your shippers, consignees and bill-to parties are kept in an address book.  In "
             "the Bill of Lading System, click <b>B/L Parties</b>; the window <b>Bill of Lading "
             "Parties Maintenance</b> opens.</p>"
             "<p>Choose a name to see a party.  To add one, click <b>New party</b> and type its "
             "<b>Name</b>, <b>Address</b>, <b>City</b> and <b>ZIP/Postal Code</b>; Fretlyn "
             "fills in the <b>State/Province</b> from the code, which must be one the tariff "
             "knows.  Under <b>This party can be a....</b> check <b>Shipper</b>, "
             "<b>Consignee</b>, <b>Bill To</b> or several: a party is offered only in the boxes "
             "its roles allow.  Click <b>Save</b>.</p>"
             "<p>To change a party, show it, click <b>Edit</b>, change it and click "
             "<b>Save</b>; <b>Abandon</b> leaves it as it was.  To delete one, show it and "
             "click <b>Delete</b>.  A party that a stored bill uses cannot be deleted: Fretlyn "
             "lists the bills that use it.</p>"
             "<p>Click <b>Done</b> to go back to your bills.</p>",
             {"parties", "address book", "B/L parties", "Bill To", "ZIP/Postal Code"}},
            {"commodities.htm",
             "Commodities",
             "<p>The goods you ship are kept in a catalogue.  In the Bill of Lading System, click "
             "<b>Commodities</b>; the window <b>Bill of Lading Commodities</b> opens.</p>"
             "<p>Choose a description to see a commodity.  To add one, click <b>New "
             "Commodity</b> and type its <b>Description</b>, its <b>NMFC Number</b> if you "
             "know it, its <b>Weight (each)</b> in pounds for one piece, and choose its NMFC "
             "<b>Class</b>.  Check <b>Hazardous Material</b> for dangerous goods: the printed "
             "bill marks their lines.  Click <b>Save</b>.</p>"
             "<p>To change a commodity, show it, click <b>Edit</b>, change it and click "
             "<b>Save</b>; <b>Abandon</b> leaves it as it was.  To delete one, show it and "
             "click <b>Delete</b>; a commodity that a stored bill uses cannot be deleted.</p>"
             "<p>The class is the one a bill's line is rated at.  Click <b>Done</b> to go back "
             "to your bills.</p>",
             {"commodities", "commodity catalogue", "NMFC number", "hazardous material",
              "weight each"}},
            {"blconfig.htm",
             "Bill of lading print settings",
             "<p>In the Bill of Lading System, click <b>Config</b> to open <b>Bill of Lading "
             "Configuration</b>:</p><ul>"
             "<li><b>Print how many copies of the Bill of Lading?</b> One or more.</li>"
             "<li><b>Print a rate sheet copy along with the Bill of Lading</b>: each copy is "
             "followed by the bill's quote.</li>"
             "<li><b>Use this discount for charges on a rate sheet accompanying a Bill of "
             "Lading</b>: the printed quote takes this one discount off every break, two "
             "digits, a point and one digit.</li>"
             "<li><b>Always print a copy of the Terms &amp; Conditions page of the Bill of "
             "Lading</b>: the terms page is saved and opened beside the bill.</li></ul>"
             "<p>Click <b>Done</b> to keep the settings.  The bill opens in your desktop's PDF "
             "reader; if none is installed, install one from your system's software "
             "packages.</p>",
             {"print settings", "copies", "terms and conditions", "special discount", "Config"}},
            {"blrating.htm",
             "Rating and printing a bill of lading",
             "<p><b>Rating.</b> Show a stored bill and click <b>Rate</b>.  Fretlyn rates it "
             "from the shipper's and the consignee's ZIP or postal codes, the lines' weights "
             "and the commodities' classes, with your discounts, and shows the quote window.  "
             "The origin, destination and lines of the main window are left as they were.</p>"
             "<p>A bill is not rated when a party's code cannot be verified, when it has no "
             "line with a weight, or when Norvale Freight does not serve the lane; Fretlyn "
             "says why.  Bills to or from Alaska, Hawaii or Puerto Rico are not rated here: "
             "contact your Norvale Freight representative.</p>"
             "<p><b>Printing.</b> Show a stored bill and click <b>Print</b>.  Fretlyn fills in "
             "the carrier's bill of lading form and saves it as <b>BL.pdf</b> in the "
             "<b>Fretlyn</b> folder of your Documents folder, then opens it in your PDF reader: "
             "print it from there.  When the <a href=\"blconfig.htm\">print settings</a> ask "
             "for it, the terms page is saved as <b>BLBack.pdf</b> beside it, and each copy is "
             "followed by the bill's printed quote.</p>"
             "<p>Each print replaces the BL.pdf of the print before; copy the file elsewhere "
             "if you want to keep it.</p>",
             {"rating a bill of lading", "printing a bill of lading", "BL.pdf", "PDF reader",
              "Documents folder"}},
        }};
}

}  // namespace sampletariff
