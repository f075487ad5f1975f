#pragma once
// The eleven break discounts of one discounts row, as the weight-break editor shows them in its
// masked boxes ("##.#", prompt "_") and stores them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

using BreakTexts = std::array<std::string, 11>;  // minimum charge first

// A box's text as stored: its number read up to the first prompt character, as NN.N.
// "5_._" gives 05.0, "1_.5" gives 01.0, an empty box 00.0; "12.5" stays.
std::string NormaliseBreakText(const std::string& boxText);

// The breaks of the row of the location, region and direction; MissingPricingRow when the
// table has no such row.
BreakTexts LoadBreakTexts(const std::string& location, uint8_t region, uint8_t ibob);
// Writes all eleven breaks, each normalised first, and returns what the opener's box shows
// for the row now: "tier" or its 5C discount. MissingPricingRow when the row is not there.
std::string SaveBreakTexts(const std::string& location, uint8_t region, uint8_t ibob,
                           BreakTexts& boxes);
