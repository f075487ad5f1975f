// Rates a generated set of shipments of every kind through the quote scenarios, as a user
// types them, and adds up every quote shown as the customer does with a calculator. Each
// offer is also checked against the quote the same shipment shows with that service chosen.

#include "quote_addup.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

namespace {

// Points of the sample tariff, by kind.
const std::vector<std::string> kUSPoints = {
    "55401", "60601", "43215", "90001", "30303", "10001", "98101", "53202", "33101", "25304",
    "72937", "70158", "85009", "80005", "06001", "35007", "50003", "46012", "66017", "40014",
    "63001", "27018", "68010", "07004", "87014", "73007", "97011", "15006", "29021", "37020",
    "84006", "20109", "05040", "38611", "59008", "04848", "98110", "98243", "02807", "19702"};
const std::vector<std::string> kCanadianPoints = {
    "V9X4S3", "M1T5X7", "V7S5Y0", "K7L9K4", "T7V0T2", "J8H7L9", "M5V1A1", "H2Y1A1", "B3H1A1",
    "E2M3V7", "G1R1A1", "V3M9M1", "T2H1A1", "T5A2B2", "R3B5C5", "S4R4A4", "K1P4A4", "L4N7B7",
    "H3L5A5", "G1K8A8", "J4K6B6", "B1R8A8", "E1H5A5", "A1G7B7", "C1B7A7", "V6L2A2"};
// Alaska is rated by city.
const std::vector<std::string> kAlaskaPoints = {"ANCHORAGE, AK", "BETHEL, AK", "THORNE BAY, AK",
                                                "FAIRBANKS, AK", "JUNEAU, AK", "KETCHIKAN, AK"};
const std::vector<std::string> kHawaiiPoints = {"96813", "96766", "96707", "96863"};
const std::vector<std::string> kPuertoRicoPoints = {"00901", "00725", "00614"};
const std::vector<std::string> kClasses = {"50",  "55",   "60",  "65",  "70",  "77.5",
                                           "85",  "92.5", "100", "110", "125", "150",
                                           "175", "200",  "250", "300", "400", "500"};

enum class Kind { Mainland, ToCanada, FromCanada, Canada, Alaska, Hawaii, PuertoRico };

struct Shipment {
    Kind kind;
    std::string origin, destination;
    std::vector<std::string> weights, classes, densities;
    std::string cube;
};

// What every scenario file of the set has in common: its settings and the main window's
// choices, so that each kind of charge meets each kind of shipment.
struct Setting {
    std::string fuel;
    std::vector<std::string> accessorials;
};
const std::vector<Setting> kSettings = {
    {"00.0", {}},
    {"07.9", {}},
    {"31.4", {"C.O.D."}},
    {"12.5", {"Hazardous materials"}},
    {"22.5", {"Liftgate service", "Residential delivery", "Inside pickup and delivery"}},
    {"05.5", {"Thriftlane"}},
};

template <typename T>
const T& Pick(std::mt19937& rng, const std::vector<T>& list) {
    return list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(rng)];
}

