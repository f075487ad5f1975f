// The main window: its two ends (a code or a city, checked as the focus leaves the box, with
// the list of cities to choose from) and its five commodity lines.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "commodity.h"
#include "form3.h"
#include "form3shared.h"
#include "helpdesk.h"
#include "inputdialogs.h"
#include "labelbutton.h"
#include "lanes.h"
#include "msgbox.h"
#include "offshore.h"
#include "ratingstate.h"
#include "servicestandard.h"
#include "tariffdb.h"
#include "text.h"

using namespace form3shared;

namespace {

// A text is a city name when neither of its first two characters is a digit.
bool IsCityName(const std::string& s) {
    auto digit = [&](size_t i) {
        return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]));
    };
    return !digit(0) && !digit(1);
}

bool MessageUp() {
    return messages.gMsgShown;
}

bool BothVerified() {
    return tariff.gOrigCountry + tariff.gDestCountry < 99;
}

}  // namespace

// --------------------------------------------------------------------------- entry checks

namespace {
// The hourglass a look-up may raise never outlives the check that raised it.
struct HourglassScope {
    bool& flag;
    ~HourglassScope() {
        if (flag) QApplication::restoreOverrideCursor();
        flag = false;
    }
};
}  // namespace

void Form3::ReportDataError(const std::exception& e, bool isDest) {
    (isDest ? tariff.gDestCountry : tariff.gOrigCountry) = 99;
    SetCityCaption(isDest, "");
    SetLocked(false);
    lstCities->hide();
    lblChooseCity->hide();
    Message(e.what(), kMsgOK, "Tariff Data Error");
    Refocus(isDest ? txtdzip : txtozip);
}

void Form3::txtozip_LostFocus() {
    if (mainState.gBusy) return;
    HourglassScope scope{hourglass_};
    try {
        lblOrigCityState->clear();
        // The standard of the lane before stays only if this origin is verified again.
        lblService->clear();
        const std::string text = Text(txtozip);
        if (Trim(text).empty()) return OriginTail();
        if (text.find(',') != std::string::npos) {
            if (tariff.gOrigCountry != 99)
                lblOrigCityState->setText(QString::fromStdString(tariff.gOrigCityState));
            return OriginTail();
        }
        tariff.gOrigZip = Upper(Trim(text));
        txtozip->setText(QString::fromStdString(tariff.gOrigZip));
        tariff.gOrigCountry = 99;

        if (IsCityName(tariff.gOrigZip)) {
            if (!SearchCities(tariff.gOrigZip, 0)) {
                if (!MessageUp()) {
                    Message("Origin was not verified.  Please try again.", kMsgOK,
                            "Data Entry Error");
                    Refocus(txtozip);
                }
                return;
            }
            if (mainState.gLocked) return;  // the choice in lstCities completes the origin
            if (tariff.gOrigCountry == 99 || !IsOffshoreZip(tariff.gOrigZip)) return OriginTail();
            return RefuseOffshoreOrigin(true);
        }

        if (!LookupCityState(tariff.gOrigZip, 0)) {
            if (!MessageUp()) {
                Message("Origin was not verified.  Please try again.", kMsgOK, "Data Entry Error");
                Refocus(txtozip);
            }
            return;
        }
        lblOrigCityState->setText(QString::fromStdString(tariff.gOrigCityState));
        if (IsOffshoreZip(tariff.gOrigZip)) return RefuseOffshoreOrigin();
        OriginTail();
    } catch (const std::exception& e) {
        ReportDataError(e, false);
    }
}

// The carrier does not quote outbound from Alaska, Hawaii or Puerto Rico here. The origin is
// refused before any offshore set-up, which would otherwise rewrite the destination.
void Form3::RefuseOffshoreOrigin(bool typedAsCity) {
    const char* offshoreName = OffshoreName(tariff.gOffshoreState);
    const std::string name = offshoreName ? offshoreName : tariff.gOffshoreState;
    tariff.gOrigCountry = 99;
    if (MessageUp()) {
    } else if (typedAsCity) {
        Message("Please call the Norvale help desk at " + std::string(kHelpDeskPhone) +
                    " about outbound service from " + name + ".",
                kMsgOK, "NORVALE Service");
    } else {
        Message("Contact your NORVALE representative about outbound " +
                    std::string("service from ") + name + ".",
                kMsgOK, "NORVALE Service");
    }
    offshore.gOffshoreName.clear();
    tariff.gOffshoreState.clear();
    SetTextQuietly(txtozip, "");
    lblOrigCityState->clear();
    Refocus(txtozip);
}

