// The simple discount editor with the windows it opens, driven as a user would; and its two
// ways in: the main window's command and the quote window's "Discounts" label.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "commandwindows.h"
#include "discountstore.h"
#include "fakpairview.h"
#include "form3.h"
#include "formkit.h"
#include "frmdiscwtbrks.h"
#include "frmfak.h"
#include "frmqpo.h"
#include "frmsimplediscount.h"
#include "frmsimplefak.h"
#include "installwindows.h"
#include "labelbutton.h"
#include "labels.h"
#include "lockedfiles.h"
#include "maskededit.h"
#include "messagebox.h"
#include "msgbox.h"
#include "pricingfixture.h"
#include "quotecharges.h"
#include "screenshots.h"
#include "startup.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

class SimpleEditorWindow : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        InstallCustomisationWindows();
    }
    void TearDown() override {
        ResetCommandWindows();
        SetEconomyPercentSource(nullptr);
        PricingTest::TearDown();
    }
    std::string Stored(int region, int ibob, const char* field) {
        return FieldOf(std::string("SELECT ") + field +
                           " FROM discounts WHERE zip = 'ALL' AND region = ?1 AND IBOB = ?2",
                       {region, ibob});
    }
    // Opens the editor through the main window's command; `drive` gets each window that opens.
    void Open(std::function<void(QDialog&)> drive) {
        SetPricingModalRunner(std::move(drive));
        OpenCommandWindow(CommandWindow::SimpleDiscounts);
        SetPricingModalRunner(nullptr);
    }
    static void Retype(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }
};