int Between(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// A total weight that meets the shipment's interest: a minimum charge, a weight just under a
// break (a deficit or a rated-as weight), a large one, or any.
int TotalWeight(std::mt19937& rng) {
    static const int kBreaks[] = {500, 1000, 2000, 5000, 10000, 15000, 20000, 25000, 30000};
    switch (Between(rng, 0, 3)) {
        case 0:
            return Between(rng, 5, 400);
        case 1: {
            const int b = kBreaks[Between(rng, 0, 8)];
            return b - Between(rng, 1, b / 8);
        }
        case 2:
            return Between(rng, 20000, 99000);
        default:
            return Between(rng, 100, 30000);
    }
}

Shipment Generate(std::mt19937& rng, Kind kind) {
    Shipment s{kind, {}, {}, {}, {}, {}, {}};
    switch (kind) {
        case Kind::Mainland:
            s.origin = Pick(rng, kUSPoints);
            do s.destination = Pick(rng, kUSPoints);
            while (s.destination == s.origin);
            break;
        case Kind::ToCanada:
            s.origin = Pick(rng, kUSPoints);
            s.destination = Pick(rng, kCanadianPoints);
            break;
        case Kind::FromCanada:
            s.origin = Pick(rng, kCanadianPoints);
            s.destination = Pick(rng, kUSPoints);
            break;
        case Kind::Canada:
            s.origin = Pick(rng, kCanadianPoints);
            do s.destination = Pick(rng, kCanadianPoints);
            while (s.destination == s.origin);
            break;
        case Kind::Alaska:
            s.origin = Pick(rng, kUSPoints);
            s.destination = Pick(rng, kAlaskaPoints);
            break;
        case Kind::Hawaii:
            s.origin = Pick(rng, kUSPoints);
            s.destination = Pick(rng, kHawaiiPoints);
            s.cube = std::to_string(Between(rng, 10, 900));
            break;
        case Kind::PuertoRico:
            s.origin = Pick(rng, kUSPoints);
            s.destination = Pick(rng, kPuertoRicoPoints);
            s.cube = std::to_string(Between(rng, 10, 900));
            break;
    }
    // Between two Canadian points a shipment is rated by density on every line or on none.
    const bool byDensity = kind == Kind::Canada && Between(rng, 0, 3) > 0;
    const int total = TotalWeight(rng);
    const int count = std::min(Between(rng, 1, 5), std::max(1, total / 5));
    int left = total;
    for (int j = 0; j < count; ++j) {
        const int w = j + 1 == count ? left : Between(rng, 1, std::max(1, left - (count - j - 1)));
        const int weight = std::max(1, std::min(w, left - (count - j - 1)));
        left -= weight;
        s.weights.push_back(std::to_string(weight));
        s.classes.push_back(Pick(rng, kClasses));
        s.densities.push_back(byDensity ? std::to_string(Between(rng, 1, 30)) + "." +
                                              std::to_string(Between(rng, 0, 9))
                                        : "");
    }
    return s;
}

std::string Describe(const Shipment& s) {
    std::string text = s.origin + " to " + s.destination + ":";
    for (size_t j = 0; j < s.weights.size(); ++j)
        text += " " + s.weights[j] + " lbs " +
                (s.densities[j].empty() ? "class " + s.classes[j] : "density " + s.densities[j]);
    return text;
}

// The commands that type the shipment into the main window; the lines not used are emptied.
std::string Typed(const Shipment& s) {
    std::string text = "origin " + s.origin + "\ndestination " + s.destination + "\n";
    for (size_t j = 0; j < 5; ++j) {
        if (j < s.weights.size())
            text += "line " + s.weights[j] + " class=" + s.classes[j] + " density=\"" +
                    s.densities[j] + "\"\n";
        else
            text += "line - density=\"\"\n";
    }
    if (!s.cube.empty()) text += "cube " + s.cube + "\n";
    return text;
}

std::string Header(const Setting& setting) {
    std::string text =
        "setting FSC_fsc " + setting.fuel + "\nsetting CDN_ExchangeRate 1.3650\ncod 2500\n";
    for (const std::string& name : setting.accessorials) text += "accessorial " + name + "\n";
    return text;
}

// Runs the scenario files in one run of the runner; their results follow one another.
std::string RunScenarios(const std::vector<std::string>& files) {
    std::string command = FRETLYN_SCENARIOS;
    for (const std::string& file : files) command += " '" + file + "'";
    command += " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    std::array<char, 65536> buffer{};
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

QJsonArray Quotes(const std::string& output) {
    QJsonParseError parsed;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(output), &parsed);
    EXPECT_EQ(parsed.error, QJsonParseError::NoError) << output.substr(0, 2000);
    return doc[QStringLiteral("quotes")].toArray();
}

// The results of several scenarios, each a JSON document of its own.
std::vector<QJsonArray> QuotesOfEach(const std::string& output) {
    std::vector<QJsonArray> each;
    const std::string start = "{\n  \"scenario\"";
    for (size_t at = output.find(start); at != std::string::npos;) {
        const size_t next = output.find(start, at + 1);
        each.push_back(Quotes(output.substr(at, next == std::string::npos ? next : next - at)));
        at = next;
    }
    return each;
}

bool Offshore(const Shipment& s) {
    return s.kind == Kind::Alaska || s.kind == Kind::Hawaii || s.kind == Kind::PuertoRico;
}

// ------------------------------------------------------------------ the customer's check

ShownQuoteLine Amount(const std::string& caption, const std::string& amount) {
    return {"", "", caption, amount};
}
const ShownQuoteLine kCanadaDiscount = Amount("", "Norvale Canada discount included in above rate");

// The faults found, each with the words that name it.
void ExpectFaults(const std::vector<ShownQuoteLine>& lines, const std::vector<std::string>& words) {
    const std::vector<std::string> faults = QuoteAddUpFaults(lines);
    ASSERT_EQ(faults.size(), words.size()) << ::testing::PrintToString(faults);
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_NE(faults[i].find(words[i]), std::string::npos) << faults[i];
}

TEST(QuoteAddUp, LinesBetweenCanadianPointsAddToTheClosingLineThatThePriceStartsFrom) {
    // Thriftlane chosen: the lines at the standard discount, the deficit before it, and the
    // total on an economy net charge shown nowhere.
    ExpectFaults({{"", "2539 lbs", "46.08", "1169.97"},
                  {"", "12372 lbs", "46.08", "5701.02"},
                  {"", "5051 lbs", "19.97", "1008.68"},
                  {"Deficit Amount", "38 lbs", "$39.94", "$15.18"},
                  {"Rated as", "", "", ""},
                  {"", "20000 lbs", "", "7887.27"},
                  kCanadaDiscount,
                  Amount("Fuel Surcharge 31.4%", "$1882.22"),
                  Amount("TOTAL CHARGES", "$7,876.54")},
                 {"commodity lines add up to $7,894.85", "Fuel Surcharge 31.4%", "TOTAL CHARGES"});
    // As shown now: net lines, their sum, its fuel surcharge and taxes.
    ExpectFaults({{"", "2539 lbs", "35.02", "889.18"},
                  {"", "12372 lbs", "35.02", "4332.78"},
                  {"", "5051 lbs", "15.18", "766.60"},
                  {"Deficit Amount", "38 lbs", "15.18", "5.77"},
                  {"Rated as", "", "", ""},
                  {"", "20000 lbs", "", "5994.33"},
                  kCanadaDiscount,
                  Amount("Fuel Surcharge 31.4%", "$1882.22"),
                  Amount("TOTAL CHARGES", "$7,876.55"),
                  Amount("Canadian GST", "$472.59"),
                  Amount("TOTAL CHARGES IN CN FUNDS", "$8,349.14")},
                 {});
    // A minimum charge shown before the discount.
    ExpectFaults({{"", "22 lbs", "M", "$121.00"},
                  kCanadaDiscount,
                  Amount("Hazardous materials charge", "$19.00"),
                  Amount("TOTAL CHARGES", "$97.65")},
                 {"TOTAL CHARGES shows $97.65, the amounts above it add up to $140.00"});
    // No TOTAL CHARGES line: the total in Canadian funds misses its line.
    ExpectFaults({{"", "1000 lbs", "86.60", "866.00"},
                  kCanadaDiscount,
                  Amount("Canadian GST", "$51.96"),
                  Amount("TOTAL CHARGES IN CN FUNDS", "$917.95")},
                 {"$917.96"});
}

TEST(QuoteAddUp, EveryAmountIsWrittenWithTheDollarSignAndTheThousandsSeparator) {
    const std::vector<ShownQuoteLine> lines = {{"", "22 lbs", "M", "$61.76"},
                                               {"", "40 lbs", "", "$0.00"},
                                               {"TOTALS", "62 lbs", "", "61.76"},
                                               {"500", "40000 lbs", "$1234.56", "$493,824.00"},
                                               Amount("Fuel Surcharge 199.8%", "$128344.83"),
                                               Amount("TOTAL CHARGES", "$214,290.03"),
                                               kCanadaDiscount};
    EXPECT_EQ(MoneyFormFaults(lines),
              (std::vector<std::string>{"\"61.76\" is not written as $61.76",
                                        "\"$1234.56\" is not written as $1,234.56",
                                        "\"$128344.83\" is not written as $128,344.83"}));
}

TEST(QuoteAddUp, TheClosingLineLessTheDiscountIsTheNetCharge) {
    ExpectFaults({{"500", "76650 lbs", "$233.05", "$178,632.83"},
                  Amount("Norvale Freight          % Discount Saves You", "$80,384.77"),
                  Amount("Net Charges", "$98,248.05")},
                 {"is not the net charges $98,248.05"});
    ExpectFaults({{"100", "2433 lbs", "$40.00", "$973.20"},
                  {"100", "68 lbs", "$40.00", "$27.20"},
                  {"TOTALS", "2501 lbs", "", "$1,000.41"},
                  Amount("Norvale Freight          % Discount Saves You", "$455.19"),
                  Amount("Net Charges", "$545.22")},
                 {"commodity lines add up to $1,000.40"});
}

TEST(QuoteAddUp, TheFuelSurchargeIsItsPercentageOfTheNetShown) {
    ExpectFaults({{"100", "1000 lbs", "$532.44", "$5,324.36"},
                  Amount("Net Charges", "$5,324.36"),
                  Amount("Fuel Surcharge 12.5%", "$665.54"),
                  Amount("TOTAL CHARGES", "$5,989.90")},
                 {"is $665.55"});
    ExpectFaults({{"100", "1000 lbs", "$100.00", "$1,000.00"},
                  Amount("Net Charges", "$1,000.00"),
                  Amount("Fuel Surcharge 7.900001%", "$79.00"),
                  Amount("TOTAL CHARGES", "$1,079.00")},
                 {"at most one decimal"});
}

TEST(QuoteAddUp, TaxesAreThoseOfTheTotalShownAndCanadianFundsItsConversion) {
    ExpectFaults({{"", "1000 lbs", "80.00", "800.00"},
                  kCanadaDiscount,
                  Amount("Liftgate service charge", "$1.96"),
                  Amount("TOTAL CHARGES", "$801.96"),
                  Amount("Maritimes HST", "$112.28"),
                  Amount("TOTAL CHARGES IN CN FUNDS", "$914.24")},
                 {"14 % of $801.96 is $112.27"});
    // Within Quebec: 6 % of 100.00 and 7.5 % of 106.00.
    ExpectFaults({{"", "100 lbs", "100.00", "100.00"},
                  kCanadaDiscount,
                  Amount("Canadian GST", "$6.00"),
                  Amount("Quebec QST", "$7.96"),
                  Amount("TOTAL CHARGES IN CN FUNDS", "$113.96")},
                 {"7.5 % of $106.00 is $7.95"});
    ExpectFaults({{"100", "1000 lbs", "$100.00", "$1,000.00"},
                  Amount("Net Charges", "$1,000.00"),
                  Amount("Homeland Security Fee", "$11.50"),
                  Amount("TOTAL CHARGES", "$1,011.50"),
                  Amount("Charges in Canadian Funds at exchange rate of 1.3650", "$1,380.69")},
                 {"is $1,380.70"});
}

class GeneratedQuotes : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    int added = 0;
    std::map<std::string, int> seen;  // quotes shown of each kind of interest

    void AddUp(const QJsonValue& quote, const std::string& what) {
        ++added;
        for (const std::string& fault : QuoteAddUpFaults(ShownQuoteLines(quote)))
            ADD_FAILURE() << what << ": " << fault;
        for (const std::string& fault : MoneyFormFaults(ShownQuoteLines(quote)))
            ADD_FAILURE() << what << ": " << fault;
        for (const ShownQuoteLine& line : ShownQuoteLines(quote)) {
            if (line.cls == "Deficit Amount") ++seen["deficit"];
            if (line.rate == "M") ++seen["minimum charge"];
            if (line.rate.rfind("Fuel Surcharge", 0) == 0) ++seen["fuel surcharge"];
            if (line.rate.rfind("C.O.D.", 0) == 0) ++seen["C.O.D."];
            if (line.rate == "TOTAL CHARGES IN CN FUNDS") ++seen["Canadian taxes"];
            if (line.rate.rfind("Charges in Canadian Funds", 0) == 0) ++seen["Canadian $"];
            if (line.rate == "TOTAL LAND CHARGES") ++seen["offshore"];
        }
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }
};

