// The bill-of-lading window: its modes, key filters, labels and what each does to the tables.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QLocale>
#include <QPlainTextEdit>

#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "ratingstate.h"
#include "settings.h"
#include "userinput.h"

namespace {

class FrmBL : public BLWindowTest {
  protected:
    void SetUp() override {
        BLWindowTest::SetUp();
        shipper = AddParty("Shipper Co", kRoleShipper);
        consignee = AddParty("Consignee Co", kRoleConsignee);
        payer = AddParty("Payer Co", kRoleBillTo);
        crate = AddCommodity("Crate", "12");
    }
    // Fills a new bill the checks accept.
    void EnterBill(frmBL& w, const QString& number) {
        w.mlblNew_Click();
        Type(w.cmbBillNbr->lineEdit(), number);
        Pick(w.cmbShipper, "Shipper Co");
        Pick(w.cmbConsignee, "Consignee Co");
        Pick(w.cmbItem[0], "Crate");
        Type(w.txtQuantity[0], "3");
        w.txtQuantity_LostFocus(0);
    }
    BLRecordId shipper = 0, consignee = 0, payer = 0, crate = 0;
};

TEST_F(FrmBL, WithNoBillOnlyTheBrowseCommandsAreOpen) {
    frmBL& w = OpenBL();
    EXPECT_EQ(w.windowTitle(), "Norvale Freight Bill of Lading Management Utility ");
    EXPECT_EQ(w.cmbBillNbr->currentText(), "");
    EXPECT_EQ(w.txtDate->text(), "");
    EXPECT_EQ(w.cmbShipper->currentText(), kPromptShipper);
    for (LabelButton* on :
         {w.mlblNew, w.mlblBLParties, w.mlblCommodities, w.mlblConfig, w.mlblDone})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (LabelButton* off : {w.mlblEdit, w.mlblRate, w.mlblPrint, w.mlblDelete, w.mlblSave})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_TRUE(w.cmbBillNbr->isEnabled());
    EXPECT_FALSE(w.txtDate->isEnabled());
    EXPECT_FALSE(w.cmbItem[0]->isEnabled());
}

// While a bill is being added most commands are disabled, and every one of them looks the same,
// whether the user has tabbed through it or not: readable on the column's picture, yet plainly
// not the black of a command that works.
TEST_F(FrmBL, EveryDisabledCommandHasTheOneDisabledLook) {
    frmBL& w = OpenBL();
    ShowActive(w);
    TabAround(w);
    ClickOn(w, w.mlblNew);
    ASSERT_TRUE(w.mlblSave->isEnabled());
    ExpectOneDisabledLook(w,
                          {w.mlblBLParties, w.mlblCommodities, w.mlblConfig, w.mlblRate,
                           w.mlblPrint, w.mlblNew, w.mlblEdit, w.mlblDone},
                          {w.mlblSave, w.mlblDelete});
}

// Held for the run, the window goes when the application quits, never after it is gone.
TEST_F(FrmBL, TheWindowGoesWhenTheApplicationQuits) {
    OpenBL();
    ASSERT_NE(LoadedBLWindow(), nullptr);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit",
                              Qt::DirectConnection);
    EXPECT_EQ(LoadedBLWindow(), nullptr);
    // And comes back on the next use.
    EXPECT_NE(BLWindow(), nullptr);
}

TEST_F(FrmBL, OpensOnTheFirstNumberOfTheSortedList) {
    AddBill("200", shipper, consignee, 0, {{crate, "1", "12"}});
    AddBill("100", shipper, consignee, payer, {{crate, "2", "24"}}, "Dock 4");
    frmBL& w = OpenBL();
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(w.values.strBillNbr, "100");
    EXPECT_EQ(w.cmbBillTo->currentText(), "Payer Co");
    EXPECT_EQ(w.txtweight[0]->text(), "24");
    EXPECT_EQ(w.txtInstructions->toPlainText(), "Dock 4");
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
    Pick(w.cmbBillNbr, "200");
    EXPECT_EQ(w.txtweight[0]->text(), "12");
    EXPECT_EQ(w.cmbBillTo->currentText(), kPromptBillTo);
    EXPECT_EQ(w.txtInstructions->toPlainText(), "");
}

