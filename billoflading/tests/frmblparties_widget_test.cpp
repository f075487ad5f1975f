// The party address book: its checks, the ZIP look-up, roles, and parties a bill still names.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <initializer_list>
#include <utility>

#include "blcatalog.h"
#include "blrate.h"
#include "blratefixture.h"
#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

// A click on a box's tick mark, where a user clicks (a stretched box ends well after its
// caption).
void Tick(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect mark = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, mark.center());
}

// A user typing into boxes of the window one after another, each clicked first.
void TypeInto(QWidget& w, std::initializer_list<std::pair<QWidget*, QString>> entries) {
    for (const auto& [box, text] : entries) {
        ClickOn(w, box);
        TypeKeys(text);
    }
}

class Parties : public BLWindowTest {
  protected:
    frmBLParties& Open() {
        frmBLParties* w = BLPartiesWindow();
        w->Form_Load();
        return *w;
    }
    // A new party with every entry the checks want, not yet saved.
    void Enter(frmBLParties& w, const QString& name, const QString& zip = "53202") {
        w.mlblNew_Click();
        Type(w.cmbName->lineEdit(), name);
        Type(w.txtAddress, "1 Main St");
        Type(w.txtCity, "Milwaukee");
        Type(w.txtZip, zip);
        w.txtZip_LostFocus();
        w.chkShipper->click();
    }
};

TEST_F(Parties, AnEmptyBookOffersOnlyNewAndDone) {
    frmBLParties& w = Open();
    EXPECT_EQ(w.windowTitle(), "Bill of Lading Parties Maintenance");
    EXPECT_EQ(w.cmbName->count(), 0);
    EXPECT_TRUE(w.mlblNew->isEnabled());
    EXPECT_TRUE(w.mlblDone->isEnabled());
    EXPECT_FALSE(w.mlblEdit->isEnabled());
    EXPECT_FALSE(w.mlblDelete->isEnabled());
    EXPECT_FALSE(w.txtAddress->isEnabled());
    Enter(w, "Acme");
    w.mlblSave_Click();
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_TRUE(w.mlblEdit->isEnabled());
    EXPECT_TRUE(w.mlblDelete->isEnabled());
    EXPECT_FALSE(w.lblName->isEnabled());  // captions stay grey until the window opens again
}

TEST_F(Parties, TheZipFindsTheStateInTheThreeCityTables) {
    frmBLParties& w = Open();
    w.mlblNew_Click();
    const std::pair<const char*, const char*> known[] = {
        {"53202", "WI"}, {" 53202 ", "WI"}, {"A0A 1A0", "NL"}, {"a0a1zz", "NL"}};
    for (const auto& [zip, state] : known) {
        w.txtZip->setText(zip);
        w.txtZip_LostFocus();
        EXPECT_EQ(w.lblState->text(), state) << zip;
    }
    EXPECT_TRUE(Shown().empty());
    w.txtZip->setText("00000");
    w.txtZip_LostFocus();
    EXPECT_EQ(LastText(), "This is not a legal ZIP orPostal code.");
    EXPECT_EQ(LastTitle(), "Data entry error");
    EXPECT_EQ(w.lblState->text(), "");  // no state left behind from the code before
    EXPECT_EQ(w.focusWidget(), w.txtZip);
    EXPECT_EQ(w.txtZip->text(), "00000");
    w.txtZip->setText("");
    w.txtZip_LostFocus();
    EXPECT_EQ(LastText(), "This is not a legal ZIP or Postal code.");
}

