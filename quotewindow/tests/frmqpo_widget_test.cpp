// The quote window on the offscreen platform: what it shows of a rating, the accessorials
// added from it (which rate again), the total in Canadian funds, Done and the Alt key, the
// discount editor, and the slide-open list. The window is shown by a script in place of the
// modal loop, so each test drives it as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "charges.h"
#include "commodity.h"
#include "displayquote.h"
#include "frmqpo.h"
#include "labelbutton.h"
#include "messagebox.h"
#include "quotecharges.h"
#include "quotediscount.h"
#include "quotesheet.h"
#include "quotewindowfixture.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

constexpr int kLine = QuoteSheetView::kLineHeight;

class QuoteWindowTest : public ShownQuoteWindow {
  protected:
    void SetUp() override {
        ShownQuoteWindow::SetUp();
        tariff.gEffDate = "March 19, 2007";
    }

    static QListWidgetItem* Item(frmQPO& w, const QString& text) {
        const auto found = w.lstAccessorials->findItems(text, Qt::MatchExactly);
        return found.size() == 1 ? found.front() : nullptr;
    }
    // Opens the list and clicks an item, as a user picks a service.
    static void Choose(frmQPO& w, const QString& text) {
        w.mlblAccess_Click();
        QListWidgetItem* item = Item(w, text);
        ASSERT_NE(item, nullptr) << text.toStdString();
        item->setSelected(true);
    }
    static int FindRate(const std::string& caption) {
        for (size_t n = 0; n < quote.Lines().size(); ++n)
            if (quote.Lines()[n].rate.text == caption) return static_cast<int>(n);
        return -1;
    }
    // Dark pixels (text) in a rectangle of an image.
    static int Ink(const QImage& image, const QRect& r) {
        int dark = 0;
        for (int y = r.top(); y <= r.bottom() && y < image.height(); ++y)
            for (int x = r.left(); x <= r.right() && x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::max({c.red(), c.green(), c.blue()}) < 110) ++dark;
            }
        return dark;
    }
    static QRect LineRect(int n, int left, int right) {
        return QRect(left, n * kLine, right - left, kLine);
    }
};

// ------------------------------------------------------------------ what the window shows

TEST_F(QuoteWindowTest, TheWindowShowsTheQuoteOfTheRating) {
    SetLine(0, "300", "100");
    SetLine(1, "150", "50");
    QImage sheet;
    script = [&](frmQPO& w, int) {
        w.show();
        QApplication::processEvents();
        sheet = w.sheet->grab().toImage();
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 1u);
    frmQPO& w = *shows[0];
    EXPECT_EQ(LoadedQuoteWindow(), &w);
    EXPECT_EQ(w.windowTitle(), "Fretlyn2007");
    EXPECT_EQ(w.txtOriginZip->text(), "53202 -- Milwaukee, WI");
    EXPECT_EQ(w.txtDestZip->text(), "43215 -- Columbus, OH");
    EXPECT_EQ(w.txtEffDate->text(), "March 19, 2007");

    // The discount (line 5 of this quote) stands in the gap of its caption.
    ASSERT_TRUE(w.txtChgDisc->isVisible());
    EXPECT_EQ(w.txtChgDisc->text(), "45.5");
    const QRect box = w.txtChgDisc->geometry();
    EXPECT_EQ(box.top(), 5 * kLine);
    const QFontMetrics fm(w.sheet->font());
    const int captionLeft = QuoteSheetView::kRateRight -
                            fm.horizontalAdvance("Norvale Freight          % Discount Saves You");
    EXPECT_GT(box.left(), captionLeft + fm.horizontalAdvance("Norvale Freight") - 4);
    EXPECT_LT(box.right(),
              QuoteSheetView::kRateRight - fm.horizontalAdvance("% Discount Saves You") + 4);

    // Drawn: the deficit caption further left, the net charges, and nothing below them.
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.height(), kQuoteDesignLines * kLine);
    EXPECT_GT(Ink(sheet, LineRect(2, 0, 14)), 0);
    EXPECT_EQ(Ink(sheet, LineRect(0, 0, 14)), 0);  // a class stands in its column
    EXPECT_GT(Ink(sheet, LineRect(6, QuoteSheetView::kRateRight, QuoteSheetView::kChargeRight)), 0);
    for (int n = 7; n < kQuoteDesignLines; ++n)
        EXPECT_EQ(Ink(sheet, LineRect(n, 0, QuoteSheetView::kWidth)), 0) << n;
}