TEST_F(FrmBL, TheNumberOfAShownBillCannotBeTypedOver) {
    AddBill("100", shipper, consignee);
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.cmbBillNbr);
    ASSERT_EQ(Focused(), w.cmbBillNbr);
    TypeKeys("x");
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(LastText(), "You cannot change a B/L number.  Add a newB/L instead.");
    EXPECT_EQ(LastTitle(), "Error");
    EXPECT_EQ(Shown().back().style, 48);
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(Shown().size(), 2u);
    // Copying the number is no change to it; pasting over it changes nothing either.
    PressKey(Qt::Key_A, Qt::ControlModifier);
    PressKey(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "100");
    QApplication::clipboard()->setText("999");
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(Shown().size(), 2u);
    // Moving on with the keyboard is not typing.
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(Shown().size(), 2u);
    // While adding the same keys are the new number.
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbBillNbr);
    TypeKeys("x7");
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "x");
    EXPECT_EQ(Shown().size(), 2u);
}

// A new number that begins like a stored one stays as typed: Tab goes on to the date with it,
// and Save stores it as a bill of its own.
TEST_F(FrmBL, ANewNumberIsNotCompletedToAStoredOne) {
    AddBill("BL1001", shipper, consignee);
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbBillNbr);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("BL100");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "BL100");
    EXPECT_TRUE(blWindow.BLAddingFlag);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    // The party boxes too keep a name as typed.
    ClickOn(w, w.cmbShipper);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("Ship");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.cmbShipper->currentText(), "Ship");
}

// The digit boxes take digits whether typed or pasted, and the editing shortcuts work in them:
// a refused PRO number can be selected whole and typed or pasted again.
TEST_F(FrmBL, DigitBoxesAdmitOnlyDigitsAlsoWhenPastedAndKeepTheEditingShortcuts) {
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    for (QLineEdit* box : {w.txtProNumber, w.txtQuantity[1], w.txtweight[1]}) {
        ClickOn(w, box);
        ASSERT_EQ(Focused(), box);
        TypeKeys("12");
        QApplication::clipboard()->setText("abc");
        PressKey(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "12") << box->objectName().toStdString();
        QApplication::clipboard()->setText("-500");
        PressKey(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "12") << box->objectName().toStdString();
        PressKey(Qt::Key_A, Qt::ControlModifier);
        QApplication::clipboard()->setText("345");
        PressKey(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "345") << box->objectName().toStdString();
        PressKey(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "12") << box->objectName().toStdString();
        PressKey(Qt::Key_A, Qt::ControlModifier);
        PressKey(Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(box->text(), "") << box->objectName().toStdString();
        EXPECT_EQ(QApplication::clipboard()->text(), "12");
    }
    EXPECT_TRUE(Shown().empty());
}

// The notes hold 255 characters, however many are typed or pasted.
TEST_F(FrmBL, TheNotesHoldAtMost255Characters) {
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.txtInstructions);
    ASSERT_EQ(Focused(), w.txtInstructions);
    TypeKeys("Dock 4. ");
    QApplication::clipboard()->setText(QString(10000, QLatin1Char('n')));
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtInstructions->toPlainText(), "Dock 4. " + QString(247, QLatin1Char('n')));
    TypeKeys("z");
    EXPECT_EQ(w.txtInstructions->toPlainText().size(), 255);
    EXPECT_FALSE(w.txtInstructions->toPlainText().contains('z'));
    // Pasted in the middle, what is too much is what was pasted, not the end of the notes.
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("Call first.");
    PressKey(Qt::Key_Home);
    QApplication::clipboard()->setText(QString(300, QLatin1Char('-')));
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtInstructions->toPlainText(), QString(244, QLatin1Char('-')) + "Call first.");
}

