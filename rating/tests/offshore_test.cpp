// Offshore destination set-up: the gateway in the destination's place, the delivery zone, the
// port and military questions, and a set-up that cannot finish.

#include <gtest/gtest.h>

#include <fstream>

#include "lanes.h"
#include "offshorecharges.h"
#include "offshorefixture.h"

namespace {

class OffshoreSetup : public OffshoreTest {
  protected:
    // Puts a lane code into the three lane files of the scratch copy and opens them again.
    void WriteLane(int16_t origin, const std::string& port, const std::string& code) {
        const int32_t cell = GridCellNumber(origin, ZipSubscript(port.substr(0, 3)));
        CloseAll();
        const char* files[] = {"data/cxgrd.dat", "data/cxlns.dat", "data/cxmap.dat"};
        for (size_t i = 0; i < 3; ++i) {
            std::fstream f(app.file(files[i]), std::ios::in | std::ios::out | std::ios::binary);
            ASSERT_TRUE(f.good());
            f.seekp(cell - 1);
            f.put(static_cast<char>(std::stoi(code.substr(2 * i, 2))));
        }
        OpenTariffDatabase();
    }
};

TEST_F(OffshoreSetup, PuertoRicoFromASouthEastOriginOffersJacksonville) {
    AddFullzip("30303", "NAT");
    VerifyOrigin("30303");
    EnterDestZip("00901");
    portAnswerElizabeth = false;
    EXPECT_TRUE(SetupOffshore("PR"));
    EXPECT_EQ(portAsked, 1);
    EXPECT_TRUE(portShownJacksonville);
    EXPECT_EQ(tariff.gDestZip, "32254");
    EXPECT_EQ(rating.gOffshoreDestZip, "00901");
    EXPECT_EQ(offshore.gOffshoreName, "Puerto Rico");
    EXPECT_EQ(tariff.gOffshoreState, "PR");
    EXPECT_EQ(offshore.gOffshoreZone, 1);  // San Juan
    EXPECT_TRUE(offshore.gIsPR);
    EXPECT_FALSE(offshore.gIsAK || offshore.gIsHI);
    EXPECT_FALSE(offshore.gAskPRPort);
}

TEST_F(OffshoreSetup, PuertoRicoAsksThePortOncePerEntry) {
    VerifyOrigin("60601");  // no service centre known here: Elizabeth is offered
    EnterDestZip("00731");
    portAnswerElizabeth = true;
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_FALSE(portShownJacksonville);
    EXPECT_EQ(tariff.gDestZip, "07072");
    EXPECT_EQ(offshore.gOffshoreZone, 4);  // Ponce

    // The same entry checked again: the answer stands.
    tariff.gDestZip = "00731";
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_EQ(portAsked, 1);
    EXPECT_EQ(tariff.gDestZip, "07072");
}

TEST_F(OffshoreSetup, APortDialogClosedWithoutDoneKeepsTheQuestionAndSailsFromJacksonville) {
    VerifyOrigin("60601");
    EnterDestZip("00901");
    ASSERT_TRUE(SetupOffshore("PR"));
    EXPECT_EQ(portAsked, 1);
    EXPECT_TRUE(offshore.gAskPRPort);
    EXPECT_EQ(tariff.gDestZip, "32254");
}

TEST_F(OffshoreSetup, HawaiiTakesTheServedPortWithTheLowestRowAndTheFirstOnATie) {
    VerifyOrigin("60601");
    const int16_t o = tariff.gOrigSubscript;
    WriteLane(o, "90744", "012210");
    WriteLane(o, "94606", "012180");
    WriteLane(o, "97203", "012180");
    // Row 99 of the no-service code is lower than every served row.
    WriteLane(o, "98124", "099099");
    EnterDestZip("96813");
    EXPECT_EQ(PickWestCoastPort("96813"), "94606");
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(tariff.gDestZip, "94606");
    EXPECT_EQ(rating.gOffshoreDestZip, "96813");
    EXPECT_EQ(offshore.gOffshoreZone, 1);
    EXPECT_TRUE(offshore.gIsHI);
    EXPECT_EQ(offshore.gOffshoreName, "Hawaii");
}

TEST_F(OffshoreSetup, NoServedPortLeavesTheFirstPortForTheLaneCheckToRefuse) {
    VerifyOrigin("60601");
    for (const char* port : kWestCoastPorts) WriteLane(tariff.gOrigSubscript, port, "099099");
    EXPECT_EQ(PickWestCoastPort(""), "90744");
}

TEST_F(OffshoreSetup, APortIsNotPickedForAnOriginNotYetPlaced) {
    tariff.gOrigSubscript = 0;
    EXPECT_EQ(PickWestCoastPort(""), "90744");
}

TEST_F(OffshoreSetup, EveryGatewayIsServedFromMainlandOrigins) {
    for (const char* origin : {"60601", "10001", "30303", "90001", "59001", "98101"}) {
        VerifyOrigin(origin);
        for (const char* gateway :
             {"90744", "94606", "97203", "98124", "98424", "32254", "07072"}) {
            const std::string lane = GetLaneCode(
                GridCellNumber(tariff.gOrigSubscript, ZipSubscript(std::string(gateway, 3))));
            EXPECT_NE(lane, "099099") << origin << " to " << gateway;
        }
    }
}

TEST_F(OffshoreSetup, AHawaiiMilitaryZipAsksWithNoSelectedAndKeepsTheAnswer) {
    VerifyOrigin("60601");
    EnterDestZip("96863");
    militaryAnswerYes = true;
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 1);
    EXPECT_FALSE(militaryShownYes);
    EXPECT_TRUE(offshore.gMilitary);
    EXPECT_FALSE(offshore.gAskMilitaryBase);

