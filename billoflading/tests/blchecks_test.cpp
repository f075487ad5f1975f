// The checks before a bill is stored, in their order, with their exact messages.

#include "blchecks.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "blfixture.h"
#include "blstore.h"
#include "msgbox.h"

namespace {

class BLChecks : public BLTest {
  protected:
    void SetUp() override {
        BLTest::SetUp();
        AddParty("Shipper Co", kRoleShipper);
        AddParty("Consignee Co", kRoleConsignee);
        AddParty("Payer Co", kRoleBillTo);
        AddCommodity("Bolts", "12");
        FillPartyLists(form);
        FillCommodityLists(form);
        ClearBLForm(form);
        // A bill every check passes.
        form.cmbBillNbr.text = "100";
        form.txtDate = "12/7/2026";
        form.txtProNumber = "123456782";
        form.cmbShipper.text = "Shipper Co";
        form.cmbConsignee.text = "Consignee Co";
        form.cmbItem[0].text = "Bolts";
        form.txtQuantity[0] = "3";
        form.txtweight[0] = "36";
    }

    // Runs the checks and returns the one message they showed (none when they passed).
    struct Outcome {
        bool passed;
        BLField focus;
        std::vector<LoggedMessage> shown;
    };
    Outcome Check(uint8_t editing = 0) {
        messageScript.ClearLog();
        Outcome o;
        o.passed = ValidateBL(form, editing, o.focus);
        o.shown = messageScript.Log();
        return o;
    }
    void ExpectRefused(const Outcome& o, MessageKind kind, int style, const QString& title,
                       const QString& text, BLField focus) {
        EXPECT_FALSE(o.passed);
        ASSERT_EQ(o.shown.size(), 1u);
        EXPECT_EQ(o.shown[0].kind, kind);
        EXPECT_EQ(o.shown[0].style, style);
        EXPECT_EQ(o.shown[0].title, title);
        EXPECT_EQ(o.shown[0].text, text);
        EXPECT_EQ(o.focus, focus);
    }
    void ExpectOops(const QString& text, BLField focus, uint8_t editing = 0) {
        ExpectRefused(Check(editing), MessageKind::Platform, 64, "Oops!", text, focus);
    }
    void ExpectEntryError(const QString& text, BLField focus) {
        ExpectRefused(Check(), MessageKind::Program, 48, "Data entry error", text, focus);
    }

