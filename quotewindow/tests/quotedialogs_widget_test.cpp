// The exchange-rate, discount and C.O.D. dialogs, driven without an event loop.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "charges.h"
#include "frmqpo.h"
#include "labelbutton.h"
#include "maskededit.h"
#include "quotedialogforms.h"
#include "quotedialogs.h"
#include "quotediscountfixture.h"
#include "tariffdb.h"
#include "userinput.h"

namespace {

void Type(MaskedEdit* box, const QString& keys, int from = 0) {
    box->setCursorPosition(from);
    QTest::keyClicks(box, keys);
}

class QuoteDialogs : public QuoteDiscountTest {
  protected:
    void TearDown() override {
        SetQuoteDialogRunner(nullptr);
        QuoteDiscountTest::TearDown();
    }
    // The shown quote of 1000 lbs at 1M, 45.5 % off.
    void RateTheWorkedQuote() {
        AddDiscountRow("ALL", 1, 0, "45.5");
        SetLine(0, "1000", "100");
        RateAndDisplay();
    }
};

TEST_F(QuoteDialogs, TheExchangeRateShowsSelectedAndIsStoredWithoutItsPrompts) {
    SetConfigValue("CDN_ExchangeRate", "1.3125");
    frmCdnRate dialog;
    dialog.Form_Activate();
    EXPECT_EQ(dialog.mskCdnRate->Text(), QStringLiteral("1.3125"));
    EXPECT_EQ(dialog.mskCdnRate->selectionLength(), 6);
    dialog.mskCdnRate->clear();
    Type(dialog.mskCdnRate, QStringLiteral("105"));
    ASSERT_EQ(dialog.mskCdnRate->Text(), QStringLiteral("1.05__"));
    dialog.lblDone_Click();
    EXPECT_EQ(tariff.gExchangeRate, "1.05");
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.05");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// Shows a dialog and makes it the active window, so that keys go where its focus is.
void ShowActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Without a pointer: Enter in the box is Done, Escape closes the dialog as its close box does.
TEST_F(QuoteDialogs, EnterIsDoneAndEscapeChangesNothing) {
    SetConfigValue("CDN_ExchangeRate", "1.3125");
    {
        frmCdnRate dialog;
        ShowActive(dialog);
        ASSERT_EQ(QApplication::focusWidget(), dialog.mskCdnRate);
        QTest::keyClicks(QApplication::focusWidget(), "14000");  // over the selected rate
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3125");
    }
    {
        frmCdnRate dialog;
        ShowActive(dialog);
        QTest::keyClicks(QApplication::focusWidget(), "14000");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.4000");
    }
    {
        charges.gChargeBasis = 7;
        frmCOD dialog;
        ShowActive(dialog);
        dialog.mskCOD->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "250");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(charges.gChargeBasis, 7);
    }
    {
        frmCOD dialog;
        ShowActive(dialog);
        dialog.mskCOD->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "250");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        EXPECT_EQ(charges.gChargeBasis, 250);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
}

TEST_F(QuoteDialogs, EnterChangesTheQuotesDiscountAndEscapeLeavesIt) {
    RateTheWorkedQuote();
    const std::string shown = quote.txtChgDisc;
    {
        frmChgDisc dialog;
        ShowActive(dialog);
        dialog.mskChgDisc->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "500");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(quote.txtChgDisc, shown);
    }
    frmChgDisc dialog;
    ShowActive(dialog);
    dialog.mskChgDisc->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "500");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(quote.txtChgDisc, "50.0");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The dialog a damaged exchange rate sends the user to starts empty: through the mask "1e308"
// would read as the rate 1.308, which Done alone would then store.
TEST_F(QuoteDialogs, ADamagedExchangeRateIsNotShownAsARate) {
    for (const char* damaged : {"1e308", "12.5", "1.3x"}) {
        SCOPED_TRACE(damaged);
        SetConfigValue("CDN_ExchangeRate", damaged);
        frmCdnRate dialog;
        dialog.Form_Activate();
        EXPECT_EQ(dialog.mskCdnRate->Value(), QString());
        Type(dialog.mskCdnRate, QStringLiteral("13650"));
        dialog.lblDone_Click();
        EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3650");
    }
}

