// The full discount editor as a user drives it: what it opens on, the map in region colours,
// leave processing before every command, a click on the map, the child windows keeping the
// location and region, a damaged map, and the hand-over to the simple editor.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "commandwindows.h"
#include "discountstore.h"
#include "form3.h"
#include "formkit.h"
#include "frmdiscounts.h"
#include "frmfak.h"
#include "frmqpo.h"
#include "frmsimplediscount.h"
#include "installwindows.h"
#include "labelbutton.h"
#include "lockedfiles.h"
#include "messagebox.h"
#include "polygonfile.h"
#include "pricingfixture.h"
#include "regionmap.h"
#include "regionmapwidget.h"
#include "screenshots.h"
#include "shiplocations.h"
#include "startup.h"
#include "tariffdb.h"

namespace {

// The colours a region's states are filled with, written out here from the carrier's table.
const QColor kRegion1(255, 38, 9), kRegion2(0, 150, 72), kRegion3(199, 115, 0),
    kNeutral(190, 190, 190);

class DiscountsWindowTest : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        ResetMapProblemReports();
        InstallCustomisationWindows();
        AddShippingLocation("900");  // Los Angeles: QZD
        AddShippingLocation("606");  // Chicago: QZA
    }
    void TearDown() override {
        UnloadDiscountsWindow();
        ResetCommandWindows();
        PricingTest::TearDown();
    }
    // Opens the editor through the main window's command; `drive` gets the editor, `other`
    // every other window that opens from it.
    void Open(std::function<void(frmDiscounts&)> drive,
              std::function<void(QDialog&)> other = nullptr) {
        SetPricingModalRunner([&](QDialog& dialog) {
            if (auto* w = dynamic_cast<frmDiscounts*>(&dialog)) {
                w->show();
                w->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(w));
                drive(*w);
                w->hide();
            } else if (other) {
                other(dialog);
            }
        });
        OpenCommandWindow(CommandWindow::Discounts);
        SetPricingModalRunner(nullptr);
    }
    std::string Stored(const std::string& field, const std::string& location, int region,
                       int ibob) {
        return FieldOf(
            "SELECT " + field + " FROM discounts WHERE zip = ?1 AND region = ?2 AND IBOB = ?3",
            {location, region, ibob});
    }
    // A widget point inside the state's first ring.
    static QPoint PointIn(RegionMapWidget& map, const std::string& state) {
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
        ADD_FAILURE() << "no point inside " << state;
        return {};
    }
    static void Retype(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // The pointer moved in small steps, as a hand moves it.
    static void MoveTo(QWidget* widget, QPoint& at, const QPoint& to) {
        for (int step = 1; step <= 8; ++step) QTest::mouseMove(widget, at + (to - at) * step / 8);
        at = to;
    }
    // Opens the list and clicks its entry, as a user picks one.
    static void Pick(QComboBox* combo, int index) {
        // Whatever the window system still has to do for the window (its activation after
        // another window closed) is done first: it would close the list again.
        QTest::qWait(50);
        QTest::mouseClick(combo, Qt::LeftButton);
        QAbstractItemView* list = combo->view();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }));
        // Down the list from its top to the entry.
        const QRect entry = list->visualRect(list->model()->index(index, 0));
        QPoint at = list->viewport()->rect().topLeft() + QPoint(2, 2);
        QTest::mouseMove(list->viewport(), at);
        MoveTo(list->viewport(), at, entry.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !list->isVisible(); }));
    }
    static QStringList Items(QComboBox* combo) {
        QStringList out;
        for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
        return out;
    }
};

TEST_F(DiscountsWindowTest, OpensOnTheFirstLocationWithItsRegionsInColour) {
    bool opened = false;
    Open([&](frmDiscounts& w) {
        opened = true;
        EXPECT_EQ(w.windowTitle(), "Your custom discount profiles...");
        EXPECT_EQ(Items(w.cboShipLoc), (QStringList{"606", "900", "ALL"}));
        EXPECT_EQ(w.cboShipLoc->currentText(), "606");
        EXPECT_EQ(Items(w.imgcboRegions),
                  (QStringList{"Region1", "Region2", "Region3", "Region4"}));
        EXPECT_EQ(w.imgcboRegions->itemData(3).toString(), "key4");
        EXPECT_EQ(w.imgcboRegions->currentIndex(), 0);
        EXPECT_EQ(w.lblZIPZone->text(), "Shipments between ZIP/Postal zone 606 and");
        EXPECT_EQ(w.lblIBZone->text(), "I/B to ZIP/Postal zone 606");
        EXPECT_EQ(w.txtIBDisc->text(), QString::fromStdString(Stored("d5c", "606", 1, 1)));
        EXPECT_EQ(w.txtOBFloor->text(), QString::fromStdString(Stored("Floor", "606", 1, 0)));
        // Chicago's own operating region first, then the other two, then Canada's.
        EXPECT_EQ(w.Rose1->PolygonColour("Illinois"), kRegion1);
        EXPECT_EQ(w.Rose1->PolygonColour("Georgia"), kRegion2);
        EXPECT_EQ(w.Rose1->PolygonColour("California"), kRegion3);
        EXPECT_EQ(w.Rose1->PolygonColour("Alaska"), kNeutral);  // no row of the state list
        EXPECT_TRUE(w.Rose1->HasPicture());
        EXPECT_TRUE(TakeMessages().empty());
        SaveScreenshot(w, "frmDiscounts");
        w.lblExit_Click();
    });
    EXPECT_TRUE(opened);
}