void Form3::OriginTail() {
    rating.gOutbound = tariff.gOrigCountry != 99 && IsShipLocationZip(tariff.gOrigZip3, 0);
    if (IsIntraCanada()) ShowDensityEntry();
    ShowTransitDays();
}

void Form3::txtdzip_LostFocus() {
    if (mainState.gBusy) return;
    HourglassScope scope{hourglass_};
    try {
        lblDestCityState->clear();
        // As for the origin: the lane's standard stays only if this destination is verified again.
        lblService->clear();
        const std::string text = Text(txtdzip);
        if (Trim(text).empty()) return DestinationTail();
        tariff.gDestZip = Upper(Trim(text));
        const std::string typed = tariff.gDestZip;
        txtdzip->setText(QString::fromStdString(tariff.gDestZip));
        tariff.gDestCountry = 99;

        const size_t comma = typed.find(',');
        const bool byCity = comma != std::string::npos || IsCityName(typed);
        if (comma != std::string::npos) tariff.gDestZip = typed.substr(0, comma);

        if (byCity) {
            if (!SearchCities(tariff.gDestZip, 1)) {
                Message("Destination was not verified.  " + std::string("Please try again."),
                        kMsgOK, "Data Entry Error");
                Refocus(txtdzip);
                return;
            }
            if (mainState.gLocked) return;  // the choice in lstCities completes it
            if (!LookupCityState(tariff.gDestZip, 1)) return DestinationTail();
        } else if (!LookupCityState(tariff.gDestZip, 1)) {
            if (!MessageUp()) {
                Message("Destination was not verified.  Please try again.", kMsgOK,
                        "Data Entry Error");
                Refocus(txtdzip);
            }
            return;
        }
        lblDestCityState->setText(QString::fromStdString(tariff.gDestCityState));
        if (!IsOffshoreZip(tariff.gDestZip)) {
            ClearOffshoreValues();
            return DestinationTail();
        }

        if (!SetupOffshore(tariff.gDestState)) return Refocus(txtdzip);
        if (IsHawaiiWillCallZip(rating.gOffshoreDestZip) || IsAKZone99(rating.gOffshoreDestZip)) {
            tariff.gDestCountry = 99;
            if (MessageUp()) return;
            Message(
                "Please contact your Norvale Service Center " + std::string("about this shipment"),
                kMsgOK, "Special Service");
            lblDestCityState->clear();
            if (byCity) SetTextQuietly(txtdzip, "");
            Refocus(txtdzip);
            return;
        }
        if (!byCity && tariff.gOffshoreState == "AK") {
            tariff.gDestCountry = 99;
            if (!MessageUp())
                Message("Alaska can only be rated " + std::string("by city"), kMsgOK,
                        "Zip entry error");
            Refocus(txtdzip);
            return;
        }
        if (tariff.gOffshoreState == "AK" && !ReadsAsNumber(typed))
            lblDestCityState->setText(QString::fromStdString(typed));
        ShowOceanControls(tariff.gOffshoreState != "AK", offshore.gIsHI);
        LookupCityState(tariff.gDestZip, 1);
        DestinationTail();
    } catch (const std::exception& e) {
        ReportDataError(e, true);
    }
}

void Form3::DestinationTail() {
    if (BothVerified()) {
        rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
        if (IsIntraCanada())
            ShowDensityEntry();
        else
            ShowClassEntry();
    }
    ShowTransitDays();
}

void Form3::ShowTransitDays(bool evenToPuertoRico) {
    if ((offshore.gIsPR && !evenToPuertoRico) || !BothVerified()) return;
    // A transit-day file that cannot be read (damaged, or gone) leaves both ends verified, with
    // no standard shown: the rating refuses the request and names the file, once.
    try {
        rating.gServiceDays = GetServiceDays(tariff.gOrigZip, TransitDestination());
    } catch (const std::exception&) {
        lblService->clear();
        return;
    }
    lblService->setText(QString::fromStdString(ServiceStandardText(rating.gServiceDays, 0)));
}