TEST_F(QuoteWindowTest, AQuoteLongerThanTheWindowScrollsToEveryLine) {
    SetConfigValue("CDN_ExchangeRate", "1.0500");
    SetLine(0, "450", "100");
    ASSERT_TRUE(RateShipment());
    frmQPO& w = *shows.at(0);
    // Later writers filled the sheet to its last design line; the Canadian line goes below.
    for (int n = 4; n < kQuoteDesignLines; ++n) quote.Line(n).rate.text = "Extra charge";
    quote.gQuoteLine = kQuoteDesignLines - 1;
    w.mlblCDNExch_Click();
    ASSERT_EQ(quote.Lines().size(), static_cast<size_t>(kQuoteDesignLines + 1));
    EXPECT_EQ(quote.Lines().back().charge.text, "$100.14");
    EXPECT_EQ(w.sheet->height(), (kQuoteDesignLines + 1) * kLine);

    for (int n = 19; n < 30; ++n) quote.Line(n).charge.text = "$1.00";
    w.DrawQuote();
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.sheet->height(), 30 * kLine);
    QScrollBar* bar = w.sheetArea->verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 30 * kLine - w.sheetArea->viewport()->height());
    const QImage sheet = w.sheet->grab().toImage();
    EXPECT_GT(Ink(sheet, LineRect(29, 0, QuoteSheetView::kChargeRight)), 0);
}

TEST_F(QuoteWindowTest, TheEndsAreShownWholeHoweverLongTheirNames) {
    // The longest names the tariff holds: a Hawaii base and a Quebec town.
    tariff.gOrigCityState = "M\u00c9TABETCHOUAN-LAC-A-LA-CROIX, QC";
    SetOrigin("G8G 1A1", "532", "WI", 0);
    tariff.gDestCityState = "TRIPLER ARMY MEDICAL CENTER, HI";
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int) {
        w.show();
        QApplication::processEvents();
        for (QLineEdit* box : {w.txtOriginZip, w.txtDestZip, w.txtEffDate}) {
            const int room = box->contentsRect().width() - 8;  // the box's own text margins
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), room)
                << box->text().toStdString();
            EXPECT_LE(box->geometry().right(), w.width());
        }
        EXPECT_TRUE(w.txtDestZip->text().endsWith(", HI"));
        EXPECT_FALSE(w.txtOriginZip->geometry().intersects(w.txtDestZip->geometry()));
        EXPECT_FALSE(w.txtDestZip->geometry().intersects(w.txtEffDate->geometry()));
        EXPECT_LT(w.txtOriginZip->geometry().bottom(), w.Line1->geometry().top());
        EXPECT_LT(w.txtDestZip->geometry().bottom(), w.Line1->geometry().top());
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 1u);
}

// ------------------------------------------------------------------ accessorials

TEST_F(QuoteWindowTest, TheOpenedListShowsEveryServiceWithoutScrolling) {
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int) {
        w.show();
        w.mlblAccess_Click();
        while (w.Timer1->isActive()) w.Timer1_Timer();
        QApplication::processEvents();
        QListWidget* list = w.lstAccessorials;
        ASSERT_GT(list->count(), 10);
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(list->verticalScrollBar()->isVisible());
        const QRect seen = list->viewport()->rect();
        for (int i = 0; i < list->count(); ++i)
            EXPECT_TRUE(seen.contains(list->visualItemRect(list->item(i))))
                << list->item(i)->text().toStdString();
        EXPECT_LE(list->geometry().bottom(), w.height());
        EXPECT_LE(list->geometry().right(), w.width());
        w.mlblDone_Click();
    };
    ASSERT_TRUE(RateShipment());
}

