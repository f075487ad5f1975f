// The lane, transit-day and grid files against the list of their sizes and digests that ships
// with them: a damaged file is named and never read, an earlier tariff without the list is read
// as it is, and an unchanged file is read for its digest once, not at every command or start.
#include "tariffcheck.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <string>
#include <thread>

#include "geography.h"
#include "lanes.h"
#include "settings.h"
#include "tariffdb.h"
#include "testdata.h"

namespace fs = std::filesystem;

namespace {

// Rewrites the file in place, as a disk fault or an update copied over it would: the program
// holds the lane files open, and sees what is written into them.
void Overwrite(const fs::path& path, const std::string& bytes) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    ASSERT_TRUE(file.good()) << path;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Bytes below 100, each of which a lane file reads as two digits of some real lane.
std::string LaneLikeNoise(size_t size) {
    std::mt19937 random(35);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() % 100);
    return bytes;
}

class TariffCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        InitClassTables();
        OpenTariffDatabase();
    }
    // The lane code from Chicago to Los Angeles, in a command of its own.
    std::string ChicagoToLosAngeles() {
        const ReadTransaction command(tariff.gDB.get());
        return GetLaneCode(GridCellNumber(ZipSubscript("606"), ZipSubscript("900")));
    }
    // The error a look-up raised, or "" when it raised none.
    template <typename LookUp>
    std::string ErrorOf(LookUp&& lookUp) {
        try {
            lookUp();
        } catch (const TariffDataError& e) {
            return e.what();
        }
        return "";
    }
    std::string Damaged(const std::string& relative) {
        return "The tariff data file " + app.file(relative).string() + " is damaged";
    }
    std::string Original(const std::string& relative) {
        return FileBytes(fs::path(FRETLYN_APP_DIR) / relative);
    }
    // The database records `list` as the one its tariff shipped with, as the generator records
    // the list it writes.
    void RecordList(const std::string& list) {
        const QByteArray digest = QCryptographicHash::hash(
            QByteArrayView(list.data(), static_cast<qsizetype>(list.size())),
            QCryptographicHash::Sha256);
        Exec("UPDATE tblConfig SET valuef = ? WHERE keyf = ?",
             {digest.toHex().toStdString(), kTariffFileListSetting});
        ForgetTariffFileChecks();
    }
    std::string ListDamaged() {
        return "The list of the tariff's files " + app.file(kTariffFileList).string() +
               " is damaged: ";
    }

    ScratchAppFolder app;
};