TEST_F(SimpleEditorWindow, ItShowsTheDefaultProgramAndDoneStoresIt) {
    bool opened = false;
    Open([&](QDialog& dialog) {
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        opened = true;
        w.show();
        EXPECT_EQ(w.windowTitle(), "Discount profile for non-defined shipping locations");
        EXPECT_EQ(w.txtUSA->text(), "45.0");
        EXPECT_EQ(w.txtUSAtoCanada->text(), "52.0");
        EXPECT_EQ(w.txtCanadatoUSA->text(), "60.0");
        EXPECT_EQ(w.txtPXS->text(), "62.0");
        EXPECT_FALSE(w.imgPoint->isVisible());
        EXPECT_EQ(LoadedSimpleDiscount(), &w);
        SaveScreenshot(w, "frmSimpleDiscount");
        Retype(w.txtUSA, "48x");  // the letter is dropped by the box
        EXPECT_EQ(w.txtUSA->text(), "48");
        Retype(w.txtPXS, "66");
        EXPECT_EQ(EconomyServicePercent(), "66");  // the rating reads the box while it is up
        w.lblDone_Click();
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(LoadedSimpleDiscount(), nullptr);
    EXPECT_EQ(Stored(1, 0, "d30m"), "48.0");
    EXPECT_EQ(FieldOf("SELECT PXSpct FROM Thriftlane", {}), "66.0");
    EXPECT_EQ(EconomyServicePercent(), "66.0");
}

// A discount typed over the box's text as Tab selects it: "32" is 32.0 % and "1" is 01.0 %;
// "5.5" is not of the editor's form 99.9 and is refused, the box getting its discount back.
TEST_F(SimpleEditorWindow, ADiscountTypedOverTheBoxsTextIsStoredInTheFormNNN) {
    Open([&](QDialog& dialog) {
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        ShowActive(w);
        for (int tabs = 0; tabs < 12 && Focused() != w.txtUSA; ++tabs) PressKey(Qt::Key_Tab);
        ASSERT_EQ(Focused(), w.txtUSA);
        EXPECT_EQ(w.txtUSA->selectedText(), "45.0");
        TypeKeys("5.5");
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{"Invalid format: Discount must be in this format "
                                           "'99.9'. Please try again"});
        EXPECT_EQ(w.txtUSA->text(), "45.0");
        ASSERT_EQ(Focused(), w.txtUSA);
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys("32");
        for (int tabs = 0; tabs < 12 && Focused() != w.txtPXS; ++tabs) PressKey(Qt::Key_Tab);
        ASSERT_EQ(Focused(), w.txtPXS);
        TypeKeys("1");
        ClickOn(w, w.lblDone);
    });
    EXPECT_EQ(Stored(1, 0, "d30m"), "32.0");
    EXPECT_EQ(FieldOf("SELECT PXSpct FROM Thriftlane", {}), "01.0");
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
}

// Another program writing to the database: Done says so, stores nothing and leaves the editor
// up with what was typed, and the same Done stores it all once the other program has finished.
TEST_F(SimpleEditorWindow, ADoneTheDatabaseRefusesIsToldAndTheEditorStaysUp) {
    const std::string before = PricingTables();
    bool opened = false;
    Open([&](QDialog& dialog) {
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        opened = true;
        w.show();
        Retype(w.txtUSA, "48");
        Retype(w.txtPXS, "66");
        TakeMessages();
        {
            HeldLock other(app.file("data/x2007.mdb").string(), "IMMEDIATE");
            emit w.lblDone->clicked();
            const std::vector<std::string> told = TakeMessages();
            ASSERT_EQ(told.size(), 1u);
            EXPECT_EQ(told[0].rfind("Discounts: ", 0), 0u) << told[0];
            EXPECT_NE(told[0].find("locked"), std::string::npos) << told[0];
            EXPECT_NE(told[0].find("Nothing was saved."), std::string::npos) << told[0];
        }
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(LoadedSimpleDiscount(), &w);
        // What was typed stays, in the form Done gives it.
        EXPECT_EQ(w.txtUSA->text(), "48.0");
        EXPECT_EQ(PricingTables(), before);
        emit w.lblDone->clicked();
        EXPECT_TRUE(TakeMessages().empty());
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(LoadedSimpleDiscount(), nullptr);
    EXPECT_EQ(Stored(1, 0, "d30m"), "48.0");
    EXPECT_EQ(FieldOf("SELECT PXSpct FROM Thriftlane", {}), "66.0");
}

TEST_F(SimpleEditorWindow, ARefusedBoxGetsItsTextBackAndBackWritesNothing) {
    const std::string before = PricingTables();
    SimpleDiscountOutcome outcome = SimpleDiscountOutcome::Done;
    SetPricingModalRunner([&](QDialog& dialog) {
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        w.Box_GotFocus(SimpleBox::USAtoCanada);
        w.txtUSAtoCanada->setText("45");
        w.Box_LostFocus(SimpleBox::USAtoCanada);
        EXPECT_EQ(w.txtUSAtoCanada->text(), "52.0");
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{"Invalid Value: Discount must be 52% or greater. Please "
                                           "try again"});
        // Leaving the floor box for a message about another box checks nothing.
        messages.gMsgShown = true;
        w.Box_GotFocus(SimpleBox::USAFloor);
        w.txtUSAFloor->setText("1.5");
        w.Box_LostFocus(SimpleBox::USAFloor);
        messages.gMsgShown = false;
        EXPECT_TRUE(TakeMessages().empty());
        w.Box_LostFocus(SimpleBox::USAFloor);
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{"Invalid format: Floor must be in this format '99.99'.  "
                                           "Please try again"});
        EXPECT_EQ(w.txtUSAFloor->text(), "00.00");
        w.txtCanada->setText("33");
        w.lblBack_Click();
    });
    outcome = ShowSimpleDiscount();
    SetPricingModalRunner(nullptr);
    EXPECT_EQ(outcome, SimpleDiscountOutcome::Back);
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(SimpleEditorWindow, ADoubleClickedLaneGetsItsBreaksAndShowsTier) {
    Open([&](QDialog& dialog) {
        if (auto* breaks = dynamic_cast<frmDiscWtBrks*>(&dialog)) {
            breaks->show();
            EXPECT_EQ(breaks->mskWtBrks[0]->Text(), "60.0");  // region 4 inbound
            EXPECT_EQ(breaks->lblWtBrk[3]->text(), "1,000 lbs");
            breaks->mskWtBrks[3]->clear();
            breaks->mskWtBrks[3]->setCursorPosition(0);
            QTest::keyClicks(breaks->mskWtBrks[3], "7");
            EXPECT_EQ(breaks->mskWtBrks[3]->Text(), "7_._");
            SaveScreenshot(*breaks, "frmDiscWtBrks");
            breaks->lblDone_Click();
            return;
        }
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        w.show();
        const QPoint origin = w.pos();
        w.Lane_DblClick(SimpleBox::CanadatoUSA);
        EXPECT_EQ(w.txtCanadatoUSA->text(), "tier");
        EXPECT_FALSE(w.imgPoint->isVisible());
        EXPECT_EQ(w.pos(), origin);
        // Done leaves the tiered lane as the break editor stored it.
        w.lblDone_Click();
    });
    EXPECT_EQ(Stored(4, 1, "d1m"), "07.0");
    EXPECT_EQ(Stored(4, 1, "d2m"), "60.0");
    EXPECT_EQ(customisation.gWtBrkFromFull, 0);
}

TEST_F(SimpleEditorWindow, TheBreakEditorsDoneLightsUpWhiteAndItsCaptionsStayWhite) {
    customisation.gShipLoc = "ALL";
    customisation.gRegion = 1;
    customisation.gIBOB = 0;
    frmDiscWtBrks window;
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.mskWtBrks[10]->Text(), "45.0");
    window.Highlighter()->Hover(window.lblDone);
    EXPECT_EQ(window.lblDone->ForeColor(), 0xFFFFFFu);
    EXPECT_EQ(window.lblWtBrk[0]->palette().color(QPalette::WindowText), QColor(Qt::white));
    window.Highlighter()->Background(&window);
    EXPECT_EQ(window.lblDone->ForeColor(), 0u);
    EXPECT_EQ(window.lblWtBrk[10]->palette().color(QPalette::WindowText), QColor(Qt::white));
}

// A break box entered by Tab or by a click is selected whole: what is typed replaces the old
// discount instead of overwriting it a digit at a time ("45" over 99.9 would leave 45.9), and
// the places left out are 0 in their place ("5.5" is 05.5, not 05.0 nor 50.5).
TEST_F(SimpleEditorWindow, TypingIntoAnEnteredBreakBoxReplacesItsDiscount) {
    customisation.gShipLoc = "ALL";
    customisation.gRegion = 1;
    customisation.gIBOB = 0;
    frmDiscWtBrks window;
    ASSERT_TRUE(window.Form_Load());
    // The same stored discount in every box, so that each box shows what typing left of it.
    for (MaskedEdit* box : window.mskWtBrks) box->SetText("99.9");
    ShowActive(window);

    ASSERT_EQ(Focused(), window.mskWtBrks[0]);  // entered as the window opens, selected whole
    TypeKeys("5.5");
    PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), window.mskWtBrks[1]);
    TypeKeys("45");
    ClickOn(window, window.mskWtBrks[2]);
    TypeKeys("0");
    PressKey(Qt::Key_Return);  // Enter goes on to the next break, as Tab does
    ASSERT_EQ(Focused(), window.mskWtBrks[3]);
    TypeKeys("1");
    PressKey(Qt::Key_Tab);
    TypeKeys(".7");

    ClickOn(window, window.lblDone);
    EXPECT_EQ(Stored(1, 0, "dmc"), "05.5");
    EXPECT_EQ(Stored(1, 0, "dL5C"), "45.0");
    EXPECT_EQ(Stored(1, 0, "d5c"), "00.0");
    EXPECT_EQ(Stored(1, 0, "d1m"), "01.0");
    EXPECT_EQ(Stored(1, 0, "d2m"), "00.7");
    EXPECT_EQ(Stored(1, 0, "d5m"), "99.9");
}

