#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <set>

#include "auxvalues.h"
#include "frmabout.h"
#include "frmbrowser.h"
#include "frmfindsc.h"
#include "frmtrfdetail.h"
#include "inputdialogs.h"
#include "lanes.h"
#include "maskededit.h"
#include "menufixture.h"
#include "quickref.h"
#include "quickrefdata.h"
#include "readability.h"
#include "settings.h"
#include "userinput.h"
#include "webpane.h"

namespace {

using Names = std::vector<std::string>;

// The stored value of a setting, read past the program.
std::string Stored(const std::string& key) {
    auto rs = tariff.gDB->OpenSnapshot("SELECT valuef FROM tblConfig WHERE keyf = ?", {key});
    return rs.AtEOF() ? std::string("<none>") : rs.Field("valuef").str();
}

// --------------------------------------------------------------------------- values

TEST(OceanCube, CubicFeetInSinglePrecisionAsTheCubeBoxTakesThem) {
    // A 4 x 3 x 2 foot crate is 24 cubic feet; a foot cube is 1.
    EXPECT_EQ(OceanCubeText("48", "36", "24"), "24");
    EXPECT_EQ(OceanCubeText("12", "12", "12"), "1");
    // 1000/1728 = 0.5787037037..., but each tenth of a foot is a Single: (0.8333333f)^3.
    EXPECT_EQ(OceanCubeText("10", "10", "10"), "0.5787036");
    // 24000/1728 = 13.888...: seven significant digits.
    EXPECT_EQ(OceanCubeText("20", "30", "40"), "13.88889");
    // Val stops at the second point: 12.5 inches.
    EXPECT_EQ(OceanCubeText("12.5.3", "12", "12"), OceanCubeText("12.5", "12", "12"));
    EXPECT_EQ(OceanCubeText("12.5", "12", "12"), "1.041667");
}

TEST(OceanCube, AMissingOrNonPositiveDimensionGivesNothing) {
    EXPECT_FALSE(OceanCubeText("48", "W", "24"));
    EXPECT_FALSE(OceanCubeText("", "36", "24"));
    EXPECT_FALSE(OceanCubeText("48", "36", "0"));
    EXPECT_FALSE(OceanCubeText("H", "W", "D"));
}

TEST(FuelSurchargeText, ShownWithItsLeadingDigitAndStoredWhole) {
    EXPECT_EQ(FuelSurchargeShown("5.5"), "05.5");
    EXPECT_EQ(FuelSurchargeShown("12.5"), "12.5");
    // From what was typed: the places not typed are 0, each in its place.
    EXPECT_EQ(FuelSurchargeToStore("05.5"), "05.5");
    EXPECT_EQ(FuelSurchargeToStore("5.5"), "05.5");
    EXPECT_EQ(FuelSurchargeToStore("12"), "12.0");
    EXPECT_EQ(FuelSurchargeToStore("1"), "01.0");
    EXPECT_EQ(FuelSurchargeToStore(".5"), "00.5");
    EXPECT_EQ(FuelSurchargeToStore(""), "00.0");
}

// --------------------------------------------------------------------------- finder

// The user types a code over what the finder's box holds and clicks "click here".
void FindCentreOf(frmFindSC& w, const QString& code) {
    ShowActive(w);
    ClickOn(w, w.txtZipCode);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys(code);
    ClickOn(w, w.mlblClickHere);
}

TEST_F(MenuTest, TheFinderShowsTheCentreOfAZipAndOfAPostalCode) {
    Load();
    for (const char* code : {"60601", "M5V2T6"}) {
        frmFindSC w;
        EXPECT_TRUE(w.lblServiceCenterName->isHidden());
        FindCentreOf(w, code);
        const std::string sic = ServiceCenterOfZip(code);
        auto row = tariff.gDB->OpenSnapshot("SELECT * FROM svcctrs WHERE SIC = ?", {sic});
        ASSERT_FALSE(row.AtEOF()) << code;
        EXPECT_FALSE(w.lblServiceCenterName->isHidden());
        EXPECT_EQ(w.lblServiceCenterName->text().toStdString(), row.Field("Name").str());
        EXPECT_EQ(w.lblAddress->text().toStdString(), row.Field("Address").str());
        EXPECT_EQ(w.lblCityStateZip->text().toStdString(), row.Field("citystatezip").str());
        EXPECT_EQ(w.lblPhone->text().toStdString(), "Phone: " + row.Field("Phone").str());
        EXPECT_EQ(w.lblFAX->text().toStdString(), "FAX:  " + row.Field("FAX").str());
        EXPECT_EQ(w.lblTollFree->text().toStdString(),
                  "Toll Free:  " + row.Field("tollfree").str());
        EXPECT_FALSE(row.Field("Name").str().empty());
    }
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MenuTest, TheFinderTakesCapitalsAndSixCharacters) {
    Load();
    frmFindSC w;
    ShowActive(w);
    ASSERT_EQ(Focused(), w.txtZipCode);
    TypeKeys("m5v2t6x");
    EXPECT_EQ(w.txtZipCode->text(), "M5V2T6");
}

TEST_F(MenuTest, AnUnknownCodeIsRefusedAndHidesTheEarlierCentre) {
    Load();
    frmFindSC w;
    FindCentreOf(w, "60601");
    ASSERT_FALSE(w.lblServiceCenterName->isHidden());
    ASSERT_EQ(ServiceCenterOfZip("00000"), "BZC");
    FindCentreOf(w, "00000");
    EXPECT_EQ(TakeMessages(),
              Names{"Data Entry Error: ZIP/Postal Code not on file.  Please try again."});
    EXPECT_TRUE(w.txtZipCode->text().isEmpty());
    EXPECT_TRUE(w.lblServiceCenterName->isHidden());
    EXPECT_TRUE(w.lblPhone->isHidden());
}

TEST_F(MenuTest, ACentreWithoutItsRowIsRefusedAndTheCodeStays) {
    Load();
    Exec("DELETE FROM svcctrs WHERE SIC = ?", {ServiceCenterOfZip("60601")});
    frmFindSC w;
    FindCentreOf(w, "60601");
    EXPECT_EQ(TakeMessages(),
              Names{"Data Entry Error: ZIP/Postal Code not on file.  Please try again."});
    EXPECT_EQ(w.txtZipCode->text(), "60601");
    EXPECT_TRUE(w.lblServiceCenterName->isHidden());
}

// --------------------------------------------------------------------------- About

TEST_F(MenuTest, AboutShowsTheVersionAndTheEffectiveDateInTheNotice) {
    Load();
    Exec("UPDATE tblConfig SET valuef = ? WHERE keyf = ?",
         {std::string("13.2.7"), std::string("VERSION_currver")});
    {
        frmAbout w;
        EXPECT_EQ(w.lblVersion->text(), "13.2.7");
        const std::string notice = w.lblAbout->text().toStdString();
        EXPECT_NE(notice.find("in effect " + tariff.gEffDate + ".  Upon request"),
                  std::string::npos);
        EXPECT_EQ(notice.rfind("The data provided by the Norvale Freight Fretlyn software", 0), 0u);
        EXPECT_TRUE(QString::fromStdString(notice).endsWith("at the time a shipment is tendered."));
    }
    Exec("DELETE FROM tblConfig WHERE keyf = ?", {std::string("VERSION_currver")});
    frmAbout w;
    EXPECT_EQ(w.lblVersion->text(), "12.0.1");
}

// --------------------------------------------------------------------------- fuel surcharge

TEST_F(MenuTest, TheFuelSurchargeIsShownWithFourPlacesAndStoredAsTyped) {
    Load();
    auto set = [](const std::string& v) {
        Exec("UPDATE tblConfig SET valuef = ? WHERE keyf = 'FSC_fsc'", {v});
    };
    // The dialog opens with its box selected whole; the keys replace it and Done stores.
    auto typeAndStore = [](const QString& keys) {
        frmFuelSurcharge w;
        ShowActive(w);
        EXPECT_EQ(Focused(), w.mskFSC);
        EXPECT_EQ(w.mskFSC->selectedText(), w.mskFSC->Text());
        TypeKeys(keys);
        ClickOn(w, w.lblDone);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        return Stored("FSC_fsc");
    };
    set("5.5");
    {
        frmFuelSurcharge w;
        EXPECT_EQ(w.mskFSC->Text(), "05.5");
    }
    EXPECT_EQ(typeAndStore(""), "05.5");  // Done alone stores what was loaded
    // The tens place left out by the point is 0, not the 5 moved up: 5.5 % and not 50.5 %.
    EXPECT_EQ(typeAndStore("5.5"), "05.5");
    EXPECT_EQ(typeAndStore("1"), "01.0");
    EXPECT_EQ(typeAndStore("10"), "10.0");
    EXPECT_EQ(typeAndStore("125"), "12.5");
    EXPECT_EQ(typeAndStore(".7"), "00.7");
    {
        // The box never draws a place not typed as a digit: 5.5 reads 5_.5, not 50.5. Left by
        // Tab, it shows what is kept.
        frmFuelSurcharge w;
        ShowActive(w);
        TypeKeys("5.5");
        EXPECT_EQ(w.mskFSC->text(), "5_.5");
        PressKey(Qt::Key_Tab);
        EXPECT_NE(Focused(), w.mskFSC);
        EXPECT_EQ(w.mskFSC->text(), "05.5");
        ClickOn(w, w.lblDone);
        EXPECT_EQ(Stored("FSC_fsc"), "05.5");
    }
    set("12.5");
    {
        frmFuelSurcharge w;
        ShowActive(w);
        EXPECT_EQ(w.mskFSC->Text(), "12.5");
        // Home, then two digits over the start: the tenth stays as it was shown.
        PressKey(Qt::Key_Home);
        TypeKeys("07");
        ClickOn(w, w.lblDone);
        EXPECT_EQ(Stored("FSC_fsc"), "07.5");
    }
    Exec("DELETE FROM tblConfig WHERE keyf = 'FSC_fsc'");
    frmFuelSurcharge w;
    EXPECT_EQ(w.mskFSC->Text(), "00.0");
}

// The window a damaged fuel surcharge sends the user to: the box starts empty rather than
// showing the damaged text through its mask as a surcharge ("1e308" as 13.0 %). Done with the
// box still empty stores nothing and says what is needed: 00.0 would take the surcharge off
// every quote without a word.
TEST_F(MenuTest, ADamagedFuelSurchargeIsNotShownAsASurchargeNorReplacedByNone) {
    Load();
    messageScript.Start();
    const QString needed = QStringLiteral("Enter the fuel surcharge: a number from 0 to 99.9.");
    for (const char* damaged : {"1e308", "150", "7abc5", "7,5", "-5"}) {
        SCOPED_TRACE(damaged);
        Exec("UPDATE tblConfig SET valuef = ? WHERE keyf = 'FSC_fsc'", {damaged});
        messageScript.ClearLog();
        frmFuelSurcharge w;
        ShowActive(w);
        EXPECT_EQ(w.mskFSC->Value(), QString());
        ClickOn(w, w.lblDone);
        EXPECT_TRUE(w.isVisible());
        EXPECT_NE(w.result(), QDialog::Accepted);
        EXPECT_EQ(Stored("FSC_fsc"), damaged);
        ASSERT_EQ(messageScript.Log().size(), 1u);
        EXPECT_EQ(messageScript.Log()[0].text, needed);
        // Left by Tab, the empty box stays empty: no 0 % is made of it.
        EXPECT_EQ(Focused(), w.mskFSC);
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(w.mskFSC->Value(), QString());
        ClickOn(w, w.lblDone);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Stored("FSC_fsc"), damaged);
        EXPECT_EQ(messageScript.Log().size(), 2u);
    }
    // A sound value cleared alike is refused alike.
    Exec("UPDATE tblConfig SET valuef = '05.5' WHERE keyf = 'FSC_fsc'");
    {
        frmFuelSurcharge w;
        ShowActive(w);
        PressKey(Qt::Key_Delete);
        EXPECT_EQ(w.mskFSC->Value(), QString());
        ClickOn(w, w.lblDone);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Stored("FSC_fsc"), "05.5");
    }
    Exec("UPDATE tblConfig SET valuef = '1e308' WHERE keyf = 'FSC_fsc'");
    frmFuelSurcharge w;
    ShowActive(w);
    TypeKeys("5.5");
    ClickOn(w, w.lblDone);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(Stored("FSC_fsc"), "05.5");
    // 0 is a value the user may type: no surcharge.
    frmFuelSurcharge zero;
    ShowActive(zero);
    TypeKeys("0");
    ClickOn(zero, zero.lblDone);
    EXPECT_EQ(zero.result(), QDialog::Accepted);
    EXPECT_EQ(Stored("FSC_fsc"), "00.0");
}

