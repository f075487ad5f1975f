#include "database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "filesizelimit.h"
#include "smallfilesystem.h"

namespace fs = std::filesystem;

namespace {

// A small database in the shapes the tariff uses: blanks in names, NOCASE text keys,
// a unique key and a table with several indexes.
class DatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = fs::temp_directory_path() /
                ("fretlyn_db_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".mdb");
        fs::remove(path_);
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
        const char* ddl = R"(
            CREATE TABLE us_cities (zip TEXT COLLATE NOCASE, City TEXT COLLATE NOCASE,
                                    State TEXT COLLATE NOCASE);
            CREATE INDEX "us_cities.byzip" ON us_cities(zip);
            CREATE INDEX "us_cities.bycity" ON us_cities(City, State);
            INSERT INTO us_cities VALUES ('60601','Chicago','IL'), ('55401','Minneapolis','MN'),
                ('62269','O''Fallon','IL'), ('63366','O''Fallon','MO'), ('10001','New York','NY'),
                ('60602','chicago','IL');
            CREATE TABLE "PR Delvy zones" (zip TEXT COLLATE NOCASE, zone INTEGER);
            CREATE UNIQUE INDEX "PR Delvy zones.byzip" ON "PR Delvy zones"(zip);
            INSERT INTO "PR Delvy zones" VALUES ('00901', 1), ('00602', 3);
            CREATE TABLE accessorials (name TEXT COLLATE NOCASE, apply TEXT COLLATE NOCASE,
                                       "temp on" TEXT COLLATE NOCASE, Minimum REAL);
            CREATE UNIQUE INDEX "accessorials.byname" ON accessorials(name);
            INSERT INTO accessorials VALUES ('Liftgate','no','no',75.0),
                                            ('Inside Delivery','yes','no',60.5);
            CREATE TABLE discounts (zip TEXT COLLATE NOCASE, region INTEGER, IBOB INTEGER,
                                    dmc REAL);
            CREATE UNIQUE INDEX "discounts.byzipandregion" ON discounts(zip, region, IBOB);
            INSERT INTO discounts VALUES ('ALL',1,0,10.0), ('ALL',1,1,12.5), ('ALL',4,0,20.0),
                                         ('554',2,0,30.0), (NULL,1,0,5.0);
            CREATE TABLE basezone00 (zone TEXT);
            INSERT INTO basezone00 VALUES ('B'), ('A');
        )";
        ASSERT_EQ(sqlite3_exec(raw, ddl, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(raw);
        sqlite3_close(raw);
        db_ = std::make_unique<Database>(path_.string());
    }
    void TearDown() override {
        db_.reset();
        fs::remove(path_);
    }

    std::vector<std::string> walk(Recordset& rs, const char* field) {
        std::vector<std::string> out;
        for (rs.MoveFirst(); !rs.AtEOF(); rs.MoveNext()) out.push_back(rs.Field(field).str());
        return out;
    }

    fs::path path_;
    std::unique_ptr<Database> db_;
};

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e.number();
    }
    return 0;
}

TEST_F(DatabaseTest, SeekFindsKeysWithoutRegardToCaseAndSetsNoMatch) {
    auto rs = db_->OpenRecordset("us_cities");
    rs->SetIndex("byzip");
    rs->Seek("=", {"55401"});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Field("City").str(), "Minneapolis");

    rs->Seek("=", {"99999"});
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_FALSE(rs->HasCurrent());
    EXPECT_EQ(errorNumber([&] { rs->Field("City"); }), kErrNoCurrentRecord);

    rs->SetIndex("bycity");
    rs->Seek("=", {"CHICAGO", "il"});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Field("zip").str(), "60601");  // first of the two in index order

    // A key with an apostrophe is a bound value, not SQL text.
    rs->Seek("=", {"o'fallon", "MO"});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Field("zip").str(), "63366");
}

TEST_F(DatabaseTest, SeekOnLeadingFieldsOfAMultiFieldIndex) {
    auto rs = db_->OpenRecordset("discounts");
    rs->SetIndex("byzipandregion");
    rs->Seek("=", {"all", 1});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Field("IBOB").toInt(), 0);
    rs->Seek("=", {"ALL", 1, 1});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_DOUBLE_EQ(rs->Field("dmc").toDouble(), 12.5);
    // A numeric key given as text still matches the number column.
    rs->Seek("=", {"ALL", "4", "0"});
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(errorNumber([&] { rs->Seek("=", {"ALL", 1, 0, 9}); }), 3001);
}