TEST_F(Parties, TheChecksRunInOrder) {
    frmBLParties& w = Open();
    AddParty("Taken", kRoleShipper);
    w.mlblNew_Click();
    auto expect = [&](const char* text, QWidget* focus, const char* title = "Error") {
        messageScript.ClearLog();
        w.mlblSave_Click();
        ASSERT_EQ(Shown().size(), 1u);
        EXPECT_EQ(LastText(), text);
        EXPECT_EQ(LastTitle(), title);
        EXPECT_EQ(Shown()[0].style, 48);
        EXPECT_EQ(w.focusWidget(), focus);
        EXPECT_TRUE(w.boolAdding);
    };
    expect("Every B/L party must have a name.", w.cmbName);
    Type(w.cmbName->lineEdit(), "   ");
    expect("Every B/L party must have a name.", w.cmbName);
    w.cmbName->setEditText("...choose a shipper");
    expect("A B/L party name cannot begin with \"...\".", w.cmbName);
    w.cmbName->setEditText(" Taken ");
    expect("A B/L party with this name is already on file.", w.cmbName);
    w.cmbName->setEditText("taken");  // names keep their case
    expect("Every B/L party must have an address.", w.txtAddress);
    Type(w.txtAddress, "1 Main St");
    expect("Every address must Include a city name.", w.txtCity);
    Type(w.txtCity, "Halifax");
    expect("Every B/L party must have a role.  Please choose one or more of the roles.",
           w.chkShipper);
    w.chkShipper->click();
    w.chkBillTo->click();
    Type(w.txtZip, "ZZZ");
    expect("This is not a legal ZIP or Postal code.", w.txtZip, "Data entry error");
    EXPECT_EQ(Rows("BL parties"), 1);
    w.txtZip->setText(" b3h 1a1 ");
    w.mlblSave_Click();
    const PartyRecord p = *ReadParty(FindPartyId("taken"));
    EXPECT_EQ(p.role, 5);
    EXPECT_EQ(p.zip, "B3H 1A1");  // trimmed and in capitals, as the rating reads it
    EXPECT_EQ(p.state, StateOfPartyZip("B3H1"));
    EXPECT_FALSE(p.state.empty());
}

TEST_F(Parties, AfterAnAddTheNewPartyShowsAndARenameReplacesTheOldName) {
    AddParty("Mango", kRoleConsignee);
    frmBLParties& w = Open();
    Enter(w, "Zebra");
    w.mlblSave_Click();
    EXPECT_EQ(w.cmbName->currentText(), "Zebra");
    EXPECT_EQ(w.cmbName->findText("Zebra"), 1);
    EXPECT_EQ(w.cmbName->findText("Mango"), 0);
    Pick(w.cmbName, "Mango");
    w.mlblEdit_Click();
    w.cmbName->setEditText("Apple");
    w.mlblSave_Click();
    EXPECT_EQ(w.cmbName->currentText(), "Apple");
    EXPECT_EQ(w.cmbName->findText("Mango"), -1);
    EXPECT_EQ(w.cmbName->findText("Apple"), 0);
    // Renaming to a name another party has is refused.
    w.mlblEdit_Click();
    w.cmbName->setEditText("Zebra");
    w.mlblSave_Click();
    EXPECT_EQ(LastText(), "A B/L party with this name is already on file.");
    EXPECT_TRUE(w.boolEditing);
}

// A party just added stays in the window after Save, so that Edit changes it and not the party
// first in the list (a name typed over that one would rename another customer).
TEST_F(Parties, ANewPartyStaysShownAfterSaveAndEditChangesIt) {
    const BLRecordId acme = AddParty("Acme Widgets Inc", kRoleShipper);
    frmBLParties& w = Open();
    ASSERT_NO_FATAL_FAILURE(AddWithKeys(w, [&] {
        TypeInto(w, {{w.cmbName->lineEdit(), "Zephyr Supply"},
                     {w.txtAddress, "9 Lake Rd"},
                     {w.txtCity, "Racine"},
                     {w.txtZip, "53202"}});
        Tick(w.chkConsignee);
    }));
    const BLRecordId zephyr = FindPartyId("Zephyr Supply");
    ASSERT_NE(zephyr, 0);
    EXPECT_EQ(w.ShownId(), zephyr);
    EXPECT_EQ(w.cmbName->currentText(), "Zephyr Supply");
    EXPECT_EQ(w.txtAddress->text(), "9 Lake Rd");
    EXPECT_EQ(w.txtCity->text(), "Racine");
    EXPECT_TRUE(w.chkConsignee->isChecked());
    EXPECT_FALSE(w.chkShipper->isChecked());

    ASSERT_NO_FATAL_FAILURE(RetypeAndSave(w, w.txtCity, "Kenosha"));
    EXPECT_EQ(ReadParty(zephyr)->city, "Kenosha");
    EXPECT_EQ(ReadParty(acme)->city, "Milwaukee");
    EXPECT_EQ(ReadParty(acme)->name, "Acme Widgets Inc");
}