TEST_F(QuoteWindowTest, AnAccessorialChosenInTheQuoteRatesAgainAndTheChoicesAccumulate) {
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int show) {
        if (show == 1) Choose(w, "Liftgate service");
        if (show == 2) {
            EXPECT_FALSE(w.lstAccessorials->isVisible());  // a new window
            Choose(w, "Residential delivery");
        }
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 3u);
    EXPECT_TRUE(shows[0].isNull());
    EXPECT_TRUE(shows[1].isNull());
    EXPECT_EQ(LoadedQuoteWindow(), shows[2].data());
    EXPECT_TRUE(rating.gQAccLiftgate);
    EXPECT_TRUE(rating.gQAccResidential);
    EXPECT_EQ(TempOn("Liftgate service"), 1);
    EXPECT_EQ(TempOn("Residential delivery"), 1);
    EXPECT_EQ(TempOn("Redelivery"), 0);
    // The new quote charges both: 111.00 and 69.50 are the services' minimums at 4.5 cwt.
    const int liftgate = FindRate("Liftgate service charge");
    ASSERT_GE(liftgate, 0);
    EXPECT_EQ(quote.Lines()[static_cast<size_t>(liftgate)].charge.text, "$111.00");
    EXPECT_GE(FindRate("Residential delivery charge"), 0);
}

// A discount typed into the quote stays when a service is chosen in the window, which rates the
// same quote again; a rating refused then shows no quote, and the services and the discount of
// the quote before go with it, rather than into the next request from the main window.
TEST_F(QuoteWindowTest, ATypedDiscountStaysThroughAServiceChosenAndGoesWithARefusedRating) {
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int show) {
        if (show == 1) {
            // The discount dialog is another window's business: its confirmed percentage.
            quote.txtChgDisc = "20.0";
            quoteDiscount.gChgDiscClicked = true;
            CheckQuoteDiscount();
            ASSERT_EQ(quote.txtChgDisc, "20.0");
            Choose(w, "Residential delivery");
        }
        if (show == 2) {
            EXPECT_EQ(quote.txtChgDisc, "20.0");
            EXPECT_GE(FindRate("Residential delivery charge"), 0);
            // Another program takes the customer's discounts away meanwhile.
            Exec("DELETE FROM discounts");
            Choose(w, "Liftgate service");
        }
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_EQ(LoadedQuoteWindow(), nullptr);
    EXPECT_TRUE(rating.gEnteredDisc.empty());
    EXPECT_FALSE(rating.gQAccLiftgate || rating.gQAccResidential);
    EXPECT_EQ(TempOn("Liftgate service"), 0);
    EXPECT_EQ(TempOn("Residential delivery"), 0);
}

// Typing in the window's list moves the focus to the service named and chooses nothing, as the
// arrows do; Enter or Space chooses it, which rates again.
TEST_F(QuoteWindowTest, TypingInTheListChoosesNothing) {
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int show) {
        if (show != 1) return;
        w.show();
        QApplication::setActiveWindow(&w);
        w.mlblAccess_Click();
        ASSERT_EQ(QApplication::focusWidget(), w.lstAccessorials);
        QTest::keyClicks(w.lstAccessorials, "li");
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
        EXPECT_TRUE(w.lstAccessorials->selectedItems().isEmpty());
        ASSERT_NE(w.lstAccessorials->currentItem(), nullptr);
        EXPECT_EQ(w.lstAccessorials->currentItem()->text(), "Liftgate service");
        EXPECT_FALSE(rating.gQAccLiftgate);
        QTest::keyClick(w.lstAccessorials, Qt::Key_Space);
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_TRUE(rating.gQAccLiftgate);
    EXPECT_GE(FindRate("Liftgate service charge"), 0);
}

TEST_F(QuoteWindowTest, TheListOffersEachServiceOnceAndNeverTheSurcharge) {
    frmQPO& w = *QuoteWindow();
    w.mlblAccess_Click();
    const int count = w.lstAccessorials->count();
    EXPECT_EQ(w.lstAccessorials->selectedItems().size(), 0);
    EXPECT_EQ(Item(w, "HCDR"), nullptr);
    EXPECT_NE(Item(w, "Norvale GUARANTEED!"), nullptr);
    w.Form_Click();
    EXPECT_FALSE(w.lstAccessorials->isVisible());
    w.mlblAccess_Click();
    EXPECT_EQ(w.lstAccessorials->count(), count);
    EXPECT_NE(Item(w, "C.O.D."), nullptr);  // found exactly once
}