TEST_F(DatabaseTest, CurrentRowIsSharedBetweenCallersAndKeptAcrossIndexChanges) {
    auto rs = db_->OpenRecordset("us_cities");
    std::shared_ptr<Recordset> other = rs;  // another module holding the same recordset
    rs->SetIndex("byzip");
    rs->Seek("=", {"10001"});
    EXPECT_EQ(other->Field("City").str(), "New York");
    other->SetIndex("bycity");
    EXPECT_EQ(rs->Index(), "bycity");
    EXPECT_EQ(rs->Field("City").str(), "New York");
    // The walk goes on in the new index's order from the row that was current.
    rs->MoveNext();
    EXPECT_EQ(rs->Field("City").str(), "O'Fallon");
}

TEST_F(DatabaseTest, MoveNextFollowsTheCurrentIndexToEof) {
    auto rs = db_->OpenRecordset("us_cities");
    rs->SetIndex("byzip");
    EXPECT_EQ(walk(*rs, "zip"),
              (std::vector<std::string>{"10001", "55401", "60601", "60602", "62269", "63366"}));
    EXPECT_TRUE(rs->AtEOF());
    EXPECT_EQ(errorNumber([&] { rs->MoveNext(); }), kErrNoCurrentRecord);

    rs->SetIndex("bycity");
    EXPECT_EQ(walk(*rs, "zip"),
              (std::vector<std::string>{"60601", "60602", "55401", "10001", "62269", "63366"}));

    // From a Seek, MoveNext continues in index order.
    rs->SetIndex("byzip");
    rs->Seek("=", {"60601"});
    rs->MoveNext();
    EXPECT_EQ(rs->Field("zip").str(), "60602");
    rs->MovePrevious();
    rs->MovePrevious();
    EXPECT_EQ(rs->Field("zip").str(), "55401");

    // A Null key sorts first and the walk passes over it.
    auto d = db_->OpenRecordset("discounts");
    d->SetIndex("byzipandregion");
    EXPECT_EQ(walk(*d, "dmc"), (std::vector<std::string>{"5", "30", "10", "12.5", "20"}));

    // A table without an index walks in the order rows were added.
    auto b = db_->OpenRecordset("basezone00");
    EXPECT_EQ(walk(*b, "zone"), (std::vector<std::string>{"B", "A"}));
}

TEST_F(DatabaseTest, EmptyTableIsAtBothEnds) {
    db_->Execute("DELETE FROM basezone00");
    auto b = db_->OpenRecordset("basezone00");
    EXPECT_TRUE(b->AtEOF());
    EXPECT_TRUE(b->AtBOF());
    b->MoveFirst();
    EXPECT_TRUE(b->AtEOF());
    EXPECT_EQ(b->RecordCount(), 0);
}

TEST_F(DatabaseTest, AddNewEditUpdateAndDelete) {
    auto rs = db_->OpenRecordset("accessorials");
    rs->SetIndex("byname");
    rs->Seek("=", {"Liftgate"});
    rs->AddNew();
    rs->SetField("name", "Residential Delivery");
    rs->SetField("temp on", "yes");
    rs->SetField("Minimum", 45);
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 3);
    // The new row is stored but the row current before AddNew stays current.
    EXPECT_EQ(rs->Field("name").str(), "Liftgate");
    rs->Seek("=", {"residential delivery"});
    ASSERT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Field("temp on").str(), "yes");
    EXPECT_TRUE(rs->Field("apply").isNull());

    rs->Edit();
    rs->SetField("temp on", "no");
    EXPECT_EQ(rs->Field("temp on").str(), "no");  // the edit buffer is what Field reads
    rs->Update();
    rs->Seek("=", {"Inside Delivery"});
    rs->Seek("=", {"Residential Delivery"});
    EXPECT_EQ(rs->Field("temp on").str(), "no");

    rs->Seek("=", {"Inside Delivery"});
    rs->Delete();
    EXPECT_EQ(errorNumber([&] { rs->Field("name"); }), kErrNoCurrentRecord);
    rs->MoveNext();  // goes on from where the deleted row stood
    EXPECT_EQ(rs->Field("name").str(), "Liftgate");
    EXPECT_EQ(rs->RecordCount(), 2);

    EXPECT_EQ(errorNumber([&] { rs->Update(); }), kErrUpdateWithoutEdit);
    rs->Seek("=", {"nothing"});
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), kErrNoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), kErrNoCurrentRecord);
}

TEST_F(DatabaseTest, DuplicateKeyRaises3022AndLeavesTheEditPending) {
    auto rs = db_->OpenRecordset("accessorials");
    rs->AddNew();
    rs->SetField("name", "LIFTGATE");
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), kErrDuplicateKey);
    EXPECT_EQ(rs->Field("name").str(), "LIFTGATE");  // still in the buffer
    rs->SetField("name", "Liftgate 2");
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 3);

    auto z = db_->OpenRecordset("PR Delvy zones");
    z->SetIndex("byzip");
    z->Seek("=", {"00602"});
    z->Edit();
    z->SetField("zip", "00901");
    EXPECT_EQ(errorNumber([&] { z->Update(); }), kErrDuplicateKey);
    z->CancelUpdate();
    EXPECT_EQ(z->Field("zip").str(), "00602");
}

