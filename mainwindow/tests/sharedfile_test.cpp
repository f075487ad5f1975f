// The database file is shared with other programs: between the program's commands (a rating,
// a rate sheet, the batch test) no lock is left behind, so another program can store a change
// within the time it waits, and the next command reads what it stored.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTest>
#include <string>

#include "displayquote.h"
#include "form3fixture.h"
#include "labelbutton.h"
#include "ponytest.h"
#include "quotesheet.h"
#include "ratesheet.h"
#include "tariffdb.h"

namespace {

class SharedFile : public MainWindowFixture {
  protected:
    // Another program's change, stored within the time the program itself waits for a lock.
    bool AnotherProgramCanWrite(
        const char* sql = "UPDATE tblConfig SET valuef = valuef WHERE keyf = 'FSC_fsc'") {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(app.file("data/x2007.mdb").c_str(), &raw), SQLITE_OK);
        sqlite3_busy_timeout(raw, Database::kBusyTimeoutMs);
        const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        return rc == SQLITE_OK;
    }

    // Rates 500 lbs from Minneapolis to Chicago as a user does, the quote written to the sheet.
    void RateMinneapolisToChicago() {
        EnterOrigin("55401");
        EnterDestination("60601");
        Weights({"500"});
        QTest::mouseClick(form->lblRate, Qt::LeftButton);
    }

    static bool QuoteShowsFuelSurcharge() {
        for (const QuoteLine& line : quote.Lines())
            if (line.rate.text.rfind("Fuel Surcharge", 0) == 0) return true;
        return false;
    }
};

TEST_F(SharedFile, AfterARatingAnotherProgramCanWriteAndTheNextRatingReadsIt) {
    Load();
    ShowActive();
    SetQuoteDisplayHook([this] {
        DisplayQuote(0);
        ++quotesShown;
    });
    RateMinneapolisToChicago();
    ASSERT_EQ(quotesShown, 1) << ::testing::PrintToString(TakeMessages());
    EXPECT_FALSE(QuoteShowsFuelSurcharge());
    // The carrier's fuel surcharge changes while the main window waits for the next request.
    ASSERT_TRUE(
        AnotherProgramCanWrite("UPDATE tblConfig SET valuef = '20.0' WHERE keyf = 'FSC_fsc'"));
    RateMinneapolisToChicago();
    ASSERT_EQ(quotesShown, 2) << ::testing::PrintToString(TakeMessages());
    EXPECT_TRUE(QuoteShowsFuelSurcharge());
    EXPECT_TRUE(AnotherProgramCanWrite());
}

// The quote is written inside the rating's read transaction; the window that shows it waits for
// the user, so by then the lock is gone.
TEST_F(SharedFile, WhileTheQuoteShowsAnotherProgramCanWrite) {
    Load();
    ShowActive();
    bool wrote = false;
    SetQuoteDisplayHook([this] { DisplayQuote(0); },
                        [&] {
                            ++quotesShown;
                            wrote = AnotherProgramCanWrite();
                        });
    RateMinneapolisToChicago();
    ASSERT_EQ(quotesShown, 1) << ::testing::PrintToString(TakeMessages());
    EXPECT_TRUE(wrote);
    EXPECT_FALSE(quote.Lines().empty());
}

TEST_F(SharedFile, AfterARateSheetAnotherProgramCanWrite) {
    Load();
    ASSERT_EQ(BuildCanadaRateSheet("CALGARY, AB", {"TORONTO, ON", "VANCOUVER, BC"}, "12"), 2);
    EXPECT_TRUE(AnotherProgramCanWrite());
    EmptyRateSheetTable();
    EXPECT_TRUE(AnotherProgramCanWrite());
}

TEST_F(SharedFile, AfterTheBatchTestAnotherProgramCanWrite) {
    Load();
    const std::string out = app.file("pony/shared-TESTDATA.TXT").string();
    const PonyFileResult file = RunPonyFileTest(app.file("pony/RTQCtest.TXT").string(), out, true);
    ASSERT_TRUE(file.ran) << file.error;
    EXPECT_GT(file.rated, 0);
    EXPECT_TRUE(AnotherProgramCanWrite());
}

}  // namespace
