#pragma once
// The charges added to the line haul: accessorials, fees, fuel surcharge, the guaranteed
// charge and Canadian taxes, each priced once and either written as a quote line or added
// silently for the economy total; and the guaranteed and Thriftlane offers.

#include <array>
#include <cstdint>

#include "numbers.h"

struct ChargeState {
    Single gQuoteTotal = 0;   // running total of the quote
    Single gChargeBasis = 0;  // C.O.D. amount or other basis an accessorial row is priced on
    Single gPXSOffshoreTotal = 0;

    void Reset() { *this = ChargeState(); }
};
extern ChargeState charges;

// Adds the charges from the line after `line` on, writing each; `line` ends on the last line
// written. Sets gQuoteTotal.
void DisplayQuoteCharges(Single netCharge, int& line, uint8_t zero = 0);
// The same charges into gQuoteTotal without writing or asking anything.
void ComputeQuoteCharges(Single netCharge, int& line, uint8_t zero = 0);
// Writes the guaranteed and Thriftlane offers under the quote.
void OfferGuaranteedAndThriftlane();