TEST_F(DatabaseTest, ChangesThroughOneRecordsetAreSeenByAnother) {
    auto a = db_->OpenRecordset("accessorials");
    auto b = db_->OpenRecordset("accessorials");
    a->SetIndex("byname");
    b->SetIndex("byname");
    a->Seek("=", {"Liftgate"});
    b->Seek("=", {"Liftgate"});
    b->Edit();
    b->SetField("temp on", "yes");
    b->Update();
    EXPECT_EQ(a->Field("temp on").str(), "yes");

    // A walk in progress survives a write made by the other recordset.
    a->MoveFirst();
    EXPECT_EQ(a->Field("name").str(), "Inside Delivery");
    b->Seek("=", {"Liftgate"});
    b->Edit();
    b->SetField("Minimum", 80);
    b->Update();
    a->MoveNext();
    EXPECT_EQ(a->Field("Minimum").toDouble(), 80);
    a->MoveNext();
    EXPECT_TRUE(a->AtEOF());
}

TEST_F(DatabaseTest, SnapshotsBindTheirParametersAndKnowTheOldStringFunctions) {
    Snapshot s = db_->OpenSnapshot(
        "SELECT zip, City FROM us_cities WHERE City = ? AND Left(zip, 3) = ? ORDER BY zip",
        {"O'Fallon", "633"});
    ASSERT_EQ(s.RecordCount(), 1u);
    EXPECT_EQ(s.Field("city").str(), "O'Fallon");
    EXPECT_EQ(s.Field(size_t{0}).str(), "63366");
    s.MoveNext();
    EXPECT_TRUE(s.AtEOF());
    EXPECT_EQ(errorNumber([&] { s.Field("zip"); }), kErrNoCurrentRecord);

    Snapshot f = db_->OpenSnapshot(
        "SELECT Mid('ABCDEF', 2, 3), Right ('ABCDEF', 2), Trim('  x '), 'Left(' AS [Left]");
    EXPECT_EQ(f.Field(size_t{0}).str(), "BCD");
    EXPECT_EQ(f.Field(size_t{1}).str(), "EF");
    EXPECT_EQ(f.Field(size_t{2}).str(), "x");
    EXPECT_EQ(f.Field("Left").str(), "Left(");  // literals and names are not calls
    EXPECT_EQ(errorNumber([&] { db_->OpenSnapshot("SELECT nonsense FROM nowhere"); }), kErrGeneral);
}

TEST_F(DatabaseTest, RollbackUndoesAndCommitKeeps) {
    auto rs = db_->OpenRecordset("basezone00");
    db_->BeginTrans();
    rs->AddNew();
    rs->SetField("zone", "C");
    rs->Update();
    EXPECT_EQ(rs->RecordCount(), 3);
    db_->Rollback();
    EXPECT_EQ(rs->RecordCount(), 2);
    db_->BeginTrans();
    db_->Execute("INSERT INTO basezone00 VALUES (?)", {"D"});
    db_->CommitTrans();
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_EQ(errorNumber([&] { db_->CommitTrans(); }), 3034);
}

// Another program's connection to the same file, holding the lock a transaction of the given
// kind takes.
class OtherProgram {
  public:
    OtherProgram(const fs::path& path, const char* begin) {
        EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, begin, nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db_);
    }
    ~OtherProgram() { Release(); }
    void Release() {
        if (!db_) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

  private:
    sqlite3* db_ = nullptr;
};

TEST_F(DatabaseTest, ALockHeldForAMomentIsWaitedFor) {
    OtherProgram other(path_, "BEGIN EXCLUSIVE");
    // The other program finishes well inside the time the engine waits.
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBusyTimeoutMs / 5));
        other.Release();
    });
    EXPECT_NO_THROW(db_->Execute("UPDATE basezone00 SET zone = 'Z' WHERE zone = 'A'"));
    finisher.join();
    EXPECT_EQ(db_->OpenSnapshot("SELECT count(*) AS n FROM basezone00 WHERE zone = 'Z'")
                  .Field("n")
                  .toInt(),
              1);
}

