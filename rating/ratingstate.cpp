#include "ratingstate.h"

#include "commodity.h"
#include "lanes.h"

RatingState rating;
CommodityLines commodityLines;

namespace {
// The economy look-ups ask whether guaranteed service is chosen; these flags are the answer.
const bool kGuaranteedQueryRegistered = [] {
    SetGuaranteedChosenQuery(
        [] { return commodityLines.gAccGuaranteed || rating.gQAccGuaranteed; });
    return true;
}();
}  // namespace

namespace {
RatingMessageSink& Sink() {
    static RatingMessageSink sink;
    return sink;
}
QuoteDisplayHook& Hook() {
    static QuoteDisplayHook hook;
    return hook;
}
QuoteDisplayHook& ShowHook() {
    static QuoteDisplayHook hook;
    return hook;
}
}  // namespace

void SetRatingMessageSink(RatingMessageSink sink) { Sink() = std::move(sink); }

void RatingMessage(const std::string& text, int style, const std::string& title) {
    if (Sink()) Sink()(text, style, title);
}

void SetQuoteDisplayHook(QuoteDisplayHook display, QuoteDisplayHook show) {
    Hook() = std::move(display);
    ShowHook() = std::move(show);
}
const QuoteDisplayHook& GetQuoteDisplayHook() { return Hook(); }
const QuoteDisplayHook& GetQuoteShowHook() { return ShowHook(); }
