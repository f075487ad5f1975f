// The quote window when the database refuses its writes (another program holds the lock): the
// command ends in a message, nothing stays half written, and the window stays open and usable.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPointer>

#include "charges.h"
#include "displayquote.h"
#include "frmqpo.h"
#include "labelbutton.h"
#include "lockedfiles.h"
#include "messagebox.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "quotewindowfixture.h"
#include "ratingfixture.h"
#include "tariffdb.h"

namespace {

class LockedQuoteWindow : public ShownQuoteWindow {
  protected:
    void SetUp() override {
        ShownQuoteWindow::SetUp();
        SetLine(0, "450", "100");
        messageScript.Start();
    }

    static void Choose(frmQPO& w, const QString& text) {
        emit w.mlblAccess->clicked();
        const auto found = w.lstAccessorials->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        found.front()->setSelected(true);
    }
    // The messages shown since the last call, by title.
    std::vector<std::string> TakeTitles() {
        std::vector<std::string> out;
        for (const auto& m : messageScript.Log()) {
            out.push_back(m.title.toStdString());
            lastText = m.text.toStdString();
        }
        messageScript.ClearLog();
        return out;
    }
    std::string Database() const { return app.file("data/x2007.mdb").string(); }

    std::string lastText;
};

using Titles = std::vector<std::string>;

TEST_F(LockedQuoteWindow, AChoiceTheDatabaseRefusesIsTakenBackWhole) {
    script = [&](frmQPO& w, int show) {
        if (show != 1) return;
        {
            HeldLock other(Database(), "IMMEDIATE");
            Choose(w, "Liftgate service");
            EXPECT_EQ(TakeTitles(), Titles{"Database Error"});
            EXPECT_NE(lastText.find(Database() + " is locked by another program"),
                      std::string::npos)
                << lastText;
            EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);  // no new rating
            EXPECT_FALSE(rating.gQAccLiftgate);
            EXPECT_TRUE(w.lstAccessorials->selectedItems().isEmpty());
        }
        EXPECT_EQ(TempOn("Liftgate service"), 0);
        // The lock gone, the same choice is marked and rated.
        Choose(w, "Liftgate service");
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Rerate);
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_TRUE(rating.gQAccLiftgate);
    EXPECT_EQ(TempOn("Liftgate service"), 1);
}

TEST_F(LockedQuoteWindow, DoneAndClosingTheWindowUnderALockKeepItOpenUntilTheyCanClearIt) {
    Exec("UPDATE accessorials SET \"temp on\" = 1 WHERE Name = 'Redelivery'");
    rating.gQAccResidential = true;
    script = [&](frmQPO& w, int) {
        {
            HeldLock other(Database(), "IMMEDIATE");
            emit w.mlblDone->clicked();
            w.show();
            w.close();  // the window manager's close is Done too
            EXPECT_EQ(TakeTitles(), (Titles{"Database Error", "Database Error"}));
            EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
            EXPECT_TRUE(rating.gQAccResidential);
        }
        EXPECT_EQ(TempOn("Redelivery"), 1);
        emit w.mlblDone->clicked();
    };
    ASSERT_TRUE(RateShipment());
    EXPECT_TRUE(shows.at(0).isNull());
    EXPECT_EQ(TempOn("Redelivery"), 0);
    EXPECT_FALSE(rating.gQAccResidential);
    EXPECT_TRUE(TakeTitles().empty());
}

}  // namespace