TEST_F(SimpleEditorWindow, SetFAKOpensTheLanesProfile) {
    Open([&](QDialog& dialog) {
        if (auto* fak = dynamic_cast<frmSimpleFAK*>(&dialog)) {
            fak->show();
            EXPECT_EQ(customisation.gSimpleFAKRegion, 4);
            EXPECT_EQ(customisation.gSimpleFAKIBOB, 1);
            EXPECT_FALSE(fak->lstFAKClass->isEnabled());
            EXPECT_FALSE(fak->cmdApply->isEnabled());
            fak->lstActualClass->item(5)->setSelected(true);  // 77.5
            EXPECT_TRUE(fak->lstFAKClass->isEnabled());
            EXPECT_TRUE(fak->cmdCancel->isEnabled());
            fak->lstFAKClass->item(4)->setSelected(true);  // 70
            SaveScreenshot(*fak, "frmSimpleFAK");
            fak->cmdApply_Click();
            EXPECT_EQ(fak->lstFAKClass->item(5)->text(), "70");
            EXPECT_FALSE(fak->cmdApply->isEnabled());
            fak->cmdDone_Click();
            return;
        }
        auto& w = dynamic_cast<frmSimpleDiscount&>(dialog);
        QTest::mouseClick(w.lblFAKCanadatoUSA, Qt::LeftButton);
        w.lblBack_Click();
    });
    EXPECT_EQ(FieldOf("SELECT profil FROM faktable WHERE zip='ALL' AND region=4 AND IBOB=1", {}),
              "000102030404060708091011121314151617");
    EXPECT_EQ(FieldOf("SELECT profil FROM faktable WHERE zip='ALL' AND region=4 AND IBOB=0", {}),
              "000102030405060708091011121314151617");
}

