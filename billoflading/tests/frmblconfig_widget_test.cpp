// The print settings window: what it reads, what Done writes, and its refusals.

#include <gtest/gtest.h>

#include <QCheckBox>

#include "blwindowfixture.h"
#include "database.h"
#include "lockedfiles.h"
#include "maskededit.h"
#include "msgbox.h"
#include "settings.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

class Config : public BLWindowTest {
  protected:
    frmBLConfig& Open() {
        frmBLConfig* w = BLConfigWindow();
        w->Form_Load();
        return *w;
    }
};

TEST_F(Config, TheDefaultsOpenAsOneCopyAndNothingTicked) {
    frmBLConfig& w = Open();
    EXPECT_EQ(w.windowTitle(), "Bill of Lading Configuration");
    EXPECT_EQ(w.txtBLCopies->text(), "1");
    EXPECT_FALSE(w.chkPrintRates->isChecked());
    EXPECT_FALSE(w.chkUseSpecialDiscount->isChecked());
    EXPECT_FALSE(w.chkBackOfBL->isChecked());
    EXPECT_EQ(w.txtBLDiscount->Text(), "00.0");
    EXPECT_EQ(w.labReader->text(),
              QStringLiteral("Click here to install Adobe Reader") + QChar(174));
    EXPECT_EQ(blWindow.strPrintRates, "no");
}

TEST_F(Config, OnlyALowerCaseYesIsSet) {
    SetConfigValue("BL_PrintRates", "Yes");
    SetConfigValue("BL_PrintBack", "yes");
    frmBLConfig& w = Open();
    EXPECT_FALSE(w.chkPrintRates->isChecked());
    EXPECT_FALSE(blWindow.boolPrintRates);
    EXPECT_TRUE(w.chkBackOfBL->isChecked());
    EXPECT_TRUE(blWindow.blnPrintBack);
}

TEST_F(Config, CopiesMustBeMoreThanNone) {
    frmBLConfig& w = Open();
    for (const char* copies : {"", "0", "00"}) {
        messageScript.ClearLog();
        w.txtBLCopies->setText(copies);
        w.chkPrintRates->setChecked(true);
        w.mlblDone_Click();
        ASSERT_EQ(Shown().size(), 1u) << copies;
        EXPECT_EQ(LastText(),
                  "The number of Bill of Lading copies must be greater than zero (0).  "
                  "Please correct.");
        EXPECT_EQ(LastTitle(), "Oops!");
        EXPECT_EQ(w.focusWidget(), w.txtBLCopies);
        EXPECT_EQ(GetConfigValue("BL_PrintRates", "?"), "no");  // nothing written
        EXPECT_TRUE(blWindow.boolPrintRates);
    }
}

// The window a damaged copies or discount setting sends the user to starts with that box empty:
// through the box "1e308" would read as 1 copy (the box takes two characters) or a 13.0 %
// discount, which Done alone would then store. Done with a box still empty stores nothing and
// says what is needed: an empty discount box is no discount of 0.
TEST_F(Config, ADamagedSettingIsNotShownAsAValueNorReplacedByNone) {
    SetConfigValue("BL_Copies", "1e308");
    SetConfigValue("BL_Discount", "1e308");
    frmBLConfig& w = Open();
    ShowActive(w);
    EXPECT_EQ(w.txtBLCopies->text(), "");
    EXPECT_EQ(w.txtBLDiscount->Value(), QString());
    ClickOn(w, w.mlblDone);
    EXPECT_EQ(LastText(),
              "The number of Bill of Lading copies must be greater than zero (0).  "
              "Please correct.");
    ASSERT_EQ(Focused(), w.txtBLCopies);
    TypeKeys("2");
    messageScript.ClearLog();
    ClickOn(w, w.mlblDone);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(LastText(), "Enter the bill-of-lading discount: a number from 0 to 99.9.");
    EXPECT_EQ(Focused(), w.txtBLDiscount);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(GetConfigValue("BL_Copies", "?"), "1e308");
    EXPECT_EQ(GetConfigValue("BL_Discount", "?"), "1e308");
    // Left by Tab, the empty box stays empty.
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(w.txtBLDiscount->Value(), QString());
    ClickOn(w, w.mlblDone);
    EXPECT_EQ(GetConfigValue("BL_Discount", "?"), "1e308");
    ASSERT_EQ(Focused(), w.txtBLDiscount);
    PressKey(Qt::Key_Home);
    TypeKeys("5");
    messageScript.ClearLog();
    ClickOn(w, w.mlblDone);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_EQ(GetConfigValue("BL_Copies", "?"), "2");
    EXPECT_EQ(GetConfigValue("BL_Discount", "?"), "05.0");
}