TEST_F(MenuTest, TheFuelSurchargeLinkOpensThePageOfTheFreightSite) {
    Load();
    frmFuelSurcharge w;
    int page = -1;
    work = [&](QDialog&) { page = gBrowserPage; };
    ShowActive(w);
    ClickOn(w, w.lblFSConWeb);
    EXPECT_EQ(opened, Names{"frmBrowser"});
    EXPECT_EQ(page, 1);
}

// --------------------------------------------------------------------------- ocean dimensions

TEST_F(MenuTest, OceanDimensionsWriteTheCubeIntoTheMainWindow) {
    Load();
    work = [](QDialog& d) {
        auto& w = static_cast<frmOceanDims&>(d);
        EXPECT_EQ(w.txtH->text(), "H");
        ShowActive(w);
        ASSERT_EQ(Focused(), w.txtH);
        TypeKeys("48");
        PressKey(Qt::Key_Tab);
        TypeKeys("36");
        PressKey(Qt::Key_Tab);
        TypeKeys("24");
        ClickOn(w, w.lblYes);
    };
    TypeDestination("96813");
    TakeMessages();
    Click(form->lblClickHere);
    EXPECT_EQ(opened, Names{"frmOceanDims"});
    EXPECT_EQ(form->txtOceanDensity->text(), "24");
    // A box left with its letter closes the dialog and writes nothing.
    work = [](QDialog& d) {
        auto& w = static_cast<frmOceanDims&>(d);
        ShowActive(w);
        TypeKeys("10");
        PressKey(Qt::Key_Tab);
        PressKey(Qt::Key_Tab);
        TypeKeys("10");
        ClickOn(w, w.lblYes);
        EXPECT_EQ(w.result(), QDialog::Accepted);
    };
    Click(form->lblClickHere);
    EXPECT_EQ(form->txtOceanDensity->text(), "24");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MenuTest, OnlyDigitsPointAndBackspaceGoIntoADimension) {
    Load();
    frmOceanDims w(form->txtOceanDensity);
    ShowActive(w);
    ASSERT_EQ(Focused(), w.txtH);
    PressKey(Qt::Key_Backspace);  // the letter the box opens with
    TypeKeys("a 1x2.5-");
    EXPECT_EQ(w.txtH->text(), "12.5");
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(w.txtH->text(), "12.");
}