TEST_F(SimpleEditorWindow, AMissingRowKeepsTheEditorClosed) {
    Exec("DELETE FROM discounts WHERE zip = 'ALL' AND region = 254");
    bool opened = false;
    Open([&](QDialog&) { opened = true; });
    EXPECT_FALSE(opened);
    const auto shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("region 254"), std::string::npos);
}

TEST_F(SimpleEditorWindow, TheQuoteWindowsDiscountsLabelOpensItWhileTheQuoteIsHidden) {
    Form3 form;
    ConnectProgramWindows(form);
    frmQPO* quoteWindow = QuoteWindow();
    quoteWindow->show();
    bool quoteHidden = false;
    SetPricingModalRunner([&](QDialog& dialog) {
        quoteHidden = !quoteWindow->isVisible();
        dynamic_cast<frmSimpleDiscount&>(dialog).lblBack_Click();
    });
    quoteWindow->mlblDiscounts_Click();
    SetPricingModalRunner(nullptr);
    EXPECT_TRUE(quoteHidden);
    EXPECT_FALSE(quoteWindow->isVisible());
    UnloadQuoteWindow();
}

TEST_F(SimpleEditorWindow, TheFullFAKWindowShowsARegionsTwoProfilesInItsColour) {
    AddRegionRows("606", 2);
    customisation.gShipLoc = "606";
    customisation.gRegion = 2;
    frmFAK window;
    ASSERT_TRUE(window.Form_Activate());
    window.show();
    EXPECT_EQ(window.lblFAKTitle->text(), "FAK Profile for shipments between 606 and Region 2");
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(0, 150, 72));
    window.lstActualClass[1]->item(6)->setSelected(true);  // inbound 85
    window.lstFAKClass[1]->item(4)->setSelected(true);     // as 70
    SaveScreenshot(window, "frmFAK");
    window.cmdApply_Click();
    const auto profile = [&](int ibob) {
        return FieldOf("SELECT profil FROM faktable WHERE zip='606' AND region=2 AND IBOB=?1",
                       {ibob});
    };
    EXPECT_EQ(profile(1), "000102030405040708091011121314151617");
    EXPECT_EQ(profile(0), "000102030405060708091011121314151617");
    EXPECT_EQ(window.lstFAKClass[1]->item(6)->text(), "70");
    QTest::mouseClick(window.Text1, Qt::LeftButton);  // the inbound "Actual Class" heading
    EXPECT_EQ(profile(1), "000102030405060708091011121314151617");
    EXPECT_EQ(window.lstFAKClass[1]->item(6)->text(), "85");
}

}  // namespace

namespace {

// The break editor stands at its offset from the window that opens it, but never past the
// screen's edge: from an editor at the right of the screen it would end beyond it.
TEST_F(SimpleEditorWindow, TheBreakEditorKeepsItsOffsetInsideTheScreen) {
    customisation.gShipLoc = "ALL";
    customisation.gRegion = 1;
    customisation.gIBOB = 0;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget opener;
    opener.resize(200, 100);
    std::vector<QRect> placed;
    SetPricingModalRunner([&](QDialog& dialog) {
        placed.push_back(dialog.frameGeometry());
        // Escape closes the editor as its close box does: nothing is stored.
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    opener.move(screen.topLeft());
    EXPECT_EQ(ShowWeightBreakEditor(&opener, 4450, 1750), std::nullopt);
    opener.move(screen.right() - 250, screen.top() + 40);
    EXPECT_EQ(ShowWeightBreakEditor(&opener, 4450, 1750), std::nullopt);
    SetPricingModalRunner(nullptr);
    ASSERT_EQ(placed.size(), 2u);
    // Down by the offset; across by it too unless that would cross the right edge (the tests'
    // screen is 800 pixels wide, narrower than the editor itself).
    EXPECT_EQ(placed[0].top(), screen.top() + TwipsToPixels(1750));
    EXPECT_EQ(placed[1].top(), screen.top() + 40 + TwipsToPixels(1750));
    for (const QRect& at : placed) {
        EXPECT_TRUE(at.right() <= screen.right() || at.left() == screen.left()) << at.x();
        EXPECT_GE(at.left(), screen.left());
        EXPECT_LE(at.bottom(), screen.bottom());
    }
    if (placed[0].width() + TwipsToPixels(4450) <= screen.width()) {
        EXPECT_EQ(placed[0].left(), screen.left() + TwipsToPixels(4450));
    }
}

}  // namespace
