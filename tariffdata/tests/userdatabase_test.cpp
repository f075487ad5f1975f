// The user's own copy of the database: made at the first start of an edition, kept through
// rebuilds, and never written over by a tariff update or the sample tariff's generator.

#include "userdatabase.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <sstream>

#include "../../platform/tests/filesizelimit.h"
#include "../../platform/tests/smallfilesystem.h"
#include "fileerror.h"
#include "lockedfiles.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace fs = std::filesystem;

namespace {

// Every file under a folder with its bytes, to show that nothing in it changed.
std::map<std::string, std::string> FilesUnder(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = FileBytes(entry.path());
    return files;
}

class UserDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid());
        SetUserDataFolder(data.path().toStdString());
    }
    void TearDown() override {
        CloseAll();
        SetTariffDatabasePath("");
        SetUserDataFolder("");
    }
    void AddBill(const std::string& number) {
        tariff.gDB->Execute("INSERT INTO Bills (\"BL ID\", \"BL number\") VALUES (?, ?)",
                            {static_cast<int>(BillCount() + 1), number});
    }
    int64_t BillCount() {
        Snapshot count = tariff.gDB->OpenSnapshot("SELECT COUNT(*) AS n FROM Bills");
        return count.Field("n").toInt();
    }
    // A new edition of the tariff in the application folder: another effective date, another
    // version of the tariff's data.
    void ShipNewTariff(const std::string& effective, const std::string& version) {
        CloseAll();
        app.writeFile("data/effdate.dat", effective + "\n");
        Database shipped(app.file("data/x2007.mdb").string());
        shipped.Execute("UPDATE tblConfig SET valuef = ? WHERE keyf = 'VERSION_currver'",
                        {version});
    }
    fs::path DataFolder() const { return data.path().toStdString(); }

    ScratchAppFolder app;
    QTemporaryDir data;
};

TEST_F(UserDatabase, TheFirstStartCopiesTheShippedDatabaseAndLaterStartsKeepWorkingOnIt) {
    const std::string shipped = FileBytes(app.file("data/x2007.mdb"));
    UserDatabaseStart first = StartOnUserDatabase();
    EXPECT_TRUE(first.notice.empty());
    EXPECT_TRUE(first.previous.empty());
    EXPECT_EQ(fs::path(first.path).parent_path().parent_path(), DataFolder());
    EXPECT_EQ(fs::path(first.path).filename(), "x2007.mdb");
    EXPECT_EQ(tariff.gDB->Path(), first.path);
    // The folder's name says which tariff it holds.
    EXPECT_EQ(fs::path(first.path).parent_path().filename().string().rfind("tariff-2007-03-19-", 0),
              0u);
    AddBill("BL-1");
    CloseAll();
    EXPECT_EQ(FileBytes(app.file("data/x2007.mdb")), shipped);  // the shipped file is only read

    for (int again = 0; again < 2; ++again) {
        UserDatabaseStart later = StartOnUserDatabase();
        EXPECT_EQ(later.path, first.path);
        EXPECT_TRUE(later.notice.empty());
        EXPECT_TRUE(later.previous.empty());
        EXPECT_EQ(BillCount(), 1);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()), 2)
        << "one copy and the note of the copy in use";
}

TEST_F(UserDatabase, TheDataFolderIsNamedByTheEnvironmentWhenTheProgramSetsNone) {
    SetUserDataFolder("");
    const char* before = std::getenv("FRETLYN_DATA_DIR");
    const std::string kept = before ? before : "";
    ::setenv("FRETLYN_DATA_DIR", data.path().toUtf8().constData(), 1);
    EXPECT_EQ(UserDataFolder(), data.path().toStdString());
    const UserDatabaseStart start = PrepareUserDatabase();
    EXPECT_EQ(fs::path(start.path).parent_path().parent_path(), DataFolder());
    if (before)
        ::setenv("FRETLYN_DATA_DIR", kept.c_str(), 1);
    else
        ::unsetenv("FRETLYN_DATA_DIR");
}

// An installed copy: the application folder belongs to another user.
TEST_F(UserDatabase, AStartOnAReadOnlyApplicationFolderWorks) {
    ReadOnlyPath database(app.file("data/x2007.mdb"));
    ReadOnlyPath folder(app.file("data"));
    if (folder.Writable()) GTEST_SKIP() << "this file system cannot make a folder read-only";
    const UserDatabaseStart start = StartOnUserDatabase();
    EXPECT_FALSE(tariff.gDB->IsReadOnly());
    EXPECT_EQ(tariff.gEffDate, "March 19, 2007");
    AddBill("BL-1");
    SetConfigValue("DC_origin", "55401");
    EXPECT_EQ(GetConfigValue("DC_origin", ""), "55401");
}

