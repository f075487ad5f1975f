#pragma once
// Writes the last rating into the quote sheet: the break charged, the commodity lines, the
// minimum-charge, rated-as or deficit line, the totals, the discount and the net charges, then
// has the charges, the offshore lines and the guaranteed and Thriftlane offers follow.
// No window is needed: the quote window draws the sheet afterwards.

#include <cstdint>
#include <functional>
#include <string>

#include "numbers.h"

// The discount line's captions; the ten blanks are where the percent box sits. The printed
// quote recognises the line by these exact texts.
inline constexpr const char* kCarrierDiscountCaption =
    "Norvale Freight          % Discount Saves You";
inline constexpr const char* kThriftlaneDiscountCaption =
    "Thriftlane          % Discount Saves You";

// State of the quote on display.
struct QuoteDisplayState {
    bool gDeficitShown = false;  // the quote being written has a deficit line
    // The Canadian-funds line was added to this display. Only a new display clears it, so a
    // discount dialog closed without a change cannot let the line be added twice.
    bool CdnLineShown = false;
    // The total the quote shows (the last "TOTAL CHARGES" amount, offshore lines included).
    // gQuoteTotal stops at the land charges of an offshore quote, so the Canadian-funds line
    // converts this one instead.
    MoneyTotal shownTotal = 0;

    void Reset() { *this = QuoteDisplayState(); }
};
extern QuoteDisplayState quoteDisplay;

// Writes the quote of the last rating (ComputeCharges has run). Every display starts from a
// clean sheet. Mode 0 from the rating driver and the discount change, 1 from the
// bill-of-lading rating; both write the same.
void DisplayQuote(uint8_t mode);

// The service standard: target 1 the quote window's mlblService, target 0 the main window's
// lblService (through the main window's link; nothing without one).
void ShowServiceStandard(uint8_t days, uint8_t target);

// The origin, destination, effective date and service standard of the sheet, from the
// verified ends. DisplayQuote fills them, so a sheet never shows an earlier shipment's ends.
void FillQuoteHeader();

// What the quote takes from the main window, which registers it at start-up. Each member may
// be left empty: without destCityCaption an offshore destination shows the verified
// destination's caption.
struct QuoteMainWindowLink {
    std::function<std::string()> destCityCaption;        // the caption of lblDestCityState
    std::function<void(const std::string&)> lblService;  // writes the main window's lblService
};
void SetQuoteMainWindowLink(QuoteMainWindowLink link);
