#include "quotesheet.h"

QuoteSheet quote;

QuoteLine& QuoteSheet::Line(int index) {
    if (index < 0) index = 0;
    if (static_cast<size_t>(index) >= lines_.size()) lines_.resize(static_cast<size_t>(index) + 1);
    return lines_[static_cast<size_t>(index)];
}

int QuoteSheet::UsedLines() const {
    int used = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const QuoteLine& l = lines_[i];
        auto filled = [](const QuoteCell& c) {
            return c.text.find_first_not_of(' ') != std::string::npos;
        };
        if (filled(l.cls) || filled(l.weight) || filled(l.rate) || filled(l.charge))
            used = static_cast<int>(i) + 1;
    }
    return used;
}

void QuoteSheet::Clear() {
    lines_.assign(kQuoteDesignLines, QuoteLine());
    txtChgDisc.clear();
    chgDiscLine = -1;
    mlblDefServ.clear();
    qmrqQPO1.clear();
    qmrqQPO2.clear();
    qmrqQPO3.clear();
    marqueeVisible = false;
    gQuoteLine = 0;
}