TEST_F(TariffCheck, EachKindOfDamagedFileIsNamedAndNotRead) {
    const std::string intact = ChicagoToLosAngeles();
    ASSERT_EQ(intact, "012210");
    const std::string map = Original("data/cxmap.dat");

    // Zeros where the lane parts were: the old reader took them for lane 012200.
    Overwrite(app.file("data/cxmap.dat"), std::string(map.size(), '\0'));
    EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(Damaged("data/cxmap.dat"), 0), 0u)
        << ErrorOf([&] { ChicagoToLosAngeles(); });
    // Bytes that each name a real lane.
    Overwrite(app.file("data/cxmap.dat"), LaneLikeNoise(map.size()));
    EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(Damaged("data/cxmap.dat"), 0), 0u);
    Overwrite(app.file("data/cxmap.dat"), map);
    EXPECT_EQ(ChicagoToLosAngeles(), intact);

    // A lane file cut short, as a copy that stopped part way leaves it.
    const std::string grd = Original("data/cxgrd.dat");
    fs::resize_file(app.file("data/cxgrd.dat"), grd.size() / 2);
    const std::string shortened = ErrorOf([&] { ChicagoToLosAngeles(); });
    EXPECT_EQ(shortened.rfind(Damaged("data/cxgrd.dat"), 0), 0u) << shortened;
    EXPECT_NE(shortened.find("holds " + std::to_string(grd.size() / 2) + " bytes"),
              std::string::npos)
        << shortened;
    EXPECT_NE(shortened.find(app.file(kTariffFileList).string() + " gives " +
                             std::to_string(grd.size()) + " bytes"),
              std::string::npos)
        << shortened;
    Overwrite(app.file("data/cxgrd.dat"), grd);
    EXPECT_EQ(ChicagoToLosAngeles(), intact);

    // The transit-day file, read afresh at every look-up.
    const uint8_t days = GetServiceDays("60601", "90001");
    ASSERT_GE(days, 1);
    const std::string svc = Original("data/svc.dat");
    Overwrite(app.file("data/svc.dat"), LaneLikeNoise(svc.size()));
    EXPECT_EQ(ErrorOf([&] { GetServiceDays("60601", "90001"); }).rfind(Damaged("data/svc.dat"), 0),
              0u);
    Overwrite(app.file("data/svc.dat"), svc);
    EXPECT_EQ(GetServiceDays("60601", "90001"), days);

    // A rate grid (its rows are read by the rating engine, which asks the same check).
    const std::string grid = Original("grids/grid012.dat");
    Overwrite(app.file("grids/grid012.dat"), std::string(grid.size(), '\0'));
    BinaryFile gridFile;
    gridFile.Open(app.file("grids/grid012.dat").string());
    EXPECT_EQ(
        ErrorOf([&] { RequireIntactTariffFile(gridFile); }).rfind(Damaged("grids/grid012.dat"), 0),
        0u);
    Overwrite(app.file("grids/grid012.dat"), grid);
    EXPECT_EQ(ErrorOf([&] { RequireIntactTariffFile(gridFile); }), "");
}

TEST_F(TariffCheck, AnEarlierTariffWithoutTheListIsReadAsItIs) {
    app.dropFileList();
    ForgetTariffFileChecks();
    Overwrite(app.file("data/cxmap.dat"), std::string(Original("data/cxmap.dat").size(), '\0'));
    EXPECT_EQ(ChicagoToLosAngeles(), "012200");
    EXPECT_EQ(TariffFileDigestsRead(), 0);
}

TEST_F(TariffCheck, ADamagedListIsNamed) {
    const std::string damaged = "1108809 not-a-digest data/cxmap.dat\n";
    app.writeFile(kTariffFileList, damaged);
    ForgetTariffFileChecks();
    EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(ListDamaged(), 0), 0u);
    // Even the list the database records is read line by line as the form it must have.
    RecordList(damaged);
    const std::string error = ErrorOf([&] { ChicagoToLosAngeles(); });
    EXPECT_NE(error.find(app.file(kTariffFileList).string() + " is damaged at line 1"),
              std::string::npos)
        << error;
}

// A list edited to agree with a changed file would vouch for it: a rate of a grid changed
// (5437 to 5337, which quotes 55401 to 60601 at $256.18 instead of $260.98), and its line of
// the list given the changed file's digest, or a second line for it added at the end.
TEST_F(TariffCheck, AListThatIsNotTheOneTheTariffRecordsIsNamedAndNothingIsRead) {
    // A rate is four bytes, lowest first.
    const auto rate = [](uint32_t cents) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(cents >> (8 * i));
        return bytes;
    };
    const std::string grid = Original("grids/grid001.dat");
    ASSERT_EQ(grid.substr(1860, 4), rate(5437));
    std::string changed = grid;
    changed.replace(1860, 4, rate(5337));
    Overwrite(app.file("grids/grid001.dat"), changed);
    const std::string changedDigest =
        QCryptographicHash::hash(QByteArrayView(changed.data(), qsizetype(changed.size())),
                                 QCryptographicHash::Sha256)
            .toHex()
            .toStdString();
    const std::string list = Original(kTariffFileList);
    const size_t gridLine = list.rfind('\n', list.find(" grids/grid001.dat\n")) + 1;
    std::string edited = list;
    edited.replace(gridLine + std::to_string(grid.size()).size() + 1, 64, changedDigest);
    const std::string appended =
        list + std::to_string(changed.size()) + " " + changedDigest + " grids/grid001.dat\n";
    BinaryFile gridFile;
    gridFile.Open(app.file("grids/grid001.dat").string());
    for (const std::string& vouching : {edited, appended}) {
        app.writeFile(kTariffFileList, vouching);
        ForgetTariffFileChecks();
        const std::string error = ErrorOf([&] { RequireIntactTariffFile(gridFile); });
        EXPECT_EQ(error, ListDamaged() +
                             "its contents differ from those the tariff's database records for "
                             "it, so the tariff's files cannot be checked and nothing is rated "
                             "from them.  Install the tariff again (or finish copying the "
                             "tariff update).");
        // Nor is any other file read against it.
        EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }), error);
    }
    // The list as shipped finds the grid changed.
    app.writeFile(kTariffFileList, list);
    ForgetTariffFileChecks();
    EXPECT_EQ(
        ErrorOf([&] { RequireIntactTariffFile(gridFile); }).rfind(Damaged("grids/grid001.dat"), 0),
        0u);
}

