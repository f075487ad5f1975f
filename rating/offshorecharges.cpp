#include "offshorecharges.h"

// Placeholder until the offshore charges land: no offshore amounts.
Single gAKAirFuel = 0;

Single BeyondOceanCharges(const std::string&, int32_t) { return 0; }
Single AKAirCharge(uint8_t) { return 0; }
Single OffshoreFuelSurcharge(const std::string&, Single, Single) { return 0; }
Single HIWharfage(const std::string&) { return 0; }
Single HIHazmatOcean(const std::string&) { return 0; }
Single WillCallZoneCharges(const std::string&, int32_t) { return 0; }
Single WriteOffshoreQuoteLines(Single landTotal) { return landTotal; }
Single OffshoreChargesTotal() { return 0; }
