#pragma once
// The rate table of the lane last rated: the rate of every class at every break from the
// minimum charge to 25M, gross or net of the customer's break discounts, laid out in character
// columns. The window draws it; a test or the scenario runner reads it as text.

#include <cstdint>
#include <string>
#include <vector>

#include "numbers.h"

// Views of the table.
inline constexpr uint8_t kRateTableGross = 0;
inline constexpr uint8_t kRateTableNet = 1;

// The text of one cell: break brk (0 the minimum charge, 1 L5C .. 10 30M) at class cls, with
// the push and lane factors given. The net view takes the break's discount off before the
// factors, so it may differ by a cent from the net charge of a quote, which discounts after.
std::string ClassBreakRateText(int brk, Single cls, Single push, Single origFactor,
                               Single destFactor, uint8_t bytGN);

// One text placed at a 1-based character column.
struct PlacedText {
    int column = 1;
    std::string text;
};

struct RateTableRow {
    PlacedText label;               // the class, or "< " and a density bound
    std::vector<PlacedText> cells;  // minimum charge to 25M
};

struct RateTableModel {
    uint8_t view = kRateTableGross;
    std::string caption;
    std::vector<PlacedText> header;
    std::vector<RateTableRow> rows;

    // The header and the rows as lines of text, each item at its column.
    std::vector<std::string> Lines() const;
};

// Works out the table from the rating state of the quote on screen; changes none of it.
RateTableModel BuildRateTable(uint8_t bytGN);

// Items at their columns on one line; an item that would overlap the one before is moved one
// blank past its end, so nothing is lost.
std::string PlaceOnLine(const std::vector<PlacedText>& items);