// The discounts typed into the quote window before a service is chosen in it.
const std::vector<std::string> kTypedDiscounts = {"10.0", "25.5", "62.0", "80.0"};

// The commands after a shipment is typed: the quote, "Canadian $" on it, guaranteed service
// chosen in the quote window (not offered offshore); the quote again and Thriftlane chosen.
// Where the quote has a discount box, the same once more with a discount typed first.
std::vector<std::string> QuoteCommands(const Shipment& s, const std::string& typedDiscount) {
    std::vector<std::string> commands = {"rate", "canadian"};
    auto chooseEach = [&](const std::string& discount) {
        if (!Offshore(s)) {
            if (!discount.empty()) commands.push_back("discount " + discount);
            commands.insert(commands.end(),
                            {"quote-accessorial Norvale GUARANTEED!", "done", "rate"});
        }
        if (!discount.empty()) commands.push_back("discount " + discount);
        commands.insert(commands.end(), {"quote-accessorial Thriftlane", "done"});
    };
    chooseEach("");
    if (!typedDiscount.empty()) {
        commands.push_back("rate");
        chooseEach(typedDiscount);
    }
    return commands;
}

bool WritesAQuote(const std::string& command) {
    return command != "done";
}

TEST_F(GeneratedQuotes, EveryQuoteOfEveryKindAddsUpAndEveryOfferIsTheQuoteWithItsService) {
    ASSERT_TRUE(dir.isValid());
    std::mt19937 rng(20261207);
    const std::vector<Kind> kinds = {
        Kind::Mainland, Kind::Mainland, Kind::ToCanada, Kind::FromCanada, Kind::Canada,
        Kind::Canada,   Kind::Canada,   Kind::Alaska,   Kind::Hawaii,     Kind::PuertoRico};
    std::map<std::string, int> offersChecked;
    for (size_t f = 0; f < kSettings.size(); ++f) {
        const Setting& setting = kSettings[f];
        std::vector<Shipment> shipments;
        for (int i = 0; i < 40; ++i) shipments.push_back(Generate(rng, Pick(rng, kinds)));
        // A refused rating shows no quote, and the quote window's commands need one: each
        // shipment is first rated alone, and those the carrier rates go on.
        std::vector<std::string> alone;
        for (size_t i = 0; i < shipments.size(); ++i)
            alone.push_back(Write("alone" + std::to_string(f) + "-" + std::to_string(i) + ".scn",
                                  Header(setting) + Typed(shipments[i]) + "rate\n"));
        const std::vector<QJsonArray> tried = QuotesOfEach(RunScenarios(alone));
        ASSERT_EQ(tried.size(), shipments.size());
        std::vector<std::pair<const Shipment*, std::vector<std::string>>> rated;
        for (size_t i = 0; i < shipments.size(); ++i) {
            if (tried[i].size() != 1 || tried[i][0].isNull()) continue;
            // A discount is typed where the quote shows its box.
            const bool box = !tried[i][0][QStringLiteral("discount")].toString().isEmpty();
            rated.emplace_back(
                &shipments[i],
                QuoteCommands(shipments[i],
                              box ? kTypedDiscounts[i % kTypedDiscounts.size()] : ""));
        }

        std::string text = Header(setting);
        for (const auto& [s, commands] : rated) {
            text += Typed(*s);
            for (const std::string& command : commands) text += command + "\n";
        }
        const QJsonArray quotes =
            Quotes(RunScenarios({Write("quotes" + std::to_string(f) + ".scn", text)}));
        qsizetype at = 0;
        for (const auto& [s, commands] : rated) {
            const std::string what = "fuel " + setting.fuel + ", " + Describe(*s);
            std::string typed;
            for (const std::string& command : commands) {
                if (command.rfind("discount ", 0) == 0) typed = command;
                if (!WritesAQuote(command)) continue;
                ASSERT_LT(at, quotes.size()) << what;
                const QJsonValue shown = quotes[at++];
                ASSERT_FALSE(shown.isNull()) << what << ", " << command;
                AddUp(shown, what + " (after " + command + ")");
                const std::string lead = "quote-accessorial ";
                if (command.rfind(lead, 0) != 0) continue;
                // The service chosen on the quote before it, as offered there.
                const std::string service = command.substr(lead.size());
                std::vector<std::string> offers;
                for (const QJsonValue offer : quotes[at - 2][QStringLiteral("offers")].toArray())
                    offers.push_back(offer.toString().toStdString());
                for (const ServiceOffer& offer : kServiceOffers)
                    if (service == offer.service &&
                        OfferedCents(offers[static_cast<size_t>(offer.line)], offer.lead))
                        ++offersChecked[service + (typed.empty() ? "" : " after a discount") +
                                        (s->kind == Kind::Canada ? " in Canada" : "")];
                if (const auto fault = OfferNotKept(service, offers, ShownQuoteLines(shown)))
                    ADD_FAILURE() << what << (typed.empty() ? "" : ", " + typed) << ": " << *fault;
            }
        }
        EXPECT_EQ(at, quotes.size());
    }
    std::cout << added << " quotes added up; offers checked:";
    for (const auto& [kind, count] : offersChecked) std::cout << " " << kind << " " << count << ";";
    std::cout << "\n";
    // Several hundred quotes, of every kind of interest, and offers of every kind.
    EXPECT_GE(added, 600);
    for (const char* kind : {"deficit", "minimum charge", "fuel surcharge", "C.O.D.",
                             "Canadian taxes", "Canadian $", "offshore"})
        EXPECT_GE(seen[kind], 10) << kind;
    for (const char* kind :
         {"Norvale GUARANTEED!", "Thriftlane", "Norvale GUARANTEED! after a discount",
          "Thriftlane after a discount", "Norvale GUARANTEED! in Canada", "Thriftlane in Canada"})
        EXPECT_GE(offersChecked[kind], 3) << kind;
}

}  // namespace
