// The main window: the accessorial services a user picks, and the rating request that checks
// the entry and rates it.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

#include "commodity.h"
#include "entrychecks.h"
#include "form3.h"
#include "form3menu.h"
#include "form3shared.h"
#include "handlerguard.h"
#include "inputdialogs.h"
#include "labelbutton.h"
#include "lanes.h"
#include "listfit.h"
#include "msgbox.h"
#include "offshore.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "servicestandard.h"
#include "settings.h"
#include "tariffdb.h"
#include "text.h"
#include "twips.h"

using namespace form3shared;

// --------------------------------------------------------------------------- accessorials

namespace {
// The main window's flag of an accessorial item, by its exact text.
bool* FlagOfItem(const std::string& item) {
    auto& c = commodityLines;
    if (item == "Norvale GUARANTEED!") return &c.gAccGuaranteed;
    if (item == "Liftgate service") return &c.gAccLiftgate;
    if (item == "Hazardous materials") return &c.gAccHazardous;
    if (item == "Thriftlane") return &c.gAccThriftlane;
    if (item == "Inside pickup and delivery") return &c.gAccInside;
    if (item == "Residential delivery") return &c.gAccResidential;
    return nullptr;
}

// The refusal a newly chosen item meets, given the flags as they stand; empty when none.
std::string RefusalOf(const std::string& item) {
    const auto& c = commodityLines;
    if (item == "Norvale GUARANTEED!") {
        if (c.gAccLiftgate) return "Cannot Guarantee a Liftgate shipment. ";
        if (c.gAccHazardous) return "Cannot Guarantee a Hazardous materials shipment. ";
        if (c.gAccThriftlane) return "Cannot Guarantee a Thriftlane shipment. ";
    } else if (item == "Liftgate service") {
        if (c.gAccGuaranteed) return "Cannot add a Liftgate service to a Guaranteed shipment. ";
    } else if (item == "Hazardous materials") {
        if (c.gAccGuaranteed) return "Cannot add Hazardous materials to a Guaranteed shipment. ";
        if (c.gAccThriftlane) return "Cannot add Hazardous materials to a Thriftlane shipment. ";
    } else if (item == "Thriftlane") {
        if (c.gAccGuaranteed) return "Cannot add Thriftlane service to a Guaranteed shipment. ";
        if (c.gAccHazardous)
            return "Cannot add Thriftlane service to a Hazardous materials shipment. ";
    }
    return {};
}
}  // namespace

void Form3::lstAccessorials_Click() {
    Recordset& rs = *tariff.rsAccessorials2;
    if (lstAccessorials->count() > 0) {
        rs.Seek("=", {lstAccessorials->item(0)->text().toStdString()});
        if (!rs.NoMatch() && rs.Field("apply").toDouble() == 0 &&
            lstAccessorials->item(0)->isSelected())
            commodityLines.gAskCODAmount = true;
    }
    if (mainState.gLocked || mainState.gInAccClick) {
        mainState.gInAccClick = false;
        return;
    }
    for (int i = 0; i < lstAccessorials->count(); ++i) {
        QListWidgetItem* item = lstAccessorials->item(i);
        const std::string name = item->text().toStdString();
        rs.Seek("=", {name});
        if (rs.NoMatch()) continue;
        rs.Edit();
        bool* flag = FlagOfItem(name);
        if (item->isSelected()) {
            const std::string refusal = RefusalOf(name);
            if (!refusal.empty()) {
                rs.CancelUpdate();
                *flag = false;
                mainState.gInAccClick = true;
                Message(refusal + " ", kMsgOK, "Service not Available");
                item->setSelected(false);
                return;
            }
            if (flag) *flag = true;
            rs.SetField("apply", 1);
        } else {
            rs.SetField("apply", 0);
            if (flag) *flag = false;
        }
        rs.Update();
    }
    mainState.gInAccClick = false;
}

void Form3::AccessorialClickAtomically() {
    const CommodityLines flags = commodityLines;
    const bool inClick = mainState.gInAccClick;
    const bool stored = RunHandlerAtomically(
        [this] { lstAccessorials_Click(); },
        [&] {
            commodityLines = flags;
            mainState.gInAccClick = inClick;
            if (accChoices_.size() != static_cast<size_t>(lstAccessorials->count())) return;
            fillingAccessorials_ = true;
            for (int i = 0; i < lstAccessorials->count(); ++i)
                lstAccessorials->item(i)->setSelected(accChoices_[static_cast<size_t>(i)]);
            fillingAccessorials_ = false;
        });
    if (stored) RememberAccessorialChoices();
}