void Form3::ShowOceanControls(bool oceanCube, bool willCall) {
    lblDensity->setVisible(oceanCube);
    lblClickHere->setVisible(oceanCube);
    txtOceanDensity->setVisible(oceanCube);
    if (willCall) chkHawaiiWillCall->show();
}

void Form3::HideOceanControls() {
    lblDensity->hide();
    lblClickHere->hide();
    txtOceanDensity->clear();
    txtOceanDensity->hide();
    chkHawaiiWillCall->hide();
}

void Form3::txtozip_GotFocus() {
    txtozip->selectAll();
    if (!IsOffshoreZip(rating.gOffshoreDestZip)) {
        tariff.gOffshoreState.clear();
        HideOceanControls();
    }
}

void Form3::txtdzip_GotFocus() {
    txtdzip->selectAll();
    tariff.gOffshoreState.clear();
    HideOceanControls();
}

void Form3::txtozip_Click() {
    if (mainState.gLocked && !MessageUp()) lstCities->setFocus();
}

void Form3::lstCities_LostFocus() {
    if (!mainState.gLocked || !lstCities->isVisible()) return;
    if (IsOffshoreZip(tariff.gOrigZip)) return;
    if (lstCities->selectedItems().isEmpty()) {
        Message(tariff.gPickForDest
                    ? "Destination was not verified.  Choose a city.  Please try again."
                    : "Origin was not verified. Choose a city.  Please try again.",
                kMsgOK, "Data Entry Error");
        Refocus(lstCities);
        return;
    }
    lstCities_Click();
}

void Form3::lstCities_Click() {
    const bool forDest = tariff.gPickForDest != 0;
    const auto selected = lstCities->selectedItems();
    if (selected.isEmpty()) {
        Message(forDest ? "Destination was not verified.  Choose a city.  Please try again."
                        : "Origin was not verified.  Choose a city.  Please try again.",
                kMsgOK, "Data Entry Error");
        Refocus(lstCities);
        return;
    }
    const std::string choice = selected.front()->text().toStdString();
    auto endChoice = [this] {
        lstCities->hide();
        lblChooseCity->hide();
        SetLocked(false);
    };
    try {
        PickCity(choice);
        endChoice();
        if ((forDest ? tariff.gDestCountry : tariff.gOrigCountry) == 99) {
            Message(forDest ? "Destination was not verified.  Please try again."
                            : "Origin was not verified.  Please try again.",
                    kMsgOK, "Data Entry Error");
            Refocus(forDest ? txtdzip : txtozip);
            return;
        }
        if (forDest) {
            if (!IsOffshoreZip(tariff.gDestZip)) {
                ClearOffshoreValues();
            } else {
                if (!SetupOffshore(tariff.gDestState)) {
                    SetTextQuietly(txtdzip, "");
                    lblDestCityState->clear();
                    return Refocus(txtdzip);
                }
                if (IsHawaiiWillCallZip(rating.gOffshoreDestZip) ||
                    IsAKZone99(rating.gOffshoreDestZip)) {
                    Message("Please contact your Norvale Service Center about this shipment",
                            kMsgOK, "Special Service");
                    offshore.gOffshoreName.clear();
                    tariff.gOffshoreState.clear();
                    tariff.gDestCountry = 99;
                    SetTextQuietly(txtdzip, "");
                    lblDestCityState->clear();
                    Refocus(txtdzip);
                    return;
                }
                ShowOceanControls(tariff.gOffshoreState != "AK", offshore.gIsHI);
                LookupCityState(tariff.gDestZip, 1);
            }
            SetTextQuietly(txtdzip, QString::fromStdString(choice));
            lblDestCityState->setText(QString::fromStdString(choice));
            DestinationTail();
            txtweight[0]->setFocus();
        } else {
            if (IsOffshoreZip(tariff.gOrigZip)) return RefuseOffshoreOrigin();
            SetTextQuietly(txtozip, QString::fromStdString(choice));
            lblOrigCityState->setText(QString::fromStdString(choice));
            OriginTail();
            txtdzip->setFocus();
        }
    } catch (const std::exception& e) {
        ReportDataError(e, forDest);
    }
}

// --------------------------------------------------------------------------- commodity lines