    BLForm form;
};

TEST_F(BLChecks, ABillThatPassesShowsNothing) {
    const Outcome o = Check();
    EXPECT_TRUE(o.passed);
    EXPECT_EQ(o.focus, BLField::None);
    EXPECT_TRUE(o.shown.empty());
    // Lines left empty are no lines.
    form.cmbItem[1].text = kPromptCommodity;
    EXPECT_TRUE(Check().passed);
}

TEST_F(BLChecks, TheNumberMustBeThereUniqueAndShort) {
    form.cmbBillNbr.text = "";
    ExpectOops("Every B/L must have a number.\rPlease try again.", BLField::BillNbr);
    form.cmbBillNbr.text = "    ";  // blanks are no number
    ExpectOops("Every B/L must have a number.\rPlease try again.", BLField::BillNbr);

    AddBill("100", 1, 2);
    form.cmbBillNbr.text = "  100 ";
    ExpectOops("A B/L is already on\rfile with this number.\rPlease try again.", BLField::BillNbr);
    // Editing keeps its number: no search.
    EXPECT_TRUE(Check(1).passed);

    form.cmbBillNbr.text = std::string(15, '7');
    EXPECT_TRUE(Check().passed);
    form.cmbBillNbr.text = " " + std::string(15, '8') + "  ";  // blanks are not counted
    EXPECT_TRUE(Check().passed);
    form.cmbBillNbr.text = std::string(16, '7');
    ExpectOops("B/L number must be less\rthan 16 characters.\rPlease try again.", BLField::BillNbr);
    ExpectOops("B/L number must be less\rthan 16 characters.\rPlease try again.", BLField::BillNbr,
               1);
}

// The limit counts characters, not the bytes they take: "ü" is one character in two bytes.
TEST_F(BLChecks, TheNumbersLimitCountsCharactersNotBytes) {
    const std::string fourteen = "Z\u00fcrich \u00dcn\u00efc\u00f6d\u00e9";
    ASSERT_EQ(fourteen.size(), 19u);
    form.cmbBillNbr.text = fourteen;
    EXPECT_TRUE(Check().passed);
    form.cmbBillNbr.text = fourteen + "\u00e9";  // fifteen characters
    EXPECT_TRUE(Check().passed);
    form.cmbBillNbr.text = fourteen + "\u00e9\u00e9";  // sixteen
    ExpectOops("B/L number must be less\rthan 16 characters.\rPlease try again.", BLField::BillNbr);
    EXPECT_EQ(CheckBLNumber(std::string(15, 'x') + "\u20ac", 0), 1);
    EXPECT_EQ(CheckBLNumber(std::string(14, 'x') + "\u20ac", 0), 0);
}

TEST_F(BLChecks, NumbersDifferingInCaseAreDifferentBills) {
    AddBill("abc", 1, 2);
    EXPECT_EQ(CheckBLNumber("ABC", 0), 0);
    EXPECT_EQ(CheckBLNumber(" abc", 0), 2);
    EXPECT_EQ(CheckBLNumber(" abc", 1), 0);
    EXPECT_EQ(CheckBLNumber(std::string(16, 'x'), 0), 1);
}

TEST_F(BLChecks, TheDateMustBeThereAndADate) {
    form.txtDate = "";
    ExpectOops("Every B/L must have a date.\rPlease try again.", BLField::Date);
    for (const char* bad : {"   ", "13/40/2026", "tomorrow", "2026-02-30", "7.12.2026"}) {
        form.txtDate = bad;
        ExpectOops("Date is invalid.\rPlease try again.", BLField::Date);
    }
    for (const char* good : {"12/7/26", "12/07/2026", "2026-12-07", "Monday, December 7, 2026"}) {
        form.txtDate = good;
        EXPECT_TRUE(Check().passed) << good;
    }
}

TEST_F(BLChecks, DatesFollowTheUsersLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(IsBLDate("07.12.26"));
    EXPECT_TRUE(IsBLDate("07.12.2026"));
    EXPECT_TRUE(IsBLDate("2026-12-07"));
    EXPECT_FALSE(IsBLDate("12/7/26"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The date New writes is one the check takes.
    EXPECT_TRUE(IsBLDate(TodayAsBLDate()));
}

// A bill's date is stored in one form whatever the locale, so a bill saved under one locale
// is shown, and passes its checks, under another.
TEST_F(BLChecks, AStoredDateReadsInAnyLocale) {
    form.txtDate = "12/7/26";
    const BLRecordId id = StoreBill(BillFromForm(form), false);
    EXPECT_EQ(ReadBill(id)->date, "2026-12-07");

    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedKingdom)}) {
        QLocale::setDefault(locale);
        BLForm shown;
        FillPartyLists(shown);
        FillCommodityLists(shown);
        ShowBL(shown, id);
        EXPECT_EQ(shown.txtDate,
                  locale.toString(QDate(2026, 12, 7), QLocale::ShortFormat).toStdString());
        shown.cmbBillNbr.text = "101";
        BLField focus;
        EXPECT_TRUE(ValidateBL(shown, 0, focus)) << locale.name().toStdString();
        EXPECT_EQ(StoredBLDate(shown.txtDate), "2026-12-07") << locale.name().toStdString();
    }
}

// Dates stored before, in any form the date check took under some locale, still read.
TEST_F(BLChecks, DatesStoredInEarlierFormsStillRead) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char* earlier : {"12/7/26", "12/07/2026", "Monday, December 7, 2026", "07.12.26",
                                "07.12.2026", "2026-12-07", " 2026-12-07 "})
        EXPECT_EQ(ShownBLDate(earlier), "07.12.26") << earlier;
    // What no form reads is shown as it is, for the check to refuse.
    EXPECT_EQ(ShownBLDate("sometime"), "sometime");
    EXPECT_EQ(StoredBLDate("sometime"), "sometime");
    // Two-digit years fall in 1930-2029.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(StoredBLDate("1/2/29"), "2029-01-02");
    EXPECT_EQ(StoredBLDate("1/2/30"), "1930-01-02");
}

TEST_F(BLChecks, ProNumbersCarryACheckDigit) {
    for (const char* good : {"123456782", "100000003", "999999991", "000000000"})
        EXPECT_TRUE(IsValidProNumber(good)) << good;
    for (const char* bad : {"123456783", "12345678", "00000000X", "", "1234567820", "12345678 ",
                            "-23456782", "123456787"})
        EXPECT_FALSE(IsValidProNumber(bad)) << bad;

    form.txtProNumber = "";
    EXPECT_TRUE(Check().passed);
    form.txtProNumber = "123456783";
    ExpectRefused(Check(), MessageKind::Program, 48, "Check PRO #",
                  "This is not a valid NORVALE PRO Number.  Please try again.", BLField::ProNumber);
}

