#pragma once
// The quote window's small dialogs: the exchange rate, the discount change and the C.O.D.
// amount. The dialogs themselves are in quotedialogforms.h.

#include <functional>

class QDialog;
class QWidget;

// How the dialogs are shown modally. The program runs the dialog's own event loop; a test
// installs a runner that fills the dialog and clicks Done (or not) instead. Null restores the
// default.
using QuoteDialogRunner = std::function<void(QDialog& dialog)>;
void SetQuoteDialogRunner(QuoteDialogRunner runner);

// What opens the carrier's exchange-rate page in the web-page window; the main window's side
// registers it. Without one the label does nothing.
void SetExchangeRatePageOpener(std::function<void()> opener);

void ShowCdnRateDialog(QWidget* parent = nullptr);
// Shows frmChgDisc; a confirmed percentage re-rates the quote through CheckQuoteDiscount.
void ShowChgDiscDialog(QWidget* parent = nullptr);
// Asks for the C.O.D. amount; the amount typed goes to charges.gChargeBasis.
void ShowCODDialog(QWidget* parent = nullptr);
