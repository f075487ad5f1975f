#pragma once
// Adds up a quote as the customer does with a calculator, from the lines the quote window
// shows: the commodity lines to their closing line, the closing line less the discount to
// "Net Charges", each charge to the TOTAL lines, the fuel surcharge of the net charge shown,
// the Canadian taxes of the total shown, the total in Canadian funds and "Canadian $".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One line of a quote as shown, its four cells trimmed.
struct ShownQuoteLine {
    std::string cls, weight, rate, charge;
};

// The figure of a money text ("$76,358.81", "608.96") in cents; nothing for any other text.
std::optional<int64_t> MoneyCents(const std::string& text);

// What does not add up, one text per fault; empty when the quote adds up.
std::vector<std::string> QuoteAddUpFaults(const std::vector<ShownQuoteLine>& lines);

// The price the quote ends on, in cents: the last TOTAL line (between two Canadian points the
// total in Canadian funds), else "Net Charges".
std::optional<int64_t> ShownGrandTotal(const std::vector<ShownQuoteLine>& lines);