// A keyboard user walks the bill in the order it reads, the five lines across, and Tab leaves
// the notes rather than typing into them.
TEST_F(FrmBL, TabWalksTheBillAsItReadsAndLeavesTheNotes) {
    frmBL& w = OpenBL();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.mlblNew_Click();
    std::vector<QWidget*> order{w.cmbBillNbr, w.txtDate,      w.txtProNumber, w.txtPONbr,
                                w.cmbShipper, w.cmbConsignee, w.cmbBillTo};
    for (int row = 0; row < kBLLines; ++row)
        order.insert(order.end(), {w.cmbItem[row], w.txtQuantity[row], w.txtweight[row]});
    order.push_back(w.txtInstructions);
    const auto focused = [&]() -> std::string {
        for (QWidget* f : order)
            if (f->hasFocus()) return f->objectName().toStdString();
        QWidget* other = QApplication::focusWidget();
        return other ? "elsewhere: " + other->objectName().toStdString() : "nowhere";
    };
    ASSERT_EQ(focused(), "cmbBillNbr");
    for (size_t i = 1; i < order.size(); ++i) {
        Key(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), order[i]->objectName().toStdString()) << "Tab number " << i;
    }
    for (size_t i = order.size() - 1; i > 0; --i) {
        Key(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(focused(), order[i - 1]->objectName().toStdString()) << "Backtab to " << i - 1;
    }

    w.txtInstructions->setFocus();
    Type(w.txtInstructions, "Dock 4");
    Key(w.txtInstructions, Qt::Key_Tab);
    EXPECT_FALSE(w.txtInstructions->hasFocus());
    // On through the commands of the column that are open to a bill being typed, in the
    // column's order, and round again to the top.
    std::vector<std::string> commands;
    for (int i = 0; i < 15 && focused() != "cmbBillNbr"; ++i) {
        commands.push_back(QApplication::focusWidget()->objectName().toStdString());
        Key(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(commands, (std::vector<std::string>{"mlblSave", "mlblDelete"}));
    EXPECT_EQ(focused(), "cmbBillNbr");
    w.txtInstructions->setFocus();
    Key(w.txtInstructions, Qt::Key_Backtab);
    EXPECT_EQ(focused(), "txtweight4");
    EXPECT_EQ(w.txtInstructions->toPlainText(), "Dock 4");
}

TEST_F(FrmBL, ProQuantityAndWeightBoxesTakeDigitsOnly) {
    frmBL& w = OpenBL();
    w.mlblNew_Click();
    Type(w.txtProNumber, "12a3");
    EXPECT_EQ(w.txtProNumber->text(), "123");
    Key(w.txtProNumber, Qt::Key_Backspace);
    EXPECT_EQ(w.txtProNumber->text(), "12");
    Type(w.txtProNumber, "34567890");  // nine characters at most
    EXPECT_EQ(w.txtProNumber->text(), "123456789");
    for (QLineEdit* box : {w.txtQuantity[2], w.txtweight[2]}) {
        Type(box, "4b.5");
        EXPECT_EQ(box->text(), "45");
        Key(box, Qt::Key_Backspace);  // refused here, unlike the PRO number
        EXPECT_EQ(box->text(), "45");
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(FrmBL, AQuantityWorksOutTheLineWeight) {
    frmBL& w = OpenBL();
    w.mlblNew_Click();
    Pick(w.cmbItem[1], "Crate");
    Type(w.txtQuantity[1], "3");
    w.txtQuantity_LostFocus(1);
    EXPECT_EQ(w.txtweight[1]->text(), "36");
    // A quantity of 0 or none leaves the weight as it stands.
    w.txtQuantity[1]->setText("0");
    w.txtQuantity_LostFocus(1);
    EXPECT_EQ(w.txtweight[1]->text(), "36");
    w.txtQuantity[1]->clear();
    w.txtQuantity_LostFocus(1);
    EXPECT_EQ(w.txtweight[1]->text(), "36");
    // A row still at its prompt has nothing to weigh.
    Type(w.txtQuantity[2], "5");
    w.txtQuantity_LostFocus(2);
    EXPECT_EQ(w.txtweight[2]->text(), "");
    // A product beyond range is said so and leaves the box alone.
    AddCommodity("Ingot", "2000000000");
    w.RefillCommoditiesAndShow();
    w.mlblNew_Click();
    Pick(w.cmbItem[0], "Ingot");
    Type(w.txtQuantity[0], "2");
    w.txtQuantity_LostFocus(0);
    EXPECT_EQ(w.txtweight[0]->text(), "");
    EXPECT_EQ(LastText(), "The weight of this line is too large.");
}

TEST_F(FrmBL, NewFillsTodayAndSaveStoresTheBill) {
    frmBL& w = OpenBL();
    EnterBill(w, "555");
    EXPECT_FALSE(w.txtDate->text().isEmpty());
    EXPECT_EQ(w.mlblDelete->text(), "Abandon");
    EXPECT_FALSE(w.mlblDone->isEnabled());
    EXPECT_TRUE(blWindow.BLAddingFlag);
    w.txtInstructions->setPlainText("Call ahead");
    w.mlblSave_Click();
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_FALSE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
    EXPECT_FALSE(w.txtDate->isEnabled());
    const BLRecordId id = FindBLIdByNumber("555");
    ASSERT_NE(id, 0);
    const BillOfLading bl = *ReadBillOfLading(id);
    EXPECT_EQ(bl.bill.shipperId, shipper);
    EXPECT_EQ(bl.bill.consigneeId, consignee);
    EXPECT_EQ(bl.instructions, "Call ahead");
    ASSERT_EQ(bl.lines.size(), 1u);
    EXPECT_EQ(bl.lines[0].weight, "36");
    EXPECT_EQ(w.cmbBillNbr->findText("555"), 0);
}

// Clicking into a party box that shows its prompt and typing gives the name typed, not the
// prompt with the name after it.
TEST_F(FrmBL, TypingIntoAPartyBoxReplacesItsPrompt) {
    frmBL& w = OpenBL();
    ShowActive(w);
    QTest::mouseClick(w.mlblNew, Qt::LeftButton);
    ASSERT_TRUE(blWindow.BLAddingFlag);
    for (QComboBox* box : {w.cmbShipper, w.cmbConsignee, w.cmbBillTo}) {
        const QString prompt = box->currentText();
        ASSERT_TRUE(prompt.startsWith(QStringLiteral("...choose a"))) << prompt.toStdString();
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton, {}, QPoint(20, 8));
        ASSERT_EQ(QApplication::focusWidget()->window(), &w);
        Type(QApplication::focusWidget(), "Acme Widgets");
        EXPECT_EQ(box->currentText(), "Acme Widgets") << prompt.toStdString();
        // A name already typed is edited as any text.
        Type(QApplication::focusWidget(), " Inc");
        EXPECT_EQ(box->currentText(), "Acme Widgets Inc");
    }
}

// A bill saved from a line's box: the boxes it shuts show no selection left from the entry.
TEST_F(FrmBL, AfterSaveTheShutBoxesShowNoSelection) {
    frmBL& w = OpenBL();
    ShowActive(w);
    EnterBill(w, "556");
    QTest::mouseClick(w.txtQuantity[0], Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), w.txtQuantity[0]);
    QTest::mouseClick(w.mlblSave, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    ASSERT_FALSE(blWindow.BLAddingFlag);
    for (int row = 0; row < kBLLines; ++row) {
        EXPECT_FALSE(w.txtweight[row]->hasSelectedText()) << row;
        EXPECT_FALSE(w.txtQuantity[row]->hasSelectedText()) << row;
    }
}

TEST_F(FrmBL, AFailedCheckKeepsTheModeAndPutsTheFocusOnTheBox) {
    frmBL& w = OpenBL();
    EnterBill(w, "555");
    Type(w.txtProNumber, "123456783");
    w.mlblSave_Click();
    EXPECT_EQ(LastTitle(), "Check PRO #");
    EXPECT_EQ(w.focusWidget(), w.txtProNumber);
    EXPECT_TRUE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "555");
    EXPECT_EQ(Rows("Bills"), 0);
}

TEST_F(FrmBL, AFailedSaveSaysSoAndKeepsEverythingTyped) {
    frmBL& w = OpenBL();
    EnterBill(w, "555");
    Exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON BLdetail BEGIN SELECT RAISE(ABORT, 'disk "
        "full'); END");
    w.mlblSave_Click();
    EXPECT_EQ(LastTitle(), "Error");
    EXPECT_TRUE(LastText().startsWith("The bill of lading was not saved; nothing was written."));
    EXPECT_TRUE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.mlblDelete->text(), "Abandon");
    EXPECT_EQ(w.cmbBillNbr->currentText(), "555");
    EXPECT_EQ(w.txtweight[0]->text(), "36");
    EXPECT_EQ(Rows("Bills"), 0);
    EXPECT_EQ(w.cmbBillNbr->findText("555"), -1);  // not listed as stored
}

TEST_F(FrmBL, AbandonAsksAndNoKeepsTheEntries) {
    AddBill("100", shipper, consignee);
    frmBL& w = OpenBL();
    EnterBill(w, "555");
    messageScript.Queue(kIdNo);
    w.mlblDelete_Click();
    EXPECT_EQ(LastText(), "Are you sure you want to cancel adding this record?");
    EXPECT_EQ(LastTitle(), "Confirm Abandon");
    EXPECT_TRUE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "555");
    EXPECT_EQ(w.txtQuantity[0]->text(), "3");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_FALSE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
    EXPECT_FALSE(w.Image1->isEnabled());
    EXPECT_EQ(Rows("Bills"), 1);
}

