// Copying an earlier edition's data: tables whose fields come in another order, extra and
// missing fields and tables, repeated keys, empty tables, checks of the pricing rows, and the
// earlier file left exactly as it was.

#include "upgrade.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "discounts.h"
#include "earlieredition.h"
#include "lockedfiles.h"
#include "settings.h"
#include "tariffdb.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

bool AnyLineHas(const Lines& lines, const std::string& part) {
    for (const auto& l : lines)
        if (l.find(part) != std::string::npos) return true;
    return false;
}

class UpgradeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        OpenTariffDatabase();
        InitClassTables();
        InstallUpgradeBillsCheck();
    }
    void TearDown() override { CloseAll(); }

    Database& db() { return *tariff.gDB; }

    // The codes of the state list, as the default program's states rows hold them.
    Lines StateCodes() { return Rows(db(), "states", "State", "zip = 'ALL'"); }

    // Copies one group from the earlier edition, as the upgrade window does.
    bool Copy(const EarlierEdition& earlier, const std::vector<std::string>& tables) {
        UpgradeSource source(db());
        const int r = source.Open(earlier.path(), tables);
        EXPECT_EQ(r, 0) << source.Problem();
        if (r != 0) return false;
        return UpgradeGroup(db(), tables, StateCodes(), "The group", report);
    }

    void AddBill(int id, const std::string& number) {
        db().Execute(
            "INSERT INTO Bills (\"BL ID\", \"BL number\", Date, \"PRO Number\", PONbr, "
            "\"Shipper ID\", \"Consignee ID\", \"Bill To ID\") VALUES (?, ?, '3/4/2007', '', '', "
            "1, 2, 0)",
            {id, number});
    }

    // The bills group of the earlier edition is refused for these reasons, in this order, and
    // the program's own bill and tables stay as they were.
    void ExpectBillsRefused(EarlierEdition& earlier, const Lines& reasons) {
        AddBill(5, "B-5");
        EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
        EXPECT_FALSE(report.changed);
        EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-5"});
        EXPECT_TRUE(Rows(db(), "BLdetail").empty());
        EXPECT_TRUE(Rows(db(), "Commodity").empty());
        Lines expected = {"The group were not copied: they fail these checks."};
        expected.insert(expected.end(), reasons.begin(), reasons.end());
        EXPECT_EQ(report.skips, expected);
        EXPECT_TRUE(earlier.Unchanged());
    }

    ScratchAppFolder app;
    UpgradeReport report;
};

// ---------------------------------------------------------------- checking the source

TEST_F(UpgradeTest, AMissingFileIsRefusedAndNeverCreated) {
    const fs::path missing = app.path() / "old" / "x2005.mdb";
    UpgradeSource source(db());
    EXPECT_EQ(source.Open(missing.string(), DiscountTables()), kErrSourceMissing);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_FALSE(fs::exists(missing));
    // The folder comes from the path, whatever the length of the file's name.
    EXPECT_NE(source.Problem().find("x2005.mdb in the folder " + (app.path() / "old").string()),
              std::string::npos)
        << source.Problem();
}

TEST_F(UpgradeTest, AFileThatIsNoDatabaseIsRefusedAndLeftAlone) {
    app.writeFile("notes.mdb", "These are not the tables you are looking for.");
    UpgradeSource source(db());
    EXPECT_NE(source.Open(app.file("notes.mdb").string(), DiscountTables()), 0);
    EXPECT_FALSE(source.IsOpen());
    std::ifstream in(app.file("notes.mdb"));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "These are not the tables you are looking for.");
}

TEST_F(UpgradeTest, ASourceWithoutATableIsRefusedBeforeAnythingIsEmptied) {
    EarlierEdition earlier(app);
    earlier.Exec({"DROP TABLE BLdetail"});
    AddBill(1, "B-1");
    UpgradeSource source(db());
    EXPECT_EQ(source.Open(earlier.path(), BillOfLadingTables()), kErrSourceTables);
    EXPECT_NE(source.Problem().find("\"BLdetail\""), std::string::npos) << source.Problem();
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-1"});
    // The tables of the other group are all there.
    EXPECT_EQ(source.Open(earlier.path(), DiscountTables()), 0);
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, TheSourceIsOpenedReadOnlyAndDetachedAfterwards) {
    EarlierEdition earlier(app);
    // A recordset of the program in the middle of a walk, as the look-ups leave them.
    Snapshot firstZips = db().OpenSnapshot("SELECT zip FROM us_cities ORDER BY zip, rowid LIMIT 3");
    tariff.rsUSCities->SetIndex("byzip");
    tariff.rsUSCities->MoveFirst();
    tariff.rsUSCities->MoveNext();
    {
        UpgradeSource source(db());
        ASSERT_EQ(source.Open(earlier.path(), DiscountTables()), 0);
        EXPECT_THROW(db().Execute(std::string("DELETE FROM ") + kUpgradeSourceAlias + ".shipzips"),
                     DbError);
    }
    Snapshot attached = db().OpenSnapshot("SELECT name FROM pragma_database_list");
    for (; !attached.AtEOF(); attached.MoveNext())
        EXPECT_NE(attached.Field(0).str(), kUpgradeSourceAlias);
    EXPECT_TRUE(earlier.Unchanged());
    // The walk goes on from where it stood.
    firstZips.MoveFirst();
    firstZips.MoveNext();
    firstZips.MoveNext();
    tariff.rsUSCities->MoveNext();
    EXPECT_EQ(tariff.rsUSCities->Field("zip").str(), firstZips.Field(0).str());
}

