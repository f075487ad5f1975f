#pragma once
// The weight-break charges of one shipment: the rate of each line, deficit weight, gross
// charge, discount and net charge of the minimum-charge slot and of every candidate break.

#include <cstdint>
#include <string>

#include "numbers.h"

// The lowest weight of breaks 5C to 30M (index 0 to 8); the last bound closes 30M.
inline constexpr int32_t kBreakBounds[10] = {500,   1000,  2000,  5000,  10000,
                                             15000, 20000, 25000, 30000, 100000};

// Computes the rating state from gLineWeight, gLineClass, gGridRow, the lane factors,
// gBreakDisc and gLaneFloor. Mode 0 from the rating driver, 1 from the bill-of-lading rating;
// both compute the same. Refuses (RatingRefusal, before anything is written) a rated line of
// zero pounds or less, a total of 100,000 lbs or more, no weight at all, or a rated line whose
// class is not an NMFC class.
void ComputeCharges(uint8_t mode);

// Checks the weights of the lines that will be rated (those before the first blank weight),
// with the refusals of ComputeCharges; returns the number of those lines.
int CheckLineWeights();
// One line's weight in whole pounds, or the refusal of ComputeCharges for it; `where` names the
// line in the refusal ("line  2", "line  2 of B/L 1001").
int32_t CheckedLineWeight(const std::string& text, const std::string& where);

// The break the shipment pays: the cheapest candidate break, or 0 when the net minimum charge
// is above it (shipments under 2000 lbs).
uint8_t CheapestBreak();

// The steps of a class rate, shared by the quote's lines, the rate table and the batch test.
// The rate before the lane factors, dollars per 100 lbs: the grid's cents x the class share
// x the share a discount leaves (1 for none), nudged, to the cent.
Single ClassRateBeforeFactors(int32_t gridCents, Single classShare, double netShare);
// The market push, the origin factor and the destination factor applied in turn, each
// nudged, to four places.
Single ApplyLaneFactors(Single amount, Single push, Single origFactor, Single destFactor);
// A class rate with the lane factors, to the cent: the rate of a quote line.
Single FactoredClassRate(int32_t gridCents, Single classShare, Single push, Single origFactor,
                         Single destFactor);

Single LowestLineClass(uint8_t count);
std::string DiscountedCharge(Single amount, uint8_t brk);
std::string DiscountedCharge2(Single amount, uint8_t brk);

// Between two Canadian points the quote shows every amount net of the discount the price
// uses: the economy discount while economy pricing is in force, else the break's. As text
// "#0.00", like DiscountedCharge.
std::string NetOfPriceDiscount(Single amount, uint8_t brk);
// The net charge a quote's price starts from: the rules' net charge of the break, except
// between two Canadian points above the minimum charge, where the quote shows only net lines
// and its price is the sum of those lines as shown (the deficit included).
MoneyTotal QuotedNetCharge(uint8_t brk);
Single MaxSingle(Single a, Single b);
Single MinSingle(Single a, Single b);
std::string PadLeft(int width, const std::string& text);
std::string LineClassCaption(const std::string& text, uint8_t line);
