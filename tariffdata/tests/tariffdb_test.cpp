#include "tariffdb.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "../../platform/tests/smallfilesystem.h"
#include "lockedfiles.h"
#include "testdata.h"

namespace fs = std::filesystem;

TEST(AppFolder, EndsInExactlyOneSeparator) {
    EXPECT_EQ(WithTrailingSeparator("/opt/fretlyn"), "/opt/fretlyn/");
    EXPECT_EQ(WithTrailingSeparator("/"), "/");
    EXPECT_EQ(WithTrailingSeparator("/opt/fretlyn/"), "/opt/fretlyn/");
    SetAppFolder("/tmp/x");
    EXPECT_EQ(AppFolder(), "/tmp/x/");
    SetAppFolder("");
    // Without an override it is the folder of the running program.
    EXPECT_EQ(AppFolder().back(), '/');
    EXPECT_TRUE(fs::exists(AppFolder()));
}

class OpenTariff : public ::testing::Test {
  protected:
    ScratchAppFolder app;
};

TEST_F(OpenTariff, OpensEveryTableOnItsIndexAndTheLaneFiles) {
    OpenTariffDatabase();
    ASSERT_TRUE(tariff.gDB);
    EXPECT_EQ(tariff.gDB->Recordsets().size(), 35u);
    for (const auto& t : TariffTables()) {
        const auto& rs = tariff.*t.handle;
        ASSERT_TRUE(rs && rs->IsOpen()) << t.table;
        EXPECT_EQ(rs->Index(), t.index) << t.table;
    }
    // The two accessorial recordsets are separate: each keeps its own current row.
    EXPECT_NE(tariff.rsAccessorials, tariff.rsAccessorials2);
    for (BinaryFile* f : {&tariff.laneGrid, &tariff.laneLines, &tariff.laneMap}) {
        EXPECT_TRUE(f->IsOpen());
        EXPECT_EQ(f->Size(), 1108809u);
    }
    EXPECT_NE(tariff.laneGrid.Path().find("cxgrd.dat"), std::string::npos);
    EXPECT_NE(tariff.laneMap.Path().find("cxmap.dat"), std::string::npos);
}

TEST_F(OpenTariff, CloseAllClosesWhatOthersOpenedAndCanRunTwice) {
    OpenTariffDatabase();
    auto extra = tariff.gDB->OpenRecordset("ponyout");  // left open by another window
    auto cities = tariff.rsUSCities;
    CloseAll();
    EXPECT_FALSE(extra->IsOpen());
    EXPECT_FALSE(cities->IsOpen());
    EXPECT_FALSE(tariff.gDB);
    EXPECT_FALSE(tariff.rsConfig);
    EXPECT_FALSE(tariff.laneGrid.IsOpen());
    EXPECT_FALSE(tariff.laneLines.IsOpen());
    EXPECT_FALSE(tariff.laneMap.IsOpen());
    CloseAll();
    // Closed means closed: the database opens again from scratch.
    OpenTariffDatabase();
    EXPECT_EQ(tariff.gDB->Recordsets().size(), 35u);
}

TEST_F(OpenTariff, MissingPiecesAreNamedAndNothingStaysOpen) {
    auto expectFailureNaming = [&](const std::string& what) {
        try {
            OpenTariffDatabase();
            ADD_FAILURE() << "opened without " << what;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
        }
        EXPECT_FALSE(tariff.gDB);
        EXPECT_FALSE(tariff.laneGrid.IsOpen());
    };

    // The customer's and the bills' tables, added in later editions, are required the same way:
    // a database without them stops at start rather than when their window opens.
    for (const std::string table : {"BL Notes", "Commodity", "shipzips", "faktable"}) {
        {
            Database db(app.file("data/x2007.mdb").string());
            db.Execute("ALTER TABLE \"" + table + "\" RENAME TO moved_away");
        }
        expectFailureNaming(table);
        Database db(app.file("data/x2007.mdb").string());
        db.Execute("ALTER TABLE moved_away RENAME TO \"" + table + "\"");
    }

    fs::rename(app.file("data/cxlns.dat"), app.file("data/cxlns.bak"));
    expectFailureNaming("cxlns.dat");
    fs::rename(app.file("data/cxlns.bak"), app.file("data/cxlns.dat"));

    {
        Database db(app.file("data/x2007.mdb").string());
        db.Execute("ALTER TABLE \"AK Zones2\" RENAME TO akz2_moved");
    }
    expectFailureNaming("AK Zones2");
    {
        Database db(app.file("data/x2007.mdb").string());
        db.Execute("ALTER TABLE akz2_moved RENAME TO \"AK Zones2\"");
        db.Execute("DROP INDEX \"svcctrs.bysic\"");
    }
    expectFailureNaming("bysic");

    fs::remove(app.file("data/x2007.mdb"));
    expectFailureNaming("x2007.mdb");
}

// A file the engine opens but that is no tariff: said so, not "table accessorials missing".
TEST_F(OpenTariff, AFileWithNoneOfTheTablesIsNotATariffDatabase) {
    auto expectNotATariff = [&] {
        try {
            OpenTariffDatabase();
            ADD_FAILURE() << "opened a database without the tariff's tables";
        } catch (const DbError& e) {
            const std::string m = e.what();
            EXPECT_EQ(e.number(), kErrNotTariffDatabase);
            EXPECT_NE(m.find(app.file("data/x2007.mdb").string()), std::string::npos) << m;
            EXPECT_NE(m.find("is not a tariff database"), std::string::npos) << m;
        }
        EXPECT_FALSE(tariff.gDB);
    };
    app.writeFile("data/x2007.mdb", "");  // the engine takes an empty file as a new database
    expectNotATariff();
    {
        Database other(app.file("data/x2007.mdb").string());
        other.Execute("CREATE TABLE invoices (id INTEGER)");
    }
    expectNotATariff();
}

