// The printed quote: its layout by character column, and a PDF of it read back.

#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <tuple>

#include "displayquote.h"
#include "messagebox.h"
#include "printquote.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingfixture.h"
#include "testdata.h"
#include "textprinter.h"

namespace {

const std::string kDiscountCaption = "Norvale Freight          % Discount Saves You";

void Write(int n, const std::string& cls, const std::string& weight, const std::string& rate,
           const std::string& charge) {
    QuoteLine& line = quote.Line(n);
    line.cls.text = cls;
    line.weight.text = weight;
    line.rate.text = rate;
    line.charge.text = charge;
}

class PrintQuote : public ::testing::Test {
  protected:
    void SetUp() override {
        messageScript.Reset();
        messageScript.Start();
        quote.Reset();
        quote.txtOriginZip = "53202 -- MILWAUKEE, WI";
        quote.txtDestZip = "43215 -- COLUMBUS, OH";
        quote.txtChgDisc = "35.5";
        // As the quote display leaves a sheet: cells not written hold one blank, the class
        // column stays empty.
        for (int n = 1; n < kQuoteDesignLines; ++n) Write(n, "", " ", " ", " ");
        Write(0, "100", "1000 lbs", "$30.00", "$300.00");
        Write(1, "", " ", kDiscountCaption, "$106.50");
        Write(2, "", " ", "Net Charges", "$193.50");
        Write(3, "", " ", "Liftgate service", "$111.00");
        Write(5, "", " ", "TOTAL CHARGES", "$304.50");
        Write(7, "", " ", "Norvale GUARANTEED! service is available on this lane", " ");
    }
    void TearDown() override {
        SetPrinterChooser(nullptr);
        messageScript.Reset();
        quote.Reset();
    }
    void PrintTo(const QString& path) {
        SetPrinterChooser(ChoosePdfFile(path));
    }
    // The items printed under the column headings.
    std::vector<PrintedText> QuoteItems() {
        TextPrinter printer;
        printer.SetPdfFile(dir.filePath(QStringLiteral("layout.pdf")));
        LayOutRateQuote(printer);
        const auto& all = printer.Texts();
        auto heading = std::find_if(all.begin(), all.end(), [](const PrintedText& t) {
            return t.text == QStringLiteral("Charge");
        });
        return heading == all.end() ? std::vector<PrintedText>{}
                                    : std::vector<PrintedText>(heading + 1, all.end());
    }
    static const PrintedText* Find(const std::vector<PrintedText>& items, const QString& text) {
        for (const PrintedText& t : items)
            if (t.text == text) return &t;
        return nullptr;
    }
    QTemporaryDir dir;
};

TEST_F(PrintQuote, APdfOfTheQuoteReadsBackLineByLine) {
    const QString path = dir.filePath(QStringLiteral("quote.pdf"));
    PrintTo(path);
    ASSERT_EQ(PrintRateQuote(), QuotePrintResult::Printed);
    EXPECT_TRUE(messageScript.Log().empty());
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), path, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QStringList lines =
        QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\n'));

    // Each of these printer lines holds its texts in this order, and they follow one another.
    const std::vector<QStringList> expected = {
        {"Norvale Freight Fretlyn 2007"},
        {"Origin", "zip code -- 53202 -- MILWAUKEE, WI"},
        {"Destination zip code -- 43215 -- COLUMBUS, OH"},
        {"Class", "Weight", "Rate", "Charge"},
        {"100", "1000 lbs", "$30.00", "$300.00"},
        {"Norvale Freight 35.5% Discount Saves You", "$106.50"},
        {"Net Charges", "$193.50"},
        {"Liftgate service", "$111.00"},
        {"TOTAL CHARGES", "$304.50"},
        {"Norvale GUARANTEED! service is available on this lane"},
    };
    int from = 0;
    for (const QStringList& texts : expected) {
        auto holds = [&](const QString& line) {
            qsizetype at = 0;
            for (const QString& text : texts) {
                at = line.indexOf(text, at);
                if (at < 0) return false;
                at += text.size();
            }
            return true;
        };
        while (from < lines.size() && !holds(lines[from])) ++from;
        ASSERT_LT(from, lines.size()) << texts.join(QLatin1Char('|')).toStdString() << "\n"
                                      << lines.join(QLatin1Char('\n')).toStdString();
        ++from;
    }
    EXPECT_EQ(lines.join(QLatin1Char('\n')).count(QStringLiteral("Saves You")), 1);
}

