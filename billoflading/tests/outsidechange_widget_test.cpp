// What another program stores in the database while a window shows a record is kept: Edit
// starts from the record as stored now, and a Save or Delete of a record another program has
// changed or deleted since stores nothing, says so and shows the record as stored.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QPlainTextEdit>

#include "blstore.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

// Another program writing to the database, through a connection of its own.
void OtherProgramRuns(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(tariff.gDB->Path().c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

const QString kChangedOnSave = QStringLiteral(
    "Another program has changed the %1 since it was shown here, so your changes were not "
    "saved.  It is shown now as stored.");
const QString kDeletedOnSave = QStringLiteral(
    "Another program has deleted the %1 since it was shown here, so your changes were not "
    "saved.");
const QString kChangedOnDelete = QStringLiteral(
    "Another program has changed the %1 since it was shown here, so it was not deleted.  It is "
    "shown now as stored.");

class OutsideChange : public BLWindowTest {
  protected:
    void SetUp() override {
        BLWindowTest::SetUp();
        shipper = AddParty("Shipper Co", kRoleShipper);
        consignee = AddParty("Consignee Co", kRoleConsignee);
        crate = AddCommodity("Crate", "12");
    }
    // BL-0001 with its purchase order PO-77 and its note NOTE-B, shown in the bill window.
    frmBL& ShowBill() {
        BillOfLading bl;
        bl.bill = {0, "BL-0001", "12/7/26", "", "PO-77", shipper, consignee, 0};
        bl.instructions = "NOTE-B";
        bl.lines = {{crate, "1", "12"}};
        billId = StoreBill(bl, false);
        frmBL& w = OpenBL();
        ShowActive(w);
        EXPECT_EQ(w.txtPONbr->text(), "PO-77");
        return w;
    }
    // Edit, and the notes typed over as a user does.
    void EditNotes(frmBL& w, const QString& notes) {
        ClickOn(w, w.mlblEdit);
        ASSERT_TRUE(blWindow.BLEditingFlag);
        ClickOn(w, w.txtInstructions);
        PressKey(Qt::Key_A, Qt::ControlModifier);
        TypeKeys(notes);
    }
    BLRecordId shipper = 0, consignee = 0, crate = 0, billId = 0;
};

// The user's own case: the purchase order set by another program while the bill is shown is
// what Edit shows and what Save keeps.
TEST_F(OutsideChange, EditStartsFromTheBillAsStoredNow) {
    frmBL& w = ShowBill();
    OtherProgramRuns("UPDATE Bills SET PONbr = 'PO-EXT' WHERE \"BL number\" = 'BL-0001'");
    ASSERT_NO_FATAL_FAILURE(EditNotes(w, "NOTE-C"));
    EXPECT_EQ(w.txtPONbr->text(), "PO-EXT");
    ClickOn(w, w.mlblSave);
    EXPECT_TRUE(Shown().empty()) << LastText().toStdString();
    const BillOfLading stored = *ReadBillOfLading(billId);
    EXPECT_EQ(stored.bill.poNumber, "PO-EXT");
    EXPECT_EQ(stored.instructions, "NOTE-C");
}

// Any stored field another program changes during the edit keeps the user's Save from
// undoing it: the header, the note, a line, the number.
TEST_F(OutsideChange, ASaveOverAChangeMadeElsewhereStoresNothing) {
    frmBL& w = ShowBill();
    const BillOfLading before = *ReadBillOfLading(billId);
    const std::string bill = " WHERE \"BL ID\" = " + std::to_string(billId);
    for (const std::string& change :
         {"UPDATE Bills SET PONbr = 'PO-EXT'" + bill,
          "UPDATE \"BL Notes\" SET Instructions = 'NOTE-EXT'" + bill,
          "UPDATE BLdetail SET Weight = '13'" + bill, "UPDATE Bills SET Date = '12/8/26'" + bill,
          "INSERT INTO BLdetail VALUES (" + std::to_string(billId) + ", " + std::to_string(crate) +
              ", '2', '24')"}) {
        SCOPED_TRACE(change);
        StoreBill(before, true);
        OtherProgramRuns("DELETE FROM BLdetail" + bill + "; INSERT INTO BLdetail VALUES (" +
                         std::to_string(billId) + ", " + std::to_string(crate) + ", '1', '12')");
        w.Form_Load();
        messageScript.Reset();
        messageScript.Start();
        ASSERT_NO_FATAL_FAILURE(EditNotes(w, "NOTE-MINE"));
        OtherProgramRuns(change);
        const BillOfLading changed = *ReadBillOfLading(billId);
        ClickOn(w, w.mlblSave);
        EXPECT_EQ(LastTitle(), "Changed elsewhere");
        EXPECT_EQ(LastText(), kChangedOnSave.arg("bill of lading"));
        EXPECT_EQ(*ReadBillOfLading(billId), changed);
        // Shown as stored, in browse mode.
        EXPECT_FALSE(blWindow.BLEditingFlag);
        EXPECT_EQ(w.mlblDelete->text(), "Delete");
        EXPECT_FALSE(w.txtPONbr->isEnabled());
        EXPECT_EQ(w.txtPONbr->text().toStdString(), changed.bill.poNumber);
        EXPECT_EQ(w.txtInstructions->toPlainText().toStdString(), changed.instructions);
        EXPECT_EQ(w.txtweight[0]->text().toStdString(), changed.lines[0].weight);
        EXPECT_EQ(w.cmbBillNbr->currentText(), "BL-0001");
    }
}

TEST_F(OutsideChange, ASaveOfABillDeletedElsewhereStoresNothing) {
    frmBL& w = ShowBill();
    ASSERT_NO_FATAL_FAILURE(EditNotes(w, "NOTE-MINE"));
    OtherProgramRuns("DELETE FROM Bills; DELETE FROM BLdetail; DELETE FROM \"BL Notes\"");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(LastText(), kDeletedOnSave.arg("bill of lading"));
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 0);
    EXPECT_FALSE(blWindow.BLEditingFlag);
    EXPECT_EQ(w.cmbBillNbr->currentText(), "");
    EXPECT_EQ(w.cmbBillNbr->count(), 0);
    EXPECT_EQ(w.txtPONbr->text(), "");
    EXPECT_FALSE(w.mlblEdit->isEnabled());
}

TEST_F(OutsideChange, EditOfABillDeletedElsewhereSaysSo) {
    frmBL& w = ShowBill();
    OtherProgramRuns("DELETE FROM Bills");
    ClickOn(w, w.mlblEdit);
    EXPECT_EQ(LastText(),
              "Another program has deleted the bill of lading since it was shown here.");
    EXPECT_FALSE(blWindow.BLEditingFlag);
    EXPECT_FALSE(w.txtPONbr->isEnabled());
    EXPECT_EQ(w.cmbBillNbr->count(), 0);
}

TEST_F(OutsideChange, ADeleteOfABillChangedElsewhereDeletesNothing) {
    frmBL& w = ShowBill();
    OtherProgramRuns("UPDATE Bills SET PONbr = 'PO-EXT'");
    messageScript.Queue(kIdYes);
    ClickOn(w, w.mlblDelete);
    EXPECT_EQ(LastText(), kChangedOnDelete.arg("bill of lading"));
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 3);
    EXPECT_EQ(w.txtPONbr->text(), "PO-EXT");
    // Seen as it is now, it can be deleted.
    messageScript.Queue(kIdYes);
    ClickOn(w, w.mlblDelete);
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 0);

    // One deleted elsewhere is said to be gone, and the list no longer offers it.
    frmBL& again = ShowBill();
    OtherProgramRuns("DELETE FROM Bills");
    messageScript.Queue(kIdYes);
    ClickOn(again, again.mlblDelete);
    EXPECT_EQ(LastText(),
              "Another program has deleted the bill of lading since it was shown here.");
    EXPECT_EQ(again.cmbBillNbr->count(), 0);
}

