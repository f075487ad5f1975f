#pragma once
// Rating and printing a stored bill are built beside the bill-of-lading window; they register
// themselves here at start-up. The window's Rate and Print call through these and say plainly
// when a build has none.

#include <cstdint>
#include <functional>
#include <string>

struct BLRatePrintHooks {
    // Rates the stored bill with this number. Not silent (0): shows the quote window when the
    // lane is served. Silent (1): only computes, for a printed quote to follow. Returns whether
    // the bill was rated (its lane is served).
    std::function<bool(const std::string& billNumber, uint8_t silent)> RateBL;
    // Prints one copy of the stored bill with this number (the form, and its back page when
    // the settings ask for it). Returns whether both were printed.
    std::function<bool(const std::string& billNumber)> PrintBL;
    // Writes the quote of the last silent rating (DisplayQuote(1)), prints it (PrintRateQuote)
    // and puts the main window's request back. Returns false when the print failed.
    std::function<bool()> PrintRatedQuote;
};
// Print (PrintBLCopies, blprint.h) runs, for each copy: PrintBL, then, when "BL_PrintRates" is
// "yes", RateBL silently with blWindow.BLPrinting set and blWindow.boolSpecialDiscount read from
// the settings, and for a rated bill PrintRatedQuote; afterwards gBreakDisc is put back from
// gBreakDisc2. A print that failed (its hook returns false or throws) ends the command there:
// its message has been shown, and nothing after it is printed. A rating that throws only skips
// its own step.

void SetBLRatePrintHooks(BLRatePrintHooks hooks);
const BLRatePrintHooks& GetBLRatePrintHooks();
