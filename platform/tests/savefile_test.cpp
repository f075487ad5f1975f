// Writing a file whole: the new bytes replace the old file only when all of them are written;
// a disk that fills up midway, or a folder that is not there, leaves the old file and no
// temporary file behind.
#include "savefile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "filesizelimit.h"
#include "outputfolder.h"
#include "smallfilesystem.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SaveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.isValid()) << scratch.errorString().toStdString();
        dir = scratch.path().toStdString();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    size_t FilesInDir() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
        return n;
    }
    QTemporaryDir scratch;  // of this test alone, whoever runs it
    fs::path dir;
};

TEST_F(SaveFileTest, TheNewBytesReplaceTheOldFile) {
    const fs::path out = dir / "TESTDATA.TXT";
    SaveFileWhole(out.string(), "first\r\n");
    EXPECT_EQ(ReadAll(out), "first\r\n");
    SaveFileWhole(out.string(), std::string("second\0line\r\n", 13));
    EXPECT_EQ(ReadAll(out), std::string("second\0line\r\n", 13));
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(SaveFileTest, ADiskThatFillsUpLeavesTheOldFileAsItWas) {
    const fs::path out = dir / "BL.pdf";
    const std::string old(3000, 'o');
    SaveFileWhole(out.string(), old);
    // Room for a few kilobytes, not for the new file: whatever part of it fails (the buffered
    // writes or the last flush), the old file stays whole.
    for (size_t room : {size_t{100}, size_t{4096}, size_t{60000} - 10, size_t{3500}}) {
        const std::string bigger(room == 3500 ? 3600 : 60000, 'n');
        {
            FileSizeLimit full(room);
            try {
                SaveFileWhole(out.string(), bigger);
                ADD_FAILURE() << "a write past the room succeeded, room " << room;
            } catch (const SaveFileError& e) {
                // The reason as the system gives it: a file past the limit is "too large".
                EXPECT_EQ(std::string(e.what()),
                          "Cannot write " + out.string() + ": " + SystemReason(EFBIG) + ".");
            }
        }
        EXPECT_EQ(ReadAll(out), old) << room;
        EXPECT_EQ(FilesInDir(), 1u) << room;
    }
}

// Written piece by piece, in more pieces than one block holds, the file is every piece in
// order; given up before its commit (a run stopped by an error), the old file stays.
TEST_F(SaveFileTest, AFileWrittenInPiecesReplacesTheOldOneOnlyWhenCommitted) {
    const fs::path out = dir / "TESTDATA.TXT";
    SaveFileWhole(out.string(), "last run\r\n");
    std::string expected;
    {
        SaveFileStream file(out.string());
        for (int i = 0; i < 20000; ++i) {
            const std::string line = "line " + std::to_string(i) + "\r\n";
            file.Write(line);
            expected += line;
        }
        file.Write(std::string(100000, 'x'));  // a piece larger than a block
        expected += std::string(100000, 'x');
        EXPECT_EQ(ReadAll(out), "last run\r\n");  // nothing shows before the commit
        file.Commit();
    }
    EXPECT_EQ(ReadAll(out), expected);
    {
        SaveFileStream file(out.string());
        file.Write(std::string(200000, 'y'));
    }
    EXPECT_EQ(ReadAll(out), expected);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(SaveFileTest, AFolderThatIsNotThereIsReportedAndNothingIsMade) {
    const fs::path out = dir / "no" / "such" / "TESTDATA.TXT";
    try {
        SaveFileWhole(out.string(), "x");
        ADD_FAILURE() << "wrote into a folder that is not there";
    } catch (const SaveFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write " + out.string() + ": " + SystemReason(ENOENT) + ".");
    }
    EXPECT_FALSE(fs::exists(dir / "no"));
}

// The documents' folder, made on first use, says why it could not be made.
// A test program runs in a home of its own: the folders a test writes to by default (the
// documents folder of the printed files, the data folder of the user's database) are never
// those of whoever runs the tests. Its temporary folder lies in that home, so that scratch
// files another user's run left behind never stand in its way.
TEST(OwnFolders, ATestWritesItsDocumentsAndDataInATemporaryHomeOfItsOwn) {
    const fs::path home = QDir::homePath().toStdString();
    EXPECT_EQ(home.filename().string().rfind("fretlyn-test-home-", 0), 0u) << home;
    EXPECT_EQ(fs::path(QDir::tempPath().toStdString()), home / "tmp");
    EXPECT_EQ(fs::temp_directory_path(), home / "tmp");
    EXPECT_EQ(fs::status(home / "tmp").permissions() & fs::perms::all, fs::perms::owner_all);
    const fs::path documents = OutputFolder();
    EXPECT_EQ(documents.string().rfind(home.string() + "/", 0), 0u) << documents;
    const fs::path data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    EXPECT_EQ(data.string().rfind(home.string() + "/", 0), 0u) << data;
}

TEST_F(SaveFileTest, AnOutputFolderThatCannotBeMadeNamesTheReason) {
    SaveFileWhole((dir / "Documents").string(), "a file where the folder would go");
    const fs::path folder = dir / "Documents" / "Fretlyn";
    SetOutputFolder(folder.string());
    try {
        OutputFolder();
        ADD_FAILURE() << "made a folder inside a file";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create the folder " + folder.string() + ": " +
                                             SystemReason(ENOTDIR) + ".");
    }
    SetOutputFolder("");
}

// Each failure says why, in the system's words: a full disk, a folder the user may not write
// to, a file system mounted read-only.
TEST_F(SaveFileTest, AFailedWriteNamesTheReasonTheSystemGives) {
    EXPECT_EQ(SystemReason(ENOSPC), "No space left on device");
    const auto failure = [](const fs::path& out, const std::string& bytes) -> std::string {
        try {
            SaveFileWhole(out.string(), bytes);
        } catch (const SaveFileError& e) {
            return e.what();
        }
        return "(written)";
    };

    const fs::path locked = dir / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    // The superuser may write anywhere: then there is nothing to refuse.
    if (::access(locked.c_str(), W_OK) != 0) {
        EXPECT_EQ(failure(locked / "BL.pdf", "x"), "Cannot write " + (locked / "BL.pdf").string() +
                                                       ": " + SystemReason(EACCES) + ".");
    }
    fs::permissions(locked, fs::perms::owner_all);

    SmallFileSystem small(dir / "small", 16 * 1024);
    if (!small.Mounted()) GTEST_SKIP() << "no file system of the test's own can be mounted here";
    const fs::path out = dir / "small" / "BL.pdf";
    const std::string old(6000, 'o');
    SaveFileWhole(out.string(), old);
    EXPECT_EQ(failure(out, std::string(20000, 'n')),
              "Cannot write " + out.string() + ": " + SystemReason(ENOSPC) + ".");
    EXPECT_EQ(ReadAll(out), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "small"), fs::directory_iterator()), 1);

    SmallFileSystem readOnly(dir / "readonly", 16 * 1024, SmallFileSystem::kReadOnly);
    ASSERT_TRUE(readOnly.Mounted());
    EXPECT_EQ(failure(dir / "readonly" / "BL.pdf", "x"),
              "Cannot write " + (dir / "readonly" / "BL.pdf").string() + ": " +
                  SystemReason(EROFS) + ".");
}

}  // namespace
