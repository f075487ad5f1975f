#pragma once
// While alive, a rating writes its quote into the sheet and tells the scenario, instead of
// showing the quote window and waiting for the user.

#include <functional>

#include "displayquote.h"
#include "frmqpo.h"

class ScenarioQuoteCapture {
  public:
    explicit ScenarioQuoteCapture(std::function<void()> shown) {
        SetQuoteWindowShow([shown = std::move(shown)](frmQPO&) { shown(); });
    }
    ~ScenarioQuoteCapture() { SetQuoteWindowShow(nullptr); }
};