TEST_F(FrmBL, APickWhileAddingAsksBeforeDroppingTheNewBill) {
    AddBill("100", shipper, consignee);
    frmBL& w = OpenBL();
    EnterBill(w, "555");
    messageScript.Queue(kIdNo);
    Pick(w.cmbBillNbr, "100");
    EXPECT_EQ(LastTitle(), "Confirm Abandon");
    EXPECT_EQ(w.cmbBillNbr->currentText(), "555");
    EXPECT_EQ(w.txtQuantity[0]->text(), "3");
    EXPECT_TRUE(blWindow.BLAddingFlag);
    messageScript.Queue(kIdYes);
    Pick(w.cmbBillNbr, "100");
    EXPECT_FALSE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
    EXPECT_TRUE(w.mlblEdit->isEnabled());
}

TEST_F(FrmBL, ClosingWhileEditingAsksTheAbandonQuestion) {
    AddBill("100", shipper, consignee, payer, {{crate, "1", "12"}});
    frmBL& w = OpenBL();
    w.show();
    w.mlblEdit_Click();
    EXPECT_FALSE(w.cmbBillNbr->isEnabled());
    w.txtweight[0]->setText("99");
    messageScript.Queue(kIdNo);
    Key(&w, Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(LastText(), "Are you sure you want to cancel editing this record?");
    EXPECT_TRUE(blWindow.BLEditingFlag);
    EXPECT_EQ(w.txtweight[0]->text(), "99");
    messageScript.Queue(kIdYes);
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(blWindow.BLEditingFlag);
    EXPECT_EQ(w.txtweight[0]->text(), "12");  // the stored bill again
    EXPECT_EQ(ReadBLLines(FindBLIdByNumber("100"))[0].weight, "12");
}

TEST_F(FrmBL, AnEditStoresExactlyWhatTheWindowShows) {
    const BLRecordId other = AddCommodity("Drum", "50");
    AddBill("100", shipper, consignee, payer, {{crate, "1", "12"}, {other, "2", "100"}});
    frmBL& w = OpenBL();
    w.mlblEdit_Click();
    // The first line takes the second's place, the second is taken out, and the bill-to
    // party too.
    w.cmbItem[0]->setCurrentIndex(w.cmbItem[0]->findText("Drum"));
    w.txtQuantity[0]->setText("2");
    w.txtweight[0]->setText("100");
    w.cmbItem[1]->setCurrentIndex(0);
    w.cmbBillTo->setCurrentIndex(0);
    w.mlblSave_Click();
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    const BillOfLading bl = *ReadBillOfLading(FindBLIdByNumber("100"));
    EXPECT_EQ(bl.bill.billToId, 0);
    ASSERT_EQ(bl.lines.size(), 1u);
    EXPECT_EQ(bl.lines[0].commodityId, other);
    EXPECT_EQ(bl.lines[0].weight, "100");
    EXPECT_EQ(w.cmbItem[0]->currentText(), "Drum");
    EXPECT_EQ(w.cmbItem[1]->currentText(), kPromptCommodity);
}

TEST_F(FrmBL, DeletingTheOnlyBillGreysTheHeadingsUntilNew) {
    AddBill("100", shipper, consignee, 0, {{crate, "1", "12"}}, "note");
    frmBL& w = OpenBL();
    messageScript.Queue(kIdNo);
    w.mlblDelete_Click();
    EXPECT_EQ(LastText(), "Are you sure you want to delete this Bill of Lading?");
    EXPECT_EQ(Rows("Bills"), 1);
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 0);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "");
    EXPECT_EQ(w.txtDate->text(), "");
    EXPECT_FALSE(w.hdgShipper->isEnabled());
    EXPECT_FALSE(w.mlblEdit->isEnabled());
    EXPECT_FALSE(w.mlblDelete->isEnabled());
    w.mlblNew_Click();
    EXPECT_TRUE(w.hdgShipper->isEnabled());
}

