#include "textprinter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cerrno>

#include "filesizelimit.h"
#include "savefile.h"

namespace {

// The text of a PDF file as pdftotext lays it out; a page after the first starts with a form
// feed.
QString PdfText(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

class TextPrinterTest : public ::testing::Test {
  protected:
    void SetUp() override { printer.SetPdfFile(Pdf(QStringLiteral("out.pdf"))); }
    void TearDown() override { SetPrinterChooser(nullptr); }
    QString Pdf(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    TextPrinter printer;
};

TEST_F(TextPrinterTest, AnItemGoesToItsColumnOrToThatColumnOfTheNextLine) {
    printer.SetFontSize(12);
    const double column = printer.ColumnWidth();
    ASSERT_GT(column, 0);
    printer.PrintAt(5, QStringLiteral("first item"));
    printer.PrintAt(10, QStringLiteral("x"));  // inside "first item": next line
    printer.PrintAt(40, QStringLiteral("y"), true);
    printer.PrintAt(1, QStringLiteral("z"));
    const auto& t = printer.Texts();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_DOUBLE_EQ(t[0].box.left(), 4 * column);
    EXPECT_EQ(t[1].line, 2);
    EXPECT_DOUBLE_EQ(t[1].box.left(), 9 * column);
    EXPECT_EQ(t[2].line, 2);
    EXPECT_EQ(t[2].column, 40);
    EXPECT_EQ(t[3].line, 3);
    printer.SetFontSize(24);
    EXPECT_GT(printer.ColumnWidth(), 1.5 * column);
}

TEST_F(TextPrinterTest, LinesMoveDownByTheLineHeightOfTheCurrentFont) {
    QPrinter reference(QPrinter::HighResolution);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    const double small = QFontMetricsF(font, &reference).lineSpacing();
    font.setPointSizeF(20);
    const double large = QFontMetricsF(font, &reference).lineSpacing();

    printer.SetFontSize(10);
    printer.Print(QStringLiteral("a"), true);
    printer.EndLine();
    printer.Print(QStringLiteral("b"), true);
    printer.SetFontSize(20);
    printer.EndLine();
    printer.SetFontSize(10);
    printer.Print(QStringLiteral("c"));
    const auto& t = printer.Texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[2].line, 5);
    EXPECT_NEAR(t[1].box.top() - t[0].box.top(), 2 * small, 1e-6);
    EXPECT_NEAR(t[2].box.top() - t[1].box.top(), small + large, 1e-6);
}

TEST_F(TextPrinterTest, EachItemKeepsItsFontAndColour) {
    printer.SetFontSize(18);
    printer.SetBold(true);
    printer.SetItalic(true);
    printer.SetForeColor(0xFF0000);
    printer.Print(QStringLiteral("Title"), true);
    printer.SetBold(false);
    printer.SetUnderline(true);
    printer.SetForeColor(0);
    printer.Print(QStringLiteral("Heading"), true);
    const auto& t = printer.Texts();
    EXPECT_EQ(t[0].font.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(t[0].font.bold() && t[0].font.italic());
    EXPECT_EQ(t[0].color, QColor(0, 0, 255));  // red is the low byte
    EXPECT_FALSE(t[1].font.bold());
    EXPECT_TRUE(t[1].font.underline());
    EXPECT_EQ(t[1].color, QColor(0, 0, 0));
}

TEST_F(TextPrinterTest, APdfReadsBackLineByLine) {
    printer.PrintAt(5, QStringLiteral("Class"));
    printer.PrintAt(30, QStringLiteral("Charge"), true);
    printer.PrintAt(5, QStringLiteral("100"));
    printer.PrintAt(30, QStringLiteral("$300.00"), true);
    ASSERT_TRUE(printer.EndDoc()) << printer.ErrorText().toStdString();
    const QStringList lines = PdfText(Pdf(QStringLiteral("out.pdf"))).split(QLatin1Char('\n'));
    int heading = -1;
    for (int i = 0; i < lines.size() && heading < 0; ++i)
        if (lines[i].contains(QStringLiteral("Class"))) heading = i;
    ASSERT_GE(heading, 0);
    ASSERT_LT(heading + 1, lines.size());
    // pdftotext narrows wide gaps but keeps the order and the shared left edges of columns.
    EXPECT_EQ(lines[heading].indexOf(QStringLiteral("Charge")),
              lines[heading + 1].indexOf(QStringLiteral("$300.00")));
    EXPECT_EQ(lines[heading].indexOf(QStringLiteral("Class")),
              lines[heading + 1].indexOf(QStringLiteral("100")));
}

TEST_F(TextPrinterTest, PagesBreakAndEachDocumentStartsANewPageOfTheSameFile) {
    for (int i = 1; i <= 150; ++i) printer.PrintAt(1, QStringLiteral("row %1").arg(i), true);
    const int pages = printer.PageCount();
    ASSERT_GE(pages, 2);
    for (size_t i = 1; i < printer.Texts().size(); ++i)
        if (printer.Texts()[i].page != printer.Texts()[i - 1].page) {
            EXPECT_DOUBLE_EQ(printer.Texts()[i].box.top(), 0);
            EXPECT_EQ(printer.Texts()[i].line, 1);
        }
    ASSERT_TRUE(printer.EndDoc());
    printer.Print(QStringLiteral("second sheet"), true);
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_TRUE(printer.EndDoc());  // nothing pending: nothing sent, no error
    EXPECT_EQ(printer.PageCount(), pages + 1);
    const QStringList text =
        PdfText(Pdf(QStringLiteral("out.pdf"))).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(text.size(), pages + 1);
    EXPECT_TRUE(text.front().contains(QStringLiteral("row 1\n")));
    EXPECT_TRUE(text[pages - 1].contains(QStringLiteral("row 150")));
    EXPECT_TRUE(text[pages].contains(QStringLiteral("second sheet")));
}

TEST_F(TextPrinterTest, APictureIsPlacedInTwipsAndLeavesThePositionAlone) {
    QImage logo(96, 48, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    printer.PaintPicture(logo, 1440, 720);
    printer.Print(QStringLiteral("after"), true);
    const double dpi = QPrinter(QPrinter::HighResolution).resolution();
    const QRectF box = printer.Pictures().at(0).box;
    // One inch right, half an inch down; 96 dots at 96 dots per inch are an inch wide.
    EXPECT_DOUBLE_EQ(box.left(), dpi);
    EXPECT_DOUBLE_EQ(box.top(), dpi / 2);
    EXPECT_DOUBLE_EQ(box.width(), dpi);
    EXPECT_DOUBLE_EQ(printer.Texts().at(0).box.top(), 0);
}

TEST_F(TextPrinterTest, TheChooserDecidesTheOutputAndItsCancelIsSeen) {
    const QString path = Pdf(QStringLiteral("chosen.pdf"));
    SetPrinterChooser(ChoosePdfFile(path));
    TextPrinter chosen;
    ASSERT_EQ(chosen.ChoosePrinter(), PrinterChoice::Chosen);
    chosen.Print(QStringLiteral("chosen"), true);
    ASSERT_TRUE(chosen.EndDoc());
    EXPECT_TRUE(PdfText(path).contains(QStringLiteral("chosen")));

    SetPrinterChooser([](QPrinter&, QWidget*) { return PrinterChoice::Cancelled; });
    EXPECT_EQ(TextPrinter().ChoosePrinter(), PrinterChoice::Cancelled);
}

TEST_F(TextPrinterTest, AnOutputThatCannotBeWrittenIsReported) {
    const QString path = Pdf(QStringLiteral("missing/folder/out.pdf"));
    printer.SetPdfFile(path);
    printer.Print(QStringLiteral("lost"), true);
    EXPECT_FALSE(printer.EndDoc());
    EXPECT_TRUE(printer.ErrorText().contains(path)) << printer.ErrorText().toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// A printout to a PDF file on a disk that fills up: the failure is told with the system's reason,
// never taken for a printout, and the last good file stays as it was.
TEST_F(TextPrinterTest, AFileTheDiskHasNoRoomForIsReportedWithTheReason) {
    const QString path = Pdf(QStringLiteral("out.pdf"));
    printer.Print(QStringLiteral("first"), true);
    ASSERT_TRUE(printer.EndDoc()) << printer.ErrorText().toStdString();
    QFile first(path);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray before = first.readAll();
    first.close();

    printer.Print(QStringLiteral("second"), true);
    {
        FileSizeLimit full(static_cast<uint64_t>(before.size()) / 2);
        EXPECT_FALSE(printer.EndDoc());
    }
    EXPECT_EQ(printer.ErrorText().toStdString(),
              "Cannot write " + path.toStdString() + ": " + SystemReason(EFBIG) + ".");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.pdf")});
}

TEST(PrintFileName, TheKindAndThePartsJoinedByHyphensWithoutBlanksOrSlashes) {
    EXPECT_EQ(
        PrintFileName(QStringLiteral("quote"), {QStringLiteral("55401"), QStringLiteral("60601")}),
        "quote-55401-60601.pdf");
    EXPECT_EQ(PrintFileName(QStringLiteral("quote"),
                            {QStringLiteral("M5V 2T6"), QStringLiteral("53202")}),
              "quote-M5V-2T6-53202.pdf");
    EXPECT_EQ(PrintFileName(QStringLiteral("ratesheet"), {QStringLiteral("CALGARY, AB")}),
              "ratesheet-CALGARY-AB.pdf");
    // Nothing that leads out of the folder, and nothing empty.
    EXPECT_EQ(PrintFileName(QStringLiteral("page"), {QStringLiteral("../etc/passwd"), QString()}),
              "page-etc-passwd.pdf");
    EXPECT_EQ(PrintFileName(QStringLiteral("page"), {}), "page.pdf");
}

// The print dialog proposes the file name; the PDF keeps the title.
TEST_F(TextPrinterTest, TheDialogSeesTheFileNameAndThePdfCarriesTheTitle) {
    QString proposed;
    SetPrinterChooser(ChoosePdfFile(Pdf(QStringLiteral("named.pdf")), &proposed));
    TextPrinter named;
    named.SetDocument(QStringLiteral("Rate quote 55401 to 60601"),
                      QStringLiteral("quote-55401-60601.pdf"));
    ASSERT_EQ(named.ChoosePrinter(), PrinterChoice::Chosen);
    EXPECT_EQ(proposed, "quote-55401-60601.pdf");
    named.Print(QStringLiteral("hello"), true);
    ASSERT_TRUE(named.EndDoc());
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {Pdf(QStringLiteral("named.pdf"))});
    ASSERT_TRUE(pdfinfo.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(pdfinfo.readAllStandardOutput())
                    .contains(QStringLiteral("Rate quote 55401 to 60601\n")));
}

}  // namespace
