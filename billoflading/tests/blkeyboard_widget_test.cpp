// The bill-of-lading windows from the keyboard: every command of their menu column that is open
// takes the focus with Tab, in the column's order, and Enter or Space runs it. Each window opens
// with the focus on Done, as it did before its other commands took the focus.

#include <gtest/gtest.h>

#include <QApplication>
#include <string>
#include <vector>

#include "blstate.h"
#include "blwindowfixture.h"
#include "msgbox.h"
#include "userinput.h"

namespace {

class KeyboardBL : public BLWindowTest {
  protected:
    // The command labels Tab stops on in one round from the widget with the focus.
    static std::vector<std::string> CommandsInTabOrder() {
        std::vector<std::string> out;
        QWidget* first = Focused();
        if (qobject_cast<LabelButton*>(first)) out.push_back(first->objectName().toStdString());
        for (int i = 0; i < 60; ++i) {
            PressKey(Qt::Key_Tab);
            QWidget* at = Focused();
            if (at == first) break;
            if (qobject_cast<LabelButton*>(at)) out.push_back(at->objectName().toStdString());
        }
        return out;
    }
    static bool TabTo(QWidget* target) {
        for (int i = 0; i < 60 && Focused() != target; ++i) PressKey(Qt::Key_Tab);
        return Focused() == target;
    }
    // The address book and the catalogue share their column: Edit, Save and Delete (answered
    // Yes) from the keyboard, Save pressed with the key given, leave the window's one row gone.
    template <typename Window>
    static void EditSaveAndDeleteWithTheKeyboard(Window* w, Qt::Key saveKey) {
        EXPECT_EQ(CommandsInTabOrder(),
                  (std::vector<std::string>{"mlblDone", "mlblNew", "mlblEdit", "mlblDelete"}));
        ASSERT_TRUE(TabTo(w->mlblEdit));
        PressKey(Qt::Key_Return);
        ASSERT_TRUE(w->boolEditing);
        ASSERT_TRUE(TabTo(w->mlblSave));
        PressKey(saveKey);
        EXPECT_FALSE(w->boolEditing);
        messageScript.Queue(kMsgYes);
        ASSERT_TRUE(TabTo(w->mlblDelete));
        PressKey(Qt::Key_Return);
        EXPECT_EQ(w->cmbName->count(), 0);
    }
};

TEST_F(KeyboardBL, TheBillWindowsCommandsAreReachedWithTabAndRunWithEnterOrSpace) {
    const BLRecordId shipper = AddParty("Lakeside Mills", kRoleShipper);
    const BLRecordId consignee = AddParty("Harbour Foods", kRoleConsignee, "60601", "IL");
    const BLRecordId shelving = AddCommodity("Steel shelving", "45");
    AddBill("1001", shipper, consignee, 0, {{shelving, "2", "90"}});
    frmBL& w = OpenBL();
    ShowActive(w);
    EXPECT_EQ(
        CommandsInTabOrder(),
        (std::vector<std::string>{"mlblDone", "mlblBLParties", "mlblCommodities", "mlblConfig",
                                  "mlblRate", "mlblPrint", "mlblNew", "mlblEdit", "mlblDelete"}));
    ASSERT_TRUE(TabTo(w.mlblEdit));
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(blWindow.BLEditingFlag);
    // While the bill is edited, Save and Delete (which abandons) are the commands open.
    ASSERT_TRUE(TabTo(w.mlblSave));
    PressKey(Qt::Key_Space);
    EXPECT_FALSE(blWindow.BLEditingFlag);
    ASSERT_TRUE(TabTo(w.mlblNew));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(Focused(), w.cmbBillNbr);
}

TEST_F(KeyboardBL, PartiesAreAddedEditedAndDeletedFromTheKeyboard) {
    AddParty("Mango", kRoleConsignee);
    frmBLParties* w = BLPartiesWindow();
    w->Form_Load();
    ShowActive(*w);
    EditSaveAndDeleteWithTheKeyboard(w, Qt::Key_Return);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(TabTo(w->mlblNew));
    PressKey(Qt::Key_Space);
    EXPECT_TRUE(w->boolAdding);
}

TEST_F(KeyboardBL, CommoditiesAreAddedEditedAndDeletedFromTheKeyboard) {
    AddCommodity("Steel shelving", "45");
    frmCommodities* w = CommoditiesWindow();
    w->Form_Load();
    ShowActive(*w);
    EditSaveAndDeleteWithTheKeyboard(w, Qt::Key_Space);
}

}  // namespace