// Done writes five settings: when the database refuses any of them (a setting it will not
// change, another program holding it) none is written, the reason is told and the window stays
// up for another try.
TEST_F(Config, ADoneTheDatabaseRefusesWritesNoneOfTheFive) {
    const char* const keys[] = {"BL_PrintRates", "BL_UseSpecialDiscount", "BL_Discount",
                                "BL_Copies", "BL_PrintBack"};
    auto stored = [&] {
        std::string all;
        for (const char* key : keys) all += GetConfigValue(key, "?") + "|";
        return all;
    };
    const std::string before = stored();
    frmBLConfig& w = Open();
    w.show();
    w.setResult(QDialog::Rejected);
    w.chkPrintRates->setChecked(true);
    w.chkUseSpecialDiscount->setChecked(true);
    w.txtBLCopies->setText("3");
    auto refused = [&](const std::string& why, const std::string& kept) {
        ASSERT_EQ(Shown().size(), 1u) << why;
        EXPECT_TRUE(LastText().startsWith("The print settings were not saved.\n\n")) << why;
        EXPECT_TRUE(LastText().contains(QString::fromStdString(why))) << LastText().toStdString();
        EXPECT_EQ(stored(), kept) << why;
        EXPECT_TRUE(w.isVisible()) << why;
        EXPECT_NE(w.result(), QDialog::Accepted) << why;
        messageScript.ClearLog();
    };

    // The fourth of the five refused: the three before it must not stay.
    tariff.gDB->Execute(
        "CREATE TRIGGER keep BEFORE UPDATE ON tblConfig WHEN NEW.keyf = 'BL_Copies' "
        "BEGIN SELECT RAISE(ABORT, 'the copies are kept'); END");
    emit w.mlblDone->clicked();
    refused("the copies are kept", before);
    tariff.gDB->Execute("DROP TRIGGER keep");

    {
        HeldLock other(app.file("data/x2007.mdb").string(), "IMMEDIATE");
        emit w.mlblDone->clicked();
        refused("locked", before);
    }

    // The last setting's row gone from the table: the four before it are not kept either.
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'BL_PrintBack'");
    emit w.mlblDone->clicked();
    refused("\"BL_PrintBack\" is not in the settings table", "no|no|00.0|1|?|");
    tariff.gDB->Execute("INSERT INTO tblConfig (keyf, valuef) VALUES ('BL_PrintBack', 'no')");

    emit w.mlblDone->clicked();
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(GetConfigValue("BL_PrintRates", "?"), "yes");
    EXPECT_EQ(GetConfigValue("BL_UseSpecialDiscount", "?"), "yes");
    EXPECT_EQ(GetConfigValue("BL_Copies", "?"), "3");
}

// The special discount typed over the box's text, selected as Tab enters it, is stored with the
// places left out as 0: "5.5" is 05.5 %, "1" is 01.0 %.
TEST_F(Config, TheDiscountIsStoredAsTypedOverTheBoxsText) {
    for (const auto& [typed, stored] :
         {std::pair{"5.5", "05.5"}, {"1", "01.0"}, {"12.5", "12.5"}}) {
        frmBLConfig& w = Open();
        ShowActive(w);
        for (int tabs = 0; tabs < 8 && Focused() != w.txtBLDiscount; ++tabs) PressKey(Qt::Key_Tab);
        ASSERT_EQ(Focused(), w.txtBLDiscount);
        EXPECT_EQ(w.txtBLDiscount->selectedText(), w.txtBLDiscount->Text());
        TypeKeys(typed);
        // Left by Tab, the box shows the discount as it is kept.
        PressKey(Qt::Key_Tab);
        EXPECT_EQ(w.txtBLDiscount->text().toStdString(), stored);
        ClickOn(w, w.mlblDone);
        EXPECT_EQ(GetConfigValue("BL_Discount", "?"), stored) << typed;
        DestroyBLConfigWindow();
    }
}

TEST_F(Config, DoneWritesAllFiveWithTheDiscountAsTwoDigitsAPointAndOne) {
    frmBLConfig& w = Open();
    w.txtBLCopies->clear();
    Type(w.txtBLCopies, "0a5.9");  // two digits at most, no letters or points
    EXPECT_EQ(w.txtBLCopies->text(), "05");
    w.chkPrintRates->setChecked(true);
    w.chkUseSpecialDiscount->setChecked(true);
    w.chkBackOfBL->setChecked(true);
    w.txtBLDiscount->clear();
    w.txtBLDiscount->setCursorPosition(0);
    Type(w.txtBLDiscount, "7");
    ASSERT_EQ(w.txtBLDiscount->Text(), "7_._");
    w.mlblDone_Click();
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_EQ(GetConfigValue("BL_Copies", "?"), "05");
    EXPECT_EQ(GetConfigValue("BL_PrintRates", "?"), "yes");
    EXPECT_EQ(GetConfigValue("BL_UseSpecialDiscount", "?"), "yes");
    EXPECT_EQ(GetConfigValue("BL_Discount", "?"), "07.0");
    EXPECT_EQ(GetConfigValue("BL_PrintBack", "?"), "yes");
    EXPECT_TRUE(blWindow.boolPrintRates && blWindow.boolSpecialDiscount && blWindow.blnPrintBack);
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST_F(Config, DiscountsAreNormalised) {
    EXPECT_EQ(NormalisedBLDiscount("7_._"), "07.0");
    EXPECT_EQ(NormalisedBLDiscount("__.5"), "00.5");
    EXPECT_EQ(NormalisedBLDiscount("12.3"), "12.3");
    EXPECT_EQ(NormalisedBLDiscount("__._"), "00.0");
    EXPECT_EQ(NormalisedBLDiscount("1_.5"), "01.5");
}

TEST_F(Config, TheReaderLinkSaysThereIsNothingToInstall) {
    frmBLConfig& w = Open();
    w.imgReader_Click();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(LastTitle(), "Sorry!");
    EXPECT_EQ(Shown()[0].style, 64);
    EXPECT_TRUE(
        LastText().startsWith("The installation file(s) for Acrobat Reader\nare not "
                              "available in this diskette version\nof Norvale "
                              "Fretlyn2007.  You can find the\nfiles you need on Adobe's "
                              "website.\n"));
    EXPECT_TRUE(LastText().contains("PDF viewer"));
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