TEST_F(MenuTest, TabWalksHeightWidthDepthEscapeLeavesTheCubeAloneAndEnterIsDone) {
    Load();
    // What an earlier cube left in the main window's box, set from inside: the box is hidden
    // for a mainland destination.
    form->txtOceanDensity->setText("7");
    frmOceanDims w(form->txtOceanDensity);
    ShowActive(w);
    ASSERT_EQ(Focused(), w.txtH);
    TypeKeys("10");
    PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), w.txtW);
    TypeKeys("20");
    PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), w.txtD);
    TypeKeys("30");
    EXPECT_EQ(w.txtH->text(), "10");
    EXPECT_EQ(w.txtW->text(), "20");
    EXPECT_EQ(w.txtD->text(), "30");
    PressKey(Qt::Key_Backtab);
    EXPECT_EQ(Focused(), w.txtW);
    // Escape closes as the close box does: nothing is computed.
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(form->txtOceanDensity->text(), "7");

    // Enter in a box does what Done does.
    frmOceanDims again(form->txtOceanDensity);
    ShowActive(again);
    ASSERT_EQ(Focused(), again.txtH);  // the letter is selected, so typing replaces it
    for (const char* size : {"12", "12", "12"}) {
        TypeKeys(size);
        PressKey(Qt::Key_Tab);
    }
    PressKey(Qt::Key_Backtab);
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(form->txtOceanDensity->text(), "1");
    EXPECT_TRUE(TakeMessages().empty());
}

