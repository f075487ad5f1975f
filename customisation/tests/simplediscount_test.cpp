// The simple discount editor's checks and its Done, on the default program as it ships.

#include "simplediscount.h"

#include <gtest/gtest.h>

#include "discounts.h"
#include "discountstore.h"
#include "installwindows.h"
#include "messagebox.h"
#include "msgbox.h"
#include "pricingfixture.h"
#include "quotecharges.h"
#include "tariffdb.h"

namespace {

using ShippedProgram = PricingTest;

// The default program exactly as the program ships it passes the editor's own checks.
TEST_F(ShippedProgram, DoneWithNothingChangedSucceedsAndChangesNothing) {
    SimpleDiscountValues shipped = LoadSimpleDiscounts();
    const std::string before = PricingTables();
    EXPECT_TRUE(SimpleDiscountDone(shipped));
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(PricingTables(), before);
}

class SimpleDiscount : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        // Hand-set rows, so that every expected text below is visible here.
        SetAllRow(1, 0, "45.0", "12.50");
        SetAllRow(4, 0, "52.0");
        SetAllRow(4, 1, "60.0");
        SetAllRow(254, 0, "35.0");
        Exec("UPDATE Thriftlane SET PXSpct = '62.0'");
        v = LoadSimpleDiscounts();
    }
    void TearDown() override {
        SetLoadedSimpleDiscounts(nullptr);
        SetEconomyPercentSource(nullptr);
        PricingTest::TearDown();
    }
    void SetAllRow(int region, int ibob, const std::string& pct, const std::string& floor = "") {
        std::string sets;
        for (const char* f : kBreakFields)
            sets += std::string(sets.empty() ? "" : ", ") + f + " = ?1";
        Exec("UPDATE discounts SET " + sets + " WHERE zip = 'ALL' AND region = ?2 AND IBOB = ?3",
             {pct, region, ibob});
        if (!floor.empty())
            Exec("UPDATE discounts SET Floor = ?1 WHERE zip = 'ALL' AND region = ?2 AND IBOB = ?3",
                 {floor, region, ibob});
    }
    std::string Break(int region, int ibob, const char* field) {
        return FieldOf(std::string("SELECT ") + field +
                           " FROM discounts WHERE zip = 'ALL' AND region = ?1 AND IBOB = ?2",
                       {region, ibob});
    }
    // Types into a box as a user would: the box is entered (its text saved), then changed.
    void Type(SimpleBox box, const std::string& text) {
        SaveOnFocus(v, box);
        v[box] = text;
    }

    SimpleDiscountValues v;
};

TEST_F(SimpleDiscount, TheBoxesShowTheDefaultProgram) {
    EXPECT_EQ(v[SimpleBox::USA], "45.0");
    EXPECT_EQ(v[SimpleBox::USAFloor], "12.50");
    EXPECT_EQ(v[SimpleBox::USAtoCanada], "52.0");
    EXPECT_EQ(v[SimpleBox::CanadatoUSA], "60.0");
    EXPECT_EQ(v[SimpleBox::Canada], "35.0");
    EXPECT_EQ(v[SimpleBox::PXS], "62.0");
    EXPECT_EQ(customisation.gShipLoc, "ALL");
}

TEST_F(SimpleDiscount, EachLaneHasItsLowestDiscount) {
    struct Case {
        SimpleBox box;
        const char* tooLow;
        const char* lowest;
        const char* message;
    };
    const Case cases[] = {
        {SimpleBox::USA, "29.9", "30", "Discount must be 30% or greater. Please try again"},
        {SimpleBox::USAtoCanada, "51.9", "52", "Discount must be 52% or greater. Please try again"},
        {SimpleBox::CanadatoUSA, "59.9", "60", "Discount must be 60% or greater. Please try again"},
    };
    for (const Case& c : cases) {
        const std::string before = v[c.box];
        Type(c.box, c.tooLow);
        std::string result;
        EXPECT_FALSE(EditDiscountBox(v, c.box, result));
        EXPECT_EQ(v[c.box], before) << "the text it had on entry comes back";
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{std::string("Invalid Value: ") + c.message});
        Type(c.box, c.lowest);
        EXPECT_TRUE(EditDiscountBox(v, c.box, result));
        EXPECT_EQ(v[c.box], std::string(c.lowest) + ".0");
        EXPECT_EQ(result, v[c.box]);
        EXPECT_TRUE(TakeMessages().empty());
    }
}