// A walk stopped part way must not keep the transaction from waiting for another program.
TEST_F(DatabaseTest, ATransactionWaitsForAWriteLockEvenBesideAWalkLeftPartWay) {
    auto rs = db_->OpenRecordset("us_cities");
    rs->SetIndex("byzip");
    rs->MoveFirst();
    rs->MoveNext();
    ASSERT_EQ(rs->Field("zip").str(), "55401");  // 10001, 55401, then 60601 …
    OtherProgram other(path_, "BEGIN IMMEDIATE");
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBusyTimeoutMs / 5));
        other.Release();
    });
    EXPECT_NO_THROW(db_->BeginTrans());
    finisher.join();
    db_->Execute("UPDATE basezone00 SET zone = 'Q' WHERE zone = 'A'");
    db_->CommitTrans();
    // The walk goes on from the row it stood on.
    rs->MoveNext();
    EXPECT_EQ(rs->Field("zip").str(), "60601");
}

TEST_F(DatabaseTest, ALockThatStaysAndAReadOnlyFileAreSaidInWords) {
    {
        OtherProgram other(path_, "BEGIN EXCLUSIVE");
        try {
            db_->OpenSnapshot("SELECT apply FROM accessorials WHERE name = ?", {"Liftgate"});
            ADD_FAILURE() << "read through another program's exclusive lock";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), kErrLocked);
            EXPECT_NE(std::string(e.what()).find(path_.string() + " is locked by another program"),
                      std::string::npos)
                << e.what();
        }
    }
    Database readOnly(path_.string(), true);
    EXPECT_TRUE(readOnly.IsReadOnly());
    EXPECT_FALSE(db_->IsReadOnly());
    try {
        readOnly.Execute("DELETE FROM basezone00");
        ADD_FAILURE() << "wrote to a read-only database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrReadOnly);
        EXPECT_NE(std::string(e.what()).find(path_.string() + " is read-only"), std::string::npos)
            << e.what();
    }
}

// A change that does not fit on the disk names the database and says the disk is full; one past
// a limit on the size of a file names the limit.
TEST_F(DatabaseTest, AChangeThatDoesNotFitOnTheDiskNamesTheDatabaseAndTheReason) {
    const std::string row(64 * 1024, 'x');
    auto expectRefused = [&](Database& db, int number, const std::string& text) {
        try {
            db.BeginTrans();
            for (int i = 0; i < 64; ++i) db.Execute("INSERT INTO basezone00 VALUES (?)", {row});
            db.CommitTrans();
            ADD_FAILURE() << "stored 4 MB past the room there is";
        } catch (const DbError& e) {
            db.Rollback();
            EXPECT_EQ(e.number(), number) << e.what();
            EXPECT_EQ(std::string(e.what()), text);
        }
    };
    const fs::path folder = path_.parent_path() / (path_.stem().string() + "_small");
    {
        SmallFileSystem disk(folder, 1 << 20);
        if (disk.Mounted()) {
            fs::copy_file(path_, folder / "small.mdb");
            Database small((folder / "small.mdb").string());
            expectRefused(small, kErrDiskFull,
                          "The change was not saved: the disk holding the database " +
                              small.Path() +
                              " is full (No space left on device).  Free some space on it and "
                              "try again.");
            small.Close();
        }
    }
    fs::remove_all(folder);
    // Past a file-size limit the engine says no more than "disk I/O error": the limit is named.
    const auto most = fs::file_size(path_) + 8192;
    FileSizeLimit limit(most);
    expectRefused(*db_, kErrDiskFull,
                  "The change was not saved: the database " + path_.string() +
                      " would be larger than this system lets a file be (File too large, at most " +
                      std::to_string(most) +
                      " bytes).  Start Fretlyn where files may be larger (ulimit -f) and try "
                      "again.");
    EXPECT_EQ(db_->OpenSnapshot("SELECT COUNT(*) FROM basezone00").Field(size_t{0}).toInt(), 2);
}

// Past a limit on the size of a file below the database's own size, a write begun would fall
// past the limit part way and leave the engine unable to put it back: the database could not
// even be read until the program ended. No write is begun; the limit is named; reading goes on.
TEST_F(DatabaseTest, AWriteIsNotBegunPastTheLimitOnTheSizeOfAFile) {
    const int before =
        db_->OpenSnapshot("SELECT COUNT(*) FROM basezone00").Field(size_t{0}).toInt();
    {
        FileSizeLimit limit(fs::file_size(path_) / 2);
        try {
            db_->BeginTrans();
            db_->Execute("INSERT INTO basezone00 VALUES (?)", {std::string(64 * 1024, 'x')});
            db_->CommitTrans();
            ADD_FAILURE() << "a write was begun past the limit on the size of a file";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), kErrDiskFull) << e.what();
            const std::string what = e.what();
            EXPECT_NE(what.find("would be larger than this system lets a file be"),
                      std::string::npos)
                << what;
            EXPECT_NE(what.find(path_.string()), std::string::npos) << what;
            EXPECT_NE(what.find("ulimit -f"), std::string::npos) << what;
        }
        EXPECT_EQ(db_->OpenSnapshot("SELECT COUNT(*) FROM basezone00").Field(size_t{0}).toInt(),
                  before);
    }
    // With the limit gone the same write is made.
    db_->BeginTrans();
    db_->Execute("INSERT INTO basezone00 VALUES (?)", {std::string("y")});
    db_->CommitTrans();
    EXPECT_EQ(db_->OpenSnapshot("SELECT COUNT(*) FROM basezone00").Field(size_t{0}).toInt(),
              before + 1);
}