TEST_F(UserDatabase, ATariffUpdateStartsAFreshCopyAndKeepsThePreviousOneUntouched) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const std::string kept = FileBytes(first.path);

    ShipNewTariff("April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    EXPECT_EQ(update.previous, first.path);
    EXPECT_NE(update.path, first.path);
    EXPECT_EQ(
        fs::path(update.path).parent_path().filename().string().rfind("tariff-2008-04-01-", 0), 0u);
    EXPECT_NE(update.notice.find("rates effective April 1, 2008"), std::string::npos);
    EXPECT_NE(update.notice.find(update.path), std::string::npos) << update.notice;
    EXPECT_NE(update.notice.find(first.path), std::string::npos) << update.notice;
    // The new tariff is used; the customer's bill is in the previous copy, kept as it was.
    EXPECT_EQ(tariff.gEffDate, "April 1, 2008");
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "13.0.0");
    EXPECT_EQ(BillCount(), 0);
    EXPECT_EQ(FileBytes(first.path), kept);

    // Until the user has answered what the start offers (the program ended at the question,
    // killed or its session closed), every start says it again, the previous copy as it was.
    for (int again = 0; again < 2; ++again) {
        const UserDatabaseStart unanswered = StartOnUserDatabase();
        EXPECT_EQ(unanswered.path, update.path);
        EXPECT_EQ(unanswered.previous, first.path);
        EXPECT_FALSE(unanswered.setAside);
        EXPECT_EQ(unanswered.notice, update.notice);
        EXPECT_EQ(BillCount(), 0);
    }
    EXPECT_EQ(FileBytes(first.path), kept);

    // Answered: the next start works on the new copy without a word.
    SettleUserDatabaseOffer(update);
    const UserDatabaseStart next = StartOnUserDatabase();
    EXPECT_EQ(next.path, update.path);
    EXPECT_TRUE(next.notice.empty());
    EXPECT_TRUE(next.previous.empty());
}

// The offer's own words lost (the note damaged, or too long to keep): the next start still
// makes it, in fewer words.
TEST_F(UserDatabase, AnUnansweredOfferWhoseWordsAreLostIsMadeAgainAllTheSame) {
    const UserDatabaseStart first = StartOnUserDatabase();
    ShipNewTariff("April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    CloseAll();
    const fs::path note = fs::path(update.path).parent_path() / "unanswered";
    ASSERT_TRUE(fs::is_regular_file(note));
    fs::resize_file(note, 0);
    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.previous, first.path);
    EXPECT_EQ(again.notice,
              "The tariff has been updated: rates effective April 1, 2008.\n\nFretlyn now works "
              "on a fresh copy of the new tariff database:\n" +
                  update.path + "\n\nYour previous database is kept unchanged:\n" + first.path);
}

TEST_F(UserDatabase, ANewStampWithTheSameDateIsANewEditionToo) {
    const UserDatabaseStart first = StartOnUserDatabase();
    ShipNewTariff("March 19, 2007", "12.0.2");
    const UserDatabaseStart update = StartOnUserDatabase();
    EXPECT_EQ(update.previous, first.path);
    EXPECT_NE(update.path, first.path);
}

// The program ended after the fresh copy was made but before it was noted as the copy in use:
// the next start takes that copy up, not a third one, and makes the offer that was never made.
TEST_F(UserDatabase, ACopyMadeButNotYetNotedInUseIsTakenUpWithItsOffer) {
    const UserDatabaseStart first = StartOnUserDatabase();
    const std::string noted = FileBytes(DataFolder() / "current");
    ShipNewTariff("April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    CloseAll();
    std::ofstream(DataFolder() / "current", std::ios::binary | std::ios::trunc) << noted;

    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, update.path);
    EXPECT_EQ(again.previous, first.path);
    EXPECT_EQ(again.notice, update.notice);
    EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()), 3)
        << "two copies and the note of the copy in use";
}