TEST_F(SimpleDiscount, MalformedEntriesAreRefusedWithTheirLanesWording) {
    for (const char* bad : {"", "123", "1.23"}) {
        Type(SimpleBox::USA, bad);
        std::string result;
        EXPECT_FALSE(EditUSUSDisc(v, result)) << bad;
        EXPECT_EQ(result, "XX.X");
        EXPECT_EQ(v[SimpleBox::USA], "45.0");
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{
                                      "Invalid format: Discount must be in this format '99.9'. "
                                      "Please try again"});
    }
    Type(SimpleBox::Canada, "1.23");
    std::string result;
    EXPECT_FALSE(EditCNCNDisc(v, result));
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Invalid format: Discount must be in this format '99.9'.  "
                                       "Please try again."});
    // The Canadian and economy lanes have no lowest discount.
    Type(SimpleBox::Canada, "00.0");
    EXPECT_TRUE(EditCNCNDisc(v, result));
    Type(SimpleBox::PXS, "5");
    EXPECT_TRUE(EditPXSDisc(v, result));
    EXPECT_EQ(v[SimpleBox::PXS], "05.0");
}

TEST_F(SimpleDiscount, NoCheckRunsWhileAMessageIsUpOrOnATieredBox) {
    messages.gMsgShown = true;
    Type(SimpleBox::USA, "1");
    std::string result = "untouched";
    EXPECT_TRUE(EditUSUSDisc(v, result));
    EXPECT_EQ(result, "untouched");
    EXPECT_EQ(v[SimpleBox::USA], "1");
    messages.gMsgShown = false;
    v[SimpleBox::USAtoCanada] = "tier";
    EXPECT_TRUE(EditUSCNDisc(v, result));
    EXPECT_EQ(result, "untouched");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(SimpleDiscount, DoneWritesEveryLaneTheFloorAndThePercentage) {
    Type(SimpleBox::USA, "48");
    Type(SimpleBox::USAFloor, "75");
    Type(SimpleBox::USAtoCanada, "55.5");
    Type(SimpleBox::CanadatoUSA, "61");
    Type(SimpleBox::Canada, "5");
    Type(SimpleBox::PXS, "70");
    ASSERT_TRUE(SimpleDiscountDone(v));
    for (const char* f : kBreakFields) {
        EXPECT_EQ(Break(1, 0, f), "48.0") << f;
        EXPECT_EQ(Break(4, 0, f), "55.5") << f;
        EXPECT_EQ(Break(4, 1, f), "61.0") << f;
        EXPECT_EQ(Break(254, 0, f), "05.0") << f;
    }
    EXPECT_EQ(Break(1, 0, "Floor"), "75.00");
    EXPECT_EQ(FieldOf("SELECT PXSpct FROM Thriftlane", {}), "70.0");
    // The rows the editor does not show stay as they were.
    EXPECT_EQ(Break(1, 1, "d5c"), "45.0");
}

TEST_F(SimpleDiscount, OneRefusedBoxMeansNothingIsWritten) {
    const std::string before = PricingTables();
    Type(SimpleBox::USA, "40");
    Type(SimpleBox::USAtoCanada, "50");
    SimpleBox failed = SimpleBox::PXS;
    EXPECT_FALSE(SimpleDiscountDone(v, &failed));
    EXPECT_EQ(failed, SimpleBox::USAtoCanada);
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(v[SimpleBox::USA], "40.0");  // checked and normalised on the way
    EXPECT_EQ(v[SimpleBox::USAtoCanada], "52.0");
}

TEST_F(SimpleDiscount, DoneChecksTheFloorBox) {
    const std::string before = PricingTables();
    Type(SimpleBox::USAFloor, "1.5");
    SimpleBox failed = SimpleBox::PXS;
    EXPECT_FALSE(SimpleDiscountDone(v, &failed));
    EXPECT_EQ(failed, SimpleBox::USAFloor);
    EXPECT_EQ(v[SimpleBox::USAFloor], "12.50");
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Invalid format: Floor must be in this format '99.99'.  "
                                       "Please try again"});
    EXPECT_EQ(PricingTables(), before);
    // A floor typed and never left is stored in its form.
    Type(SimpleBox::USAFloor, "8");
    ASSERT_TRUE(SimpleDiscountDone(v));
    EXPECT_EQ(Break(1, 0, "Floor"), "08.00");
}

