// What the engine asks of a window: the C.O.D. amount and the offshore port and military-base
// questions go to the dialogs the program registers; a test's own hook comes first, and with
// neither the engine asks nobody and goes on as if the dialog had been closed.

#include <gtest/gtest.h>

#include "offshorefixture.h"
#include "quotechargesfixture.h"

namespace {

class CODDialog : public QuoteChargesTest {
  protected:
    void SetUp() override {
        QuoteChargesTest::SetUp();
        SetCODAmountPrompt(nullptr);
        Choose("C.O.D.");
        commodityLines.gAskCODAmount = true;
        NetChargeLine(200.00f, 2000);
    }
    void TearDown() override {
        SetCODAmountDialog(nullptr);
        QuoteChargesTest::TearDown();
    }
    void Price() {
        charges.gQuoteTotal = rating.gNetCharge[rating.gBreak];
        AccessorialCharge("C.O.D.", quote.gQuoteLine, 0);
    }
    int dialogShown = 0;
};

TEST_F(CODDialog, TheAmountIsAskedInTheRegisteredDialog) {
    SetCODAmountDialog([this] {
        ++dialogShown;
        charges.gChargeBasis = 5000;
    });
    Price();
    EXPECT_EQ(dialogShown, 1);
    EXPECT_EQ(Charge(4), "$150.00");  // 3 % of 5,000.00
    EXPECT_FALSE(commodityLines.gAskCODAmount);
}

TEST_F(CODDialog, ATestsOwnPromptComesBeforeTheDialog) {
    SetCODAmountDialog([this] { ++dialogShown; });
    SetCODAmountPrompt([] { charges.gChargeBasis = 1000; });
    Price();
    EXPECT_EQ(dialogShown, 0);
    EXPECT_EQ(Charge(4), "$52.00");  // 30.00 is under the minimum
}

TEST_F(CODDialog, WithoutADialogTheWeightStaysTheBasisAndTheQuestionIsSpent) {
    Price();
    // 20 cwt × 0.03 = 0.60: the minimum.
    EXPECT_EQ(Charge(4), "$52.00");
    EXPECT_FALSE(commodityLines.gAskCODAmount);
    EXPECT_TRUE(charges.gCODAmountKnown);
}

class OffshoreDialogs : public OffshoreTest {
  protected:
    void SetUp() override {
        OffshoreTest::SetUp();
        // The fixture answers through the test hooks; these tests go through the dialogs.
        SetPRPortQuestion(nullptr);
        SetMilitaryQuestion(nullptr);
    }
    void TearDown() override {
        SetOffshoreDialogs(nullptr, nullptr);
        OffshoreTest::TearDown();
    }
    void RegisterDialogs() {
        SetOffshoreDialogs(
            [this](bool jacksonvilleShown) {
                ++portAsked;
                portShownJacksonville = jacksonvilleShown;
                AnswerPRPort(true);
            },
            [this](bool yesShown) {
                ++militaryAsked;
                militaryShownYes = yesShown;
                AnswerMilitary(true);
            });
    }
};

TEST_F(OffshoreDialogs, ThePortQuestionIsAskedInTheRegisteredDialog) {
    RegisterDialogs();
    VerifyOrigin("60601");
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_EQ(portAsked, 1);
    EXPECT_FALSE(portShownJacksonville);
    EXPECT_EQ(tariff.gDestZip, "07072");
    EXPECT_FALSE(offshore.gAskPRPort);
}

TEST_F(OffshoreDialogs, TheMilitaryQuestionIsAskedInTheRegisteredDialogOnNo) {
    RegisterDialogs();
    VerifyOrigin("60601");
    EnterDestZip("96863");
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 1);
    EXPECT_FALSE(militaryShownYes);
    EXPECT_TRUE(offshore.gMilitary);
}

TEST_F(OffshoreDialogs, ATestsOwnHookComesBeforeTheDialog) {
    RegisterDialogs();
    int hookAsked = 0;
    SetPRPortQuestion([&](bool) { ++hookAsked; });
    VerifyOrigin("60601");
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_EQ(hookAsked, 1);
    EXPECT_EQ(portAsked, 0);
}

TEST_F(OffshoreDialogs, WithoutDialogsNothingIsAnsweredAndTheQuestionsStayArmed) {
    VerifyOrigin("60601");
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_TRUE(offshore.gAskPRPort);
    EXPECT_EQ(tariff.gDestZip, "32254");

    EnterDestZip("96863");
    ASSERT_TRUE(SetupOffshore("HI"));
    // Leaving the question without an answer takes the "No" it proposes.
    EXPECT_FALSE(offshore.gMilitary);
}

}  // namespace