// Another program holding the earlier file: the messages name that file, whether it is held
// when the file is opened or only when its tables are read.
TEST_F(UpgradeTest, ALockedEarlierFileIsNamedInTheMessages) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001");
    AddBill(5, "B-5");
    {
        HeldLock other(earlier.path(), "EXCLUSIVE");
        UpgradeSource source(db());
        EXPECT_EQ(source.Open(earlier.path(), BillOfLadingTables()), kErrLocked);
        EXPECT_EQ(source.Problem(), "The database " + earlier.path() +
                                        " is locked by another program.  Try again when that "
                                        "program has finished with it.");
        EXPECT_FALSE(source.IsOpen());
    }
    UpgradeSource source(db());
    ASSERT_EQ(source.Open(earlier.path(), BillOfLadingTables()), 0) << source.Problem();
    HeldLock other(earlier.path(), "EXCLUSIVE");
    EXPECT_FALSE(UpgradeGroup(db(), BillOfLadingTables(), StateCodes(), "The B/L data", report));
    ASSERT_FALSE(report.skips.empty());
    EXPECT_NE(report.skips[0].find("The database " + earlier.path() + " is locked"),
              std::string::npos)
        << report.skips[0];
    EXPECT_EQ(report.skips[0].find("x2007.mdb"), std::string::npos) << report.skips[0];
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-5"});
}

// An earlier file that keeps a write-ahead log, left as a program that was not closed leaves it:
// a bill only in the log beside it. It is read whole, and nothing is written in its folder,
// which need not be writable.
TEST_F(UpgradeTest, AnEarlierFileWithAWriteAheadLogIsReadWithoutWritingBesideIt) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001");
    const fs::path file = earlier.path();
    const fs::path folder = file.parent_path();
    const fs::path log = file.string() + "-wal";
    const fs::path aside = app.path() / "aside";
    fs::create_directories(aside);
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other,
                               "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; "
                               "INSERT INTO Bills VALUES (2, 'BL-0002', '3/5/2006', '', '', 1, "
                               "2, 0); INSERT INTO BLdetail VALUES (2, 1, '3', '750');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        fs::copy_file(file, aside / "x.mdb");
        fs::copy_file(log, aside / "x.mdb-wal");
        sqlite3_close(other);
    }
    fs::copy_file(aside / "x.mdb", file, fs::copy_options::overwrite_existing);
    fs::copy_file(aside / "x.mdb-wal", log, fs::copy_options::overwrite_existing);
    earlier.Remember();
    auto listing = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    };
    ASSERT_EQ(listing(), (std::set<std::string>{"x2006.mdb", "x2006.mdb-wal"}));

    ReadOnlyPath readOnly(folder);
    ASSERT_TRUE(Copy(earlier, BillOfLadingTables())) << report.skips.at(0);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), (Lines{"BL-0001", "BL-0002"}));
    EXPECT_EQ(Rows(db(), "BLdetail", "Weight", "\"BL ID\" = 2"), Lines{"750"});
    EXPECT_EQ(listing(), (std::set<std::string>{"x2006.mdb", "x2006.mdb-wal"}));
    EXPECT_TRUE(earlier.Unchanged());
    std::ifstream in(log, std::ios::binary);
    std::ifstream was(aside / "x.mdb-wal", std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(in), {},
                           std::istreambuf_iterator<char>(was), {}));
}

TEST_F(UpgradeTest, AFolderNameThatNeedsQuotingInAnAddressStillOpens) {
    EarlierEdition earlier(app, "Norvale Fretlyn2006 #2 100%?/data");
    earlier.Exec({"INSERT INTO shipzips (zip) VALUES ('606')"});
    UpgradeSource source(db());
    ASSERT_EQ(source.Open(earlier.path(), DiscountTables()), 0) << source.Problem();
    // Messages name it as the user chose it.
    EXPECT_EQ(EarlierFileName(db()), earlier.path());
    UpgradeTable(db(), "shipzips", report);
    EXPECT_EQ(Rows(db(), "shipzips"), Lines{"606"});
}

// ---------------------------------------------------------------- copying tables

