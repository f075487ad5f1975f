// The bill-of-lading tables: ids, look-ups, bills stored whole, the used-by lists.

#include "blstore.h"

#include <gtest/gtest.h>

#include <QString>

#include "blcatalog.h"
#include "blfixture.h"
#include "settings.h"
#include "tariffdb.h"

namespace {

using BLStore = BLTest;

// Every row of the five tables, as text, to compare before and after a failed write.
std::string DumpBLTables() {
    std::string out;
    for (const char* t : {"Bills", "BL Notes", "BLdetail", "Commodity", "BL parties"}) {
        Snapshot s =
            tariff.gDB->OpenSnapshot("SELECT * FROM " + QuoteIdentifier(t) + " ORDER BY rowid");
        out += std::string(t) + ":";
        for (; !s.AtEOF(); s.MoveNext()) {
            for (size_t i = 0; i < s.FieldNames().size(); ++i) out += s.Field(i).str() + "|";
            out += ";";
        }
    }
    return out;
}

TEST_F(BLStore, TheShippedTablesAreEmptyAndHoldTheFiveSettings) {
    for (const char* t : {"Bills", "BL Notes", "BLdetail", "Commodity", "BL parties"})
        EXPECT_EQ(Rows(t), 0) << t;
    // A sentinel default shows that each key is really stored, not defaulted.
    EXPECT_EQ(GetConfigValue("BL_Copies", "?"), "1");
    EXPECT_EQ(GetConfigValue("BL_PrintRates", "?"), "no");
    EXPECT_EQ(GetConfigValue("BL_UseSpecialDiscount", "?"), "no");
    EXPECT_EQ(GetConfigValue("BL_Discount", "?"), "00.0");
    EXPECT_EQ(GetConfigValue("BL_PrintBack", "?"), "no");
}

TEST_F(BLStore, IdsStartAtOneAndFollowTheHighestInUse) {
    EXPECT_EQ(NextBLId(), 1);
    EXPECT_EQ(NextCommodityId(), 1);
    EXPECT_EQ(NextPartyId(), 1);
    for (int id : {1, 2, 5}) {
        Exec("INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (?, ?)",
             {id, "N" + std::to_string(id)});
        Exec("INSERT INTO Commodity (\"commodity ID\", Description) VALUES (?, 'c')", {id});
        Exec("INSERT INTO \"BL parties\" (\"Party ID\", Name) VALUES (?, 'p')", {id});
    }
    EXPECT_EQ(NextBLId(), 6);
    EXPECT_EQ(NextCommodityId(), 6);
    EXPECT_EQ(NextPartyId(), 6);
    // The id of a deleted bill at the top is given out again.
    const BLRecordId six = AddBill("600", 1, 2);
    EXPECT_EQ(six, 6);
    EraseBill(six);
    EXPECT_EQ(NextBLId(), 6);
}

TEST_F(BLStore, IdsGoBeyondTheSixteenBitRange) {
    Exec("INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (32767, 'top')");
    EXPECT_EQ(NextBLId(), 32768);
    EXPECT_EQ(AddBill("next", 1, 2), 32768);
    EXPECT_EQ(FindBLIdByNumber("next"), 32768);
}

TEST_F(BLStore, LookupsTrimButKeepCase) {
    Exec("INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (1, '  100 '), (2, 'abc')");
    EXPECT_EQ(FindBLIdByNumber("100"), 1);
    EXPECT_EQ(FindBLIdByNumber(" 100   "), 1);
    EXPECT_EQ(FindBLIdByNumber("ABC"), 0);
    EXPECT_EQ(FindBLIdByNumber("abc"), 2);
    // The recordset is left on the row found.
    EXPECT_EQ(tariff.rsBills->Field("BL number").str(), "abc");

    const BLRecordId acme = AddParty("Acme ", kRoleShipper);
    AddParty(" Acme", kRoleConsignee);
    EXPECT_EQ(FindPartyId("Acme"), acme);  // the lower id of two equal trimmed names
    EXPECT_EQ(FindPartyId("ACME"), 0);
    EXPECT_EQ(FindPartyId("Acm"), 0);

    const BLRecordId bolts = AddCommodity("Bolts", "12");
    EXPECT_EQ(FindCommodityId("  Bolts "), bolts);
    EXPECT_EQ(FindCommodityId("bolts"), 0);
    EXPECT_EQ(FindCommodityId(""), 0);
}

TEST_F(BLStore, RolesAreTheSumOfShipperConsigneeAndBillTo) {
    const bool shipper[] = {false, true, false, true, false, true, false, true, false};
    const bool consignee[] = {false, false, true, true, false, false, true, true, false};
    const bool billTo[] = {false, false, false, false, true, true, true, true, false};
    for (uint8_t role = 0; role <= 8; ++role) {
        EXPECT_EQ(IsShipperRole(role), shipper[role]) << int(role);
        EXPECT_EQ(IsConsigneeRole(role), consignee[role]) << int(role);
        EXPECT_EQ(IsBillToRole(role), billTo[role]) << int(role);
    }
    EXPECT_FALSE(IsShipperRole(9));
    EXPECT_FALSE(IsBillToRole(12));
}

TEST_F(BLStore, ChoicesAndStorableNames) {
    EXPECT_FALSE(HoldsChoice(""));
    EXPECT_FALSE(HoldsChoice(kPromptShipper));
    EXPECT_FALSE(HoldsChoice("...anything"));
    EXPECT_TRUE(HoldsChoice("..x"));
    EXPECT_TRUE(HoldsChoice("Acme"));
    EXPECT_FALSE(IsStorableName("   "));
    EXPECT_FALSE(IsStorableName(" ...choose a shipper"));
    EXPECT_TRUE(IsStorableName(" Acme "));
}

TEST_F(BLStore, ABillIsStoredWithItsNoteAndLinesInOrder) {
    const BLRecordId s = AddParty("Shipper", kRoleShipper);
    const BLRecordId c = AddParty("Consignee", kRoleConsignee);
    const BLRecordId bolts = AddCommodity("Bolts", "12");
    const BLRecordId nuts = AddCommodity("Nuts", "3");
    const BLRecordId id =
        AddBill("100", s, c, 0, {{nuts, "007", "21"}, {bolts, "", ""}}, "Fragile");
    std::optional<BillOfLading> bl = ReadBillOfLading(id);
    ASSERT_TRUE(bl);
    EXPECT_EQ(bl->bill.blNumber, "100");
    EXPECT_EQ(bl->bill.date, "12/7/26");
    EXPECT_EQ(bl->bill.shipperId, s);
    EXPECT_EQ(bl->bill.consigneeId, c);
    EXPECT_EQ(bl->bill.billToId, 0);
    EXPECT_EQ(bl->instructions, "Fragile");
    ASSERT_EQ(bl->lines.size(), 2u);
    EXPECT_EQ(bl->lines[0].commodityId, nuts);
    EXPECT_EQ(bl->lines[0].quantity, "007");  // the digits as typed
    EXPECT_EQ(bl->lines[0].weight, "21");
    EXPECT_EQ(bl->lines[1].commodityId, bolts);
    EXPECT_EQ(bl->lines[1].quantity, "");
    EXPECT_FALSE(ReadBillOfLading(id + 1));
}

TEST_F(BLStore, AnEditReplacesEveryLineAndTheBillToParty) {
    const BLRecordId s = AddParty("Shipper", kRoleShipper);
    const BLRecordId c = AddParty("Consignee", kRoleConsignee);
    const BLRecordId b = AddParty("Payer", kRoleBillTo);
    const BLRecordId a = AddCommodity("A", "1"), bb = AddCommodity("B", "2"),
                     cc = AddCommodity("C", "3");
    const BLRecordId other = AddBill("900", s, c, 0, {{a, "9", "9"}});
    const BLRecordId id =
        AddBill("100", s, c, b, {{a, "1", "1"}, {bb, "2", "4"}, {cc, "3", "9"}}, "Keep me");
    BillOfLading edit = *ReadBillOfLading(id);
    edit.bill.billToId = 0;     // the bill-to party taken out
    edit.instructions = "   ";  // a blank note keeps the stored one
    edit.lines = {{cc, "5", "15"}, {a, "6", "6"}};
    EXPECT_EQ(StoreBill(edit, true), id);
    const BillOfLading back = *ReadBillOfLading(id);
    EXPECT_EQ(back.bill.billToId, 0);
    EXPECT_EQ(back.instructions, "Keep me");
    ASSERT_EQ(back.lines.size(), 2u);
    EXPECT_EQ(back.lines[0].commodityId, cc);
    EXPECT_EQ(back.lines[0].quantity, "5");
    EXPECT_EQ(back.lines[1].commodityId, a);
    EXPECT_EQ(back.lines[1].weight, "6");
    // Another bill's lines are not touched.
    ASSERT_EQ(ReadBLLines(other).size(), 1u);
    EXPECT_EQ(Rows("BLdetail"), 3);
    EXPECT_EQ(Rows("BL Notes"), 1);
}

TEST_F(BLStore, AFailureDuringASaveLeavesTheTablesAsTheyWere) {
    const BLRecordId s = AddParty("Shipper", kRoleShipper);
    const BLRecordId c = AddParty("Consignee", kRoleConsignee);
    const BLRecordId a = AddCommodity("A", "1"), bad = AddCommodity("Refused", "1");
    const BLRecordId id = AddBill("100", s, c, 0, {{a, "1", "1"}, {a, "2", "2"}}, "Old note");
    Exec("CREATE TRIGGER refuse BEFORE INSERT ON BLdetail WHEN NEW.\"commodity ID\" = " +
         std::to_string(bad) + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const std::string before = DumpBLTables();

    BillOfLading edit = *ReadBillOfLading(id);
    edit.bill.blNumber = "101";
    edit.instructions = "New note";
    edit.lines = {{a, "7", "7"}, {bad, "1", "1"}};
    EXPECT_ANY_THROW(StoreBill(edit, true));
    EXPECT_EQ(DumpBLTables(), before);

    BillOfLading fresh = edit;
    fresh.bill.blNumber = "200";
    EXPECT_ANY_THROW(StoreBill(fresh, false));
    EXPECT_EQ(DumpBLTables(), before);

    // The database takes further work afterwards: no transaction was left open.
    edit.lines = {{a, "7", "7"}};
    EXPECT_NO_THROW(StoreBill(edit, true));
    EXPECT_EQ(ReadBill(id)->blNumber, "101");
}

TEST_F(BLStore, AFailureDuringADeleteKeepsTheWholeBill) {
    const BLRecordId a = AddCommodity("A", "1");
    const BLRecordId id = AddBill("100", 1, 2, 0, {{a, "1", "1"}}, "Note");
    Exec(
        "CREATE TRIGGER refuse BEFORE DELETE ON \"BL Notes\" BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const std::string before = DumpBLTables();
    EXPECT_ANY_THROW(EraseBill(id));
    EXPECT_EQ(DumpBLTables(), before);
    Exec("DROP TRIGGER refuse");
    EraseBill(id);
    EXPECT_EQ(Rows("Bills") + Rows("BLdetail") + Rows("BL Notes"), 0);
}

TEST_F(BLStore, LineWeightsMultiplyTheWholeUnitWeight) {
    AddCommodity("Crate", "12");
    EXPECT_EQ(LineWeightFromUnits("Crate", "3"), 36);
    EXPECT_EQ(LineWeightFromUnits(" Crate ", "3"), 36);
    EXPECT_EQ(LineWeightFromUnits("Crate", ""), 0);
    EXPECT_EQ(LineWeightFromUnits("Crate", "x"), 0);
    EXPECT_EQ(LineWeightFromUnits("No such thing", "3"), 0);
    EXPECT_EQ(LineWeightFromUnits(kPromptCommodity, "3"), 0);
    // A stored fraction counts as the nearest whole pound, halves to the even one.
    Exec(
        "INSERT INTO Commodity (\"commodity ID\", Description, Weight) VALUES "
        "(50, 'Half2', 2.5), (51, 'Half3', 3.5), (52, 'Big', 40000), (53, 'Huge', 2000000000)");
    EXPECT_EQ(LineWeightFromUnits("Half2", "10"), 20);
    EXPECT_EQ(LineWeightFromUnits("Half3", "10"), 40);
    // Beyond 16 bits is fine; beyond 32 bits is refused rather than wrapped.
    EXPECT_EQ(LineWeightFromUnits("Big", "2"), 80000);
    EXPECT_EQ(LineWeightFromUnits("Huge", "1"), 2000000000);
    EXPECT_THROW(LineWeightFromUnits("Huge", "2"), BLRangeError);
}

TEST_F(BLStore, TheBillsUsingACommodityAreListedOncePerLine) {
    const BLRecordId a = AddCommodity("A", "1"), unused = AddCommodity("B", "1");
    AddBill("100", 1, 2, 0, {{a, "1", "1"}});
    AddBill("200", 1, 2, 0, {{unused, "1", "1"}, {a, "1", "1"}, {a, "2", "2"}});
    EXPECT_EQ(ListBLsUsingCommodity(a), " 100 200 200");
    EXPECT_EQ(ListBLsUsingCommodity(unused), " 200");
    EXPECT_EQ(ListBLsUsingCommodity(99), "OK");
}

TEST_F(BLStore, UsedByListsAreCutBeyondFortyCharacters) {
    const BLRecordId a = AddCommodity("A", "1");
    // Four nine-character numbers with their blanks make exactly 40 characters: shown whole.
    for (int i = 1; i <= 4; ++i) AddBill("NUMBER00" + std::to_string(i), 7, 8, 0, {{a, "1", "1"}});
    EXPECT_EQ(ListBLsUsingCommodity(a), " NUMBER001 NUMBER002 NUMBER003 NUMBER004");
    EXPECT_EQ(ListBLsUsingParty(7), " NUMBER001 NUMBER002 NUMBER003 NUMBER004");
    // A fifth makes 50: the first 36 characters and "...".
    AddBill("NUMBER005", 7, 8, 0, {{a, "1", "1"}});
    EXPECT_EQ(ListBLsUsingCommodity(a), " NUMBER001 NUMBER002 NUMBER003 NUMBE...");
    EXPECT_EQ(ListBLsUsingParty(8), " NUMBER001 NUMBER002 NUMBER003 NUMBE...");
}

// Numbers of letters that take two bytes each are counted and cut as characters: never a
// character cut in two, which would show as a stray sign.
TEST_F(BLStore, UsedByListsCountAndCutCharactersNotBytes) {
    const BLRecordId a = AddCommodity("A", "1");
    const std::string n =
        "\u00e4\u00e9\u00ee\u00f6\u00fc\u00e4\u00e9\u00ee";  // 8 characters, 16 bytes
    for (int i = 1; i <= 4; ++i) AddBill(n + std::to_string(i), 7, 8, 0, {{a, "1", "1"}});
    EXPECT_EQ(ListBLsUsingCommodity(a), " " + n + "1 " + n + "2 " + n + "3 " + n + "4");
    AddBill(n + "5", 7, 8, 0, {{a, "1", "1"}});
    // The first 36 characters: three numbers with their blanks, the fourth's blank and five.
    const std::string cut = ListBLsUsingParty(7);
    EXPECT_EQ(cut, " " + n + "1 " + n + "2 " + n + "3 " + n.substr(0, 10) + "...");
    EXPECT_EQ(QString::fromStdString(cut).toStdString(), cut);  // whole characters only
}

TEST_F(BLStore, TheBillsNamingAPartyInAnyPlaceAreListed) {
    const BLRecordId s = AddParty("S", kRoleShipper), c = AddParty("C", kRoleConsignee),
                     b = AddParty("B", kRoleBillTo), idle = AddParty("I", 7);
    AddBill("100", s, c);
    AddBill("300", c, s, b);
    EXPECT_EQ(ListBLsUsingParty(s), " 100 300");
    EXPECT_EQ(ListBLsUsingParty(c), " 100 300");
    EXPECT_EQ(ListBLsUsingParty(b), " 300");
    EXPECT_EQ(ListBLsUsingParty(idle), "OK");
    // A bill without a bill-to party does not name party 0.
    EXPECT_EQ(ListBLsUsingParty(0), "OK");
}

// A value no record can take, as an earlier edition's file could hold, costs its own row only:
// the lists show the rest and name that row, once.
TEST_F(BLStore, ARowThatCannotBeReadIsNamedAndLeftOutOfItsList) {
    const BLRecordId acme = AddParty("Acme", 1);
    const BLRecordId bolt = AddParty("Bolt", 2);
    Exec("INSERT INTO \"BL parties\" (\"Party ID\", Name, role) VALUES (90, 'Huge role', 1e300)");
    AddCommodity("Widgets", "10");
    Exec(
        "INSERT INTO Commodity (\"commodity ID\", Description, HAZMAT) "
        "VALUES (1e300, 'Huge id', 0)");
    AddBill("BL-1", acme, bolt);
    Exec(
        "INSERT INTO Bills (\"BL ID\", \"BL number\", \"Shipper ID\", \"Consignee ID\") "
        "VALUES (90, 'BL-huge', -1e300, 2)");

    std::vector<std::string> names;
    for (const PartyRecord& p : AllParties()) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Acme", "Bolt"}));
    names.clear();
    for (const CommodityRecord& c : AllCommodities()) names.push_back(c.description);
    EXPECT_EQ(names, std::vector<std::string>{"Widgets"});
    names.clear();
    for (const BillRecord& b : AllBills()) names.push_back(b.blNumber);
    EXPECT_EQ(names, std::vector<std::string>{"BL-1"});

    std::vector<std::string> told;
    for (const LoggedMessage& m : Shown()) told.push_back((m.title + ": " + m.text).toStdString());
    EXPECT_EQ(told, (std::vector<std::string>{
                        "Unreadable record: The party \"Huge role\" holds a value that cannot be "
                        "read (Overflow), so it is left out of the list.",
                        "Unreadable record: The commodity \"Huge id\" holds a value that cannot "
                        "be read (Overflow), so it is left out of the list.",
                        "Unreadable record: The bill of lading \"BL-huge\" holds a value that "
                        "cannot be read (Overflow), so it is left out of the list."}));
    messageScript.ClearLog();
    EXPECT_EQ(AllParties().size(), 2u);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(BLStore, APartyZipIsLookedUpInTheThreeCityTables) {
    EXPECT_EQ(StateOfPartyZip("53202"), "WI");
    EXPECT_EQ(StateOfPartyZip("  53202 "), "WI");
    EXPECT_EQ(StateOfPartyZip("00000"), "");
    EXPECT_EQ(StateOfPartyZip("A0A 1A0"), "NL");  // a rural code, whole
    EXPECT_EQ(StateOfPartyZip("a0a 1a0"), "NL");
    EXPECT_EQ(StateOfPartyZip("A0A1ZZZ"), "NL");  // a city code, by its first four characters
    EXPECT_EQ(StateOfPartyZip("ZZZ 9Z9"), "");
    EXPECT_EQ(StateOfPartyZip(""), "");
    EXPECT_EQ(NormalisedPartyZip(" a0a 1a0 "), "A0A 1A0");
    EXPECT_EQ(NormalisedPartyZip(" 53202  "), "53202");
}

// Five digits, a hyphen and four digits place a party by the five; anything near it does not.
TEST_F(BLStore, AZipPlus4IsPlacedByItsFirstFiveDigitsAndNothingLikeItIs) {
    EXPECT_EQ(StateOfPartyZip("53202-1234"), "WI");
    EXPECT_EQ(StateOfPartyZip(" 53202-1234 "), "WI");
    EXPECT_FALSE(CheckPartyZip("53202-1234"));
    for (const char* malformed :
         {"53202-12", "53202-12345", "5320-21234", "53202-123A", "53202 1234", "53202+1234",
          "53202-", "-53202", "53202--1234", "0x5320-1234", "53202-1E34"}) {
        EXPECT_EQ(StateOfPartyZip(malformed), "") << malformed;
        const auto refused = CheckPartyZip(malformed);
        ASSERT_TRUE(refused) << malformed;
        EXPECT_EQ(refused->field, CatalogField::Zip) << malformed;
    }
}

}  // namespace
