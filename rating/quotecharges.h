#pragma once
// The charges added to the line haul: accessorials, fees, fuel surcharge, the guaranteed
// charge and Canadian taxes, each priced once and either written as a quote line or added
// silently for the economy total; and the guaranteed and Thriftlane offers.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "numbers.h"

struct ChargeState {
    MoneyTotal gQuoteTotal = 0;  // running total of the quote
    // The same total as the quote shows it: the charges as their lines show them, in cents, so
    // that every TOTAL line is the sum of the lines above it.
    MoneyTotal totalShown = 0;
    // The net charge the charges start from (the fuel surcharge and the guaranteed charge are
    // its percentages): the Net Charges line, or between two Canadian points the closing line.
    MoneyTotal netCharge = 0;
    Single gChargeBasis = 0;  // C.O.D. amount or other basis an accessorial row is priced on
    MoneyTotal gPXSOffshoreTotal = 0;  // the economy total with the offshore charges
    Single gHomelandFee = 0;           // set when the fee applies
    Single gIslandFee = 0;
    // The C.O.D. amount last typed: every later pricing of the same C.O.D. choice, the
    // silent economy total included, uses it until the amount is asked again.
    Single gCODAmount = 0;
    bool gCODAmountKnown = false;

    void Reset() { *this = ChargeState(); }
    // A charge into both totals.
    void Add(MoneyTotal amount) {
        gQuoteTotal += amount;
        totalShown += ShownAmount(amount);
    }
};
extern ChargeState charges;

inline constexpr Single kHomelandSecurityFee = 11.50f;
inline constexpr Single kIslandDeliveryFee = 87.50f;

// The accessorial rows the charge code knows by name.
inline constexpr const char* kCODRow = "C.O.D.";
inline constexpr const char* kSingleShipmentRow = "Single shipment";
inline constexpr const char* kHCDRRow = "HCDR";
inline constexpr const char* kInsideDeliveryRow = "Inside pickup and delivery";
inline constexpr const char* kResidentialDeliveryRow = "Residential delivery";

// The fuel surcharge's percentage, in tenths of a per cent: the stored percentage, doubled
// from 20,000 lbs.
struct FuelPercent {
    int64_t tenths = 0;
    // The caption's figure, with at most one decimal ("7.9", "15.8", "45").
    std::string Text() const;
    // The surcharge of a net charge shown (whole cents), rounded once to the cent.
    MoneyTotal Of(MoneyTotal net) const;
};
FuelPercent FuelSurchargePercent(double stored, int32_t totalWeight);

// A destination ZIP that pays the Island Delivery Fee.
bool IsIslandDeliveryZip(const std::string& zip);

// Prices the accessorial row `name` for the quote on screen: `line` is the last line written,
// the result the last line written after the row. May ask for the C.O.D. amount and may
// refuse a single-shipment charge with a message.
int AccessorialCharge(const std::string& name, int line, uint8_t zero = 0);
// The same price into gQuoteTotal for the economy total: no line, no dialog, no message and
// nothing stored; the line index advances as AccessorialCharge's would.
int AccessorialChargeSilent(const std::string& name, int line, uint8_t zero = 0);

// The guaranteed service's charge: its percentage of the net charge the charges start from, in
// the carrier's single precision. The quote's line and the offer both price it here, so that
// the offer is the total the quote shows once the service is chosen.
Single GuaranteedCharge();

// Forgets the services chosen for one quote only: the "temp on" marks and the quote window's
// twins of the main window's flags, with the economy-pricing state of that quote and the
// discount typed into it.
void ClearQuoteOnlyAccessorials();

// Adds the charges from the line after `line` on, writing each; `line` ends on the last line
// written. Sets gQuoteTotal, then the Canadian taxes and their lines.
void DisplayQuoteCharges(MoneyTotal netCharge, int& line, uint8_t zero = 0);
// The same charges into gQuoteTotal without writing or asking anything.
void ComputeQuoteCharges(MoneyTotal netCharge, int& line, uint8_t zero = 0);

// The Canadian taxes of an amount into rating.gCanTax (all six cleared first, whatever the
// ends); between two Canadian points the amount is first rounded to cents, for the caller too,
// and each tax is worked out on that amount as shown.
void CanadaTaxes(MoneyTotal& amount);
// The amount with the six taxes of rating.gCanTax added as their lines show them.
MoneyTotal WithTaxes(MoneyTotal amount);
// Writes the tax lines and the total in Canadian funds under the last TOTAL line of the
// quote, between two Canadian points only.
void ShowCanadianTaxes();

// The silent twin of the quote's charge part: chooses the break and totals the charges of the
// rating state as it stands, writing nothing.
void ComputeQuoteTotal(uint8_t mode = 0);
// Writes the guaranteed and Thriftlane offers under the quote. The economy rating runs on a
// copy: afterwards the rating state still describes the quote on screen.
void OfferGuaranteedAndThriftlane();

// The economy-service (Thriftlane) discount percent as text: what the simple discount editor
// holds while it is open with a typed value, else the stored percentage.
std::string EconomyServicePercent();
// The percentage the table Thriftlane stores ("0" without a row). A value that is no
// percentage the simple discount editor stores (NULL, "abc", "", -50, 150, 1e308) is a
// StoredValueError naming it, the table, the database and the box that sets it: read as a
// number it would offer no discount at all, or a negative one, or overflow.
std::string StoredEconomyPercent();
// That percent as the fraction the economy pricing takes off the net charge.
Single EconomyFactor();
// The editor registers a source while it is open; nullopt (or no source) means the stored
// percentage.
using EconomyPercentSource = std::function<std::optional<std::string>()>;
void SetEconomyPercentSource(EconomyPercentSource source);

// Asks the user for the C.O.D. amount, which it leaves in charges.gChargeBasis. The C.O.D.
// dialog by default; tests put their own answer here.
using CODAmountPrompt = std::function<void()>;
void SetCODAmountPrompt(CODAmountPrompt prompt);
// That default: the quote window's C.O.D. dialog, which the program registers at start-up.
// Without one the amount is not asked and the basis stays what the earlier pricing had.
void SetCODAmountDialog(CODAmountPrompt dialog);