TEST_F(Parties, ThePartyOfABillCannotBeDeleted) {
    const BLRecordId s = AddParty("Shipper", kRoleShipper);
    const BLRecordId payer = AddParty("Payer", kRoleBillTo);
    AddBill("700", s, s, payer);
    frmBLParties& w = Open();
    Pick(w.cmbName, "Payer");
    messageScript.Queue(kIdNo);
    w.mlblDelete_Click();
    EXPECT_EQ(LastText(), "Are you sure you want to delete\rthis Bill of Lading party?");
    EXPECT_EQ(Shown().back().style, 292);
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_EQ(LastTitle(), "Database error");
    EXPECT_EQ(LastText(),
              "Payer\ris listed as a party to one or\rmore B/Ls that are still on "
              "file.\r\r 700\r\rCan not delete this party.");
    EXPECT_EQ(Rows("BL parties"), 2);
    Exec("DELETE FROM Bills");
    messageScript.Queue(kIdYes);
    w.mlblDelete_Click();
    EXPECT_EQ(Rows("BL parties"), 1);
    EXPECT_EQ(w.cmbName->currentText(), "Shipper");
}

TEST_F(Parties, APickOrACloseWhileAddingAsksFirst) {
    AddParty("Mango", kRoleConsignee);
    frmBLParties& w = Open();
    w.show();
    Enter(w, "Kiwi");
    messageScript.Queue(kIdNo);
    Pick(w.cmbName, "Mango");
    EXPECT_EQ(LastTitle(), "Confirm Abandon");
    EXPECT_EQ(w.cmbName->currentText(), "Kiwi");
    EXPECT_EQ(w.txtCity->text(), "Milwaukee");
    EXPECT_TRUE(w.boolAdding);
    messageScript.Queue(kIdNo);
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.boolAdding);
    messageScript.Queue(kIdYes);
    Pick(w.cmbName, "Mango");
    EXPECT_FALSE(w.boolAdding);
    EXPECT_EQ(w.cmbName->currentText(), "Mango");
    EXPECT_EQ(Rows("BL parties"), 1);
}

TEST_F(Parties, TheNameBoxRefusesTypingWhileBrowsing) {
    AddParty("Mango", kRoleConsignee);
    frmBLParties& w = Open();
    ShowActive(w);
    ClickOn(w, w.cmbName);
    ASSERT_EQ(Focused(), w.cmbName);
    TypeKeys("x");
    EXPECT_EQ(w.cmbName->currentText(), "Mango");
    EXPECT_EQ(LastText(),
              "Click the New or Edit button\n(as applicable) before trying\nto enter "
              "a B/L party name.");
    EXPECT_EQ(Shown().back().kind, MessageKind::Platform);
}

// A role a stored bill uses cannot be taken from its party: Save lists the bills, as Delete
// does, and the party keeps its roles. A role no bill uses can go.
TEST_F(Parties, ARoleAStoredBillUsesCannotBeUnticked) {
    const BLRecordId alder = AddParty("Alder Mills", kRoleShipper | kRoleConsignee);
    const BLRecordId capitol = AddParty("Capitol Foods", kRoleConsignee);
    AddBill("B-7", alder, capitol);
    AddBill("B-8", alder, capitol);
    frmBLParties& w = Open();
    w.show();
    ASSERT_EQ(w.cmbName->currentText(), "Alder Mills");
    QTest::mouseClick(w.mlblEdit, Qt::LeftButton);
    Tick(w.chkShipper);
    EXPECT_FALSE(w.chkShipper->isChecked());
    QTest::mouseClick(w.mlblSave, Qt::LeftButton);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(LastTitle(), "Database error");
    EXPECT_EQ(LastText(),
              "This party is the shipper of one or more B/Ls that are still on file: B-7 B-8  "
              "It must stay a shipper while they name it.");
    EXPECT_EQ(ReadParty(alder)->role, kRoleShipper | kRoleConsignee);

    // The shipper ticked again, the consignee (which no bill names it as) unticked.
    Tick(w.chkShipper);
    Tick(w.chkConsignee);
    QTest::mouseClick(w.mlblSave, Qt::LeftButton);
    EXPECT_EQ(Shown().size(), 1u) << LastText().toStdString();
    EXPECT_EQ(ReadParty(alder)->role, kRoleShipper);
}

TEST_F(Parties, APickWhileEditingAsksOnce) {
    AddParty("Alder Mills", kRoleShipper);
    AddParty("Birch Foods", kRoleConsignee);
    PickWhileEditing(Open(), "Alder Mills", "Birch Foods");
}

