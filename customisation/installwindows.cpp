#include "installwindows.h"

#include "commandwindows.h"
#include "frmshiploc.h"
#include "quotecharges.h"

void InstallCustomisationWindows() {
    RegisterCommandWindow(CommandWindow::ShippingLocations, [] { ShowShipLocWindow(); });
}
