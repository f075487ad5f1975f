#include "printquote.h"

#include <QString>
#include <algorithm>
#include <string>

#include "charges.h"
#include "displayquote.h"
#include "msgbox.h"
#include "numbers.h"
#include "quotesheet.h"
#include "textprinter.h"

namespace {

// The captions of the discount line; the box with the percentage stands over their gap.

const QString kRule(105, QLatin1Char('-'));

// A caption of exactly one blank is a cell the quote never wrote.
bool IsUnwritten(const std::string& caption) {
    return caption == " ";
}

void PrintCell(TextPrinter& printer, int column, int width, const std::string& text) {
    printer.PrintAt(column, QString::fromStdString(PadLeft(width, text)));
}

// The columns of the sheet as printed: where each starts and how wide it is.
constexpr int kWeightEnd = 28;  // column 20, nine wide
constexpr int kChargeColumn = 63;
constexpr int kChargeWidth = 9;
constexpr int kChargeEnd = kChargeColumn + kChargeWidth - 1;

// The rate column: the discount sentence is rebuilt with the percentage of the box, amounts
// (up to "$9,999.99") are right-aligned under the heading, and any other text ends at column
// 53. A text beside a printed weight starts right of it, since a column left of the printer's
// position would put it on the next printer line. Returns the last column printed.
int PrintRateCell(TextPrinter& printer, const std::string& caption, bool afterWeight) {
    std::string text;
    int column = 11;
    int width = 43;
    if (caption == kCarrierDiscountCaption) {
        text = "Norvale Freight " + quote.txtChgDisc + "% Discount Saves You";
        column = 17;
        width = 37;
    } else if (caption == kThriftlaneDiscountCaption) {
        text = "Thriftlane " + quote.txtChgDisc + "% Discount Saves You";
        column = 17;
        width = 37;
    } else if ((!caption.empty() && caption[0] == '$') || IsNumeric(caption)) {
        text = caption;
        column = 45;
        width = 9;
    } else {
        text = caption;
    }
    // One column apart from the weight: its places are average characters, not its letters.
    if (afterWeight && column <= kWeightEnd + 1) {
        width -= kWeightEnd + 2 - column;
        column = kWeightEnd + 2;
    }
    PrintCell(printer, column, width, text);
    return column + std::max(width, static_cast<int>(text.size())) - 1;
}

// The charge column: an amount right-aligned in its nine places; a longer text (such as the
// Canadian discount note) ends at the column's end, so that it stays on the page, but never
// starts left of what the line holds already.
void PrintChargeCell(TextPrinter& printer, const std::string& caption, int lineEnd) {
    const int length = static_cast<int>(caption.size());
    if (length <= kChargeWidth) return PrintCell(printer, kChargeColumn, kChargeWidth, caption);
    const int column = std::max(kChargeEnd - length + 1, lineEnd + 1);
    printer.PrintAt(column, QString::fromStdString(caption));
}

}  // namespace

void LayOutRateQuote(TextPrinter& printer) {
    printer.SetFontName(QStringLiteral("Arial"));
    printer.SetFontSize(18);
    printer.SetBold(true);
    printer.SetItalic(true);
    printer.EndLine();
    printer.PrintAt(4, QStringLiteral("Norvale Freight Fretlyn 2007"), true);
    printer.EndLine();

    printer.SetBold(false);
    printer.SetItalic(false);
    printer.SetFontSize(12);
    printer.EndLine();
    printer.Print(kRule, true);

    printer.PrintAt(
        5, QStringLiteral("Origin      zip code -- ") + QString::fromStdString(quote.txtOriginZip));
    printer.PrintAt(
        5, QStringLiteral("Destination zip code -- ") + QString::fromStdString(quote.txtDestZip),
        true);
    printer.Print(kRule, true);
    printer.EndLine();

    printer.SetUnderline(true);
    printer.PrintAt(5, QStringLiteral("Class"));
    printer.PrintAt(19, QStringLiteral("Weight"));
    printer.PrintAt(50, QStringLiteral("Rate"));
    printer.PrintAt(66, QStringLiteral("Charge"), true);
    printer.SetUnderline(false);

    // Each line starts a new printer line at its class column, which lies left of where the
    // line before ended.
    for (const QuoteLine& line : quote.Lines()) {
        int end = 0;
        if (!IsUnwritten(line.cls.text)) {
            PrintCell(printer, 5, 5, line.cls.text);
            end = 9;
        }
        const bool weight = !IsUnwritten(line.weight.text);
        if (weight) {
            PrintCell(printer, 20, 9, line.weight.text);
            end = std::max(kWeightEnd, 19 + static_cast<int>(line.weight.text.size()));
        }
        if (!IsUnwritten(line.rate.text)) end = PrintRateCell(printer, line.rate.text, weight);
        if (!IsUnwritten(line.charge.text)) PrintChargeCell(printer, line.charge.text, end);
    }

    printer.EndLine();
    printer.Print(kRule, true);
}

QuotePrintResult PrintRateQuote(QWidget* parent) {
    TextPrinter printer;
    // "53202 -- MILWAUKEE, WI": the code names the file, the whole point the title.
    const QString from = QString::fromStdString(quote.txtOriginZip).simplified();
    const QString to = QString::fromStdString(quote.txtDestZip).simplified();
    const QString separator = QStringLiteral(" -- ");
    printer.SetDocument(QStringLiteral("Norvale Freight rate quote %1 to %2")
                            .arg(QString(from).replace(separator, QStringLiteral(" ")),
                                 QString(to).replace(separator, QStringLiteral(" "))),
                        PrintFileName(QStringLiteral("quote"), {from.section(separator, 0, 0),
                                                                to.section(separator, 0, 0)}));
    if (printer.ChoosePrinter(parent) == PrinterChoice::Cancelled)
        return QuotePrintResult::Cancelled;
    LayOutRateQuote(printer);
    if (!printer.EndDoc()) {
        ShowMessage(QStringLiteral("The quote could not be printed.  ") + printer.ErrorText(),
                    kMsgOK, QStringLiteral("Print Error"));
        return QuotePrintResult::Failed;
    }
    return QuotePrintResult::Printed;
}