// A bill saved under one desktop language is shown in another's form and saved again there
// without a word; it is stored in the one form.
TEST_F(FrmBL, ABillSavedUnderOneLocaleSavesUnderAnother) {
    const BLRecordId id = AddBill("100", shipper, consignee, 0, {{crate, "1", "12"}});
    ASSERT_EQ(ReadBill(id)->date, "12/7/26");  // as a US desktop stored it before
    QLocale::setDefault(QLocale::c());
    frmBL& w = OpenBL();
    w.show();
    EXPECT_EQ(w.txtDate->text(), QLocale::c().toString(QDate(2026, 12, 7), QLocale::ShortFormat));
    QTest::mouseClick(w.mlblEdit, Qt::LeftButton);
    QTest::mouseClick(w.mlblSave, Qt::LeftButton);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_EQ(ReadBill(id)->date, "2026-12-07");
}

// The menu's picture keeps its colours after a Delete and after an abandoned New, though it
// takes no pointer moves then.
TEST_F(FrmBL, TheMenuPictureKeepsItsColoursAfterADeleteOrAnAbandonedNew) {
    AddBill("100", shipper, consignee, 0, {{crate, "1", "12"}});
    AddBill("200", shipper, consignee, 0, {{crate, "1", "12"}});
    frmBL& w = OpenBL();
    w.show();
    const QPoint middle(w.Image1->width() / 2, w.Image1->height() / 2);
    const QRgb colour = w.Image1->grab().toImage().pixel(middle);
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.mlblDelete, Qt::LeftButton);
    ASSERT_EQ(Rows("Bills"), 1);
    EXPECT_FALSE(w.Image1->isEnabled());
    EXPECT_EQ(w.Image1->grab().toImage().pixel(middle), colour);

    QTest::mouseClick(w.mlblNew, Qt::LeftButton);
    messageScript.Queue(kIdYes);
    QTest::mouseClick(w.mlblDelete, Qt::LeftButton);
    EXPECT_EQ(LastTitle(), "Confirm Abandon");
    EXPECT_EQ(w.Image1->grab().toImage().pixel(middle), colour);
}