TEST_F(DatabaseTest, OpeningALockedOrDamagedFileSaysWhichItIs) {
    db_.reset();
    {
        // Held by another program: locked, not "not a database", so nobody replaces a good file.
        OtherProgram other(path_, "BEGIN EXCLUSIVE");
        try {
            Database opened(path_.string());
            ADD_FAILURE() << "opened through another program's exclusive lock";
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), kErrLocked) << e.what();
            EXPECT_NE(std::string(e.what()).find("locked by another program"), std::string::npos);
        }
    }
    // A database cut short after its first page is damaged, not foreign: named, with what to do.
    const auto size = fs::file_size(path_);
    ASSERT_GT(size, 8192u);
    fs::resize_file(path_, 4096);
    try {
        Database opened(path_.string());
        opened.OpenSnapshot("SELECT count(*) FROM us_cities");
        ADD_FAILURE() << "read a table from a database cut short";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        EXPECT_EQ(std::string(e.what()),
                  "The database " + path_.string() +
                      " is damaged (database disk image is malformed).  Restore it from a backup "
                      "copy.");
    }
    // Text that is no database at all is said to be foreign, or a database damaged.
    {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("Norvale Freight tariff notes, not a database at all.\n", f);
        std::fclose(f);
    }
    try {
        Database opened(path_.string());
        ADD_FAILURE() << "opened a text file as a database";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        EXPECT_EQ(std::string(e.what()), "The file " + path_.string() +
                                             " is not a Fretlyn database, or it is damaged (file "
                                             "is not a database).  Restore it from a backup copy.");
    }
}

// The upgrade reads an earlier edition's file attached to the program's own: when the earlier
// file is the damaged one, it is the one named, not the program's sound database.
TEST_F(DatabaseTest, OfTwoFilesTheDamagedOneIsNamed) {
    const fs::path earlier = path_.string() + ".earlier";
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(earlier.c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw,
                               "PRAGMA page_size = 4096; CREATE TABLE rows (t TEXT); "
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < 2000) INSERT INTO rows SELECT hex(randomblob(50)) FROM n",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(raw);
    }
    {
        // The table's leaves, after the schema page and the table's root.
        std::fstream file(earlier, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(2 * 4096);
        const std::string zeros(fs::file_size(earlier) - 2 * 4096, '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    db_->Execute("ATTACH DATABASE ? AS earlier", {earlier.string()});
    try {
        db_->OpenSnapshot("SELECT sum(length(t)) FROM earlier.rows");
        ADD_FAILURE() << "read a damaged table";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrDamaged);
        EXPECT_EQ(std::string(e.what()), "The database " + earlier.string() +
                                             " is damaged (database disk image is malformed).  "
                                             "Restore it from a backup copy.");
    }
    db_->Execute("DETACH DATABASE earlier");
    fs::remove(earlier);
}

TEST_F(DatabaseTest, ACommitRefusedByAnotherProgramCanStillBeRolledBack) {
    db_->BeginTrans();
    db_->Execute("INSERT INTO basezone00 VALUES (?)", {"C"});
    {
        // A reader's lock: the commit cannot write the file while it is held.
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT zone FROM basezone00", -1, &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(errorNumber([&] { db_->CommitTrans(); }), kErrLocked);
        sqlite3_finalize(st);
        sqlite3_close(raw);
    }
    db_->Rollback();
    EXPECT_EQ(db_->OpenSnapshot("SELECT count(*) AS n FROM basezone00").Field("n").toInt(), 2);
    // No transaction is left open: a new one begins and commits.
    db_->BeginTrans();
    db_->Execute("INSERT INTO basezone00 VALUES (?)", {"D"});
    db_->CommitTrans();
    EXPECT_EQ(db_->OpenSnapshot("SELECT count(*) AS n FROM basezone00").Field("n").toInt(), 3);
}

TEST_F(DatabaseTest, CloseShutsEveryOpenRecordsetAndTheDatabase) {
    auto a = db_->OpenRecordset("us_cities");
    auto b = db_->OpenRecordset("accessorials");
    ASSERT_EQ(db_->Recordsets().size(), 2u);
    EXPECT_EQ(db_->Recordsets()[1]->Name(), "accessorials");
    a->Close();
    ASSERT_EQ(db_->Recordsets().size(), 1u);
    auto c = db_->OpenRecordset("discounts");
    db_->Close();
    EXPECT_TRUE(db_->Recordsets().empty());
    EXPECT_FALSE(db_->IsOpen());
    EXPECT_FALSE(b->IsOpen());
    EXPECT_FALSE(c->IsOpen());
    EXPECT_EQ(errorNumber([&] { c->MoveFirst(); }), kErrObjectClosed);
    db_->Close();  // twice is harmless
    // Nothing holds the file any more: it can be removed and opened afresh.
    Database again(path_.string());
    EXPECT_TRUE(again.TableExists("US_CITIES"));
}

TEST_F(DatabaseTest, MissingThingsAreReportedByName) {
    try {
        db_->OpenRecordset("no such table");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrNotFound);
        EXPECT_NE(std::string(e.what()).find("no such table"), std::string::npos);
    }
    auto rs = db_->OpenRecordset("us_cities");
    EXPECT_EQ(errorNumber([&] { rs->SetIndex("bystate"); }), kErrIndexNotFound);
    EXPECT_EQ(errorNumber([&] { rs->Field("County"); }), kErrFieldNotFound);
    EXPECT_TRUE(db_->IndexExists("PR Delvy zones", "byzip"));
    EXPECT_FALSE(db_->IndexExists("PR Delvy zones", "bycity"));
    EXPECT_EQ(errorNumber([] { Database d("/nonexistent/x2007.mdb"); }), kErrCannotOpen);
}

