#pragma once
// A new discount percentage for the quote on screen: checked, put into every weight break (or
// made the Thriftlane percentage) and rated again. Nothing is stored: the change lasts while
// the user refines this quote (a service chosen in the quote window rates it again at the
// typed percentage) and is forgotten with the quote, when the window is left.

#include <string>

// The quote window's switches of a discount change.
struct QuoteDiscountState {
    bool gChgDiscClicked = false;  // the discount box was clicked since the window was loaded
    bool gDiscChanged = false;     // a percentage was confirmed in the discount dialog

    void Reset() { *this = QuoteDiscountState(); }
};
extern QuoteDiscountState quoteDiscount;

// Takes the percentage in quote.txtChgDisc (NN.N). Does nothing unless the discount box was
// clicked (quoteDiscount.gChgDiscClicked), nor when the quote's minimum charge was raised to the
// lane floor. Refuses 0 and anything above 99.9 with a message, and the box shows the chosen
// break's discount again. Otherwise every break's discount (or, with Thriftlane chosen, the
// Thriftlane percentage) becomes that percentage, and the shipment is rated and the quote
// written again.
void CheckQuoteDiscount();

// The same, from the discount dialog, which knows what the box showed before it wrote the new
// percentage into it: a percentage refused or ignored gives the box that text back, so the box
// always shows the discount of the quote beside it.
void CheckQuoteDiscount(const std::string& shownBefore);
