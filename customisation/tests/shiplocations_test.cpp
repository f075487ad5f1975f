// Adding and deleting shipping locations: what is stored, what is refused, and that a failure
// part-way leaves the customer's tables as they were.

#include "shiplocations.h"

#include <gtest/gtest.h>

#include "discountstore.h"
#include "messagebox.h"
#include "msgbox.h"
#include "pricingfixture.h"
#include "tariffdb.h"

namespace {

class ShipLocations : public PricingTest {
  protected:
    ShipLocModel OpenWindow() {
        ShipLocModel m;
        ShipLocActivate(m);
        return m;
    }
    bool Add(ShipLocModel& m, const std::string& typed) {
        ShipLocEnterMode(m);
        return ShipLocAdd(m, typed);
    }
    void ExpectFullLocation(const std::string& location) {
        EXPECT_EQ(RowsOf("shipzips", location), 1);
        EXPECT_EQ(RowsOf("states", location), static_cast<int>(tariff.gStateTable.size()));
        EXPECT_EQ(RowsOf("discounts", location), 8);
        EXPECT_EQ(RowsOf("faktable", location), 8);
    }
};

TEST_F(ShipLocations, APostalAreaAndAZipPrefixAreStoredInCapitals) {
    ShipLocModel m = OpenWindow();
    ASSERT_EQ(m.entries, std::vector<std::string>{"ALL"});
    EXPECT_TRUE(Add(m, "k1a"));
    EXPECT_TRUE(Add(m, "606"));
    ExpectFullLocation("K1A");
    ExpectFullLocation("606");
    EXPECT_EQ(FieldOf("SELECT zip FROM shipzips WHERE zip = 'k1a'", {}), "K1A");
    // The list keeps ALL until the window is opened again.
    EXPECT_EQ(m.entries, (std::vector<std::string>{"ALL", "K1A", "606"}));
    EXPECT_FALSE(m.entryMode);
    EXPECT_EQ(m.helpPage, kHelpShipLoc);
    EXPECT_EQ(m.why, kWhyCaption);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(OpenWindow().entries, (std::vector<std::string>{"606", "K1A"}));
}

TEST_F(ShipLocations, ADuplicateIsRefusedAndChangesNothing) {
    ShipLocModel m = OpenWindow();
    ASSERT_TRUE(Add(m, "606"));
    const std::string before = PricingTables();
    EXPECT_FALSE(Add(m, "606"));
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Data Entry Error: Duplicate shipping location.  Please try "
                                       "again."});
    EXPECT_EQ(PricingTables(), before);
    EXPECT_TRUE(m.entryMode);
    EXPECT_EQ(m.entryText, "606");
    EXPECT_EQ(m.entries, (std::vector<std::string>{"ALL", "606"}));
}

TEST_F(ShipLocations, TextsNoPointCanMatchAreRefused) {
    ShipLocModel m = OpenWindow();
    const std::string before = PricingTables();
    for (const char* text : {"", "   ", "ALL", "all", "60", "60A", "6'0", "000", "K1", "606A"}) {
        EXPECT_FALSE(Add(m, text)) << text;
        const auto shown = TakeMessages();
        ASSERT_EQ(shown.size(), 1u) << text;
        EXPECT_EQ(shown[0].rfind("Data Entry Error: ", 0), 0u) << shown[0];
        EXPECT_TRUE(m.entryMode);
    }
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(m.entries, std::vector<std::string>{"ALL"});
}

TEST_F(ShipLocations, AFailureHalfWayTakesEveryRowBack) {
    ShipLocModel m = OpenWindow();
    ASSERT_TRUE(Add(m, "606"));
    const std::string before = PricingTables();
    // The third region's inbound profile cannot be stored.
    Exec(
        "CREATE TRIGGER refuse AFTER INSERT ON faktable WHEN NEW.region = 3 "
        "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END");
    EXPECT_FALSE(Add(m, "k1a"));
    EXPECT_EQ(PricingTables(), before);
    const auto shown = messageScript.Log();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Platform);
    EXPECT_TRUE(shown[0].text.contains("the disk is full"));
    EXPECT_TRUE(shown[0].text.contains("not added"));
    // Back in entry mode with the text kept; the location did not join the list.
    EXPECT_TRUE(m.entryMode);
    EXPECT_EQ(m.entryText, "K1A");
    EXPECT_EQ(m.helpPage, kHelpNewLoc);
    EXPECT_EQ(m.entries, (std::vector<std::string>{"ALL", "606"}));
    // The cursors are usable after the rollback: the same location goes in once it can.
    Exec("DROP TRIGGER refuse");
    EXPECT_TRUE(Add(m, "K1A"));
    ExpectFullLocation("K1A");
}

