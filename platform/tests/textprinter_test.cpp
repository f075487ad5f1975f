#include "textprinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {

// The text of a PDF file as pdftotext lays it out, one string per line; pages are separated by
// a form feed at the start of the next page's first line.
QStringList PdfLines(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
}

int LineHolding(const QStringList& lines, const QString& text) {
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(text)) return i;
    return -1;
}

class TextPrinterTest : public ::testing::Test {
  protected:
    void TearDown() override { SetPrinterChooser(nullptr); }
    QString Pdf(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(TextPrinterTest, TabColumnsAreAverageCharactersOfTheCurrentFont) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("cols.pdf")));
    printer.SetFontSize(12);
    const double column = printer.ColumnWidth();
    ASSERT_GT(column, 0);
    printer.PrintAt(1, QStringLiteral("A"));
    printer.PrintAt(20, QStringLiteral("B"), true);
    const auto& texts = printer.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[0].box.left(), 0);
    EXPECT_DOUBLE_EQ(texts[1].box.left(), 19 * column);
    EXPECT_EQ(texts[1].line, 1);
    EXPECT_EQ(texts[1].column, 20);

    printer.SetFontSize(24);
    EXPECT_GT(printer.ColumnWidth(), 1.5 * column);
}

TEST_F(TextPrinterTest, AColumnLeftOfThePositionGoesToTheNextLine) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("next.pdf")));
    printer.PrintAt(5, QStringLiteral("first item"));
    printer.PrintAt(10, QStringLiteral("x"));    // inside "first item": next line
    printer.PrintAt(40, QStringLiteral("y"));    // right of it: same line
    printer.PrintAt(40, QStringLiteral("end"), true);  // just past "y": next line, then ends it
    printer.PrintAt(1, QStringLiteral("z"));
    const auto& t = printer.Texts();
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].line, 2);
    EXPECT_EQ(t[2].line, 2);
    EXPECT_EQ(t[3].line, 3);
    EXPECT_EQ(t[4].line, 4);
    EXPECT_DOUBLE_EQ(t[1].box.left(), t[0].box.left() + 5 * printer.ColumnWidth());
    EXPECT_GT(t[4].box.top(), t[3].box.top());
}

TEST_F(TextPrinterTest, AColumnWhereThePreviousItemEndedStaysOnTheLine) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("same.pdf")));
    printer.PrintAt(1, QStringLiteral("ab"));
    const double end = printer.Texts()[0].box.right();
    // The column just at or after the end of "ab".
    int column = 1;
    while ((column - 1) * printer.ColumnWidth() < end) ++column;
    printer.PrintAt(column, QStringLiteral("c"));
    EXPECT_EQ(printer.Texts()[1].line, 1);
}

TEST_F(TextPrinterTest, EmptyLinesMoveDownByTheLineHeightOfTheCurrentFont) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("empty.pdf")));
    printer.SetFontSize(10);
    printer.Print(QStringLiteral("a"), true);
    printer.EndLine();
    printer.Print(QStringLiteral("b"), true);
    const auto& t = printer.Texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].line, 3);
    EXPECT_NEAR(t[1].box.top() - t[0].box.top(), 2 * (t[1].box.top() - t[0].box.top()) / 2, 1e-9);
    printer.SetFontSize(20);
    printer.EndLine();
    printer.SetFontSize(10);
    printer.Print(QStringLiteral("c"));
    const double small = (t[1].box.top() - t[0].box.top()) / 2;
    EXPECT_GT(t[2].box.top() - t[1].box.top(), 2.5 * small);
}

TEST_F(TextPrinterTest, FontsAndColoursAreKeptWithEachItem) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("fonts.pdf")));
    printer.SetFontName(QStringLiteral("Arial"));
    printer.SetFontSize(18);
    printer.SetBold(true);
    printer.SetItalic(true);
    printer.SetForeColor(0xFF0000);
    printer.Print(QStringLiteral("Title"), true);
    printer.SetBold(false);
    printer.SetItalic(false);
    printer.SetUnderline(true);
    printer.SetFontSize(12);
    printer.SetForeColor(0);
    printer.Print(QStringLiteral("Heading"), true);
    const auto& t = printer.Texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].font.family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(t[0].font.pointSizeF(), 18);
    EXPECT_TRUE(t[0].font.bold());
    EXPECT_TRUE(t[0].font.italic());
    EXPECT_EQ(t[0].color, QColor(0, 0, 255));  // blue: red is the low byte
    EXPECT_FALSE(t[1].font.bold());
    EXPECT_TRUE(t[1].font.underline());
    EXPECT_EQ(t[1].color, QColor(0, 0, 0));
}

TEST_F(TextPrinterTest, APdfReadsBackWithItsLinesAndColumns) {
    const QString path = Pdf(QStringLiteral("read.pdf"));
    TextPrinter printer;
    printer.SetPdfFile(path);
    printer.SetFontName(QStringLiteral("Courier New"));
    printer.SetFontSize(12);
    printer.PrintAt(5, QStringLiteral("Class"));
    printer.PrintAt(30, QStringLiteral("Charge"), true);
    printer.PrintAt(5, QStringLiteral("100"));
    printer.PrintAt(30, QStringLiteral("$300.00"), true);
    ASSERT_TRUE(printer.EndDoc()) << printer.ErrorText().toStdString();
    const QStringList lines = PdfLines(path);
    const int heading = LineHolding(lines, QStringLiteral("Class"));
    ASSERT_GE(heading, 0) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[heading].contains(QStringLiteral("Charge")));
    EXPECT_EQ(LineHolding(lines, QStringLiteral("$300.00")), heading + 1);
    EXPECT_TRUE(lines[heading + 1].contains(QStringLiteral("100")));
    // In a fixed-pitch font the columns come back as they were asked for.
    EXPECT_EQ(lines[heading].indexOf(QStringLiteral("Charge")) -
                  lines[heading].indexOf(QStringLiteral("Class")),
              25);
}

