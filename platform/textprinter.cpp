#include "textprinter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "labelbutton.h"
#include "savefile.h"
#include "windowkeys.h"

namespace {

constexpr int kTwipsPerInch = 1440;
// A picture without a size is drawn as large as on the screen it was made for.
constexpr int kPictureDotsPerInch = 96;

PrinterChooser& Chooser() {
    static PrinterChooser chooser;
    return chooser;
}

}  // namespace

void SetPrinterChooser(PrinterChooser chooser) {
    Chooser() = std::move(chooser);
}

PrinterChoice ChoosePrinterInDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return ExecModal(dialog) == QDialog::Accepted ? PrinterChoice::Chosen
                                                  : PrinterChoice::Cancelled;
}

PrinterChooser ChoosePdfFile(const QString& path, QString* proposed) {
    return [path, proposed](QPrinter& printer, QWidget*) {
        if (proposed) *proposed = printer.docName();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return PrinterChoice::Chosen;
    };
}

TextPrinter::TextPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      font_(QStringLiteral("Arial")),
      color_(Qt::black) {
    font_.setPointSizeF(10);
    toPdf_ = printer_->outputFormat() == QPrinter::PdfFormat;
}

TextPrinter::~TextPrinter() = default;

void TextPrinter::SetPdfFile(const QString& path) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(path);
    toPdf_ = true;
}

QString PrintFileName(const QString& kind, const QStringList& parts) {
    QString name = kind;
    for (const QString& part : parts) {
        QString kept;
        for (const QChar c : part)
            if (c.isLetterOrNumber() || c == QLatin1Char('_'))
                kept += c;
            else if (!kept.isEmpty() && !kept.endsWith(QLatin1Char('-')))
                kept += QLatin1Char('-');
        if (kept.endsWith(QLatin1Char('-'))) kept.chop(1);
        if (!kept.isEmpty()) name += QLatin1Char('-') + kept;
    }
    return name + QStringLiteral(".pdf");
}

void TextPrinter::SetDocument(const QString& title, const QString& fileName) {
    title_ = title;
    fileName_ = fileName;
    printer_->setDocName(title);
}

PrinterChoice TextPrinter::ChoosePrinter(QWidget* parent) {
    // The dialog names the file it proposes after the document's name; the PDF keeps the title.
    if (!fileName_.isEmpty()) printer_->setDocName(fileName_);
    const PrinterChoice choice =
        Chooser() ? Chooser()(*printer_, parent) : ChoosePrinterInDialog(*printer_, parent);
    printer_->setDocName(title_);
    if (choice == PrinterChoice::Chosen) toPdf_ = printer_->outputFormat() == QPrinter::PdfFormat;
    return choice;
}

void TextPrinter::SetFontName(const QString& name) {
    font_.setFamily(name);
}
void TextPrinter::SetFontSize(double points) {
    font_.setPointSizeF(points);
}
void TextPrinter::SetBold(bool on) {
    font_.setBold(on);
}
void TextPrinter::SetItalic(bool on) {
    font_.setItalic(on);
}
void TextPrinter::SetUnderline(bool on) {
    font_.setUnderline(on);
}
void TextPrinter::SetForeColor(uint32_t value) {
    color_ = ColorFromValue(value);
}

double TextPrinter::ColumnWidth() const {
    return QFontMetricsF(font_, printer_.get()).averageCharWidth();
}

double TextPrinter::LineHeight() const {
    return QFontMetricsF(font_, printer_.get()).lineSpacing();
}

double TextPrinter::PageHeight() const {
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
}

void TextPrinter::StartPageIfNeeded() {
    if (pageOpen_) return;
    pageOpen_ = true;
    ++pageCount_;
    x_ = 0;
    y_ = 0;
    line_ = 1;
}

void TextPrinter::NextLine(double height) {
    y_ += height;
    x_ = 0;
    ++line_;
}

void TextPrinter::PrintAt(int column, const QString& text, bool endLine) {
    StartPageIfNeeded();
    const double x = std::max(column - 1, 0) * ColumnWidth();
    // Half a pixel of slack: an item that ended exactly on the column does not push the next
    // one to a new line because of rounding in the widths.
    if (x_ > x + 0.5) NextLine(LineHeight());
    x_ = x;
    Print(text, endLine);
    texts_.back().column = std::max(column, 1);
}

