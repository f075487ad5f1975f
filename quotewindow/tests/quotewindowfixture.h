#pragma once
// The quote window of a rating on the standard quote, shown by a script in place of its modal
// loop: each show is kept, and `script` drives the window as a user would.

#include <gtest/gtest.h>

#include <QPointer>
#include <functional>
#include <string>
#include <vector>

#include "charges.h"
#include "displayquote.h"
#include "frmqpo.h"
#include "quotecharges.h"
#include "ratingfixture.h"
#include "tariffdb.h"

class ShownQuoteWindow : public RatingTest {
  protected:
    void SetUp() override {
        RatingTest::SetUp();
        UseStandardQuote();
        charges.Reset();
        messageScript.Reset();
        InstallQuoteWindow();
        SetQuoteWindowShow([this](frmQPO& w) {
            shows.emplace_back(&w);
            if (script) script(w, static_cast<int>(shows.size()));
        });
    }
    void TearDown() override {
        UnloadQuoteWindow();
        SetQuoteWindowShow(nullptr);
        SetQuoteWindowHooks({});
        messageScript.Reset();
        quote.Reset();
        quoteDisplay.Reset();
        charges.Reset();
        rating.gOffshoreDestZip.clear();
        RatingTest::TearDown();
    }

    // The "temp on" mark of an accessorial in the database; -1 when there is no such row.
    int TempOn(const std::string& name) {
        Snapshot s =
            tariff.gDB->OpenSnapshot("SELECT \"temp on\" FROM accessorials WHERE Name = ?", {name});
        return s.AtEOF() ? -1 : static_cast<int>(s.Field(size_t{0}).toInt());
    }

    std::vector<QPointer<frmQPO>> shows;
    std::function<void(frmQPO&, int)> script;
};
