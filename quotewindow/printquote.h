#pragma once
// The printed quote: the quote the quote sheet holds, as plain text lines on the printer the
// user chooses (or a PDF file).

class QWidget;
class TextPrinter;

enum class QuotePrintResult { Printed, Cancelled, Failed };

// Asks for the printer and prints the title, the origin and destination, the column headings
// and every line of the quote sheet. Cancel prints nothing and says nothing; a printer that
// fails is reported in a message. Changes no program state.
QuotePrintResult PrintRateQuote(QWidget* parent = nullptr);

// The printout itself, on a printer whose output is chosen; the document is not ended.
void LayOutRateQuote(TextPrinter& printer);