TEST_F(QuoteWindowTest, TheListSlidesOpenInEightTicksEachTimeItOpens) {
    frmQPO& w = *QuoteWindow();
    for (int opening = 0; opening < 2; ++opening) {
        w.mlblAccess_Click();
        EXPECT_EQ(w.accListTwips, QRect(120, 840, 1125, 300));
        for (int tick = 1; tick <= 8; ++tick) {
            ASSERT_TRUE(w.Timer1->isActive()) << tick;
            w.Timer1_Timer();
        }
        EXPECT_FALSE(w.Timer1->isActive());
        EXPECT_EQ(w.accListTwips.height(), 2360);
        EXPECT_EQ(w.accListTwips.width(), 4325);
        w.Form_Click();
    }
}

TEST_F(QuoteWindowTest, RefusedServicesAreExplainedAndRateNothing) {
    SetLine(0, "450", "100");
    commodityLines.gAccGuaranteed = true;
    messageScript.Start();
    script = [&](frmQPO& w, int show) {
        if (show != 1) return;
        Choose(w, "Liftgate service");
        EXPECT_FALSE(Item(w, "Liftgate service")->isSelected());
        Choose(w, "Thriftlane");
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
    };
    ASSERT_TRUE(RateShipment());
    EXPECT_EQ(shows.size(), 1u);
    const auto& log = messageScript.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].text, "Cannot add a Liftgate to a Guaranteed shipment.  ");
    EXPECT_EQ(log[0].title, "Service not Available");
    EXPECT_EQ(log[0].style, 48);
    // Guaranteed service leaves no Thriftlane lane.
    EXPECT_EQ(log[1].text, "Not a valid Thriftlane Lane  ");
    EXPECT_FALSE(rating.gQAccLiftgate);
    EXPECT_FALSE(rating.gQAccThriftlane);
    EXPECT_EQ(TempOn("Liftgate service"), 0);
    EXPECT_EQ(TempOn("Thriftlane"), 0);
}

TEST_F(QuoteWindowTest, AWindowBackFromTheDiscountEditorOffersTheNewDestinationsServices) {
    SetQuoteWindowHooks({nullptr, nullptr, [](bool) {}, nullptr, nullptr});
    script = [&](frmQPO& w, int show) {
        if (show == 1) {
            w.mlblAccess_Click();
            EXPECT_NE(Item(w, "Norvale GUARANTEED!"), nullptr);
            w.mlblDiscounts_Click();
            return;
        }
        // The next shipment goes to an island: the list comes back closed and without
        // guaranteed service.
        EXPECT_TRUE(w.lstAccessorials->isHidden());
        w.mlblAccess_Click();
        EXPECT_EQ(Item(w, "Norvale GUARANTEED!"), nullptr);
        EXPECT_NE(Item(w, "Liftgate service"), nullptr);
    };
    ShowQuoteWindowModally();
    rating.gOffshoreDestZip = "96813";
    ShowQuoteWindowModally();
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_EQ(shows[0], shows[1]);
}

TEST_F(QuoteWindowTest, AnOffshoreQuoteOffersNoGuaranteeAndNoRateTable) {
    SetQuoteMainWindowLink({[] { return std::string("HONOLULU, HI"); }, nullptr});
    rating.gOffshoreDestZip = "96813";
    frmQPO& w = *QuoteWindow();
    EXPECT_EQ(w.txtDestZip->text(), "96813 -- HONOLULU, HI");
    EXPECT_FALSE(w.mlblRates->isEnabled());
    w.mlblAccess_Click();
    EXPECT_EQ(Item(w, "Norvale GUARANTEED!"), nullptr);
    EXPECT_NE(Item(w, "Liftgate service"), nullptr);
    SetQuoteMainWindowLink({});
}

// ------------------------------------------------------------------ Canadian funds