TEST_F(DiscountsWindowTest, EveryCommandLeavesTheFocusedBoxFirst) {
    Open([&](frmDiscounts& w) {
        // A refused entry stops the command: no region is made.
        Retype(w.txtIBDisc, "4.5");
        w.lblCreateNewRegion_Click();
        EXPECT_EQ(TakeMessages(), (std::vector<std::string>{
                                      "Data Entry Error: Discount must be between 00.0 and 99.9.  "
                                      "Please try again."}));
        EXPECT_EQ(RowsOf("discounts", "606"), 8);
        EXPECT_EQ(w.imgcboRegions->count(), 4);

        // An accepted entry is written to the region it was typed for, then the pick runs.
        Retype(w.txtIBDisc, "33");
        w.imgcboRegions->setCurrentIndex(1);
        w.imgcboRegions_Click(1);
        EXPECT_EQ(Stored("d30m", "606", 1, 1), "33.0");
        EXPECT_EQ(Stored("d30m", "606", 2, 1), Stored("d5c", "606", 2, 1));
        EXPECT_NE(Stored("d5c", "606", 2, 1), "33.0");
        EXPECT_EQ(customisation.gRegion, 2);
        EXPECT_EQ(w.txtIBDisc->text(), QString::fromStdString(Stored("d5c", "606", 2, 1)));

        // A floor typed and then a click on the map: the floor first, then the state moves.
        Retype(w.txtOBFloor, "5");
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "Ohio"));
        EXPECT_EQ(Stored("Floor", "606", 2, 0), "05.00");
        EXPECT_EQ(RegionOfStateName("Ohio", "606"), 2);
        EXPECT_EQ(w.Rose1->PolygonColour("Ohio"), kRegion2);

        // A new region becomes the current one, listed last; a refused entry in the box that
        // kept the focus goes back to the new region's text.
        // (Region 2 starts with the joint-line floor 44.44, a created one with 11.11.)
        Retype(w.txtIBFloor, "36");
        w.lblCreateNewRegion_Click();
        EXPECT_EQ(Stored("Floor", "606", 2, 1), "36.00");
        ASSERT_TRUE(w.txtIBFloor->hasFocus());
        EXPECT_EQ(w.txtIBFloor->text(), "11.11");
        w.txtIBFloor->setText("1.5");
        w.lblFAKs_Click();
        EXPECT_EQ(w.txtIBFloor->text(), "11.11");
        EXPECT_EQ(Stored("Floor", "606", 5, 1), "11.11");
        EXPECT_EQ(TakeMessages().size(), 1u);
        EXPECT_EQ(w.imgcboRegions->count(), 5);
        EXPECT_EQ(w.imgcboRegions->currentText(), "Region5");
        EXPECT_EQ(customisation.gRegion, 5);
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "Iowa"));
        EXPECT_EQ(RegionOfStateName("Iowa", "606"), 5);
        // A state not in the list takes no click.
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "Alaska"));
        EXPECT_EQ(w.Rose1->PolygonColour("Alaska"), kNeutral);
        SaveScreenshot(w, "frmDiscounts_region5");
        w.lblExit_Click();
    });
    EXPECT_EQ(RowsOf("discounts", "606"), 10);
}

