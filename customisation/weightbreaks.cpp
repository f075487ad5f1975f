#include "weightbreaks.h"

#include <cmath>

#include "database.h"
#include "discounts.h"
#include "discountstore.h"
#include "numbers.h"
#include "tariffdb.h"

namespace {

void Position(const std::string& location, uint8_t region, uint8_t ibob) {
    if (!FindDiscountRow(location, region, ibob))
        ThrowMissingPricingRow(
            "The discounts cannot be stored: " + DescribeRow(location, region, ibob) +
            " is missing from the table discounts.");
}

// The shortest decimal text of a number with at most one decimal: 5, 5.5, 0.5, 12.5.
std::string Shortest(double v) {
    const double tenths = std::round(v * 10);
    const auto whole = static_cast<long long>(tenths) / 10;
    const auto tenth = static_cast<long long>(tenths) % 10;
    return std::to_string(whole) + (tenth ? "." + std::to_string(tenth) : "");
}

}  // namespace

std::string NormaliseBreakText(const std::string& boxText) {
    const double v = Val(boxText.substr(0, boxText.find('_')));
    const std::string t = Shortest(v);
    switch (t.size()) {
        case 1:
            return v == 0 ? "00.0" : "0" + t + ".0";
        case 2:
            return t + ".0";
        case 3:
            return "0" + t;
        default:
            break;
    }
    // Four characters: every place was filled ("12.5").
    return t;
}

BreakTexts LoadBreakTexts(const std::string& location, uint8_t region, uint8_t ibob) {
    Position(location, region, ibob);
    BreakTexts out;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = tariff.rsDiscounts->Field(kBreakFields[i]).str();
    return out;
}

std::string SaveBreakTexts(const std::string& location, uint8_t region, uint8_t ibob,
                           BreakTexts& boxes) {
    // A box still holding the focus was never normalised; none is stored half typed.
    for (std::string& box : boxes) box = NormaliseBreakText(box);
    Position(location, region, ibob);
    Recordset& discounts = *tariff.rsDiscounts;
    discounts.Edit();
    for (size_t i = 0; i < boxes.size(); ++i) discounts.SetField(kBreakFields[i], boxes[i]);
    try {
        discounts.Update();
    } catch (...) {
        discounts.CancelUpdate();
        throw;
    }
    return DiscountBoxText();
}