TEST_F(QuoteWindowTest, TheCanadianLineIsAddedOncePerDisplay) {
    SetConfigValue("CDN_ExchangeRate", "1.0500");
    SetLine(0, "450", "100");
    ASSERT_TRUE(RateShipment());
    frmQPO& w = *shows.at(0);
    // What an economy pass would leave behind must not be converted: the quote shows 95.37.
    charges.gQuoteTotal = 500;
    const int below = quote.gQuoteLine + 1;
    const int used = quote.UsedLines();
    w.mlblCDNExch_Click();
    ASSERT_EQ(quote.UsedLines(), used + 1);
    EXPECT_EQ(quote.Lines()[static_cast<size_t>(below)].rate.text,
              "Charges in Canadian Funds at exchange rate of 1.0500");
    EXPECT_EQ(quote.Lines()[static_cast<size_t>(below)].charge.text, "$100.14");  // 95.37 x 1.05

    w.mlblCDNExch_Click();
    EXPECT_EQ(quote.UsedLines(), used + 1);
    // The discount dialog closed without a change: the quote is the same, so is its line.
    int dialogs = 0;
    SetQuoteWindowHooks({nullptr, [&] { ++dialogs; }, nullptr, nullptr, nullptr});
    w.txtChgDisc_Click();
    EXPECT_EQ(dialogs, 1);
    w.mlblCDNExch_Click();
    EXPECT_EQ(quote.UsedLines(), used + 1);

    // A confirmed discount writes a new quote, which may have its own line once.
    SetQuoteWindowHooks({nullptr,
                         [] {
                             for (auto& d : rating.gBreakDisc) d = "50.0";
                             ComputeCharges(0);
                             DisplayQuote(0);
                         },
                         nullptr, nullptr, nullptr});
    w.txtChgDisc_Click();
    EXPECT_EQ(w.txtChgDisc->text(), "50.0");
    EXPECT_EQ(FindRate("Charges in Canadian Funds at exchange rate of 1.0500"), -1);
    w.mlblCDNExch_Click();
    w.mlblCDNExch_Click();
    int lines = 0;
    for (const QuoteLine& l : quote.Lines())
        if (l.rate.text.rfind("Charges in Canadian Funds", 0) == 0) ++lines;
    EXPECT_EQ(lines, 1);
}

TEST_F(QuoteWindowTest, AtParTheWindowAsksForARateAndAddsNothing) {
    SetLine(0, "450", "100");
    ASSERT_TRUE(RateShipment());
    frmQPO& w = *shows.at(0);
    int dialogs = 0;
    SetQuoteWindowHooks({[&] { ++dialogs; }, nullptr, nullptr, nullptr, nullptr});
    const int used = quote.UsedLines();
    messageScript.Queue(kIdNo);
    w.mlblCDNExch_Click();
    messageScript.Queue(kIdYes);
    w.mlblCDNExch_Click();
    ASSERT_EQ(messageScript.Log().size(), 2u);
    const LoggedMessage& asked = messageScript.Log()[0];
    EXPECT_EQ(asked.text, "The Canadian exchange rate is set at par.  Would you like to set it?");
    EXPECT_EQ(asked.title, "No Exchange Rate set");
    EXPECT_EQ(asked.style, 36);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(quote.UsedLines(), used);
}

TEST_F(QuoteWindowTest, ARateBelowParIsConvertedAndOnlyNoRateAsksForOne) {
    SetLine(0, "450", "100");
    ASSERT_TRUE(RateShipment());
    frmQPO& w = *shows.at(0);
    const int used = quote.UsedLines();
    SetConfigValue("CDN_ExchangeRate", "1");  // the rate as it ships: none set yet
    messageScript.Queue(kIdNo);
    w.mlblCDNExch_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].title, "No Exchange Rate set");
    EXPECT_EQ(quote.UsedLines(), used);

    // The Canadian dollar above the U.S. dollar: 95.37 x 0.95 = 90.6015.
    SetConfigValue("CDN_ExchangeRate", "0.9500");
    w.mlblCDNExch_Click();
    EXPECT_EQ(messageScript.Log().size(), 1u);
    ASSERT_EQ(quote.UsedLines(), used + 1);
    EXPECT_EQ(quote.Line(used).rate.text, "Charges in Canadian Funds at exchange rate of 0.9500");
    EXPECT_EQ(quote.Line(used).charge.text, "$90.60");
}

