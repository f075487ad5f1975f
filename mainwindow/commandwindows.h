#pragma once
// The windows the main window's commands open that live in other parts of the program (customer
// pricing, bills of lading, rate sheets, the batch test). Each part registers its opener at
// start-up; the main window only knows the command. Keeps the main window free of a dependency
// on the parts built above it.

#include <functional>

enum class CommandWindow {
    BillOfLading,       // frmBL
    RateSheets,         // frmRateSheet
    SimpleDiscounts,    // frmSimpleDiscount: no shipping locations yet
    Discounts,          // frmDiscounts: the full editor, once shipping locations exist
    ShippingLocations,  // frmShipLoc
    Upgrade,            // frmUpgrade
    BatchRateTest,      // frmPony
};

// Opens the window modally and returns when it closes.
using CommandWindowOpener = std::function<void()>;

void RegisterCommandWindow(CommandWindow window, CommandWindowOpener open);
bool CommandWindowRegistered(CommandWindow window);

// Opens the window; when no part of this build registered it, says so plainly instead.
void OpenCommandWindow(CommandWindow window);

// Forgets every opener; tests use it.
void ResetCommandWindows();
