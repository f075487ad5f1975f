// Filling, showing, saving and deleting a bill through the window's values.

#include "blform.h"

#include <gtest/gtest.h>

#include "blfixture.h"
#include "blstore.h"

namespace {

class BLFormTest : public BLTest {
  protected:
    void Load() {
        form.Reset();
        FillPartyLists(form);
        FillCommodityLists(form);
        FillBLNumbers(form);
    }
    void ShowNumber(const std::string& number) {
        form.cmbBillNbr.text = number;
        ShowBL(form, FindBLIdByNumber(number));
    }
    BLForm form;
};

TEST_F(BLFormTest, PartiesStandInTheListsTheirRolesAllow) {
    AddParty("zeta", 3);
    AddParty("Alpha", 4);
    AddParty("beta", 7);
    AddParty("Nobody", 0);
    AddParty("Eight", 8);
    Load();
    EXPECT_EQ(form.cmbShipper.list, (std::vector<std::string>{kPromptShipper, "beta", "zeta"}));
    EXPECT_EQ(form.cmbConsignee.list, (std::vector<std::string>{kPromptConsignee, "beta", "zeta"}));
    EXPECT_EQ(form.cmbBillTo.list, (std::vector<std::string>{kPromptBillTo, "Alpha", "beta"}));
    // The party window lists every name, whatever its role.
    EXPECT_EQ(SortedPartyNames(),
              (std::vector<std::string>{"Alpha", "beta", "Eight", "Nobody", "zeta"}));
}

TEST_F(BLFormTest, ListIndexesAreFoundByNameAndRole) {
    const BLRecordId both = AddParty("Both", 3);
    const BLRecordId crate = AddCommodity("Crate", "5");
    AddCommodity("Apples", "1");
    Load();
    EXPECT_EQ(FindPartyListIndex(form, both, kRoleShipper), 1);
    EXPECT_EQ(FindPartyListIndex(form, both, kRoleBillTo), 0);  // not in that list
    EXPECT_EQ(FindPartyListIndex(form, both, 3), 0);            // not one role
    EXPECT_EQ(FindPartyListIndex(form, 99, kRoleShipper), 0);
    EXPECT_EQ(FindCommodityListIndex(form, crate, 4), 2);  // after the prompt and Apples
    EXPECT_EQ(FindCommodityListIndex(form, 99, 0), 0);
}

TEST_F(BLFormTest, TheWindowOpensOnTheFirstNumberOfTheSortedList) {
    const BLRecordId s = AddParty("S", 1), c = AddParty("C", 2);
    const BLRecordId crate = AddCommodity("Crate", "5");
    AddBill("200", s, c, 0, {{crate, "2", "10"}}, "Handle with care");
    AddBill("100", s, c, 0, {{crate, "3", "15"}});
    Load();
    EXPECT_EQ(form.cmbBillNbr.list, (std::vector<std::string>{"100", "200"}));
    form.cmbBillNbr.Show(0);
    ShowBL(form, FindBLIdByNumber(form.cmbBillNbr.text));
    EXPECT_EQ(form.shownId, 2);
    EXPECT_EQ(form.strBillNbr, "100");
    EXPECT_EQ(form.cmbShipper.text, "S");
    EXPECT_EQ(form.cmbConsignee.text, "C");
    EXPECT_EQ(form.cmbBillTo.text, kPromptBillTo);  // no bill-to party
    EXPECT_EQ(form.txtInstructions, "");            // no note
    EXPECT_EQ(form.cmbItem[0].text, "Crate");
    EXPECT_EQ(form.txtQuantity[0], "3");
    EXPECT_EQ(form.cmbItem[1].text, kPromptCommodity);
    EXPECT_FALSE(form.dataEnabled);
    EXPECT_TRUE(form.numberEnabled);
    EXPECT_TRUE(form.menu.mlblEdit && form.menu.mlblDelete && form.menu.mlblRate &&
                form.menu.mlblPrint);
    EXPECT_FALSE(form.menu.mlblSave);

    ShowNumber("200");
    EXPECT_EQ(form.txtInstructions, "Handle with care");
    EXPECT_EQ(form.txtweight[0], "10");
}

TEST_F(BLFormTest, NoStoredBillLeavesOnlyTheBrowseCommands) {
    Load();
    ShowBL(form, 0);
    EXPECT_EQ(form.cmbBillNbr.text, "");
    EXPECT_EQ(form.txtDate, "");
    EXPECT_EQ(form.cmbShipper.text, kPromptShipper);
    EXPECT_TRUE(form.menu.mlblNew && form.menu.mlblBLParties && form.menu.mlblCommodities &&
                form.menu.mlblConfig && form.menu.mlblDone);
    EXPECT_FALSE(form.menu.mlblEdit || form.menu.mlblRate || form.menu.mlblPrint ||
                 form.menu.mlblDelete || form.menu.mlblSave);
}

TEST_F(BLFormTest, SkippedRowsAreNotStoredAndTheLinesCloseUp) {
    AddParty("S", 1);
    AddParty("C", 2);
    AddParty("P", 4);
    const BLRecordId a = AddCommodity("A", "2"), b = AddCommodity("B", "3");
    Load();
    SetBLEntryLayout(form, true);
    ClearBLForm(form);
    form.cmbBillNbr.text = "500";
    form.txtDate = "1/2/2027";
    form.cmbShipper.text = "S";
    form.cmbConsignee.text = "C";
    form.cmbBillTo.text = "P";
    form.cmbItem[0].text = "A";
    form.txtQuantity[0] = "1";
    form.txtweight[0] = "2";
    form.cmbItem[2].text = "B";
    form.txtQuantity[2] = "4";
    form.txtweight[2] = "12";
    const BLRecordId id = SaveBL(form, 0);
    EXPECT_EQ(form.cmbBillNbr.list, (std::vector<std::string>{"500"}));
    const std::vector<BLLineRecord> lines = ReadBLLines(id);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].commodityId, a);
    EXPECT_EQ(lines[1].commodityId, b);
    EXPECT_EQ(lines[1].weight, "12");

    ShowNumber("500");
    EXPECT_EQ(form.cmbItem[1].text, "B");
    EXPECT_EQ(form.txtQuantity[1], "4");
    EXPECT_EQ(form.cmbItem[2].text, kPromptCommodity);
    EXPECT_EQ(form.cmbBillTo.text, "P");

    // An edit that takes the bill-to party and a line out stores exactly what is shown.
    SetBLEntryLayout(form, false);
    form.cmbBillTo.Show(0);
    form.cmbItem[0].Show(0);
    form.txtQuantity[0].clear();
    SaveBL(form, 1);
    EXPECT_EQ(ReadBill(id)->billToId, 0);
    ASSERT_EQ(ReadBLLines(id).size(), 1u);
    EXPECT_EQ(ReadBLLines(id)[0].commodityId, b);
    EXPECT_EQ(form.cmbBillNbr.list.size(), 1u);  // an edit adds no number
}

