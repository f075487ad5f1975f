// The program from the keyboard alone, across the main window, its menu and the windows of other
// parts: the fuel surcharge set through the Customize group, the bill-of-lading window opened and
// its New reached, and the program left through Exit. Real modal windows, no pointer.

#include <QApplication>

#include "commandwindows.h"
#include "form3fixture.h"
#include "form3menu.h"
#include "frmbl.h"
#include "keyboarduser.h"
#include "settings.h"
#include "startup.h"

namespace {

using ProgramKeyboardWalk = MainWindowFixture;

TEST_F(ProgramKeyboardWalk, FuelSurchargeABillOfLadingAndExitWithTabAndEnter) {
    Load();
    ConnectProgramWindows(*form);
    RegisterCommandWindow(CommandWindow::BillOfLading, [] { ShowBLWindow(); });
    ShowActive();
    // Every message is a real window here, answered from the keyboard.
    messageScript.Stop();
    MainMenu& menu = *form->menu;

    KeyboardUser user;
    using K = KeyboardUser;
    user.Then("Form3", [&] {
        ASSERT_TRUE(K::TabTo(menu.lblCustomize));
        // The heading with the focus has opened its group, and Tab goes on into it.
        ASSERT_TRUE(menu.GroupShown(0));
        ASSERT_TRUE(K::TabTo(menu.lblFSC));
        K::Press(Qt::Key_Return);
    });
    user.Then("frmFuelSurcharge", [] {
        K::Type("5.5");
        K::Press(Qt::Key_Return);
    });
    std::string storedSurcharge;
    user.Then("Form3", [&] {
        storedSurcharge = GetConfigValue("FSC_fsc", "");
        ASSERT_TRUE(K::TabTo(menu.lblBOL));
        K::Press(Qt::Key_Return);
    });
    user.Then("frmBL", [] {
        ASSERT_NE(LoadedBLWindow(), nullptr);
        ASSERT_TRUE(K::TabTo(LoadedBLWindow()->mlblNew));
        ASSERT_TRUE(K::TabTo(LoadedBLWindow()->mlblDone));
        K::Press(Qt::Key_Return);
    });
    user.Then("Form3", [&] {
        ASSERT_TRUE(K::TabTo(form->lblExit));
        K::Press(Qt::Key_Space);
    });
    user.Then("frmMssgBox", [] { K::Type("y"); });

    ASSERT_TRUE(user.Walk()) << user.Failure();
    EXPECT_EQ(user.Taken(), (std::vector<std::string>{"Form3", "frmFuelSurcharge", "Form3", "frmBL",
                                                      "Form3", "frmMssgBox"}));
    EXPECT_EQ(storedSurcharge, "05.5");
    EXPECT_EQ(programEnds, 1);
}

}  // namespace
