// Scenario command for the full discount editor, played through the window as a user would:
//
//   fulleditor LOCATION ACTION...   opens the editor, picks LOCATION, then in order:
//       newregion                   clicks "Create a new Region"
//       region=N                    picks RegionN
//       click=STATE                 clicks the state on the map (blanks written as _)
//       ib=T ob=T ibfloor=T obfloor=T   types T into that box
//   and closes it with "Click here to close".

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <sstream>
#include <stdexcept>

#include "commandwindows.h"
#include "formkit.h"
#include "frmdiscounts.h"
#include "polygonfile.h"
#include "regionmap.h"
#include "regionmapwidget.h"
#include "scenario_extensions.h"
#include "tariffdb.h"

namespace {

QPoint StatePoint(RegionMapWidget& map, const std::string& state) {
    std::vector<std::string> lines;
    LoadPolygonFile(AppFolder() + kPolygonFile, lines);
    for (const auto& line : lines) {
        if (PolygonName(line) != state) continue;
        const MapRing ring = *ParsePolygonRing(line);
        for (size_t k = 2; k < ring.size(); ++k) {
            const double x = (ring[0].x + ring[k].x) / 2.0, y = (ring[0].y + ring[k].y) / 2.0;
            if (RingContains(ring, x, y)) return map.ToWidget(x, y).toPoint();
        }
    }
    throw std::runtime_error("no state " + state + " on the map");
}

// The box gets the focus and the text as typed; the next command leaves it first.
void TypeInto(frmDiscounts& w, FullBox box, const std::string& text) {
    w.Box_GotFocus(box);
    w.Box(box)->setText(QString::fromStdString(text));
}

void Act(frmDiscounts& w, const std::string& action) {
    if (action == "newregion") return w.lblCreateNewRegion_Click();
    const size_t eq = action.find('=');
    if (eq == std::string::npos) throw std::runtime_error("fulleditor: no action " + action);
    const std::string key = action.substr(0, eq), value = action.substr(eq + 1);
    if (key == "region") {
        const int index = std::stoi(value) - 1;
        if (index < 0 || index >= w.imgcboRegions->count())
            throw std::runtime_error("fulleditor: no Region" + value);
        w.imgcboRegions->setCurrentIndex(index);
        return w.imgcboRegions_Click(index);
    }
    if (key == "click") {
        std::string state = value;
        for (char& c : state)
            if (c == '_') c = ' ';
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, StatePoint(*w.Rose1, state));
        return;
    }
    const std::pair<const char*, FullBox> boxes[] = {{"ib", FullBox::IBDisc},
                                                     {"ob", FullBox::OBDisc},
                                                     {"ibfloor", FullBox::IBFloor},
                                                     {"obfloor", FullBox::OBFloor}};
    for (const auto& [name, box] : boxes)
        if (key == name) return TypeInto(w, box, value);
    throw std::runtime_error("fulleditor: no box " + key);
}

void FullEditorStep(const std::string& rest) {
    std::istringstream in(rest);
    std::string location;
    in >> location;
    std::vector<std::string> actions;
    for (std::string a; in >> a;) actions.push_back(a);
    SetPricingModalRunner([&](QDialog& dialog) {
        auto* w = dynamic_cast<frmDiscounts*>(&dialog);
        if (!w) throw std::runtime_error("an unexpected window opened");
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w)) throw std::runtime_error("the editor is not active");
        const int at = w->cboShipLoc->findText(QString::fromStdString(location));
        if (at < 0) throw std::runtime_error("no shipping location " + location);
        w->cboShipLoc->setCurrentIndex(at);
        w->cboShipLoc_Click();
        for (const auto& action : actions) Act(*w, action);
        w->lblExit_Click();
    });
    try {
        OpenCommandWindow(CommandWindow::Discounts);
    } catch (...) {
        SetPricingModalRunner(nullptr);
        throw;
    }
    SetPricingModalRunner(nullptr);
}

const bool registered = RegisterScenarioExtension(
    {{"fulleditor"},
     [] {},
     [](const std::string&, const std::string& rest) { FullEditorStep(rest); }});

}  // namespace
