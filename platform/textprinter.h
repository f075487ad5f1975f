#pragma once
// The printer every printout goes through: text placed on lines and at 1-based character
// columns (print tab stops) in the current font, colour and pictures at a point, pages and
// documents. The output is a printer the user chooses in the print dialog, or a PDF file.
//
// What is printed is laid out at once and sent to the output when the document ends, so a
// failing printer is reported by EndDoc, which a caller must not ignore.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

enum class PrinterChoice { Chosen, Cancelled };

// How the printer is chosen. The program shows the print dialog; a test installs a chooser that
// points the printer at a PDF file, or cancels, without a window.
using PrinterChooser = std::function<PrinterChoice(QPrinter& printer, QWidget* parent)>;
// A null chooser restores the print dialog.
void SetPrinterChooser(PrinterChooser chooser);
// The print dialog, shown modally.
PrinterChoice ChoosePrinterInDialog(QPrinter& printer, QWidget* parent);
// A chooser that points every print at the PDF file `path` without a window (the scenario
// runner's and the tests'); when `proposed` is given, it receives the file name the dialog
// would have proposed.
PrinterChooser ChoosePdfFile(const QString& path, QString* proposed = nullptr);

// The file name the print dialog proposes for a document: the kind and the parts that tell it
// apart, joined by hyphens; in a part, letters and digits are kept and every run of anything
// else (blanks, commas, slashes) becomes one hyphen ("quote", {"55401", "M5V 2T6"} gives
// "quote-55401-M5V-2T6.pdf").
QString PrintFileName(const QString& kind, const QStringList& parts);

// One text item as it was placed: page from 0, line on the page from 1, the tab column asked
// for (0 when printed at the current position), and its position and size in printer pixels
// from the top left corner of the printable area.
struct PrintedText {
    int page = 0;
    int line = 0;
    int column = 0;
    QRectF box;
    QString text;
    QFont font;
    QColor color;
};

struct PrintedPicture {
    int page = 0;
    QRectF box;
    QImage image;
};

class TextPrinter {
  public:
    TextPrinter();
    ~TextPrinter();
    TextPrinter(const TextPrinter&) = delete;
    TextPrinter& operator=(const TextPrinter&) = delete;

    // Output to a PDF file. Every document ended on this printer goes into the file, one after
    // the other, so the file holds all that was printed.
    void SetPdfFile(const QString& path);
    // Output to the printer the user chooses. Cancelled leaves the output as it was.
    PrinterChoice ChoosePrinter(QWidget* parent = nullptr);
    // What is printed: the title a PDF file carries (and a print queue shows), and the file
    // name the print dialog proposes when printing to a file.
    void SetDocument(const QString& title, const QString& fileName);

    // The font of the items printed from now on. Sizes are in points.
    void SetFontName(const QString& name);
    void SetFontSize(double points);
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    const QFont& Font() const { return font_; }
    // A 24-bit colour value, red in the low byte.
    void SetForeColor(uint32_t value);

    // Prints text at a tab column of the current line, counted from 1 in average characters of
    // the current font. A column left of the current position goes to that column of the next
    // line. With endLine the line ends after the text.
    void PrintAt(int column, const QString& text, bool endLine = false);
    // Prints text at the current position.
    void Print(const QString& text, bool endLine = false);
    // Ends the current line; on an empty line this prints an empty line.
    void EndLine();
    // A picture with its top left corner at a point of the page, in twips from the top left of
    // the printable area; a size of 0 keeps the picture's own size at 96 dots per inch. The
    // current position does not move.
    void PaintPicture(const QImage& image, int leftTwips, int topTwips, int widthTwips = 0,
                      int heightTwips = 0);
    // A picture at the top left of the printable area, as large as the area allows while
    // keeping its proportions (a window's picture is wider than a page at screen size).
    void PaintPictureToPage(const QImage& image);
    // Continues on a new page.
    void NewPage();

    // Sends the document to the output. A document with nothing in it sends nothing. False
    // when the output failed; ErrorText says why. Printing after EndDoc starts a new document.
    [[nodiscard]] bool EndDoc();
    const QString& ErrorText() const { return error_; }

    // What this printer has placed, over all its documents, in the order printed.
    const std::vector<PrintedText>& Texts() const { return texts_; }
    const std::vector<PrintedPicture>& Pictures() const { return pictures_; }
    int PageCount() const { return pageCount_; }
    // The width of one tab column of the current font, in printer pixels.
    double ColumnWidth() const;

  private:
    void StartPageIfNeeded();
    void NextLine(double height);
    double LineHeight() const;
    double PageHeight() const;
    bool Render(int firstPage, int lastPage);

    std::unique_ptr<QPrinter> printer_;
    bool toPdf_ = false;
    QFont font_;
    QColor color_;
    std::vector<PrintedText> texts_;
    std::vector<PrintedPicture> pictures_;
    int pageCount_ = 0;     // pages begun, over all documents
    int docFirstPage_ = 0;  // the first page of the document under way
    bool pageOpen_ = false;
    int line_ = 1;
    double x_ = 0;
    double y_ = 0;
    QString error_;
    QString title_;
    QString fileName_;
};
