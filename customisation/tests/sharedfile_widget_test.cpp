// The discount editors leave no lock on the database behind them: once they are closed,
// another program can store a change within the time it waits.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDialog>
#include <QTest>

#include "commandwindows.h"
#include "formkit.h"
#include "frmdiscounts.h"
#include "installwindows.h"
#include "pricingfixture.h"
#include "shiplocations.h"
#include "tariffdb.h"

namespace {

class EditorsAndOtherPrograms : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        InstallCustomisationWindows();
    }
    void TearDown() override {
        UnloadDiscountsWindow();
        ResetCommandWindows();
        PricingTest::TearDown();
    }
    bool AnotherProgramCanWrite() {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(app.file("data/x2007.mdb").c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, Database::kBusyTimeoutMs);
        const int rc = sqlite3_exec(raw, "UPDATE discounts SET dmc = dmc WHERE zip = 'ALL'",
                                    nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        return rc == SQLITE_OK;
    }
    // Opens an editor through the main window's command and closes it with Escape.
    void OpenAndClose(CommandWindow editor) {
        int shown = 0;
        SetPricingModalRunner([&](QDialog& dialog) {
            ++shown;
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog,
                            Qt::Key_Escape);
            dialog.hide();
        });
        OpenCommandWindow(editor);
        SetPricingModalRunner(nullptr);
        EXPECT_GE(shown, 1);
    }
};

TEST_F(EditorsAndOtherPrograms, AfterTheSimpleEditorAnotherProgramCanWrite) {
    OpenAndClose(CommandWindow::SimpleDiscounts);
    EXPECT_TRUE(AnotherProgramCanWrite());
}

TEST_F(EditorsAndOtherPrograms, AfterTheFullEditorAnotherProgramCanWrite) {
    AddShippingLocation("900");
    AddShippingLocation("606");
    OpenAndClose(CommandWindow::Discounts);
    EXPECT_TRUE(AnotherProgramCanWrite());
    OpenAndClose(CommandWindow::ShippingLocations);
    EXPECT_TRUE(AnotherProgramCanWrite());
}

}  // namespace