// Whether another program can store a change within the time the program itself would wait.
bool AnotherProgramCanWrite(const fs::path& path, const char* sql) {
    sqlite3* raw = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    sqlite3_busy_timeout(raw, Database::kBusyTimeoutMs / 4);
    const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    return rc == SQLITE_OK;
}

bool AnotherProgramCanWrite(const fs::path& path) {
    return AnotherProgramCanWrite(path, "UPDATE basezone00 SET zone = zone");
}

// A walk that ends in a Seek, a change of index or simply part way must not keep the file's
// read lock: the discount editors did all three and no other program could write any more.
TEST_F(DatabaseTest, AWalkEndedAnyWayLeavesNoLockBehind) {
    auto rs = db_->OpenRecordset("us_cities");
    rs->SetIndex("byzip");
    rs->MoveFirst();
    rs->MoveNext();
    rs->Seek("=", {"60601"});
    EXPECT_TRUE(AnotherProgramCanWrite(path_)) << "after a Seek";
    rs->MoveFirst();
    rs->MoveNext();
    rs->SetIndex("bycity");
    EXPECT_TRUE(AnotherProgramCanWrite(path_)) << "after a change of index";
    rs->MoveFirst();
    rs->MoveNext();
    EXPECT_TRUE(AnotherProgramCanWrite(path_)) << "beside a walk left part way";
    // The walk goes on where it stood, in the index's order.
    EXPECT_EQ(rs->Field("zip").str(), "60602");  // Chicago IL, then chicago IL …
    rs->MoveNext();
    EXPECT_EQ(rs->Field("City").str(), "Minneapolis");
}

// A command reads in one read transaction: another program waits for it, never for the
// program between commands; scopes nest, and a walk part way is let go with the command.
TEST_F(DatabaseTest, ACommandsReadsHoldTheLockOnlyWhileTheCommandRuns) {
    auto rs = db_->OpenRecordset("us_cities");
    rs->SetIndex("byzip");
    {
        ReadTransaction command(*db_);
        rs->MoveFirst();
        rs->MoveNext();
        {
            ReadTransaction inner(db_.get());
            rs->Seek("=", {"55401"});
        }
        EXPECT_FALSE(AnotherProgramCanWrite(path_)) << "while the command runs";
        rs->MoveNext();
        EXPECT_EQ(rs->Field("zip").str(), "60601");
    }
    EXPECT_TRUE(AnotherProgramCanWrite(path_)) << "after the command";
    // A closed database reads no transaction at all.
    Database closed(path_.string());
    closed.Close();
    EXPECT_NO_THROW(ReadTransaction none(closed));
}