    // Checked again without a new entry: no question, the answer stays.
    tariff.gDestZip = "96863";
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 1);
    EXPECT_TRUE(offshore.gMilitary);

    // A new entry of an ordinary ZIP clears it without asking.
    EnterDestZip("96813");
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 1);
    EXPECT_FALSE(offshore.gMilitary);
    EXPECT_TRUE(offshore.gAskMilitaryBase);
}

TEST_F(OffshoreSetup, AMilitaryQuestionLeftWithoutDoneTakesTheNoItProposed) {
    VerifyOrigin("60601");
    EnterDestZip("96863");
    militaryAnswerYes = true;
    ASSERT_TRUE(SetupOffshore("HI"));
    ASSERT_TRUE(offshore.gMilitary);

    // Another base, and the question is closed without Done: not the earlier "Yes".
    VerifyOrigin("60601");
    EnterDestZip("96860");
    militaryAnswerYes.reset();
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 2);
    EXPECT_FALSE(militaryShownYes);
    EXPECT_FALSE(offshore.gMilitary);
    EXPECT_FALSE(offshore.gMilitaryAnswer);
}

TEST_F(OffshoreSetup, OnlyTheTwelveMilitaryZipsAskTheQuestion) {
    offshore.gAskMilitaryBase = true;
    militaryAnswerYes = true;
    EXPECT_TRUE(CheckMilitaryZip("96701"));
    offshore.gAskMilitaryBase = true;
    EXPECT_FALSE(CheckMilitaryZip("96702"));
    EXPECT_EQ(militaryAsked, 1);
}

TEST_F(OffshoreSetup, AHawaiiOriginKeepsTheIslandZipAndAsksNothing) {
    VerifyOrigin("96720");
    EnterDestZip("96863");
    ASSERT_TRUE(SetupOffshore("HI"));
    EXPECT_EQ(tariff.gDestZip, "96863");
    EXPECT_EQ(militaryAsked, 0);
    EXPECT_TRUE(offshore.gIsHI);
}

TEST_F(OffshoreSetup, AnAlaskaCityFromTheListIsZonedAndAskedAboutTheBase) {
    VerifyOrigin("60601");
    ChooseDestCity("FAIRBANKS, AK");
    militaryAnswerYes = false;
    ASSERT_TRUE(SetupOffshore("AK"));
    EXPECT_EQ(tariff.gDestZip, "98424");
    EXPECT_EQ(offshore.gOffshoreCity, "FAIRBANKS");
    EXPECT_EQ(offshore.gAKCommaPos, 10);
    EXPECT_EQ(offshore.gOffshoreZone, 3);
    EXPECT_EQ(militaryAsked, 1);
    EXPECT_FALSE(offshore.gMilitary);
    EXPECT_TRUE(offshore.gIsAK);
    EXPECT_FALSE(offshore.gIsHI || offshore.gIsPR);
    EXPECT_EQ(offshore.gOffshoreName, "Alaska");
}

