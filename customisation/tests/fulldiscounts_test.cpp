// The full discount editor's values and steps on a copy of the sample tariff: the region list
// and its cap, new regions without duplicate rows, the boxes by row key, the checks and writes
// on leaving a box, missing rows mended, and a click on the map with its intrastate floor.

#include "fulldiscounts.h"

#include <gtest/gtest.h>

#include "discountstore.h"
#include "pricingfixture.h"
#include "recordingcontrol.h"
#include "shiplocations.h"
#include "tariffdb.h"

namespace {

class FullDiscountsTest : public PricingTest {
  protected:
    void SetUp() override {
        PricingTest::SetUp();
        tariff.startupValues["FLOOR_qzbintra"] = "61.00";
        tariff.startupValues["FLOOR_qzdintra"] = "72.50";
        tariff.startupValues["FLOOR_qzdcalif"] = "83.25";
    }

    // Makes the location and region current, as picking them in the window does.
    void Open(const std::string& location, uint8_t region = 1) {
        customisation.gShipLoc = location;
        PickRegion(v, location, region);
    }

    std::string Field(const std::string& field, const std::string& location, int region, int ibob) {
        return FieldOf(
            "SELECT " + field + " FROM discounts WHERE zip = ?1 AND region = ?2 AND IBOB = ?3",
            {location, region, ibob});
    }
    int RegionRows(const char* table, const std::string& location, int region) {
        return std::stoi(FieldOf(
            std::string("SELECT count(*) FROM ") + table + " WHERE zip = ?1 AND region = ?2",
            {location, region}));
    }
    // Every break of the row, joined: one value eleven times when a single discount was written.
    std::string Breaks(const std::string& location, int region, int ibob) {
        std::string out;
        for (const char* field : kBreakFields) out += Field(field, location, region, ibob) + " ";
        return out;
    }
    static std::string Eleven(const std::string& value) {
        std::string out;
        for (int i = 0; i < 11; ++i) out += value + " ";
        return out;
    }
    // Types the text into the box between entering and leaving it.
    bool Type(FullBox box, const std::string& text) {
        EnterBox(v, box);
        v[box] = text;
        return LeaveBox(v, box);
    }

    FullDiscountValues v;
};

TEST_F(FullDiscountsTest, LocationListAndCaptions) {
    FillShipLocs(v);
    EXPECT_EQ(v.locations, (std::vector<std::string>{"ALL"}));
    EXPECT_EQ(v.lblShipLoc, "This discount program applies to all shipments");
    AddShippingLocation("456");
    AddShippingLocation("123");
    FillShipLocs(v);
    EXPECT_EQ(v.locations, (std::vector<std::string>{"123", "456", "ALL"}));
    EXPECT_EQ(v.lblShipLoc,
              "This discount program applies to your shipping location at ZIP/postal zone:");
    SetZoneCaptions(v, "123");
    EXPECT_EQ(v.lblZIPZone, "Shipments between ZIP/Postal zone 123 and");
    EXPECT_EQ(v.lblIBZone, "I/B to ZIP/Postal zone 123");
    EXPECT_EQ(v.lblOBZone, "O/B from ZIP/Postal zone 123");
}

TEST_F(FullDiscountsTest, RegionsListedUpToTheCapOfThirteen) {
    EXPECT_EQ(RegionItems(3), (std::vector<std::string>{"Region1", "Region2", "Region3"}));
    EXPECT_EQ(RegionItems(20).size(), 13u);
    EXPECT_EQ(RegionItems(20).back(), "Region13");
    EXPECT_TRUE(RegionItems(0).empty());

    AddShippingLocation("606");
    EXPECT_EQ(FillRegionList("606", false).size(), 4u);
    Open("606");
    EXPECT_EQ(CreateNewRegion(v, "606"), 5);
    EXPECT_EQ(customisation.gRegion, 5);
    EXPECT_EQ(FillRegionList("606", customisation.gNewRegion).size(), 5u);
    // Rebuilt before any state went to region 5: it drops out of the list again.
    EXPECT_EQ(FillRegionList("606", false).size(), 4u);

    // The same request again reuses region 5 and its rows.
    EXPECT_EQ(CreateNewRegion(v, "606"), 5);
    EXPECT_EQ(RegionRows("discounts", "606", 5), 2);
    EXPECT_EQ(RegionRows("faktable", "606", 5), 2);

    // Regions up to 13 given a state each: no fourteenth.
    SetStateRegion("Ohio", 13, "606");
    const std::string before = PricingTables();
    TakeMessages();
    EXPECT_EQ(CreateNewRegion(v, "606"), 0);
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{
                                  "No regions available: The maximum number of discount regions "
                                  "has been reached."}));
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(FillRegionList("606", false).size(), 13u);
}

