#include "quotecharges.h"

#include "quotesheet.h"

// Placeholder until the accessorial, fee and tax charges land: the net charge is the total.
ChargeState charges;

void DisplayQuoteCharges(Single netCharge, int& line, uint8_t) {
    charges.gQuoteTotal = netCharge;
    (void)line;
}

void ComputeQuoteCharges(Single netCharge, int& line, uint8_t) {
    charges.gQuoteTotal = netCharge;
    (void)line;
}

void OfferGuaranteedAndThriftlane() {}
