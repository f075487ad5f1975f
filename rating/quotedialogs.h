#pragma once
// The quote window's small dialogs: the exchange rate, the discount change and the C.O.D.
// amount.

// Asks for the C.O.D. amount; the amount typed goes to charges.gChargeBasis.
void ShowCODDialog();
