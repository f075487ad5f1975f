// The program's messages without a window toolkit: an unscripted message goes to the message
// window the program registers, and where none is (the engine run on its own) nobody is asked
// and the message takes what Enter would answer.

#include <gtest/gtest.h>

#include <vector>

#include "messagescript.h"
#include "msgbox.h"

namespace {

struct Shown {
    QString text;
    uint8_t style;
    QString title;
};

class ShowMessageWithoutWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        messages.Reset();
        messageScript.Reset();
    }
    void TearDown() override {
        SetMessageWindow(nullptr);
        messageScript.Reset();
        messages.Reset();
    }
    // A stand-in for the message window that answers Yes to everything.
    void RegisterWindow() {
        SetMessageWindow([this](const QString& text, uint8_t style, const QString& title) {
            shown.push_back({text, style, title});
            messages.gMsgAnswer = kMsgYes;
        });
    }
    std::vector<Shown> shown;
};

TEST_F(ShowMessageWithoutWindows, WithoutAWindowAMessageTakesWhatEnterAnswers) {
    ShowMessage(QStringLiteral("Delete this location?"), kMsgQuestion, QStringLiteral("Delete"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgNo);
    EXPECT_EQ(messages.gMsgDefault, kMsgDefaultNo);
    EXPECT_FALSE(messages.gMsgShown);

    ShowMessage(QStringLiteral("Not verified"), kMsgOK, QStringLiteral("ZIP"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    EXPECT_EQ(messages.gMsgDefault, kMsgDefaultOK);
}

TEST_F(ShowMessageWithoutWindows, AnUnscriptedMessageGoesToTheRegisteredWindow) {
    RegisterWindow();
    ShowMessage(QStringLiteral("Use this origin?"), kMsgQuestion, QStringLiteral("Origin"));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Use this origin?"));
    EXPECT_EQ(shown[0].style, kMsgQuestion);
    EXPECT_EQ(shown[0].title, QStringLiteral("Origin"));
    EXPECT_EQ(messages.gMsgAnswer, kMsgYes);
    // The window is laid out before it is shown: Enter answers No in a question.
    EXPECT_EQ(messages.gMsgDefault, kMsgDefaultNo);
}

TEST_F(ShowMessageWithoutWindows, AScriptedMessageNeverReachesTheWindow) {
    RegisterWindow();
    messageScript.Queue(kMsgNo);
    ShowMessage(QStringLiteral("Use this origin?"), kMsgQuestion, QStringLiteral("Origin"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(messages.gMsgAnswer, kMsgNo);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].outcome, MessageOutcome::Scripted);
}

}  // namespace
