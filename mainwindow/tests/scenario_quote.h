#pragma once
// While alive, a rating that reaches its quote writes the quote into the sheet and tells the
// scenario, instead of showing the quote window and waiting for the user.

#include <functional>

#include "ratingstate.h"

class ScenarioQuoteCapture {
public:
    explicit ScenarioQuoteCapture(std::function<void()> shown) : saved_(GetQuoteDisplayHook()) {
        SetQuoteDisplayHook([shown = std::move(shown)] { shown(); });
    }
    ~ScenarioQuoteCapture() { SetQuoteDisplayHook(saved_); }

private:
    QuoteDisplayHook saved_;
};
