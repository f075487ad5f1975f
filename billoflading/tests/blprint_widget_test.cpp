// The Print command end to end on the sample tariff: the real rating and printing behind the
// window's hooks, the printer pointed at PDF files, the reader a recorder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QString>

#include "blhooks.h"
#include "blprint.h"
#include "blrate.h"
#include "blratefixture.h"
#include "blstate.h"
#include "displayquote.h"
#include "frmbl.h"
#include "frmqpo.h"
#include "pdfform.h"
#include "pdfreader.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "tariffdb.h"
#include "textprinter.h"

namespace {

class BLPrintCommandTest : public BLRatingTest {
  protected:
    void SetUp() override {
        BLRatingTest::SetUp();
        InstallBLRatePrint();
        // Each printed quote goes to a file of its own, noted in the same record as the
        // files the reader is given.
        SetPdfReader([this](const std::string& path) {
            events.push_back("reader " + std::filesystem::path(path).filename().string());
            return true;
        });
        SetPrinterChooser([this](QPrinter& printer, QWidget*) {
            const std::string path =
                (output / ("quote" + std::to_string(++quotes) + ".pdf")).string();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(path));
            events.push_back("printer quote" + std::to_string(quotes));
            return PrinterChoice::Chosen;
        });
    }
    void TearDown() override {
        SetPrinterChooser(nullptr);
        SetBLRatePrintHooks({});
        BLRatingTest::TearDown();
    }

    std::vector<std::string> events;
    int quotes = 0;
};

TEST_F(BLPrintCommandTest, TwoCopiesWithRatesPrintTheBillThenItsQuoteTwice) {
    SetMainRequest("10001", "60601", {{"300", "85"}});
    const std::string mainOrigin = tariff.gOrigZip;
    AddBillBetween("B-77", "53202", "43215", {{"70", "3", "450"}});
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    PrintBLCopies("B-77");

    EXPECT_EQ(events, (std::vector<std::string>{"reader BL.pdf", "printer quote1", "reader BL.pdf",
                                                "printer quote2"}));
    EXPECT_TRUE(Shown().empty()) << ShownTexts().front();
    EXPECT_EQ(ReadPdfFormFields((output / "BL.pdf").string()).at("SN#"), "B-77");
    for (const char* file : {"quote1.pdf", "quote2.pdf"}) {
        const std::string text = PdfText((output / file).string());
        EXPECT_NE(text.find("zip code -- 53202"), std::string::npos) << text;
        EXPECT_NE(text.find("Destination zip code -- 43215"), std::string::npos) << text;
        EXPECT_NE(text.find("450 lbs"), std::string::npos) << text;
    }
    // The main window's request is back once the quotes are out.
    EXPECT_EQ(tariff.gOrigZip, mainOrigin);
    EXPECT_FALSE(blWindow.BLPrinting);
}

TEST_F(BLPrintCommandTest, ABillOnALaneNotServedPrintsItsCopiesWithoutQuotes) {
    AddBillBetween("B-78", "53202", "X0A 1A0", {{"100", "1", "999"}});
    SetSetting("BL_Copies", "2");
    SetSetting("BL_PrintRates", "yes");
    PrintBLCopies("B-78");
    EXPECT_EQ(events, (std::vector<std::string>{"reader BL.pdf", "reader BL.pdf"}));
    ASSERT_EQ(Shown().size(), 2u);
    for (const auto& m : Shown()) EXPECT_EQ(m.title.toStdString(), "No Service");
}

// The quote window itself, shown for a main-window quote and then for a bill: each display
// draws its own ends, and an accessorial added in the window rates the bill again, not the
// main window's shipment.
TEST_F(BLPrintCommandTest, TheQuoteWindowShowsTheBillAndRatesTheBillAgain) {
    SetBLQuoteShow(nullptr);
    std::vector<std::string> headers;
    int shown = 0;
    SetQuoteWindowShow([&](frmQPO& window) {
        headers.push_back(window.txtOriginZip->text().toStdString());
        if (++shown == 2) {
            // The bill's window: add residential delivery, which rates again.
            window.mlblAccess_Click();
            const auto items = window.lstAccessorials->findItems(
                QStringLiteral("Residential delivery"), Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            items.front()->setSelected(true);
            window.lstAccessorials_Click();
            return;
        }
        window.mlblDone_Click();
    });

    SetMainRequest("10001", "60601", {{"300", "85"}});
    ASSERT_TRUE(RateShipment());
    DisplayQuote(0);
    ShowQuoteWindowModally();

    AddBillBetween("B-79", "53202", "43215", {{"70", "3", "450"}});
    EXPECT_TRUE(RateBL("B-79", 0));
    SetQuoteWindowShow(nullptr);
    UnloadQuoteWindow();

    ASSERT_EQ(headers.size(), 3u);
    EXPECT_EQ(headers[0].substr(0, 5), "10001");
    EXPECT_EQ(headers[1].substr(0, 5), "53202");
    EXPECT_EQ(headers[2].substr(0, 5), "53202");
    // The third window was the bill's quote again, with the delivery added.
    bool residential = false;
    for (const QuoteLine& line : quote.Lines())
        residential = residential || line.rate.text.find("Residential") != std::string::npos;
    EXPECT_TRUE(residential);
    EXPECT_EQ(tariff.gOrigZip, "10001");
}

// Text put into the number box without a key (a paste) names no bill: Rate and Print act on
// the bill the window shows.
TEST_F(BLPrintCommandTest, RateAndPrintUseTheBillShownNotTheNumberBoxText) {
    AddBillBetween("100", "53202", "43215", {{"70", "3", "450"}});
    AddBillBetween("200", "10001", "60601", {{"85", "1", "300"}});
    frmBL* w = BLWindow();
    w->Form_Load();
    ASSERT_EQ(w->cmbBillNbr->currentText(), QStringLiteral("100"));
    w->cmbBillNbr->setEditText(QStringLiteral("200"));

    w->mlblRate_Click();
    EXPECT_EQ(quoteWindowsShown, 1);
    EXPECT_EQ(quote.txtOriginZip.substr(0, 5), "53202");

    w->mlblPrint_Click();
    EXPECT_EQ(ReadPdfFormFields((output / "BL.pdf").string()).at("SN#"), "100");
    EXPECT_TRUE(Shown().empty()) << ShownTexts().front();
    DestroyBLWindow();
}

}  // namespace