void Form3::ShowDensityEntry() {
    ShowEntryMode(true);
}

void Form3::ShowClassEntry() {
    ShowEntryMode(false);
}

// Between two Canadian points a line takes a density instead of a class; the boxes of the
// other mode keep their texts, hidden and disabled.
void Form3::ShowEntryMode(bool density) {
    for (int i = 0; i < 5; ++i) {
        txtDensity[i]->setVisible(density);
        txtDensity[i]->setEnabled(density);
        lblPCF[i]->setVisible(density);
        lblclass[i]->setText(density ? "Density" : "Class");
        cmbclass[i]->setVisible(!density);
        cmbclass[i]->setEnabled(!density);
    }
    auto second = [&](int i) -> QWidget* {
        return density ? static_cast<QWidget*>(txtDensity[i]) : cmbclass[i];
    };
    for (int i = 0; i < 5; ++i) {
        QWidget::setTabOrder(i == 0 ? static_cast<QWidget*>(txtdzip) : second(i - 1), txtweight[i]);
        QWidget::setTabOrder(txtweight[i], second(i));
    }
}

void Form3::txtweight_GotFocus(int index) {
    try {
        if (BothVerified()) {
            rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
            rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
            if (IsIntraCanada())
                ShowDensityEntry();
            else
                ShowClassEntry();
            // Unlike the entry checks, the weight box shows a Puerto Rico standard too.
            ShowTransitDays(true);
        }
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Tariff Data Error");
    }
    QLineEdit* box = txtweight[index];
    box->setSelection(0, static_cast<int>(Trim(Text(box)).size()));
}

void Form3::cmbclass_LostFocus(int index) {
    const std::string text = cmbclass[index]->currentText().toStdString();
    for (const auto& c : tariff.gClasses)
        if (c == text) return;
    Message("This is an illegal NMFC Class value.  " + std::string("Please correct"), kMsgOK,
            "Error");
    Refocus(cmbclass[index]);
}

void Form3::lblClickHere_Click() {
    try {
        ShowOceanDims(txtOceanDensity, this);
    } catch (const std::exception& e) {
        Message(e.what(), kMsgOK, "Ocean Dimensions");
    }
}

void Form3::SyncCommodityLines() {
    for (int i = 0; i < 5; ++i) {
        commodityLines.txtweight[i] = Text(txtweight[i]);
        commodityLines.cmbclass[i] = cmbclass[i]->currentText().toStdString();
        commodityLines.txtDensity[i] = Text(txtDensity[i]);
    }
    commodityLines.txtOceanDensity = Text(txtOceanDensity);
    commodityLines.chkHawaiiWillCall = chkHawaiiWillCall->isChecked();
}

// --------------------------------------------------------------------------- PointEntryView

void Form3::ShowHourglass() {
    if (!hourglass_) QApplication::setOverrideCursor(Qt::WaitCursor);
    hourglass_ = true;
}

void Form3::ClearCityList() {
    lstCities->clear();
}

void Form3::AddCity(const std::string& entry) {
    lstCities->addItem(QString::fromStdString(entry));
}

std::vector<std::string> Form3::CityEntries() const {
    std::vector<std::string> out;
    for (int i = 0; i < lstCities->count(); ++i)
        out.push_back(lstCities->item(i)->text().toStdString());
    return out;
}

void Form3::RemoveCity(int index) {
    delete lstCities->takeItem(index);
}

void Form3::ShowCityList() {
    lblChooseCity->show();
    lblChooseCity->raise();
    lstCities->show();
    lstCities->raise();
    lstCities->setFocus();
}

void Form3::SetZipText(bool isDest, const std::string& text) {
    SetTextQuietly(isDest ? txtdzip : txtozip, QString::fromStdString(text));
}

void Form3::SetCityCaption(bool isDest, const std::string& caption) {
    (isDest ? lblDestCityState : lblOrigCityState)->setText(QString::fromStdString(caption));
}

void Form3::FocusDestZip() {
    txtdzip->setFocus();
}

void Form3::FocusFirstWeight() {
    txtweight[0]->setFocus();
}

bool Form3::MilitaryQuestionPending() const {
    return offshore.gAskMilitaryBase;
}

void Form3::SetLocked(bool locked) {
    mainState.gLocked = locked;
}
