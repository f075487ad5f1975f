#include "ratingstate.h"

#include "commodity.h"

RatingState rating;
CommodityLines commodityLines;

namespace {
RatingMessageSink& Sink() {
    static RatingMessageSink sink;
    return sink;
}
QuoteDisplayHook& Hook() {
    static QuoteDisplayHook hook;
    return hook;
}
}  // namespace

void SetRatingMessageSink(RatingMessageSink sink) { Sink() = std::move(sink); }

void RatingMessage(const std::string& text, int style, const std::string& title) {
    if (Sink()) Sink()(text, style, title);
}

void SetQuoteDisplayHook(QuoteDisplayHook hook) { Hook() = std::move(hook); }
const QuoteDisplayHook& GetQuoteDisplayHook() { return Hook(); }
