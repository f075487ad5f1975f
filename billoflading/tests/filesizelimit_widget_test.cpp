// The bill window under a limit on the size of a file (ulimit -f) below the database's size: a
// save is refused before anything is written, the limit named as a full disk is, and the bill
// is then shown as stored.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <filesystem>

#include "../../platform/tests/filesizelimit.h"
#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

class FileSizeLimited : public BLWindowTest {
  protected:
    void SetUp() override {
        BLWindowTest::SetUp();
        const BLRecordId shipper = AddParty("Shipper Co", kRoleShipper);
        const BLRecordId consignee = AddParty("Consignee Co", kRoleConsignee);
        const BLRecordId crate = AddCommodity("Crate", "12");
        BillOfLading bl;
        bl.bill = {0, "BL-0001", "12/7/26", "", "PO-77", shipper, consignee, 0};
        bl.instructions = "NOTE-B";
        bl.lines = {{crate, "1", "12"}};
        billId = StoreBill(bl, false);
        stored = *ReadBillOfLading(billId);
    }
    // Half the database's size: most of its pages lie past the limit.
    uint64_t HalfTheDatabase() const { return std::filesystem::file_size(tariff.gDB->Path()) / 2; }
    void ExpectLimitNamed() {
        EXPECT_EQ(LastTitle(), "Error");
        EXPECT_TRUE(LastText().startsWith("The bill of lading was not saved; nothing was written."))
            << LastText().toStdString();
        EXPECT_TRUE(LastText().contains(QString::fromStdString(
            "The change was not saved: the database " + tariff.gDB->Path() +
            " would be larger than this system lets a file be (File too large, at most " +
            std::to_string(HalfTheDatabase()) + " bytes).")))
            << LastText().toStdString();
    }
    // The window shows the stored bill, read-only.
    void ExpectShownAsStored(frmBL& w) {
        EXPECT_FALSE(blWindow.BLEditingFlag);
        EXPECT_FALSE(blWindow.BLAddingFlag);
        EXPECT_EQ(w.mlblDelete->text(), "Delete");
        EXPECT_EQ(w.cmbBillNbr->currentText(), "BL-0001");
        EXPECT_EQ(w.txtPONbr->text(), "PO-77");
        EXPECT_EQ(w.txtInstructions->toPlainText(), "NOTE-B");
        EXPECT_EQ(w.txtweight[0]->text(), "12");
        EXPECT_FALSE(w.txtDate->text().isEmpty());
        EXPECT_FALSE(w.txtPONbr->isEnabled());
        EXPECT_TRUE(w.mlblEdit->isEnabled());
    }
    BLRecordId billId = 0;
    BillOfLading stored;
};

TEST_F(FileSizeLimited, AnEditIsRefusedByNameAndAbandonShowsTheBillAsStored) {
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblEdit);
    ClickOn(w, w.txtPONbr);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("PO-78");
    {
        FileSizeLimit limit(HalfTheDatabase());
        ClickOn(w, w.mlblSave);
        ExpectLimitNamed();
        // Nothing typed is lost while the window says why.
        EXPECT_TRUE(blWindow.BLEditingFlag);
        EXPECT_EQ(w.txtPONbr->text(), "PO-78");
        messageScript.Queue(kIdYes);
        ClickOn(w, w.mlblDelete);
        EXPECT_EQ(LastTitle(), "Confirm Abandon");
        ExpectShownAsStored(w);
        EXPECT_EQ(*ReadBillOfLading(billId), stored);
    }
    // The database is whole: without the limit the same edit is stored.
    ClickOn(w, w.mlblEdit);
    ClickOn(w, w.txtPONbr);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("PO-78");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(ReadBill(billId)->poNumber, "PO-78");
}

TEST_F(FileSizeLimited, ANewBillIsRefusedByNameAndNothingIsStored) {
    frmBL& w = OpenBL();
    ShowActive(w);
    ClickOn(w, w.mlblNew);
    ClickOn(w, w.cmbBillNbr->lineEdit());
    TypeKeys("BL-0002");
    Pick(w.cmbShipper, "Shipper Co");
    Pick(w.cmbConsignee, "Consignee Co");
    Pick(w.cmbItem[0], "Crate");
    ClickOn(w, w.txtQuantity[0]);
    TypeKeys("2");
    ClickOn(w, w.txtweight[0]);
    TypeKeys("24");
    FileSizeLimit limit(HalfTheDatabase());
    ClickOn(w, w.mlblSave);
    ExpectLimitNamed();
    EXPECT_TRUE(blWindow.BLAddingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "BL-0002");
    messageScript.Queue(kIdYes);
    ClickOn(w, w.mlblDelete);
    ExpectShownAsStored(w);
    EXPECT_EQ(Rows("Bills"), 1);
}

}  // namespace
