// The commodity catalogue: its checks, its states, and commodities a bill still uses.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>

#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "userinput.h"

namespace {

class Commodities : public BLWindowTest {
  protected:
    frmCommodities& Open() {
        frmCommodities* w = CommoditiesWindow();
        w->Form_Load();
        return *w;
    }
    void Enter(frmCommodities& w, const QString& name, const QString& weight = "12",
               const QString& cls = "70") {
        w.mlblNew_Click();
        Type(w.cmbName->lineEdit(), name);
        Type(w.txtweight, weight);
        w.cmbCommClass->setEditText(cls);
    }
};

TEST_F(Commodities, AnEmptyCatalogueShowsClassFiftyAndOnlyNewAndDone) {
    frmCommodities& w = Open();
    EXPECT_EQ(w.windowTitle(), "Bill of Lading Commodities");
    EXPECT_EQ(w.cmbName->count(), 0);
    EXPECT_EQ(w.cmbCommClass->currentText(), "50");
    EXPECT_EQ(w.cmbCommClass->count(), 18);
    EXPECT_EQ(w.cmbCommClass->itemText(5), "77.5");
    EXPECT_FALSE(w.mlblEdit->isEnabled());
    EXPECT_FALSE(w.mlblDelete->isEnabled());
    EXPECT_TRUE(w.mlblNew->isEnabled());
    EXPECT_TRUE(w.mlblDone->isEnabled());
    EXPECT_FALSE(w.txtweight->isEnabled());
}

TEST_F(Commodities, TheChecksRunInOrder) {
    AddCommodity("Taken", "5");
    frmCommodities& w = Open();
    w.mlblNew_Click();
    auto expect = [&](const char* title, const char* text, QWidget* focus) {
        messageScript.ClearLog();
        w.mlblSave_Click();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(LastTitle(), title);
        EXPECT_EQ(LastText(), text);
        EXPECT_EQ(w.focusWidget(), focus);
        EXPECT_TRUE(w.boolAdding);
    };
    expect("Error!", "Every commodity must have a name.", w.cmbName);
    w.cmbName->setEditText("  ");
    expect("Error!", "Every commodity must have a name.", w.cmbName);
    w.cmbName->setEditText("...add a commodity");
    expect("Error!", "A commodity name cannot begin with \"...\".", w.cmbName);
    w.cmbName->setEditText("Taken ");
    expect("Error!", "A commodity with this name is already on file.", w.cmbName);
    w.cmbName->setEditText("Pipe");
    expect("Error", "Every commodity must include a weight.", w.txtweight);
    Type(w.txtweight, "0");
    expect("Error!", "Every commodity must include a positive weight value.", w.txtweight);
    w.txtweight->setText("9999999999");
    expect("Error!", "The weight of one piece is too large.", w.txtweight);
    w.txtweight->setText("40");
    for (const char* bad : {"77.50", " 77.5", "77.5 ", "45"}) {
        w.cmbCommClass->setEditText(bad);
        expect("Error!", "Illegal NMFC class.", w.cmbCommClass);
    }
    w.cmbCommClass->setEditText("77.5");
    w.chkHazMat->click();
    Type(w.txtNMFC, "12345678901234");  // 13 characters at most
    w.mlblSave_Click();
    const CommodityRecord c = *ReadCommodity(FindCommodityId("Pipe"));
    EXPECT_EQ(c.commodityClass, "77.5");
    EXPECT_EQ(c.hazmat, 1);
    EXPECT_EQ(c.nmfc, "1234567890123");
    EXPECT_EQ(LineWeightFromUnits("Pipe", "2"), 80);
    // After an add the commodity added is shown.
    EXPECT_EQ(w.cmbName->currentText(), "Pipe");
    EXPECT_EQ(w.cmbName->findText("Taken"), 1);
}

TEST_F(Commodities, TheWeightBoxTakesDigitsAndBackspaceAlsoWhenPasted) {
    frmCommodities& w = Open();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.txtweight);
    ASSERT_EQ(Focused(), w.txtweight);
    TypeKeys("1a2.5-");
    EXPECT_EQ(w.txtweight->text(), "125");
    PressKey(Qt::Key_Backspace);
    EXPECT_EQ(w.txtweight->text(), "12");
    QApplication::clipboard()->setText("3 lbs");
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtweight->text(), "12");
    PressKey(Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText("40");
    PressKey(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.txtweight->text(), "40");
    EXPECT_TRUE(Shown().empty());
}

