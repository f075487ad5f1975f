#include "installwindows.h"

#include "commandwindows.h"
#include "frmdiscounts.h"
#include "frmshiploc.h"
#include "frmsimplediscount.h"
#include "quotecharges.h"
#include "simplediscount.h"

void InstallCustomisationWindows() {
    RegisterCommandWindow(CommandWindow::ShippingLocations, [] { ShowShipLocWindow(); });
    // Opened from the main window or the quote window, Back has no full editor to go to.
    RegisterCommandWindow(CommandWindow::SimpleDiscounts, [] { ShowSimpleDiscount(); });
    RegisterCommandWindow(CommandWindow::Discounts, [] { ShowDiscountsWindow(); });
    // The economy quote takes its percentage from the simple editor, loaded or not.
    SetEconomyPercentSource([]() -> std::optional<std::string> {
        try {
            return GetPXSPercent();
        } catch (const std::exception&) {
            return std::nullopt;  // no percentage stored: the engine's own answer stands
        }
    });
}