TEST_F(FrmBL, AFailedDeleteSaysSoAndKeepsTheBillShown) {
    AddBill("100", shipper, consignee, 0, {{crate, "1", "12"}}, "note");
    frmBL& w = OpenBL();
    Exec(
        "CREATE TRIGGER refuse BEFORE DELETE ON \"BL Notes\" BEGIN SELECT RAISE(ABORT, "
        "'locked'); END");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_TRUE(LastText().startsWith("The bill of lading was not deleted; nothing was changed."));
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 3);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "100");
    EXPECT_EQ(w.cmbBillNbr->count(), 1);
    EXPECT_TRUE(w.mlblEdit->isEnabled());
    EXPECT_EQ(w.txtweight[0]->text(), "12");
}

TEST_F(FrmBL, AWeightBoxSelectsItsFiguresOnEntry) {
    frmBL& w = OpenBL();
    w.mlblNew_Click();
    w.txtweight[0]->setText(" 360  ");
    w.txtweight_GotFocus(0);
    QApplication::processEvents();
    EXPECT_EQ(w.txtweight[0]->selectionStart(), 0);
    EXPECT_EQ(w.txtweight[0]->selectedText(), " 36");  // as many characters as the trimmed text
}

TEST_F(FrmBL, RateAndPrintSayWhenThisBuildCannot) {
    AddBill("100", shipper, consignee);
    frmBL& w = OpenBL();
    w.mlblRate_Click();
    EXPECT_EQ(LastText(), "Rating a bill of lading is not part of this build of Fretlyn.");
    w.mlblPrint_Click();
    EXPECT_EQ(LastText(), "Printing a bill of lading is not part of this build of Fretlyn.");
}

