// The Puerto Rico port and military-base dialogs: their options, their Done labels, and a
// dialog closed without Done.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

#include "labelbutton.h"
#include "labels.h"
#include "messagebox.h"
#include "offshore.h"
#include "offshoredialogs.h"
#include "testdata.h"

namespace {

class OffshoreDialogs : public ::testing::Test {
  protected:
    void SetUp() override { offshore.Reset(); }
    void TearDown() override { offshore.Reset(); }

    static void Show(QDialog& dialog) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    ScratchAppFolder app;  // the hand cursor of the dialogs
};

TEST_F(OffshoreDialogs, ThePortDialogOpensOnTheOfferedPortAndDoneRecordsTheChoice) {
    frmPRPort dialog(true);
    EXPECT_EQ(dialog.Label1->text(), "Please Enter US Exit Port");
    EXPECT_EQ(dialog.OptFL->text(), "Jacksonville, FL");
    EXPECT_EQ(dialog.OptNJ->text(), "Elizabeth, NJ");
    EXPECT_EQ(dialog.lblPort->text(), "Done");
    EXPECT_TRUE(dialog.OptFL->isChecked());
    EXPECT_FALSE(dialog.OptNJ->isChecked());
    EXPECT_EQ(dialog.font().family(), "Verdana");
    EXPECT_EQ(dialog.Line1->palette().color(QPalette::WindowText), QColor(50, 70, 132));

    Show(dialog);
    QTest::mouseClick(dialog.OptNJ, Qt::LeftButton, {}, QPoint(8, dialog.OptNJ->height() / 2));
    EXPECT_FALSE(dialog.OptFL->isChecked());
    QTest::mouseClick(dialog.lblPort, Qt::LeftButton);
    EXPECT_EQ(offshore.gPRPort, "07072");
    EXPECT_FALSE(offshore.gAskPRPort);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(OffshoreDialogs, ClosingWithoutDoneRecordsNothing) {
    offshore.gPRPort = "32254";
    frmPRPort port(false);
    Show(port);
    port.reject();
    EXPECT_EQ(offshore.gPRPort, "32254");
    EXPECT_TRUE(offshore.gAskPRPort);

    offshore.gMilitaryAnswer = true;
    frmMilitary military(false);
    Show(military);
    military.reject();
    EXPECT_TRUE(offshore.gMilitaryAnswer);
    EXPECT_TRUE(offshore.gAskMilitaryBase);
}

// Without a pointer: the arrows choose an option, Enter is Done, Escape the close box.
TEST_F(OffshoreDialogs, EnterIsDoneAndEscapeRecordsNothing) {
    frmPRPort port(false);
    Show(port);
    port.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&port));
    port.OptNJ->setFocus();  // where the dialog's focus starts on the option chosen
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    ASSERT_TRUE(port.OptFL->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(offshore.gPRPort, "32254");
    EXPECT_FALSE(offshore.gAskPRPort);
    EXPECT_EQ(port.result(), QDialog::Accepted);

    offshore.gMilitaryAnswer = false;
    frmMilitary military(true);
    Show(military);
    military.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&military));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(military.isVisible());
    EXPECT_EQ(military.result(), QDialog::Rejected);
    EXPECT_FALSE(offshore.gMilitaryAnswer);
    EXPECT_TRUE(offshore.gAskMilitaryBase);

    // Tab reaches Done, and Space on it is a click.
    frmMilitary again(true);
    Show(again);
    again.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
    for (int i = 0; i < 4 && QApplication::focusWidget() != again.lblMil; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), again.lblMil);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(offshore.gMilitaryAnswer);
    EXPECT_FALSE(offshore.gAskMilitaryBase);
}

TEST_F(OffshoreDialogs, TheMilitaryDialogOpensOnNoAndDoneRecordsTheAnswer) {
    frmMilitary dialog(false);
    EXPECT_EQ(dialog.Label2->text(), "Is this Shipment going to a Military Base?");
    EXPECT_EQ(dialog.OptMil->text(), "Yes");
    EXPECT_EQ(dialog.Option2->text(), "No");
    EXPECT_EQ(dialog.lblMil->text(), "Done");
    EXPECT_TRUE(dialog.Option2->isChecked());

    Show(dialog);
    QTest::mouseClick(dialog.lblMil, Qt::LeftButton);
    EXPECT_FALSE(offshore.gMilitaryAnswer);
    EXPECT_FALSE(offshore.gAskMilitaryBase);

    offshore.gAskMilitaryBase = true;
    frmMilitary again(false);
    again.OptMil->setChecked(true);
    again.lblMil_Click();
    EXPECT_TRUE(offshore.gMilitaryAnswer);
    EXPECT_FALSE(offshore.gAskMilitaryBase);
}

TEST_F(OffshoreDialogs, DoneLightsUpBlueUnderTheMouseWithTheHand) {
    frmMilitary dialog(false);
    Show(dialog);
    QTest::mouseMove(dialog.lblMil, QPoint(5, 5));
    QTest::mouseMove(dialog.lblMil, QPoint(8, 6));
    EXPECT_EQ(dialog.lblMil->ForeColor(), kColorBlue);
    EXPECT_EQ(dialog.cursor().shape(), Qt::BitmapCursor);
    QTest::mouseMove(&dialog, QPoint(2, dialog.height() - 2));
    EXPECT_EQ(dialog.lblMil->ForeColor(), kColorBlack);
    EXPECT_NE(dialog.cursor().shape(), Qt::BitmapCursor);
}

TEST_F(OffshoreDialogs, AScriptedRunIsNotHeldUpByAQuestion) {
    messageScript.Start();
    ShowPRPortDialog(true);
    ShowMilitaryDialog(false);
    messageScript.Reset();
    EXPECT_TRUE(offshore.gAskPRPort);
    EXPECT_TRUE(offshore.gAskMilitaryBase);
    EXPECT_TRUE(offshore.gPRPort.empty());
}

}  // namespace