TEST_F(UpgradeTest, FieldsPairByNameWhateverTheirOrder) {
    EarlierEdition earlier(app);
    earlier.Exec(
        {"INSERT INTO Bills (\"BL ID\", \"BL number\", Date, \"PRO Number\", PONbr, "
         "\"Shipper ID\", \"Consignee ID\", \"Bill To ID\") "
         "VALUES (7, 'B-7', '5/6/2006', '123456782', 'PO-9', 3, 4, 5)",
         "INSERT INTO \"BL parties\" VALUES (3, 'Acme', '1 Main St', 'Milwaukee', "
         "'53202', 'WI', 1)",
         "INSERT INTO \"BL parties\" VALUES (4, 'Bolt', '2 Elm St', 'Columbus', '43215', 'OH', 2)",
         "INSERT INTO \"BL parties\" VALUES (5, 'Cog', '3 Oak St', 'Dayton', '45402', 'OH', 4)",
         "INSERT INTO Commodity VALUES (1, 'Widgets', 12.5, '', '55', 0)",
         "INSERT INTO BLdetail VALUES (7, 1, '2', '25')"});
    earlier.Reshape("Bills", {"Bill To ID", "Consignee ID", "Shipper ID", "PONbr", "PRO Number",
                              "Date", "BL number", "BL ID"});
    earlier.Reshape("BL parties", {"role", "State", "zip", "City", "Address", "Name", "Party ID"});
    ASSERT_TRUE(Copy(earlier, BillOfLadingTables())) << report.skips.at(0);
    EXPECT_EQ(Rows(db(), "Bills"), Lines{"7|B-7|5/6/2006|123456782|PO-9|3|4|5"});
    EXPECT_EQ(Rows(db(), "BL parties", "*", "\"Party ID\" = 3"),
              Lines{"3|Acme|1 Main St|Milwaukee|53202|WI|1"});
    EXPECT_TRUE(report.skips.empty());
    EXPECT_TRUE(report.changed);
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, AnExtraAndAMissingFieldAreCopiedAroundAndReported) {
    EarlierEdition earlier(app);
    earlier.Exec(
        {"INSERT INTO \"BL parties\" VALUES (3, 'Acme', '1 Main St', 'Milwaukee', "
         "'53202', 'WI', 1)"});
    earlier.Reshape("BL parties", {"Party ID", "Name", "Fax", "Address", "City", "zip", "role"});
    ASSERT_TRUE(Copy(earlier, BillOfLadingTables()));
    // State is missing from the earlier table: the row comes over without one.
    EXPECT_EQ(Rows(db(), "BL parties"), Lines{"3|Acme|1 Main St|Milwaukee|53202||1"});
    ASSERT_EQ(report.skips.size(), 2u);
    EXPECT_TRUE(AnyLineHas(report.skips, "no field \"State\"")) << report.skips[0];
    EXPECT_TRUE(AnyLineHas(report.skips, "\"Fax\"")) << report.skips[1];
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, ARepeatedKeyRefusesTheBillsGroupListingTheKeys) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001");
    earlier.Exec({"DROP INDEX \"Bills.byblid\"", "DROP INDEX \"BL parties.bypartyid\"",
                  "INSERT INTO Commodity VALUES (2, 'Gadgets', 1.0, '', '55', 0)",
                  // A second bill 1 whose line would land on BL-0001, and a second party 1.
                  "INSERT INTO Bills VALUES (1, 'BL-0002', '3/5/2006', '', '', 1, 2, 0)",
                  "INSERT INTO BLdetail VALUES (1, 2, '99', '999')",
                  "INSERT INTO \"BL parties\" (\"Party ID\", Name, role) VALUES (1, 'Other', 1)"});
    AddBill(1, "B-1");
    EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
    EXPECT_FALSE(report.changed);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-1"});
    EXPECT_TRUE(Rows(db(), "BLdetail").empty());
    EXPECT_NE(report.skips.at(0).find("were not copied"), std::string::npos) << report.skips[0];
    EXPECT_TRUE(AnyLineHas(report.skips,
                           "Bills: row 2 (BL ID \"1\", BL number \"BL-0002\") "
                           "repeats a key."));
    EXPECT_TRUE(AnyLineHas(report.skips,
                           "BL parties: row 3 (Party ID \"1\", Name \"Other\") "
                           "repeats a key."));
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, ARepeatedLocationIsLeftOutOfThePricingGroupAndReported) {
    EarlierEdition earlier(app);
    AddLocation606(earlier);
    earlier.Exec({"DROP INDEX \"shipzips.byzip\"", "INSERT INTO shipzips (zip) VALUES ('606')"});
    ASSERT_TRUE(Copy(earlier, DiscountTables()));
    EXPECT_EQ(Rows(db(), "shipzips"), Lines{"606"});
    ASSERT_EQ(report.skips.size(), 1u);
    EXPECT_EQ(report.skips[0], "shipzips: row 2 (zip \"606\") repeats a key and was left out.");
}

