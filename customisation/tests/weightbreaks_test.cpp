// The weight-break editor's boxes as they are stored.

#include "weightbreaks.h"

#include <gtest/gtest.h>

#include "discountstore.h"
#include "pricingfixture.h"

namespace {

TEST(BreakText, ABoxIsReadUpToItsFirstEmptyPlace) {
    EXPECT_EQ(NormaliseBreakText("5_._"), "05.0");
    EXPECT_EQ(NormaliseBreakText("1_.5"), "01.0");  // the digit after the gap is not read
    EXPECT_EQ(NormaliseBreakText("__._"), "00.0");
    EXPECT_EQ(NormaliseBreakText(""), "00.0");
    EXPECT_EQ(NormaliseBreakText("00.0"), "00.0");
    EXPECT_EQ(NormaliseBreakText("12._"), "12.0");
    EXPECT_EQ(NormaliseBreakText("05.5"), "05.5");
    EXPECT_EQ(NormaliseBreakText("00.5"), "00.5");
    EXPECT_EQ(NormaliseBreakText("12.5"), "12.5");
    EXPECT_EQ(NormaliseBreakText("99.9"), "99.9");
}

using WeightBreaks = PricingTest;

TEST_F(WeightBreaks, DoneStoresEveryBoxInItsFormAndTellsTheOpenersText) {
    BreakTexts boxes = LoadBreakTexts("ALL", 254, 0);
    const std::string shipped = boxes[2];
    for (const auto& b : boxes) EXPECT_EQ(b, shipped);
    boxes.fill("40.0");
    boxes[0] = "5_._";  // still being typed when Done was clicked
    boxes[6] = "__._";
    EXPECT_EQ(SaveBreakTexts("ALL", 254, 0, boxes), "tier");
    BreakTexts stored = LoadBreakTexts("ALL", 254, 0);
    EXPECT_EQ(stored[0], "05.0");
    EXPECT_EQ(stored[6], "00.0");
    EXPECT_EQ(stored[10], "40.0");
    // Eleven equal texts: the opener shows the discount again.
    boxes.fill("41._");
    EXPECT_EQ(SaveBreakTexts("ALL", 254, 0, boxes), "41.0");
    // The other direction's row is its own.
    EXPECT_EQ(LoadBreakTexts("ALL", 254, 1)[0], shipped);
}

TEST_F(WeightBreaks, ARowThatIsNotThereIsNamedAndNothingIsWritten) {
    const std::string before = PricingTables();
    BreakTexts boxes;
    boxes.fill("50.0");
    EXPECT_THROW(LoadBreakTexts("ALL", 7, 0), MissingPricingRow);
    try {
        SaveBreakTexts("606", 1, 1, boxes);
        FAIL();
    } catch (const MissingPricingRow& e) {
        EXPECT_NE(std::string(e.what()).find("the inbound row of 606, region 1"),
                  std::string::npos);
    }
    EXPECT_EQ(PricingTables(), before);
}

}  // namespace