TEST_F(TextPrinterTest, ALongDocumentBreaksIntoPages) {
    const QString path = Pdf(QStringLiteral("pages.pdf"));
    TextPrinter printer;
    printer.SetPdfFile(path);
    for (int i = 1; i <= 150; ++i) printer.PrintAt(1, QStringLiteral("row %1").arg(i), true);
    EXPECT_GE(printer.PageCount(), 2);
    EXPECT_EQ(printer.Texts().front().page, 0);
    EXPECT_EQ(printer.Texts().back().page, printer.PageCount() - 1);
    // The first row of a new page is at the top of it.
    for (size_t i = 1; i < printer.Texts().size(); ++i)
        if (printer.Texts()[i].page != printer.Texts()[i - 1].page) {
            EXPECT_DOUBLE_EQ(printer.Texts()[i].box.top(), 0);
            EXPECT_EQ(printer.Texts()[i].line, 1);
        }
    ASSERT_TRUE(printer.EndDoc());
    const QString all = PdfLines(path).join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("row 1\n")));
    EXPECT_TRUE(all.contains(QStringLiteral("row 150")));
    EXPECT_GE(all.count(QLatin1Char('\f')), 1);
}

TEST_F(TextPrinterTest, EachDocumentStartsOnANewPageOfTheSameFile) {
    const QString path = Pdf(QStringLiteral("docs.pdf"));
    TextPrinter printer;
    printer.SetPdfFile(path);
    printer.Print(QStringLiteral("sheet one"), true);
    ASSERT_TRUE(printer.EndDoc());
    printer.Print(QStringLiteral("sheet two"), true);
    printer.NewPage();
    printer.Print(QStringLiteral("sheet three"), true);
    ASSERT_TRUE(printer.EndDoc());
    // Nothing pending: ending again sends nothing and is no error.
    EXPECT_TRUE(printer.EndDoc());
    EXPECT_EQ(printer.PageCount(), 3);
    const QStringList pages =
        PdfLines(path).join(QLatin1Char('\n')).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("sheet one")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("sheet two")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("sheet three")));
}

TEST_F(TextPrinterTest, APictureIsPlacedInTwipsAndLeavesThePositionAlone) {
    TextPrinter printer;
    printer.SetPdfFile(Pdf(QStringLiteral("pic.pdf")));
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    printer.PaintPicture(logo, 1440, 720);
    printer.PaintPicture(logo, 0, 0, 2880, 1440);
    printer.Print(QStringLiteral("after"), true);
    ASSERT_EQ(printer.Pictures().size(), 2u);
    QPrinter reference(QPrinter::HighResolution);
    const double dpi = reference.resolution();
    // One inch right, half an inch down; 96 dots at 96 dots per inch are one inch wide.
    EXPECT_DOUBLE_EQ(printer.Pictures()[0].box.left(), dpi);
    EXPECT_DOUBLE_EQ(printer.Pictures()[0].box.top(), dpi / 2);
    EXPECT_DOUBLE_EQ(printer.Pictures()[0].box.width(), dpi);
    EXPECT_DOUBLE_EQ(printer.Pictures()[1].box.width(), 2 * dpi);
    EXPECT_DOUBLE_EQ(printer.Texts()[0].box.top(), 0);
    EXPECT_TRUE(printer.EndDoc());
}

TEST_F(TextPrinterTest, TheChooserDecidesTheOutputAndItsCancelIsSeen) {
    const QString path = Pdf(QStringLiteral("chosen.pdf"));
    SetPrinterChooser([&](QPrinter& p, QWidget*) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(path);
        return PrinterChoice::Chosen;
    });
    TextPrinter printer;
    ASSERT_EQ(printer.ChoosePrinter(), PrinterChoice::Chosen);
    printer.Print(QStringLiteral("chosen"), true);
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_GE(LineHolding(PdfLines(path), QStringLiteral("chosen")), 0);

    SetPrinterChooser([](QPrinter&, QWidget*) { return PrinterChoice::Cancelled; });
    TextPrinter cancelled;
    EXPECT_EQ(cancelled.ChoosePrinter(), PrinterChoice::Cancelled);
}

TEST_F(TextPrinterTest, AnOutputThatCannotBeWrittenIsReported) {
    const QString path = dir.filePath(QStringLiteral("missing/folder/out.pdf"));
    TextPrinter printer;
    printer.SetPdfFile(path);
    printer.Print(QStringLiteral("lost"), true);
    EXPECT_FALSE(printer.EndDoc());
    EXPECT_TRUE(printer.ErrorText().contains(path)) << printer.ErrorText().toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(TextPrinterTest, ADocumentWithNothingInItWritesNothing) {
    const QString path = Pdf(QStringLiteral("nothing.pdf"));
    TextPrinter printer;
    printer.SetPdfFile(path);
    EXPECT_TRUE(printer.EndDoc());
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