// The print dialog proposes a file named after the quote's two points; the PDF's title says
// what it is.
TEST_F(PrintQuote, ThePrintedQuoteIsNamedAfterItsPoints) {
    const QString path = dir.filePath(QStringLiteral("chosen.pdf"));
    QString proposed;
    SetPrinterChooser(ChoosePdfFile(path, &proposed));
    ASSERT_EQ(PrintRateQuote(), QuotePrintResult::Printed);
    EXPECT_EQ(proposed, "quote-53202-43215.pdf");
    EXPECT_EQ(PdfTitle(path.toStdString()),
              "Norvale Freight rate quote 53202 MILWAUKEE, WI to 43215 COLUMBUS, OH");
}

TEST_F(PrintQuote, CancelPrintsNothingAndSaysNothing) {
    SetPrinterChooser([](QPrinter&, QWidget*) { return PrinterChoice::Cancelled; });
    EXPECT_EQ(PrintRateQuote(), QuotePrintResult::Cancelled);
    EXPECT_TRUE(messageScript.Log().empty());
    EXPECT_EQ(quote.txtChgDisc, "35.5");
}

TEST_F(PrintQuote, APrinterThatFailsIsReported) {
    const QString path = dir.filePath(QStringLiteral("no/such/folder/quote.pdf"));
    PrintTo(path);
    EXPECT_EQ(PrintRateQuote(), QuotePrintResult::Failed);
    ASSERT_EQ(messageScript.Log().size(), 1u);
    const LoggedMessage& m = messageScript.Log()[0];
    EXPECT_EQ(m.title, QStringLiteral("Print Error"));
    EXPECT_TRUE(m.text.startsWith(QStringLiteral("The quote could not be printed.")));
    EXPECT_TRUE(m.text.contains(path));
}

TEST_F(PrintQuote, CellsAreRightAlignedAtTheirColumnsOneLineForEachLineOfTheSheet) {
    const auto items = QuoteItems();
    const PrintedText* cls = Find(items, QStringLiteral("  100"));
    const PrintedText* weight = Find(items, QStringLiteral(" 1000 lbs"));
    const PrintedText* rate = Find(items, QStringLiteral("   $30.00"));
    const PrintedText* charge = Find(items, QStringLiteral("  $300.00"));
    ASSERT_TRUE(cls && weight && rate && charge);
    EXPECT_EQ(cls->column, 5);
    EXPECT_EQ(weight->column, 20);
    EXPECT_EQ(rate->column, 45);
    EXPECT_EQ(charge->column, 63);
    EXPECT_EQ(cls->line, charge->line);
    // Other text of the rate column ends at column 53, beside its amount.
    const PrintedText* total =
        Find(items, QString(30, QLatin1Char(' ')) + QStringLiteral("TOTAL CHARGES"));
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->column, 11);
    EXPECT_EQ(Find(items, QStringLiteral("  $304.50"))->line, total->line);

    // Every line of the sheet starts a printer line at its class, an empty one as five
    // blanks; a cell of one blank was never written and prints nothing.
    int classCells = 0;
    int lastLine = 0;
    for (const PrintedText& t : items) {
        if (t.column == 5) {
            ++classCells;
            EXPECT_GT(t.line, lastLine);
            lastLine = t.line;
        } else {
            EXPECT_FALSE(t.text.trimmed().isEmpty()) << "at column " << t.column;
        }
    }
    EXPECT_EQ(classCells, kQuoteDesignLines);
}