// A command the database refuses half way says so and leaves every row as it was, and the map
// as the rows have it; once the database takes it, the same command goes through.
TEST_F(DiscountsWindowTest, ACommandTheDatabaseRefusesHalfWayKeepsEveryRow) {
    tariff.startupValues["FLOOR_qzdcalif"] = "83.25";
    auto execute = [](const std::string& sql) { tariff.gDB->Execute(sql); };
    auto toldOnce = [&](const std::string& why) {
        const std::vector<std::string> told = TakeMessages();
        ASSERT_EQ(told.size(), 1u) << why;
        EXPECT_NE(told[0].find(why), std::string::npos) << told[0];
    };
    Open([&](frmDiscounts& w) {
        w.cboShipLoc->setCurrentIndex(1);
        emit w.cboShipLoc->activated(1);
        ASSERT_EQ(customisation.gShipLoc, "900");

        // A new region is two discounts rows and two FAK rows: with the FAK rows refused, the
        // discounts rows do not stay either.
        std::string before = PricingTables();
        execute(
            "CREATE TRIGGER refuse BEFORE INSERT ON faktable "
            "BEGIN SELECT RAISE(ABORT, 'the FAK table is full'); END");
        emit w.lblCreateNewRegion->clicked();
        toldOnce("the FAK table is full");
        EXPECT_EQ(PricingTables(), before);
        EXPECT_EQ(w.imgcboRegions->count(), 4);
        execute("DROP TRIGGER refuse");
        emit w.lblCreateNewRegion->clicked();
        EXPECT_TRUE(TakeMessages().empty());
        ASSERT_EQ(w.imgcboRegions->count(), 5);
        ASSERT_EQ(customisation.gRegion, 5);

        // California into the new region takes its intrastate floor both ways: with the
        // outbound one refused, neither the state's move nor the inbound floor stays.
        before = PricingTables();
        execute("CREATE TRIGGER refuse BEFORE UPDATE ON discounts WHEN NEW.IBOB = " +
                std::to_string(kOutbound) +
                " BEGIN SELECT RAISE(ABORT, 'the outbound row is kept'); END");
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "California"));
        toldOnce("the outbound row is kept");
        EXPECT_EQ(PricingTables(), before);
        EXPECT_EQ(RegionOfStateName("California", "900"), 1);
        EXPECT_EQ(w.Rose1->PolygonColour("California"), kRegion1);
        execute("DROP TRIGGER refuse");
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "California"));
        EXPECT_TRUE(TakeMessages().empty());
        EXPECT_EQ(RegionOfStateName("California", "900"), 5);
        EXPECT_EQ(Stored("Floor", "900", 5, kInbound), "83.25");
        EXPECT_EQ(Stored("Floor", "900", 5, kOutbound), "83.25");
        w.lblExit_Click();
    });
}

// Another program writing to the database: leaving a box says so and the box shows again what
// is stored, so the window never shows an entry that was not saved.
TEST_F(DiscountsWindowTest, ABoxTheDatabaseRefusesShowsWhatIsStored) {
    const std::string before = PricingTables();
    const std::string database = app.file("data/x2007.mdb").string();
    const std::string discount = Stored("d5c", "606", 1, 1), floor = Stored("Floor", "606", 1, 0);
    ASSERT_NE(discount, "33.3");
    ASSERT_NE(floor, "07.00");
    auto toldLocked = [&] {
        const std::vector<std::string> told = TakeMessages();
        ASSERT_EQ(told.size(), 1u);
        EXPECT_NE(told[0].find("locked"), std::string::npos) << told[0];
    };
    Open([&](frmDiscounts& w) {
        Retype(w.txtIBDisc, "33.33");
        {
            HeldLock other(database, "IMMEDIATE");
            QTest::keyClick(w.txtIBDisc, Qt::Key_Tab);
            toldLocked();
            EXPECT_EQ(w.txtIBDisc->text(), QString::fromStdString(discount));
        }
        // The focus goes back to the box, as after a refused entry.
        QCoreApplication::processEvents();
        EXPECT_TRUE(w.txtIBDisc->hasFocus());
        Retype(w.txtOBFloor, "7");
        {
            HeldLock other(database, "IMMEDIATE");
            QTest::keyClick(w.txtOBFloor, Qt::Key_Tab);
            toldLocked();
            EXPECT_EQ(w.txtOBFloor->text(), QString::fromStdString(floor));
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(TakeMessages().empty());
        w.lblExit_Click();
    });
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(DiscountsWindowTest, ChildWindowsKeepTheLocationAndRegion) {
    int fakWindows = 0;
    Open(
        [&](frmDiscounts& w) {
            w.cboShipLoc->setCurrentIndex(1);
            w.cboShipLoc_Click();
            EXPECT_EQ(customisation.gShipLoc, "900");
            EXPECT_EQ(w.Rose1->PolygonColour("California"), kRegion1);
            w.imgcboRegions->setCurrentIndex(2);
            w.imgcboRegions_Click(2);
            w.lblFAKs_Click();
            EXPECT_EQ(fakWindows, 1);
            EXPECT_EQ(customisation.gShipLoc, "900");
            EXPECT_EQ(customisation.gRegion, 3);
            EXPECT_EQ(w.cboShipLoc->currentText(), "900");
            EXPECT_EQ(w.imgcboRegions->currentText(), "Region3");
            EXPECT_EQ(w.txtOBDisc->text(), QString::fromStdString(Stored("d5c", "900", 3, 0)));
            w.lblExit_Click();
        },
        [&](QDialog& dialog) {
            if (dynamic_cast<frmFAK*>(&dialog)) ++fakWindows;
            dialog.reject();
        });
}

TEST_F(DiscountsWindowTest, MissingOutlinesAreToldOnceAndTheEditorStillWorks) {
    std::filesystem::remove(app.file(kPolygonFile));
    Open([&](frmDiscounts& w) {
        const auto told = TakeMessages();
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].rfind("Region map: The state outlines cannot be read", 0), 0u);
        w.cboShipLoc->setCurrentIndex(1);
        w.cboShipLoc_Click();
        EXPECT_TRUE(TakeMessages().empty());
        Retype(w.txtIBDisc, "45");
        w.lblExit_Click();
    });
    EXPECT_EQ(Stored("d1m", "900", 1, 1), "45.0");
}