TEST_F(FullDiscountsTest, NewRegionIsShownWithItsDefaults) {
    AddShippingLocation("900");  // a QZD location: a region it adds takes the inter floor
    Open("900", 2);
    ASSERT_EQ(CreateNewRegion(v, "900"), 5);
    EXPECT_EQ(v.txtIBDisc, "41.0");
    EXPECT_EQ(v.txtOBDisc, "41.0");
    EXPECT_EQ(v.txtIBFloor, "33.33");
    EXPECT_EQ(v.txtOBFloor, "33.33");
    // What is typed next goes to the new region, not to region 2.
    const std::string region2 = Breaks("900", 2, 1);
    ASSERT_TRUE(Type(FullBox::IBDisc, "17"));
    EXPECT_EQ(Breaks("900", 5, 1), Eleven("17.0"));
    EXPECT_EQ(Breaks("900", 2, 1), region2);
}

TEST_F(FullDiscountsTest, DiscountBoxWritesAllElevenBreaksOrRefuses) {
    AddShippingLocation("606");
    Open("606", 2);
    ASSERT_TRUE(Type(FullBox::OBDisc, "45"));
    EXPECT_EQ(v.txtOBDisc, "45.0");
    EXPECT_EQ(Breaks("606", 2, 0), Eleven("45.0"));
    EXPECT_EQ(Breaks("606", 2, 1), Eleven("41.0"));  // the inbound row is another row
    TakeMessages();

    const std::string before = PricingTables();
    for (const char* bad : {"4.5", ""}) {
        EXPECT_FALSE(Type(FullBox::OBDisc, bad)) << bad;
        EXPECT_EQ(v.txtOBDisc, "45.0");
        EXPECT_EQ(TakeMessages(),
                  (std::vector<std::string>{"Data Entry Error: Discount must be between 00.0 and "
                                            "99.9.  Please try again."}));
    }
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(FullDiscountsTest, RefusedOutboundDiscountGetsItsOwnTextBack) {
    AddShippingLocation("606");
    Open("606");
    ASSERT_TRUE(Type(FullBox::IBDisc, "30"));
    ASSERT_TRUE(Type(FullBox::OBDisc, "35"));
    EnterBox(v, FullBox::IBDisc);
    EnterBox(v, FullBox::OBDisc);
    v.txtOBDisc = "123";
    EXPECT_FALSE(LeaveBox(v, FullBox::OBDisc));
    EXPECT_EQ(v.txtOBDisc, "35.0");
}

TEST_F(FullDiscountsTest, TierBoxLeftUnchangedWritesNothing) {
    AddShippingLocation("606");
    tariff.gDB->Execute(
        "UPDATE discounts SET d10m = '35.0' WHERE zip = '606' AND region = 1 "
        "AND IBOB = 1");
    Open("606");
    EXPECT_EQ(v.txtIBDisc, "tier");
    EXPECT_EQ(v.txtOBDisc, "41.0");
    const std::string before = PricingTables();
    EXPECT_TRUE(Type(FullBox::IBDisc, "tier"));
    EXPECT_EQ(PricingTables(), before);
    // A value typed over "tier" replaces the breaks.
    EXPECT_TRUE(Type(FullBox::IBDisc, "30"));
    EXPECT_EQ(Breaks("606", 1, 1), Eleven("30.0"));
}

TEST_F(FullDiscountsTest, LeaveAfterDoubleClickOnlyClearsTheFlag) {
    AddShippingLocation("606");
    Open("606");
    const std::string before = PricingTables();
    v.mSkipLostFocus = true;
    EXPECT_TRUE(Type(FullBox::IBDisc, "4.5"));
    EXPECT_FALSE(v.mSkipLostFocus);
    EXPECT_EQ(PricingTables(), before);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(FullDiscountsTest, FloorBoxStoresTwoDecimalsOrRefuses) {
    AddShippingLocation("606");
    Open("606", 3);
    ASSERT_TRUE(Type(FullBox::IBFloor, "5"));
    EXPECT_EQ(v.txtIBFloor, "05.00");
    EXPECT_EQ(Field("Floor", "606", 3, 1), "05.00");
    const std::string outbound = Field("Floor", "606", 3, 0);
    TakeMessages();
    EXPECT_FALSE(Type(FullBox::IBFloor, "1.25"));
    EXPECT_EQ(v.txtIBFloor, "05.00");
    EXPECT_EQ(Field("Floor", "606", 3, 1), "05.00");
    EXPECT_EQ(Field("Floor", "606", 3, 0), outbound);
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{"Invalid format: Floor must be in this "
                                                        "format '99.99'.  Please try again"}));
}

TEST_F(FullDiscountsTest, OutboundRowFoundByItsKey) {
    AddShippingLocation("606");
    // Region 3's rows stored outbound first: the row after the inbound one is another region's.
    tariff.gDB->Execute("DELETE FROM discounts WHERE zip = '606' AND region = 3");
    AddDiscountRow("606", 3, kOutbound);
    AddDiscountRow("606", 3, kInbound);
    tariff.gDB->Execute(
        "UPDATE discounts SET d5c = '11.0', dmc = '11.0', Floor = '01.00' WHERE "
        "zip = '606' AND region = 3 AND IBOB = 0");
    tariff.gDB->Execute(
        "UPDATE discounts SET Floor = '02.00' WHERE zip = '606' AND region = 3 "
        "AND IBOB = 1");
    Open("606", 3);
    EXPECT_EQ(v.txtIBDisc, "41.0");
    EXPECT_EQ(v.txtIBFloor, "02.00");
    EXPECT_EQ(v.txtOBDisc, "tier");
    EXPECT_EQ(v.txtOBFloor, "01.00");
}