// Back to an edition worked on before (its date mistyped and put right, or an earlier tariff
// installed again): the start goes back to that edition's copy, with what the user stored in
// it, and says so; it makes no third copy and offers no update.
TEST_F(UserDatabase, ComingBackToAnEarlierEditionWorksOnItsCopyAgain) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-A");
    CloseAll();
    app.writeFile("data/effdate.dat", "March 19, 2017\n");
    const UserDatabaseStart mistyped = StartOnUserDatabase();
    ASSERT_EQ(mistyped.previous, first.path);
    SettleUserDatabaseOffer(mistyped);
    AddBill("BL-X");
    CloseAll();

    app.writeFile("data/effdate.dat", "March 19, 2007\n");
    const UserDatabaseStart back = StartOnUserDatabase();
    EXPECT_EQ(back.path, first.path);
    EXPECT_TRUE(back.previous.empty());  // nothing to offer: no update
    EXPECT_NE(back.notice.find("Fretlyn works again on your database of the tariff with rates "
                               "effective March 19, 2007:\n" +
                               first.path),
              std::string::npos)
        << back.notice;
    EXPECT_NE(
        back.notice.find("The database worked on until now is kept unchanged:\n" + mistyped.path),
        std::string::npos)
        << back.notice;
    EXPECT_EQ(tariff.gEffDate, "March 19, 2007");
    EXPECT_EQ(BillCount(), 1);
    EXPECT_FALSE(fs::exists(fs::path(first.path).parent_path().string() + "-2"));
    EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()), 3)
        << "two copies and the note of the copy in use";

    // Said once: the next start works on it without a word.
    const UserDatabaseStart next = StartOnUserDatabase();
    EXPECT_EQ(next.path, first.path);
    EXPECT_TRUE(next.notice.empty()) << next.notice;
    EXPECT_EQ(BillCount(), 1);

    // The same when the earlier edition's database itself is installed again.
    const fs::path shippedA = app.path() / "x2007.mdb.a";
    fs::copy_file(app.file("data/x2007.mdb"), shippedA);
    ShipNewTariff("April 1, 2008", "13.0.0");
    const UserDatabaseStart b = StartOnUserDatabase();
    ASSERT_EQ(b.previous, first.path);
    CloseAll();
    fs::copy_file(shippedA, app.file("data/x2007.mdb"), fs::copy_options::overwrite_existing);
    app.writeFile("data/effdate.dat", "March 19, 2007\n");
    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, first.path);
    EXPECT_TRUE(again.previous.empty());
    EXPECT_NE(again.notice.find(b.path), std::string::npos) << again.notice;
    EXPECT_EQ(BillCount(), 1);
}

// A start that cannot make the fresh copy ends, having changed nothing: going on with the
// earlier copy would rate the new tariff's lane files against the earlier tariff's tables.
void ExpectStartRefused(const std::string& reason, const std::string& kept) {
    try {
        StartOnUserDatabase();
        ADD_FAILURE() << "started without the fresh copy of the new tariff";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_EQ(
            text.rfind("The new tariff (rates effective April 1, 2008) could not be set up: ", 0),
            0u)
            << text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
        EXPECT_NE(text.find("then start Fretlyn again."), std::string::npos) << text;
        EXPECT_NE(text.find("Nothing was changed: your database " + kept + " is kept as it was"),
                  std::string::npos)
            << text;
    }
    // Nothing is open to quote from: the program ends.
    EXPECT_EQ(tariff.gDB, nullptr);
    EXPECT_FALSE(tariff.laneMap.IsOpen());
}

TEST_F(UserDatabase, AFreshCopyThatCannotBeMadeInAFolderThatCannotBeWrittenChangesNothing) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const auto before = FilesUnder(DataFolder());
    ShipNewTariff("April 1, 2008", "13.0.0");
    {
        ReadOnlyPath folder(DataFolder());
        if (folder.Writable()) GTEST_SKIP() << "this file system cannot make a folder read-only";
        ExpectStartRefused("the folder " + DataFolder().string() + " cannot be written",
                           first.path);
        ExpectStartRefused("the folder " + DataFolder().string() + " cannot be written",
                           first.path);
    }
    EXPECT_EQ(FilesUnder(DataFolder()), before);
    // Once the folder can be written again, the update goes ahead.
    const UserDatabaseStart later = StartOnUserDatabase();
    EXPECT_EQ(later.previous, first.path);
    EXPECT_EQ(tariff.gEffDate, "April 1, 2008");
}

