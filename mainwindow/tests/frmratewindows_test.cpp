// The rate table and rate-sheet windows: what they show, their labels, and that closing them
// however they close leaves the main window's ends as they were.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "commandwindows.h"
#include "form3.h"
#include "frmqpo.h"
#include "frmratesheet.h"
#include "frmratetable.h"
#include "labelbutton.h"
#include "labels.h"
#include "maskededit.h"
#include "messagebox.h"
#include "ratesheet.h"
#include "ratingfixture.h"
#include "settings.h"
#include "startup.h"
#include "tariffdb.h"
#include "textprinter.h"
#include "userinput.h"
#include "windowlayout.h"

namespace {

class RateWindows : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        messageScript.Reset();
        messageScript.Start();
        LoadSettings();
        AddDiscountRow("ALL", 254, 0, "35");
        rating.gGridRow = {9500, 4000, 3500, 3000, 2500, 2000, 1500, 1200, 1000, 900, 800};
        for (auto& d : rating.gBreakDisc) d = "45.5";
        // The main window's verified ends: a US lane.
        SetOrigin("55401", "554", "MN", 0);
        SetDest("53202", "532", "WI", 0);
        tariff.gOrigSubscript = 300;
        tariff.gDestSubscript = 280;
        rating.gLaneCode = 1234;
    }
    void TearDown() override {
        SetRateTableShow(nullptr);
        SetRateSheetShow(nullptr);
        SetPrinterChooser(nullptr);
        UnloadRateTableWindow();
        UnloadRateSheetWindow();
        messageScript.Reset();
        RatingTest::TearDown();
    }
    static void ExpectMainWindowEndsKept() {
        EXPECT_EQ(tariff.gOrigZip, "55401");
        EXPECT_EQ(tariff.gOrigState, "MN");
        EXPECT_EQ(tariff.gOrigCountry, 0);
        EXPECT_EQ(tariff.gOrigSubscript, 300);
        EXPECT_EQ(tariff.gDestZip, "53202");
        EXPECT_EQ(tariff.gDestZip3, "532");
        EXPECT_EQ(tariff.gDestCountry, 0);
        EXPECT_EQ(tariff.gDestSubscript, 280);
        EXPECT_EQ(rating.gLaneCode, 1234);
        EXPECT_EQ(rating.gBreakDisc[1], "45.5");
    }
    // Closes the modal window shown next, once its event loop runs, the way given.
    static void CloseNextModal(std::function<void(QDialog&)> how) {
        QTimer::singleShot(0, [how] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) how(*d);
        });
    }
    // Prints a sheet of the chosen cities from the window, into a PDF.
    RateSheetOutcome PrintFromWindow(frmRateSheet& w, const std::vector<QString>& dests) {
        for (const QString& d : dests) {
            const auto found = w.lstTo->findItems(d, Qt::MatchExactly);
            if (!found.isEmpty()) found.front()->setSelected(true);
        }
        const QString path = dir.filePath(QStringLiteral("window.pdf"));
        SetPrinterChooser(ChoosePdfFile(path));
        return w.lblRate_Click();
    }
    QTemporaryDir dir;
};

bool Underlined(const LabelButton* l) { return l->font().underline(); }

// ------------------------------------------------------------------ rate table

TEST_F(RateWindows, TheRateTableOpensOnTheGrossViewOfTheQuotesLane) {
    int shown = 0;
    SetRateTableShow([&](frmRateTable& w) {
        ++shown;
        EXPECT_EQ(w.Shown().view, kRateTableGross);
        EXPECT_EQ(w.Shown().rows.size(), 18u);
        EXPECT_EQ(w.Shown().rows[8].cells[1].text, "40.00");  // class 100, L5C
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Norvale Freight Rates for 55401 to 53202"));
        EXPECT_TRUE(Underlined(w.lblGross));
        EXPECT_FALSE(Underlined(w.lblNet));
        EXPECT_FALSE(w.Line1->isHidden());
        EXPECT_FALSE(w.Line2->isHidden());
    });
    ShowRateTableModally(nullptr);
    EXPECT_EQ(shown, 1);
}

TEST_F(RateWindows, NetTwiceDrawsTheSameNetTableAndKeepsItsUnderline) {
    frmRateTable* w = RateTableWindow();
    w->Form_Load();
    w->lblNet_Click();
    const auto once = w->Shown().Lines();
    w->lblNet_Click();
    EXPECT_EQ(w->Shown().Lines(), once);
    EXPECT_EQ(w->Shown().rows.size(), 18u);
    EXPECT_EQ(w->Shown().rows[8].cells[1].text, "21.80");  // 40 x .545
    EXPECT_TRUE(Underlined(w->lblNet));
    EXPECT_FALSE(Underlined(w->lblGross));
    w->lblGross_Click();
    EXPECT_EQ(w->Shown().rows[8].cells[1].text, "40.00");
    EXPECT_TRUE(Underlined(w->lblGross));
    EXPECT_FALSE(Underlined(w->lblNet));
}