// --------------------------------------------------------------------------- quick reference

// The tariff list as the detail window must hold it: every row in title order.
std::vector<std::pair<std::string, int>> TariffList() {
    std::vector<std::pair<std::string, int>> out;
    auto rs =
        tariff.gDB->OpenSnapshot("SELECT Title, Item FROM tariff ORDER BY Title COLLATE NOCASE");
    for (; !rs.AtEOF(); rs.MoveNext())
        out.emplace_back(rs.Field("Title").str(), static_cast<int>(rs.Field("Item").toInt()));
    return out;
}

int ItemOfReference(const std::string& reference) {
    static const QRegularExpression item(QStringLiteral("\\(Item (\\d+)\\)"));
    const auto m = item.match(QString::fromStdString(reference));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST_F(MenuTest, EveryChargeOpensTheTariffItemItsRowNames) {
    Load();
    const auto list = TariffList();
    ASSERT_EQ(list.size(), 62u);
    for (int p = 0; p < kQuickRefPanels; ++p) {
        frmQckRef panel(p);
        const QuickRefPanel& data = QuickRefPanels()[static_cast<size_t>(p)];
        ASSERT_EQ(panel.Links().size(), static_cast<size_t>(data.linkSize));
        for (const auto& row : data.rows) {
            const int item = ItemOfReference(row.reference);
            ASSERT_GT(item, 0) << row.description;
            for (const auto& a : row.amounts) {
                ASSERT_TRUE(panel.Label3.count(a.index)) << data.name << " " << a.index;
                const size_t k = panel.Links()[static_cast<size_t>(a.index)];
                ASSERT_LT(k, list.size());
                if (*a.text == 0) {
                    EXPECT_EQ(k, 0u) << "a blank cell opens the first entry";
                    continue;
                }
                EXPECT_EQ(list[k].second, item) << data.name << " label " << a.index << " \""
                                                << a.text << "\" opens \"" << list[k].first << "\"";
            }
        }
    }
}

// A click on a charge of a quick-reference panel.
void ClickCharge(frmQckRef& panel, int label) {
    ShowActive(panel);
    ClickOn(panel, panel.Label3.at(label));
}

TEST_F(MenuTest, ClickingAChargeShowsItsPageInTheDetailWindow) {
    Load();
    std::vector<std::string> shown;
    work = [&](QDialog& d) {
        if (d.objectName() != "frmTrfDetail") return;
        auto& w = static_cast<frmTrfDetail&>(d);
        EXPECT_FALSE(w.brwTariff->ShowingErrorPage());
        shown.push_back(QUrl(w.brwTariff->LocationUrl()).fileName().toStdString());
        EXPECT_EQ(w.windowTitle(), "Norvale Freight Tariff NRVL 120-Q");
    };
    frmQckRef ad(0);
    ClickCharge(ad, 2);  // "$65.00 will apply ..." and its second line
    ClickCharge(ad, 3);
    ClickCharge(ad, 8);  // "(Whichever is greater)"
    frmQckRef mr(2);
    ClickCharge(mr, 3);
    ClickCharge(mr, 12);  // a blank cell
    frmQckRef sz(3);
    ClickCharge(sz, 16);
    EXPECT_EQ(shown, (Names{"241.htm", "241.htm", "201.htm", "234.htm", "240.htm", "24.htm"}));
}

TEST_F(MenuTest, PagingDownThreeTimesAndUpThreeTimesEndsOnTheFirstPanel) {
    Load();
    int step = 0;
    std::vector<std::string> titles;
    work = [&](QDialog& d) {
        auto& panel = static_cast<frmQckRef&>(d);
        titles.push_back(panel.windowTitle().toStdString());
        ShowActive(panel);
        ClickOn(panel, step < 3 ? panel.imgDown : step < 6 ? panel.imgUp : panel.mlblDone);
        ++step;
    };
    Click(Menu().lblQuickRef);
    EXPECT_EQ(opened, (Names{"frmQckAD", "frmQckEL", "frmQckMR", "frmQckSZ", "frmQckMR", "frmQckEL",
                             "frmQckAD"}));
    for (const auto& t : titles)
        EXPECT_EQ(t, "Rates and Charges for Accessorial and Terminal Services (effective " +
                         tariff.gEffDate + ")");
    EXPECT_FALSE(mainState.gBusy);
    // The first panel has no way up and the last none down.
    EXPECT_EQ(frmQckRef(0).imgUp, nullptr);
    EXPECT_EQ(frmQckRef(3).imgDown, nullptr);
    // Closing a panel by its title bar is the same as Done.
    opened.clear();
    work = [](QDialog& d) { d.reject(); };
    Click(Menu().lblQuickRef);
    EXPECT_EQ(opened, Names{"frmQckAD"});
}

// Tab goes through every charge, arrow and Done of each panel, and each shows its focus as the
// main window's commands do: a frame just outside the label on all four sides, drawn over no
// text, neither its own nor another label's, under a light and a dark desktop palette.
TEST_F(MenuTest, EveryStopOfAQuickReferencePanelShowsTheFocusFrameClearOfEveryText) {
    Load();
    for (const bool dark : {false, true}) {
        const PaletteScope palette(dark ? DarkDesktopPalette() : QApplication::palette());
        for (int p = 0; p < kQuickRefPanels; ++p) {
            frmQckRef panel(p);
            ShowActive(panel);
            const std::string name = panel.objectName().toStdString() + (dark ? " (dark)" : "");
            std::vector<QLabel*> labels;
            for (QLabel* l : panel.findChildren<QLabel*>())
                if (l->isVisible()) labels.push_back(l);
            auto at = [&](QWidget* w) { return QRect(w->mapTo(&panel, QPoint(0, 0)), w->size()); };
            // The panel itself holds the focus at first, so that no label shows it.
            panel.setFocus();
            ASSERT_EQ(Focused(), &panel);
            const QImage plain = panel.grab().toImage();
            std::set<QWidget*> seen;
            int stops = 0;
            for (;;) {
                PressKey(Qt::Key_Tab);
                auto* label = qobject_cast<LabelButton*>(Focused());
                if (!label || seen.count(label)) break;
                seen.insert(label);
                ++stops;
                const std::string stop = name + " " + label->objectName().toStdString() + " \"" +
                                         label->text().left(20).toStdString() + "\"";
                const QImage framed = panel.grab().toImage();
                const QColor ink =
                    label->palette().color(QPalette::Active, label->foregroundRole());
                const QRect own = at(label);
                // The frame: ink within the few pixels outside the middle of each side.
                auto inkOutside = [&](QPoint from, QPoint step) {
                    for (int i = 1; i <= kFocusFrameOutsideX; ++i) {
                        const QPoint q = from + step * i;
                        if (framed.rect().contains(q) && framed.pixelColor(q) == ink) return true;
                    }
                    return false;
                };
                EXPECT_TRUE(inkOutside(QPoint(own.left(), own.center().y()), QPoint(-1, 0)))
                    << stop;
                EXPECT_TRUE(inkOutside(QPoint(own.right(), own.center().y()), QPoint(1, 0)))
                    << stop;
                EXPECT_TRUE(inkOutside(QPoint(own.center().x(), own.top()), QPoint(0, -1))) << stop;
                EXPECT_TRUE(inkOutside(QPoint(own.center().x(), own.bottom()), QPoint(0, 1)))
                    << stop;
                // Every label, this one too, reads as it did without the focus.
                for (QLabel* l : labels) {
                    const QRect r = at(l);
                    EXPECT_EQ(framed.copy(r), plain.copy(r))
                        << stop << ": the frame runs over " << l->objectName().toStdString();
                }
                if (HasFailure()) return;
            }
            EXPECT_GE(stops, 3) << name;
        }
    }
}

// --------------------------------------------------------------------------- tariff detail

// The user tabs back to the list (a chosen entry hands the focus to its page) and presses a
// key that moves along it.
void NextEntry(frmTrfDetail& w, Qt::Key key = Qt::Key_Down) {
    for (int i = 0; i < 10 && Focused() != w.cmbTrfIndex; ++i) PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), w.cmbTrfIndex);
    PressKey(key);
}