TEST_F(OutsideChange, PartiesKeepWhatAnotherProgramStored) {
    frmBLParties& w = *BLPartiesWindow();
    w.Form_Load();
    ShowActive(w);
    ASSERT_EQ(w.cmbName->currentText(), "Consignee Co");
    // Edit starts from the party as stored now.
    OtherProgramRuns("UPDATE \"BL parties\" SET City = 'Racine' WHERE Name = 'Consignee Co'");
    ClickOn(w, w.mlblEdit);
    EXPECT_EQ(w.txtCity->text(), "Racine");
    ClickOn(w, w.txtAddress);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("9 Lake Rd");
    // A change made elsewhere during the edit is kept.
    OtherProgramRuns("UPDATE \"BL parties\" SET City = 'Kenosha' WHERE Name = 'Consignee Co'");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(LastText(), kChangedOnSave.arg("party"));
    EXPECT_EQ(ReadParty(consignee)->city, "Kenosha");
    EXPECT_EQ(ReadParty(consignee)->address, "1 Main St");
    EXPECT_FALSE(w.boolEditing);
    EXPECT_EQ(w.mlblDelete->text(), "Delete");
    EXPECT_EQ(w.txtCity->text(), "Kenosha");
    EXPECT_EQ(w.txtAddress->text(), "1 Main St");
    // So is a rename, which the list then shows.
    ClickOn(w, w.mlblEdit);
    OtherProgramRuns(
        "UPDATE \"BL parties\" SET Name = 'Harbour Foods' WHERE Name = 'Consignee Co'");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(LastText(), kChangedOnSave.arg("party"));
    EXPECT_EQ(ReadParty(consignee)->name, "Harbour Foods");
    EXPECT_EQ(w.cmbName->currentText(), "Harbour Foods");
    EXPECT_NE(w.cmbName->findText("Harbour Foods"), -1);
    EXPECT_EQ(w.cmbName->findText("Consignee Co"), -1);
    // A party changed elsewhere is not deleted unseen; one deleted elsewhere is said to be gone.
    OtherProgramRuns("UPDATE \"BL parties\" SET zip = '53203' WHERE Name = 'Harbour Foods'");
    messageScript.Queue(kIdYes);
    ClickOn(w, w.mlblDelete);
    EXPECT_EQ(LastText(), kChangedOnDelete.arg("party"));
    EXPECT_EQ(Rows("BL parties"), 2);
    EXPECT_EQ(w.txtZip->text(), "53203");
    OtherProgramRuns("DELETE FROM \"BL parties\" WHERE Name = 'Harbour Foods'");
    ClickOn(w, w.mlblEdit);
    EXPECT_EQ(LastText(), "Another program has deleted the party since it was shown here.");
    EXPECT_FALSE(w.boolEditing);
    EXPECT_EQ(w.cmbName->currentText(), "Shipper Co");
}