TEST_F(UserDatabase, AFreshCopyThatDoesNotFitOnTheDiskChangesNothing) {
    // The database takes some 7.6 MB: one copy fits, a second does not.
    const fs::path folder = DataFolder() / "small";
    SmallFileSystem disk(folder, 12ul << 20);
    SetUserDataFolder(folder.string());
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const auto before = FilesUnder(folder);
    ShipNewTariff("April 1, 2008", "13.0.0");
    {
        // Without a small file system, no file may grow past 512 KiB.
        std::optional<FileSizeLimit> limit;
        if (!disk.Mounted()) limit.emplace(512 * 1024);
        ExpectStartRefused(disk.Mounted() ? "the disk holding the folder " + folder.string() +
                                                " is full (No space left on device).  Free some "
                                                "space"
                                          : "would be larger than this system lets a file be "
                                            "(File too large).  Make room for it",
                           first.path);
    }
    EXPECT_EQ(FilesUnder(folder), before);
    if (disk.Mounted()) return;  // the small disk stays too small for the update
    const UserDatabaseStart later = StartOnUserDatabase();
    EXPECT_EQ(later.previous, first.path);
    EXPECT_EQ(BillCount(), 0);
}

// The note of the copy in use lost or damaged: the start goes on with the copy last written
// to, the user's settings and bills with it, rather than on a fresh copy without them.
TEST_F(UserDatabase, ALostOrDamagedNoteOfTheCopyInUseKeepsTheCopy) {
    const UserDatabaseStart first = StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");
    AddBill("BL-1");
    CloseAll();
    const fs::path note = DataFolder() / "current";
    const std::string noted = FileBytes(note);
    for (const std::string& damaged : {std::string("\x99\xbb\x01garbage\n"), std::string()}) {
        if (damaged.empty())
            fs::remove(note);
        else
            std::ofstream(note, std::ios::binary) << damaged;
        const UserDatabaseStart again = StartOnUserDatabase();
        EXPECT_EQ(again.path, first.path);
        EXPECT_TRUE(again.notice.empty()) << again.notice;
        EXPECT_EQ(BillCount(), 1);
        EXPECT_EQ(GetConfigValue("FSC_fsc", ""), "05.5");
        CloseAll();
        EXPECT_EQ(FileBytes(note), noted);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()), 2)
        << "one copy and the note of the copy in use";
}

// A damaged effective-date file is no new edition: the start names it and sets nothing up,
// neither a first copy nor a fresh one beside the copy in use.
TEST_F(UserDatabase, ADamagedEffectiveDateSetsUpNoCopy) {
    const std::string damaged = "\x99\xbb\x01\x02" + std::string(300, 'x') + "\n";
    app.writeFile("data/effdate.dat", damaged);
    EXPECT_THROW(StartOnUserDatabase(), FileError);
    EXPECT_TRUE(FilesUnder(DataFolder()).empty());

    app.writeFile("data/effdate.dat", "March 19, 2007\n");
    const UserDatabaseStart first = StartOnUserDatabase();
    CloseAll();
    const auto before = FilesUnder(DataFolder());
    app.writeFile("data/effdate.dat", damaged);
    try {
        StartOnUserDatabase();
        ADD_FAILURE() << "started on a damaged effective-date file";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(app.file("data/effdate.dat").string() + " is damaged"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(FilesUnder(DataFolder()), before);
}

// A date file that reads as text but not as a date in the tariff's form ("March 19, 2007") is
// damaged too: it would head every rate sheet and be taken for a new edition, with a fresh copy
// that lacks the customer's discounts and bills.
TEST_F(UserDatabase, AnEffectiveDateThatIsNoDateIsNamedAtStartAndSetsUpNothing) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const auto before = FilesUnder(DataFolder());
    for (const char* damaged :
         {"March 1", "March 19( 2007", "Februaru 2, 2009", "February 30, 2007", "March 19, 07",
          "19 March, 2007", "March 19, 2007 and more"}) {
        app.writeFile("data/effdate.dat", std::string(damaged) + "\n");
        try {
            StartOnUserDatabase();
            ADD_FAILURE() << "started on the date " << damaged;
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find(app.file("data/effdate.dat").string() +
                                                 " is damaged: its first line \"" + damaged +
                                                 "\" is not a date"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(FilesUnder(DataFolder()), before) << damaged;
    }
    // The date put right: the same copy, no update.
    app.writeFile("data/effdate.dat", "March 19, 2007\n");
    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, first.path);
    EXPECT_TRUE(again.notice.empty()) << again.notice;
    EXPECT_EQ(BillCount(), 1);
}

// The note of what a copy was made from, damaged: the copy's name gives its edition, so the
// start keeps the copy and writes the note again; a real update still makes its fresh copy.
TEST_F(UserDatabase, ADamagedNoteOfTheShippedDatabaseIsWrittenAgainAndMakesNoUpdate) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const fs::path note = fs::path(first.path).parent_path() / "shipped";
    const std::string noted = FileBytes(note);
    const size_t stamp = noted.find("stamp=") + 6;
    ASSERT_NE(stamp, std::string::npos + 6);
    std::string firstDigitFlipped = noted;
    firstDigitFlipped[stamp] = noted[stamp] == '0' ? '1' : '0';
    const std::string damages[] = {
        "", std::string("\x99\xbb\x01garbage\n"), noted.substr(0, noted.size() / 2),
        "effective=March 19( 2007" + noted.substr(noted.find('\n')), firstDigitFlipped};
    for (const std::string& damaged : damages) {
        std::ofstream(note, std::ios::binary | std::ios::trunc) << damaged;
        const UserDatabaseStart again = StartOnUserDatabase();
        EXPECT_EQ(again.path, first.path) << damaged;
        EXPECT_TRUE(again.previous.empty()) << damaged;
        EXPECT_TRUE(again.notice.empty()) << again.notice;
        EXPECT_EQ(BillCount(), 1);
        CloseAll();
        EXPECT_EQ(FileBytes(note), noted) << damaged;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()), 2)
        << "one copy and the note of the copy in use";

    ShipNewTariff("April 1, 2008", "13.0.0");
    std::ofstream(note, std::ios::binary | std::ios::trunc) << "garbage";
    const UserDatabaseStart update = StartOnUserDatabase();
    EXPECT_EQ(update.previous, first.path);
    EXPECT_NE(update.path, first.path);
}