TEST_F(DiscountsWindowTest, AllHandsOverToTheSimpleEditorAndBackReturns) {
    int simpleWindows = 0, showings = 0;
    Open(
        [&](frmDiscounts& w) {
            ++showings;
            EXPECT_EQ(w.cboShipLoc->currentText(), "606");
            if (showings == 1) {
                w.cboShipLoc->setCurrentIndex(2);
                w.cboShipLoc_Click();
            } else {
                w.lblExit_Click();
            }
        },
        [&](QDialog& dialog) {
            if (auto* simple = dynamic_cast<frmSimpleDiscount*>(&dialog)) {
                ++simpleWindows;
                simple->lblBack_Click();
            }
        });
    EXPECT_EQ(simpleWindows, 1);
    EXPECT_EQ(showings, 2);
}

// Back in the simple editor brings the full editor back, however often the user goes round.
TEST_F(DiscountsWindowTest, EveryRoundTripThroughAllComesBack) {
    constexpr int kRounds = 9;
    int simpleWindows = 0, showings = 0;
    Open(
        [&](frmDiscounts& w) {
            ++showings;
            EXPECT_EQ(w.cboShipLoc->currentText(), "606");
            if (showings <= kRounds)
                Pick(w.cboShipLoc, 2);
            else
                QTest::mouseClick(w.lblExit, Qt::LeftButton);
        },
        [&](QDialog& dialog) {
            if (auto* simple = dynamic_cast<frmSimpleDiscount*>(&dialog)) {
                ++simpleWindows;
                simple->show();
                QTest::mouseClick(simple->lblBack, Qt::LeftButton);
            }
        });
    EXPECT_EQ(simpleWindows, kRounds);
    EXPECT_EQ(showings, kRounds + 1);
}

// A listed state the location has no row for shows no region, and a click gives it one: the
// map shows what is stored, before the click and after it.
TEST_F(DiscountsWindowTest, AClickOnAStateWithoutARowAddsTheRow) {
    tariff.gDB->Execute("DELETE FROM states WHERE zip = '606' AND State = 'OH'");
    Open([&](frmDiscounts& w) {
        EXPECT_EQ(w.Rose1->PolygonColour("Ohio"), kNeutral);
        Pick(w.imgcboRegions, 1);
        ASSERT_EQ(customisation.gRegion, 2);
        QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, PointIn(*w.Rose1, "Ohio"));
        EXPECT_TRUE(TakeMessages().empty());
        EXPECT_EQ(RegionOfStateName("Ohio", "606"), 2);
        EXPECT_EQ(w.Rose1->PolygonColour("Ohio"), kRegion2);
        // Drawn again from the store, it stays so.
        Pick(w.cboShipLoc, 1);
        Pick(w.cboShipLoc, 0);
        EXPECT_EQ(w.Rose1->PolygonColour("Ohio"), kRegion2);
        QTest::mouseClick(w.lblExit, Qt::LeftButton);
    });
    EXPECT_EQ(FieldOf("SELECT count(*) FROM states WHERE zip = '606' AND State = 'OH'", {}), "1");
}