TEST_F(RateWindows, EachOpeningStartsOnGrossAgain) {
    frmRateTable* first = RateTableWindow();
    SetRateTableShow([](frmRateTable& w) { w.lblNet_Click(); });
    ShowRateTableModally(nullptr);
    SetRateTableShow([](frmRateTable& w) { EXPECT_EQ(w.Shown().view, kRateTableGross); });
    ShowRateTableModally(nullptr);
    EXPECT_EQ(RateTableWindow(), first);  // one window for the run
}

TEST_F(RateWindows, TheRateTableClosesWithDoneOrEscapeChangingNothing) {
    for (int way = 0; way < 3; ++way) {
        CloseNextModal([way](QDialog& d) {
            auto& w = static_cast<frmRateTable&>(d);
            if (way == 0) w.lblDone_Click();
            if (way == 1) QTest::keyClick(&w, Qt::Key_Escape);
            if (way == 2) w.close();
        });
        ShowRateTableModally(nullptr);
        EXPECT_FALSE(RateTableWindow()->isVisible()) << way;
        ExpectMainWindowEndsKept();
    }
}

TEST_F(RateWindows, TheQuoteWindowsRateTableLabelOpensIt) {
    Form3 form;
    ConnectProgramWindows(form);
    int shown = 0;
    SetRateTableShow([&](frmRateTable&) { ++shown; });
    QuoteWindow()->mlblRates_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(CommandWindowRegistered(CommandWindow::RateSheets));
    UnloadQuoteWindow();
    ResetCommandWindows();
}

// ------------------------------------------------------------------ rate sheets

TEST_F(RateWindows, TheRateSheetWindowListsEveryRateSheetCity) {
    SetRateSheetShow([](frmRateSheet& w) {
        EXPECT_EQ(w.cmbFrom->count(), static_cast<int>(RateSheetCities().size()));
        EXPECT_EQ(w.lstTo->count(), w.cmbFrom->count());
        EXPECT_GT(w.lstTo->count(), 96);
        EXPECT_EQ(w.cmbFrom->currentIndex(), 0);
        EXPECT_EQ(w.cmbFrom->currentText(), w.lstTo->item(0)->text());
        EXPECT_EQ(w.mskDensity->Text(), QStringLiteral("09.9"));  // the saved default, 9.9
        EXPECT_TRUE(w.lstCities->isHidden());
        EXPECT_EQ(w.lstTo->selectionMode(), QAbstractItemView::MultiSelection);
    });
    ShowRateSheetModally(nullptr);
}

// Typing in the destinations moves the focus to the city it names and chooses nothing; Space
// chooses or takes back the city with the focus, and a click the city clicked.
TEST_F(RateWindows, TypingInTheDestinationsChoosesNothingSpaceAndAClickChoose) {
    frmRateSheet* w = RateSheetWindow();
    w->Form_Load();
    ShowActive(*w);
    QListWidget* list = w->lstTo;
    auto item = [&](const char* city) {
        return list->findItems(QString::fromLatin1(city), Qt::MatchExactly).front();
    };
    auto click = [&](const char* city) {
        list->scrollToItem(item(city));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item(city)).center());
        QCoreApplication::processEvents();
    };
    auto chosen = [&] {
        std::vector<std::string> cities;
        for (QListWidgetItem* it : list->selectedItems())
            cities.push_back(it->text().toStdString());
        std::sort(cities.begin(), cities.end());
        return cities;
    };
    using Cities = std::vector<std::string>;
    click("BARRIE, ON");
    click("CALGARY, AB");
    ASSERT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB"}));
    ASSERT_EQ(Focused(), list);

    TypeKeys("MONTREAL");
    EXPECT_EQ(list->currentItem()->text(), "MONTREAL, QC");
    EXPECT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB"}));
    QTest::qWait(QApplication::keyboardInputInterval() + 200);
    TypeKeys("regina");
    EXPECT_EQ(list->currentItem()->text(), "REGINA, SK");
    EXPECT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB"}));
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Down);
    EXPECT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB"}));

    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB", "REGINA, SK"}));
    click("BARRIE, ON");
    EXPECT_EQ(chosen(), (Cities{"CALGARY, AB", "REGINA, SK"}));
    EXPECT_EQ(list->currentItem()->text(), "BARRIE, ON");
    PressKey(Qt::Key_Space);
    EXPECT_EQ(chosen(), (Cities{"BARRIE, ON", "CALGARY, AB", "REGINA, SK"}));
}

