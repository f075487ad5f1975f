#include "commandwindows.h"

#include <gtest/gtest.h>

#include "messagebox.h"

namespace {

class CommandWindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetCommandWindows();
        messageScript.Reset();
        messageScript.Start();
    }
    void TearDown() override {
        ResetCommandWindows();
        messageScript.Reset();
    }
};

TEST_F(CommandWindowsTest, AWindowNotInThisBuildIsSaidPlainly) {
    EXPECT_FALSE(CommandWindowRegistered(CommandWindow::Upgrade));
    OpenCommandWindow(CommandWindow::Upgrade);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_TRUE(messageScript.Log()[0].text.contains("not part of this build"));
}

TEST_F(CommandWindowsTest, ARegisteredWindowOpensAndOnlyItself) {
    int bills = 0, sheets = 0;
    RegisterCommandWindow(CommandWindow::BillOfLading, [&] { ++bills; });
    RegisterCommandWindow(CommandWindow::RateSheets, [&] { ++sheets; });
    OpenCommandWindow(CommandWindow::BillOfLading);
    OpenCommandWindow(CommandWindow::BillOfLading);
    EXPECT_EQ(bills, 2);
    EXPECT_EQ(sheets, 0);
    EXPECT_TRUE(messageScript.Log().empty());
}

}  // namespace