TEST_F(UpgradeTest, ASourceTableWithoutAKeyFieldRefusesItsGroup) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001");
    earlier.Reshape("Bills", {"BL number", "Date", "PRO Number", "PONbr", "Shipper ID",
                              "Consignee ID", "Bill To ID"});
    AddBill(5, "B-5");
    EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
    EXPECT_EQ(Rows(db(), "Bills", "\"BL ID\", \"BL number\""), Lines{"5|B-5"});
    ASSERT_FALSE(report.skips.empty());
    EXPECT_NE(report.skips[0].find("The table \"Bills\" of " + earlier.path() +
                                   " has no field \"BL ID\", by which Fretlyn2007 finds its rows."),
              std::string::npos)
        << report.skips[0];

    // The pricing group likewise: discounts rows without their region.
    report = {};
    const std::string before = Rows(db(), "discounts").at(0);
    EarlierEdition pricing(app);
    pricing.Reshape("discounts", {"zip", "IBOB", "Floor", "dmc", "dL5C", "d5c", "d1m", "d2m", "d5m",
                                  "d10m", "d15m", "d20m", "d25m", "d30m"});
    EXPECT_FALSE(Copy(pricing, DiscountTables()));
    EXPECT_TRUE(AnyLineHas(report.skips, "has no field \"region\""));
    EXPECT_EQ(Rows(db(), "discounts").at(0), before);
}

// Values an earlier file should never hold, each refused with its row named: the program
// could not read them back (a role of 1e300), would drop them (a sixth line) or would show a
// bill it cannot open (a line or a party that is not there).
TEST_F(UpgradeTest, TheBillsGroupIsCheckedBeforeItIsCommitted) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001", 6);
    AddEarlierBill(earlier, 2, "BL-0002");
    earlier.Exec({
        "INSERT INTO \"BL parties\" (\"Party ID\", Name, role) VALUES (3, 'Huge', 1e300)",
        "INSERT INTO \"BL parties\" (\"Party ID\", Name, role) VALUES (4.5, 'Half', 1)",
        "UPDATE Bills SET \"Consignee ID\" = 9 WHERE \"BL ID\" = 2",
        "INSERT INTO BLdetail VALUES (7, 1, '1', '100')",
        "INSERT INTO \"BL Notes\" VALUES (8, 'Call first')",
        "INSERT INTO Commodity VALUES (3, 'Heavy', 'lots', '', '55', 2)",
    });
    AddBill(5, "B-5");
    EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
    EXPECT_FALSE(report.changed);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-5"});
    EXPECT_TRUE(Rows(db(), "BL parties").empty());

    const Lines& p = report.skips;
    EXPECT_EQ(p.at(0), "The group were not copied: they fail these checks.");
    const Lines expected = {
        "Bills: row 2 (BL ID \"2\", BL number \"BL-0002\") has Consignee ID \"9\", not the id "
        "of a party on file.",
        "BL Notes: row 1 (BL ID \"8\") has BL ID \"8\", not the id of a bill on file.",
        "BLdetail: row 8 (BL ID \"7\", commodity ID \"1\") has BL ID \"7\", not the id of a "
        "bill on file.",
        "BL parties: row 4 (Party ID \"4.5\", Name \"Half\") has Party ID \"4.5\", not a whole "
        "number 1 to 2147483647.",
        "BL parties: row 3 (Party ID \"3\", Name \"Huge\") has role \"1E+300\", not a role 1 to "
        "7.",
        "Commodity: row 2 (commodity ID \"3\", Description \"Heavy\") has Weight \"lots\", not "
        "a weight 0 to 2147483647.",
        "Commodity: row 2 (commodity ID \"3\", Description \"Heavy\") has HAZMAT \"2\", not 0 "
        "or 1.",
        "Bills: the bill with BL ID \"1\", BL number \"BL-0001\" has 6 lines, not at most 5.",
    };
    EXPECT_EQ(Lines(p.begin() + 1, p.end()), expected);
    EXPECT_TRUE(earlier.Unchanged());
}

// The bill window, the rating and the printing find a bill, party or commodity by its trimmed
// text, the first one winning: a second of the same text could never be shown.
TEST_F(UpgradeTest, RowsSharingATrimmedNumberOrNameRefuseTheBillsGroupListingThem) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "OLD-0001");
    AddEarlierBill(earlier, 2, "OLD-0001 ");
    AddEarlierBill(earlier, 3, "old-0001");  // letter case counts, as in the window
    earlier.Exec(
        {"INSERT INTO \"BL parties\" VALUES (3, ' Acme', '9 Oak St', 'Milwaukee', "
         "'53202', 'WI', 1)",
         "INSERT INTO Commodity VALUES (2, 'Widgets  ', 3, '', '55', 0)"});
    ExpectBillsRefused(
        earlier,
        {
            "Bills: the bill with BL ID \"2\", BL number \"OLD-0001 \": A B/L is already on file "
            "with this number.",
            "BL parties: the party with Party ID \"3\", Name \" Acme\": A B/L party with this name "
            "is already on file.",
            "Commodity: the commodity with commodity ID \"2\", Description \"Widgets  \": A "
            "commodity with this name is already on file.",
        });
}

