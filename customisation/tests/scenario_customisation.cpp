// Scenario commands for the customer's pricing windows, played through the windows as a user
// would. The commands:
//
//   shiploc add CODE        Shipping Locations..., Add, type CODE, OK, Done
//   shiploc delete CODE     Shipping Locations..., show CODE, Delete, Yes, Done

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <sstream>
#include <stdexcept>

#include "commandwindows.h"
#include "formkit.h"
#include "frmshiploc.h"
#include "installwindows.h"
#include "messagebox.h"
#include "scenario_extensions.h"

namespace {

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// Opens the window through its command, lets `drive` act on it, and restores the user's loop.
template <typename Window>
void Drive(CommandWindow command, std::function<void(Window&)> drive) {
    SetPricingModalRunner([&](QDialog& dialog) {
        auto* window = dynamic_cast<Window*>(&dialog);
        if (!window) throw std::runtime_error("an unexpected window opened");
        drive(*window);
    });
    try {
        OpenCommandWindow(command);
    } catch (...) {
        SetPricingModalRunner(nullptr);
        throw;
    }
    SetPricingModalRunner(nullptr);
}

void ShipLocStep(const std::string& rest) {
    const auto words = Words(rest);
    if (words.size() != 2 || (words[0] != "add" && words[0] != "delete"))
        throw std::runtime_error("shiploc add CODE | shiploc delete CODE");
    const QString code = QString::fromStdString(words[1]);
    Drive<frmShipLoc>(CommandWindow::ShippingLocations, [&](frmShipLoc& w) {
        if (words[0] == "add") {
            w.lblAdd_Click();
            w.txtShiploc->clear();
            QTest::keyClicks(w.txtShiploc, code);
            w.lblOK_Click();
        } else {
            const int at = w.cmbShipLoc->findText(code);
            if (at < 0) throw std::runtime_error("no shipping location " + words[1]);
            w.cmbShipLoc->setCurrentIndex(at);
            messageScript.Queue(kIdYes);
            w.lblDelete_Click();
        }
        w.lblExit_Click();
    });
}

const bool registered = RegisterScenarioExtension(
    {{"shiploc"},
     [] { InstallCustomisationWindows(); },
     [](const std::string& command, const std::string& rest) {
         if (command == "shiploc") ShipLocStep(rest);
     }});

}  // namespace
