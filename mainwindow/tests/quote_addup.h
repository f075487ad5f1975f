#pragma once
// Adds up a quote as the customer does with a calculator, from the lines the quote window
// shows: the commodity lines to their closing line, the closing line less the discount to
// "Net Charges", each charge to the TOTAL lines, the fuel surcharge of the net charge shown,
// the Canadian taxes of the total shown, the total in Canadian funds and "Canadian $". And an
// offer under a quote is the price the quote ends on once its service is chosen.

#include <QJsonValue>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One line of a quote as shown, its four cells trimmed.
struct ShownQuoteLine {
    std::string cls, weight, rate, charge;
};

// The lines of one quote of the scenario runner's output (its "lines": class, weight, rate,
// charge).
std::vector<ShownQuoteLine> ShownQuoteLines(const QJsonValue& quote);

// The figure of a money text ("$76,358.81", "608.96") in cents; nothing for any other text.
std::optional<int64_t> MoneyCents(const std::string& text);

// What does not add up, one text per fault; empty when the quote adds up.
std::vector<std::string> QuoteAddUpFaults(const std::vector<ShownQuoteLine>& lines);

// The amounts of a quote, rates and charges, not written the one way the customer reads money
// ("$128,344.83", with the dollar sign and the thousands separator), one text for each.
std::vector<std::string> MoneyFormFaults(const std::vector<ShownQuoteLine>& lines);

// The price the quote ends on, in cents: the last TOTAL line (between two Canadian points the
// total in Canadian funds), else "Net Charges".
std::optional<int64_t> ShownGrandTotal(const std::vector<ShownQuoteLine>& lines);

// The services a quote offers under it: the item chosen in the quote window's list, which of the
// three offer lines names its price, and the words before that price.
struct ServiceOffer {
    const char* service;
    int line;
    const char* lead;
};
inline constexpr ServiceOffer kServiceOffers[] = {
    {"Norvale GUARANTEED!", 1, "Guaranteed Rate Quote "},
    {"Thriftlane", 2, "Thriftlane Rate Quote "}};

// The price an offer line names, in cents, when the line is that offer.
std::optional<int64_t> OfferedCents(const std::string& offerLine, const std::string& lead);

// What is wrong when `service` was chosen on a quote whose offer lines are `offers` and the quote
// then shown (`chosen`) does not end on the price offered; nothing when it does, or when that
// service was not offered.
std::optional<std::string> OfferNotKept(const std::string& service,
                                        const std::vector<std::string>& offers,
                                        const std::vector<ShownQuoteLine>& chosen);
