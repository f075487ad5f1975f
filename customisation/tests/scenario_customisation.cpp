// Scenario commands for the customer's pricing windows, played through the windows as a user
// would. The commands:
//
//   shiploc add CODE        Shipping Locations..., Add, type CODE, OK, Done
//   shiploc delete CODE     Shipping Locations..., show CODE, Delete, Yes, Done
//   discounts BOX=TEXT...   the simple discount editor: types into the boxes (usa, floor,
//                           usacanada, canadausa, canada, pxs) and clicks Done
//   weightbreaks LANE T0..T10   the simple discount editor: double-clicks the lane's box (usa,
//                           usacanada, canadausa, canada), types the eleven break discounts,
//                           Done there and in the editor
//   simplefak LANE select=C,C pick=C   the simple editor's Set FAK of lane 10, 40 or 41:
//                           selects the actual classes, picks the FAK class, Apply, Done

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <map>
#include <sstream>
#include <stdexcept>

#include "commandwindows.h"
#include "fakpairview.h"
#include "formkit.h"
#include "frmdiscwtbrks.h"
#include "frmshiploc.h"
#include "frmsimplediscount.h"
#include "frmsimplefak.h"
#include "installwindows.h"
#include "maskededit.h"
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

SimpleBox BoxNamed(const std::string& name) {
    static const std::map<std::string, SimpleBox> boxes = {{"usa", SimpleBox::USA},
                                                           {"floor", SimpleBox::USAFloor},
                                                           {"usacanada", SimpleBox::USAtoCanada},
                                                           {"canadausa", SimpleBox::CanadatoUSA},
                                                           {"canada", SimpleBox::Canada},
                                                           {"pxs", SimpleBox::PXS}};
    const auto it = boxes.find(name);
    if (it == boxes.end()) throw std::runtime_error("no discount box " + name);
    return it->second;
}

void Type(QLineEdit* box, const std::string& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::fromStdString(text));
}

// Runs `drive` on each window as it opens, the innermost first to finish.
void DriveEditor(std::function<void(QDialog&)> drive) {
    SetPricingModalRunner(std::move(drive));
    try {
        OpenCommandWindow(CommandWindow::SimpleDiscounts);
    } catch (...) {
        SetPricingModalRunner(nullptr);
        throw;
    }
    SetPricingModalRunner(nullptr);
}

void DiscountsStep(const std::string& rest) {
    DriveEditor([&](QDialog& dialog) {
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        for (const auto& word : Words(rest)) {
            const size_t eq = word.find('=');
            if (eq == std::string::npos) throw std::runtime_error("discounts BOX=TEXT ...");
            Type(w.Box(BoxNamed(word.substr(0, eq))), word.substr(eq + 1));
        }
        w.lblDone_Click();
    });
}

void WeightBreaksStep(const std::string& rest) {
    const auto words = Words(rest);
    if (words.size() != 12) throw std::runtime_error("weightbreaks LANE and eleven discounts");
    DriveEditor([&](QDialog& dialog) {
        if (auto* breaks = dynamic_cast<frmDiscWtBrks*>(&dialog)) {
            for (size_t i = 0; i < 11; ++i) {
                breaks->mskWtBrks[i]->clear();
                breaks->mskWtBrks[i]->setCursorPosition(0);
                QTest::keyClicks(breaks->mskWtBrks[i],
                                 QString::fromStdString(words[i + 1]).remove('.'));
            }
            breaks->lblDone_Click();
            return;
        }
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        w.Lane_DblClick(BoxNamed(words[0]));
        w.lblDone_Click();
    });
}

void SimpleFAKStep(const std::string& rest) {
    const auto words = Words(rest);
    if (words.size() != 3 || words[1].rfind("select=", 0) != 0 || words[2].rfind("pick=", 0) != 0)
        throw std::runtime_error("simplefak LANE select=C,C pick=C");
    DriveEditor([&](QDialog& dialog) {
        if (auto* fak = dynamic_cast<frmSimpleFAK*>(&dialog)) {
            std::stringstream classes(words[1].substr(7));
            for (std::string c; std::getline(classes, c, ',');) {
                auto found =
                    fak->lstActualClass->findItems(QString::fromStdString(c), Qt::MatchExactly);
                if (found.isEmpty()) throw std::runtime_error("no class " + c);
                found.front()->setSelected(true);
            }
            const std::string pick = words[2].substr(5);
            bool picked = false;
            for (int i = 0; i < fak->lstFAKClass->count() && !picked; ++i)
                if (fak->lstFAKClass->item(i)->text().toStdString() == pick) {
                    fak->lstFAKClass->item(i)->setSelected(true);
                    picked = true;
                }
            if (!picked) throw std::runtime_error("no FAK line " + pick);
            fak->cmdApply_Click();
            fak->cmdDone_Click();
            return;
        }
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        w.FAK_Click(static_cast<uint8_t>(std::stoi(words[0])));
        w.lblDone_Click();
    });
}

const bool registered =
    RegisterScenarioExtension({{"shiploc", "discounts", "weightbreaks", "simplefak"},
                               [] { InstallCustomisationWindows(); },
                               [](const std::string& command, const std::string& rest) {
                                   if (command == "shiploc") ShipLocStep(rest);
                                   if (command == "discounts") DiscountsStep(rest);
                                   if (command == "weightbreaks") WeightBreaksStep(rest);
                                   if (command == "simplefak") SimpleFAKStep(rest);
                               }});

}  // namespace