// A cleared box, or a rate of 0, is no rate: Done says what is needed and stays, and the stored
// rate is kept, rather than a blank that the next "Canadian $" would call damaged.
TEST_F(QuoteDialogs, AnEmptyOrZeroExchangeRateIsRefusedSayingWhatIsNeeded) {
    SetConfigValue("CDN_ExchangeRate", "1.3125");
    messageScript.Start();
    messageScript.ClearLog();
    frmCdnRate dialog;
    ShowActive(dialog);
    ASSERT_EQ(QApplication::focusWidget(), dialog.mskCdnRate);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);  // the rate is selected whole
    ASSERT_EQ(dialog.mskCdnRate->Value(), QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3125");
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text,
              QStringLiteral("Enter the Canadian exchange rate: a number from 0.0001 to 9.9999."));
    // Keys the mask drops leave it empty alike.
    QTest::keyClicks(QApplication::focusWidget(), "ab-,");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3125");
    EXPECT_EQ(messageScript.Log().size(), 2u);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClicks(QApplication::focusWidget(), "00000");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3125");
    EXPECT_EQ(messageScript.Log().size(), 3u);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
    QTest::keyClicks(QApplication::focusWidget(), "13650");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.3650");
    EXPECT_EQ(tariff.gExchangeRate, "1.3650");
}

TEST_F(QuoteDialogs, ARateThatCannotBeStoredIsSaidSo) {
    Exec("DELETE FROM tblConfig WHERE keyf = 'CDN_ExchangeRate'");
    frmCdnRate dialog;
    dialog.Form_Activate();
    EXPECT_EQ(dialog.mskCdnRate->Text(), QStringLiteral("1.____"));
    Type(dialog.mskCdnRate, QStringLiteral("10500"));
    dialog.lblDone_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_TRUE(messageScript.Log()[0].text.contains(QStringLiteral("CDN_ExchangeRate")));
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "1"), "1");
}

TEST_F(QuoteDialogs, ADiscountTypedInPartIsWrittenAsNNNAndRatesTheQuote) {
    RateTheWorkedQuote();
    frmChgDisc dialog;
    Type(dialog.mskChgDisc, QStringLiteral("7"));
    ASSERT_EQ(dialog.mskChgDisc->Text(), QStringLiteral("7_._"));
    dialog.lblDone_Click();
    EXPECT_TRUE(quoteDiscount.gDiscChanged);
    EXPECT_EQ(quote.txtChgDisc, "07.0");
    EXPECT_EQ(rating.gBreakDisc[3], "07.0");
    // 1M: 300.00 × 7 % = 21.00, leaving 279.00.
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$21.00");
    EXPECT_EQ(ChargeBeside("Net Charges"), "$279.00");
}

TEST_F(QuoteDialogs, ADiscountTypedOnlyAfterThePointIsAFraction) {
    RateTheWorkedQuote();
    frmChgDisc dialog;
    Type(dialog.mskChgDisc, QStringLiteral("5"), 3);
    ASSERT_EQ(dialog.mskChgDisc->Text(), QStringLiteral("__.5"));
    dialog.lblDone_Click();
    EXPECT_EQ(quote.txtChgDisc, "00.5");
    // 1M: 300.00 × 0.5 % = 1.50, leaving 298.50.
    EXPECT_EQ(ChargeBeside(kDiscountCaption), "$1.50");
    EXPECT_EQ(ChargeBeside("Net Charges"), "$298.50");
    EXPECT_TRUE(messageScript.Log().empty());
}

TEST_F(QuoteDialogs, AnEmptyDiscountIsRefusedAndAClosedDialogChangesNothing) {
    RateTheWorkedQuote();
    frmChgDisc empty;
    empty.lblDone_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Data Entry Error"));
    EXPECT_EQ(quote.txtChgDisc, "45.5");

    quoteDiscount.gDiscChanged = false;
    SetQuoteDialogRunner([](QDialog& d) {
        auto* dialog = qobject_cast<frmChgDisc*>(&d);
        ASSERT_NE(dialog, nullptr);
        Type(dialog->mskChgDisc, QStringLiteral("355"));
        dialog->reject();
    });
    ShowChgDiscDialog();
    EXPECT_FALSE(quoteDiscount.gDiscChanged);
    EXPECT_EQ(quote.txtChgDisc, "45.5");
    EXPECT_EQ(rating.gBreakDisc[3], "45.5");
}