// Each field as the bill, party and commodity windows would refuse to store it, and one bill
// that passes: the refused rows are named, and nothing is copied.
TEST_F(UpgradeTest, RowsTheBillWindowsWouldRefuseRefuseTheBillsGroupNamingThem) {
    EarlierEdition earlier(app);
    for (int id = 1; id <= 9; ++id) AddEarlierBill(earlier, id, "BL-000" + std::to_string(id));
    earlier.Exec(
        {"UPDATE BLdetail SET Weight = 'abc' WHERE \"BL ID\" = 1",
         "UPDATE BLdetail SET Weight = '1e300' WHERE \"BL ID\" = 2",
         "UPDATE BLdetail SET Quantity = '-5' WHERE \"BL ID\" = 3",
         "UPDATE Bills SET Date = '99/99/99999' WHERE \"BL ID\" = 4",
         "UPDATE Bills SET Date = ?1 WHERE \"BL ID\" = 5",
         "UPDATE Bills SET PONbr = '12345678901234567' WHERE \"BL ID\" = 6",
         "INSERT INTO \"BL Notes\" VALUES (7, ?1)", "INSERT INTO BLdetail VALUES (8, 2, '1', '')",
         "INSERT INTO Commodity VALUES (2, 'Gadgets', 4, '', 'abc', 0)",
         "INSERT INTO \"BL parties\" VALUES (3, 'Nowhere Inc', '3 Elm St', 'Nowhere', '00000', "
         "'', 1)"},
        {{}, {}, {}, {}, {std::string(100000, '1')}, {}, {std::string(256, 'n')}, {}, {}, {}});
    const std::string bill = "Bills: the bill with BL ID ";
    ExpectBillsRefused(
        earlier,
        {
            bill + "\"1\", BL number \"BL-0001\": Any commodity must a weight (number).",
            bill + "\"2\", BL number \"BL-0002\": Any commodity must a weight (number).",
            bill + "\"3\", BL number \"BL-0003\": Any commodity must a quantity (number).",
            bill + "\"4\", BL number \"BL-0004\": Date is invalid.",
            bill + "\"5\", BL number \"BL-0005\": Date is invalid.",
            bill + "\"5\", BL number \"BL-0005\": its Date is 100000 characters long; the window "
                   "takes at most 32767.",
            bill + "\"6\", BL number \"BL-0006\": its PONbr is 17 characters long; the window "
                   "takes at most 16.",
            bill + "\"7\", BL number \"BL-0007\": its Instructions is 256 characters long; the "
                   "window takes at most 255.",
            bill + "\"8\", BL number \"BL-0008\": The commodity on line  2 is missing a weight "
                   "value.  Please correct the problem.",
            "BL parties: the party with Party ID \"3\", Name \"Nowhere Inc\": This is not a legal "
            "ZIP orPostal code.",
            "Commodity: the commodity with commodity ID \"2\", Description \"Gadgets\": Illegal "
            "NMFC class.",
        });
}

TEST_F(UpgradeTest, WithoutTheBillWindowsChecksTheBillsGroupIsNotCopied) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "BL-0001");
    AddBill(5, "B-5");
    SetUpgradeBillsCheck(nullptr);
    EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-5"});
    EXPECT_TRUE(AnyLineHas(report.skips, "has no checks of bills of lading"));
    // With them, the same bill is copied.
    InstallUpgradeBillsCheck();
    report = {};
    EXPECT_TRUE(Copy(earlier, BillOfLadingTables())) << report.skips.at(0);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"BL-0001"});
}

TEST_F(UpgradeTest, EmptySourceTablesEmptyTheTarget) {
    EarlierEdition earlier(app);
    AddBill(1, "B-1");
    db().Execute("INSERT INTO \"BL Notes\" VALUES (1, 'Call first')");
    ASSERT_TRUE(Copy(earlier, BillOfLadingTables()));
    EXPECT_TRUE(Rows(db(), "Bills").empty());
    EXPECT_TRUE(Rows(db(), "BL Notes").empty());
    EXPECT_TRUE(report.skips.empty());
}