TEST_F(OutsideChange, CommoditiesKeepWhatAnotherProgramStored) {
    frmCommodities& w = *CommoditiesWindow();
    w.Form_Load();
    ShowActive(w);
    ASSERT_EQ(w.cmbName->currentText(), "Crate");
    OtherProgramRuns("UPDATE Commodity SET nmfc = '41160' WHERE Description = 'Crate'");
    ClickOn(w, w.mlblEdit);
    EXPECT_EQ(w.txtNMFC->text(), "41160");
    ClickOn(w, w.txtweight);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("15");
    OtherProgramRuns("UPDATE Commodity SET Weight = 14 WHERE Description = 'Crate'");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(LastText(), kChangedOnSave.arg("commodity"));
    EXPECT_EQ(ReadCommodity(crate)->weight, "14");
    EXPECT_EQ(ReadCommodity(crate)->nmfc, "41160");
    EXPECT_EQ(w.txtweight->text(), "14");
    EXPECT_FALSE(w.boolEditing);
    // With nothing changed elsewhere the edit is stored.
    ClickOn(w, w.mlblEdit);
    ClickOn(w, w.txtweight);
    PressKey(Qt::Key_A, Qt::ControlModifier);
    TypeKeys("15");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(ReadCommodity(crate)->weight, "15");
    // Deleted while edited: nothing is stored again.
    ClickOn(w, w.mlblEdit);
    OtherProgramRuns("DELETE FROM Commodity");
    ClickOn(w, w.mlblSave);
    EXPECT_EQ(LastText(), kDeletedOnSave.arg("commodity"));
    EXPECT_EQ(Rows("Commodity"), 0);
    EXPECT_FALSE(w.boolEditing);
    EXPECT_EQ(w.cmbName->currentText(), "");
    EXPECT_FALSE(w.mlblEdit->isEnabled());
}

}  // namespace