TEST_F(SimpleDiscount, TieredLanesKeepTheirBreaksButTheFloorIsStored) {
    Exec("UPDATE discounts SET d10m = '47.0' WHERE zip = 'ALL' AND region = 1 AND IBOB = 0");
    Exec("UPDATE discounts SET d2m = '58.0' WHERE zip = 'ALL' AND region = 4 AND IBOB = 0");
    Exec("UPDATE discounts SET d2m = '66.0' WHERE zip = 'ALL' AND region = 4 AND IBOB = 1");
    Exec("UPDATE discounts SET dmc = '30.0' WHERE zip = 'ALL' AND region = 254");
    v = LoadSimpleDiscounts();
    for (SimpleBox box :
         {SimpleBox::USA, SimpleBox::USAtoCanada, SimpleBox::CanadatoUSA, SimpleBox::Canada})
        EXPECT_EQ(v[box], "tier");
    Type(SimpleBox::USAFloor, "20.5");
    Type(SimpleBox::PXS, "64.5");
    ASSERT_TRUE(SimpleDiscountDone(v));
    EXPECT_EQ(Break(1, 0, "Floor"), "20.50");
    EXPECT_EQ(FieldOf("SELECT PXSpct FROM Thriftlane", {}), "64.5");
    EXPECT_EQ(Break(1, 0, "d10m"), "47.0");
    EXPECT_EQ(Break(1, 0, "d5c"), "45.0");
    EXPECT_EQ(Break(4, 0, "d2m"), "58.0");
    EXPECT_EQ(Break(4, 1, "d2m"), "66.0");
    EXPECT_EQ(Break(254, 0, "dmc"), "30.0");
    EXPECT_EQ(Break(254, 0, "d5c"), "35.0");
}

TEST_F(SimpleDiscount, AWriteThatFailsTakesBackTheOthers) {
    const std::string before = PricingTables();
    Exec(
        "CREATE TRIGGER refuse BEFORE UPDATE ON Thriftlane "
        "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END");
    Type(SimpleBox::USA, "48");
    EXPECT_FALSE(SimpleDiscountDone(v));
    EXPECT_EQ(PricingTables(), before);
    const auto shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("the disk is full"), std::string::npos);
    EXPECT_NE(shown[0].find("Nothing was saved"), std::string::npos);
}

TEST_F(SimpleDiscount, AMissingRowOfTheDefaultProgramIsNamed) {
    Exec("DELETE FROM discounts WHERE zip = 'ALL' AND region = 4 AND IBOB = 1");
    try {
        LoadSimpleDiscounts();
        FAIL() << "loaded without the row";
    } catch (const MissingPricingRow& e) {
        EXPECT_NE(std::string(e.what()).find("the inbound row of ALL, region 4"),
                  std::string::npos);
    }
    // Gone after the editor loaded: Done says so and stores none of the other lanes.
    const std::string before = PricingTables();
    Type(SimpleBox::USA, "48");
    EXPECT_FALSE(SimpleDiscountDone(v));
    EXPECT_EQ(PricingTables(), before);
    const auto shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("the inbound row of ALL, region 4"), std::string::npos);
}

TEST_F(SimpleDiscount, TheEconomyPercentageComesFromTheEditorLoadedOrNot) {
    InstallCustomisationWindows();
    Exec("UPDATE Thriftlane SET PXSpct = '12.5'");
    EXPECT_EQ(GetPXSPercent(), "12.5");
    EXPECT_EQ(EconomyServicePercent(), "12.5");
    v[SimpleBox::PXS] = "7";  // typed, not yet checked
    SetLoadedSimpleDiscounts(&v);
    EXPECT_EQ(GetPXSPercent(), "7");
    EXPECT_EQ(EconomyServicePercent(), "7");
    SetLoadedSimpleDiscounts(nullptr);
    Exec("DELETE FROM Thriftlane");
    tariff.rsThriftlane->MoveFirst();
    EXPECT_EQ(EconomyServicePercent(), "0");  // no row: no economy discount, no failure
}

}  // namespace