void TextPrinter::Print(const QString& text, bool endLine) {
    StartPageIfNeeded();
    const QFontMetricsF metrics(font_, printer_.get());
    // A line that would run off the page starts the next one, at the same place on its line.
    if (y_ > 0 && y_ + metrics.height() > PageHeight()) {
        const double x = x_;
        pageOpen_ = false;
        StartPageIfNeeded();
        x_ = x;
    }
    const double width = metrics.horizontalAdvance(text);
    texts_.push_back(PrintedText{pageCount_ - 1, line_, 0, QRectF(x_, y_, width, metrics.height()),
                                 text, font_, color_});
    x_ += width;
    if (endLine) NextLine(metrics.lineSpacing());
}

void TextPrinter::EndLine() {
    StartPageIfNeeded();
    NextLine(LineHeight());
}

void TextPrinter::PaintPicture(const QImage& image, int leftTwips, int topTwips, int widthTwips,
                               int heightTwips) {
    StartPageIfNeeded();
    const double perTwip = static_cast<double>(printer_->resolution()) / kTwipsPerInch;
    const double perDot = static_cast<double>(printer_->resolution()) / kPictureDotsPerInch;
    const double w = widthTwips > 0 ? widthTwips * perTwip : image.width() * perDot;
    const double h = heightTwips > 0 ? heightTwips * perTwip : image.height() * perDot;
    pictures_.push_back(PrintedPicture{
        pageCount_ - 1, QRectF(leftTwips * perTwip, topTwips * perTwip, w, h), image});
}

void TextPrinter::PaintPictureToPage(const QImage& image) {
    if (image.isNull()) return;
    StartPageIfNeeded();
    const QRectF area = printer_->pageLayout().paintRectPixels(printer_->resolution());
    const double scale = std::min(area.width() / image.width(), area.height() / image.height());
    pictures_.push_back(PrintedPicture{
        pageCount_ - 1, QRectF(0, 0, image.width() * scale, image.height() * scale), image});
}

void TextPrinter::NewPage() {
    pageOpen_ = false;
}

bool TextPrinter::EndDoc() {
    error_.clear();
    if (pageCount_ == docFirstPage_) return true;
    // A PDF file is written whole each time, so that it holds every document of this printer.
    const bool ok = Render(toPdf_ ? 0 : docFirstPage_, pageCount_);
    docFirstPage_ = pageCount_;
    pageOpen_ = false;
    return ok;
}

bool TextPrinter::Render(int firstPage, int lastPage) {
    if (!toPdf_ && !printer_->isValid()) {
        error_ = QStringLiteral("No printer is available.");
        return false;
    }
    // A PDF file is made in memory and then written whole: the printer's own file output drops
    // a failed write unseen (a full disk gave half a file and no error), while this says why
    // in the system's words and leaves the last good file as it was.
    QBuffer pdfBytes;
    std::unique_ptr<QPdfWriter> pdf;
    QPagedPaintDevice* device = printer_.get();
    if (toPdf_) {
        pdfBytes.open(QIODevice::WriteOnly);
        pdf = std::make_unique<QPdfWriter>(&pdfBytes);
        pdf->setResolution(printer_->resolution());
        pdf->setPageLayout(printer_->pageLayout());
        pdf->setTitle(printer_->docName());
        pdf->setCreator(printer_->creator());
        device = pdf.get();
    }
    QPainter painter;
    if (!painter.begin(device)) {
        error_ = toPdf_ ? QStringLiteral("The file %1 could not be written.")
                              .arg(printer_->outputFileName())
                        : QStringLiteral("The printer %1 could not be started.")
                              .arg(printer_->printerName());
        return false;
    }
    for (int page = firstPage; page < lastPage; ++page) {
        if (page > firstPage && !device->newPage()) {
            painter.end();
            error_ = QStringLiteral("The printer could not start a new page.");
            return false;
        }
        for (const PrintedPicture& picture : pictures_)
            if (picture.page == page) painter.drawImage(picture.box, picture.image);
        for (const PrintedText& item : texts_) {
            if (item.page != page) continue;
            painter.setFont(item.font);
            painter.setPen(item.color);
            const double ascent = QFontMetricsF(item.font, printer_.get()).ascent();
            painter.drawText(QPointF(item.box.left(), item.box.top() + ascent), item.text);
        }
    }
    if (!painter.end() || (!toPdf_ && printer_->printerState() == QPrinter::Error)) {
        error_ = QStringLiteral("The printer reported an error.");
        return false;
    }
    if (toPdf_) {
        try {
            const QByteArray& bytes = pdfBytes.data();
            SaveFileWhole(printer_->outputFileName().toStdString(),
                          std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        } catch (const SaveFileError& e) {
            error_ = QString::fromStdString(e.what());
            return false;
        }
    }
    return true;
}