TEST_F(MenuTest, TheDetailListHoldsTheTariffInTitleOrderAndEveryEntryHasItsPage) {
    Load();
    const auto list = TariffList();
    frmTrfDetail w;
    ShowActive(w);
    ASSERT_EQ(w.cmbTrfIndex->count(), static_cast<int>(list.size()));
    EXPECT_EQ(QUrl(w.brwTariff->LocationUrl()).fileName().toStdString(),
              std::to_string(list[0].second) + ".htm");
    for (int i = 0; i < w.cmbTrfIndex->count(); ++i) {
        EXPECT_EQ(w.cmbTrfIndex->itemText(i).toStdString(), list[static_cast<size_t>(i)].first);
        if (i > 0) NextEntry(w);
        ASSERT_EQ(w.cmbTrfIndex->currentIndex(), i);
        const std::string page = std::to_string(list[static_cast<size_t>(i)].second) + ".htm";
        EXPECT_EQ(w.brwTariff->LocationUrl().toLocalFile().toStdString(),
                  AppFolder() + "VZK120/" + page);
        EXPECT_FALSE(w.brwTariff->ShowingErrorPage()) << page;
        EXPECT_TRUE(w.brwTariff->LocationName().contains(
            QStringLiteral("Item %1").arg(list[static_cast<size_t>(i)].second)))
            << page;
    }
}