// A damaged rate is named, and its dialog opens, rather than taken for par (text, a blank, 0)
// or multiplied into a figure no quote can hold (1e308).
TEST_F(QuoteWindowTest, ADamagedExchangeRateIsNamedAndItsDialogOpens) {
    SetLine(0, "450", "100");
    ASSERT_TRUE(RateShipment());
    frmQPO& w = *shows.at(0);
    int dialogs = 0;
    SetQuoteWindowHooks({[&] { ++dialogs; }, nullptr, nullptr, nullptr, nullptr});
    const int used = quote.UsedLines();
    messageScript.Start();
    for (const char* bad : {"abc", "1e308", "", "0", "1,3"}) {
        SCOPED_TRACE(bad);
        messageScript.ClearLog();
        SetConfigValue("CDN_ExchangeRate", bad);
        w.mlblCDNExch_Click();
        ASSERT_EQ(messageScript.Log().size(), 1u);
        EXPECT_EQ(messageScript.Log()[0].title, "Canadian Exchange Rate");
        EXPECT_EQ(messageScript.Log()[0].text.toStdString(),
                  "The setting CDN_ExchangeRate (the Canadian exchange rate) in the database " +
                      TariffDatabasePath() + " holds \"" + bad +
                      "\", which is not a number from 0.0001 to 9.9999.  Set it again under "
                      "Customize, Canadian Exchange... in the main window.");
        EXPECT_EQ(quote.UsedLines(), used);
    }
    EXPECT_EQ(dialogs, 5);
}

TEST_F(QuoteWindowTest, BetweenCanadianPointsThereIsNothingToConvert) {
    SetConfigValue("CDN_ExchangeRate", "1.0500");
    SetOrigin("M5V1A1", "M5V", "ON", 1);
    SetDest("H2Y1A1", "H2Y", "QC", 1);
    UseStandardLane(123039);
    AddDiscountRow("ALL", 254, 0, "35.0");
    SetLine(0, "450", "");
    commodityLines.txtDensity[0] = "12";
    ASSERT_TRUE(RateShipment());
    const int used = quote.UsedLines();
    messageScript.Start();
    shows.at(0)->mlblCDNExch_Click();
    ASSERT_EQ(messageScript.Log().size(), 1u);
    EXPECT_EQ(messageScript.Log()[0].text,
              "This price is in Canadian dollars.  Cannot convert to Canadian dollars.");
    EXPECT_EQ(messageScript.Log()[0].title, "Conversion Error");
    EXPECT_EQ(quote.UsedLines(), used);
}

// ------------------------------------------------------------------ leaving the window

TEST_F(QuoteWindowTest, DoneClearsTheQuoteOnlyChoicesAndUnloads) {
    SetLine(0, "450", "100");
    Exec("UPDATE accessorials SET \"temp on\" = 1 WHERE Name IN ('Redelivery', 'C.O.D.')");
    rating.gQAccInside = rating.gQAccResidential = rating.gQAccHazardous = true;
    script = [&](frmQPO& w, int) {
        rating.gPXSOn = rating.gPXSPass = rating.gGuaranteedOn = true;
        rating.gPXSEnteredPct = 20;
        w.mlblDone_Click();
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_TRUE(shows[0].isNull());
    EXPECT_EQ(LoadedQuoteWindow(), nullptr);
    EXPECT_EQ(TempOn("Redelivery"), 0);
    EXPECT_EQ(TempOn("C.O.D."), 0);
    EXPECT_FALSE(rating.gQAccInside || rating.gQAccResidential || rating.gQAccHazardous);
    EXPECT_FALSE(rating.gPXSOn || rating.gPXSPass || rating.gGuaranteedOn);
    EXPECT_EQ(rating.gPXSEnteredPct, 0);
}

TEST_F(QuoteWindowTest, AltAloneOrClosingTheWindowIsDoneAndOtherKeysDoNothing) {
    SetLine(0, "450", "100");
    rating.gQAccLiftgate = true;
    script = [&](frmQPO& w, int) {
        QTest::keyClick(w.sheet, Qt::Key_A);
        QTest::keyClick(&w, Qt::Key_Escape);
        QTest::keyClick(w.lstAccessorials, Qt::Key_Alt, Qt::AltModifier | Qt::ControlModifier);
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
        EXPECT_TRUE(rating.gQAccLiftgate);
        // Alt held for another key is no Done, on its press nor on its release: Alt-A, Alt-R,
        // Alt-F4 and Alt-Tab leave the quote as it is.
        for (Qt::Key other : {Qt::Key_A, Qt::Key_R, Qt::Key_F4, Qt::Key_Tab}) {
            QTest::keyPress(w.lstAccessorials, Qt::Key_Alt, Qt::AltModifier);
            EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
            QTest::keyClick(w.lstAccessorials, other, Qt::AltModifier);
            QTest::keyRelease(w.lstAccessorials, Qt::Key_Alt, Qt::NoModifier);
            EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open) << other;
            EXPECT_TRUE(rating.gQAccLiftgate) << other;
        }
        // A click while Alt is down spoils it too.
        QTest::keyPress(w.lstAccessorials, Qt::Key_Alt, Qt::AltModifier);
        QTest::mouseClick(w.picMenu, Qt::LeftButton, Qt::AltModifier, QPoint(2, 2));
        QTest::keyRelease(w.lstAccessorials, Qt::Key_Alt, Qt::NoModifier);
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
        // Alt pressed and released alone is Done.
        QTest::keyPress(w.lstAccessorials, Qt::Key_Alt, Qt::AltModifier);
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
        QTest::keyRelease(w.lstAccessorials, Qt::Key_Alt, Qt::NoModifier);
    };
    ASSERT_TRUE(RateShipment());
    EXPECT_TRUE(shows.at(0).isNull());
    EXPECT_FALSE(rating.gQAccLiftgate);

    // Closing the window by the window manager is Done too.
    rating.gQAccHazardous = true;
    script = [&](frmQPO& w, int) {
        w.show();
        w.close();
    };
    ASSERT_TRUE(RateShipment());
    EXPECT_TRUE(shows.at(1).isNull());
    EXPECT_FALSE(rating.gQAccHazardous);
}