TEST_F(BLChecks, BothPartiesMustBeInTheAddressBook) {
    form.cmbShipper.text = kPromptShipper;
    ExpectEntryError("Please define a shipping party for this B/L.", BLField::Shipper);
    form.cmbShipper.text = "Nobody we know";
    ExpectEntryError("Please define a shipping party for this B/L.", BLField::Shipper);
    form.cmbShipper.text = "Shipper Co";

    form.cmbConsignee.text = "";
    ExpectEntryError("Please define a consignee forthis B/L.", BLField::Consignee);
    form.cmbConsignee.text = "consignee co";  // names keep their case
    ExpectEntryError("Please define a consignee forthis B/L.", BLField::Consignee);
    form.cmbConsignee.text = "Consignee Co";

    form.cmbBillTo.text = kPromptBillTo;
    EXPECT_TRUE(Check().passed);
    form.cmbBillTo.text = "Payer Co";
    EXPECT_TRUE(Check().passed);
    form.cmbBillTo.text = "Unknown payer";
    ExpectEntryError("Please define a bill-to party for this B/L.", BLField::BillTo);
}

// A party typed into a place its role does not allow is refused as the lists would refuse it;
// a party of several roles may stand in each of them.
TEST_F(BLChecks, APartyMustHaveTheRoleOfItsPlace) {
    AddParty("Both Ways Co", kRoleShipper | kRoleConsignee);
    form.cmbShipper.text = "Consignee Co";
    ExpectEntryError("Please define a shipping party for this B/L.", BLField::Shipper);
    form.cmbShipper.text = "Payer Co";
    ExpectEntryError("Please define a shipping party for this B/L.", BLField::Shipper);
    form.cmbShipper.text = "Both Ways Co";
    EXPECT_TRUE(Check().passed);

    form.cmbConsignee.text = "Shipper Co";
    ExpectEntryError("Please define a consignee forthis B/L.", BLField::Consignee);
    form.cmbConsignee.text = "Both Ways Co";
    EXPECT_TRUE(Check().passed);

    form.cmbBillTo.text = "Shipper Co";
    ExpectEntryError("Please define a bill-to party for this B/L.", BLField::BillTo);
    form.cmbBillTo.text = "Both Ways Co";
    ExpectEntryError("Please define a bill-to party for this B/L.", BLField::BillTo);
    form.cmbBillTo.text = "Payer Co";
    EXPECT_TRUE(Check().passed);
}

TEST_F(BLChecks, TheFirstLineNeedsACommodityQuantityAndWeight) {
    form.cmbItem[0].text = kPromptCommodity;
    ExpectEntryError("Every B/L must include at least one commodity.", BLField::Item0);
    form.cmbItem[0].text = "Bolts";
    for (const char* q : {"", "0", "x"}) {
        form.txtQuantity[0] = q;
        ExpectEntryError("Any commodity must a quantity (number).", BLField::Quantity0);
    }
    form.txtQuantity[0] = "3";
    form.txtweight[0] = "";
    ExpectEntryError("Any commodity must a weight (number).", BLField::Weight0);
}

TEST_F(BLChecks, EveryLineInUseNeedsAPlainQuantityAndWeightNamingTheLine) {
    // Line 1 by the main window's rule: what the rating would read as another number is refused.
    for (const char* w : {"1,000", "450abc", "1e3", "-500"}) {
        form.txtweight[0] = w;
        ExpectEntryError("Any commodity must a weight (number).", BLField::Weight0);
    }
    form.txtweight[0] = "1000";
    ASSERT_TRUE(Check().passed);
    // A further line is checked once anything is on it: its commodity, quantity or weight.
    form.cmbItem[1].text = "Bolts";
    form.txtQuantity[1] = "2";
    for (const char* w : {"", "abc", "-500", "0", "1,000", "1e3"}) {
        form.txtweight[1] = w;
        ExpectEntryError(
            "The commodity on line  2 is missing a weight value.  Please correct the problem.",
            BLField::Weight1);
    }
    form.txtweight[1] = "500";
    EXPECT_TRUE(Check().passed);
    form.cmbItem[4].text = kPromptCommodity;
    form.txtQuantity[4] = "x";
    ExpectEntryError(
        "The commodity on line  5 is missing a quantity value.  Please correct the problem.",
        BLField::Quantity4);
    form.txtQuantity[4] = "";
    EXPECT_TRUE(Check().passed);  // an empty line is no line
    int row = -1;
    bool weight = false;
    ASSERT_TRUE(IsLineField(BLField::Quantity4, row, weight));
    EXPECT_EQ(row, 4);
    EXPECT_FALSE(weight);
    EXPECT_FALSE(IsLineField(BLField::BillTo, row, weight));
}

TEST_F(BLChecks, TheFirstFailureInOrderIsTheOneReported) {
    form.cmbBillNbr.text = "";
    form.txtDate = "";
    form.txtProNumber = "1";
    form.cmbShipper.text = "";
    ExpectOops("Every B/L must have a number.\rPlease try again.", BLField::BillNbr);
    form.cmbBillNbr.text = "9";
    ExpectOops("Every B/L must have a date.\rPlease try again.", BLField::Date);
    form.txtDate = "1/2/2027";
    ExpectRefused(Check(), MessageKind::Program, 48, "Check PRO #",
                  "This is not a valid NORVALE PRO Number.  Please try again.", BLField::ProNumber);
}

}  // namespace
