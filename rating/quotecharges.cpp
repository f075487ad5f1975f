// Everything charged on top of the chosen break's net charge, in a fixed order: accessorials,
// Homeland Security Fee, Island Delivery Fee, fuel surcharge, guaranteed charge, then the
// Canadian taxes. The quote on screen and the silent economy total run the same code.

#include "quotecharges.h"

#include <cmath>
#include <vector>

#include "chargepass.h"
#include "geography.h"
#include "quotesheet.h"
#include "ratingstate.h"
#include "settings.h"
#include "tariffdb.h"

ChargeState charges;

namespace {

// One list for the quote on screen and for the economy total: the same shipment to the same
// island pays the fee whichever service it goes by.
const char* const kIslandDeliveryZips[] = {
    "11965", "11964", "36528", "27960", "04848", "04853", "04863", "98261", "98279",
    "98280", "98286", "98250", "98221", "98297", "98222", "98262", "98281", "98110",
    "98303", "33957", "33924", "33921", "98243", "98245", "98070", "98704"};

std::string TotalCaption() {
    return IsOffshoreZip(rating.gOffshoreDestZip) ? "TOTAL LAND CHARGES" : "TOTAL CHARGES";
}

// The names are read first, in the order of the recordset's index byname: pricing a row seeks
// the recordset. The names alone are read, not every row whole.
std::vector<std::string> AccessorialNames() {
    std::vector<std::string> names;
    for (Snapshot s =
             tariff.gDB->OpenSnapshot("SELECT Name FROM accessorials ORDER BY Name, rowid");
         !s.AtEOF(); s.MoveNext())
        names.push_back(s.Field(size_t{0}).str());
    return names;
}

// One pass of the charges. A running TOTAL line follows the charges; a fee takes the place
// of the TOTAL line just above it, and takes a line of its own when there is none, so that it
// never covers the net charge or a charge line.
class ChargePass {
  public:
    ChargePass(MoneyTotal netCharge, int& line, ChargeOutput out)
        : net_(netCharge), line_(line), out_(out) {}

    void Run() {
        charges.netCharge = net_;
        charges.gQuoteTotal = net_;
        charges.totalShown = ShownAmount(net_);
        for (const std::string& name : AccessorialNames()) {
            const int before = line_;
            line_ = PriceAccessorial(name, line_, out_);
            if (line_ != before) totalOnLine_ = false;
        }
        if (charges.gQuoteTotal > net_ && !rating.gGuaranteedOn && !rating.gPXSOn) NewTotal();

        if (tariff.gOrigCountry + tariff.gDestCountry == 1) {
            charges.gHomelandFee = kHomelandSecurityFee;
            Fee("Homeland Security Fee", charges.gHomelandFee);
        }
        if (IsIslandDeliveryZip(tariff.gDestZip)) {
            charges.gIslandFee = kIslandDeliveryFee;
            Fee("Island Delivery Fee", charges.gIslandFee);
        }
        FuelSurcharge();
        if (rating.gGuaranteedOn) {
            ++line_;
            Write("Norvale GUARANTEED! Service", Format(rating.gGuaranteedCharge, kQuoteMoney),
                  kQuoteBlue);
            charges.Add(rating.gGuaranteedCharge);
            TotalIfAboveNet();
        }
        if (Display()) EconomyStandard();

        // The taxes are those of the total the quote shows.
        if (IsIntraCanada()) charges.gQuoteTotal = charges.totalShown;
        CanadaTaxes(charges.gQuoteTotal);
        if (Display()) {
            quote.gQuoteLine = line_;
            ShowCanadianTaxes();
            line_ = quote.gQuoteLine;
        }
    }

  private:
    bool Display() const { return out_ == ChargeOutput::Display; }

    void Write(const std::string& caption, const std::string& amount, uint32_t color) {
        totalOnLine_ = false;
        if (Display()) WriteQuoteLine(line_, caption, amount, color);
    }

    void WriteTotal() {
        Write(TotalCaption(), Format(charges.totalShown, kQuoteMoney), kQuoteBlack);
        totalOnLine_ = true;
    }

    void NewTotal() {
        ++line_;
        WriteTotal();
    }

    void TotalIfAboveNet() {
        if (charges.gQuoteTotal > net_) NewTotal();
    }

    void Fee(const std::string& caption, Single fee) {
        if (!totalOnLine_) ++line_;
        Write(caption, Format(fee, kQuoteMoney), kQuoteBlack);
        charges.Add(fee);
        TotalIfAboveNet();
    }

    // A percentage of the net charge shown only, doubled from 20,000 lbs.
    void FuelSurcharge() {
        const double f = ConfigNumber(kFuelSurchargeSetting);
        if (!(f > 0)) return;
        ++line_;
        const FuelPercent p = FuelSurchargePercent(f, rating.gTotalWeight);
        // Kept in double precision: a Single holds no more than 1/64 of a dollar above $131,072.
        const MoneyTotal amount = p.Of(ShownAmount(net_));
        Write("Fuel Surcharge " + p.Text() + "%", Format(amount, kQuoteMoney), kQuoteBlack);
        charges.Add(amount);
        TotalIfAboveNet();
    }

    void EconomyStandard() {
        if (!rating.gPXSOn) {
            quote.mlblDefServ.clear();
            return;
        }
        quote.mlblDefServ =
            "Thriftlane      Service Standard: \n" + CStr(rating.gPXSDays) + " Days";
        if (totalOnLine_)
            WriteTotal();
        else
            NewTotal();
    }

    MoneyTotal net_;
    int& line_;
    ChargeOutput out_;
    bool totalOnLine_ = false;  // the line at line_ is a running TOTAL line
};

}  // namespace

FuelPercent FuelSurchargePercent(double stored, int32_t totalWeight) {
    // Tenths of a per cent, as the setting keeps it: the caption and the amount read the same
    // figure, without the noise of a single-precision product.
    int64_t tenths = std::llround(stored * 10);
    if (totalWeight >= 20000) tenths *= 2;
    return FuelPercent{tenths};
}

std::string FuelPercent::Text() const {
    const std::string whole = std::to_string(tenths / 10);
    return tenths % 10 == 0 ? whole : whole + "." + std::to_string(tenths % 10);
}

MoneyTotal FuelPercent::Of(MoneyTotal net) const {
    // In whole cents, rounded once, halves up: 12.5 % of 5,324.36 is 665.545, shown 665.55.
    const int64_t cents = std::llround(net * 100);
    const int64_t thousandths = cents * tenths;
    const int64_t sign = thousandths < 0 ? -1 : 1;
    return static_cast<double>(sign * ((sign * thousandths + 500) / 1000)) / 100;
}

bool IsIslandDeliveryZip(const std::string& zip) {
    for (const char* z : kIslandDeliveryZips)
        if (zip == z) return true;
    return false;
}

void WriteQuoteLine(int line, const std::string& caption, const std::string& amount,
                    uint32_t color) {
    QuoteLine& l = quote.Line(line);
    l.rate = {caption, color};
    l.charge = {amount, color};
}

void AddQuoteCharges(MoneyTotal netCharge, int& line, ChargeOutput out) {
    ChargePass(netCharge, line, out).Run();
}

void DisplayQuoteCharges(MoneyTotal netCharge, int& line, uint8_t) {
    AddQuoteCharges(netCharge, line, ChargeOutput::Display);
}

void ComputeQuoteCharges(MoneyTotal netCharge, int& line, uint8_t) {
    AddQuoteCharges(netCharge, line, ChargeOutput::Silent);
}
