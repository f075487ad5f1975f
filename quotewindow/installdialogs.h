#pragma once
// Puts the quote window's dialogs behind the questions the rating engine asks: the C.O.D.
// amount, the Puerto Rico exit port and the military base. The program calls it at start-up,
// and so do the test programs whose windows rate.

void InstallQuoteDialogs();