TEST_F(PrintQuote, OnlyTheTwoDiscountCaptionsAreRebuiltWithThePercentage) {
    Write(4, "", " ", "Thriftlane          % Discount Saves You", "$35.00");
    Write(6, "", " ", "Norvale Canada discount included in above rate ", " ");
    Write(8, "", " ", "Thriftlane Service Standard: 4 Days", " ");
    const auto items = QuoteItems();
    // 40 characters, wider than the column's 37: printed whole.
    const PrintedText* carrier =
        Find(items, QStringLiteral("Norvale Freight 35.5% Discount Saves You"));
    const PrintedText* economy =
        Find(items, QStringLiteral("  Thriftlane 35.5% Discount Saves You"));
    ASSERT_TRUE(carrier && economy);
    EXPECT_EQ(carrier->column, 17);
    EXPECT_EQ(economy->column, 17);
    // Captions that merely begin like them print as they are.
    const PrintedText* canada =
        Find(items, QStringLiteral("Norvale Canada discount included in above rate "));
    ASSERT_NE(canada, nullptr);
    EXPECT_EQ(canada->column, 11);
    EXPECT_NE(Find(items, QString(8, QLatin1Char(' ')) +
                              QStringLiteral("Thriftlane Service Standard: 4 Days")),
              nullptr);
    EXPECT_NE(Find(items, QStringLiteral("Norvale GUARANTEED! service is available on this lane")),
              nullptr);
}

TEST_F(PrintQuote, BetweenCanadianPointsEachLineStaysOneLineAndTheNoteStaysOnThePage) {
    // As the quote display writes a quote between two Canadian points: no class, and the
    // discount taken off already.
    quote.Reset();
    for (int n = 0; n < kQuoteDesignLines; ++n) Write(n, "", " ", " ", " ");
    Write(0, "", "1200 lbs", "$31.18", "$374.16");
    Write(1, "", "300 lbs", "$44.02", "$132.06");
    Write(2, "", " ", "TOTAL CHARGES", "$506.22");
    const std::string note = "Norvale Canada discount included in above rate ";
    Write(3, "", " ", " ", note);
    const auto items = QuoteItems();
    for (const auto& [weight, rate, charge] : {std::tuple{" 1200 lbs", "   $31.18", "  $374.16"},
                                               std::tuple{"  300 lbs", "   $44.02", "  $132.06"}}) {
        const PrintedText* w = Find(items, QString::fromLatin1(weight));
        const PrintedText* r = Find(items, QString::fromLatin1(rate));
        const PrintedText* c = Find(items, QString::fromLatin1(charge));
        ASSERT_TRUE(w && r && c) << weight;
        EXPECT_EQ(r->line, w->line) << rate;
        EXPECT_EQ(c->line, w->line) << charge;
        EXPECT_EQ(r->column, 45);
    }
    // A line of text alone in the charge column ends where the column ends, on the page.
    const PrintedText* n = Find(items, QString::fromStdString(note));
    ASSERT_NE(n, nullptr);
    const PrintedText* total = Find(items, QStringLiteral("  $506.22"));
    ASSERT_NE(total, nullptr);
    EXPECT_GT(n->line, total->line);
    QPrinter page(QPrinter::HighResolution);
    page.setOutputFormat(QPrinter::PdfFormat);
    const double pageWidth = page.pageLayout().paintRectPixels(page.resolution()).width();
    EXPECT_LE(n->box.right(), pageWidth);
    // Anchored to the right: it reaches past where the rate column's texts end.
    const auto caption = std::find_if(items.begin(), items.end(), [](const PrintedText& t) {
        return t.text.endsWith(QStringLiteral("TOTAL CHARGES"));
    });
    ASSERT_NE(caption, items.end());
    EXPECT_GT(n->box.right(), caption->box.right());
    // Every sheet line still starts its own printer line.
    int classCells = 0;
    for (const PrintedText& t : items) classCells += t.column == 5;
    EXPECT_EQ(classCells, kQuoteDesignLines);
}