// A named pipe in the place of a note beside the copies would hold the start for as long as
// nothing writes to it: it reads as a lost note, and the start goes on with the same copy.
TEST_F(UserDatabase, ANamedPipeInPlaceOfANoteIsTakenForALostNote) {
    using namespace std::chrono_literals;
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const fs::path copyFolder = fs::path(first.path).parent_path();
    for (const fs::path& note :
         {DataFolder() / "current", copyFolder / "shipped", copyFolder / "shipped-file"}) {
        SCOPED_TRACE(note.string());
        fs::remove(note);
        ASSERT_EQ(::mkfifo(note.c_str(), 0600), 0);
        // On a thread of its own: should the start wait on the pipe after all, the pipe is
        // given a writer that closes at once, which lets it go, and the wait is the failure.
        auto started = std::async(std::launch::async, [] { return StartOnUserDatabase(); });
        if (started.wait_for(30s) != std::future_status::ready) {
            ADD_FAILURE() << "waited on the named pipe";
            const int writer = ::open(note.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        const UserDatabaseStart again = started.get();
        EXPECT_EQ(again.path, first.path);
        EXPECT_TRUE(again.notice.empty()) << again.notice;
        EXPECT_EQ(BillCount(), 1);
        CloseAll();
        // The note of the shipped file's size and time is written only once it is some
        // seconds old.
        if (note.filename() != "shipped-file") {
            EXPECT_TRUE(fs::is_regular_file(note));
        }
        fs::remove(note);
    }
}

// The copy in use there, but not to be examined: it is the user's data all the same. The start
// names it with the reason and sets up no fresh copy in its place, whether the note of the copy
// in use names it or the start has to look for it.
TEST_F(UserDatabase, ACopyThatCannotBeExaminedIsNamedAndNeverReplaced) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const fs::path copy = first.path;
    const fs::path kept = copy.string() + ".kept";
    fs::rename(copy, kept);
    const fs::path loop = copy.parent_path() / "loop.mdb";
    struct Case {
        std::function<void()> make;
        std::string reason;
    };
    const Case cases[] = {
        {[&] {
             fs::create_symlink(loop, copy);
             fs::create_symlink(copy, loop);
         },
         "Too many levels of symbolic links"},
        {[&] { fs::create_symlink(copy.parent_path() / "nowhere.mdb", copy); },
         "it is a link to a file that is not there"},
        {[&] { fs::create_directory(copy); }, "it is not a regular file"},
    };
    for (const bool noteLost : {false, true}) {
        for (const Case& c : cases) {
            c.make();
            if (noteLost) fs::remove(DataFolder() / "current");
            try {
                StartOnUserDatabase();
                ADD_FAILURE() << "started beside " << c.reason;
            } catch (const FileError& e) {
                EXPECT_EQ(std::string(e.what()), "Your database " + copy.string() +
                                                     " cannot be examined: " + c.reason +
                                                     ".  Fretlyn does not set up a fresh copy in "
                                                     "its place, which would leave your "
                                                     "discounts, bills of lading and settings "
                                                     "behind.  Put that right, then start "
                                                     "Fretlyn again.");
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(DataFolder()), fs::directory_iterator()),
                      noteLost ? 1 : 2)
                << "no fresh copy";
            fs::remove(copy);
            fs::remove(loop);
            if (noteLost)
                std::ofstream(DataFolder() / "current")
                    << copy.parent_path().filename().string() << "\n";
        }
    }
    fs::rename(kept, copy);
    const UserDatabaseStart again = StartOnUserDatabase();
    EXPECT_EQ(again.path, first.path);
    EXPECT_EQ(BillCount(), 1);
}