// A write in the middle of a command is stored at once, in its own transaction, after waiting
// for another program as any write does; the command's reads go on afterwards.
TEST_F(DatabaseTest, AWriteInsideACommandWaitsForAnotherProgramAndIsStoredAtOnce) {
    auto rs = db_->OpenRecordset("accessorials");
    rs->SetIndex("byname");
    ReadTransaction command(*db_);
    rs->Seek("=", {"Liftgate"});
    OtherProgram other(path_, "BEGIN IMMEDIATE");
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(Database::kBusyTimeoutMs / 5));
        other.Release();
    });
    rs->Edit();
    rs->SetField("Minimum", 80.0);
    EXPECT_NO_THROW(rs->Update());
    finisher.join();
    EXPECT_NO_THROW(db_->Execute("UPDATE basezone00 SET zone = 'Q' WHERE zone = 'A'"));
    // Stored, not held back until the command ends: another program reads it now.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "SELECT Minimum FROM accessorials WHERE name = 'Liftgate'",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_double(st, 0), 80.0);
    sqlite3_finalize(st);
    sqlite3_close(raw);
    rs->Seek("=", {"Inside Delivery"});
    EXPECT_EQ(rs->Field("Minimum").toDouble(), 60.5);
}

// Look-ups repeated while nothing changed are answered from what they found; a change another
// program stored between two commands, or the program's own, is read afresh.
TEST_F(DatabaseTest, AChangeStoredBetweenTwoCommandsIsSeenByTheNext) {
    auto rs = db_->OpenRecordset("accessorials");
    rs->SetIndex("byname");
    const std::string sql = "SELECT Minimum FROM accessorials WHERE name = ?1";
    const auto minimum = [&] {
        ReadTransaction command(*db_);
        rs->Seek("=", {"Liftgate"});
        const double seen = rs->Field("Minimum").toDouble();
        const std::vector<Value>* row = db_->LookUp(sql, {"Liftgate"});
        EXPECT_NE(row, nullptr);
        EXPECT_EQ(row ? (*row)[0].toDouble() : -1, seen);
        return seen;
    };
    EXPECT_EQ(minimum(), 75.0);
    EXPECT_EQ(minimum(), 75.0);
    ASSERT_TRUE(AnotherProgramCanWrite(
        path_, "UPDATE accessorials SET Minimum = 99 WHERE name = 'Liftgate'"));
    EXPECT_EQ(minimum(), 99.0);
    db_->Execute("UPDATE accessorials SET Minimum = 42 WHERE name = 'Liftgate'");
    EXPECT_EQ(minimum(), 42.0);
    // Outside a command every look-up asks the engine.
    ASSERT_TRUE(AnotherProgramCanWrite(
        path_, "UPDATE accessorials SET Minimum = 7 WHERE name = 'Liftgate'"));
    EXPECT_EQ((*db_->LookUp(sql, {"Liftgate"}))[0].toDouble(), 7.0);
    EXPECT_EQ(db_->LookUp(sql, {"Tailgate"}), nullptr);
}

// Counts the statements the engine starts on a connection: a look-up answered from memory
// starts none. The layer does not say where an answer came from, so the test asks the engine.
class StatementsRun {
  public:
    explicit StatementsRun(sqlite3* db) : db_(db) {
        sqlite3_trace_v2(db_, SQLITE_TRACE_STMT, &StatementsRun::Count, &count_);
    }
    ~StatementsRun() { sqlite3_trace_v2(db_, 0, nullptr, nullptr); }
    int Take() { return std::exchange(count_, 0); }

  private:
    static int Count(unsigned, void* count, void*, void*) {
        ++*static_cast<int*>(count);
        return 0;
    }
    sqlite3* db_;
    int count_ = 0;
};