TEST_F(OffshoreSetup, WithoutTheMainWindowTheCityComesFromTheVerifiedDestination) {
    VerifyOrigin("60601");
    tariff.gPickForDest = 1;
    PickCity("JUNEAU, AK");
    offshore.gAskMilitaryBase = true;
    ASSERT_TRUE(SetupOffshore("AK"));
    EXPECT_EQ(offshore.gOffshoreCity, "JUNEAU");
    EXPECT_EQ(offshore.gOffshoreZone, 5);
    EXPECT_EQ(militaryAsked, 0);  // not a base city
}

TEST_F(OffshoreSetup, AnAlaskaZipTypedAsDigitsIsZonedButNotAsked) {
    VerifyOrigin("60601");
    EnterDestZip("99501");
    SetDestEntryTextQuery([] { return std::string("99501"); });
    ASSERT_TRUE(SetupOffshore("AK"));
    EXPECT_EQ(offshore.gOffshoreCity, "ANCHORAGE");
    EXPECT_EQ(offshore.gOffshoreZone, 1);
    EXPECT_EQ(militaryAsked, 0);
}

TEST_F(OffshoreSetup, AnAlaskaZone99PointSetsUpForTheMainWindowToRefuse) {
    VerifyOrigin("60601");
    ChooseDestCity("ADAK, AK");
    ASSERT_TRUE(SetupOffshore("AK"));
    EXPECT_EQ(offshore.gOffshoreZone, 99);
    EXPECT_TRUE(IsAKZone99(rating.gOffshoreDestZip));
    SetLine(0, "500", "70");
    try {
        CheckOffshoreRating();
        ADD_FAILURE() << "a zone-99 point was rated";
    } catch (const RatingRefusal& r) {
        EXPECT_EQ(r.title(), "Special Service");
    }
}

TEST_F(OffshoreSetup, AnAlaskaCityWithoutAZoneIsRefusedAndLeavesNothingBehind) {
    // An earlier Hawaii destination whose values must not survive.
    VerifyOrigin("60601");
    EnterDestZip("96863");
    militaryAnswerYes = true;
    ASSERT_TRUE(SetupOffshore("HI"));

    ChooseDestCity("ANCHORAGE, AK");
    Exec("DELETE FROM \"AK Zones2\" WHERE city = 'ANCHORAGE'");
    const std::string entered = tariff.gDestZip;
    EXPECT_FALSE(SetupOffshore("AK"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("ANCHORAGE"), std::string::npos) << messages[0].text;
    EXPECT_EQ(messages[0].text.find("Destination was not verified."), 0u);
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_EQ(tariff.gDestZip, entered);
    EXPECT_FALSE(offshore.gIsHI || offshore.gIsAK || offshore.gIsPR);
    EXPECT_TRUE(rating.gOffshoreDestZip.empty());
    EXPECT_TRUE(tariff.gOffshoreState.empty());
    EXPECT_TRUE(offshore.gOffshoreName.empty());
    EXPECT_EQ(militaryAsked, 1);  // only for the Hawaii base; Anchorage was never asked
}

TEST_F(OffshoreSetup, AHawaiiZipWithoutAZoneIsRefusedBeforeAnyQuestion) {
    VerifyOrigin("60601");
    EnterDestZip("00901");
    portAnswerElizabeth = true;
    ASSERT_TRUE(SetupOffshore("PR"));
    Exec("DELETE FROM \"HI Zones\" WHERE zip = '96863'");
    EnterDestZip("96863");
    EXPECT_FALSE(SetupOffshore("HI"));
    EXPECT_EQ(militaryAsked, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("96863"), std::string::npos);
    EXPECT_EQ(tariff.gDestZip, "96863");
    EXPECT_EQ(tariff.gDestCountry, 99);
    EXPECT_FALSE(offshore.gIsPR || offshore.gIsHI);
    // The rating has nothing offshore to price any more.
    EXPECT_FLOAT_EQ(OffshoreChargesTotal(), 0.0f);
}

TEST_F(OffshoreSetup, TheBaseCitiesAreKnownByTheirFirstEightLetters) {
    militaryAnswerYes = true;
    for (const char* city : {"FT RICHARDSON", "FT WAINWRIGHT", "NORTHWAY JUNCTION", "ANCHORAGE"}) {
        offshore.gAskMilitaryBase = true;
        EXPECT_TRUE(AskMilitaryBase(city)) << city;
    }
    offshore.gAskMilitaryBase = true;
    EXPECT_FALSE(AskMilitaryBase("FT YUKON"));
    EXPECT_EQ(militaryAsked, 4);
}

}  // namespace
