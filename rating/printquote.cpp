#include "printquote.h"

#include <QString>
#include <string>

#include "charges.h"
#include "displayquote.h"
#include "msgbox.h"
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

// The rate column: the discount sentence is rebuilt with the percentage of the box, amounts are
// right-aligned under the heading, and any other text ends at column 53.
void PrintRateCell(TextPrinter& printer, const std::string& caption) {
    if (caption == kCarrierDiscountCaption)
        PrintCell(printer, 17, 37, "Norvale Freight " + quote.txtChgDisc + "% Discount Saves You");
    else if (caption == kThriftlaneDiscountCaption)
        PrintCell(printer, 17, 37, "Thriftlane " + quote.txtChgDisc + "% Discount Saves You");
    else if (!caption.empty() && caption[0] == '$')
        PrintCell(printer, 46, 8, caption);
    else
        PrintCell(printer, 11, 43, caption);
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
        if (!IsUnwritten(line.cls.text)) PrintCell(printer, 5, 5, line.cls.text);
        if (!IsUnwritten(line.weight.text)) PrintCell(printer, 20, 9, line.weight.text);
        if (!IsUnwritten(line.rate.text)) PrintRateCell(printer, line.rate.text);
        if (!IsUnwritten(line.charge.text)) PrintCell(printer, 63, 9, line.charge.text);
    }

    printer.EndLine();
    printer.Print(kRule, true);
}

QuotePrintResult PrintRateQuote(QWidget* parent) {
    TextPrinter printer;
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