TEST_F(MenuTest, AnEntryWithoutAPageOrARowShowsANotFoundPage) {
    Load();
    std::filesystem::remove(app.file("VZK120/203.htm"));
    frmTrfDetail w;
    ShowActive(w);
    NextEntry(w);  // Advancing Charges, item 203
    EXPECT_TRUE(w.brwTariff->ShowingErrorPage());
    EXPECT_EQ(w.brwTariff->LocationName(), "Page not found");
    EXPECT_TRUE(w.brwTariff->toPlainText().contains("203.htm"));
    // The window is still usable.
    NextEntry(w);
    EXPECT_FALSE(w.brwTariff->ShowingErrorPage());

    // A panel pointing past the end of a shortened list.
    Exec("DELETE FROM tariff WHERE Title >= 'S'");
    std::string name;
    bool error = false;
    work = [&](QDialog& d) {
        auto& detail = static_cast<frmTrfDetail&>(d);
        name = detail.brwTariff->LocationName().toStdString();
        error = detail.brwTariff->ShowingErrorPage();
    };
    frmQckRef sz(3);
    ClickCharge(sz, 7);  // Weighing of Shipments, the last entry
    EXPECT_TRUE(error);
    EXPECT_EQ(name, "Tariff item not found");
}

TEST_F(MenuTest, TwoTitlesWithOneItemShowOnePage) {
    Load();
    Exec("INSERT INTO tariff (Title, Item) VALUES (?, ?)",
         {std::string("Zoning of Points"), int64_t{24}});
    frmTrfDetail w;
    const int last = w.cmbTrfIndex->count() - 1;
    ASSERT_EQ(w.cmbTrfIndex->itemText(last), "Zoning of Points");
    ShowActive(w);
    NextEntry(w, Qt::Key_End);
    EXPECT_EQ(QUrl(w.brwTariff->LocationUrl()).fileName(), "24.htm");
}

}  // namespace