void Form3::RememberAccessorialChoices() {
    accChoices_.clear();
    for (int i = 0; i < lstAccessorials->count(); ++i)
        accChoices_.push_back(lstAccessorials->item(i)->isSelected());
}

void Form3::lblApplyAccessorials_Click() {
    if (mainState.gLocked) return;
    mainState.gBusy = true;
    if (lstAccessorials->isHidden()) {
        // Each opening slides from the same collapsed place: one that went on from where the
        // last opening ended would creep up the window a step each time, until it left it.
        accListTwips = form3shared::kAccListCollapsed;
        PlaceAccessorialList();
        Timer1->start();
    }
    mainState.gBusy = false;
}

void Form3::Timer1_Timer() {
    lstAccessorials->show();
    lstAccessorials->raise();
    QRect& r = accListTwips;
    r = QRect(r.left(), r.top() - 270, r.width() + 400, r.height() + 270);
    if (r.top() < 4400) {
        r.setHeight(r.height() - 100);
        Timer1->stop();
    }
    PlaceAccessorialList();
    if (Timer1->isActive()) return;
    GrowToShowEveryItem(lstAccessorials);
    // Opened from the keyboard, the list takes the focus, so that the arrows and Space choose.
    if (lblApplyAccessorials->hasFocus()) lstAccessorials->setFocus(Qt::TabFocusReason);
}

// The list opens in the right-hand column; its slide follows the twips the window was
// designed in, moved there.
void Form3::PlaceAccessorialList() {
    const QPoint offset(470 - TwipsToPixels(240), 172 - TwipsToPixels(4170));
    lstAccessorials->setGeometry(TwipsToPixels(accListTwips.left()) + offset.x(),
                                 TwipsToPixels(accListTwips.top()) + offset.y(),
                                 TwipsToPixels(accListTwips.width()),
                                 TwipsToPixels(accListTwips.height()));
}

void Form3::Form_Click() {
    if (lstAccessorials->isHidden()) return;
    // Back to the label that opened the list, or to the heading of its group when the group has
    // closed meanwhile; which opens nothing, as the focus is not moved by Tab.
    QWidget* opener = lblApplyAccessorials->isVisible()
                          ? static_cast<QWidget*>(lblApplyAccessorials)
                          : menu->lblCustomize;
    HideAccessorialList(opener);
}

// The focus leaves the list before it hides: left to itself it would go on to the next command
// in Tab order, a heading of the menu, which would take it for a Tab and open its group.
void Form3::HideAccessorialList(QWidget* focusTo) {
    if (lstAccessorials->hasFocus()) focusTo->setFocus(Qt::OtherFocusReason);
    lstAccessorials->hide();
}

void Form3::mousePressEvent(QMouseEvent* event) {
    Form_Click();
    QWidget::mousePressEvent(event);
}

// --------------------------------------------------------------------------- rating request

void Form3::StoreAccessorialMarks() {
    Recordset& rs = *tariff.rsAccessorials2;
    for (int i = 0; i < lstAccessorials->count(); ++i) {
        rs.Seek("=", {lstAccessorials->item(i)->text().toStdString()});
        if (rs.NoMatch()) continue;
        rs.Edit();
        rs.SetField("apply", lstAccessorials->item(i)->isSelected() ? 1 : 0);
        rs.Update();
    }
    fillingAccessorials_ = true;
    lstAccessorials->clear();
    fillingAccessorials_ = false;
    Timer1->stop();
    accListTwips = QRect(120, 6240, 1000, 60);
    PlaceAccessorialList();
    HideAccessorialList(lblRate);
}

void Form3::lblRate_Click() {
    if (mainState.gLocked) return;
    bool rated = false;
    bool engineRan = false;
    try {
        if (CheckRequest()) {
            SyncCommodityLines();
            engineRan = true;
            rated = RateShipment();
        }
    } catch (const SettingError& e) {
        Message(e.what(), kMsgOK, "Rating Error");
        // The fuel surcharge is the one setting a quote from here reads that this window sets.
        if (e.key() == kFuelSurchargeSetting.key) ShowFuelSurcharge(this);
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Rating Error");
    }
    if (rated) {
        // The quote window has closed: the list comes back from the stored marks, and the
        // default origin is entered again.
        show();
        Form_Activate();
        txtozip->setFocus();
    } else if (lstAccessorials->count() == 0) {
        // A refused request keeps the origin as typed, but the choices are shown again.
        try {
            FillAccessorialList();
        } catch (const std::exception&) {
        }
    }
    // A request the engine refused starts again from its origin, as a rated one does.
    if (!rated && engineRan) txtozip->setFocus();
}

