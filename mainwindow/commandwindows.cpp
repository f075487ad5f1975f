#include "commandwindows.h"

#include <map>

#include "msgbox.h"

namespace {
std::map<CommandWindow, CommandWindowOpener>& Openers() {
    static std::map<CommandWindow, CommandWindowOpener> openers;
    return openers;
}

const char* WindowTitle(CommandWindow window) {
    switch (window) {
        case CommandWindow::BillOfLading: return "The Bill of Lading System";
        case CommandWindow::RateSheets: return "Rate Sheets";
        case CommandWindow::SimpleDiscounts:
        case CommandWindow::Discounts: return "The discount editor";
        case CommandWindow::ShippingLocations: return "Shipping Locations";
        case CommandWindow::Upgrade: return "Transfer Disc/BOL";
        case CommandWindow::BatchRateTest: return "The batch rate test";
    }
    return "This window";
}
}  // namespace

void RegisterCommandWindow(CommandWindow window, CommandWindowOpener open) {
    Openers()[window] = std::move(open);
}

bool CommandWindowRegistered(CommandWindow window) {
    const auto it = Openers().find(window);
    return it != Openers().end() && it->second;
}

void OpenCommandWindow(CommandWindow window) {
    const auto it = Openers().find(window);
    if (it == Openers().end() || !it->second) {
        ShowMessage(QString(WindowTitle(window)) + " is not part of this build of Fretlyn.",
                    kMsgOK, "Fretlyn");
        return;
    }
    it->second();
}

void ResetCommandWindows() { Openers().clear(); }
