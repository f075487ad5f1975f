#include "quote_addup.h"

#include <QJsonArray>
#include <regex>

namespace {

constexpr const char* kCanadaDiscountLine = "Norvale Canada discount included in above rate";
constexpr const char* kFundsCaption = "Charges in Canadian Funds at exchange rate of ";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Dollars(int64_t cents) {
    const bool negative = cents < 0;
    if (negative) cents = -cents;
    std::string whole = std::to_string(cents / 100);
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(static_cast<size_t>(i), ",");
    const int64_t c = cents % 100;
    return std::string(negative ? "-" : "") + "$" + whole + (c < 10 ? ".0" : ".") +
           std::to_string(c);
}

// A share of an amount in cents, rounded to the cent, halves up: `share` / `scale` of it.
int64_t Share(int64_t cents, int64_t share, int64_t scale) {
    return (cents * share + scale / 2) / scale;
}

// A plain decimal ("1.3650", "15.8") as a whole number and its scale (13650, 10000).
std::optional<std::pair<int64_t, int64_t>> Decimal(const std::string& text) {
    static const std::regex number(R"(^(\d{1,6})(?:\.(\d{1,6}))?$)");
    std::smatch m;
    if (!std::regex_match(text, m, number)) return std::nullopt;
    const std::string decimals = m[2].str();
    int64_t scale = 1;
    for (size_t i = 0; i < decimals.size(); ++i) scale *= 10;
    return std::pair{std::stoll(m[1].str() + decimals), scale};
}

class Adder {
  public:
    explicit Adder(const std::vector<ShownQuoteLine>& lines) : lines_(lines) {}

    std::vector<std::string> Faults() {
        const std::optional<size_t> netLine = NetLine();
        if (!netLine) {
            Fault("neither \"Net Charges\" nor the Canadian discount line is shown");
            return faults_;
        }
        const std::optional<int64_t> net = LineHaul(*netLine);
        if (net) Charges(*netLine, *net);
        return faults_;
    }

  private:
    void Fault(const std::string& text) { faults_.push_back(text); }

    std::optional<size_t> NetLine() {
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (lines_[i].rate == "Net Charges") return i;
            if (StartsWith(lines_[i].charge, kCanadaDiscountLine)) {
                intraCanada_ = true;
                return i;
            }
        }
        return std::nullopt;
    }

    // The commodity lines, the closing line and the discount; gives the net charge shown.
    std::optional<int64_t> LineHaul(size_t netLine) {
        int64_t linesSum = 0;
        int amountLines = 0;
        std::optional<int64_t> closing, discount;
        for (size_t i = 0; i < netLine; ++i) {
            const ShownQuoteLine& line = lines_[i];
            if (line.cls == "TOTALS" || (line.cls == "Rated as" && i + 1 < netLine)) {
                if (line.cls == "Rated as") ++i;
                closing = MoneyCents(lines_[i].charge);
                if (!closing) Fault("the closing line shows no amount");
                continue;
            }
            if (EndsWith(line.rate, "% Discount Saves You")) {
                discount = MoneyCents(line.charge);
                continue;
            }
            if (std::optional<int64_t> amount = MoneyCents(line.charge)) {
                if (closing) Fault("an amount stands between the closing line and the net");
                linesSum += *amount;
                ++amountLines;
            }
        }
        if (!closing) {
            if (amountLines != 1) {
                Fault(std::to_string(amountLines) + " commodity amounts and no closing line");
                return std::nullopt;
            }
            closing = linesSum;
        } else if (linesSum != *closing) {
            Fault("the commodity lines add up to " + Dollars(linesSum) +
                  ", the closing line shows " + Dollars(*closing));
        }
        if (intraCanada_) {
            if (discount) Fault("a discount line between two Canadian points");
            return closing;
        }
        const std::optional<int64_t> net = MoneyCents(lines_[netLine].charge);
        if (!net) {
            Fault("\"Net Charges\" shows no amount");
            return std::nullopt;
        }
        if (*closing - discount.value_or(0) != *net)
            Fault("the closing line " + Dollars(*closing) + " less the discount " +
                  Dollars(discount.value_or(0)) + " is not the net charges " + Dollars(*net));
        return net;
    }

