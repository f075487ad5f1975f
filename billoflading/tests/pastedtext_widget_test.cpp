// Text put into the boxes of one line as a user puts it there, typed or pasted: a copied text's
// line end, tabs and other control characters are dropped, so what is stored is what could have
// been typed; and the limits count the characters typed, not the bytes they take.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QStyle>
#include <QStyleOptionButton>

#include "blstore.h"
#include "blwindowfixture.h"
#include "userinput.h"

namespace {

// A text with every kind of control character a copied text brings round the given one: a tab
// before it, a carriage return, escape, delete and NUL inside it, a line end after it.
QString Soiled(const QString& clean) {
    const qsizetype half = clean.size() / 2;
    return QStringLiteral("\t") + clean.left(1) + QStringLiteral("\r\x1b") + clean.mid(1, half) +
           QChar(0x7f) + QChar(0) + clean.mid(1 + half) + QStringLiteral("\r\n");
}

// Pastes over all that the focused box holds, with the keys a user presses.
void PasteOver(const QString& text) {
    PressKey(Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(text);
    PressKey(Qt::Key_V, Qt::ControlModifier);
}

// Keys typed into the focused box, letters beyond ASCII too (each key carries its letter, as a
// keyboard with such keys sends it).
void TypeLetters(const QString& letters) {
    for (const QChar c : letters)
        QTest::sendKeyEvent(QTest::Click, Focused(), static_cast<Qt::Key>(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
    QCoreApplication::processEvents();
}

// A click on a box's tick mark, where a user clicks.
void Tick(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect mark = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, mark.center());
}

class TypedText : public BLWindowTest {
  protected:
    void SetUp() override {
        BLWindowTest::SetUp();
        AddParty("Shipper Co", kRoleShipper);
        AddParty("Consignee Co", kRoleConsignee);
        AddCommodity("Crate", "12");
    }
    // The rest of a new bill the checks want: its parties and one line.
    void FinishBill(frmBL& w) {
        Pick(w.cmbShipper, "Shipper Co");
        Pick(w.cmbConsignee, "Consignee Co");
        Pick(w.cmbItem[0], "Crate");
        ClickOn(w, w.txtQuantity[0]);
        TypeKeys("3");
        ClickOn(w, w.txtweight[0]);
        TypeKeys("36");
    }
};

TEST_F(TypedText, ABillNumberPastedWithItsLineEndIsTheNumberTyped) {
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbBillNbr->lineEdit());
    PasteOver(QStringLiteral("BL123\n"));
    EXPECT_EQ(w.cmbBillNbr->currentText(), "BL123");
    PasteOver(Soiled("BL123"));
    EXPECT_EQ(w.cmbBillNbr->currentText(), "BL123");
    for (const auto& [box, clean] : {std::pair{w.txtPONbr, QStringLiteral("PO-77")},
                                     std::pair{w.txtDate, QStringLiteral("12/7/26")}}) {
        ClickOn(w, box);
        PasteOver(Soiled(clean));
        EXPECT_EQ(box->text(), clean) << box->objectName().toStdString();
    }
    // Dropped where they land: the cursor stays after what was pasted.
    ClickOn(w, w.txtPONbr);
    PressKey(Qt::Key_Home);
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Right);
    QApplication::clipboard()->setText(QStringLiteral("\n#\t"));
    PressKey(Qt::Key_V, Qt::ControlModifier);
    TypeKeys("1");
    EXPECT_EQ(w.txtPONbr->text(), "PO#1-77");
    PasteOver(Soiled("PO-77"));
    // A party pasted by its name is that party.
    ClickOn(w, w.cmbShipper->lineEdit());
    PasteOver(QStringLiteral("Shipper Co\r\n"));
    EXPECT_EQ(w.cmbShipper->currentText(), "Shipper Co");
    FinishBill(w);
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    const BLRecordId id = FindBLIdByNumber("BL123");
    ASSERT_NE(id, 0);
    const BillRecord stored = *ReadBill(id);
    EXPECT_EQ(stored.blNumber, "BL123");
    EXPECT_EQ(stored.poNumber, "PO-77");
    EXPECT_EQ(stored.date, "2026-12-07");
}

// Fourteen letters, five of which take two bytes each, are fourteen characters.
TEST_F(TypedText, AnAccentedNumberIsCountedByItsCharacters) {
    const QString number = QString::fromUtf8("Z\u00fcrich \u00dcn\u00efc\u00f6d\u00e9");
    ASSERT_EQ(number.size(), 14);
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbBillNbr->lineEdit());
    TypeLetters(number);
    ASSERT_EQ(w.cmbBillNbr->currentText(), number);
    FinishBill(w);
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    EXPECT_NE(FindBLIdByNumber(number.toStdString()), 0);
}

TEST_F(TypedText, APartyPastedWithLineEndsAndTabsIsStoredAsTyped) {
    frmBLParties& w = *BLPartiesWindow();
    w.Form_Load();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    const std::pair<QWidget*, QString> entries[] = {{w.cmbName->lineEdit(), "Lakeside Mills"},
                                                    {w.txtAddress, "12 Front St"},
                                                    {w.txtCity, "Milwaukee"},
                                                    {w.txtZip, "53202"}};
    for (const auto& [box, clean] : entries) {
        ClickOn(w, box);
        PasteOver(Soiled(clean));
    }
    Tick(w.chkShipper);
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    const std::optional<PartyRecord> stored = ReadParty(FindPartyId("Lakeside Mills"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->name, "Lakeside Mills");
    EXPECT_EQ(stored->address, "12 Front St");
    EXPECT_EQ(stored->city, "Milwaukee");
    EXPECT_EQ(stored->zip, "53202");
    EXPECT_EQ(stored->state, "WI");
}

TEST_F(TypedText, ACommodityPastedWithLineEndsAndTabsIsStoredAsTyped) {
    frmCommodities& w = *CommoditiesWindow();
    w.Form_Load();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    const std::pair<QWidget*, QString> entries[] = {{w.cmbName->lineEdit(), "Steel shelving"},
                                                    {w.txtNMFC, "12345-01"},
                                                    {w.txtweight, "45"},
                                                    {w.cmbCommClass->lineEdit(), "85"}};
    for (const auto& [box, clean] : entries) {
        ClickOn(w, box);
        PasteOver(Soiled(clean));
        // The weight box takes only digits: a paste with anything else is refused whole.
        if (box == w.txtweight) TypeKeys(clean);
    }
    ClickOn(w, w.mlblSave);
    ASSERT_TRUE(Shown().empty()) << LastText().toStdString();
    const std::optional<CommodityRecord> stored = ReadCommodity(FindCommodityId("Steel shelving"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->description, "Steel shelving");
    EXPECT_EQ(stored->nmfc, "12345-01");
    EXPECT_EQ(stored->weight, "45");
    EXPECT_EQ(stored->commodityClass, "85");
}

}  // namespace
