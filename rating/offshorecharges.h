#pragma once
// The beyond, ocean, air, bunker, wharfage and delivery charges of Alaska, Hawaii and
// Puerto Rico destinations, and the offshore lines of the quote.
//
// A zone or rate row the tariff lacks raises TariffDataError naming it; an Alaska shipment the
// rates do not cover raises RatingRefusal. CheckOffshoreRating finds both before a quote is
// written.

#include <cstdint>
#include <string>

#include "numbers.h"

// The heaviest Alaska shipment the Alaska weight breaks cover.
inline constexpr int32_t kAlaskaMaxWeight = 32000;

// The Alaska air fuel surcharge the last OffshoreFuelSurcharge left.
extern Single gAKAirFuel;

// Alaska: the cheapest Alaska break with deficit weight, which rewrites the per-break values
// of the rating state (gFirstBreak, gLastBreak, gLineRate, gLineCharge, gDefRate, gDefWeight,
// gDefCharge, gRatedAsWeight, gGrossCharge) with the Alaska figures. Hawaii and Puerto Rico:
// the ocean charge by cube (and weight). The offshore kind is read from gOffshoreState.
Single BeyondOceanCharges(const std::string& cube, int32_t totalWeight);
// The air leg of an Alaska air-only point (zone 100 and above), 0 below; -10 when a line's
// class is 175 or more, which has no air rate.
Single AKAirCharge(uint8_t zone);
Single OffshoreFuelSurcharge(const std::string& cube, Single amount1, Single amount2);
Single HIWharfage(const std::string& cube);
Single HIHazmatOcean(const std::string& cube);
Single WillCallZoneCharges(const std::string& cube, int32_t totalWeight);

// Refuses (RatingRefusal, or TariffDataError for a gap in the tariff) an offshore rating that
// the charges below cannot price: a destination whose set-up did not complete, an Alaska zone
// that is not rated, an Alaska shipment above 32,000 lbs, a zone or rate row missing from its
// table. Reads gOffshoreDestZip, the kept offshore values, gLineWeight, gLineClass and the
// will-call box, so the rating driver calls it once the line classes are final; nothing for a
// mainland destination.
void CheckOffshoreRating();

// Writes the offshore lines after the land charges and the "TOTAL CHARGES" line, and returns
// the grand total: the land total as shown plus each line as shown. Nothing is written and the
// land total is returned for a mainland quote.
MoneyTotal WriteOffshoreQuoteLines(MoneyTotal landTotal);
// The same offshore amounts, each as its line would show it, added up without writing a line
// or showing a message (0 for a mainland destination).
MoneyTotal OffshoreChargesTotal();