// The fresh copy fits on the disk, but the engine's journal of the user's settings written into
// it does not: the start is refused as for a copy that does not fit, naming the folder.
TEST_F(UserDatabase, AFreshCopyThatFitsWithoutRoomForItsSettingsChangesNothing) {
    const fs::path folder = DataFolder() / "small";
    SmallFileSystem disk(folder, 20ul << 20);
    if (!disk.Mounted()) GTEST_SKIP() << "no small file system can be mounted here";
    SetUserDataFolder(folder.string());
    const UserDatabaseStart first = StartOnUserDatabase();
    SetConfigValue("FSC_fsc", "05.5");
    CloseAll();
    ShipNewTariff("April 1, 2008", "13.0.0");
    // Room for the copy's bytes and nothing more.
    struct statvfs room {};
    ASSERT_EQ(::statvfs(folder.c_str(), &room), 0);
    const uint64_t free = static_cast<uint64_t>(room.f_bavail) * room.f_frsize;
    const uint64_t copy = fs::file_size(app.file("data/x2007.mdb"));
    ASSERT_GT(free, copy);
    std::ofstream(folder / "filler", std::ios::binary) << std::string(free - copy, '\0');
    const auto before = FilesUnder(folder);
    ExpectStartRefused("the disk holding the folder " + folder.string() +
                           " is full (No space left on device).  Free some space",
                       first.path);
    EXPECT_EQ(FilesUnder(folder), before);
}

// The fuel surcharge, the exchange rate and the other settings the windows store are the user's
// figures, not the carrier's: a tariff update carries them into the fresh copy, each time, and
// takes the carrier's settings from the new tariff.
TEST_F(UserDatabase, ATariffUpdateCarriesTheUsersOwnSettingsEachTimeAndTheCarriersComeWithIt) {
    const UserDatabaseStart first = StartOnUserDatabase();
    const std::map<std::string, std::string> own = {
        {"FSC_fsc", "05.5"},     {"CDN_ExchangeRate", "1.0345"}, {"DC_origin", "60601"},
        {"DC_defclass0", "85"},  {"DC_defclass1", "70"},         {"DC_defclass2", "100"},
        {"DC_defclass3", "125"}, {"DC_defclass4", "50"},         {"PONY_folder", "/srv/batch"},
        {"BL_Copies", "3"},      {"BL_PrintRates", "yes"},       {"BL_UseSpecialDiscount", "yes"},
        {"BL_Discount", "12.5"}, {"BL_PrintBack", "yes"}};
    for (const auto& [key, value] : own) SetConfigValue(key, value);
    // A carrier's figure in the earlier copy is the earlier tariff's, not the user's.
    SetConfigValue("FLOOR_jointline", "99.99");
    const std::string shippedFloor = [&] {
        Database shipped(app.file("data/x2007.mdb").string(), true);
        Snapshot row =
            shipped.OpenSnapshot("SELECT valuef FROM tblConfig WHERE keyf = 'FLOOR_jointline'");
        return row.Field(size_t{0}).str();
    }();
    CloseAll();
    const std::string firstBytes = FileBytes(first.path);

    ShipNewTariff("April 1, 2008", "13.0.0");
    {
        Database shipped(app.file("data/x2007.mdb").string());
        shipped.Execute("UPDATE tblConfig SET valuef = '0.15' WHERE keyf = 'AK_FSC'");
    }
    const UserDatabaseStart update = StartOnUserDatabase();
    ASSERT_EQ(update.previous, first.path);
    for (const auto& [key, value] : own) EXPECT_EQ(GetConfigValue(key, "?"), value) << key;
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "13.0.0");
    EXPECT_EQ(GetConfigValue("AK_FSC", ""), "0.15");
    EXPECT_EQ(GetConfigValue("FLOOR_jointline", ""), shippedFloor);
    for (const char* said :
         {"Your own settings were carried over from it: the fuel surcharge (05.5 %), the exchange "
          "rate (1.0345), the default origin (60601), the default classes (85, 70, 100, 125, 50), "
          "the batch rate test's folder (/srv/batch) and the bill-of-lading print settings.",
          "The carrier's settings (floors, default discounts, the Alaska, Hawaii and Puerto Rico "
          "surcharges, density, version) are the new tariff's."})
        EXPECT_NE(update.notice.find(said), std::string::npos) << update.notice;

    // The user changes the surcharge on the new copy; then the same date ships other contents.
    SetConfigValue("FSC_fsc", "06.0");
    CloseAll();
    const std::string updateBytes = FileBytes(update.path);
    ShipNewTariff("April 1, 2008", "13.0.1");
    const UserDatabaseStart again = StartOnUserDatabase();
    ASSERT_EQ(again.previous, update.path);
    EXPECT_EQ(GetConfigValue("FSC_fsc", ""), "06.0");
    EXPECT_EQ(GetConfigValue("DC_defclass0", ""), "85");
    EXPECT_EQ(GetConfigValue("BL_PrintBack", ""), "yes");
    EXPECT_EQ(GetConfigValue("VERSION_currver", ""), "13.0.1");
    EXPECT_NE(again.notice.find("the fuel surcharge (06.0 %)"), std::string::npos) << again.notice;
    CloseAll();
    // Every earlier copy is as it was.
    EXPECT_EQ(FileBytes(first.path), firstBytes);
    EXPECT_EQ(FileBytes(update.path), updateBytes);
}

