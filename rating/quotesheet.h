#pragma once
// The quote as the quote window shows it: the header boxes, the lines of four columns
// (class, weight, rate, charge), the discount box, the service standards and the offers.
// Every writer of the quote writes here; the quote window draws it and a test reads it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every amount of a quote, on screen and printed, reads one way: "$128,344.83".
inline constexpr std::string_view kQuoteMoney = "$##,##0.00";

// Colours are 24-bit values with red in the low byte.
inline constexpr uint32_t kQuoteBlack = 0;
inline constexpr uint32_t kQuoteRed = 255;
inline constexpr uint32_t kQuoteBlue = 0xFF0000;

struct QuoteCell {
    std::string text;
    uint32_t color = kQuoteBlack;
};

struct QuoteLine {
    QuoteCell cls, weight, rate, charge;
    bool classLeftAligned = false;  // captions such as "TOTALS" and "Rated as:"
    bool classMovedLeft = false;    // the "Deficit Amount" caption starts further left
};

// The window was laid out for eighteen lines; a longer quote grows the sheet instead of
// writing over its last line.
inline constexpr int kQuoteDesignLines = 18;

struct QuoteSheet {
    std::string txtOriginZip, txtDestZip, txtEffDate;
    uint32_t zipColor = kQuoteBlue;  // black when a FAK profile changed a class
    std::string txtChgDisc;          // the discount percentage box
    int chgDiscLine = -1;            // the line the box stands on; -1 when it is not placed
    std::string mlblService;         // "Norvale Freight Service Standard:\n2 Days"
    std::string mlblDefServ;         // the Thriftlane service standard
    std::string qmrqQPO1, qmrqQPO2, qmrqQPO3;  // the guaranteed and Thriftlane offers
    bool marqueeVisible = false;

    int gQuoteLine = 0;  // the line being written

    // The line at an index, the sheet growing to reach it.
    QuoteLine& Line(int index);
    const std::vector<QuoteLine>& Lines() const { return lines_; }
    // The number of lines holding any text.
    int UsedLines() const;

    // A clean quote: every line's texts and colours, the discount box and every offer.
    void Clear();
    void Reset() { *this = QuoteSheet(); }

  private:
    std::vector<QuoteLine> lines_ = std::vector<QuoteLine>(kQuoteDesignLines);
};

extern QuoteSheet quote;