TEST_F(UpgradeTest, AFailingTableRollsTheWholeGroupBack) {
    EarlierEdition earlier(app);
    earlier.Exec({"INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (9, 'new')",
                  "INSERT INTO Commodity (\"commodity ID\", Description) VALUES (1, 'Pumps')"});
    AddBill(1, "B-1");
    db().Execute("INSERT INTO Commodity (\"commodity ID\", Description) VALUES (2, 'kept')");
    // The last table of the group cannot be written, after the others have been replaced.
    db().Execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON Commodity "
        "BEGIN SELECT RAISE(ABORT, 'the disk is full'); END");
    UpgradeSource source(db());
    ASSERT_EQ(source.Open(earlier.path(), BillOfLadingTables()), 0);
    EXPECT_FALSE(UpgradeGroup(db(), BillOfLadingTables(), StateCodes(), "The B/L data", report));
    EXPECT_FALSE(report.changed);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-1"});
    EXPECT_EQ(Rows(db(), "Commodity", "Description"), Lines{"kept"});
    ASSERT_FALSE(report.skips.empty());
    EXPECT_NE(report.skips[0].find("The B/L data were not copied"), std::string::npos);
    EXPECT_NE(report.skips[0].find("\"commodity\" failed"), std::string::npos) << report.skips[0];
    EXPECT_NE(report.skips[0].find("the disk is full"), std::string::npos) << report.skips[0];
}

// The earlier file's bills cannot be read (a page of the table damaged): the parties and the
// commodity, which read whole, are copied without them, and the report says what was and what
// was not.
TEST_F(UpgradeTest, PartiesAndCommoditiesAreCopiedWithoutBillsThatCannotBeRead) {
    EarlierEdition earlier(app);
    AddEarlierBill(earlier, 1, "B-1", 2);
    AddBill(5, "B-5");
    DamageFirstPage(earlier.path(), "Bills");
    EXPECT_FALSE(Copy(earlier, BillOfLadingTables()));
    EXPECT_TRUE(report.changed);
    EXPECT_EQ(Rows(db(), "BL parties", "Name"), (Lines{"Acme", "Bolt"}));
    EXPECT_EQ(Rows(db(), "Commodity", "Description"), Lines{"Widgets"});
    EXPECT_TRUE(Rows(db(), "Bills").empty());
    EXPECT_TRUE(Rows(db(), "BLdetail").empty());
    ASSERT_EQ(report.skips.size(), 2u) << (report.skips.empty() ? "" : report.skips[0]);
    EXPECT_EQ(report.skips[0].rfind("The group were not copied: the table \"bills\" failed. ", 0),
              0u)
        << report.skips[0];
    EXPECT_NE(report.skips[0].find("is damaged"), std::string::npos) << report.skips[0];
    EXPECT_EQ(report.skips[1],
              "What could be read was copied without the bills: 2 parties and 1 commodity.  The "
              "bills of lading, their lines and notes were not copied; Fretlyn2007 now holds "
              "none.");
}

// ---------------------------------------------------------------- the pricing group

TEST_F(UpgradeTest, ACompletePricingProgramIsCopiedInboundRowsFirst) {
    EarlierEdition earlier(app);
    AddLocation606(earlier);
    ASSERT_TRUE(Copy(earlier, DiscountTables())) << (report.skips.empty() ? "" : report.skips[0]);
    EXPECT_TRUE(report.skips.empty());
    EXPECT_EQ(Rows(db(), "shipzips"), Lines{"606"});
    EXPECT_EQ(Rows(db(), "states", "count(*)", "zip = '606'"),
              Lines{std::to_string(StateCodes().size())});
    // Stored outbound first in the earlier edition; here each region's inbound row comes first.
    for (const char* table : {"discounts", "faktable"})
        for (int region = 1; region <= 4; ++region)
            EXPECT_EQ(
                Rows(db(), table, "IBOB", "zip = '606' AND region = " + std::to_string(region)),
                (Lines{"1", "0"}))
                << table << " region " << region;
    EXPECT_EQ(Rows(db(), "discounts", "d5c", "zip = '606' AND region = 2 AND IBOB = 1"),
              Lines{"33.0"});
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, PricingRowsThatFailTheChecksRollTheGroupBack) {
    const Lines discountsBefore = Rows(db(), "discounts");
    const Lines fakBefore = Rows(db(), "faktable");
    EarlierEdition earlier(app);
    AddLocation606(earlier, "33.0");
    earlier.Exec({
        "DELETE FROM discounts WHERE zip = 'ALL' AND region = 254 AND IBOB = 0",
        "UPDATE faktable SET profil = '0001020304' WHERE zip = '606' AND region = 2 AND IBOB = 1",
        "UPDATE faktable SET profil = '000102030405060708091011121314151618' "
        "WHERE zip = '606' AND region = 3 AND IBOB = 1",
        "UPDATE discounts SET d1m = '5.5' WHERE zip = '606' AND region = 1 AND IBOB = 0",
        "UPDATE discounts SET Floor = '12.5' WHERE zip = '606' AND region = 4 AND IBOB = 1",
        "INSERT INTO faktable (zip, IBOB, region, profil) VALUES ('606', 0, 4, "
        "'000102030405060708091011121314151617')",
        "DELETE FROM states WHERE zip = '606' AND State IN ('IL', 'WI')",
    });
    EXPECT_FALSE(Copy(earlier, DiscountTables()));
    EXPECT_FALSE(report.changed);
    EXPECT_EQ(Rows(db(), "discounts"), discountsBefore);
    EXPECT_EQ(Rows(db(), "faktable"), fakBefore);
    EXPECT_TRUE(Rows(db(), "shipzips").empty());
    EXPECT_EQ(Rows(db(), "states", "count(*)", "zip = '606'"), Lines{"0"});

    const Lines& p = report.skips;
    EXPECT_NE(p.at(0).find("were not copied"), std::string::npos) << p[0];
    EXPECT_TRUE(AnyLineHas(p, "\"ALL\" region 254 outbound has no discount row"));
    EXPECT_TRUE(AnyLineHas(p, "\"606\" region 2 inbound is \"0001020304\""));
    EXPECT_TRUE(
        AnyLineHas(p, "\"606\" region 3 inbound is \"000102030405060708091011121314151618\""));
    EXPECT_TRUE(AnyLineHas(p, "d1m of \"606\" region 1 outbound is \"5.5\""));
    EXPECT_TRUE(AnyLineHas(p, "floor of \"606\" region 4 inbound is \"12.5\""));
    EXPECT_TRUE(AnyLineHas(p, "\"606\" region 4 outbound has 2 FAK rows"));
    EXPECT_TRUE(AnyLineHas(p, "\"606\" has no region for the states IL, WI")) << p.size();
    EXPECT_EQ(p.size(), 8u);
    EXPECT_TRUE(earlier.Unchanged());
}

