// Rating a stored bill on the sample tariff: the same quote as the main window's for the same
// shipment, the bill's own ends, lines and classes, the special discount, and every bill that
// cannot be rated refused with a message while the main window's request stays as it was.
#include "blrate.h"

#include <gtest/gtest.h>

#include "blratefixture.h"
#include "blstate.h"
#include "blstore.h"
#include "commodity.h"
#include "displayquote.h"
#include "geography.h"
#include "lanes.h"
#include "offshore.h"
#include "quotecharges.h"
#include "quotesheet.h"
#include "rateshipment.h"
#include "ratingstate.h"
#include "tariffdb.h"

namespace {

class BLRateTest : public BLRatingTest {
  protected:
    // The main window's ends as its request left them, to see that a bill leaves them so.
    struct Ends {
        std::string origZip, origCity, destZip, destCity;
        uint8_t origCountry, destCountry;
        int32_t lane;
        uint8_t days;
        bool operator==(const Ends&) const = default;
    };
    static Ends MainEnds() {
        return {tariff.gOrigZip,     tariff.gOrigCityState, tariff.gDestZip,  tariff.gDestCityState,
                tariff.gOrigCountry, tariff.gDestCountry,   rating.gLaneCode, rating.gServiceDays};
    }
    static int Applied(const std::string& accessorial) {
        Snapshot s = tariff.gDB->OpenSnapshot("SELECT apply FROM accessorials WHERE name = ?",
                                              {accessorial});
        return s.Field(size_t{0}).toInt();
    }
};

TEST_F(BLRateTest, ABillIsQuotedToTheCentAsTheMainWindowQuotesTheSameShipment) {
    SetMainRequest("53202", "43215", {{"450", "70"}, {"1200", "100"}});
    ASSERT_TRUE(RateShipment());
    DisplayQuote(0);
    const std::vector<std::string> mainRows = SheetRows();
    const Single mainTotal = charges.gQuoteTotal;
    const std::string mainService = quote.mlblService, mainOffers = quote.qmrqQPO1 + quote.qmrqQPO2;
    ASSERT_GT(mainTotal, 0);

    // The main window now holds another request, with an accessorial chosen.
    SetMainRequest("10001", "60601", {{"300", "85"}});
    tariff.gDB->Execute("UPDATE accessorials SET apply = 1 WHERE name = 'Liftgate service'");
    commodityLines.gAccLiftgate = true;
    const Ends before = MainEnds();
    quote.Reset();

    const std::string bill =
        AddBillBetween("B-100", "53202", "43215", {{"70", "3", "450"}, {"100", "12", "1200"}});
    ASSERT_TRUE(RateBL(bill, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    DisplayQuote(1);
    EXPECT_EQ(SheetRows(), mainRows);
    EXPECT_EQ(charges.gQuoteTotal, mainTotal);
    EXPECT_EQ(quote.mlblService, mainService);
    EXPECT_EQ(quote.qmrqQPO1 + quote.qmrqQPO2, mainOffers);
    EXPECT_EQ(quote.txtOriginZip.substr(0, 9), "53202 -- ");
    EXPECT_EQ(quote.txtDestZip.substr(0, 9), "43215 -- ");
    // While the quote waits to be printed the liftgate is not the bill's, yet it stays stored
    // as the main window's choice: a program ended now loses nothing.
    EXPECT_EQ(Applied("Liftgate service"), 1);
    EXPECT_FALSE(commodityLines.gAccLiftgate);
    for (const std::string& row : SheetRows()) EXPECT_EQ(row.find("Liftgate"), std::string::npos);

    EndBillRating();
    EXPECT_TRUE(MainEnds() == before);
    EXPECT_EQ(Applied("Liftgate service"), 1);
    EXPECT_TRUE(commodityLines.gAccLiftgate);
    EXPECT_TRUE(Shown().empty());
}

// Between two Canadian points a bill's quote is written as the main window's: every line net
// of the discount, the deficit too, and the price the sum of the lines shown.
TEST_F(BLRateTest, ABillBetweenCanadianPointsShowsNetLinesThatAddUpToItsPrice) {
    const std::string bill =
        AddBillBetween("B-150", "V9X4S3", "M1T5X7",
                       {{"100", "3", "2539"}, {"100", "9", "12372"}, {"70", "4", "5051"}});
    ASSERT_TRUE(RateBL(bill, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    DisplayQuote(1);
    const std::vector<std::string> rows = SheetRows();
    MoneyTotal lines = 0;
    size_t n = 0;
    for (; n < rows.size() && rows[n].rfind("Rated as|", 0) != 0; ++n) {
        const std::string charge = rows[n].substr(rows[n].rfind('|') + 1);
        if (charge != " ") lines += CDbl(charge);
    }
    ASSERT_LT(n + 1, rows.size()) << "no deficit: the quote is rated at its own bracket";
    EXPECT_EQ(rows[n - 1].rfind("Deficit Amount|", 0), 0u) << rows[n - 1];
    const std::string closing = rows[n + 1].substr(rows[n + 1].rfind('|') + 1);
    EXPECT_EQ(closing, Format(lines, "$##,##0.00"));
    EXPECT_EQ(Format(charges.totalShown, "$##,##0.00"), closing);
    EndBillRating();
}

// A bill is rated without the main window's accessorial choices, and without writing to the
// store that keeps them: a store that refuses every change does not stop the bill.
TEST_F(BLRateTest, TheMainWindowsChoicesAreNotChargedNorTouchedByABill) {
    SetMainRequest("10001", "60601", {{"300", "85"}});
    tariff.gDB->Execute(
        "UPDATE accessorials SET apply = 1 "
        "WHERE name IN ('Liftgate service', 'Residential delivery')");
    tariff.gDB->Execute(
        "CREATE TRIGGER keep BEFORE UPDATE OF apply ON accessorials "
        "BEGIN SELECT RAISE(ABORT, 'the choice is kept'); END");
    const std::string bill = AddBillBetween("B-100", "53202", "43215", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    EXPECT_TRUE(rating.gMainChoicesAside);
    DisplayQuote(1);
    for (const std::string& row : SheetRows()) {
        EXPECT_EQ(row.find("Liftgate"), std::string::npos) << row;
        EXPECT_EQ(row.find("Residential"), std::string::npos) << row;
    }
    const Single billTotal = charges.gQuoteTotal;
    EXPECT_EQ(Applied("Liftgate service"), 1);
    EXPECT_EQ(Applied("Residential delivery"), 1);
    EndBillRating();
    EXPECT_FALSE(rating.gMainChoicesAside);
    EXPECT_TRUE(Shown().empty()) << ShownTexts().front();

    // The main window's own rating of the same lane still charges them.
    SetMainRequest("53202", "43215", {{"450", "70"}});
    ASSERT_TRUE(RateShipment());
    DisplayQuote(0);
    EXPECT_GT(charges.gQuoteTotal, billTotal);
}

TEST_F(BLRateTest, RatingShowsTheQuoteWindowAndARerateRatesTheSameBill) {
    SetMainRequest("10001", "60601", {{"300", "85"}});
    const Ends before = MainEnds();
    const std::string bill = AddBillBetween("B-200", "53202", "43215", {{"70", "3", "450"}});
    rerateOnShow = 1;
    EXPECT_TRUE(RateBL(bill, 0));
    // The window asked to rate again: the bill was rated and shown once more, with its ends.
    EXPECT_EQ(quoteWindowsShown, 2);
    EXPECT_EQ(quote.txtOriginZip.substr(0, 5), "53202");
    EXPECT_EQ(quote.txtDestZip.substr(0, 5), "43215");
    EXPECT_EQ(rating.gLineWeight[0], "450");
    // Once the window is closed the main window's request is back.
    EXPECT_TRUE(MainEnds() == before);
}

TEST_F(BLRateTest, CodesAreTrimmedBeforeTheyAreCut) {
    EXPECT_EQ(RatingCodeOfZip(" 53202-1234 "), "53202");
    EXPECT_EQ(RatingCodeOfZip("  43215"), "43215");
    EXPECT_EQ(RatingCodeOfZip(" m5v 2t6 "), "M5V 2T6");
    EXPECT_EQ(RatingCodeOfZip("   "), "");

    const std::string bill = AddBillBetween("B-300", " 53202 ", "43215-1234", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1));
    EXPECT_EQ(tariff.gOrigZip, "53202");
    EXPECT_EQ(tariff.gOrigZip3, "532");
    EXPECT_EQ(tariff.gDestZip, "43215");
    EXPECT_EQ(tariff.gDestZip3, "432");
    EndBillRating();

    const std::string toronto = AddBillBetween("B-301", "53202", "m5v 2t6", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(toronto, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    EXPECT_EQ(tariff.gDestZip, "M5V 2T6");
    EXPECT_EQ(tariff.gDestCountry, 1);
    // Keyed as the main window keys a Canadian end: by the code's first three characters.
    EXPECT_EQ(tariff.gDestZip3, "M5V");
}

TEST_F(BLRateTest, TheBillsOwnLinesAreRatedAndALineWithoutWeightIsSkipped) {
    const BLRecordId shipper = AddParty("Lakeside Mills", kRoleShipper, "53202");
    const BLRecordId consignee = AddParty("Capitol Foods", kRoleConsignee, "43215");
    const BLRecordId bolts = AddCommodity("Bolts", "10", "70");
    const BLRecordId lamps = AddCommodity("Lamps", "4", "150");
    const BLRecordId chairs = AddCommodity("Chairs", "20", "100");
    AddBill("B-400", shipper, consignee, 0,
            {{bolts, "3", "300"}, {lamps, "", ""}, {chairs, "2", "40"}});
    commodityLines.cmbclass = {"50", "50", "50", "50", "50"};

    ASSERT_TRUE(RateBL("B-400", 1));
    EXPECT_EQ(rating.gLineWeight[0], "300");
    EXPECT_EQ(rating.gLineWeight[1], "40");
    EXPECT_EQ(rating.gLineWeight[2], "");
    EXPECT_EQ(rating.gLineClass[0], "70");
    EXPECT_EQ(rating.gLineClass[1], "100");
    EXPECT_EQ(rating.gLineCount, 2);
    EXPECT_EQ(rating.gTotalWeight, 340);
    EndBillRating();

    // A class changed in the catalogue after the bill was saved is rated as it is now.
    CommodityRecord changed = *ReadCommodity(chairs);
    changed.commodityClass = "125";
    StoreCommodity(changed, true);
    ASSERT_TRUE(RateBL("B-400", 1));
    EXPECT_EQ(rating.gLineClass[1], "125");
}

TEST_F(BLRateTest, TheFAKProfileMapsTheBillsClassesNotTheMainWindowsBoxes) {
    // Class 70 (the fifth class) rates at 100 (the ninth) on every lane within the states.
    tariff.gDB->Execute(
        "UPDATE faktable SET profil = '000102030805060708091011121314151617' "
        "WHERE zip = 'ALL' AND region = 1 AND IBOB = 0");
    commodityLines.cmbclass = {"50", "50", "50", "50", "50"};
    const std::string bill = AddBillBetween("B-500", "53202", "43215", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    EXPECT_TRUE(rating.gFAKActive);
    EXPECT_EQ(rating.gLineClassActual[0], "70");
    EXPECT_EQ(rating.gLineClass[0], "100");
}

TEST_F(BLRateTest, TheSpecialDiscountAppliesOnlyWhilePrinting) {
    const std::string bill = AddBillBetween("B-600", "53202", "43215", {{"70", "3", "450"}});
    SetSetting("BL_Discount", "25.0");
    blWindow.boolSpecialDiscount = true;

    // Rate (not printing): the lane's own discounts.
    ASSERT_TRUE(RateBL(bill, 1));
    const auto lane = rating.gBreakDisc2;
    EXPECT_NE(rating.gBreakDisc[3], "25.0");
    EndBillRating();

    blWindow.BLPrinting = true;
    ASSERT_TRUE(RateBL(bill, 1));
    for (int b = 0; b <= 10; ++b) EXPECT_EQ(rating.gBreakDisc[static_cast<size_t>(b)], "25.0");
    EXPECT_EQ(rating.gBreakDisc2, lane);
    DisplayQuote(1);
    // 25 % off the gross of the break charged.
    EXPECT_NEAR(rating.gDiscAmount[rating.gBreak], rating.gGrossCharge[rating.gBreak] * 0.25,
                0.006);
    EndBillRating();

    // Without the setting the special discount is no discount at all.
    tariff.gDB->Execute("DELETE FROM tblConfig WHERE keyf = 'BL_Discount'");
    ASSERT_TRUE(RateBL(bill, 1));
    DisplayQuote(1);
    EXPECT_EQ(rating.gBreakDisc[0], "");
    EXPECT_EQ(rating.gDiscAmount[rating.gBreak], 0);
}

TEST_F(BLRateTest, BillsThatCannotBeRatedAreRefusedAndTheMainRequestStays) {
    SetMainRequest("10001", "60601", {{"300", "85"}});
    const Ends before = MainEnds();
    const BLRecordId goods = AddCommodity("Crates", "10", "70");
    const BLRecordId ok = AddParty("Good Shipper", kRoleShipper | kRoleConsignee, "53202");
    const BLRecordId noZip = AddParty("No Code Ltd", kRoleConsignee, "  ");
    const BLRecordId unknown = AddParty("Nowhere Inc", kRoleConsignee, "00000");
    const BLRecordId honolulu = AddParty("Island Co", kRoleConsignee, "96813");
    const BLRecordId anchorage = AddParty("Northern Co", kRoleShipper, "99501");
    const BLRecordId gone = AddParty("Gone Ltd", kRoleConsignee, "43215");
    const BLRecordId iqaluit = AddParty("Arctic Stores", kRoleConsignee, "X0A 1A0");
    const std::vector<BLLineRecord> line{{goods, "3", "300"}};
    AddBill("R-1", ok, noZip, 0, line);
    AddBill("R-2", ok, unknown, 0, line);
    AddBill("R-3", ok, honolulu, 0, line);
    AddBill("R-4", anchorage, ok, 0, line);
    AddBill("R-5", ok, gone, 0, line);
    EraseParty(gone);
    AddBill("R-6", ok, ok, 0, {{goods, "3", ""}, {goods, "", "0"}});
    AddBill("R-7", ok, ok, 0);
    const BLRecordId lost = AddCommodity("Lost goods", "10", "70");
    AddBill("R-8", ok, ok, 0, {{lost, "1", "100"}});
    EraseCommodity(lost);
    AddBill("R-9", ok, iqaluit, 0, line);

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"R-0", "B/L R-0 is not on file."},
        {"R-1", "The consignee No Code Ltd has no ZIP or postal code."},
        {"R-2", "The consignee's ZIP or postal code 00000 was not verified."},
        {"R-3", "Contact your NORVALE representative about service to Hawaii."},
        {"R-4", "Contact your NORVALE representative about outbound service from Alaska."},
        {"R-5", "The consignee of B/L R-5 is not in the address book."},
        {"R-6", "B/L R-6 has no commodity line with a weight to rate."},
        {"R-7", "B/L R-7 has no commodity line with a weight to rate."},
        {"R-8", "A commodity of B/L R-8 is no longer in the catalogue."},
        {"R-9", "does not service this lane."},
    };
    for (const auto& [number, text] : cases) {
        messageScript.Reset();
        messageScript.Start();
        EXPECT_FALSE(RateBL(number, 0)) << number;
        ASSERT_EQ(Shown().size(), 1u) << number;
        EXPECT_NE(ShownTexts()[0].find(text), std::string::npos)
            << number << ": " << ShownTexts()[0];
        EXPECT_TRUE(MainEnds() == before) << number;
    }
    EXPECT_EQ(quoteWindowsShown, 0);
    EXPECT_EQ(Shown()[0].title.toStdString(), "No Service");
    EXPECT_NE(ShownTexts()[0].find("As of " + tariff.gEffDate + " NORVALE does"),
              std::string::npos);
}

// A refused line is named by its number on the bill, not by its place among the lines rated,
// and a stored class that is not an NMFC class names the commodity that holds it.
TEST_F(BLRateTest, RefusalsNameTheBillsOwnLineAndTheCommodity) {
    const BLRecordId shipper = AddParty("Lakeside Mills", kRoleShipper, "53202");
    const BLRecordId consignee = AddParty("Capitol Foods", kRoleConsignee, "43215");
    const BLRecordId bolts = AddCommodity("Bolts", "10", "70");
    const BLRecordId odd = AddCommodity("Odd Lamps", "4", "72");
    AddBill("L-1", shipper, consignee, 0, {{bolts, "1", ""}, {bolts, "2", "0.3"}});
    AddBill("L-2", shipper, consignee, 0, {{bolts, "1", ""}, {bolts, "2", "1,000"}});
    AddBill("L-3", shipper, consignee, 0,
            {{bolts, "1", ""}, {bolts, "1", "120"}, {odd, "2", "300"}});
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"L-1", "The commodity on line  2 of B/L L-1 must weigh more than 0 lbs."},
        {"L-2", "The weight on line  2 of B/L L-2 is not a plain number.  Type the weight in "
                "pounds as digits, without commas"},
        {"L-3", "The class \"72\" of the commodity \"Odd Lamps\" on line  3 of B/L L-3 is not "
                "an NMFC class.  Please correct it in the commodity catalogue."},
    };
    for (const auto& [number, text] : cases) {
        messageScript.Reset();
        messageScript.Start();
        EXPECT_FALSE(RateBL(number, 1)) << number;
        ASSERT_EQ(Shown().size(), 1u) << number;
        EXPECT_NE(ShownTexts()[0].find(text), std::string::npos) << ShownTexts()[0];
    }
}

TEST_F(BLRateTest, ANoServiceLaneLeavesTheLastRatingsLines) {
    const std::string bill = AddBillBetween("B-700", "53202", "43215", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1));
    EndBillRating();
    AddBillBetween("B-701", "53202", "X0A 1A0", {{"100", "1", "999"}});
    EXPECT_FALSE(RateBL("B-701", 1));
    EXPECT_EQ(rating.gLineWeight[0], "450");
    EXPECT_EQ(rating.gLineClass[0], "70");
}

TEST_F(BLRateTest, TheBillsEndsChooseTheCustomersShippingLocation) {
    // Milwaukee is one of the customer's locations, with its own discounts to Ohio.
    tariff.gDB->Execute("INSERT INTO shipzips (zip) VALUES ('532')");
    tariff.gDB->Execute("INSERT INTO states (State, zip, region) VALUES ('OH', '532', 2)");
    tariff.gDB->Execute(
        "INSERT INTO discounts VALUES ('532', 2, 0, '00.00', '61.5', '61.5', '61.5', '61.5', "
        "'61.5', '61.5', '61.5', '61.5', '61.5', '61.5', '61.5')");
    rating.gOutbound = false;
    const std::string bill = AddBillBetween("B-800", "53202", "43215", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1)) << (Shown().empty() ? "" : ShownTexts().back());
    EXPECT_TRUE(rating.gOutbound);
    EXPECT_FALSE(rating.gInbound);
    EXPECT_EQ(rating.gBreakDisc2[1], "61.5");
    EndBillRating();
    EXPECT_FALSE(rating.gOutbound);
}

// A Canadian shipping location is found by its own code on a bill, inbound and outbound, and
// not by the base zone the tariff keys the point with, which may be another location's code.
TEST_F(BLRateTest, ABillToOrFromACanadianLocationIsPricedAtThatLocationsDiscounts) {
    const std::string baseZone = CanadaBaseZone("M5V 2T6");
    ASSERT_NE(baseZone, "M5V");
    auto addLocation = [](const std::string& zip, const std::string& pct) {
        tariff.gDB->Execute("INSERT INTO shipzips (zip) VALUES (?)", {zip});
        for (const char* state : {"WI", "OH"}) {
            tariff.gDB->Execute("INSERT INTO states (State, zip, region) VALUES (?, ?, 2)",
                                {std::string(state), zip});
        }
        for (int ibob : {0, 1})
            tariff.gDB->Execute(
                "INSERT INTO discounts VALUES (?1, 2, ?2, '00.00', ?3, ?3, ?3, ?3, ?3, ?3, ?3, "
                "?3, ?3, ?3, ?3)",
                {zip, ibob, pct});
    };
    addLocation("M5V", "44.5");
    const std::vector<std::vector<std::string>> lines = {
        {"85", "1", "500"}, {"100", "1", "80"}, {"150", "1", "400"}, {"55", "1", "500"},
        {"77.5", "1", "300"}};
    const std::string in = AddBillBetween("C-1", "53202", "M5V 2T6", lines);
    const std::string out = AddBillBetween("C-2", "M5V 2T6", "43215", lines);

    // The main window's quote of the same shipment, its ends keyed as it keys them.
    SetMainRequest("53202", "M5V 2T6",
                   {{"500", "85"}, {"80", "100"}, {"400", "150"}, {"500", "55"}, {"300", "77.5"}});
    rating.gOutbound = IsShipLocationZip(tariff.gOrigZip3, 0);
    rating.gInbound = IsShipLocationZip(tariff.gDestZip3, 1);
    ASSERT_TRUE(RateShipment()) << (Shown().empty() ? "" : ShownTexts().back());
    DisplayQuote(0);
    const Single mainTotal = charges.gQuoteTotal;

    for (bool decoy : {false, true}) {
        // A second location keyed by the base zone would be found by the wrong key.
        if (decoy) addLocation(baseZone, "10.0");
        ASSERT_TRUE(RateBL(in, 1)) << (Shown().empty() ? "" : ShownTexts().back());
        EXPECT_TRUE(rating.gInbound);
        EXPECT_EQ(tariff.gDestZip3, "M5V");
        EXPECT_EQ(rating.gBreakDisc2[1], "44.5") << decoy;
        DisplayQuote(1);
        EXPECT_EQ(charges.gQuoteTotal, mainTotal) << decoy;
        EndBillRating();

        ASSERT_TRUE(RateBL(out, 1)) << (Shown().empty() ? "" : ShownTexts().back());
        EXPECT_TRUE(rating.gOutbound);
        EXPECT_FALSE(rating.gInbound);
        EXPECT_EQ(tariff.gOrigZip3, "M5V");
        EXPECT_EQ(rating.gBreakDisc2[1], "44.5") << decoy;
        EndBillRating();
    }
    EXPECT_TRUE(Shown().empty()) << ShownTexts().front();
}

TEST_F(BLRateTest, OffshoreValuesOfTheMainWindowDoNotReachTheBill) {
    rating.gOffshoreDestZip = "96813";
    tariff.gOffshoreState = "HI";
    offshore.gIsHI = true;
    offshore.gOffshoreName = "Hawaii";
    commodityLines.txtOceanDensity = "120";
    rating.gCanTax.fill(3);
    const std::string bill = AddBillBetween("B-900", "53202", "43215", {{"70", "3", "450"}});
    ASSERT_TRUE(RateBL(bill, 1));
    DisplayQuote(1);
    EXPECT_FALSE(offshore.gIsHI);
    EXPECT_TRUE(rating.gOffshoreDestZip.empty());
    for (Single tax : rating.gCanTax) EXPECT_EQ(tax, 0);
    for (const std::string& row : SheetRows()) EXPECT_EQ(row.find("OCEAN"), std::string::npos);
    EndBillRating();
    EXPECT_TRUE(offshore.gIsHI);
    EXPECT_EQ(rating.gOffshoreDestZip, "96813");
    EXPECT_EQ(commodityLines.txtOceanDensity, "120");
}

}  // namespace
