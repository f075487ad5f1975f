#pragma once
// The rating driver: from the verified ends, the lane code and the commodity lines to the
// rating state, then on to the quote display.

#include <cstdint>
#include <functional>

#include "linesclasses.h"

// Rates the shipment the main window holds. Returns false when the rating was refused; the
// reason has then been shown through RatingMessage and no quote is displayed. On success it
// calls the quote display hook inside the rating's read transaction, then the quote show hook
// after it (each when one is registered), and returns true. A failure of the
// database itself (DbError) is not a refusal and reaches the caller.
bool RateShipment();

// The engine's steps, one core for every request (the main window's and a bill's): with the
// ends, the lane code and gLineWeight handed over, it sets the line classes from the entered
// classes (between two Canadian points from the densities, when the request has densities),
// maps them through the FAK profile, loads the lane's grid row and factors, sets the lane
// flags, loads the break discounts and floor, runs `adjustDiscounts` when one is given, and
// computes the charges of every candidate break. Refusals and tariff-data errors are shown
// through RatingMessage, once the rating's read transaction has ended, and give false. On
// success `writeQuote`, when one is given, runs inside the same read transaction; an error it
// raises reaches the caller.
bool RateRequest(const EnteredClasses& classes, const EnteredClasses* densities, uint8_t mode,
                 const std::function<void()>& adjustDiscounts = {},
                 const std::function<void()>& writeQuote = {});
