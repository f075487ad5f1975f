// The program's start-up (here the test main) puts the quote window's dialogs behind the
// engine's questions: with no test hook, the C.O.D. amount and the exit port are asked in them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "offshoredialogs.h"
#include "offshorefixture.h"
#include "quotechargesfixture.h"
#include "quotedialogforms.h"
#include "quotedialogs.h"

namespace {

class CODQuestion : public QuoteChargesTest {
  protected:
    void SetUp() override {
        QuoteChargesTest::SetUp();
        SetCODAmountPrompt(nullptr);
    }
    void TearDown() override {
        SetQuoteDialogRunner(nullptr);
        QuoteChargesTest::TearDown();
    }
};

TEST_F(CODQuestion, IsAskedInTheCODDialog) {
    int shown = 0;
    SetQuoteDialogRunner([&](QDialog& dialog) {
        EXPECT_NE(qobject_cast<frmCOD*>(&dialog), nullptr);
        ++shown;
    });
    Choose("C.O.D.");
    commodityLines.gAskCODAmount = true;
    NetChargeLine(200.00f, 2000);
    charges.gQuoteTotal = rating.gNetCharge[rating.gBreak];
    AccessorialCharge("C.O.D.", quote.gQuoteLine, 0);
    EXPECT_EQ(shown, 1);
}

class PortQuestion : public OffshoreTest {
  protected:
    void SetUp() override {
        OffshoreTest::SetUp();
        SetPRPortQuestion(nullptr);
    }
};

TEST_F(PortQuestion, IsAskedInThePortDialog) {
    bool portDialogShown = false;
    // The dialog runs its own event loop; a user who leaves it with Escape answers nothing.
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        portDialogShown = qobject_cast<frmPRPort*>(modal) != nullptr;
        if (modal) QTest::keyClick(modal, Qt::Key_Escape);
    });
    VerifyOrigin("60601");
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_TRUE(portDialogShown);
    EXPECT_TRUE(offshore.gAskPRPort);
    EXPECT_EQ(tariff.gDestZip, "32254");
}

}  // namespace