// Every rating writes to the database: one the program may not write is refused at start,
// with the file and the reason, rather than failing each rating later.
TEST_F(OpenTariff, AReadOnlyDatabaseOrFolderIsRefusedAtStartWithTheReason) {
    auto expectRefused = [&](const std::string& fragment) {
        try {
            OpenTariffDatabase();
            ADD_FAILURE() << "opened a database it cannot write";
        } catch (const DbError& e) {
            const std::string m = e.what();
            EXPECT_EQ(e.number(), kErrReadOnly);
            EXPECT_NE(m.find(fragment), std::string::npos) << m;
            EXPECT_NE(m.find("must be able to write to it"), std::string::npos) << m;
            EXPECT_NE(m.find("accessorial choices"), std::string::npos) << m;
        }
        EXPECT_FALSE(tariff.gDB);
        EXPECT_FALSE(tariff.laneGrid.IsOpen());
    };
    {
        ReadOnlyPath file(app.file("data/x2007.mdb"));
        if (file.Writable()) GTEST_SKIP() << "this file system cannot make a file read-only";
        expectRefused(app.file("data/x2007.mdb").string() + " is read-only");
    }
    {
        ReadOnlyPath folder(app.file("data"));
        if (folder.Writable()) GTEST_SKIP() << "this file system cannot make a folder read-only";
        expectRefused("The folder " + app.file("data/").string());
    }
    OpenTariffDatabase();  // writable again: it opens
    EXPECT_FALSE(tariff.gDB->IsReadOnly());
}

// On a file system mounted read-only no permission of the file can help: the message says so.
TEST_F(OpenTariff, ADatabaseOnAReadOnlyFileSystemIsRefusedSayingSo) {
    const fs::path folder = app.path() / "mounted";
    SmallFileSystem disk(folder, 16ul << 20);
    if (!disk.Mounted()) GTEST_SKIP() << "no file system of the test's own can be mounted here";
    fs::copy_file(app.file("data/x2007.mdb"), folder / "x2007.mdb");
    ASSERT_EQ(::mount("fretlyn-test", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    SetTariffDatabasePath((folder / "x2007.mdb").string());
    try {
        OpenTariffDatabase();
        ADD_FAILURE() << "opened a database on a read-only file system";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), kErrReadOnly);
        const std::string m = e.what();
        EXPECT_EQ(m.rfind("The database " + (folder / "x2007.mdb").string() +
                              " is read-only: the file system it is on is mounted read-only.",
                          0),
                  0u)
            << m;
        EXPECT_NE(m.find("Mount that file system writable."), std::string::npos) << m;
    }
    EXPECT_FALSE(tariff.gDB);
    SetTariffDatabasePath("");
}

// At start the tariff is opened on a thread of its own while the main window is built; the main
// window's own opening then takes what that thread opened, or the error it met.
TEST_F(OpenTariff, AnOpeningAheadIsTakenByTheNextOpeningWithItsResultOrItsError) {
    std::string preparedOn;
    OpenTariffDatabaseAhead([&] {
        std::ostringstream id;
        id << std::this_thread::get_id();
        preparedOn = id.str();
    });
    OpenTariffDatabase();
    std::ostringstream here;
    here << std::this_thread::get_id();
    EXPECT_FALSE(preparedOn.empty());
    EXPECT_NE(preparedOn, here.str());
    ASSERT_TRUE(tariff.gDB);
    EXPECT_EQ(tariff.gDB->Recordsets().size(), 35u);
    EXPECT_TRUE(tariff.laneMap.IsOpen());
    // Taken once: the next opening opens anew, on this thread.
    CloseAll();
    OpenTariffDatabase();
    EXPECT_EQ(tariff.gDB->Recordsets().size(), 35u);
    CloseAll();

    // The preparation's error (the user's copy could not be made) comes out of the opening,
    // and the tariff is then not opened at all.
    OpenTariffDatabaseAhead([] { throw std::runtime_error("no room for the user's copy"); });
    EXPECT_THROW(
        {
            try {
                OpenTariffDatabase();
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "no room for the user's copy");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_FALSE(tariff.gDB);

    // So does the opening's own error, with nothing left half open.
    fs::rename(app.file("data/cxmap.dat"), app.file("data/cxmap.bak"));
    OpenTariffDatabaseAhead([] {});
    try {
        OpenTariffDatabase();
        ADD_FAILURE() << "opened without cxmap.dat";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("cxmap.dat"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(tariff.gDB);
    EXPECT_FALSE(tariff.laneGrid.IsOpen());
    fs::rename(app.file("data/cxmap.bak"), app.file("data/cxmap.dat"));
}

// A start that fails before the main window opens the tariff (its states file is damaged, say)
// closes everything while the opening ahead may still run: closing waits for it, and closes
// what it opened.
TEST_F(OpenTariff, ClosingWaitsForAnOpeningAheadAndClosesWhatItOpened) {
    std::atomic<bool> release{false};
    OpenTariffDatabaseAhead([&] {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        release = true;
    });
    CloseAll();
    const bool openingHadEnded = release;
    releaser.join();
    EXPECT_TRUE(openingHadEnded);
    // Nothing that thread opened outlives the closing.
    EXPECT_FALSE(tariff.gDB);
    EXPECT_FALSE(tariff.rsUSCities);
    EXPECT_FALSE(tariff.laneGrid.IsOpen());
    // Nothing is left to take: the next opening opens anew.
    OpenTariffDatabase();
    EXPECT_EQ(tariff.gDB->Recordsets().size(), 35u);
}
