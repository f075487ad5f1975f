// A whole session with the bill-of-lading windows, worked as a user works them: by clicks on
// the labels, keys in the boxes and picks in the lists.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>

#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"

namespace {

void Click(LabelButton* label) {
    QTest::mouseClick(label, Qt::LeftButton);
}

class Session : public BLWindowTest {
  protected:
    // What the user does in each window the bill-of-lading window opens.
    void WorkParties(frmBLParties& w) {
        struct Entry {
            const char* name;
            const char* zip;
            QCheckBox* role;
        };
        const Entry entries[] = {{"Lakeside Mills", "53202", w.chkShipper},
                                 {"Harbour Foods", "B3H 1A1", w.chkConsignee},
                                 {"Prairie Payables", "55401", w.chkBillTo}};
        for (const Entry& e : entries) {
            Click(w.mlblNew);
            Type(w.cmbName->lineEdit(), e.name);
            Type(w.txtAddress, "12 Front St");
            Type(w.txtCity, "Anytown");
            Type(w.txtZip, e.zip);
            w.txtZip_LostFocus();
            QTest::mouseClick(e.role, Qt::LeftButton);
            Click(w.mlblSave);
        }
        Click(w.mlblDone);
    }
    void WorkCommodities(frmCommodities& w) {
        Click(w.mlblNew);
        Type(w.cmbName->lineEdit(), "Steel shelving");
        Type(w.txtweight, "45");
        w.cmbCommClass->setCurrentIndex(w.cmbCommClass->findText("85"));
        Click(w.mlblSave);
        Click(w.mlblDone);
    }
};

TEST_F(Session, PartiesACommodityAndABillMadeChangedAbandonedAndDeleted) {
    // The bill-of-lading window itself is worked here; the windows it opens by the runner.
    SetBLWindowRunner([&](QDialog& d) {
        if (auto* p = dynamic_cast<frmBLParties*>(&d)) WorkParties(*p);
        if (auto* c = dynamic_cast<frmCommodities*>(&d)) WorkCommodities(*c);
    });
    frmBL& w = OpenBL();
    w.show();
    Click(w.mlblBLParties);
    Click(w.mlblCommodities);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    ASSERT_EQ(w.cmbShipper->count(), 2);
    ASSERT_EQ(w.cmbConsignee->count(), 2);
    ASSERT_EQ(w.cmbBillTo->count(), 2);
    ASSERT_EQ(w.cmbItem[0]->count(), 2);

    // A new bill.
    Click(w.mlblNew);
    Type(w.cmbBillNbr->lineEdit(), "NV-1001");
    w.txtDate->setText("2026-12-07");
    Type(w.txtProNumber, "123456782");
    Pick(w.cmbShipper, "Lakeside Mills");
    Pick(w.cmbConsignee, "Harbour Foods");
    Pick(w.cmbBillTo, "Prairie Payables");
    Pick(w.cmbItem[0], "Steel shelving");
    Type(w.txtQuantity[0], "4");
    w.txtQuantity_LostFocus(0);
    EXPECT_EQ(w.txtweight[0]->text(), "180");
    Type(w.txtInstructions, "Lift gate needed");
    Click(w.mlblSave);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    const BLRecordId id = FindBLIdByNumber("NV-1001");
    ASSERT_NE(id, 0);
    EXPECT_EQ(ReadBill(id)->billToId, FindPartyId("Prairie Payables"));
    EXPECT_EQ(ReadParty(FindPartyId("Harbour Foods"))->zip, "B3H 1A1");

    // Edited: a second line, no bill-to party.
    Click(w.mlblEdit);
    Pick(w.cmbItem[1], "Steel shelving");
    Type(w.txtQuantity[1], "1");
    w.txtQuantity_LostFocus(1);
    w.cmbBillTo->setCurrentIndex(0);
    Click(w.mlblSave);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    BillOfLading stored = *ReadBillOfLading(id);
    EXPECT_EQ(stored.bill.billToId, 0);
    ASSERT_EQ(stored.lines.size(), 2u);
    EXPECT_EQ(stored.lines[1].weight, "45");
    EXPECT_EQ(stored.instructions, "Lift gate needed");

    // Edited again, then abandoned: nothing changes.
    Click(w.mlblEdit);
    w.txtweight[0]->setText("1");
    messageScript.Queue(kIdYes);
    Click(w.mlblDelete);
    EXPECT_EQ(LastTitle(), "Confirm Abandon");
    EXPECT_EQ(w.txtweight[0]->text(), "180");
    EXPECT_EQ(ReadBLLines(id)[0].weight, "180");

    // A party a bill names cannot go.
    SetBLWindowRunner([&](QDialog& d) {
        auto& p = dynamic_cast<frmBLParties&>(d);
        Pick(p.cmbName, "Lakeside Mills");
        messageScript.Queue(kIdYes);
        Click(p.mlblDelete);
        Click(p.mlblDone);
    });
    Click(w.mlblBLParties);
    EXPECT_EQ(LastTitle(), "Database error");
    EXPECT_EQ(Rows("BL parties"), 3);

    // Deleted: the window is empty again.
    messageScript.Queue(kIdYes);
    Click(w.mlblDelete);
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 0);
    EXPECT_EQ(w.cmbBillNbr->count(), 0);
    EXPECT_EQ(w.cmbShipper->currentText(), kPromptShipper);
    EXPECT_FALSE(w.mlblEdit->isEnabled());

    Click(w.mlblDone);
    EXPECT_FALSE(w.isVisible());
}

}  // namespace