TEST_F(BLFormTest, ADeletedNumberLeavesTheListOnTheEntryBefore) {
    for (const char* n : {"100", "200", "300"}) AddBill(n, 1, 2);
    Load();
    DeleteBL(form, FindBLIdByNumber("200"));
    EXPECT_EQ(form.cmbBillNbr.list, (std::vector<std::string>{"100", "300"}));
    EXPECT_EQ(form.cmbBillNbr.text, "100");
    DeleteBL(form, FindBLIdByNumber("100"));
    EXPECT_EQ(form.cmbBillNbr.text, "300");  // entry 0 was deleted: the new entry 0
    DeleteBL(form, FindBLIdByNumber("300"));
    EXPECT_EQ(form.cmbBillNbr.text, "");
    EXPECT_TRUE(form.cmbBillNbr.list.empty());
    EXPECT_EQ(Rows("Bills"), 0);
}

TEST_F(BLFormTest, SortedListsIgnoreLetterCaseAndKeepThePromptFirst) {
    ComboValues box;
    box.list = {kPromptCommodity};
    for (const char* s : {"pears", "Apples", "  spaced", "!bang", "Zinc"}) box.AddSorted(s, 1);
    EXPECT_EQ(box.list, (std::vector<std::string>{kPromptCommodity, "  spaced", "!bang", "Apples",
                                                  "pears", "Zinc"}));
    EXPECT_EQ(box.IndexOf("apples"), -1);
    EXPECT_EQ(box.IndexOf("Apples"), 3);
    box.Show(9);
    EXPECT_EQ(box.text, "");
}

}  // namespace