// Of two lines for one file neither can be believed, even in the list the tariff records.
TEST_F(TariffCheck, AListThatNamesAFileTwiceIsNamed) {
    const std::string list = Original(kTariffFileList);
    const size_t start = list.rfind('\n', list.find(" grids/grid001.dat\n")) + 1;
    const std::string line = list.substr(start, list.find('\n', start) + 1 - start);
    const auto linesBefore = [&](size_t end) {
        return static_cast<size_t>(std::count(list.begin(), list.begin() + end, '\n'));
    };
    const size_t lineNumber = linesBefore(start) + 1;
    const size_t lastLine = linesBefore(list.size()) + 1;
    const std::string sizeAndDigest = line.substr(0, line.rfind(' ') + 1);
    // The same line again, and the same file by another spelling of its path.
    for (const char* spelling : {"grids/grid001.dat", "./grids//grid001.dat"}) {
        const std::string twice = list + sizeAndDigest + spelling + "\n";
        app.writeFile(kTariffFileList, twice);
        RecordList(twice);
        EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }),
                  ListDamaged() + "it names grids/grid001.dat twice, at lines " +
                      std::to_string(lineNumber) + " and " + std::to_string(lastLine) +
                      ", so the tariff's files cannot be checked and nothing is rated from "
                      "them.  Install the tariff again (or finish copying the tariff update).");
    }
}

// The record itself is read in the form the generator writes it: anything else is damage in
// the database, not in the list.
TEST_F(TariffCheck, ADamagedRecordOfTheListIsNamedAsTheDatabases) {
    Exec("UPDATE tblConfig SET valuef = 'abc' WHERE keyf = ?", {kTariffFileListSetting});
    ForgetTariffFileChecks();
    const std::string error = ErrorOf([&] { ChicagoToLosAngeles(); });
    EXPECT_EQ(error.rfind("The tariff's database " + TariffDatabasePath() +
                              " is damaged: its setting TARIFF_filelist, \"abc\", is no digest",
                          0),
              0u)
        << error;
}

// A list cut short at the end of a line, or left empty, still reads as a list: the files it no
// longer names are not read unchecked.
TEST_F(TariffCheck, AFileTheListDoesNotNameIsNamedAndNotRead) {
    const std::string list = Original(kTariffFileList);
    const std::string map = Original("data/cxmap.dat");
    Overwrite(app.file("data/cxmap.dat"), std::string(map.size(), '\0'));
    const size_t mapLine = list.find(" data/cxmap.dat\n");
    ASSERT_NE(mapLine, std::string::npos);
    // The list up to the line of the damaged lane file, and an empty list, whose first file
    // read is the lane grid.
    const std::pair<std::string, std::string> cases[] = {
        {list.substr(0, list.rfind('\n', mapLine) + 1), "data/cxmap.dat"}, {"", "data/cxgrd.dat"}};
    for (const auto& [shortList, unnamed] : cases) {
        app.writeFile(kTariffFileList, shortList);
        ForgetTariffFileChecks();
        // Not the list the tariff shipped with.
        EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(ListDamaged(), 0), 0u);
        // A tariff shipped with a list that leaves out a file.
        RecordList(shortList);
        const std::string error = ErrorOf([&] { ChicagoToLosAngeles(); });
        EXPECT_EQ(error.rfind("The tariff data file " + app.file(unnamed).string() +
                                  " is not named in the tariff's list of its files " +
                                  app.file(kTariffFileList).string(),
                              0),
                  0u)
            << error;
    }
}