// A new name or class that begins like a kept one stays as typed: "Dru" is not made "Drum" (and
// then refused as a duplicate), "7" is not made "70"; leaving the box with Tab picks nothing.
TEST_F(Commodities, TheNameAndClassBoxesDoNotCompleteWhatIsTyped) {
    AddCommodity("Drum", "50");
    frmCommodities& w = Open();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbName);
    ASSERT_EQ(Focused(), w.cmbName);
    TypeKeys("Dru");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.cmbName->currentText(), "Dru");
    for (int tabs = 0; tabs < 4 && Focused() != w.cmbCommClass; ++tabs) PressKey(Qt::Key_Tab);
    ASSERT_EQ(Focused(), w.cmbCommClass);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("7");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.cmbCommClass->currentText(), "7");
    EXPECT_TRUE(Shown().empty());
}

// A commodity just added stays in the window after Save, so that Edit changes it and not the
// commodity first in the list.
TEST_F(Commodities, ANewCommodityStaysShownAfterSaveAndEditChangesIt) {
    const BLRecordId anchors = AddCommodity("Anchors", "30", "60");
    frmCommodities& w = Open();
    ASSERT_NO_FATAL_FAILURE(AddWithKeys(w, [&] {
        ClickOn(w, w.cmbName->lineEdit());
        TypeKeys("Washers");
        ClickOn(w, w.txtweight);
        TypeKeys("4");
        ClickOn(w, w.cmbCommClass->lineEdit());
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys("85");
    }));
    const BLRecordId washers = FindCommodityId("Washers");
    ASSERT_NE(washers, 0);
    EXPECT_EQ(w.ShownId(), washers);
    EXPECT_EQ(w.cmbName->currentText(), "Washers");
    EXPECT_EQ(w.txtweight->text(), "4");
    EXPECT_EQ(w.cmbCommClass->currentText(), "85");

    ASSERT_NO_FATAL_FAILURE(RetypeAndSave(w, w.txtweight, "6"));
    EXPECT_EQ(ReadCommodity(washers)->weight, "6");
    EXPECT_EQ(ReadCommodity(anchors)->weight, "30");
    EXPECT_EQ(ReadCommodity(anchors)->description, "Anchors");
}

TEST_F(Commodities, AStoredClassNotInTheListShowsAsFifty) {
    Exec(
        "INSERT INTO Commodity (\"commodity ID\", Description, Weight, Class, HAZMAT) "
        "VALUES (1, 'Odd', 3, '72', 1)");
    frmCommodities& w = Open();
    EXPECT_EQ(w.cmbName->currentText(), "Odd");
    EXPECT_EQ(w.cmbCommClass->currentText(), "50");
    EXPECT_TRUE(w.chkHazMat->isChecked());
    EXPECT_EQ(w.txtweight->text(), "3");
}

TEST_F(Commodities, ACommodityOnABillCannotBeDeleted) {
    const BLRecordId drum = AddCommodity("Drum", "50");
    AddCommodity("Box", "5");
    AddBill("100", 1, 2, 0, {{drum, "1", "50"}});
    AddBill("200", 1, 2, 0, {{drum, "1", "50"}, {drum, "2", "100"}});
    frmCommodities& w = Open();
    Pick(w.cmbName, "Drum");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_EQ(Shown()[0].text, "Are you sure you want to delete this commodity?");
    EXPECT_EQ(LastTitle(), "Database error");
    EXPECT_EQ(Shown().back().kind, MessageKind::Platform);
    EXPECT_EQ(LastText(),
              "Drum\ris included on one or more\rB/Ls that are still on file.\r\r"
              " 100 200 200\r\rCan not delete this commodity.");
    EXPECT_EQ(Rows("Commodity"), 2);
    Pick(w.cmbName, "Box");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_EQ(Rows("Commodity"), 1);
    EXPECT_EQ(w.cmbName->count(), 1);
    EXPECT_EQ(w.cmbName->currentText(), "Drum");
}

