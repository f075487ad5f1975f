#pragma once
// Line classes: the customer's FAK profiles and the density bands used between two Canadian
// points.

#include <array>
#include <cstdint>
#include <string>

#include "numbers.h"
#include "ratingstate.h"

// The class of each of the five lines as the request entered it.
using EnteredClasses = std::array<std::string, kCommodityLines>;

// Maps the classes of the rated lines through the FAK profile that applies to the lane: the
// "ALL" profile of the lane's kind first, then the origin location's, then the destination
// location's. The classes mapped are those the request entered (the main window's class boxes,
// or a bill's commodities). Refuses (RatingRefusal) a line with a weight whose class is not an
// NMFC class.
void ApplyFAKProfile(const EnteredClasses& entered);
// The same for the classes of the main window's boxes.
void ApplyFAKProfile();

// The class to rate a class text at, through the profile in gFAKProfile (the one the last
// FindFAKRow or ApplyFAKProfile found); sets
// gFAKActive to whether the class changed. A text that is not one of the eighteen classes,
// or a damaged profile, is refused (RatingRefusal).
Single MapFAKClass(const std::string& classText);

// Positions faktable on the row of the location, direction and region, never leaving that
// location's rows; without one the table is left with no current row. Returns whether it was
// found; gFAKProfile becomes its profile, or the identity profile (no FAK) when there is none.
bool FindFAKRow(const std::string& zip, uint8_t ibob, uint8_t region);

// The class of the density band that holds the number in the text; every density gives "100"
// from an origin in Quebec or Ontario. The lane code is not used.
std::string ClassForDensity(const std::string& density, int32_t laneCode);

// The highest density of one of the eleven band classes; "" for any other class.
std::string MaxDensityForClass(const std::string& classText);

// Whether a text is exactly one of the eighteen NMFC classes.
bool IsNMFCClass(const std::string& classText);

// The refusal of a class that is not an NMFC class.
[[noreturn]] void RefuseIllegalClass();