TEST_F(UpgradeTest, ALocationWithoutRowsForOneOfItsRegionsIsRefused) {
    EarlierEdition earlier(app);
    AddLocation606(earlier);
    // A state moved into region 5, whose rows were never made.
    earlier.Exec({"UPDATE states SET region = 5 WHERE zip = '606' AND State = 'OH'"});
    EXPECT_FALSE(Copy(earlier, DiscountTables()));
    EXPECT_TRUE(AnyLineHas(report.skips, "\"606\" region 5 inbound has no discount row"));
    EXPECT_TRUE(AnyLineHas(report.skips, "\"606\" region 5 outbound has no FAK row"));
}

// A region the editor cannot show and the rating cannot price: a location's outside 1 to 13, or
// one of the default program's other than 1, 4 and 254. Two billion is told as quickly.
TEST_F(UpgradeTest, RegionsOutsideTheirRangeRefuseThePricingGroup) {
    const std::tuple<const char*, const char*> cases[] = {
        {"606", "0"}, {"ALL", "14"}, {"606", "2000000000"}, {"606", "2.5"}};
    for (const auto& [zip, region] : cases) {
        report = {};
        EarlierEdition earlier(app);
        AddLocation606(earlier);
        earlier.Exec({"UPDATE states SET region = " + std::string(region) +
                      " WHERE zip = ?1 AND State = 'OH'"},
                     {{zip}});
        EXPECT_FALSE(Copy(earlier, DiscountTables())) << zip << " " << region;
        EXPECT_TRUE(AnyLineHas(report.skips, "(State \"OH\", zip \"" + std::string(zip) +
                                                 "\") has region \"" + region +
                                                 "\", not a region 1 to 13 (1, 4 or 254 for "
                                                 "\"ALL\")."))
            << zip << " " << region << ": " << report.skips.at(0);
        EXPECT_TRUE(Rows(db(), "shipzips").empty());
    }
}

TEST_F(UpgradeTest, OpenRecordsetsSeeTheCopiedRows) {
    EarlierEdition earlier(app);
    AddLocation606(earlier, "41.5");
    earlier.Exec(
        {"UPDATE discounts SET dmc = '52.5' WHERE zip = 'ALL' AND region = 1 "
         "AND IBOB = 0"});
    // The program's own recordsets stand where they were left, one in the middle of a walk.
    tariff.rsDiscounts->MoveFirst();
    tariff.rsDiscounts->MoveNext();
    tariff.rsShipzips->MoveFirst();
    ASSERT_TRUE(Copy(earlier, DiscountTables()));

    EXPECT_EQ(tariff.rsShipzips->RecordCount(), 1);
    EXPECT_EQ(tariff.rsShipzips->Field("zip").str(), "606");
    EXPECT_EQ(tariff.rsDiscounts->RecordCount(), 6 + 8);
    ASSERT_TRUE(FindDiscountRow("ALL", 1, 0));
    EXPECT_EQ(tariff.rsDiscounts->Field("dmc").str(), "52.5");
    ASSERT_TRUE(FindDiscountRow("606", 3, 1));
    EXPECT_EQ(tariff.rsDiscounts->Field("d30m").str(), "41.5");
}