// An earlier copy whose settings cannot be read still gives way to the new tariff; the message
// says why in the engine's words, not with the statement that asked.
TEST_F(UserDatabase, SettingsThatCannotBeReadFromTheEarlierCopyAreSaidPlainly) {
    const UserDatabaseStart first = StartOnUserDatabase();
    CloseAll();
    {
        Database earlier(first.path);
        earlier.Execute("DROP TABLE tblConfig");
    }
    ShipNewTariff("April 1, 2008", "13.0.0");
    const UserDatabaseStart update = StartOnUserDatabase();
    EXPECT_EQ(update.previous, first.path);
    EXPECT_NE(update.notice.find("could not be read from it (no such table: tblConfig), so they "
                                 "start as the new tariff ships them."),
              std::string::npos)
        << update.notice;
    EXPECT_EQ(update.notice.find("SELECT"), std::string::npos) << update.notice;
}

TEST_F(UserDatabase, WithNoCopyAtAllAFolderThatCannotBeWrittenStopsTheStartNamingIt) {
    ReadOnlyPath folder(DataFolder());
    if (folder.Writable()) GTEST_SKIP() << "this file system cannot make a folder read-only";
    try {
        PrepareUserDatabase();
        ADD_FAILURE() << "started without a database";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(DataFolder().string()), std::string::npos) << e.what();
    }
}

// What scripts/run.sh does after a pull: the build runs the generator again into the build's
// application folder. The same sources give the same bytes, so the user goes on with the same
// copy; a changed generator is a new edition, and the bills stay in the copy they were kept in.
TEST_F(UserDatabase, RunningTheGeneratorAgainKeepsTheUsersBills) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const auto userData = FilesUnder(DataFolder());
    const std::string command = std::string("'") + FRETLYN_SAMPLETARIFF + "' '" +
                                FRETLYN_SOURCE_DIR + "/tools/sampletariff/source' '" +
                                app.path().string() + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    // The generator writes into the application folder it is given and nowhere else.
    EXPECT_EQ(FilesUnder(DataFolder()), userData);
    UserDatabaseStart rebuilt = StartOnUserDatabase();
    EXPECT_EQ(rebuilt.path, first.path);
    EXPECT_TRUE(rebuilt.notice.empty());
    EXPECT_EQ(BillCount(), 1);

    ShipNewTariff("March 19, 2007", "changed by the generator");
    UserDatabaseStart changed = StartOnUserDatabase();
    EXPECT_EQ(changed.previous, first.path);
    CloseAll();
    Database previous(first.path);
    Snapshot bills = previous.OpenSnapshot("SELECT \"BL number\" AS n FROM Bills");
    ASSERT_FALSE(bills.AtEOF());
    EXPECT_EQ(bills.Field("n").str(), "BL-1");
}

