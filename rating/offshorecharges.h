#pragma once
// The beyond, ocean, air, bunker, wharfage and delivery charges of Alaska, Hawaii and
// Puerto Rico destinations, and the offshore lines of the quote.

#include <cstdint>
#include <string>

#include "numbers.h"

// The Alaska air fuel surcharge the last OffshoreFuelSurcharge left.
extern Single gAKAirFuel;

Single BeyondOceanCharges(const std::string& cube, int32_t totalWeight);
Single AKAirCharge(uint8_t zone);
Single OffshoreFuelSurcharge(const std::string& cube, Single amount1, Single amount2);
Single HIWharfage(const std::string& cube);
Single HIHazmatOcean(const std::string& cube);
Single WillCallZoneCharges(const std::string& cube, int32_t totalWeight);

// Writes the offshore lines after the land charges and the "TOTAL CHARGES" line, and returns
// the grand total; nothing is written and the land total is returned for a mainland quote.
Single WriteOffshoreQuoteLines(Single landTotal);
// The same offshore amounts added up without writing a line or showing a message.
Single OffshoreChargesTotal();
