// A stored row holding a value no record can take, as an earlier edition's file could leave one:
// the bill window and the address book open with every other row listed, and name that row.

#include <gtest/gtest.h>

#include "blstore.h"
#include "blwindowfixture.h"

namespace {

class UnreadableRows : public BLWindowTest {
  protected:
    void SetUp() override {
        BLWindowTest::SetUp();
        const BLRecordId acme = AddParty("Acme", 1);
        const BLRecordId bolt = AddParty("Bolt", 2);
        AddBill("BL-1", acme, bolt);
        Exec(
            "INSERT INTO \"BL parties\" (\"Party ID\", Name, role) VALUES (9, 'Role 1e300', "
            "1e300)");
    }
    static QStringList Items(QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
};

TEST_F(UnreadableRows, TheBillWindowAndTheAddressBookListTheRest) {
    frmBL& bl = OpenBL();
    EXPECT_EQ(Items(bl.cmbBillNbr), QStringList{"BL-1"});
    EXPECT_EQ(Items(bl.cmbShipper), (QStringList{"...choose a shipper", "Acme"}));
    EXPECT_EQ(Items(bl.cmbConsignee), (QStringList{"...choose a consignee", "Bolt"}));
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().front().title, "Unreadable record");
    EXPECT_TRUE(Shown().front().text.contains("\"Role 1e300\"")) << LastText().toStdString();

    frmBLParties* parties = BLPartiesWindow();
    parties->Form_Load();
    EXPECT_EQ(Items(parties->cmbName), (QStringList{"Acme", "Bolt"}));
}

}  // namespace