TEST_F(FrmBL, PrintMakesTheSetCopiesEachWithItsRating) {
    AddBill("100", shipper, consignee);
    std::vector<std::string> calls;
    BLRatePrintHooks hooks;
    hooks.PrintBL = [&](const std::string& n) {
        calls.push_back("print " + n + (blWindow.BLPrinting ? " printing" : ""));
        return true;
    };
    hooks.RateBL = [&](const std::string& n, uint8_t silent) {
        calls.push_back("rate " + n + " " + std::to_string(silent) +
                        (blWindow.boolSpecialDiscount ? " special" : ""));
        rating.gBreakDisc[3] = "99.0";  // as a special discount would
        return false;                   // a lane not served: no quote to print
    };
    SetBLRatePrintHooks(hooks);
    rating.gBreakDisc2[3] = "40.0";
    frmBL& w = OpenBL();

    SetConfigValue("BL_Copies", "2");
    SetConfigValue("BL_PrintRates", "yes");
    SetConfigValue("BL_UseSpecialDiscount", "yes");
    w.mlblPrint_Click();
    EXPECT_EQ(calls, (std::vector<std::string>{"print 100 printing", "rate 100 1 special",
                                               "print 100 printing", "rate 100 1 special"}));
    EXPECT_FALSE(blWindow.BLPrinting);
    EXPECT_EQ(rating.gBreakDisc[3], "40.0");

    calls.clear();
    SetConfigValue("BL_PrintRates", "Yes");  // only "yes" asks for rates
    w.mlblPrint_Click();
    EXPECT_EQ(calls, (std::vector<std::string>{"print 100 printing", "print 100 printing"}));

    calls.clear();
    SetConfigValue("BL_Copies", "0");
    w.mlblPrint_Click();
    EXPECT_TRUE(calls.empty());

    w.mlblRate_Click();
    EXPECT_EQ(calls, (std::vector<std::string>{"rate 100 0 special"}));
}

}  // namespace
