// The program's help: HTML pages in help/, the contents page x2007.htm that the main window
// names as its help file, the contents list x2007.toc and the keyword index x2007.kwd.
#include "helppages.h"

#include <filesystem>
#include <string>
#include <vector>

#include "sampletariff.h"

namespace sampletariff {

namespace {

const std::vector<HelpPage>& QuotingPages() {
    static const std::vector<HelpPage> kPages = {
        {"points.htm",
         "Entering the origin and destination",
         "<p>Type the origin in the <b>Origin</b> box and the destination in the "
         "<b>Destination</b> box.  Each takes one of:</p><ul>"
         "<li>a US ZIP code of five digits, for example 60601;</li>"
         "<li>a Canadian postal code, with or without the blank, for example M5V 2T6 or M5V2T6;"
         "</li><li>a city name, for example CHICAGO.</li></ul>"
         "<p>When you leave the box Fretlyn checks the point and shows its city and state or "
         "province below it.  When a city name fits several places, a list opens: pick the one "
         "you mean with the mouse or the arrow keys and Enter.  Until you pick one, the menu "
         "and the Rate command wait.</p>"
         "<p>A point that cannot be found is reported with the message \"Origin was not "
         "verified\" or \"Destination was not verified\"; correct it and leave the box again.</p>"
         "<p><b>Default origin.</b> Double-click the word <b>Origin</b> to keep the origin you "
         "typed as the default; Fretlyn enters it each time the main window comes back.</p>"
         "<p>For Alaska, Hawaii and Puerto Rico, Fretlyn may ask for the port of exit or whether "
         "the delivery is on a military base.</p>",
         {"origin", "destination", "ZIP code", "postal code", "city", "default origin",
          "verifying points"}},
        {"lines.htm",
         "Entering commodity lines",
         "<p>A shipment has up to five commodity lines.  For each, type the <b>weight</b> in "
         "pounds and choose the NMFC <b>class</b> (50 to 500) from its box.  Fill the lines from "
         "the top without gaps: line 1 must have a weight.</p>"
         "<p>Between two Canadian points the class boxes give way to <b>density</b> boxes: type "
         "the density of each line in pounds per cubic foot.</p>"
         "<p>For Hawaii and Puerto Rico the ocean carrier charges by volume: type the "
         "shipment's cube in cubic feet, or click <b>click here</b> and enter its height, width "
         "and depth in inches; Fretlyn works out the cube for you.</p>"
         "<p>The classes you leave in the boxes are kept as the defaults for the next start.</p>",
         {"weight", "class", "NMFC class", "density", "commodity", "cube", "ocean", "Hawaii",
          "Puerto Rico"}},
        {"accessorials.htm",
         "Choosing accessorial services",
         "<p>Point at <b>Customize</b> and click <b>Accessorial charges</b> to open the list of "
         "services: C.O.D., lift gate, inside delivery, residential delivery, hazardous "
         "materials, the Norvale Guaranteed Service, Thriftlane and others.  Click a service to "
         "choose it and click it again to drop it.</p>"
         "<p>Some services do not go together: a guaranteed shipment cannot have a lift gate or "
         "hazardous materials, and Thriftlane cannot be guaranteed.  Fretlyn says so and leaves "
         "the service unchosen.</p>"
         "<p>Your choices are kept for the next quote.  When C.O.D. is chosen, Fretlyn asks for "
         "the C.O.D. amount when it rates.</p>",
         {"accessorial", "C.O.D.", "lift gate", "liftgate", "guaranteed", "Thriftlane",
          "hazardous materials", "residential delivery", "inside delivery"}},
        {"rating.htm",
         "Rating a shipment",
         "<p>Click <b>Rate this shipment</b>, or press the Alt key, when the origin, the "
         "destination and the commodity lines are in.  Fretlyn checks, in this order: that both "
         "points are verified, that a guaranteed shipment runs between direct points, that a "
         "Thriftlane shipment runs on a Thriftlane lane, that Norvale Freight serves the lane, "
         "that line 1 has a weight and the lines have no gaps, that Canadian lines have "
         "densities and that an ocean shipment has its cube.</p>"
         "<p>When everything is in order the quote window opens.</p>",
         {"rate", "rating", "Alt key", "lane", "no service", "direct points"}},
        {"quote.htm",
         "Reading a quote",
         "<p>The quote window shows the shipment's lines with their class, weight, rate and "
         "charge, the minimum charge or the weight the shipment is rated as when that is "
         "cheaper (deficit weight), the gross charges, your discount and the net charges.  "
         "Below them come the accessorial charges, the fees, the fuel surcharge and the "
         "total.</p>"
         "<p>Beside the standard quote the window offers the Norvale Guaranteed Service and the "
         "Thriftlane economy service where they are available.</p>"
         "<p>From the quote window you can add accessorials and rate again, change the discount "
         "for this quote, show the total in Canadian funds, see <a href=\"ratetable.htm\">the "
         "rate table</a> of the lane and <a href=\"printing.htm\">print the quote</a>.</p>",
         {"quote", "discount", "deficit weight", "minimum charge", "surcharge on a quote",
          "Canadian funds", "total"}},
        {"printing.htm",
         "Printing a quote",
         "<p>In the quote window, click <b>Print Bill</b>.  The print dialog opens: choose a "
         "printer, or print to a PDF file.  The printed quote shows the points, the lines, every "
         "charge and the total, with the tariff's effective date.</p>",
         {"print", "printing", "PDF"}},
    };
    return kPages;
}

const std::vector<HelpPage>& MenuPages() {
    static const std::vector<HelpPage> kPages = {
        {"menu.htm",
         "The menu",
         "<p>The main window's commands are in the column on its right.  Point at a heading to "
         "open its group; move the mouse off the commands to close it.</p><ul>"
         "<li><b>Bill of Lading System</b>: keep, rate and print <a href=\"bills.htm\">bills "
         "of lading</a>.</li>"
         "<li><b>Rate Sheets</b>: <a href=\"ratesheets.htm\">rate sheets</a> for Canadian "
         "lanes.</li>"
         "<li><b>Customize</b>: <a href=\"accessorials.htm\">Accessorial charges</a>, "
         "<a href=\"settings.htm\">Canadian Exchange...</a>, <a href=\"discounts.htm\">"
         "Discounts/F.A.K.s...</a>, <a href=\"settings.htm\">Fuel Surcharge...</a>, "
         "<a href=\"shiplocations.htm\">Shipping Locations...</a> and "
         "<a href=\"transfer.htm\">Transfer Disc/BOL...</a> (your discounts and bills from "
         "an earlier version of Fretlyn).</li>"
         "<li><b>Rules Tariff</b>: the <a href=\"reference.htm\">quick reference</a> of "
         "accessorial charges and the full text of every tariff item.</li>"
         "<li><b>Help</b>: this help (contents, index, search, <a href=\"howtohelp.htm\">how to "
         "use help</a>), the help desk's telephone and e-mail, your local service center, and "
         "About.</li>"
         "<li>The web address opens the Norvale website.</li></ul>"
         "<p><b>Exit</b>, at the foot of the window beside <b>Rate this shipment</b>, ends "
         "Fretlyn.</p>"
         "<p>While a city list is open, the commands wait until you pick a city.</p>",
         {"menu", "commands", "Customize", "Rules Tariff", "Exit", "website"}},
        {"reference.htm",
         "Service centers and the rules tariff",
         "<p><b>Your local Service Center</b> (Help group): type a ZIP or postal code and click "
         "<b>Find Svc Ctr</b> to see the Norvale Freight service center that serves it, with its "
         "address and telephone numbers.</p>"
         "<p><b>Quick reference</b> (Rules Tariff group): the accessorial and terminal charges "
         "from A to Z on four pages; the arrows turn the pages.  Click any amount to read the "
         "full tariff item.</p>"
         "<p><b>Detail</b> (Rules Tariff group): choose any item of tariff NRVL 120 from the list "
         "to read its full text.</p>",
         {"service center", "terminal", "telephone", "quick reference", "tariff item",
          "rules tariff", "detail"}},
        {"settings.htm",
         "Fuel surcharge and exchange rate",
         "<p><b>Fuel Surcharge</b> (Customize group): the percentage added to every quote.  Type "
         "it as two digits, a point and one digit, for example 05.5.  The link opens the "
         "carrier's page with the current surcharge.</p>"
         "<p><b>Canadian Exchange</b> (Customize group): how many Canadian dollars one US dollar "
         "buys, for totals in Canadian funds.  The link opens the carrier's page with the current "
         "rate.</p>",
         {"fuel surcharge", "exchange rate", "settings", "percentage"}},
        {"howtohelp.htm",
         "How to use Help",
         "<p>The help window has three tabs on its left and the page on its right.</p><ul>"
         "<li><b>Contents</b> lists every page in reading order; click one to read it.</li>"
         "<li><b>Index</b> lists key words; type the first letters of a word to jump to it and "
         "click it to read its page.</li>"
         "<li><b>Search</b> finds the pages that hold all the words you type: type them and "
         "press Enter or click Find.</li></ul>"
         "<p>Links inside a page take you to related pages.  Close the help window when you are "
         "done; Fretlyn keeps running.</p>",
         {"help", "how to use help", "index", "search", "contents"}},
    };
    return kPages;
}

// The sections in the order of the contents page.
std::vector<HelpSection> HelpSections() {
    return {{"Quoting a shipment", QuotingPages()},
            RateTableHelp(),
            PricingHelp(),
            BillOfLadingHelp(),
            {"The menu, reference and settings", MenuPages()}};
}

std::string Page(const std::string& title, const std::string& body) {
    return PageStart(title) + "<h2><font color=\"#324684\">" +
           title + "</font></h2>\n" + body +
           "\n<hr><p><small><a href=\"x2007.htm\">Contents</a></small></p>\n</body></html>\n";
}

}  // namespace

void WriteHelpPages(const std::string& app) {
    namespace fs = std::filesystem;
    const std::string dir = app + "/help";
    fs::create_directories(dir);
    std::string contents =
        "<p>Fretlyn quotes Norvale Freight's rates for less-than-truckload shipments from the "
        "carrier's own tariff.  Enter the points and the commodity lines, choose the services "
        "you need and rate the shipment.</p>\n";
    std::string toc = "x2007.htm|Contents\n";
    std::string keywords;
    for (const HelpSection& section : HelpSections()) {
        contents += std::string("<h3>") + section.heading + "</h3>\n<ul>\n";
        for (const HelpPage& p : section.pages) {
            contents += std::string("<li><a href=\"") + p.file + "\">" + p.title + "</a></li>\n";
            toc += std::string(p.file) + "|" + p.title + "\n";
            for (const char* k : p.keywords) keywords += std::string(k) + "|" + p.file + "\n";
            WriteFileAtomically(dir + "/" + p.file, Page(p.title, p.body));
        }
        contents += "</ul>\n";
    }
    WriteFileAtomically(dir + "/x2007.htm", Page("Fretlyn Help", contents));
    WriteFileAtomically(dir + "/x2007.toc", toc);
    WriteFileAtomically(dir + "/x2007.kwd", keywords);
}

}  // namespace sampletariff