TEST_F(TariffCheck, AnUnchangedFileIsReadForItsDigestOnlyOnce) {
    ForgetTariffFileChecks();
    for (int command = 0; command < 5; ++command) ASSERT_EQ(ChicagoToLosAngeles(), "012210");
    EXPECT_EQ(TariffFileDigestsRead(), 3);  // the three lane files
    // The same bytes written again: the file changed, and is read once more.
    Overwrite(app.file("data/cxmap.dat"), Original("data/cxmap.dat"));
    for (int command = 0; command < 5; ++command) ASSERT_EQ(ChicagoToLosAngeles(), "012210");
    EXPECT_EQ(TariffFileDigestsRead(), 4);
}

TEST_F(TariffCheck, AFileFoundIntactIsNotReadAgainAtTheNextStart) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    SetUserDataFolder(data.path().toStdString());
    StartOnUserDatabase();
    // A file changed in the last seconds is not noted (a coarse clock would hide a second
    // change): the scratch copy is let age first.
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    ForgetTariffFileChecks();
    ASSERT_EQ(ChicagoToLosAngeles(), "012210");
    EXPECT_EQ(TariffFileDigestsRead(), 3);
    EXPECT_TRUE(fs::exists(fs::path(data.path().toStdString()) / kCheckedFilesNote));

    // The next start.
    ForgetTariffFileChecks();
    StartOnUserDatabase();
    ASSERT_EQ(ChicagoToLosAngeles(), "012210");
    EXPECT_EQ(TariffFileDigestsRead(), 0);

    // Damaged between two starts: the note is of another state of the file.
    Overwrite(app.file("data/cxmap.dat"), LaneLikeNoise(Original("data/cxmap.dat").size()));
    ForgetTariffFileChecks();
    StartOnUserDatabase();
    EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(Damaged("data/cxmap.dat"), 0), 0u);
}

