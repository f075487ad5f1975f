// Printing bills with the desktop's own PDF reader behind them: a reader that keeps xdg-open
// busy until it is closed (one run in the foreground) never holds the program up, and a desktop
// without a reader is reported once it is known.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "blhooks.h"
#include "blprint.h"
#include "blrate.h"
#include "blratefixture.h"
#include "messagebox.h"
#include "pdfreader.h"
#include "standinopener.h"

namespace {

class BLDesktopReaderTest : public BLRatingTest {
  protected:
    void SetUp() override {
        BLRatingTest::SetUp();
        InstallBLRatePrint();
        SetPdfReader(nullptr);  // the desktop's reader, through the stand-in xdg-open
    }
    void TearDown() override {
        SetBLRatePrintHooks({});
        BLRatingTest::TearDown();
    }
};

TEST_F(BLDesktopReaderTest, ThreeCopiesWithTheTermsPageAreNotHeldUpByAReaderThatNeverReturns) {
    StandInOpener opener("exec sleep 30");
    AddBillBetween("B-88", "53202", "43215", {{"70", "3", "450"}});
    SetSetting("BL_Copies", "3");
    SetSetting("BL_PrintBack", "yes");
    SetSetting("BL_PrintRates", "no");
    QElapsedTimer clock;
    clock.start();
    PrintBLCopies("B-88");
    // Six files handed on; each opener once took up to two seconds, so waiting on them came to
    // twelve. The bound sits below that with room for a loaded build machine.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(std::filesystem::exists(output / "BL.pdf"));
    EXPECT_TRUE(std::filesystem::exists(output / "BLBack.pdf"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opener.Handed().isEmpty(); }, 5000));
    QTest::qWait(200);
    EXPECT_TRUE(ShownTexts().empty()) << ShownTexts().front();
}

TEST_F(BLDesktopReaderTest, NoReaderIsReportedWithWhereTheBillWasSaved) {
    StandInOpener opener("exit 3");
    AddBillBetween("B-89", "53202", "43215", {{"70", "3", "450"}});
    SetSetting("BL_PrintRates", "no");
    PrintBLCopies("B-89");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ShownTexts().empty(); }, 5000));
    const std::string shown = ShownTexts().front();
    EXPECT_NE(shown.find("The B/L was saved as " + (output / "BL.pdf").string()), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("no PDF reader could be started"), std::string::npos) << shown;
}

}  // namespace