TEST_F(RateWindows, PrintingFromTheWindowPrintsTheChosenCities) {
    frmRateSheet* w = RateSheetWindow();
    w->Form_Load();
    w->cmbFrom->setCurrentText(QStringLiteral("CALGARY, AB"));
    w->chkTruckLoadRates->setChecked(true);
    ASSERT_EQ(PrintFromWindow(*w, {QStringLiteral("VANCOUVER, BC"), QStringLiteral("TORONTO, ON")}),
              RateSheetOutcome::Printed);
    ASSERT_NE(w->LastPrinter(), nullptr);
    std::vector<QString> firstColumn;
    bool truckloadHeader = false;
    for (const PrintedText& t : w->LastPrinter()->Texts()) {
        if (t.column == 1 && t.text.contains(QLatin1Char(',')) &&
            !t.text.startsWith(QStringLiteral("Rates")))
            firstColumn.push_back(t.text);
        truckloadHeader |= t.text == QStringLiteral("25000");
    }
    // The list's order: Toronto before Vancouver.
    EXPECT_EQ(firstColumn, (std::vector<QString>{QStringLiteral("TORONTO, ON"),
                                                 QStringLiteral("VANCOUVER, BC")}));
    EXPECT_TRUE(truckloadHeader);
    EXPECT_EQ(tariff.gDB->OpenSnapshot("SELECT COUNT(*) FROM \"canada rate sheet\"")
                  .Field(size_t{0})
                  .toInt(),
              0);
}

// "Print" takes the focus with Tab after the window's boxes, and Enter on it prints rather than
// closing the window as Enter elsewhere does.
TEST_F(RateWindows, PrintIsReachedWithTabAndEnterPrints) {
    frmRateSheet* w = RateSheetWindow();
    w->Form_Load();
    w->cmbFrom->setCurrentText(QStringLiteral("CALGARY, AB"));
    w->lstTo->findItems(QStringLiteral("VANCOUVER, BC"), Qt::MatchExactly)
        .front()
        ->setSelected(true);
    SetPrinterChooser(ChoosePdfFile(dir.filePath(QStringLiteral("keys.pdf"))));
    ShowActive(*w);
    for (int i = 0; i < 20 && Focused() != w->lblRate; ++i) PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), w->lblRate);
    PressKey(Qt::Key_Return);
    EXPECT_NE(w->LastPrinter(), nullptr);
    EXPECT_TRUE(w->isVisible());
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Focused(), w->lblDone);
    PressKey(Qt::Key_Space);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(RateWindows, ClosingTheRateSheetWindowAnyWayKeepsTheMainWindowsEnds) {
    for (int way = 0; way < 3; ++way) {
        CloseNextModal([this, way](QDialog& d) {
            auto& w = static_cast<frmRateSheet&>(d);
            w.cmbFrom->setCurrentText(QStringLiteral("CALGARY, AB"));
            // A sheet rates Canadian lanes into the shared state.
            EXPECT_EQ(PrintFromWindow(w, {QStringLiteral("VANCOUVER, BC")}),
                      RateSheetOutcome::Printed);
            EXPECT_EQ(tariff.gDestCountry, 1);
            if (way == 0) w.lblDone_Click();
            if (way == 1) QTest::keyClick(&w, Qt::Key_Escape);
            if (way == 2) w.close();
        });
        ShowRateSheetModally(nullptr);
        EXPECT_FALSE(RateSheetWindow()->isVisible()) << way;
        ExpectMainWindowEndsKept();
    }
}

TEST_F(RateWindows, EveryOpeningStartsWithoutTruckloadRates) {
    std::vector<bool> ticked;
    SetRateSheetShow([&](frmRateSheet& w) {
        w.show();
        ticked.push_back(w.chkTruckLoadRates->isChecked());
        QTest::mouseClick(w.chkTruckLoadRates, Qt::LeftButton, {},
                          QPoint(8, w.chkTruckLoadRates->height() / 2));
        EXPECT_TRUE(w.chkTruckLoadRates->isChecked());
        QTest::mouseClick(w.lblDone, Qt::LeftButton, {}, QPoint(4, 4));
    });
    ShowRateSheetModally(nullptr);
    ShowRateSheetModally(nullptr);
    EXPECT_EQ(ticked, (std::vector<bool>{false, false}));
}