TEST_F(Commodities, ARenameReplacesTheOldNameInTheList) {
    AddCommodity("Drum", "50");
    frmCommodities& w = Open();
    w.mlblEdit_Click();
    w.cmbName->setEditText("Barrel");
    w.mlblSave_Click();
    EXPECT_EQ(w.cmbName->findText("Drum"), -1);
    EXPECT_EQ(w.cmbName->findText("Barrel"), 0);
    EXPECT_EQ(w.cmbName->currentText(), "Barrel");
    EXPECT_EQ(Rows("Commodity"), 1);
}

TEST_F(Commodities, APickWhileEditingAsksOnce) {
    AddCommodity("Barrel", "50");
    AddCommodity("Drum", "20");
    PickWhileEditing(Open(), "Barrel", "Drum");
}

TEST_F(Commodities, AbandoningAnEditShowsTheStoredCommodity) {
    AddCommodity("Drum", "50");
    frmCommodities& w = Open();
    w.mlblEdit_Click();
    w.cmbName->setEditText("Barrel");
    w.txtweight->setText("7");
    messageScript.Queue(kIdNo);
    w.mlblDelete_Click();
    EXPECT_EQ(LastText(), "Are you sure you want to cancel editing this record?");
    EXPECT_TRUE(w.boolEditing);
    EXPECT_EQ(w.txtweight->text(), "7");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_FALSE(w.boolEditing);
    EXPECT_EQ(w.cmbName->currentText(), "Drum");
    EXPECT_EQ(w.txtweight->text(), "50");
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
}

TEST_F(Commodities, TheNameBoxRefusesLettersWhileBrowsingButNotBackspace) {
    AddCommodity("Drum", "50");
    frmCommodities& w = Open();
    ShowActive(w);
    ClickOn(w, w.cmbName);
    ASSERT_EQ(Focused(), w.cmbName);
    TypeKeys("q");
    EXPECT_EQ(w.cmbName->currentText(), "Drum");
    EXPECT_EQ(LastText(),
              "Click the New or Edit button\n(as applicable) before trying\nto enter "
              "a commodity description.");
    EXPECT_EQ(LastTitle(), "Error");
    messageScript.ClearLog();
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_Backspace);
    EXPECT_TRUE(Shown().empty());
}

// While a record is edited New, Edit and Done are disabled and look alike, whether the user has
// tabbed through them or not: readable on the column's picture, plainly not a working command.
TEST_F(Commodities, EveryDisabledCommandHasTheOneDisabledLook) {
    frmCommodities& w = Open();
    Enter(w, "Widgets");
    ShowActive(w);
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    TabAround(w);
    ClickOn(w, w.mlblEdit);
    ASSERT_TRUE(w.boolEditing);
    ExpectOneDisabledLook(w, {w.mlblNew, w.mlblEdit, w.mlblDone}, {w.mlblSave, w.mlblDelete});
}

// The column's heading and the captions beside the boxes read under a light and a dark desktop
// palette, before and after a record is saved.
TEST_F(Commodities, TheHeadingAndTheCaptionsReadUnderEitherPalette) {
    for (const bool dark : {false, true}) {
        const PaletteScope palette(dark ? DarkDesktopPalette() : QApplication::palette());
        const std::string desktop = dark ? "dark" : "light";
        frmCommodities& w = Open();
        ShowActive(w);
        ExpectReadable(w, {w.mlblFunctions, w.lblName, w.lblclass}, desktop + ", at the start");
        Enter(w, dark ? "Bolts Dark" : "Bolts Light");
        ClickOn(w, w.mlblSave);
        ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
        ExpectReadable(w, {w.mlblFunctions, w.lblName, w.lblclass}, desktop + ", after a save");
        w.close();
    }
}

}  // namespace