    // Everything under the net charge.
    void Charges(size_t netLine, int64_t net) {
        int64_t sum = net, taxes = 0, gst = 0;
        for (size_t i = netLine + 1; i < lines_.size(); ++i) {
            const std::string& caption = lines_[i].rate;
            const std::optional<int64_t> amount = MoneyCents(lines_[i].charge);
            if (!amount) continue;
            if (caption == "TOTAL CHARGES IN CN FUNDS") {
                Expect(caption, *amount, sum + taxes, "the total and its taxes add up to");
            } else if (StartsWith(caption, "TOTAL")) {
                Expect(caption, *amount, sum, "the amounts above it add up to");
            } else if (caption == "Canadian GST") {
                gst = *amount;
                taxes += *amount;
                Expect(caption, *amount, Share(sum, 6, 100), "6 % of " + Dollars(sum) + " is");
            } else if (caption == "Maritimes HST") {
                taxes += *amount;
                Expect(caption, *amount, Share(sum, 14, 100), "14 % of " + Dollars(sum) + " is");
            } else if (caption == "Quebec QST") {
                taxes += *amount;
                Expect(caption, *amount, Share(sum + gst, 75, 1000),
                       "7.5 % of " + Dollars(sum + gst) + " is");
            } else if (StartsWith(caption, "Fuel Surcharge ")) {
                FuelSurcharge(caption, *amount, net);
                sum += *amount;
            } else if (StartsWith(caption, kFundsCaption)) {
                const auto rate = Decimal(caption.substr(std::string(kFundsCaption).size()));
                if (!rate)
                    Fault(caption + ": no exchange rate");
                else
                    Expect("Canadian $", *amount, Share(sum, rate->first, rate->second),
                           Dollars(sum) + " at that rate is");
            } else {
                sum += *amount;
            }
        }
    }

    void FuelSurcharge(const std::string& caption, int64_t amount, int64_t net) {
        const std::string text = caption.substr(std::string("Fuel Surcharge ").size());
        const auto percent = EndsWith(text, "%") && text.size() > 1
                                 ? Decimal(text.substr(0, text.size() - 1))
                                 : std::nullopt;
        if (!percent || percent->second > 10) {
            Fault(caption + ": the percentage is no figure of at most one decimal");
            return;
        }
        Expect(caption, amount, Share(net, percent->first, 100 * percent->second),
               "that share of the net charge " + Dollars(net) + " is");
    }

    void Expect(const std::string& caption, int64_t shown, int64_t expected,
                const std::string& because) {
        if (shown != expected)
            Fault(caption + " shows " + Dollars(shown) + ", " + because + " " + Dollars(expected));
    }

    const std::vector<ShownQuoteLine>& lines_;
    bool intraCanada_ = false;
    std::vector<std::string> faults_;
};

}  // namespace

std::optional<int64_t> MoneyCents(const std::string& text) {
    static const std::regex money(R"(^\$?(-?)(\d{1,3}(?:,\d{3})+|\d+)\.(\d\d)$)");
    std::smatch m;
    if (!std::regex_match(text, m, money)) return std::nullopt;
    std::string digits = m[2].str();
    std::erase(digits, ',');
    const int64_t cents = std::stoll(digits) * 100 + std::stoll(m[3].str());
    return m[1].str().empty() ? cents : -cents;
}

std::vector<std::string> QuoteAddUpFaults(const std::vector<ShownQuoteLine>& lines) {
    return Adder(lines).Faults();
}

std::vector<std::string> MoneyFormFaults(const std::vector<ShownQuoteLine>& lines) {
    std::vector<std::string> faults;
    for (const ShownQuoteLine& line : lines)
        for (const std::string* cell : {&line.rate, &line.charge})
            if (const std::optional<int64_t> cents = MoneyCents(*cell);
                cents && *cell != Dollars(*cents))
                faults.push_back("\"" + *cell + "\" is not written as " + Dollars(*cents));
    return faults;
}

std::optional<int64_t> ShownGrandTotal(const std::vector<ShownQuoteLine>& lines) {
    std::optional<int64_t> total;
    for (const ShownQuoteLine& line : lines) {
        if (StartsWith(line.rate, kFundsCaption)) break;
        if (line.rate == "Net Charges" || StartsWith(line.rate, "TOTAL"))
            if (std::optional<int64_t> amount = MoneyCents(line.charge)) total = amount;
    }
    return total;
}

std::optional<int64_t> OfferedCents(const std::string& offerLine, const std::string& lead) {
    if (!StartsWith(offerLine, lead)) return std::nullopt;
    return MoneyCents(offerLine.substr(lead.size()));
}

std::optional<std::string> OfferNotKept(const std::string& service,
                                        const std::vector<std::string>& offers,
                                        const std::vector<ShownQuoteLine>& chosen) {
    for (const ServiceOffer& offer : kServiceOffers) {
        if (service != offer.service || static_cast<size_t>(offer.line) >= offers.size()) continue;
        const std::optional<int64_t> price =
            OfferedCents(offers[static_cast<size_t>(offer.line)], offer.lead);
        if (!price) return std::nullopt;
        const std::optional<int64_t> shown = ShownGrandTotal(chosen);
        if (shown == price) return std::nullopt;
        return service + " was offered at " + Dollars(*price) + "; chosen, the quote ends on " +
               (shown ? Dollars(*shown) : std::string("no price"));
    }
    return std::nullopt;
}

std::vector<ShownQuoteLine> ShownQuoteLines(const QJsonValue& quote) {
    std::vector<ShownQuoteLine> lines;
    for (const QJsonValue line : quote[QStringLiteral("lines")].toArray()) {
        auto cell = [&line](const char* key) {
            return line[QLatin1String(key)].toString().toStdString();
        };
        lines.push_back({cell("class"), cell("weight"), cell("rate"), cell("charge")});
    }
    return lines;
}