TEST_F(QuoteDialogs, TheCODAmountIsTheDollarsTypedAndAnEmptyBoxIsZero) {
    SetQuoteDialogRunner([](QDialog& d) {
        auto* dialog = qobject_cast<frmCOD*>(&d);
        ASSERT_NE(dialog, nullptr);
        Type(dialog->mskCOD, QStringLiteral("250"), 1);
        EXPECT_EQ(dialog->mskCOD->Text(), QStringLiteral("$250___"));
        dialog->lblDone_Click();
    });
    ShowCODDialog();
    EXPECT_FLOAT_EQ(charges.gChargeBasis, 250.0f);

    frmCOD closed;
    Type(closed.mskCOD, QStringLiteral("5"), 1);
    closed.reject();
    EXPECT_FLOAT_EQ(charges.gChargeBasis, 250.0f);
    frmCOD empty;
    empty.lblDone_Click();
    EXPECT_FLOAT_EQ(charges.gChargeBasis, 0.0f);
}

// Each box as a user fills it: the dialog comes up, the keys replace what the box shows (the rate
// selected whole, the empty boxes from their first place) and a click on Done takes it.
TEST_F(QuoteDialogs, EachBoxStoresWhatWasTypedOverItsInitialText) {
    RateTheWorkedQuote();
    SetConfigValue("CDN_ExchangeRate", "1.3125");
    QString keys;
    // What the discount box shows once Done is clicked: the percentage as it is kept.
    QString shownAtDone;
    SetQuoteDialogRunner([&](QDialog& d) {
        ShowActive(d);
        if (auto* rate = qobject_cast<frmCdnRate*>(&d)) {
            EXPECT_EQ(Focused(), rate->mskCdnRate);
            EXPECT_EQ(rate->mskCdnRate->selectedText(), rate->mskCdnRate->Text());
        }
        ASSERT_NE(Focused(), nullptr);
        TypeKeys(keys);
        ClickOn(static_cast<QWidget&>(d), d.findChild<LabelButton*>("lblDone"));
        if (auto* disc = qobject_cast<frmChgDisc*>(&d)) shownAtDone = disc->mskChgDisc->text();
    });
    keys = "1.05";
    ShowCdnRateDialog();
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), "1.05");
    keys = ".75";
    ShowCdnRateDialog();
    EXPECT_EQ(GetConfigValue("CDN_ExchangeRate", "none"), ".75");
    keys = "5.5";
    ShowChgDiscDialog();
    EXPECT_EQ(quote.txtChgDisc, "05.5");
    EXPECT_EQ(shownAtDone, "05.5");
    keys = "1";
    ShowChgDiscDialog();
    EXPECT_EQ(quote.txtChgDisc, "01.0");
    EXPECT_EQ(shownAtDone, "01.0");
    keys = "12.5";
    ShowChgDiscDialog();
    EXPECT_EQ(quote.txtChgDisc, "12.5");
    keys = "250";
    ShowCODDialog();
    EXPECT_FLOAT_EQ(charges.gChargeBasis, 250.0f);
    keys = "$1,500";
    ShowCODDialog();
    EXPECT_FLOAT_EQ(charges.gChargeBasis, 1500.0f);
    EXPECT_TRUE(messageScript.Log().empty());
}