// The largest amounts a quote shows (class 500 from Miami to Seattle, a fuel surcharge near
// 200 %) print whole: a rate with its thousands separator right-aligned under "Rate" like every
// other rate, a charge of six figures clear of the caption beside it.
TEST_F(PrintQuote, TheLargestAmountsPrintWholeUnderTheirHeadings) {
    Write(0, "500", "450 lbs", "$1,142.85", "$5,142.82");
    Write(1, "500", "40 lbs", "$30.00", "$457.14");
    Write(4, "", " ", "Fuel Surcharge 199.8%", "$143,098.76");
    Write(5, "", " ", "TOTAL CHARGES", "$1,216,719.76");
    const auto items = QuoteItems();
    auto ends = [](const PrintedText& t) { return t.column + static_cast<int>(t.text.size()) - 1; };
    const PrintedText* large = Find(items, QStringLiteral("$1,142.85"));
    const PrintedText* small = Find(items, QStringLiteral("   $30.00"));
    ASSERT_TRUE(large && small);
    EXPECT_EQ(ends(*large), 53);
    EXPECT_EQ(ends(*small), 53);
    for (const char* amount : {"$143,098.76", "$1,216,719.76"}) {
        const PrintedText* charge = Find(items, QString::fromLatin1(amount));
        ASSERT_NE(charge, nullptr) << amount;
        EXPECT_EQ(ends(*charge), 71) << amount;
        for (const PrintedText& t : items) {
            if (t.line != charge->line || &t == charge) continue;
            EXPECT_LT(t.box.right(), charge->box.left())
                << amount << " beside " << t.text.toStdString();
        }
    }
}

TEST_F(PrintQuote, TheMinimumChargeMarkStaysBesideItsWeight) {
    Write(0, "100", "400 lbs", "M", "$98.00");
    const auto items = QuoteItems();
    const PrintedText* weight = Find(items, QStringLiteral("  400 lbs"));
    ASSERT_NE(weight, nullptr);
    const auto mark = std::find_if(items.begin(), items.end(), [](const PrintedText& t) {
        return t.text.trimmed() == QStringLiteral("M");
    });
    ASSERT_NE(mark, items.end());
    EXPECT_EQ(mark->line, weight->line);
    EXPECT_GT(mark->column, 28);
    EXPECT_EQ(mark->column + mark->text.size() - 1, 53);  // ends where rate texts end
    EXPECT_EQ(Find(items, QStringLiteral("   $98.00"))->line, weight->line);
}

// A quote as the quote display writes it is printed line for line as the window shows it.
class PrintRatedQuote : public RatingTest {
  protected:
    void TearDown() override {
        quote.Reset();
        quoteDisplay.Reset();
        RatingTest::TearDown();
    }
};

TEST_F(PrintRatedQuote, TheNetLinesBetweenCanadianPointsArePrintedAsTheWindowShowsThem) {
    UseStandardQuote();
    UseCanadianDeficitQuote();
    ASSERT_TRUE(RateShipment()) << (messages.empty() ? "" : messages.back().text);
    DisplayQuote(0);

    QTemporaryDir dir;
    TextPrinter printer;
    printer.SetPdfFile(dir.filePath(QStringLiteral("rated.pdf")));
    LayOutRateQuote(printer);
    std::vector<QString> printed;
    for (const PrintedText& t : printer.Texts()) printed.push_back(t.text.trimmed());
    // Every cell the window shows, in the window's order, the net deficit line among them.
    auto at = std::find(printed.begin(), printed.end(), QStringLiteral("Charge"));
    ASSERT_NE(at, printed.end());
    int deficits = 0;
    for (const QuoteLine& line : quote.Lines()) {
        deficits += line.cls.text == "Deficit Amount";
        for (const QuoteCell* cell : {&line.cls, &line.weight, &line.rate, &line.charge}) {
            const QString text = QString::fromStdString(cell->text).trimmed();
            if (text.isEmpty()) continue;
            at = std::find(at, printed.end(), text);
            ASSERT_NE(at, printed.end()) << cell->text;
            ++at;
        }
    }
    EXPECT_EQ(deficits, 1);
}

}  // namespace