// A batch test comes back to a ZIP prefix or a service centre only after hundreds of other
// keys: within one command the look-up answers it from what it found, misses included, and as
// stored after the program's own change; a change another program stored between two commands
// is read by the next, and of an earlier command only the latest few rows are kept.
TEST_F(DatabaseTest, AKeyLookedUpAgainLaterInTheSameCommandIsAnsweredAsStored) {
    db_->Execute("CREATE TABLE ziplist (key TEXT COLLATE NOCASE, subscript INTEGER)");
    db_->Execute("CREATE UNIQUE INDEX \"ziplist.byzip\" ON ziplist(key)");
    constexpr int kKeys = 80;
    const auto key = [](int i) { return "k" + std::to_string(100 + i); };
    InTransaction(*db_, [&] {
        for (int i = 0; i < kKeys; ++i)
            db_->Execute("INSERT INTO ziplist VALUES (?1, ?2)", {key(i), i});
    });
    const std::string sql = "SELECT subscript FROM ziplist WHERE key = ?1";
    const auto subscript = [&](const std::string& k) -> int64_t {
        const std::vector<Value>* row = db_->LookUp(sql, {k});
        return row ? (*row)[0].toInt() : -1;
    };
    // Every key, then a few the table lacks; the answers the engine gives.
    const auto lookUpAll = [&] {
        for (int i = 0; i < kKeys; ++i) EXPECT_EQ(subscript(key(i)), i) << key(i);
        for (const char* missing : {"x1", "x2", "x3"}) EXPECT_EQ(subscript(missing), -1);
    };
    StatementsRun run(db_->handle());
    {
        ReadTransaction command(*db_);
        run.Take();
        lookUpAll();
        EXPECT_EQ(run.Take(), kKeys + 3) << "each key once";
        lookUpAll();
        EXPECT_EQ(run.Take(), 0) << "the second time round from memory";
        db_->Execute("UPDATE ziplist SET subscript = 500 WHERE key = ?1", {key(0)});
        db_->Execute("INSERT INTO ziplist VALUES ('x1', 501)");
        EXPECT_EQ(subscript(key(0)), 500);
        EXPECT_EQ(subscript("X1"), 501);
        EXPECT_EQ(subscript(key(1)), 1);
    }
    ASSERT_TRUE(AnotherProgramCanWrite(
        path_, "UPDATE ziplist SET subscript = 600 WHERE key IN ('k101', 'k179');"
               "INSERT INTO ziplist VALUES ('x2', 602)"));
    run.Take();
    {
        ReadTransaction command(*db_);
        EXPECT_EQ(subscript(key(1)), 600);
        EXPECT_EQ(subscript(key(kKeys - 1)), 600);
        EXPECT_EQ(subscript("x2"), 602);
    }
    // Nothing changed since: the next command asks the engine again for all but the latest
    // few keys of the one before.
    for (int pass = 0; pass < 2; ++pass) {
        ReadTransaction command(*db_);
        run.Take();
        for (int i = 2; i < kKeys - 1; ++i) EXPECT_EQ(subscript(key(i)), i) << key(i);
        EXPECT_GE(run.Take(), kKeys - 3 - 32) << "pass " << pass;
    }
}

// Keys that share a hash, or more keys than the memory holds, never give another key's row:
// the memory forgets rather than answer wrongly.
TEST(CommandRowsTest, KeysSharingAHashOrOverflowingTheMemoryAreNeverConfused) {
    CommandRows rows;
    rows.Sync(1, 1);
    rows.Keep({Value("a")}, 7, true, {Value(1)});
    rows.Keep({Value("b")}, 7, false, {});
    EXPECT_EQ(rows.Find({Value("a")}, 7), nullptr);
    ASSERT_NE(rows.Find({Value("b")}, 7), nullptr);
    EXPECT_FALSE(rows.Find({Value("b")}, 7)->found);
    constexpr int kMany = 10000;
    for (int i = 0; i < kMany; ++i) {
        const std::vector<Value> keys{Value(i)};
        rows.Keep(keys, FoundRows::HashOf(keys), true, {Value(i * 2)});
    }
    int remembered = 0;
    for (int i = 0; i < kMany; ++i) {
        const std::vector<Value> keys{Value(i)};
        const CommandRows::Row* r = rows.Find(keys, FoundRows::HashOf(keys));
        if (!r) continue;
        ++remembered;
        ASSERT_EQ(r->values, std::vector<Value>{Value(i * 2)}) << i;
    }
    EXPECT_GT(remembered, 0);
    EXPECT_LT(remembered, kMany);
    const std::vector<Value> last{Value(kMany - 1)};
    EXPECT_NE(rows.Find(last, FoundRows::HashOf(last)), nullptr) << "the latest stays";
    // Another data version forgets everything.
    rows.Sync(2, 1);
    EXPECT_EQ(rows.Find(last, FoundRows::HashOf(last)), nullptr);
}

// While the program waits for the user in the middle of a command (a message, a dialog), the
// lock is let go and what another program stores meanwhile is read afterwards.
TEST_F(DatabaseTest, WaitingForTheUserMidCommandLetsGoOfTheLock) {
    auto rs = db_->OpenRecordset("accessorials");
    rs->SetIndex("byname");
    ReadTransaction command(*db_);
    rs->Seek("=", {"Liftgate"});
    ASSERT_FALSE(AnotherProgramCanWrite(path_));
    // The event loop calls this when it waits; this test has none to run.
    db_->Idle();
    ASSERT_TRUE(AnotherProgramCanWrite(
        path_, "UPDATE accessorials SET Minimum = 99 WHERE name = 'Liftgate'"));
    rs->Seek("=", {"Liftgate"});
    EXPECT_EQ(rs->Field("Minimum").toDouble(), 99.0);
    EXPECT_FALSE(AnotherProgramCanWrite(path_)) << "the command reads again";
}

}  // namespace