// The note of the files found intact, a named pipe: taken for no note, without waiting on it.
TEST_F(TariffCheck, ANamedPipeInPlaceOfTheNoteOfCheckedFilesIsTakenForNoNote) {
    using namespace std::chrono_literals;
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    SetUserDataFolder(data.path().toStdString());
    StartOnUserDatabase();
    const fs::path note = fs::path(data.path().toStdString()) / kCheckedFilesNote;
    ASSERT_EQ(::mkfifo(note.c_str(), 0600), 0);
    ForgetTariffFileChecks();
    auto lane = std::async(std::launch::async, [&] { return ChicagoToLosAngeles(); });
    if (lane.wait_for(30s) != std::future_status::ready) {
        ADD_FAILURE() << "waited on the named pipe " << note;
        const int writer = ::open(note.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_EQ(lane.get(), "012210");
    EXPECT_EQ(TariffFileDigestsRead(), 3);
}

// The list lost, or made unreadable, while its tariff's database records that the tariff has
// one: the files are not read unchecked. A damaged rate reads as a plausible one, so the quote
// would be wrong without a word.
TEST_F(TariffCheck, ATariffThatHasAListRefusesItsFilesWhileTheListIsLostOrUnreadable) {
    const fs::path list = app.file(kTariffFileList);
    const std::string listed = Original(kTariffFileList);
    Overwrite(app.file("data/cxmap.dat"), std::string(Original("data/cxmap.dat").size(), '\0'));
    auto expectRefused = [&](const std::string& said) {
        ForgetTariffFileChecks();
        const std::string error = ErrorOf([&] { ChicagoToLosAngeles(); });
        EXPECT_EQ(error.rfind("The list of the tariff's files " + list.string() + said, 0), 0u)
            << error;
        EXPECT_NE(error.find("nothing is rated from them"), std::string::npos) << error;
    };
    fs::remove(list);
    expectRefused(" is missing");
    fs::create_symlink(app.file("data/nowhere.txt"), list);
    expectRefused(" is a link to a file that is not there");
    fs::remove(list);
    fs::create_symlink(app.file("data/loop.txt"), list);
    fs::create_symlink(list, app.file("data/loop.txt"));
    expectRefused(" cannot be read (Too many levels of symbolic links)");
    fs::remove(list);
    // A link into a folder the user may not search (which stops no one running as root).
    const fs::path closed = app.file("closed");
    fs::create_directory(closed);
    app.writeFile("closed/checksums.txt", listed);
    fs::create_symlink(closed / "checksums.txt", list);
    fs::permissions(closed, fs::perms::none);
    if (::geteuid() != 0) expectRefused(" cannot be read (Permission denied)");
    fs::permissions(closed, fs::perms::owner_all);

    // Put back, the list finds the damaged lane file.
    fs::remove(list);
    app.writeFile(kTariffFileList, listed);
    ForgetTariffFileChecks();
    EXPECT_EQ(ErrorOf([&] { ChicagoToLosAngeles(); }).rfind(Damaged("data/cxmap.dat"), 0), 0u);
}

// A named pipe in the place of one of the tariff's files would hold the start, or the first
// quote, for as long as nothing writes to it: it is named as no regular file instead.
TEST_F(TariffCheck, ANamedPipeInPlaceOfATariffFileIsNamedWithoutWaiting) {
    using namespace std::chrono_literals;
    // The step runs on a thread of its own: should it wait on the pipe after all, the pipe is
    // given a writer that closes at once, which lets it go, and the wait is the failure.
    auto errorOf = [](const fs::path& pipe, const std::function<void()>& step) {
        auto done = std::async(std::launch::async, [&]() -> std::string {
            try {
                step();
            } catch (const std::exception& e) {
                return e.what();
            }
            return "(no error)";
        });
        if (done.wait_for(30s) != std::future_status::ready) {
            ADD_FAILURE() << "waited on the named pipe " << pipe;
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        return done.get();
    };
    auto asPipe = [&](const std::string& relative) {
        const fs::path path = app.file(relative);
        fs::remove(path);
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        return path;
    };
    auto expectNamed = [&](const fs::path& pipe, const std::function<void()>& step) {
        const std::string error = errorOf(pipe, step);
        EXPECT_NE(error.find(pipe.string() + " is not a regular file"), std::string::npos) << error;
    };

    const std::string list = Original(kTariffFileList);
    expectNamed(asPipe(kTariffFileList), [&] {
        ForgetTariffFileChecks();
        ChicagoToLosAngeles();
    });
    fs::remove(app.file(kTariffFileList));
    app.writeFile(kTariffFileList, list);
    ForgetTariffFileChecks();

    expectNamed(asPipe("data/svc.dat"), [] { GetServiceDays("60601", "90001"); });
    // A rate grid is opened as every other data file of the tariff is.
    expectNamed(asPipe("grids/grid001.dat"), [&] {
        BinaryFile grid;
        grid.Open(app.file("grids/grid001.dat").string());
    });
    expectNamed(asPipe("data/states.dat"), [] { LoadStatesFile(); });
    expectNamed(asPipe("data/effdate.dat"), [] { ReadEffectiveDate(); });
    expectNamed(asPipe("data/cxgrd.dat"), [] {
        CloseAll();
        OpenTariffDatabase();
    });

    // The shipped database, read for the user's first copy of it.
    fs::remove(app.file("data/effdate.dat"));
    app.writeFile("data/effdate.dat", "March 19, 2007\n");
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    SetUserDataFolder(data.path().toStdString());
    expectNamed(asPipe("data/x2007.mdb"), [] { PrepareUserDatabase(); });
}

}  // namespace