// ---------------------------------------------------------------- confirming and reporting

class UpgradeDatabasesTest : public UpgradeTest {
  protected:
    UpgradeHooks Hooks() {
        UpgradeHooks hooks;
        hooks.message = [this](const std::string& text, int style, const std::string& title) {
            shown.push_back(title + ": " + text + " (" + std::to_string(style) + ")");
            if (answers.empty()) return 7;
            const int answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
        hooks.hourglass = [this](bool busy) { hourglass.push_back(busy); };
        return hooks;
    }
    UpgradeReport Run(bool discounts, bool bl, int edition = 5) {
        UpgradeSource source(db());
        EXPECT_EQ(source.Open(earlier.path(), DiscountTables()), 0) << source.Problem();
        return UpgradeDatabases(db(), UpgradeChoice{edition, discounts, bl}, StateCodes(), Hooks());
    }
    void SetUp() override {
        UpgradeTest::SetUp();
        AddEarlierBill(earlier, 4, "old");
        earlier.Exec({"INSERT INTO shipzips (zip) VALUES ('ZZZ')"});
        AddBill(1, "B-1");
    }

    EarlierEdition earlier{app};
    std::vector<int> answers;
    Lines shown;
    std::vector<bool> hourglass;
};

const std::string kDiscountConfirm =
    "Confirm: This will remove all discount\ncustomizations you have made to\nyour Fretlyn2007 "
    "and replace\nthem with the values from your\nFretlyn2005.  Are you sure? (292)";
const std::string kBLConfirm =
    "Confirm: This will remove all Bill of Lading\nentries you have made using your\n"
    "Fretlyn2007 and replace them\nwith your all the Bill of Lading\ndata from your Fretlyn2005 "
    "system.\nThis includes the B/Ls themselves, as\nwell as all B/L parties and commodities.\n"
    "Are you sure? (292)";
const std::string kCanceled = "Action canceled: Click OK. (48)";

TEST_F(UpgradeDatabasesTest, NoToDiscountsAndYesToBillsCopiesOnlyTheBills) {
    answers = {7, 1, 6};
    const UpgradeReport r = Run(true, true);
    EXPECT_EQ(shown, (Lines{kDiscountConfirm, kCanceled, kBLConfirm}));
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"old"});
    EXPECT_TRUE(Rows(db(), "shipzips").empty());
    EXPECT_EQ(hourglass, (std::vector<bool>{true, false}));
    EXPECT_TRUE(r.confirmed);
    EXPECT_TRUE(r.changed);

    shown.clear();
    ShowUpgradeOutcome(r, Hooks());
    EXPECT_EQ(shown, Lines{"Thanks for choosing Norvale Freight!: Upgrade finished (64)"});
}

TEST_F(UpgradeDatabasesTest, BothDeclinedCopiesNothingAndSaysNoMore) {
    answers = {7, 1, 7, 1};
    const UpgradeReport r = Run(true, true);
    EXPECT_EQ(shown, (Lines{kDiscountConfirm, kCanceled, kBLConfirm, kCanceled}));
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"B-1"});
    EXPECT_FALSE(r.confirmed);
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(hourglass.empty());
    shown.clear();
    ShowUpgradeOutcome(r, Hooks());
    EXPECT_TRUE(shown.empty());
}

TEST_F(UpgradeDatabasesTest, AFailedGroupIsListedInsteadOfUpgradeFinished) {
    // "ZZZ" has no states, discounts or profiles in the earlier edition.
    answers = {6, 6};
    const UpgradeReport r = Run(true, true);
    EXPECT_EQ(Rows(db(), "Bills", "\"BL number\""), Lines{"old"});
    EXPECT_TRUE(Rows(db(), "shipzips").empty());
    EXPECT_TRUE(r.changed);
    shown.clear();
    ShowUpgradeOutcome(r, Hooks());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("Upgrade incomplete: Not everything was upgraded:\n"
                             "The discount customizations were not copied",
                             0),
              0u)
        << shown[0];
    EXPECT_NE(shown[0].find("\"ZZZ\" has no region for the states"), std::string::npos);
    EXPECT_EQ(shown[0].substr(shown[0].size() - 5), " (48)");
}

TEST_F(UpgradeDatabasesTest, ALongListOfSkipsIsCutShort) {
    UpgradeReport r;
    r.confirmed = true;
    for (int i = 0; i < 45; ++i) r.skips.push_back("skip " + std::to_string(i));
    ShowUpgradeOutcome(r, Hooks());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("skip 29\n... and 15 more."), std::string::npos) << shown[0];
    EXPECT_EQ(shown[0].find("skip 30"), std::string::npos);
}

}  // namespace