TEST_F(ShipLocations, DeleteRemovesOnlyItsOwnRows) {
    ShipLocModel m = OpenWindow();
    ASSERT_TRUE(Add(m, "606"));
    ASSERT_TRUE(Add(m, "K1A"));
    const int allDiscounts = RowsOf("discounts", "ALL");
    const int allStates = RowsOf("states", "ALL");
    m = OpenWindow();
    ASSERT_EQ(m.ShownEntry(), "606");
    messageScript.Queue(kIdYes);
    EXPECT_TRUE(ShipLocDelete(m));
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Confirm deletion: Are you sure you want to delete 606?"});
    for (const char* table : {"shipzips", "states", "discounts", "faktable"})
        EXPECT_EQ(RowsOf(table, "606"), 0) << table;
    ExpectFullLocation("K1A");
    EXPECT_EQ(RowsOf("discounts", "ALL"), allDiscounts);
    EXPECT_EQ(RowsOf("states", "ALL"), allStates);
    EXPECT_EQ(m.entries, std::vector<std::string>{"K1A"});
    // The last one gone, the list shows the default program alone.
    messageScript.Queue(kIdYes);
    EXPECT_TRUE(ShipLocDelete(m));
    EXPECT_EQ(m.entries, std::vector<std::string>{"ALL"});
    EXPECT_EQ(m.ShownEntry(), "ALL");
}

TEST_F(ShipLocations, NoToTheQuestionAndTheDefaultProgramDeleteNothing) {
    ShipLocModel m = OpenWindow();
    ASSERT_TRUE(Add(m, "606"));
    m = OpenWindow();
    const std::string before = PricingTables();
    messageScript.Queue(kIdNo);
    EXPECT_FALSE(ShipLocDelete(m));
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(m.entries, std::vector<std::string>{"606"});
    TakeMessages();

    ShipLocModel empty;
    Exec("DELETE FROM shipzips");
    ShipLocActivate(empty);
    ASSERT_EQ(empty.ShownEntry(), "ALL");
    EXPECT_FALSE(ShipLocDelete(empty));
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{"Error!: You can't delete this location.  It is the "
                                       "default for all undefined location shipments."});
    EXPECT_EQ(RowsOf("discounts", "ALL"), 6);
}

TEST_F(ShipLocations, AFailedDeleteKeepsEveryRow) {
    ShipLocModel m = OpenWindow();
    ASSERT_TRUE(Add(m, "606"));
    m = OpenWindow();
    const std::string before = PricingTables();
    Exec("CREATE TRIGGER keep BEFORE DELETE ON states BEGIN SELECT RAISE(ABORT, 'locked'); END");
    messageScript.Queue(kIdYes);
    EXPECT_FALSE(ShipLocDelete(m));
    EXPECT_EQ(PricingTables(), before);
    EXPECT_EQ(m.entries, std::vector<std::string>{"606"});
}

TEST_F(ShipLocations, TheListIsFilledOnceAndTheModesSwapTheHelpPage) {
    ShipLocModel m = OpenWindow();
    Exec("INSERT INTO shipzips (zip) VALUES ('532')");
    ShipLocActivate(m);  // back from a message: the list stays as it was
    EXPECT_EQ(m.entries, std::vector<std::string>{"ALL"});
    ShipLocEnterMode(m);
    EXPECT_EQ(m.helpPage, kHelpNewLoc);
    EXPECT_EQ(m.why, kWhatCaption);
    ShipLocListMode(m);
    EXPECT_EQ(m.helpPage, kHelpShipLoc);
    EXPECT_EQ(m.why, kWhatCaption);  // Cancel leaves the caption
}

}  // namespace