// The first opening is scrolled to the list's end and left through a hovered "Done"; the
// second starts as the first did, with the lists at their top and no label highlighted.
TEST_F(RateWindows, EveryOpeningStartsAtTheTopOfTheListsWithNoLabelHighlighted) {
    struct Opening {
        int firstRow, scroll;
        uint32_t doneColor;
    };
    std::vector<Opening> openings;
    SetRateSheetShow([&](frmRateSheet& w) {
        ShowActive(w);
        openings.push_back({w.lstTo->indexAt(QPoint(2, 2)).row(),
                            w.lstTo->verticalScrollBar()->value(), w.lblDone->ForeColor()});
        ClickOn(w, w.lstTo);
        PressKey(Qt::Key_End);
        ASSERT_GT(w.lstTo->verticalScrollBar()->value(), 0);  // more cities than the list shows
        // From the list straight down, then across to "Done".
        const QPoint list = w.lstTo->mapTo(&w, w.lstTo->rect().center());
        const QPoint done = w.lblDone->mapTo(&w, w.lblDone->rect().center());
        MovePointer(w, {list, QPoint(list.x(), done.y()), done}, 6);
        ASSERT_EQ(w.lblDone->ForeColor(), kColorBlue);
        ClickAt(w, done);
    });
    ShowRateSheetModally(nullptr);
    ShowRateSheetModally(nullptr);
    ASSERT_EQ(openings.size(), 2u);
    for (const Opening& o : openings) {
        EXPECT_EQ(o.firstRow, 0);
        EXPECT_EQ(o.scroll, 0);
        EXPECT_EQ(o.doneColor, kColorBlack);
    }
}

TEST_F(RateWindows, ARightClickListsTheCitysPointsAndAClickPutsThemAway) {
    frmRateSheet* w = RateSheetWindow();
    w->Form_Load();
    w->resize(w->size());
    w->show();
    // A right click where the user sees the city: whatever lies on top there takes it.
    auto rightClick = [&](const QString& city) {
        QListWidgetItem* item = w->lstTo->findItems(city, Qt::MatchExactly).front();
        w->lstTo->scrollToItem(item);
        const QPoint at = w->lstTo->viewport()->mapTo(w, w->lstTo->visualItemRect(item).center());
        QWidget* top = w->childAt(at);
        ASSERT_NE(top, nullptr);
        QTest::mouseMove(top, top->mapFrom(w, at));
        QTest::mouseClick(top, Qt::RightButton, {}, top->mapFrom(w, at));
    };
    rightClick(QStringLiteral("TORONTO, ON"));
    EXPECT_FALSE(w->lstCities->isHidden());
    EXPECT_EQ(w->hdlRightClick->text(), QStringLiteral("Click anywhere on this list when you're done"));
    const int toronto = w->lstCities->count();
    ASSERT_GT(toronto, 0);
    const QString firstPoint = w->lstCities->item(0)->text();
    EXPECT_FALSE(w->lstCities->findItems(QStringLiteral("TORONTO, ON"), Qt::MatchExactly).isEmpty());
    // A right click does not choose the city as a destination.
    EXPECT_TRUE(w->lstTo->selectedItems().isEmpty());

    // A second city's points go below the first's.
    rightClick(QStringLiteral("ATLIN, BC"));
    ASSERT_GT(w->lstCities->count(), toronto);
    EXPECT_EQ(w->lstCities->item(0)->text(), firstPoint);
    EXPECT_EQ(w->lstCities->item(toronto)->text().right(4), QStringLiteral(", BC"));

    QTest::mouseClick(w->lstCities->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(w->lstCities->isHidden());
    EXPECT_EQ(w->lstCities->count(), 0);
    EXPECT_EQ(w->hdlRightClick->text().left(14), QStringLiteral("Right click on"));
    w->hide();
}

}  // namespace

namespace {

TEST_F(RateWindows, EveryControlFitsItsWindow) {
    frmRateTable* table = RateTableWindow();
    table->Form_Load();
    table->lblNet_Click();
    ExpectControlsFit(*table, "frmRateTable");

    frmRateSheet* sheet = RateSheetWindow();
    sheet->Form_Load();
    sheet->Form_Activate();
    ExpectControlsFit(*sheet, "frmRateSheet");
    sheet->lstTo_MouseDown(Qt::RightButton, 0);
    ExpectControlsFit(*sheet, "frmRateSheet-points");

    // A printed sheet to look at beside the pictures.
    const QByteArray folder = qgetenv("FRETLYN_SCREENSHOTS");
    if (folder.isEmpty()) return;
    const QString pdf = QString::fromLocal8Bit(folder) + QStringLiteral("/ratesheet.pdf");
    SetPrinterChooser(ChoosePdfFile(pdf));
    TextPrinter printer;
    EXPECT_EQ(PrintCanadaRateSheet({"CALGARY, AB", RateSheetCities(), "4.5", false}, printer),
              RateSheetOutcome::Printed);
}

}  // namespace
