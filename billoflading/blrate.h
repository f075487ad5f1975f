#pragma once
// Rating a stored bill of lading: its shipper's and consignee's codes become the two ends, its
// lines (the line weight and the commodity's class) the lines to rate, and the engine's one
// rating core does the rest. The main window's request (its ends, their shipping-location flags,
// its offshore set-up and its accessorial choices) is put aside while a bill is rated and comes
// back afterwards, so neither request leaks into the other.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "blrecords.h"

// The breaks a bill's special discount replaces: the minimum charge and the ten weight breaks.
inline constexpr size_t kDiscountedBreaks = 11;

// Rates the stored bill with this number (looked up trimmed). Silent 0: writes the quote and
// shows the quote window modally; a re-rating from that window rates this bill again. Silent
// 1: only computes, for a printed quote to follow (EndBillRating afterwards). Returns whether
// the bill was rated. A bill that cannot be rated (not on file, a party or commodity no longer
// stored, a code that is not verified, an offshore end, no line with a weight, a lane not
// served) is refused with a message and gives false; nothing escapes as an exception.
bool RateBL(const std::string& billNumber, uint8_t silent);
bool RateBLById(BLRecordId id, uint8_t silent);

// The main window's request back in place after the quote of a silent rating was printed.
// Does nothing when no bill rating is under way.
void EndBillRating();

// The code of a party's ZIP or postal code as the rating looks it up: trimmed, a US ZIP (ZIP+4
// included) cut to its five digits, a Canadian postal code in capitals and whole.
std::string RatingCodeOfZip(const std::string& zip);

// How the quote window is shown for a bill; `rerate` rates the bill again. Tests put in a
// function that stands for the window.
using BLQuoteShow = std::function<void(const std::function<void()>& rerate)>;
// A null function restores the quote window.
void SetBLQuoteShow(BLQuoteShow show);
