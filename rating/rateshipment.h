#pragma once
// The rating driver: from the verified ends, the lane code and the commodity lines to the
// rating state, then on to the quote display.

// Rates the shipment the main window holds. Returns false when the rating was refused; the
// reason has then been shown through RatingMessage and no quote is displayed. On success it
// calls the quote display hook (when one is registered) and returns true. A failure of the
// database itself (DbError) is not a refusal and reaches the caller.
bool RateShipment();