// The application's own database damaged (cut short, emptied, its header lost): the start
// names that file and says to install the tariff again, never the temporary file it was being
// copied into, which is gone by then. Nothing is left behind, and the copy in use stays.
TEST_F(UserDatabase, ADamagedShippedDatabaseIsNamedWithWhatToDo) {
    const fs::path shipped = app.file("data/x2007.mdb");
    const std::string sound = FileBytes(shipped);
    const std::string said = "the tariff database " + shipped.string() +
                             " is damaged.  Install the tariff again, then start Fretlyn again.";
    for (const size_t size : {sound.size() / 2, size_t{0}, size_t{50}}) {
        SCOPED_TRACE(size);
        fs::resize_file(shipped, size);
        try {
            StartOnUserDatabase();
            ADD_FAILURE() << "started on a damaged tariff database";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Fretlyn could not set up your copy of the tariff "
                      "database in " +
                          DataFolder().string() + ": " + said);
            EXPECT_EQ(e.number(), kErrDamaged);
        }
        EXPECT_TRUE(FilesUnder(DataFolder()).empty());
        std::ofstream(shipped, std::ios::binary | std::ios::trunc) << sound;
    }

    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const auto before = FilesUnder(DataFolder());
    fs::resize_file(shipped, sound.size() / 2);
    try {
        StartOnUserDatabase();
        ADD_FAILURE() << "started on a damaged tariff database";
    } catch (const FileError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("The new tariff (rates effective March 19, 2007) could not be set "
                             "up: " +
                                 said + "\n\nNothing was changed: your database " + first.path +
                                 " is kept as it was",
                             0),
                  0u)
            << text;
        EXPECT_EQ(text.find(".part"), std::string::npos) << text;
    }
    EXPECT_EQ(FilesUnder(DataFolder()), before);
    std::ofstream(shipped, std::ios::binary | std::ios::trunc) << sound;
    EXPECT_EQ(StartOnUserDatabase().path, first.path);
    EXPECT_EQ(BillCount(), 1);
}

// A note beside the copies is a line or two: one of a gigabyte (sparse, so it costs no disk)
// is damage, taken as a damaged note is, without reading it whole at every start.
TEST_F(UserDatabase, AHugeNoteIsTakenForADamagedOne) {
    const UserDatabaseStart first = StartOnUserDatabase();
    AddBill("BL-1");
    CloseAll();
    const fs::path copyFolder = fs::path(first.path).parent_path();
    for (const fs::path& note : {DataFolder() / "current", copyFolder / "shipped"}) {
        SCOPED_TRACE(note.string());
        const std::string noted = FileBytes(note);
        // What it said still stands at its start, with nothing after it but a gigabyte of
        // nothing.
        fs::resize_file(note, 1ull << 30);
        const UserDatabaseStart again = StartOnUserDatabase();
        EXPECT_EQ(again.path, first.path);
        EXPECT_TRUE(again.notice.empty()) << again.notice;
        EXPECT_EQ(BillCount(), 1);
        CloseAll();
        // Taken for damaged, it is written again as it should read.
        ASSERT_EQ(fs::file_size(note), noted.size());
        EXPECT_EQ(FileBytes(note), noted);
    }
}

}  // namespace

// A rebuild writes the same shipped database again under a new time of change: the copy in use
// stays, and the note that spares later starts the digest follows the file. A file changed
// only just now gets no note, as a second change within the file system's clock tick would
// keep its time.
TEST_F(UserDatabase, ARebuiltButUnchangedShippedDatabaseKeepsTheCopyAndItsNoteFollows) {
    const fs::path shipped = app.file("data/x2007.mdb");
    fs::last_write_time(shipped, fs::file_time_type::clock::now() - std::chrono::hours(2));
    const UserDatabaseStart first = StartOnUserDatabase();
    const fs::path note = fs::path(first.path).parent_path() / "shipped-file";
    ASSERT_TRUE(fs::exists(note));
    const std::string before = FileBytes(note);
    CloseAll();

    fs::last_write_time(shipped, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const UserDatabaseStart rebuilt = StartOnUserDatabase();
    EXPECT_EQ(rebuilt.path, first.path);
    EXPECT_TRUE(rebuilt.notice.empty());
    EXPECT_NE(FileBytes(note), before);
    CloseAll();

    fs::last_write_time(shipped, fs::file_time_type::clock::now());
    const std::string noted = FileBytes(note);
    EXPECT_EQ(StartOnUserDatabase().path, first.path);
    EXPECT_EQ(FileBytes(note), noted) << "a file changed this second is read again next time";
}