// The checks of a request, in their order; false after the first that fails.
bool Form3::CheckRequest() {
    txtozip_LostFocus();
    StoreAccessorialMarks();
    if (tariff.gOrigCountry == 99) {
        txtozip->setFocus();
        return false;
    }
    if (tariff.gDestCountry == 99) {
        txtdzip->setFocus();
        return false;
    }
    // Shipping locations added, deleted or replaced since the ends were entered count at once.
    rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
    rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
    if (commodityLines.gAccGuaranteed &&
        (Trim(tariff.gOrigZip).empty() || Trim(tariff.gDestZip).empty() ||
         !IsDirectPoint(tariff.gOrigZip, tariff.gDestZip))) {
        Message("Cannot Guarantee, not direct points " + std::string(" "), kMsgOK,
                "Service not Available");
        return false;
    }
    if (!GetPXSStandard(tariff.gOrigZip, TransitDestination(), rating.gPXSDays) &&
        commodityLines.gAccThriftlane) {
        Message("Not a valid Thriftlane Lane " + std::string(" "), kMsgOK, "Service not Available");
        return false;
    }
    const std::string lane =
        GetLaneCode(GridCellNumber(tariff.gOrigSubscript, tariff.gDestSubscript));
    rating.gLaneCode = static_cast<int32_t>(std::stol(lane));
    if (rating.gLaneCode == 99099) {
        Message("As of " + tariff.gEffDate + " NORVALE " +
                    "does not service this lane.  Please contact your Service Center.",
                kMsgOK, "No Service");
        txtozip->setFocus();
        return false;
    }
    // A quantity that is not a plain number would be rated as another than the quote shows:
    // where a value was typed, the refusal says what is wrong with it rather than that it is
    // missing.
    auto refuse = [this](const std::string& text, QLineEdit* box) {
        Message(text, kMsgOK, "Data Entry Error");
        box->setFocus();
        return false;
    };
    if (ReadsAsNoWeight(Text(txtweight[0]))) return refuse("No commodity weight entered.", txtweight[0]);
    auto blank = [this](int i) { return Trim(Text(txtweight[i])).empty(); };
    for (int i = 0; i < 5; ++i) {
        if (i >= 1 && i <= 3 && blank(i) && !blank(i + 1))
            return refuse("The commodity on line  " + std::to_string(i + 1) +
                              " is missing a weight value.  " + "Please correct the problem.",
                          txtweight[i]);
        if (blank(i)) continue;
        const std::string wrong = WeightRefusal(i + 1, Text(txtweight[i]));
        if (!wrong.empty()) return refuse(wrong, txtweight[i]);
    }
    if (IsIntraCanada()) {
        for (int i = 0; i < 5; ++i) {
            if (blank(i)) continue;
            const std::string density = Text(txtDensity[i]);
            const std::string wrong = Trim(density).empty()
                                          ? "The commodity on line  " + std::to_string(i + 1) +
                                                " is missing a density value.  " +
                                                "Please correct the problem."
                                          : DensityRefusal(i + 1, density);
            if (!wrong.empty()) return refuse(wrong, txtDensity[i]);
        }
    }
    for (int i = 0; i < 5; ++i) rating.gLineWeight[i] = Trim(Text(txtweight[i]));
    if (IsOffshoreZip(rating.gOffshoreDestZip) && tariff.gOffshoreState != "AK") {
        const std::string cube = Text(txtOceanDensity);
        const std::string wrong =
            Trim(cube).empty()
                ? "You must specify a density " + std::string("value for ocean-going shipments.")
                : OceanCubeRefusal(cube);
        if (!wrong.empty()) {
            Message(wrong, kMsgOK, "Data Entry Error");
            ShowOceanControls(true, false);
            txtOceanDensity->setFocus();
            return false;
        }
    }
    rating.gServiceDays = GetServiceDays(tariff.gOrigZip, TransitDestination());
    lblService->setText(QString::fromStdString(ServiceStandardText(rating.gServiceDays, 0)));
    return true;
}