TEST_F(FullDiscountsTest, MissingRowsAreAddedAloneAndShownBeforeAnyWrite) {
    AddShippingLocation("606");
    tariff.gDB->Execute(
        "UPDATE discounts SET dmc = '12.0', dL5C = '12.0', d5c = '12.0', d1m = "
        "'12.0', d2m = '12.0', d5m = '12.0', d10m = '12.0', d15m = '12.0', d20m = "
        "'12.0', d25m = '12.0', d30m = '12.0' WHERE zip = '606' AND region = 2 AND "
        "IBOB = 0");
    tariff.gDB->Execute("DELETE FROM discounts WHERE zip = '606' AND region = 2 AND IBOB = 1");
    Open("606", 1);
    ASSERT_TRUE(Type(FullBox::IBDisc, "30"));
    PickRegion(v, "606", 2);
    EXPECT_EQ(RegionRows("discounts", "606", 2), 2);
    EXPECT_EQ(RegionRows("faktable", "606", 2), 2);
    // The boxes show region 2, the added inbound row's defaults and the outbound row kept.
    EXPECT_EQ(v.txtIBDisc, "41.0");
    EXPECT_EQ(v.txtOBDisc, "12.0");
    EXPECT_EQ(Breaks("606", 2, 0), Eleven("12.0"));
    // Leaving the inbound box now writes the value shown, to region 2's new row.
    ASSERT_TRUE(Type(FullBox::IBDisc, v.txtIBDisc));
    EXPECT_EQ(Breaks("606", 2, 1), Eleven("41.0"));
    EXPECT_EQ(Breaks("606", 1, 1), Eleven("30.0"));

    // A region with no row at all gets all four.
    EXPECT_EQ(AddMissingRegionRows("606", 9), 4);
    EXPECT_EQ(AddMissingRegionRows("606", 9), 0);
}

TEST_F(FullDiscountsTest, ClickOnAStateRecoloursItAndStoresItsRegion) {
    AddShippingLocation("606");
    Open("606", 2);
    // A drawing left another region's colour current.
    customisation.gRegionRGB = {1, 2, 3};
    RecordingControl control;
    ASSERT_TRUE(ClickMapState(control, v, "Ohio"));
    EXPECT_EQ(control.calls, (std::vector<std::string>{"143 Ohio 0 150 72", "137 Ohio 1 0"}));
    EXPECT_EQ(RegionOfStateName("Ohio", "606"), 2);

    // A polygon no state of the list names takes no click.
    const std::string before = PricingTables();
    control.calls.clear();
    EXPECT_FALSE(ClickMapState(control, v, "Alaska"));
    EXPECT_TRUE(control.calls.empty());
    EXPECT_EQ(PricingTables(), before);
}

TEST_F(FullDiscountsTest, IntrastateFloorOfAClick) {
    AddShippingLocation("900");  // Los Angeles: QZD, California
    AddShippingLocation("303");  // Atlanta: QZB, Georgia
    AddShippingLocation("606");  // Chicago: QZA, Illinois
    RecordingControl control;

    // Region 4 or lower: the state moves, no floor.
    Open("900", 4);
    const std::string floor4 = Field("Floor", "900", 4, 1);
    ASSERT_TRUE(ClickMapState(control, v, "California"));
    EXPECT_EQ(RegionOfStateName("California", "900"), 4);
    EXPECT_EQ(Field("Floor", "900", 4, 1), floor4);

    Open("900");
    ASSERT_EQ(CreateNewRegion(v, "900"), 5);
    ASSERT_TRUE(ClickMapState(control, v, "Nevada"));  // not the location's own state
    EXPECT_EQ(Field("Floor", "900", 5, 1), "33.33");
    ASSERT_TRUE(ClickMapState(control, v, "California"));
    EXPECT_EQ(Field("Floor", "900", 5, 1), "83.25");
    EXPECT_EQ(Field("Floor", "900", 5, 0), "83.25");
    EXPECT_EQ(v.txtIBFloor, "83.25");
    EXPECT_EQ(v.txtOBFloor, "83.25");

    Open("303");
    ASSERT_EQ(CreateNewRegion(v, "303"), 5);
    ASSERT_TRUE(ClickMapState(control, v, "Georgia"));
    EXPECT_EQ(Field("Floor", "303", 5, 1), "61.00");
    EXPECT_EQ(Field("Floor", "303", 5, 0), "61.00");

    Open("606");
    ASSERT_EQ(CreateNewRegion(v, "606"), 5);
    ASSERT_TRUE(ClickMapState(control, v, "Illinois"));
    EXPECT_EQ(RegionOfStateName("Illinois", "606"), 5);
    EXPECT_EQ(Field("Floor", "606", 5, 1), "11.11");
}

}  // namespace