TEST_F(QuoteWindowTest, DiscountsWithoutAnEditorLeaveTheQuoteAsItIs) {
    SetLine(0, "450", "100");
    auto texts = [] {
        std::vector<std::string> out;
        for (const QuoteLine& l : quote.Lines()) out.push_back(l.rate.text + "|" + l.charge.text);
        return out;
    };
    std::vector<std::string> before;
    script = [&](frmQPO& w, int) {
        w.show();
        before = texts();
        w.mlblDiscounts_Click();
        EXPECT_EQ(w.outcome(), frmQPO::Outcome::Open);
        EXPECT_TRUE(w.isVisible());
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_FALSE(shows.at(0).isNull());
    EXPECT_TRUE(shows[0]->isVisible());
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(texts(), before);
}

TEST_F(QuoteWindowTest, AQuoteOnlyServiceGoesWithTheWindowTheDiscountEditorHides) {
    SetQuoteWindowHooks({nullptr, nullptr, [](bool) {}, nullptr, nullptr});
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int show) {
        if (show == 1) Choose(w, "Liftgate service");
        if (show == 2) {
            ASSERT_GE(FindRate("Liftgate service charge"), 0);
            w.mlblDiscounts_Click();
        }
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_EQ(TempOn("Liftgate service"), 0);
    EXPECT_FALSE(rating.gQAccLiftgate);
    // The next rating charges what the main window chose, and that is no liftgate.
    script = nullptr;
    ASSERT_TRUE(RateShipment());
    EXPECT_LT(FindRate("Liftgate service charge"), 0);
}

TEST_F(QuoteWindowTest, TheDiscountEditorHidesTheWindowUntilTheNextRating) {
    std::vector<bool> editors;
    SetQuoteWindowHooks({nullptr, nullptr, [&](bool locations) { editors.push_back(locations); },
                         nullptr, nullptr});
    SetLine(0, "450", "100");
    script = [&](frmQPO& w, int show) {
        w.show();
        if (show == 1) w.mlblDiscounts_Click();
    };
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(editors, std::vector<bool>{false});
    ASSERT_FALSE(shows.at(0).isNull());
    EXPECT_FALSE(shows[0]->isVisible());
    EXPECT_EQ(LoadedQuoteWindow(), shows[0].data());

    // The next rating writes into the same window, with the new shipment's ends.
    Exec("INSERT INTO shipzips (zip) VALUES ('532')");
    SetDest("60601", "606", "IL", 0);
    tariff.gDestCityState = "Chicago, IL";
    ASSERT_TRUE(RateShipment());
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_EQ(shows[1], shows[0]);
    EXPECT_EQ(shows[1]->txtDestZip->text(), "60601 -- Chicago, IL");
    EXPECT_TRUE(shows[1]->isVisible());
    shows[1]->mlblDiscounts_Click();
    EXPECT_EQ(editors, (std::vector<bool>{false, true}));
}

}  // namespace