TEST_F(Parties, DoneRefillsTheBillWindowsLists) {
    frmBL& bl = OpenBL();
    EXPECT_EQ(bl.cmbShipper->count(), 1);
    SetBLWindowRunner([&](QDialog& d) {
        auto& w = dynamic_cast<frmBLParties&>(d);
        Enter(w, "New Shipper");
        w.mlblSave_Click();
        w.mlblDone_Click();
    });
    bl.mlblBLParties_Click();
    EXPECT_EQ(bl.cmbShipper->findText("New Shipper"), 1);
    EXPECT_EQ(bl.cmbConsignee->findText("New Shipper"), -1);
}

// The party window beside bills rated on the sample tariff.
class PartyRating : public BLRatingTest {
  protected:
    void TearDown() override {
        DestroyBLPartiesWindow();
        BLRatingTest::TearDown();
    }
};

// A ZIP+4 as the post office writes it: the window's check places it by its first five digits,
// Save stores it as typed, and a bill to the party is rated to those five digits.
TEST_F(PartyRating, AZipPlus4IsSavedAsTypedAndRatedByItsFirstFiveDigits) {
    frmBLParties& w = *BLPartiesWindow();
    w.Form_Load();
    ShowActive(w);
    QTest::mouseClick(w.mlblNew, Qt::LeftButton);
    TypeInto(w, {{w.cmbName->lineEdit(), "Capitol Foods"},
                 {w.txtAddress, "1 Broad St"},
                 {w.txtCity, "Columbus"},
                 {w.txtZip, "43215-1234"}});
    Tick(w.chkConsignee);  // leaving the ZIP box runs its check
    EXPECT_TRUE(Shown().empty()) << Shown().front().text.toStdString();
    EXPECT_EQ(w.lblState->text(), "OH");
    QTest::mouseClick(w.mlblSave, Qt::LeftButton);
    EXPECT_TRUE(Shown().empty()) << Shown().front().text.toStdString();
    const BLRecordId consignee = FindPartyId("Capitol Foods");
    ASSERT_NE(consignee, 0);
    EXPECT_EQ(ReadParty(consignee)->zip, "43215-1234");
    EXPECT_EQ(ReadParty(consignee)->state, "OH");

    AddBill("B-900", AddParty("Lakeside Mills", kRoleShipper), consignee, 0,
            {{AddCommodity("Bolts", "10", "70"), "3", "450"}});
    ASSERT_TRUE(RateBL("B-900", 1)) << ShownTexts().back();
    EXPECT_EQ(tariff.gDestZip, "43215");
    EXPECT_EQ(tariff.gDestState, "OH");
    EndBillRating();
}

// While a record is edited New, Edit and Done are disabled and look alike, whether the user has
// tabbed through them or not: readable on the column's picture, plainly not a working command.
TEST_F(Parties, EveryDisabledCommandHasTheOneDisabledLook) {
    frmBLParties& w = Open();
    Enter(w, "Acme");
    ShowActive(w);
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    TabAround(w);
    ClickOn(w, w.mlblEdit);
    ASSERT_TRUE(w.boolEditing);
    ExpectOneDisabledLook(w, {w.mlblNew, w.mlblEdit, w.mlblDone}, {w.mlblSave, w.mlblDelete});
}

// The column's heading and the captions read under a light and a dark desktop palette, and once
// the record is saved (the captions locked) the heading has the disabled commands' one look
// instead of the toolkit's grey, which vanishes on the column, and the captions a grey that
// reads.
TEST_F(Parties, TheHeadingAndTheCaptionsReadUnderEitherPalette) {
    for (const bool dark : {false, true}) {
        const PaletteScope palette(dark ? DarkDesktopPalette() : QApplication::palette());
        const std::string desktop = dark ? "dark" : "light";
        frmBLParties& w = Open();
        ShowActive(w);
        ASSERT_TRUE(w.mlblFunctions->isEnabled());
        // The captions beside the boxes too, black on the window's own ground.
        ExpectReadable(w, {w.mlblFunctions, w.lblName, w.lblZip}, desktop);
        Enter(w, dark ? "Acme Dark" : "Acme Light");
        ClickOn(w, w.mlblSave);
        ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
        ASSERT_FALSE(w.mlblFunctions->isEnabled());
        ExpectOneDisabledLook(w, {w.mlblFunctions, w.mlblSave}, {w.mlblNew, w.mlblEdit});
        for (QLabel* caption : {w.lblName, w.lblZip}) ASSERT_FALSE(caption->isEnabled());
        ExpectReadable(w, {w.lblName, w.lblZip}, desktop + ", disabled");
        w.close();
    }
}

}  // namespace