// A region whose rows cannot be added: the platform's box gives the error's number and what it
// was, and the window stays on the region it showed.
TEST_F(DiscountsWindowTest, AFailureWhileARegionIsPickedShowsItsNumberAndDescription) {
    tariff.gDB->Execute("DELETE FROM discounts WHERE zip = '606' AND region = 3");
    tariff.gDB->Execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON discounts "
        "BEGIN SELECT RAISE(ABORT, 'the discounts table is full'); END");
    Open([&](frmDiscounts& w) {
        const QString inbound = w.txtIBDisc->text();
        messageScript.ClearLog();
        Pick(w.imgcboRegions, 2);
        const auto& log = messageScript.Log();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].kind, MessageKind::Platform);
        EXPECT_EQ(log[0].style, kMbOK);
        // The program's own title, not one of this window's.
        const QString program = QApplication::applicationDisplayName();
        EXPECT_EQ(log[0].title, program.isEmpty() ? QStringLiteral("Fretlyn") : program);
        EXPECT_TRUE(log[0].text.startsWith(QString::number(kErrGeneral) + "\n"))
            << log[0].text.toStdString();
        EXPECT_TRUE(log[0].text.contains("the discounts table is full"))
            << log[0].text.toStdString();
        messageScript.ClearLog();
        EXPECT_EQ(w.txtIBDisc->text(), inbound);
        QTest::mouseClick(w.lblExit, Qt::LeftButton);
    });
    EXPECT_EQ(RowsOf("discounts", "606"), 6);
}

// Alaska and Hawaii are drawn but belong to no region: the pointer over them promises nothing,
// and a click there changes nothing.
TEST_F(DiscountsWindowTest, StatesThatTakeNoClickGetNoHoverOutline) {
    const std::string before = PricingTables();
    Open([&](frmDiscounts& w) {
        QPoint at(2, 2);
        QTest::mouseMove(w.Rose1, at);
        MoveTo(w.Rose1, at, PointIn(*w.Rose1, "Illinois"));
        EXPECT_EQ(w.Rose1->HoveredPolygon(), "Illinois");
        for (const char* state : {"Alaska", "Hawaii"}) {
            MoveTo(w.Rose1, at, PointIn(*w.Rose1, state));
            EXPECT_EQ(w.Rose1->HoveredPolygon(), "") << state;
            QTest::mouseClick(w.Rose1, Qt::LeftButton, {}, at);
        }
        EXPECT_TRUE(TakeMessages().empty());
        QTest::mouseClick(w.lblExit, Qt::LeftButton);
    });
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(DiscountsWindowTest, DoubleClickOpensTheBreaksWithoutCheckingTheBox) {
    int breakEditors = 0;
    const std::string before = PricingTables();
    Open(
        [&](frmDiscounts& w) {
            Retype(w.txtOBDisc, "4.5");
            w.Box_DblClick(FullBox::OBDisc);
            EXPECT_EQ(breakEditors, 1);
            EXPECT_EQ(customisation.gIBOB, 0);
            EXPECT_EQ(customisation.gWtBrkFromFull, 1);
            EXPECT_TRUE(TakeMessages().empty());
            // Closed without Done: the box shows its row again and the headings are back.
            EXPECT_EQ(w.txtOBDisc->text(), QString::fromStdString(Stored("d5c", "606", 1, 0)));
            EXPECT_TRUE(w.txtOBDisc->isVisible());
            EXPECT_TRUE(w.txtABSMC->isVisible());
            EXPECT_FALSE(w.txtMC->isVisible());
            EXPECT_FALSE(w.imgTieredOB->isVisible());
            // Keys typed into the region list pick nothing.
            QTest::keyClick(w.imgcboRegions, Qt::Key_Down);
            EXPECT_EQ(w.imgcboRegions->currentIndex(), 0);
            w.lblExit_Click();
        },
        [&](QDialog& dialog) {
            ++breakEditors;
            dialog.reject();
        });
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(DiscountsWindowTest, TheQuoteWindowsDiscountsLabelOpensItOnceLocationsExist) {
    Form3 form;
    ConnectProgramWindows(form);
    frmQPO* quoteWindow = QuoteWindow();
    quoteWindow->show();
    std::string opened;
    SetPricingModalRunner([&](QDialog& dialog) {
        opened = dialog.objectName().toStdString();
        dialog.hide();
    });
    quoteWindow->mlblDiscounts_Click();
    SetPricingModalRunner(nullptr);
    EXPECT_EQ(opened, "frmDiscounts");
    UnloadQuoteWindow();
}

}  // namespace