// The quote window's "Canadian $" with this exchange-rate dialog behind it.
class CanadianFunds : public QuoteDialogs {
  protected:
    void SetUp() override {
        QuoteDialogs::SetUp();
        QuoteWindowHooks hooks;
        hooks.cdnRateDialog = [] { ShowCdnRateDialog(); };
        SetQuoteWindowHooks(hooks);
        window = QuoteWindow();
        quote.Line(3).rate.text = "TOTAL CHARGES";
        quote.Line(3).charge.text = "$1,234.56";
        quote.gQuoteLine = 3;
        quoteDisplay.shownTotal = 1234.56f;
    }
    void TearDown() override {
        UnloadQuoteWindow();
        SetQuoteWindowHooks({});
        QuoteDialogs::TearDown();
    }
    const QuoteLine& Added() const { return quote.Lines()[4]; }
    frmQPO* window = nullptr;
};

TEST_F(CanadianFunds, RatesBelowAndAboveParAreBothRealRates) {
    SetConfigValue("CDN_ExchangeRate", "0.95");
    window->mlblCDNExch_Click();
    EXPECT_EQ(Added().rate.text, "Charges in Canadian Funds at exchange rate of 0.95");
    EXPECT_EQ(Added().charge.text, "$1,172.83");  // 1,234.56 × 0.95 = 1,172.832

    quoteDisplay.CdnLineShown = false;
    quote.gQuoteLine = 3;
    SetConfigValue("CDN_ExchangeRate", "1.0500");
    window->mlblCDNExch_Click();
    EXPECT_EQ(Added().rate.text, "Charges in Canadian Funds at exchange rate of 1.0500");
    EXPECT_EQ(Added().charge.text, "$1,296.29");  // 1,234.56 × 1.05 = 1,296.288
    EXPECT_TRUE(messageScript.Log().empty());
}

// The product of the cents total and the rate as stored, rounded once: a Single rate of
// 1.0500 (1.04999995) would give $63.52 and $74,096.42.
// A stored 0 is no rate at par to ask about: it is damage, named, and the rate window opens.
TEST_F(CanadianFunds, AStoredRateOfZeroIsNamedAsDamagedNotAskedAboutAsPar) {
    int shown = 0;
    SetQuoteDialogRunner([&](QDialog&) { ++shown; });
    SetConfigValue("CDN_ExchangeRate", "0");
    messageScript.Start();
    messageScript.ClearLog();
    window->mlblCDNExch_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    const QString said = messageScript.Log()[0].text;
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("Canadian Exchange Rate"));
    EXPECT_TRUE(said.contains(QStringLiteral("CDN_ExchangeRate (the Canadian exchange rate)")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("holds \"0\""))) << said.toStdString();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(quote.gQuoteLine, 3);
}

TEST_F(CanadianFunds, TheAmountIsTheCentsTotalTimesTheRateRoundedOnce) {
    struct Case {
        Single total;
        const char* rate;
        const char* shown;
    };
    for (const Case& c : {Case{60.50f, "1.0500", "$63.53"},            // 63.525
                          Case{53986.47f, "1.3725", "$74,096.43"}}) {  // 74,096.4284
        quote.gQuoteLine = 3;
        quote.Line(4) = {};
        quoteDisplay.CdnLineShown = false;
        quoteDisplay.shownTotal = c.total;
        SetConfigValue("CDN_ExchangeRate", c.rate);
        window->show();
        QTest::mouseClick(window->mlblCDNExch, Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_EQ(Added().charge.text, c.shown) << c.rate;
        window->hide();
    }
}

TEST_F(CanadianFunds, YesToTheParQuestionSetsTheRateAndTheNextClickUsesIt) {
    int shown = 0;
    SetQuoteDialogRunner([&](QDialog& d) {
        ++shown;
        auto* dialog = qobject_cast<frmCdnRate*>(&d);
        ASSERT_NE(dialog, nullptr);
        dialog->Form_Activate();
        dialog->mskCdnRate->clear();
        Type(dialog->mskCdnRate, QStringLiteral("125"));
        dialog->lblDone_Click();
    });
    messageScript.Queue(kIdYes);
    window->mlblCDNExch_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, QStringLiteral("No Exchange Rate set"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(quote.gQuoteLine, 3);

    window->mlblCDNExch_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Added().rate.text, "Charges in Canadian Funds at exchange rate of 1.25");
    EXPECT_EQ(Added().charge.text, "$1,543.20");  // 1,234.56 × 1.25
}

}  // namespace
